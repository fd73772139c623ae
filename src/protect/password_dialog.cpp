#include "protect/password_dialog.h"

#include <commctrl.h>

#include <memory>
#include <optional>
#include <utility>

#include "base/stored_names.h"
#include "base/wipe.h"
#include "store/file_cipher.h"
#include "store/datafiles.h"
#include "win/app.h"
#include "win/edit_filter.h"

using password_dialog::CommitOutcome;

namespace {

constexpr UINT kEnterMsg = WM_APP + 41;  // Enter in the password box, handled outside the edit's own proc
}  // namespace

std::function<void()> PasswordDialog::SoundBeep = [] { MessageBeep(MB_OK); };

// ---- the dialog -------------------------------------------------------------------------

PasswordDialog::PasswordDialog(PasswordDialogLinks links)
    : links_(std::move(links)), logic_(*links_.password, links_.exeName, *this, links_.purpose) {}

PasswordDialog::~PasswordDialog() {
    if (hwnd_) OnClosing();
}

bool PasswordDialog::Open() {
    if (!CreateTopLevel(L"", WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN, 0, links_.panel,
                        nullptr, password_dialog::kWidth, password_dialog::kShortHeight))
        return false;
    CreateControls();

    OpenAsDialog({.owner = links_.panel, .slot = links_.own ? &links_.own->passwordDialog : nullptr});

    logic_.OnLoad();
    Apply();
    return true;
}

void PasswordDialog::CreateControls() {
    using namespace password_dialog;
    lblPrompt = AddControl({.style = WS_VISIBLE | SS_CENTER | SS_NOPREFIX, .left = 120, .top = 240,
                            .width = 3975, .height = 375, .id = kLblPrompt});
    editPassword = AddControl({.cls = L"EDIT", .style = WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL | ES_PASSWORD,
                               .exStyle = WS_EX_CLIENTEDGE, .left = 1080, .top = 600, .width = 1935, .height = 375,
                               .id = kEditPassword});
    // The three buttons share one place; the mode shows one of them.
    auto button = [this](const std::wstring& text, DWORD visible, int id, void (PasswordDialog::*click)()) {
        return AddControl({.cls = L"BUTTON", .text = text, .style = visible | WS_TABSTOP | BS_PUSHBUTTON,
                           .left = 1440, .top = 1080, .width = 1215, .height = 375, .id = id,
                           .onClick = [this, click] { (this->*click)(); }});
    };
    btnVerify = button(kOkCaption, WS_VISIBLE, kBtnVerify, &PasswordDialog::OnVerify);
    btnRegister = button(L"", 0, kBtnRegister, &PasswordDialog::OnRegister);
    btnConfirm = button(L"", 0, kBtnConfirm, &PasswordDialog::OnConfirm);
    // The box is too narrow to show its text, which is there as its name; the label beside
    // it shows the text and toggles the box as well.
    chkSwitchOff = AddControl({.cls = L"BUTTON", .text = kSwitchOffText, .style = WS_TABSTOP | BS_AUTOCHECKBOX, .left = 960, .top = 1440,
                               .width = 255, .height = 375, .id = kChkSwitchOff, .onClick = [this] { OnSwitchOff(); }});
    lblSwitchOff = AddControl({.text = kSwitchOffText, .style = SS_NOPREFIX | SS_NOTIFY, .left = 1200, .top = 1560,
                               .width = 2295, .height = 255, .id = kLblSwitchOff,
                               .onClick = [this] { SendMessageW(chkSwitchOff->hwnd, BM_CLICK, 0, 0); }});
    for (Control* c : {lblPrompt, btnVerify, btnRegister, btnConfirm, chkSwitchOff, lblSwitchOff}) c->SetFont(kUiFont, 9);
    SendMessageW(editPassword->hwnd, EM_SETPASSWORDCHAR, L'*', 0);
    SendMessageW(editPassword->hwnd, EM_LIMITTEXT, kMaxPasswordChars, 0);
    editPassword->SetFont(kUiFont, 11.25, true);
    masked_ = true;
    // Enter becomes a click; characters the password file cannot hold never get in.
    FilterEdit(editPassword->hwnd, {.enterMsg = kEnterMsg, .accepts = password_dialog::AcceptsPasswordChar,
                                    .refused = [] { PasswordDialog::SoundBeep(); }, .checkPastes = true});
}

void PasswordDialog::Show() {
    if (!hwnd_) return;
    ShowWindow(hwnd_, SW_SHOW);
    SetForegroundWindow(hwnd_);
    OnActivated();
}

void PasswordDialog::Run(void (password_dialog::PasswordDialogLogic::*handler)()) {
    if (!hwnd_ || logic_.closed() || logic_.busy()) return;
    wipe::Clear(logic_.view.entry);
    logic_.view.entry = editPassword->Text();
    (logic_.*handler)();
    Apply();
}

