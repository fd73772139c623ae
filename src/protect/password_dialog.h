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
enum ControlId { kLabel1 = 4001, kText1, kCommand1, kCommand2, kCommand3, kCheck1, kLabel2 };
}  // namespace password_dialog

// What the dialog is handed by the program around it.
struct PasswordDialogLinks {
    HWND panel = nullptr;  // owner of the dialog, disabled while it is open
    PasswordState* password = nullptr;
    DataSetService* dataSets = nullptr;
    OwnWindowTable* own = nullptr;
    std::wstring exeName;
    std::wstring backupDir;  // the backup notice looks for MyData_0.dat there
    // The panel's choices, which the flows change (see password_dialog::IPasswordDialogHost).
    std::function<int()> dataSet;
    std::function<void(int)> chooseDataSet;
    std::function<void(bool)> setPasswordOn;
    std::function<void(bool)> enablePasswordChange;
};

class PasswordDialog : public Form, private password_dialog::IPasswordDialogHost {
public:
    explicit PasswordDialog(PasswordDialogLinks links);
    ~PasswordDialog() override;

    // Creates the window and runs the load handler; Show then runs the activation once.
    bool Form_Load();
    void Show();

    void Form_Activate();
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Check1_Click();
    void Form_QueryUnload();

    const password_dialog::PasswordDialogLogic& Logic() const { return logic_; }

    Control* Label1 = nullptr;    // the prompt line
    Control* Text1 = nullptr;     // the password box
    Control* Command1 = nullptr;  // "O K": verify the current password
    Control* Command2 = nullptr;  // "登 録": first entry of a new password
    Control* Command3 = nullptr;  // "登 録": its confirmation
    Control* Check1 = nullptr;    // switch the password off
    Control* Label2 = nullptr;    // "パスワードは無効にします。" beside Check1

    // Replaceable so tests can count beeps.
    static std::function<void()> SoundBeep;

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    // IPasswordDialogHost
    int DataSet() override { return links_.dataSet ? links_.dataSet() : 1; }
    void ChooseDataSet(int set) override { if (links_.chooseDataSet) links_.chooseDataSet(set); }
    void SetPasswordOn(bool on) override { if (links_.setPasswordOn) links_.setPasswordOn(on); }
    void EnablePasswordChange(bool on) override {
        if (links_.enablePasswordChange) links_.enablePasswordChange(on);
    }
    std::wstring Lower(const std::wstring& text) override;
    void Beep() override;
    void MsgBox(const std::wstring& text, uint32_t flags, const std::wstring& title) override;
    password_dialog::CommitOutcome CommitPassword(const std::wstring& newPassword, int pauseMs) override;
    bool BackupHasPasswordFile() override;
    void Pause(int ms) override;
    void FocusText1() override { focusText1_ = true; }
    void Close() override;

    // Runs one handler of the logic between reading Text1 and showing the result.
    void Run(void (password_dialog::PasswordDialogLogic::*handler)());
    void Apply();
    void CreateControls();

    PasswordDialogLinks links_;
    password_dialog::PasswordDialogLogic logic_;
    bool focusText1_ = false;
    bool masked_ = true;
};
