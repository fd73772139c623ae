// The panel's menu items 新しい「<exe>」の作成 and ﾃﾞｽｸﾄｯﾌﾟにｼｮｰﾄｶｯﾄの作成.
#include <windows.h>

#include "app/program.h"
#include "protect/Form5.h"
#include "win/app.h"
#include "win/shortcut.h"

void Program::NewApp_Click() {
    if (form5_ && form5_->hwnd()) {
        SetForegroundWindow(form5_->hwnd());
        return;
    }
    Form5Links links;
    links.panel = panel_->hwnd();
    links.own = &app_.own;
    links.exeName = app_.exeName;
    links.exePath = ::ExePath();
    links.programDir = app_.programDir;
    links.makeShortcut = [](const std::wstring& name) { return MakeShortcut(name); };
    form5_ = std::make_unique<Form5>(std::move(links));
    if (!form5_->Form_Load()) form5_.reset();
}

void Program::Create_Link_Click() {
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
    panel_->SetMenuEnabled(form1::kCreateLink, false);
    MsgBox(L"「" + exe + L"」のショートカットを" + sp3 + L"\r\n\r\nデスクトップに作成しました。",
           MB_OK | MB_ICONINFORMATION, L"ショートカットの作成");
}
