#include "protect/restore_dialog.h"

#include <commctrl.h>

#include "base/stored_names.h"
#include "protect/password_dialog_logic.h"
#include "store/backup_service.h"
#include "store/file_cipher.h"
#include "store/datafiles.h"
#include "win/app.h"
#include "win/edit_filter.h"

namespace {

constexpr UINT kEnterMsg = WM_APP + 71;  // Enter in the password box, handled outside the edit's own proc
constexpr int kClientWidth = 7950, kClientHeight = 1965;

// What the message box says of backup file MyData_<n>.dat when it is missing.
std::wstring MissingFileMessage(const std::wstring& exeName, int n) {
    static const wchar_t* const kKinds[4] = {L"パスワード", L"Publicデータ", L"Privateデータ", L"顔文字データ"};
    const std::wstring kind = kKinds[n];
    return L"「" + exeName + L"」の" + kind + L"ファイル(" + stored::DataFileName(n) + L")が存在しません。　　　" +
           (n == 0 ? L"" : L"_") + L"\r\n\r\n初期状態の" + kind + L"ファイルを作成します。";
}

void Pause(int ms) { Sleep(static_cast<DWORD>(ms)); }

const wchar_t kUnchanged[] = L"\r\n\r\nデータは読込前のまま変更されていません。";

// The cause on a line of its own.
std::wstring CauseOf(unsigned long error) {
    const std::wstring text = ErrorCauseText(error);
    return text.empty() ? L"" : L"\r\n\r\n(" + text + L")";
}

// What restore says of a backup file it will not take, and why.
std::wstring CheckMessage(const BackupCheck& c) {
    switch (c.fault) {
    case BackupFault::NoRoom:
        return L"データのフォルダに、読み込むデータを置く余地がありません。\r\n\r\n" + c.path + CauseOf(c.error);
    case BackupFault::Unreadable: return c.path + L"\r\n\r\nを読み取れませんでした。" + CauseOf(c.error);
    case BackupFault::WrongKey:
        return c.path + L"\r\n\r\nは、バックアップのパスワードで正しく復号できませんでした。";
    case BackupFault::NotColours: return c.path + L"\r\n\r\nは、ボタン色の一覧として読めません。";
    case BackupFault::None: break;
    }
    return L"";
}

}  // namespace

RestoreDialog::RestoreDialog(RestoreDialogLinks links) : links_(std::move(links)) {}

RestoreDialog::~RestoreDialog() = default;

std::wstring RestoreDialog::Title() const { return L"「" + links_.exeName + L"」のデータの読込"; }

bool RestoreDialog::Open() {
    BusyCursor busy;
    if (!CreateTopLevel(Title(), WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU, 0, links_.panel, nullptr, kClientWidth,
                        kClientHeight))
        return false;
    busy_ = true;
    struct Done { bool& b; ~Done() { b = false; } } done{busy_};
    CreateControls();
    OpenAsDialog({.owner = links_.panel, .slot = links_.own ? &links_.own->restoreDialog : nullptr,
                  .size = OuterSize(kClientWidth, kClientHeight)});

    const std::wstring& exe = links_.exeName;
    if (!FolderExists(links_.backupDir)) {
        MsgBox(L"「" + exe + L"」のデータの読込に失敗しました。\r\n\r\n" + exe + L".exe と同じディレクトリに、\r\n\r\n" +
                   exe + L"_BackupData フォルダが存在していません。　　　\r\n\r\nデータの読込を中止します。",
               MB_OK | MB_ICONSTOP, Title());
        Close();
        return false;
    }
    // Everything below works in the data folder; one that cannot be written is said first,
    // not taken for a fault of the backup.
    if (!CanWriteFolder(links_.dataDir)) {
        Fail(L"データのフォルダに書き込めません。\r\n\r\n" + links_.dataDir + kUnchanged);
        return false;
    }
    auto create = [&](int n, const std::wstring& privateKey) {
        if (CreateInitialBackupFile(links_.backupDir, n, DoEvents, Pause, privateKey)) return true;
        Fail(links_.backupDir + L"\\" + stored::DataFileName(n) + L"\r\n\r\nを作成できませんでした。");
        return false;
    };
    bool privateMissing = false;
    for (int n = 0; n < 4; ++n) {
        const std::wstring path = links_.backupDir + L"\\" + stored::DataFileName(n);
        if (PathExists(path)) {
            DoEvents();
            continue;
        }
        MsgBox(MissingFileMessage(exe, n), MB_OK | MB_ICONSTOP, Title());
        // Private is made once the backup's password is known, so that it opens under it.
        if (n == 2) privateMissing = true;
        else if (!create(n, DefaultPassword())) return false;
    }
    DoEvents();
    auto password = ReadBackupPassword(links_.backupDir);
    DoEvents();
    if (!password) {
        Fail(links_.backupDir + L"\\" + stored::kPasswordFile + L"\r\n\r\nのパスワードを読み取れませんでした。");
        return false;
    }
    if (privateMissing && !create(2, PrivateKeyFor(*password))) return false;
    backupPassword_ = *password;
    backupSealed_ = BackupPrivateSealed(links_.backupDir);
    if (backupPassword_.empty() && !backupSealed_) {
        CopyIn(L"");
        Close();
        return false;
    }
    ShowWindow(hwnd_, SW_SHOW);
    SetForegroundWindow(hwnd_);
    editPassword->SetFocus();
    return true;
}

