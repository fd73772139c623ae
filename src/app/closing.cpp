// Closing the panel: settings of the run, the Private working copy put away, and the
// uninstall of the program's data when the user asked for it in the About box.
#include <windows.h>

#include "app/program.h"
#include "base/stored_names.h"
#include "protect/help_page.h"
#include "store/datafiles.h"
#include "store/settings.h"
#include "win/app.h"

void Program::StoreAtClosing() {
    AppState& app = app_;
    PanelWindow& panel = *panel_;
    if (app.dataDir.empty()) return;  // refused before start-up ran: nothing of ours to store
    // The editor writes the ticked set's plain file: it must do so before Private is put away.
    CloseEditor();
    // A Private run is stored as Public: the next start shows Public first.
    const PanelChoices& choices = app.choices;
    const int type = StoredNumber(choices.dataSet == DataSet::Kaomoji ? DataSet::Kaomoji : DataSet::Public);
    // Private left unsealed is said, with the cause; the user may make room and try again.
    // A working copy that a switch away from Private could not seal is tried again here too.
    while (!dataSets_.PutWorkingCopyAway() &&
           MsgBox(L"Privateのデータを暗号化して保存できませんでした。\r\n\r\n" + dataSets_.SealFailure() +
                      L"\r\n\r\n［再試行］: 空きを作るなどしてから、もう一度暗号化します。\r\n"
                      L"［キャンセル］: このまま閉じます。Privateのデータは暗号化されないまま残り、次回の起動時に暗号化されます。",
                      MB_RETRYCANCEL | MB_ICONEXCLAMATION, app.exeName) == IDRETRY) {
    }
    const int mode = static_cast<int>(choices.mode);
    const int pass = choices.passwordOn ? 0 : 1;
    using namespace stored;
    SaveSetting(app.exeName, kSection, kDataSet, std::to_wstring(type));
    if (!panel.Minimized()) {
        SaveSetting(app.exeName, kSection, kLeft, std::to_wstring(panel.Left()));
        SaveSetting(app.exeName, kSection, kTop, std::to_wstring(panel.Top()));
    }
    SaveSetting(app.exeName, kSection, kPasteMode, std::to_wstring(mode));
    SaveSetting(app.exeName, kSection, kPassMode, std::to_wstring(pass));
    SaveSetting(app.exeName, kSection, kClipRestore, choices.clipRestore ? L"1" : L"0");
    SaveSetting(app.exeName, kSection, kInsertFields, choices.insertFields ? L"1" : L"0");
    SaveSetting(app.exeName, kSection, kHotKeys, choices.hotKeys ? L"1" : L"0");
    SaveSetting(app.exeName, kSection, kClipClearSeconds, std::to_wstring(app.clipClearSeconds));
    SaveSetting(app.exeName, kSection, kLockMinutes, std::to_wstring(app.lockMinutes));
}

void Program::CloseOthers() {
    AppState& app = app_;
    // Every other window of the program closes first (they store their sizes).
    for (uintptr_t h : app.own.All()) {
        HWND w = reinterpret_cast<HWND>(h);
        if (h && IsWindow(w)) SendMessageW(w, WM_CLOSE, 0, 0);
    }
    if (app.uninstallRequest == 1 && !app.dataDir.empty()) {
        // The fortune's tune keeps its file open until it is closed, and the file would stay.
        if (fortuneScreen_) fortuneScreen_->StopTune();
        for (int n = 0; n <= 3; ++n) DeleteFileW(app.DataFile(stored::DataFileName(n)).c_str());
        for (int n = 0; n < stored::kTuneCount; ++n) DeleteFileW(app.DataFile(stored::TuneFileName(n)).c_str());
        DeleteFileW(app.DataFile(stored::kColourFile).c_str());
        // Our help page, when the user opened it, is ours too.
        DeleteFileW(app.DataFile(kHelpFileName).c_str());
        // A run that was killed mid-write may have left temporary files behind, and an
        // unreadable Private may have been kept aside.
        DeleteLeftoverTemporaries(app.dataDir);
        dataSets_.DeleteKeptAside();
        DoEvents();
        bool dirRemoved = RemoveDirectoryW(app.dataDir.c_str()) != FALSE;
        DoEvents();
        RemoveDirectoryW(app.dataRoot.c_str());
        DoEvents();
        DeleteSetting(app.exeName);
        Sleep(500);
        const std::wstring title = L"「" + app.exeName + L"」のアンインストール";
        if (!dirRemoved) {
            Sleep(500);
            MsgBox(L"関連データがすべて削除できませんでした。\r\n\r\n"
                   L"もう一度、「" + app.exeName + L"」を起動して、\r\n\r\n"
                   L"バージョン情報の uninstall ボタンをクリックしてください。\r\n\r\n\r\n"
                   L"繰り返しこのメッセージが出るときは\r\n"
                   L"開いているウィンドウをすべて閉じるか、再起動して\r\n"
                   L"もう一度、「" + app.exeName + L"」を起動してバージョン情報の uninstall ボタンをクリックしてください。　",
                   MB_OK | MB_ICONEXCLAMATION, title);
        } else {
            MsgBox(L"「" + app.exeName + L"」が保存しているデータはすべて削除されました。\r\n\r\n"
                   L"「" + app.exeName + L"」の実行ファイルは手動で削除してください。",
                   MB_OK | MB_ICONINFORMATION, title);
            app.uninstallRequest = 0;
        }
    }
}
