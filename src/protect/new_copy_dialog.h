#pragma once
// The new-copy dialog: copies the running executable beside itself under a name the user
// types, so the copy keeps data and settings of its own, and offers a desktop shortcut to
// it. Shown without a modal loop; the panel stays disabled while it is open.
#include <windows.h>

#include <functional>
#include <string>

#include "base/own_windows.h"
#include "win/form.h"

namespace new_copy {
// Control identifiers, for tests and the end-to-end driver.
enum ControlId { kLblExplanation = 5001, kLblName, kEditName, kBtnCreate, kBtnCancel, kLineSeparator };
}  // namespace new_copy

struct NewCopyDialogLinks {
    HWND panel = nullptr;  // owner of the dialog, disabled while it is open
    OwnWindowTable* own = nullptr;
    std::wstring exeName;     // the running program's name
    std::wstring exePath;     // the running executable, which is copied
    std::wstring programDir;  // where the copy goes
    // The desktop shortcut to programDir\<name>.exe; false when it could not be made.
    std::function<bool(const std::wstring& name)> makeShortcut;
};

class NewCopyDialog : public Form {
public:
    explicit NewCopyDialog(NewCopyDialogLinks links);
    ~NewCopyDialog() override;

    // Creates the window, disables the panel and shows the dialog with the focus in the name box.
    bool Open();

    void OnCreate();  // 作成: the copy flow
    void OnCancel();  // キャンセル

    Control* lblExplanation = nullptr;  // with the program directory
    Control* lblName = nullptr;         // "新しいアプリケーション(ファイル)名 : " and the length hint
    Control* editName = nullptr;
    Control* btnCreate = nullptr;
    Control* btnCancel = nullptr;
    Control* lineSeparator = nullptr;   // etched, under the explanation

    // Replaceable so tests can count beeps.
    static std::function<void()> SoundBeep;

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void CreateControls();
    void Refuse(const std::wstring& text, UINT icon);
    void Close();

    NewCopyDialogLinks links_;
    bool busy_ = false;
};
