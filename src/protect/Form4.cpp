#include "protect/Form4.h"

#include <commctrl.h>

#include <memory>
#include <optional>

#include "store/clsCryptFile.h"
#include "store/datafiles.h"
#include "win/app.h"
#include "win/edit_filter.h"

using form4::CommitOutcome;

namespace {

constexpr UINT kEnterMsg = WM_APP + 41;  // Enter in Text1, handled outside the edit's own proc
const wchar_t kUiFont[] = L"ＭＳ Ｐゴシック";

std::wstring WindowText(HWND h) {
    int n = GetWindowTextLengthW(h);
    std::wstring s(static_cast<size_t>(n) + 1, L'\0');
    n = GetWindowTextW(h, s.data(), n + 1);
    s.resize(static_cast<size_t>(n > 0 ? n : 0));
    return s;
}

}  // namespace

std::function<void()> Form4::SoundBeep = [] { MessageBeep(MB_OK); };

// ---- the dialog -------------------------------------------------------------------------

Form4::Form4(Form4Links links)
    : links_(std::move(links)), logic_(*links_.password, links_.exeName, *this) {}

Form4::~Form4() {
    if (hwnd_) {
        Form_QueryUnload();
        UnregisterDialogWindow(hwnd_);
        if (links_.own && links_.own->Form4 == reinterpret_cast<uintptr_t>(hwnd_)) links_.own->Form4 = 0;
    }
}

