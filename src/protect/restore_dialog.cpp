#include "protect/restore_dialog.h"

#include <commctrl.h>

#include "store/backup_service.h"
#include "store/file_cipher.h"
#include "store/datafiles.h"
#include "win/app.h"
#include "win/edit_filter.h"

namespace {

constexpr UINT kEnterMsg = WM_APP + 71;  // Enter in Text1, handled outside the edit's own proc
constexpr int kClientWidth = 7950, kClientHeight = 1965;

// What the message boxes say of a backup file that is missing, by number.
struct MissingFile {
    const wchar_t* message;
    const wchar_t* secondLine;
};
const MissingFile kMissing[4] = {
    {L"」のパスワードファイル(MyData_0.dat)が存在しません。　　　", L"初期状態のパスワードファイルを作成します。"},
    {L"」のPublicデータファイル(MyData_1.dat)が存在しません。　　　_", L"初期状態のPublicデータファイルを作成します。"},
    {L"」のPrivateデータファイル(MyData_2.dat)が存在しません。　　　_", L"初期状態のPrivateデータファイルを作成します。"},
    {L"」の顔文字データファイル(MyData_3.dat)が存在しません。　　　_", L"初期状態の顔文字データファイルを作成します。"},
};

void Pause(int ms) { Sleep(static_cast<DWORD>(ms)); }

const wchar_t kUnchanged[] = L"\r\n\r\nデータは読込前のまま変更されていません。";

}  // namespace

RestoreDialog::RestoreDialog(RestoreDialogLinks links) : links_(std::move(links)) {}

RestoreDialog::~RestoreDialog() {
    if (hwnd_) {
        Form_QueryUnload();
        UnregisterDialogWindow(hwnd_);
        if (links_.own && links_.own->restoreDialog == reinterpret_cast<uintptr_t>(hwnd_)) links_.own->restoreDialog = 0;
    }
}

std::wstring RestoreDialog::Title() const { return L"「" + links_.exeName + L"」のデータの読込"; }

bool RestoreDialog::Form_Load() {
    BusyCursor busy;
    if (!CreateTopLevel(Title(), WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU, 0, links_.panel, nullptr, kClientWidth,
                        kClientHeight))
        return false;
    busy_ = true;
    struct Done { bool& b; ~Done() { b = false; } } done{busy_};
    SetWindowPos(hwnd_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    if (links_.own) links_.own->restoreDialog = reinterpret_cast<uintptr_t>(hwnd_);
    if (links_.panel) EnableWindow(links_.panel, FALSE);
    CreateControls();
    CentreOnWorkArea(hwnd_, links_.panel, OuterSize(kClientWidth, kClientHeight));
    RegisterDialogWindow(hwnd_);

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
        Fail(links_.backupDir + L"\\MyData_" + std::to_wstring(n) + L".dat\r\n\r\nを作成できませんでした。");
        return false;
    };
    bool privateMissing = false;
    for (int n = 0; n < 4; ++n) {
        const std::wstring path = links_.backupDir + L"\\MyData_" + std::to_wstring(n) + L".dat";
        if (PathExists(path)) {
            DoEvents();
            continue;
        }
        MsgBox(L"「" + exe + kMissing[n].message + L"\r\n\r\n" + kMissing[n].secondLine, MB_OK | MB_ICONSTOP, Title());
        // Private is made once the backup's password is known, so that it opens under it.
        if (n == 2) privateMissing = true;
        else if (!create(n, DefaultPassword())) return false;
    }
    DoEvents();
    auto password = ReadBackupPassword(links_.backupDir, links_.dataDir);
    DoEvents();
    if (!password) {
        Fail(links_.backupDir + L"\\MyData_0.dat\r\n\r\nのパスワードを読み取れませんでした。");
        return false;
    }
    if (privateMissing && !create(2, PrivateKeyFor(*password))) return false;
    backupPassword_ = *password;
    if (backupPassword_.empty()) {
        CopyIn(L"");
        Close();
        return false;
    }
    ShowWindow(hwnd_, SW_SHOW);
    SetForegroundWindow(hwnd_);
    Text1->SetFocus();
    return true;
}

