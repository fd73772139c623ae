#pragma once
// Asks for the Private password when the password file could not be read. The password is
// taken only when the caller's check says MyData_2.dat reads under it, so a wrong guess can
// never lock the entries away. Waits for an answer (start-up needs the key to go on).
#include <windows.h>

#include <functional>
#include <string>

#include "win/form.h"

namespace password_prompt {
// Control identifiers, for the end-to-end driver.
enum ControlId { kLblPrompt = 4301, kEditPassword, kBtnOk, kBtnCancel };
inline const std::wstring kCaption = L"Privateのパスワードの確認";
}  // namespace password_prompt

class PrivatePasswordPrompt : public Form {
public:
    // accepts: true when the (lower-case) password opens the Private file. ownSlot, when
    // given, holds the prompt's handle while it is open (the own-window table's entry).
    PrivatePasswordPrompt(HWND owner, std::function<bool(const std::wstring&)> accepts, uintptr_t* ownSlot = nullptr);
    // Shows the prompt until a password was accepted (returned) or the user gave up (nullopt).
    bool Run(std::wstring* password);

    Control* lblPrompt = nullptr;  // what happened and what to type
    Control* editPassword = nullptr;
    Control* btnOk = nullptr;
    Control* btnCancel = nullptr;

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void OnOk();

    HWND owner_;
    std::function<bool(const std::wstring&)> accepts_;
    uintptr_t* slot_;
    bool done_ = false;
    bool accepted_ = false;
    int wrong_ = 0;  // wrong passwords typed so far
    std::wstring password_;
};