bool Form4::Form_Load() {
    if (!CreateTopLevel(L"", WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN, 0, links_.panel,
                        nullptr, form4::kWidth, form4::kShortHeight))
        return false;
    CreateControls();

    MONITORINFO mi{};
    mi.cbSize = sizeof mi;
    if (GetMonitorInfoW(MonitorFromWindow(links_.panel ? links_.panel : hwnd_, MONITOR_DEFAULTTONEAREST), &mi)) {
        RECT r;
        GetWindowRect(hwnd_, &r);
        int x = (mi.rcWork.left + mi.rcWork.right - (r.right - r.left)) / 2;
        int y = (mi.rcWork.top + mi.rcWork.bottom - (r.bottom - r.top)) / 2;
        SetWindowPos(hwnd_, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }

    SetWindowPos(hwnd_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    if (links_.panel) EnableWindow(links_.panel, FALSE);
    if (links_.own) links_.own->Form4 = reinterpret_cast<uintptr_t>(hwnd_);
    RegisterDialogWindow(hwnd_);

    logic_.Form_Load();
    Apply();
    return true;
}

void Form4::CreateControls() {
    using namespace form4;
    Label1 = AddControl(L"STATIC", L"", WS_VISIBLE | SS_CENTER | SS_NOPREFIX, 0, 120, 240, 3975,
                        375, nullptr, kLabel1);
    Text1 = AddControl(L"EDIT", L"", WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL | ES_PASSWORD,
                       WS_EX_CLIENTEDGE, 1080, 600, 1935, 375, nullptr, kText1);
    Command1 = AddControl(L"BUTTON", kOkCaption, WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0, 1440,
                          1080, 1215, 375, nullptr, kCommand1);
    Command2 = AddControl(L"BUTTON", L"", WS_TABSTOP | BS_PUSHBUTTON, 0, 1440, 1080, 1215, 375,
                          nullptr, kCommand2);
    Command3 = AddControl(L"BUTTON", L"", WS_TABSTOP | BS_PUSHBUTTON, 0, 1440, 1080, 1215, 375,
                          nullptr, kCommand3);
    Check1 = AddControl(L"BUTTON", L"", WS_TABSTOP | BS_AUTOCHECKBOX, 0, 960, 1440, 255, 375,
                        nullptr, kCheck1);
    Label2 = AddControl(L"STATIC", kLabel2Text, SS_NOPREFIX, 0, 1200, 1560, 2295, 255, nullptr,
                        kLabel2);
    for (Control* c : {Label1, Command1, Command2, Command3, Check1, Label2}) c->SetFont(kUiFont, 9);
    SendMessageW(Text1->hwnd, EM_SETPASSWORDCHAR, L'*', 0);
    Text1->SetFont(kUiFont, 11.25, true);
    masked_ = true;
    // Enter becomes a click; characters the password file cannot hold never get in.
    FilterEdit(Text1->hwnd, {.enterMsg = kEnterMsg, .accepts = form4::AcceptsPasswordChar,
                             .refused = [] { Form4::SoundBeep(); }, .checkPastes = true});
}

void Form4::Show() {
    if (!hwnd_) return;
    ShowWindow(hwnd_, SW_SHOW);
    SetForegroundWindow(hwnd_);
    Form_Activate();
}

void Form4::Run(void (form4::Form4Logic::*handler)()) {
    if (!hwnd_ || logic_.closed() || logic_.busy()) return;
    logic_.view.text1 = Text1->Text();
    (logic_.*handler)();
    Apply();
}

void Form4::Apply() {
    if (!hwnd_ || logic_.closed()) return;
    const form4::View& v = logic_.view;
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

void Form4::Form_Activate() { Run(&form4::Form4Logic::Form_Activate); }
void Form4::Command1_Click() { Run(&form4::Form4Logic::Command1_Click); }
void Form4::Command2_Click() { Run(&form4::Form4Logic::Command2_Click); }
void Form4::Command3_Click() { Run(&form4::Form4Logic::Command3_Click); }
void Form4::Check1_Click() { Run(&form4::Form4Logic::Check1_Click); }

void Form4::Form_QueryUnload() {
    logic_.Form_QueryUnload();
    if (links_.panel) EnableWindow(links_.panel, TRUE);
}

LRESULT Form4::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_COMMAND:
        if (lp && HIWORD(wp) == BN_CLICKED) {
            HWND ctl = reinterpret_cast<HWND>(lp);
            if (ctl == Command1->hwnd) Command1_Click();
            else if (ctl == Command2->hwnd) Command2_Click();
            else if (ctl == Command3->hwnd) Command3_Click();
            else if (ctl == Check1->hwnd) Check1_Click();
        }
        return 0;
    case kEnterMsg:
        Run(&form4::Form4Logic::Text1_Enter);
        return 0;
    case WM_CLOSE:
        if (logic_.busy()) return 0;  // a re-key is under way; it closes the dialog itself
        Form_QueryUnload();
        DestroyWindow(hwnd_);
        return 0;
    case WM_DESTROY:
        UnregisterDialogWindow(hwnd_);
        if (links_.own && links_.own->Form4 == reinterpret_cast<uintptr_t>(hwnd_)) links_.own->Form4 = 0;
        break;
    }
    return Form::HandleMessage(msg, wp, lp);
}

// ---- what the flows do outside the dialog ----------------------------------------------

bool Form4::Checked(form4::Menu item) { return links_.checked && links_.checked(item); }

void Form4::SetChecked(form4::Menu item, bool on) {
    if (links_.setChecked) links_.setChecked(item, on);
}

void Form4::SetEnabled(form4::Menu item, bool on) {
    if (links_.setEnabled) links_.setEnabled(item, on);
}

std::wstring Form4::Lower(const std::wstring& text) {
    std::wstring s = text;
    if (!s.empty()) CharLowerBuffW(s.data(), static_cast<DWORD>(s.size()));
    return s;
}

void Form4::Beep() { SoundBeep(); }

void Form4::MsgBox(const std::wstring& text, uint32_t flags, const std::wstring& title) {
    ::MsgBox(text, flags, title.empty() ? std::wstring(kProgramTitle) : title);
}

CommitOutcome Form4::CommitPassword(const std::wstring& newPassword, int pauseMs) {
    BusyCursor busy;
    return links_.dataSets->Rekey(newPassword, pauseMs, DoEvents,
                                  [](int ms) { Sleep(static_cast<DWORD>(ms)); });
}

std::wstring Form4::DefaultPassword() { return ::DefaultPassword(); }

bool Form4::BackupHasPasswordFile() { return FileExists(links_.backupDir + L"\\MyData_0.dat"); }

void Form4::Pause(int ms) { Sleep(static_cast<DWORD>(ms)); }

void Form4::Close() {
    Form_QueryUnload();
    if (hwnd_) DestroyWindow(hwnd_);
}
