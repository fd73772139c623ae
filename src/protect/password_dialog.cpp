#include "protect/password_dialog.h"

#include <commctrl.h>

#include <memory>
#include <optional>

#include "store/file_cipher.h"
#include "store/datafiles.h"
#include "win/app.h"
#include "win/edit_filter.h"

using password_dialog::CommitOutcome;

namespace {

constexpr UINT kEnterMsg = WM_APP + 41;  // Enter in Text1, handled outside the edit's own proc
}  // namespace

std::function<void()> PasswordDialog::SoundBeep = [] { MessageBeep(MB_OK); };

// ---- the dialog -------------------------------------------------------------------------

PasswordDialog::PasswordDialog(PasswordDialogLinks links)
    : links_(std::move(links)), logic_(*links_.password, links_.exeName, *this) {}

PasswordDialog::~PasswordDialog() {
    if (hwnd_) {
        Form_QueryUnload();
        UnregisterDialogWindow(hwnd_);
        if (links_.own && links_.own->passwordDialog == reinterpret_cast<uintptr_t>(hwnd_)) links_.own->passwordDialog = 0;
    }
}

bool PasswordDialog::Form_Load() {
    if (!CreateTopLevel(L"", WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN, 0, links_.panel,
                        nullptr, password_dialog::kWidth, password_dialog::kShortHeight))
        return false;
    CreateControls();

    CentreOnWorkArea(hwnd_, links_.panel);
    SetWindowPos(hwnd_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    if (links_.panel) EnableWindow(links_.panel, FALSE);
    if (links_.own) links_.own->passwordDialog = reinterpret_cast<uintptr_t>(hwnd_);
    RegisterDialogWindow(hwnd_);

    logic_.Form_Load();
    Apply();
    return true;
}

void PasswordDialog::CreateControls() {
    using namespace password_dialog;
    Label1 = AddControl({.style = WS_VISIBLE | SS_CENTER | SS_NOPREFIX, .left = 120, .top = 240,
                         .width = 3975, .height = 375, .id = kLabel1});
    Text1 = AddControl({.cls = L"EDIT", .style = WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL | ES_PASSWORD,
                        .exStyle = WS_EX_CLIENTEDGE, .left = 1080, .top = 600, .width = 1935, .height = 375,
                        .id = kText1});
    // The three buttons share one place; the mode shows one of them.
    auto button = [this](const std::wstring& text, DWORD visible, int id, void (PasswordDialog::*click)()) {
        return AddControl({.cls = L"BUTTON", .text = text, .style = visible | WS_TABSTOP | BS_PUSHBUTTON,
                           .left = 1440, .top = 1080, .width = 1215, .height = 375, .id = id,
                           .onClick = [this, click] { (this->*click)(); }});
    };
    Command1 = button(kOkCaption, WS_VISIBLE, kCommand1, &PasswordDialog::Command1_Click);
    Command2 = button(L"", 0, kCommand2, &PasswordDialog::Command2_Click);
    Command3 = button(L"", 0, kCommand3, &PasswordDialog::Command3_Click);
    Check1 = AddControl({.cls = L"BUTTON", .style = WS_TABSTOP | BS_AUTOCHECKBOX, .left = 960, .top = 1440,
                         .width = 255, .height = 375, .id = kCheck1, .onClick = [this] { Check1_Click(); }});
    Label2 = AddControl({.text = kLabel2Text, .style = SS_NOPREFIX, .left = 1200, .top = 1560, .width = 2295,
                         .height = 255, .id = kLabel2});
    for (Control* c : {Label1, Command1, Command2, Command3, Check1, Label2}) c->SetFont(kUiFont, 9);
    SendMessageW(Text1->hwnd, EM_SETPASSWORDCHAR, L'*', 0);
    Text1->SetFont(kUiFont, 11.25, true);
    masked_ = true;
    // Enter becomes a click; characters the password file cannot hold never get in.
    FilterEdit(Text1->hwnd, {.enterMsg = kEnterMsg, .accepts = password_dialog::AcceptsPasswordChar,
                             .refused = [] { PasswordDialog::SoundBeep(); }, .checkPastes = true});
}

void PasswordDialog::Show() {
    if (!hwnd_) return;
    ShowWindow(hwnd_, SW_SHOW);
    SetForegroundWindow(hwnd_);
    Form_Activate();
}

void PasswordDialog::Run(void (password_dialog::PasswordDialogLogic::*handler)()) {
    if (!hwnd_ || logic_.closed() || logic_.busy()) return;
    logic_.view.text1 = Text1->Text();
    (logic_.*handler)();
    Apply();
}

void PasswordDialog::Apply() {
    if (!hwnd_ || logic_.closed()) return;
    const password_dialog::View& v = logic_.view;
    if (WindowText(hwnd_) != v.caption) SetCaption(v.caption);
    Label1->SetText(v.label1);
    if (masked_ != v.masked) {
        masked_ = v.masked;
        SendMessageW(Text1->hwnd, EM_SETPASSWORDCHAR, v.masked ? L'*' : 0, 0);
        Text1->SetFont(kUiFont, 11.25, v.masked);
        InvalidateRect(Text1->hwnd, nullptr, TRUE);
    }
    Text1->SetText(v.text1);
    Command1->SetText(v.command1Caption);
    Command2->SetText(v.command2Caption);
    Command3->SetText(v.command3Caption);
    Command1->SetVisible(v.command1Visible);
    Command2->SetVisible(v.command2Visible);
    Command3->SetVisible(v.command3Visible);
    Check1->SetVisible(v.check1Visible);
    Label2->SetVisible(v.check1Visible);
    if (Height() != v.height) SetHeight(v.height);
    if (focusText1_) {
        focusText1_ = false;
        Text1->SetFocus();
    }
}

void PasswordDialog::Form_Activate() { Run(&password_dialog::PasswordDialogLogic::Form_Activate); }
void PasswordDialog::Command1_Click() { Run(&password_dialog::PasswordDialogLogic::Command1_Click); }
void PasswordDialog::Command2_Click() { Run(&password_dialog::PasswordDialogLogic::Command2_Click); }
void PasswordDialog::Command3_Click() { Run(&password_dialog::PasswordDialogLogic::Command3_Click); }
void PasswordDialog::Check1_Click() { Run(&password_dialog::PasswordDialogLogic::Check1_Click); }

void PasswordDialog::Form_QueryUnload() {
    logic_.Form_QueryUnload();
    if (links_.panel) EnableWindow(links_.panel, TRUE);
}

LRESULT PasswordDialog::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case kEnterMsg:
        Run(&password_dialog::PasswordDialogLogic::Text1_Enter);
        return 0;
    case WM_CLOSE:
        if (logic_.busy()) return 0;  // a re-key is under way; it closes the dialog itself
        Form_QueryUnload();
        DestroyWindow(hwnd_);
        return 0;
    case WM_DESTROY:
        UnregisterDialogWindow(hwnd_);
        if (links_.own && links_.own->passwordDialog == reinterpret_cast<uintptr_t>(hwnd_)) links_.own->passwordDialog = 0;
        break;
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

bool PasswordDialog::BackupHasPasswordFile() { return FileExists(links_.backupDir + L"\\MyData_0.dat"); }

void PasswordDialog::Pause(int ms) { Sleep(static_cast<DWORD>(ms)); }

void PasswordDialog::Close() {
    Form_QueryUnload();
    if (hwnd_) DestroyWindow(hwnd_);
}
