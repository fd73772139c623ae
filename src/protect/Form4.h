#pragma once
// The Private password dialog: verifies, registers, changes and switches off the password,
// and re-keys MyData_2.dat when the key changes. Shown without a modal loop; the panel
// stays disabled while it is open.
#include <windows.h>

#include <functional>
#include <string>

#include "protect/rekey_logic.h"
#include "win/form.h"

// Creates and shows the dialog over the panel.
void ShowForm4();

namespace form4 {
// Control identifiers, for tests and the end-to-end driver.
enum ControlId { kLabel1 = 4001, kText1, kCommand1, kCommand2, kCommand3, kCheck1, kLabel2 };
}  // namespace form4

class Form4 : public Form, private form4::IForm4Host {
public:
    // `panel` is the main window: owner of the dialog, disabled while it is open, and the
    // holder of the menu items the flows tick.
    explicit Form4(HWND panel);
    ~Form4() override;

    // Creates the window and runs the load handler; Show then runs the activation once.
    bool Form_Load();
    void Show();

    void Form_Activate();
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Check1_Click();
    void Form_QueryUnload();

    const form4::Form4Logic& Logic() const { return logic_; }

    Control* Label1 = nullptr;
    Control* Text1 = nullptr;
    Control* Command1 = nullptr;
    Control* Command2 = nullptr;
    Control* Command3 = nullptr;
    Control* Check1 = nullptr;
    Control* Label2 = nullptr;

    // Replaceable so tests can count beeps.
    static std::function<void()> SoundBeep;

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    // IForm4Host
    bool Checked(form4::Menu item) override;
    void SetChecked(form4::Menu item, bool on) override;
    void SetEnabled(form4::Menu item, bool on) override;
    std::wstring Lower(const std::wstring& text) override;
    void Beep() override;
    void MsgBox(const std::wstring& text, uint32_t flags, const std::wstring& title) override;
    form4::CommitOutcome CommitPassword(const std::wstring& newPassword, int pauseMs) override;
    std::wstring DefaultPassword() override;
    bool BackupHasPasswordFile() override;
    void Pause(int ms) override;
    void FocusText1() override { focusText1_ = true; }
    void Close() override;

    // Runs one handler of the logic between reading Text1 and showing the result.
    void Run(void (form4::Form4Logic::*handler)());
    void Apply();
    void CreateControls();

    HWND panel_;
    form4::Form4Logic logic_;
    bool focusText1_ = false;
    bool masked_ = true;
};

// Re-keys the Private data file of dataDir from currentKey to the key of newPassword (the
// default password when it is empty) and writes the password file with newPassword.
// No step destroys the last copy of the entries: the working copy is made completely before
// MyData_2.dat goes, the password file names the new key before anything is encrypted with
// it, and the working copy goes only once the new MyData_2.dat is complete. A file that the
// current key does not open is left exactly as it was.
form4::CommitOutcome RekeyPrivateFile(const std::wstring& dataDir, const std::wstring& currentKey,
                                      const std::wstring& newPassword, int pauseMs,
                                      const std::function<void()>& letMessagesRun,
                                      const std::function<void(int)>& pause);