void PasswordDialog::Apply() {
    if (!hwnd_ || logic_.closed()) return;
    const password_dialog::View& v = logic_.view;
    if (WindowText(hwnd_) != v.caption) SetCaption(v.caption);
    lblPrompt->SetText(v.prompt);
    if (masked_ != v.masked) {
        masked_ = v.masked;
        SendMessageW(editPassword->hwnd, EM_SETPASSWORDCHAR, v.masked ? L'*' : 0, 0);
        editPassword->SetFont(kUiFont, 11.25, v.masked);
        InvalidateRect(editPassword->hwnd, nullptr, TRUE);
    }
    editPassword->SetText(v.entry);
    btnVerify->SetText(v.verifyCaption);
    btnRegister->SetText(v.registerCaption);
    btnConfirm->SetText(v.confirmCaption);
    btnVerify->SetVisible(v.verifyVisible);
    btnRegister->SetVisible(v.registerVisible);
    btnConfirm->SetVisible(v.confirmVisible);
    chkSwitchOff->SetVisible(v.switchOffVisible);
    lblSwitchOff->SetVisible(v.switchOffVisible);
    if (Height() != v.height) SetHeight(v.height);
    if (focusPasswordBox_) {
        focusPasswordBox_ = false;
        editPassword->SetFocus();
    }
}

void PasswordDialog::OnActivated() { Run(&password_dialog::PasswordDialogLogic::OnActivated); }
void PasswordDialog::OnVerify() { Run(&password_dialog::PasswordDialogLogic::OnVerify); }
void PasswordDialog::OnRegister() { Run(&password_dialog::PasswordDialogLogic::OnRegister); }
void PasswordDialog::OnConfirm() { Run(&password_dialog::PasswordDialogLogic::OnConfirm); }
void PasswordDialog::OnSwitchOff() { Run(&password_dialog::PasswordDialogLogic::OnSwitchOff); }

void PasswordDialog::OnClosing() {
    // The box's own buffer is written over before the window frees it.
    if (editPassword && editPassword->hwnd)
        editPassword->SetText(std::wstring(static_cast<size_t>(GetWindowTextLengthW(editPassword->hwnd)), L' '));
    logic_.OnClosing();
    ReleaseHeldUp();
}

LRESULT PasswordDialog::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case kEnterMsg:
        Run(&password_dialog::PasswordDialogLogic::OnEnter);
        return 0;
    case WM_COMMAND:
        // Esc, as the dialog manager reports it: a cancel, like the close box.
        if (LOWORD(wp) == IDCANCEL && lp == 0) return SendMessageW(hwnd_, WM_CLOSE, 0, 0);
        break;
    case WM_SETCURSOR:
        // The window answers while the key is derived; the pointer still says to wait.
        if (!logic_.busy()) break;
        SetCursor(LoadCursorW(nullptr, IDC_WAIT));
        return TRUE;
    case WM_CLOSE:
        if (logic_.busy()) return 0;  // a re-key is under way; it closes the dialog itself
        OnClosing();
        DestroyWindow(hwnd_);
        Gone();
        return 0;
    }
    return Form::HandleMessage(msg, wp, lp);
}

// ---- what the flows do outside the dialog ----------------------------------------------

std::wstring PasswordDialog::Lower(const std::wstring& text) {
    std::wstring s = text;
    if (!s.empty()) CharLowerBuffW(s.data(), static_cast<DWORD>(s.size()));
    return s;
}

void PasswordDialog::Beep() { SoundBeep(); }

void PasswordDialog::MsgBox(const std::wstring& text, uint32_t flags, const std::wstring& title) {
    ::MsgBox(text, flags, title.empty() ? std::wstring(kProgramTitle) : title);
}

CommitOutcome PasswordDialog::CommitPassword(const std::wstring& newPassword, int pauseMs) {
    BusyCursor busy;
    return links_.dataSets->Rekey(newPassword, pauseMs, DoEvents,
                                  [](int ms) { Sleep(static_cast<DWORD>(ms)); });
}

bool PasswordDialog::BackupHasPasswordFile() { return FileExists(links_.backupDir + L"\\" + stored::kPasswordFile); }

PasswordDialog::Unlocked PasswordDialog::UnlockSealed(const std::wstring& password) {
    DataSetService& sets = *links_.dataSets;
    if (sets.SealedFileDamaged()) {
        // No password opens it: said as damage, kept aside, and Private starts afresh.
        const std::wstring aside = sets.KeepAside(stored::kUnreadablePrefix);
        if (!aside.empty()) sets.RepairPrivate();
        ::MsgBox(std::wstring(stored::kPrivateFile) + L" は壊れています。パスワードでは開けません。\r\n\r\n" +
                     (aside.empty() ? L"ファイルはそのまま残してあります。\r\n" + sets.File(stored::kPrivateFile)
                                    : L"壊れたファイルは次の名前で残し、Privateは空の状態から始めます。\r\n" + aside),
                 MB_OK | MB_ICONSTOP, links_.exeName);
        return Unlocked::Damaged;
    }
    BusyCursor busy;  // the key function takes about a second; the windows keep painting
    return sets.Unlock(password) ? Unlocked::Opened : Unlocked::WrongPassword;
}

void PasswordDialog::Pause(int ms) { Sleep(static_cast<DWORD>(ms)); }

void PasswordDialog::Close() {
    OnClosing();
    if (hwnd_) DestroyWindow(hwnd_);
    Gone();
}

void PasswordDialog::Gone() {
    if (std::exchange(goneTold_, true) || !links_.gone) return;
    links_.gone(logic_.privateOpened());
}
