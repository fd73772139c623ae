// The panel's menu items 新しい「<exe>」の作成 and ﾃﾞｽｸﾄｯﾌﾟにｼｮｰﾄｶｯﾄの作成.
#include <windows.h>

#include "app/program.h"
#include "protect/new_copy_dialog.h"
#include "win/app.h"
#include "win/shortcut.h"

void Program::MakeNewCopy() {
    if (newCopyDialog_ && newCopyDialog_->hwnd()) {
        SetForegroundWindow(newCopyDialog_->hwnd());
        return;
    }
    NewCopyDialogLinks links;
    links.panel = panel_->hwnd();
    links.own = &app_.own;
    links.exeName = app_.exeName;
    links.exePath = ::ExePath();
    links.programDir = app_.programDir;
    links.makeShortcut = [](const std::wstring& name) { return MakeShortcut(name); };
    newCopyDialog_ = std::make_unique<NewCopyDialog>(std::move(links));
    if (!newCopyDialog_->Open()) newCopyDialog_.reset();
}

void Program::MakeDesktopShortcut() {
    const std::wstring& exe = app_.exeName;
    const std::wstring sp3 = L"　　　";
    if (MsgBox(L"デスクトップに「" + exe + L"」のショートカットを作成しますか？" + sp3, MB_YESNO | MB_ICONINFORMATION,
               L"ショートカットの作成") != IDYES)
        return;
    if (!MakeShortcut(exe)) {
        MsgBox(L"「" + exe + L"」のショートカットを" + sp3 + L"\r\n\r\nデスクトップに作成できませんでした。",
               MB_OK | MB_ICONEXCLAMATION, L"ショートカットの作成");
        return;
    }
    panel_->SetMenuEnabled(panel_ids::kDesktopShortcut, false);
    MsgBox(L"「" + exe + L"」のショートカットを" + sp3 + L"\r\n\r\nデスクトップに作成しました。",
           MB_OK | MB_ICONINFORMATION, L"ショートカットの作成");
}