void RestoreDialog::CreateControls() {
    using namespace restore_dialog;
    lblPrompt = AddControl({.text = L"データのバックアップ時に「Private」のデータセットで設定していた、"
                                 L"パスワードを入力してください。",
                            .style = WS_VISIBLE | SS_NOPREFIX, .left = 240, .top = 240, .width = 7575, .height = 495,
                            .id = kLblPrompt});
    editPassword = AddControl({.cls = L"EDIT", .style = WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL | ES_PASSWORD,
                               .exStyle = WS_EX_CLIENTEDGE, .left = 2880, .top = 840, .width = 1935, .height = 375,
                               .id = kEditPassword});
    btnOk = AddControl({.cls = L"BUTTON", .text = L"OK", .style = WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON,
                        .left = 2280, .top = 1440, .width = 1215, .height = 375, .id = kBtnOk,
                        .onClick = [this] { OnOk(); }});
    btnCancel = AddControl({.cls = L"BUTTON", .text = L"CANCEL", .style = WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON,
                            .left = 3960, .top = 1440, .width = 1215, .height = 375, .id = kBtnCancel,
                            .onClick = [this] { OnCancel(); }});
    lblPrompt->SetFont(kUiFont, 9);
    btnOk->SetFont(kUiFont, 9);
    btnCancel->SetFont(kUiFont, 9);
    editPassword->SetFont(kUiFont, 11.25, true);
    SendMessageW(editPassword->hwnd, EM_SETPASSWORDCHAR, L'*', 0);
    SendMessageW(editPassword->hwnd, EM_LIMITTEXT, password_dialog::kMaxPasswordChars, 0);
    FilterEdit(editPassword->hwnd, {.enterMsg = kEnterMsg});  // Enter is taken as OK
}

void RestoreDialog::OnOk() {
    if (busy_ || !hwnd_) return;
    busy_ = true;
    struct Done { bool& b; ~Done() { b = false; } } done{busy_};
    std::wstring typed;
    {
        BusyCursor busy;
        typed = editPassword->Text();
        if (!typed.empty()) CharLowerBuffW(typed.data(), static_cast<DWORD>(typed.size()));
    }
    if (typed != backupPassword_ && !backupSealed_) {
        MsgBox(L"パスワードが一致しませんでした。\r\n\r\nもう一度入力してください。　　　　　　　　　　",
               MB_OK | MB_ICONSTOP, Title());
        editPassword->SetText(L"");
        editPassword->SetFocus();
        return;
    }
    CopyIn(typed);
    Close();
}

void RestoreDialog::OnCancel() { Close(); }

bool RestoreDialog::CopyIn(const std::wstring& typedPassword) {
    DoEvents();
    FileWorkResult r;
    BackupCheck check;
    {
        BusyCursor busy;
        // Read as the windows that read them would before anything is replaced.
        check = CheckBackupFiles(links_.backupDir, links_.dataDir, PrivateKeyFor(typedPassword));
        if (check.fault == BackupFault::None) r = RestoreBackup(links_.backupDir, links_.dataDir);
    }
    if (check.fault != BackupFault::None) {
        Fail(CheckMessage(check) + kUnchanged);
        return false;
    }
    if (!r.ok) {
        Fail(r.failedPath + L"\r\n\r\nで問題が起きたため、読込を中止しました。" + CauseOf(r.error) + kUnchanged);
        return false;
    }
    PasswordState& pw = *links_.password;
    // Sealed, the password lives in no file: as at start-up, none is held.
    pw.Use(backupSealed_ ? std::wstring() : typedPassword);
    if (links_.restored) links_.restored();
    DoEvents();
    Pause(1000);
    DoEvents();
    MsgBox(L"「" + links_.exeName + L"」のデータの読込は成功しました。　　　　　\r\n\r\n"
           L"読込前のデータは、次のフォルダに残してあります。\r\n" + r.keptIn,
           MB_OK | MB_ICONINFORMATION, Title());
    return true;
}

void RestoreDialog::Fail(const std::wstring& detail) {
    MsgBox(L"「" + links_.exeName + L"」のデータの読込に失敗しました。\r\n\r\n" + detail, MB_OK | MB_ICONSTOP, Title());
    Close();
}

void RestoreDialog::Close() {
    ReleaseHeldUp();  // before the window goes, so that the panel is activated
    if (hwnd_) DestroyWindow(hwnd_);
}

LRESULT RestoreDialog::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case kEnterMsg:
        OnOk();
        return 0;
    case WM_CLOSE:
        if (busy_) return 0;  // the copy-in closes the dialog itself
        Close();
        return 0;
    }
    return Form::HandleMessage(msg, wp, lp);
}
