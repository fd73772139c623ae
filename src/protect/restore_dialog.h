#pragma once
// The restore dialog: completes the backup folder beside the executable, asks for the
// password Private had when the backup was made, and copies the backup into the data
// directory, all files or none. Shown without a modal loop; the panel stays disabled while
// it is open, so no data set can be loaded half way through.
#include <windows.h>

#include <functional>
#include <string>

#include "base/own_windows.h"
#include "store/password_state.h"
#include "win/form.h"

namespace restore_dialog {
// Control identifiers, for tests and the end-to-end driver.
enum ControlId { kLblPrompt = 7001, kEditPassword, kBtnOk, kBtnCancel };
}  // namespace restore_dialog

struct RestoreDialogLinks {
    HWND panel = nullptr;  // owner of the dialog, disabled while it is open
    PasswordState* password = nullptr;
    OwnWindowTable* own = nullptr;
    std::wstring exeName;
    std::wstring backupDir;
    std::wstring dataDir;
    // After a successful copy-in, with the password state already set: the panel's password
    // menu items follow it and Public is loaded from the restored files.
    std::function<void()> restored;
};

class RestoreDialog : public Form {
public:
    explicit RestoreDialog(RestoreDialogLinks links);
    ~RestoreDialog() override;

    // The whole load: the folder checked, missing backup files created, the backup's
    // password read. True when the dialog now waits for the password; false when it has
    // closed already (no folder, a failure, or a backup without password, restored at once).
    bool Open();

    void OnOk();  // also Enter in the password box
    void OnCancel();

    Control* lblPrompt = nullptr;  // asks for the password of the backup's time
    Control* editPassword = nullptr;
    Control* btnOk = nullptr;
    Control* btnCancel = nullptr;

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void CreateControls();
    bool CopyIn(const std::wstring& typedPassword);
    void Fail(const std::wstring& detail);
    std::wstring Title() const;
    void Close();

    RestoreDialogLinks links_;
    std::wstring backupPassword_;
    bool backupSealed_ = false;  // no password kept: the one typed is checked by opening Private
    bool busy_ = false;
};