void RestoreDialog::CreateControls() {
    using namespace restore_dialog;
    Label1 = AddControl({.text = L"データのバックアップ時に「Private」のデータセットで設定していた、"
                                 L"パスワードを入力してください。",
                         .style = WS_VISIBLE | SS_NOPREFIX, .left = 240, .top = 240, .width = 7575, .height = 495,
                         .id = kLabel1});
    Text1 = AddControl({.cls = L"EDIT", .style = WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL | ES_PASSWORD,
                        .exStyle = WS_EX_CLIENTEDGE, .left = 2880, .top = 840, .width = 1935, .height = 375,
                        .id = kText1});
    Command1 = AddControl({.cls = L"BUTTON", .text = L"OK", .style = WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON,
                           .left = 2280, .top = 1440, .width = 1215, .height = 375, .id = kCommand1,
                           .onClick = [this] { Command1_Click(); }});
    Command2 = AddControl({.cls = L"BUTTON", .text = L"CANCEL", .style = WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON,
                           .left = 3960, .top = 1440, .width = 1215, .height = 375, .id = kCommand2,
                           .onClick = [this] { Command2_Click(); }});
    Label1->SetFont(kUiFont, 9);
    Command1->SetFont(kUiFont, 9);
    Command2->SetFont(kUiFont, 9);
    Text1->SetFont(kUiFont, 11.25, true);
    SendMessageW(Text1->hwnd, EM_SETPASSWORDCHAR, L'*', 0);
    FilterEdit(Text1->hwnd, {.enterMsg = kEnterMsg});  // Enter is taken as OK
}

void RestoreDialog::Command1_Click() {
    if (busy_ || !hwnd_) return;
    busy_ = true;
    struct Done { bool& b; ~Done() { b = false; } } done{busy_};
    std::wstring typed;
    {
        BusyCursor busy;
        typed = Text1->Text();
        if (!typed.empty()) CharLowerBuffW(typed.data(), static_cast<DWORD>(typed.size()));
    }
    if (typed != backupPassword_) {
        MsgBox(L"パスワードが一致しませんでした。\r\n\r\nもう一度入力してください。　　　　　　　　　　",
               MB_OK | MB_ICONSTOP, Title());
        Text1->SetText(L"");
        Text1->SetFocus();
        return;
    }
    CopyIn(typed);
    Close();
}

void RestoreDialog::Command2_Click() { Close(); }

bool RestoreDialog::CopyIn(const std::wstring& typedPassword) {
    DoEvents();
    FileWorkResult r;
    std::wstring unloadable;
    {
        BusyCursor busy;
        // Read as the panel would read it before anything is replaced.
        unloadable = FirstUnloadableBackupFile(links_.backupDir, links_.dataDir, PrivateKeyFor(typedPassword));
        if (unloadable.empty()) r = RestoreBackup(links_.backupDir, links_.dataDir);
    }
    if (!unloadable.empty()) {
        Fail(unloadable + (unloadable.ends_with(L"MyData_2.dat")
                               ? L"\r\n\r\nは、バックアップのパスワードで正しく復号できませんでした。"
                               : L"\r\n\r\nは、壊れているかデータファイルではありません。") +
             kUnchanged);
        return false;
    }
    if (!r.ok) {
        Fail(r.failedPath + L"\r\n\r\nで問題が起きたため、読込を中止しました。" + kUnchanged);
        return false;
    }
    PasswordState& pw = *links_.password;
    pw.Use(typedPassword);
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

void RestoreDialog::Form_QueryUnload() {
    if (links_.panel) EnableWindow(links_.panel, TRUE);
}

void RestoreDialog::Close() {
    Form_QueryUnload();
    if (hwnd_) DestroyWindow(hwnd_);
}

LRESULT RestoreDialog::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case kEnterMsg:
        Command1_Click();
        return 0;
    case WM_CLOSE:
        if (busy_) return 0;  // the copy-in closes the dialog itself
        Close();
        return 0;
    case WM_DESTROY:
        UnregisterDialogWindow(hwnd_);
        if (links_.own && links_.own->restoreDialog == reinterpret_cast<uintptr_t>(hwnd_)) links_.own->restoreDialog = 0;
        break;
    }
    return Form::HandleMessage(msg, wp, lp);
}
