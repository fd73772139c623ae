// The panel's menu items ﾃﾞｰﾀｾｯﾄのﾊﾞｯｸｱｯﾌﾟ and ﾃﾞｰﾀｾｯﾄの読込.
#include <windows.h>

#include "app/program.h"
#include "protect/restore_dialog.h"
#include "store/backup_service.h"
#include "win/app.h"

namespace {
// Public is loaded first, which puts a Private working copy away into MyData_2.dat.
void LoadPublicAndSettle(PanelWindow& panel) {
    panel.OnChoosePublic();
    DoEvents();
    Sleep(1000);
    DoEvents();
}
}  // namespace

void Program::BackUpData() {
    if (fileWorkRunning_) return;
    Running running(fileWorkRunning_);
    const std::wstring& exe = app_.exeName;
    const std::wstring title = L"「" + exe + L"」のデータセットのバックアップ";
    if (MsgBox(L"「" + exe + L"」が保持しているデータの\r\n\r\nバックアップファイルを作成しますか？\r\n\r\n"
               L"バックアップデータは、" + exe + L"_BackupData フォルダに保存されます。　　　　　",
               MB_YESNO | MB_ICONQUESTION, title) != IDYES)
        return;
    const std::wstring folder = app_.BackupDir();
    const bool hadBackup = GetFileAttributesW(folder.c_str()) != INVALID_FILE_ATTRIBUTES;
    if (hadBackup && !FolderExists(folder)) {
        MsgBox(L"バックアップフォルダと同じ名前のファイルがあるため、バックアップデータを作成できませんでした。\r\n\r\n" +
                   folder + L"\r\n\r\nこのファイルは変更していません。名前を変えるか別の場所へ移してから、"
                   L"もう一度バックアップしてください。",
               MB_OK | MB_ICONSTOP, title);
        return;
    }
    LoadPublicAndSettle(*panel_);

    FileWorkResult r;
    {
        BusyCursor busy;
        r = MakeBackup(app_.dataDir, folder);
    }
    if (!r.ok) {
        MsgBox(L"「" + exe + L"」のバックアップデータを作成できませんでした。\r\n\r\n" + folder + L"\r\n\r\n" +
                   r.failedPath + L" で問題が起きました。" +
                   (hadBackup ? L"\r\n\r\n以前のバックアップデータは変更されていません。" : L""),
               MB_OK | MB_ICONSTOP, title);
        return;
    }
    MsgBox(L"「" + exe + L"」のバックアップデータは\r\n\r\n" + folder + L"　　　　　　　　\r\n\r\n" + exe +
               L".exe と同じディレクトリに作成しました。\r\n\r\nデータの保存は、" + exe +
               L"_BackupData フォルダごと保存してください。\r\n\r\n" +
               (app_.password.userPassword.empty() && !dataSets_.FileIsSealed()
                    ? L""
                    : L"尚、データの読込には現在の「Private」で設定しているパスワードが必要となります。"),
           MB_OK | MB_ICONINFORMATION, title);
}

void Program::RestoreData() {
    if (fileWorkRunning_) return;
    if (restoreDialog_ && restoreDialog_->hwnd()) {
        SetForegroundWindow(restoreDialog_->hwnd());
        return;
    }
    Running running(fileWorkRunning_);
    const std::wstring& exe = app_.exeName;
    if (MsgBox(L"「" + exe + L"」のバックアップデータからの読込を行います。　　　　　\r\n\r\n" + exe +
               L".exe と同じディレクトリに、\r\n\r\n" + exe + L"_BackupData フォルダをコピー(配置)していますか？",
               MB_YESNO | MB_ICONQUESTION, L"「" + exe + L"」のデータの読込") != IDYES)
        return;
    LoadPublicAndSettle(*panel_);

    RestoreDialogLinks links;
    links.panel = panel_->hwnd();
    links.password = &app_.password;
    links.own = &app_.own;
    links.exeName = exe;
    links.backupDir = app_.BackupDir();
    links.dataDir = app_.dataDir;
    PanelWindow& panel = *panel_;
    const PasswordState& password = app_.password;
    links.restored = [this, &panel, &password] {
        dataSets_.NoteFollowsFile(true);  // the restored file was checked before it replaced ours
        const bool set = !password.userPassword.empty();
        panel.SetPasswordOn(set);
        panel.SetMenuEnabled(panel_ids::kPasswordChange, set);
        panel.OnChoosePublic();
    };
    restoreDialog_ = std::make_unique<RestoreDialog>(std::move(links));
    if (!restoreDialog_->Open()) restoreDialog_.reset();
}
