#pragma once
// The Private password dialog: verifies, registers, changes and switches off the password,
// and re-keys MyData_2.dat when the key changes. Shown without a modal loop; the panel
// stays disabled while it is open.
#include <windows.h>

#include <functional>
#include <string>

#include "base/own_windows.h"
#include "protect/password_dialog_logic.h"
#include "store/dataset_service.h"
#include "store/password_state.h"
#include "win/form.h"

namespace password_dialog {
// Control identifiers, for tests and the end-to-end driver.
enum ControlId {
    kLblPrompt = 4001, kEditPassword, kBtnVerify, kBtnRegister, kBtnConfirm, kChkSwitchOff, kLblSwitchOff
};
}  // namespace password_dialog

// What the dialog is handed by the program around it.
struct PasswordDialogLinks {
    HWND panel = nullptr;  // owner of the dialog, disabled while it is open
    PasswordState* password = nullptr;
    DataSetService* dataSets = nullptr;
    OwnWindowTable* own = nullptr;
    password_dialog::Purpose purpose = password_dialog::Purpose::Unlock;
    std::wstring exeName;
    std::wstring backupDir;  // the backup notice looks for MyData_0.dat there
    // The panel's choices, which the flows change (see password_dialog::IPasswordDialogHost).
    std::function<DataSet()> dataSet;
    std::function<void(DataSet)> chooseDataSet;
    std::function<void(bool)> setPasswordOn;
    std::function<void(bool)> enablePasswordChange;
    // Seals or unseals Private under the verified password ("Privateを強い暗号で守る").
    std::function<void(bool, const std::wstring&)> applySeal;
    // Once the window went; opened: the flow ended with Private opened by its password.
    std::function<void(bool opened)> gone;
};

class PasswordDialog : public Form, private password_dialog::IPasswordDialogHost {
public:
    explicit PasswordDialog(PasswordDialogLinks links);
    ~PasswordDialog() override;

    // Creates the window and runs the load handler; Show then runs the activation once.
    bool Open();
    void Show();

    void OnActivated();
    void OnVerify();
    void OnRegister();
    void OnConfirm();
    void OnSwitchOff();
    void OnClosing();

    const password_dialog::PasswordDialogLogic& Logic() const { return logic_; }

    Control* lblPrompt = nullptr;
    Control* editPassword = nullptr;
    Control* btnVerify = nullptr;    // "O K": the current password
    Control* btnRegister = nullptr;  // "登 録": first entry of a new password
    Control* btnConfirm = nullptr;   // "登 録": its confirmation
    Control* chkSwitchOff = nullptr;
    Control* lblSwitchOff = nullptr;  // "パスワードは無効にします。" beside the box

    // Replaceable so tests can count beeps.
    static std::function<void()> SoundBeep;

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    // IPasswordDialogHost
    ::DataSet ChosenSet() override { return links_.dataSet ? links_.dataSet() : ::DataSet::Public; }
    void ChooseDataSet(::DataSet set) override { if (links_.chooseDataSet) links_.chooseDataSet(set); }
    void SetPasswordOn(bool on) override { if (links_.setPasswordOn) links_.setPasswordOn(on); }
    void EnablePasswordChange(bool on) override {
        if (links_.enablePasswordChange) links_.enablePasswordChange(on);
    }
    std::wstring Lower(const std::wstring& text) override;
    void Beep() override;
    void MsgBox(const std::wstring& text, uint32_t flags, const std::wstring& title) override;
    password_dialog::CommitOutcome CommitPassword(const std::wstring& newPassword, int pauseMs) override;
    bool BackupHasPasswordFile() override;
    bool Sealed() override { return links_.dataSets->FileIsSealed(); }
    Unlocked UnlockSealed(const std::wstring& password) override;
    void ApplySeal(bool seal, const std::wstring& password) override {
        if (links_.applySeal) links_.applySeal(seal, password);
    }
    void Pause(int ms) override;
    void ShowPrompt(const std::wstring& text) override {
        lblPrompt->SetText(text);
        UpdateWindow(lblPrompt->hwnd);
    }
    void FocusPasswordBox() override { focusPasswordBox_ = true; }
    void Close() override;

    // Runs one handler of the logic between reading the password box and showing the result.
    void Run(void (password_dialog::PasswordDialogLogic::*handler)());
    void Gone();  // tells links_.gone, once
    bool goneTold_ = false;
    void Apply();
    void CreateControls();

    PasswordDialogLinks links_;
    password_dialog::PasswordDialogLogic logic_;
    bool focusPasswordBox_ = false;
    bool masked_ = true;
};
