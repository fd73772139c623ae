#pragma once
// The Private password dialog without Windows: its four modes, what each shows, and the
// flows behind its buttons. The window (PasswordDialog) copies the password box in before a
// handler, lets the handler run, then shows `view`; everything the flows do outside the
// dialog goes through IPasswordDialogHost.
#include <cstdint>
#include <string>
#include <utility>

#include "base/message_flags.h"
#include "base/data_set.h"
#include "store/dataset_service.h"
#include "store/password_state.h"

namespace password_dialog {

constexpr int kShortHeight = 2025;  // verify, change, confirmation
constexpr int kTallHeight = 2415;   // registration: the switch-off box comes into view
constexpr int kWidth = 4425;

inline const std::wstring kSwitchOffText = L"パスワードは無効にします。";
inline const std::wstring kRegisterCaption = L"登 録";
inline const std::wstring kOkCaption = L"O K";

inline const std::wstring kEmptyEntryTitle = L"パスワード設定エラー";
inline const std::wstring kEmptyEntryText =
    L"パスワードを入力してください。\r\n\r\n"
    L"パスワードが不必要なときは、最下部の　　\r\n"
    L"「パスワードは無効にします」をチェックしてください。　　";
inline const std::wstring kMismatchTitle = L"パスワードの設定";
inline const std::wstring kMismatchText =
    L"パスワードが一致しませんでした。\r\n\r\n最初からパスワードの設定を行ってください。";
inline const std::wstring kMissingPrivateText = L"Error! 401";
// When the password or the re-keyed file cannot be written, the old password stays in force.
inline const std::wstring kNotStoredText =
    L"パスワードを保存できませんでした。\r\n\r\nパスワードは変更されていません。";

std::wstring BackupNoticeTitle(const std::wstring& exeName);
std::wstring BackupNoticeText(const std::wstring& exeName);

// What the dialog was opened for: the menu item or the choice of Private behind it.
enum class Purpose { Unlock, Change, SwitchOff, Seal, Unseal };

enum class Mode { Verify, Change, Registration, NewPassword, Confirmation };

// What the dialog shows. The entry is masked with "*" and bold exactly when `masked`.
struct View {
    std::wstring caption;
    std::wstring prompt;
    std::wstring entry;
    bool masked = true;
    bool verifyVisible = true;
    bool registerVisible = false;
    bool confirmVisible = false;
    std::wstring verifyCaption = kOkCaption;
    std::wstring registerCaption;
    std::wstring confirmCaption;
    bool switchOffVisible = false;  // the switch-off box and its label together
    int height = kShortHeight;
};

// How re-keying the Private file and storing the password went.
using CommitOutcome = RekeyOutcome;

class IPasswordDialogHost {
public:
    virtual ~IPasswordDialogHost() = default;
    // The panel's choices that the flows change: the data set,
    // the password switch, and whether the change item can be chosen.
    virtual ::DataSet ChosenSet() = 0;
    virtual void ChooseDataSet(::DataSet set) = 0;
    virtual void SetPasswordOn(bool on) = 0;
    virtual void EnablePasswordChange(bool on) = 0;
    virtual std::wstring Lower(const std::wstring& text) = 0;
    virtual void Beep() = 0;
    // An empty title means the program's title.
    virtual void MsgBox(const std::wstring& text, uint32_t flags, const std::wstring& title) = 0;
    // Re-keys the Private file from the current key to the key of newPassword and writes the
    // password file (pausing pauseMs inside the write).
    virtual CommitOutcome CommitPassword(const std::wstring& newPassword, int pauseMs) = 0;
    virtual bool BackupHasPasswordFile() = 0;
    // Private is sealed: the password is checked by opening MyData_2.dat, not against the
    // password file (which then holds the empty password).
    virtual bool Sealed() { return false; }
    // Opens the sealed file with password (it stays open in memory). Damaged: no password
    // could open it; the host has kept it aside and said so.
    enum class Unlocked { Opened, WrongPassword, Damaged };
    virtual Unlocked UnlockSealed(const std::wstring&) { return Unlocked::WrongPassword; }
    // Seals (seal) or unseals Private under the verified password; tells the user on failure.
    virtual void ApplySeal(bool, const std::wstring&) {}
    // Shows the prompt line now, before a long step (the view is shown after the handler).
    virtual void ShowPrompt(const std::wstring&) {}
    virtual void Pause(int ms) = 0;
    virtual void FocusPasswordBox() = 0;
    virtual void Close() = 0;
};

// A character that may be typed into the password box: control keys pass; a double quote
// (the password file cannot hold one) and anything without a code page 932 form do not.
bool AcceptsPasswordChar(wchar_t c);
// Every character of the text could have been typed.
bool AllPasswordChars(const std::wstring& text);
// The password file can hold it and read it back unchanged.
bool IsStorablePassword(const std::wstring& password);
// The password box takes no more: the key derivation of a longer one could take minutes.
constexpr int kMaxPasswordChars = 256;

class PasswordDialogLogic {
public:
    PasswordDialogLogic(PasswordState& password, std::wstring exeName, IPasswordDialogHost& host,
                        Purpose purpose = Purpose::Unlock)
        : pw_(password), exeName_(std::move(exeName)), host_(host), purpose_(purpose) {}

    View view;
    Mode mode() const { return mode_; }
    bool closed() const { return closed_; }
    // A flow is running (it lets window messages run between its file steps).
    bool busy() const { return busy_; }
    const std::wstring& firstEntry() const { return firstEntry_; }
    // The flow ended with Private chosen by its password: the program opens it now.
    bool privateOpened() const { return privateOpened_; }

    void OnLoad();
    void OnActivated();
    void OnVerify();
    void OnRegister();
    void OnConfirm();
    void OnSwitchOff();
    // Enter in the password box: a click on the first visible button.
    void OnEnter();
    // The close box: nothing changes; the purpose ends with this dialog.
    void OnClosing() { closed_ = true; }

private:
    void ShowRegistration(const std::wstring& prompt);
    void SwitchOff(int pauseMs);
    void TickPrivate();
    void ShowVerify();
    void BackupNotice();
    // false when the flow must end here (a message was shown and the dialog closed).
    bool Commit(const std::wstring& newPassword, int pauseMs);
    void SetPassword(const std::wstring& password);
    void Close();
    void LowerEntry();

    PasswordState& pw_;
    std::wstring exeName_;  // in the backup notice
    IPasswordDialogHost& host_;
    Purpose purpose_;
    bool currentVerified_ = false;  // a change: the current password was given
    Mode mode_ = Mode::Verify;
    std::wstring firstEntry_;
    bool closed_ = false;
    bool busy_ = false;
    bool privateOpened_ = false;
};

}  // namespace password_dialog
