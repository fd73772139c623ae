#include "protect/new_copy_dialog.h"

#include <commctrl.h>

#include "base/path_limits.h"
#include "protect/new_copy_logic.h"
#include "win/app.h"
#include "win/edit_filter.h"

namespace {

constexpr UINT kEnterMsg = WM_APP + 51;  // Enter in the name box, handled outside the edit's own proc
constexpr int kClientWidth = 7605, kClientHeight = 4365;
const std::wstring kSp3 = L"　　　";

// Both paths name the same file (however they are spelled).
bool SameFile(const std::wstring& a, const std::wstring& b) {
    auto identity = [](const std::wstring& p, BY_HANDLE_FILE_INFORMATION& info) {
        HANDLE h = CreateFileW(p.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                               OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
        if (h == INVALID_HANDLE_VALUE) return false;
        bool ok = GetFileInformationByHandle(h, &info) != FALSE;
        CloseHandle(h);
        return ok;
    };
    BY_HANDLE_FILE_INFORMATION x{}, y{};
    return identity(a, x) && identity(b, y) && x.dwVolumeSerialNumber == y.dwVolumeSerialNumber &&
           x.nFileIndexHigh == y.nFileIndexHigh && x.nFileIndexLow == y.nFileIndexLow;
}

}  // namespace

std::function<void()> NewCopyDialog::SoundBeep = [] { MessageBeep(MB_OK); };

NewCopyDialog::NewCopyDialog(NewCopyDialogLinks links) : links_(std::move(links)) {}

NewCopyDialog::~NewCopyDialog() = default;

bool NewCopyDialog::Open() {
    if (!CreateTopLevel(L"新しい「" + links_.exeName + L"」の作成", WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU,
                        0, links_.panel, nullptr, kClientWidth, kClientHeight))
        return false;
    CreateControls();
    OpenAsDialog({.owner = links_.panel, .slot = links_.own ? &links_.own->newCopyDialog : nullptr,
                  .size = OuterSize(kClientWidth, kClientHeight)});
    ShowWindow(hwnd_, SW_SHOW);
    SetForegroundWindow(hwnd_);
    editName->SetFocus();
    return true;
}

void NewCopyDialog::CreateControls() {
    using namespace new_copy;
    const std::wstring explanation =
        L"新しいデータセットの「ハリコ」を作成します。\r\n\r\n"
        L"データやパスワードなど固有情報は個別に保存されます。\r\n\r\n"
        L"新しいアプリケーション(ファイル)名を入力してください。"
        L" ( \\ / : * ? \" < > | は使えません。)\r\n\r\n"
        L"新しいアプリケーション(ファイル)のパスは\r\n\r\n" +
        links_.programDir + L"\r\n\r\n「" + links_.exeName + L"」と同じディレクトリに作成されます。";
    lblExplanation = AddControl({.text = explanation, .style = WS_VISIBLE | SS_NOPREFIX, .left = 240, .top = 240,
                                 .width = 7095, .height = 2250, .id = kLblExplanation});
    lineSeparator = AddControl({.style = WS_VISIBLE | SS_ETCHEDHORZ, .left = 120, .top = 2520, .width = 7365,
                                .height = 30, .id = kLineSeparator});
    lblName = AddControl({.text = L"新しいアプリケーション(ファイル)名 : \r\n"
                                  L"(全角4/半角8 文字以内ならタイトルバーに正常に表示されます。)",
                          .style = WS_VISIBLE | SS_RIGHT | SS_NOPREFIX, .left = 120, .top = 2880, .width = 5295,
                          .height = 495, .id = kLblName});
    editName = AddControl({.cls = L"EDIT", .style = WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL,
                           .exStyle = WS_EX_CLIENTEDGE, .left = 5520, .top = 2880, .width = 1335, .height = 375,
                           .id = kEditName});
    btnCancel = AddControl({.cls = L"BUTTON", .text = L"キャンセル", .style = WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON,
                            .left = 3480, .top = 3720, .width = 1695, .height = 375, .id = kBtnCancel,
                            .onClick = [this] { OnCancel(); }});
    btnCreate = AddControl({.cls = L"BUTTON", .text = L"作成", .style = WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON,
                            .left = 5400, .top = 3720, .width = 1695, .height = 375, .id = kBtnCreate,
                            .onClick = [this] { OnCreate(); }});
    // Tab goes from the name to 作成 first.
    SetWindowPos(btnCreate->hwnd, editName->hwnd, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    lblExplanation->SetFont(kUiFont, 9);
    lblName->SetFont(kUiFont, 9);
    editName->SetFont(kUiFont, 11.25);
    btnCreate->SetFont(kUiFont, 9, true);
    btnCancel->SetFont(kUiFont, 9, true);
    // Enter moves on to 作成; the nine characters a file name cannot hold are refused with a
    // beep as they are typed (pasted text is checked by 作成).
    FilterEdit(editName->hwnd, {.enterMsg = kEnterMsg, .accepts = [](wchar_t c) { return !new_copy::IsForbiddenChar(c); },
                                .refused = [] { NewCopyDialog::SoundBeep(); }});
}

void NewCopyDialog::Refuse(const std::wstring& text, UINT icon) {
    MsgBox(text, MB_OK | icon, L"新しい「" + links_.exeName + L"」の作成");
    if (hwnd_) editName->SetFocus();
}

void NewCopyDialog::OnCreate() {
    if (busy_ || !hwnd_) return;
    busy_ = true;
    struct Done { bool& b; ~Done() { b = false; } } done{busy_};
    const std::wstring name = editName->Text();
    switch (new_copy::CheckNewName(name)) {
    case new_copy::NameProblem::Empty:
        return Refuse(L"テキストボックスに新しいアプリケーション(ファイル)名を入力してください。", MB_ICONINFORMATION);
    case new_copy::NameProblem::Forbidden:
        return Refuse(L"名前に使えない文字が含まれています。\r\n\r\n( \\ / : * ? \" < > | は使えません。)",
                      MB_ICONEXCLAMATION);
    case new_copy::NameProblem::Reserved:
        return Refuse(L"「" + name + L"」はWindowsが予約している名前のため使えません。", MB_ICONEXCLAMATION);
    case new_copy::NameProblem::TrailingDotOrSpace:
        return Refuse(L"名前の最後に「.」や半角スペースは使えません。", MB_ICONEXCLAMATION);
    case new_copy::NameProblem::None: break;
    }
    const size_t longest = LongestName(links_.programDir, 4);
    if (name.size() > longest)
        return Refuse(L"名前が長すぎます。\r\n\r\nこのフォルダに作成するには、" + std::to_wstring(longest) +
                          L"文字以内の名前を入力してください。",
                      MB_ICONEXCLAMATION);
    const std::wstring target = links_.programDir + L"\\" + name + L".exe";
    const bool existed = GetFileAttributesW(target.c_str()) != INVALID_FILE_ATTRIBUTES;
    if (existed) {
        if (SameFile(target, links_.exePath))
            return Refuse(L"「" + name + L"」は実行中のアプリケーションです。\r\n\r\n別の名前を入力してください。",
                          MB_ICONEXCLAMATION);
        if (MsgBox(L"「" + name + L".exe」は既にあります。\r\n\r\n置き換えますか？",
                   MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2, L"新しい「" + links_.exeName + L"」の作成") != IDYES) {
            if (hwnd_) editName->SetFocus();
            return;
        }
    }
    bool copied = CopyFileW(links_.exePath.c_str(), target.c_str(), FALSE) != FALSE;
    if (copied && !FileCarriesName(target)) {
        // Made under a shortened name: not the copy the user asked for.
        if (!existed) DeleteFileW(target.c_str());
        copied = false;
    }
    if (!copied)
        return Refuse(L"「" + name + L"」を作成できませんでした。\r\n\r\n" + target, MB_ICONSTOP);

    int answer = MsgBox(L"「" + name + L"」を「" + links_.exeName + L"」と同じディレクトリに作成しました。\r\n\r\n"
                        L"デスクトップに「" + name + L"」のショートカットを作成しますか？" + kSp3,
                        MB_YESNO | MB_ICONINFORMATION, L"「" + name + L"」の作成");
    if (answer == IDYES) {
        if (links_.makeShortcut && links_.makeShortcut(name))
            MsgBox(L"「" + name + L"」のショートカットを" + kSp3 + L"\r\n\r\nデスクトップに作成しました。",
                   MB_OK | MB_ICONINFORMATION, L"ショートカットの作成");
        else
            MsgBox(L"「" + name + L"」のショートカットを" + kSp3 + L"\r\n\r\nデスクトップに作成できませんでした。",
                   MB_OK | MB_ICONEXCLAMATION, L"ショートカットの作成");
    }
    Close();
}

void NewCopyDialog::OnCancel() { Close(); }

void NewCopyDialog::Close() {
    ReleaseHeldUp();  // before the window goes, so that the panel is activated
    if (hwnd_) DestroyWindow(hwnd_);
}

LRESULT NewCopyDialog::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case kEnterMsg:
        btnCreate->SetFocus();
        return 0;
    case WM_COMMAND:
        // Enter and Esc as the dialog manager reports them, wherever the focus is.
        if (lp == 0 && LOWORD(wp) == IDOK && !busy_) return OnCreate(), 0;
        if (lp == 0 && LOWORD(wp) == IDCANCEL && !busy_) return OnCancel(), 0;
        break;
    case WM_CLOSE:
        if (busy_) return 0;  // the copy flow closes the dialog itself
        Close();
        return 0;
    }
    return Form::HandleMessage(msg, wp, lp);
}
