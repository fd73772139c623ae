#include "protect/private_password_prompt.h"

#include "protect/password_dialog_logic.h"
#include "win/app.h"

namespace {
const wchar_t kPrompt[] =
    L"パスワードファイルが壊れていたため、Privateのパスワードを確認します。\r\n"
    L"Privateに設定していたパスワードを入力してください。";
const wchar_t kWrong[] = L"パスワードが違います。もう一度入力してください。";
}  // namespace

PrivatePasswordPrompt::PrivatePasswordPrompt(HWND owner, std::function<bool(const std::wstring&)> accepts, uintptr_t* ownSlot)
    : owner_(owner), accepts_(std::move(accepts)), slot_(ownSlot) {}

bool PrivatePasswordPrompt::Run(std::wstring* password) {
    if (!CreateTopLevel(password_prompt::kCaption, WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU, WS_EX_TOPMOST,
                        owner_, nullptr, 6000, 2200))
        return false;
    lblPrompt = AddControl({.text = kPrompt, .style = WS_VISIBLE | SS_NOPREFIX, .left = 240, .top = 200,
                            .width = 5400, .height = 600, .id = password_prompt::kLblPrompt});
    editPassword = AddControl({.cls = L"EDIT", .style = WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL | ES_PASSWORD,
                               .exStyle = WS_EX_CLIENTEDGE, .left = 1800, .top = 900, .width = 2400,
                               .height = 375, .id = password_prompt::kEditPassword});
    btnOk = AddControl({.cls = L"BUTTON", .text = L"O K", .style = WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON,
                        .left = 1560, .top = 1440, .width = 1215, .height = 375, .id = password_prompt::kBtnOk,
                        .onClick = [this] { OnOk(); }});
    btnCancel = AddControl({.cls = L"BUTTON", .text = L"キャンセル", .style = WS_VISIBLE | WS_TABSTOP,
                            .left = 3000, .top = 1440, .width = 1215, .height = 375, .id = password_prompt::kBtnCancel,
                            .onClick = [this] { done_ = true; }});
    for (Control* c : {lblPrompt, btnOk, btnCancel}) c->SetFont(kUiFont, 9);
    editPassword->SetFont(kUiFont, 11.25, true);
    SendMessageW(editPassword->hwnd, EM_SETPASSWORDCHAR, L'*', 0);
    SendMessageW(editPassword->hwnd, EM_LIMITTEXT, password_dialog::kMaxPasswordChars, 0);
    OpenAsDialog({.owner = owner_, .slot = slot_});
    ShowWindow(hwnd_, SW_SHOW);
    SetForegroundWindow(hwnd_);
    editPassword->SetFocus();
    // A loop of its own, as a message box has: start-up waits for the key.
    MSG msg;
    while (!done_ && GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (RouteDialogMessage(&msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    if (msg.message == WM_QUIT && !done_) PostQuitMessage(static_cast<int>(msg.wParam));
    ReleaseHeldUp();
    DestroyWindow(hwnd_);
    if (accepted_ && password) *password = password_;
    return accepted_;
}

void PrivatePasswordPrompt::OnOk() {
    std::wstring typed = editPassword->Text();
    if (!typed.empty()) CharLowerBuffW(typed.data(), static_cast<DWORD>(typed.size()));
    if (password_dialog::IsStorablePassword(typed) && accepts_(typed)) {
        password_ = typed;
        accepted_ = true;
        done_ = true;
        return;
    }
    MessageBeep(MB_OK);
    // Counted, so that every wrong password changes what the prompt says.
    ++wrong_;
    lblPrompt->SetText(wrong_ == 1 ? std::wstring(kWrong)
                                   : L"パスワードが違います（" + std::to_wstring(wrong_) + L"回目）。もう一度入力してください。");
    editPassword->SetText(L"");
    editPassword->SetFocus();
}

LRESULT PrivatePasswordPrompt::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_CLOSE) {
        done_ = true;
        return 0;
    }
    if (msg == WM_COMMAND && LOWORD(wp) == IDOK && lp == 0) {  // Enter in the box
        OnOk();
        return 0;
    }
    return Form::HandleMessage(msg, wp, lp);
}
