// Start-up of the panel: one instance per executable name, the settings, the data files,
// the one-time conversion of older data, the password file, the desktop shortcut and the
// first-run welcome.
#include <windows.h>

#include <algorithm>

#include "app/program.h"
#include "base/cp932.h"
#include "base/number.h"
#include "base/records.h"
#include "base/startup_marks.h"
#include "base/stored_names.h"
#include "panel/private_guard_logic.h"
#include "editor/entry_editor.h"
#include "protect/password_dialog.h"
#include "protect/new_copy_dialog.h"
#include "protect/restore_dialog.h"
#include "protect/csv_preview_dialog.h"
#include "protect/private_password_prompt.h"
#include "store/file_cipher.h"
#include "store/datafiles.h"
#include "store/dataset_check_logic.h"
#include "store/dataset_format.h"
#include "store/passwordfile.h"
#include "store/regkey.h"
#include "store/settings.h"
#include "win/app.h"
#include "win/shortcut.h"

namespace {

void Pause(int ms) { Sleep(static_cast<DWORD>(ms)); }

std::wstring Read(const std::wstring& exeName, const std::wstring& key) {
    return GetSetting(exeName, stored::kSection, key, stored::MissingValue(key));
}

}  // namespace

bool Program::RefuseSecondInstance() {
    // Windows compares executable names without case; the mutex name must as well.
    std::wstring key = app_.exeName;
    CharLowerBuffW(key.data(), static_cast<DWORD>(key.size()));
    std::replace(key.begin(), key.end(), L'\\', L'_');
    std::wstring name = stored::kMutexPrefix + key;
    instanceMutex_ = CreateMutexW(nullptr, FALSE, name.c_str());
    if (!instanceMutex_ || GetLastError() != ERROR_ALREADY_EXISTS) return false;
    HWND first = nullptr;
    for (int i = 0; i < 50 && !first; ++i) {  // the first one may still be starting
        first = FindWindowW(stored::kWindowClass, app_.exeName.c_str());
        if (!first) Sleep(100);
    }
    if (first) {
        if (IsIconic(first)) OpenIcon(first);
        SetForegroundWindow(first);
    }
    return true;
}

Program::Program() = default;

Program::~Program() {
    passwordDialog_.reset();
    newCopyDialog_.reset();
    restoreDialog_.reset();
    panel_.reset();
    if (instanceMutex_) CloseHandle(instanceMutex_);
}

bool Program::Start() {
    dataSets_.ensureKey = [this] { ReadPendingKey(); };
    dataSets_.runSlowly = RunWhileMessagesRun;
    app_.exeName = ::ExeName();
    dataSets_.storeSealedNote = [this](bool sealed) {
        SaveSetting(app_.exeName, stored::kSection, stored::kSealedPrivate, sealed ? L"1" : L"0");
    };
    app_.programDir = ::ProgramDir();
    panel_ = std::make_unique<PanelWindow>(*this);
    if (!panel_->Create()) return false;
    startup_marks::Mark("panel made");
    // One instance per executable name. The refused one ends without storing anything:
    // it has no settings of its own and would overwrite those of the running one.
    if (RefuseSecondInstance()) {
        DestroyWindow(panel_->hwnd());
        return false;
    }
    panel_->StartTimer();
    StartupSequence();
    return !cancelled_;
}

void Program::StartupSequence() {
    const int16_t versionMarker = ApplySettings();
    startup_marks::Mark("settings applied");
    if (!PrepareData(versionMarker)) return;
    startup_marks::Mark("data files ready");
    PanelWindow& panel = *panel_;
    const bool sealed = dataSets_.FileIsSealed();
    panel.SetMenuEnabled(panel_ids::kPasswordChange, !app_.password.userPassword.empty() || sealed);
    // The shortcut of a later start waits for the first paint.
    if (app_.startupDataSet == 0) FirstRun();
    // Private as the start-up set, locked by a password: nobody sees it before the password
    // was given. The panel starts with Public and asks once it shows; sealed, Private stays
    // the chosen set, locked, whatever the password switch says.
    // A password just given for a damaged password file is not asked for again.
    if (panel.ChosenSet() == DataSet::Private && (sealed || (panel.PasswordOn() &&
        ((!app_.password.userPassword.empty() && !passwordGiven_) || keyUnknown_)))) {
        if (!sealed) panel.ChooseDataSet(DataSet::Public);
        askPrivate_ = true;
    }
    // A plain Private left by a run that could not seal it is sealed by this load; the user
    // who was told so at closing learns how it went.
    const std::wstring work = app_.DataFile(stored::kPrivateWorkingCopy);
    const bool leftPlain = panel.ChosenSet() != DataSet::Private && PathExists(work);
    panel.LoadDataSet();
    if (leftPlain && !PathExists(work))
        MsgBox(L"前回暗号化できずに残っていたPrivateのデータを、暗号化して保存しました。\r\n\r\n" +
                   app_.DataFile(stored::kPrivateFile),
               MB_OK | MB_ICONINFORMATION, app_.exeName);
    else if (leftPlain)
        MsgBox(L"Privateのデータは、前回に続いて今回も暗号化できませんでした。暗号化されないまま残っています。\r\n\r\n" +
                   dataSets_.SealFailure(),
               MB_OK | MB_ICONEXCLAMATION, app_.exeName);
    startup_marks::Mark("data set loaded");
    panel.LayoutPanel();
    panel.KeepOnScreen();
    panel.StartupEnded();
    startup_marks::Mark("first layout");
}

int16_t Program::ApplySettings() {
    AppState& app = app_;
    PanelWindow& panel = *panel_;
    root_ = DataRootFor(app.exeName);
    app.dataRoot = root_.root;
    app.osVersion = OsVersionNumber();
    panel.MakeTopmost();
    app.startupDataSet = SettingToInt32(Read(app.exeName, stored::kDataSet));
    int storedLeft = SettingToInt32(Read(app.exeName, stored::kLeft));
    int storedTop = SettingToInt32(Read(app.exeName, stored::kTop));
    int storedMode = SettingToInt32(Read(app.exeName, stored::kPasteMode));
    int16_t passMode = SettingToInt16(Read(app.exeName, stored::kPassMode));
    for (DataSet set : {DataSet::Public, DataSet::Private, DataSet::Kaomoji})
        app.RowsOf(set) = SettingToInt16(Read(app.exeName, stored::RowsValue(StoredNumber(set))));
    const int16_t versionMarker = SettingToInt16(GetSetting(app.exeName, stored::kSection, stored::kVersion, L""));
    const int32_t clipRestore = SettingToInt32(Read(app.exeName, stored::kClipRestore));
    const int32_t insertFields = SettingToInt32(Read(app.exeName, stored::kInsertFields));
    const int32_t hotKeys = SettingToInt32(Read(app.exeName, stored::kHotKeys));
    const int clipClear = app.clipClearSeconds = private_guard::TimeSetting(
        GetSetting(app.exeName, stored::kSection, stored::kClipClearSeconds, L""),
        private_guard::kDefaultClipClearSeconds, 24 * 60 * 60);
    const int lockMinutes = app.lockMinutes = private_guard::TimeSetting(
        GetSetting(app.exeName, stored::kSection, stored::kLockMinutes, L""),
        private_guard::kDefaultLockMinutes, 7 * 24 * 60);
    if (auto set = DataSetFromStored(app.startupDataSet)) panel.ChooseDataSet(*set);
    // No stored place (or a first run): the middle of the screen.
    if (storedLeft < 1 || storedTop < 1) {
        int sw = panel.Tw(GetSystemMetrics(SM_CXSCREEN)), sh = panel.Tw(GetSystemMetrics(SM_CYSCREEN));
        int left = (sw - panel.Width()) / 2;
        int top = panel.Height() > sh ? 0 : (sh - panel.Height()) / 2;
        panel.Move(left, top, panel.Width(), panel.Height());
    } else {
        panel.Move(storedLeft, storedTop, panel.Width(), panel.Height());
    }
    panel.ApplyStoredMode(storedMode);
    panel.SetPasswordOn(passMode != 1, false);
    panel.SetClipRestore(clipRestore == 1);
    panel.SetInsertFields(insertFields == 1);
    panel.SetHotKeys(hotKeys == 1, false);
    panel.SetPrivateGuard(clipClear, lockMinutes);
    panel.SetFixedAppearance();
    return versionMarker;
}

bool Program::PrepareData(int16_t versionMarker) {
    AppState& app = app_;
    // Without a data directory nothing is created, converted or read.
    CreateDirectoryW(app.dataRoot.c_str(), nullptr);
    app.dataDir = DataDirPath(app.dataRoot, app.exeName);
    CreateDirectoryW(app.dataDir.c_str(), nullptr);
    dataSets_.SetDataDir(app.dataDir);
    dataSets_.SetSealedNote(Read(app.exeName, stored::kSealedPrivate) == L"1");
    dataSets_.NoteFollowsFile(false);
    dataReady_ = IsFolder(app.dataDir);
    if (!dataReady_) {
        // Nothing could be kept: say so now rather than lose the user's entries later.
        MsgBox(L"データを保存するフォルダを作成できませんでした。\r\n\r\n" + app.dataDir +
                   L"\r\n\r\n入力したデータは保存されません。",
               MB_OK | MB_ICONEXCLAMATION, app.exeName);
        return true;
    }
    checkWritable_ = root_.hasData;
    bool versionStored = versionMarker >= 201;
    // A new data directory holds nothing to convert.
    if (!FileExists(app.DataFile(stored::kPublicFile))) {
        SaveSetting(app.exeName, stored::kSection, stored::kVersion, L"202");
        versionMarker = 201;
        versionStored = true;
    }
    CreatedFiles created = CreateMissingDataFiles(app.dataDir, [] { DoEvents(); }, Pause);
    if (created.passwordCreated) app.password.Use(L"");
    if (NeedsMigration(versionMarker)) {
        MigrationResult r = Migrate();
        if (r == MigrationResult::Cancelled) {
            cancelled_ = true;
            PostMessageW(panel_->hwnd(), WM_CLOSE, 0, 0);
            return false;
        }
        if (r == MigrationResult::Failed) ReadPrivateKey();
        return true;
    }
    if (DataSetFromStored(app.startupDataSet) == DataSet::Private || PathExists(app.DataFile(stored::kPrivateWorkingCopy))) {
        ReadPrivateKey();
    } else {
        // Private is neither loaded nor left as a working copy: its key is only needed
        // once the panel shows, and reading it costs every start a noticeable moment.
        keyPending_ = true;
    }
    if (!versionStored) SaveSetting(app.exeName, stored::kSection, stored::kVersion, L"201");
    return true;
}

void Program::FirstRun() {
    AppState& app = app_;
    PanelWindow& panel = *panel_;
    hadShortcut_ = FileExists(ShortcutPath(app.exeName));
    shortcutChecked_ = true;
    if (hadShortcut_) panel.SetMenuEnabled(panel_ids::kDesktopShortcut, false);
    const std::wstring sp3 = L"　　　";
    if (!hadShortcut_) {
        int answer = MsgBox(L"はじめまして「" + app.exeName + L"」です。\r\n\r\n"
                            L"かわいがってください。\r\n\r\n"
                            L"デスクトップに「" + app.exeName + L"」のショートカットを作成しますか？" + sp3,
                            MB_YESNO | MB_ICONINFORMATION, L"ようこそ!");
        if (answer == IDYES && ReportShortcut(MakeShortcut(app.exeName)))
            panel.SetMenuEnabled(panel_ids::kDesktopShortcut, false);
    } else {
        MsgBox(L"はじめまして「" + app.exeName + L"」です。" + sp3 + L"\r\n\r\nかわいがってください。",
               MB_OK | MB_ICONINFORMATION, L"ようこそ!");
    }
    app.startupDataSet = StoredNumber(DataSet::Public);
    for (DataSet set : {DataSet::Public, DataSet::Private, DataSet::Kaomoji}) {
        app.RowsOf(set) = 25;
        SaveSetting(app.exeName, stored::kSection, stored::RowsValue(StoredNumber(set)), L"25");
    }
}

void Program::AfterFirstShow() {
    AppState& app = app_;
    PanelWindow& panel = *panel_;
    // Said once the panel shows, so the start is not held up by the box.
    panel.TellHeldHotKeys();
    if (!dataReady_) return;
    ReadPendingKey();
    // Found again and again, a folder whose files cannot be replaced would lose every edit.
    if (checkWritable_ && !CanWriteFolder(app.dataDir))
        MsgBox(L"データのフォルダに書き込めないため、データを読み込むことはできますが、\r\n"
               L"変更した内容は保存されません。\r\n\r\n" + app.dataDir,
               MB_OK | MB_ICONEXCLAMATION, app.exeName);
    // Keep an existing desktop shortcut pointing at this executable.
    if (!shortcutChecked_) {
        hadShortcut_ = FileExists(ShortcutPath(app.exeName));
        if (hadShortcut_) panel.SetMenuEnabled(panel_ids::kDesktopShortcut, false);
    }
    if (hadShortcut_) {
        DoEvents();
        if (!MakeShortcut(app.exeName)) {
            const std::wstring link = ShortcutPath(app.exeName);
            if (FileExists(link))
                MsgBox(L"デスクトップの「" + app.exeName + L"」のショートカットを更新できませんでした。\r\n\r\n"
                       L"以前のショートカットはそのまま残してあります。\r\n" + link,
                       MB_OK | MB_ICONEXCLAMATION, L"ショートカットの作成");
            else
                ReportShortcut(false);
            panel.SetMenuEnabled(panel_ids::kDesktopShortcut, true);
        }
        DoEvents();
    }
    // An interrupted run's temporary files: never the only copy of anything.
    DeleteLeftoverTemporaries(app.dataDir);
    if (askPrivate_) {
        askPrivate_ = false;
        panel.OnChoosePrivate();
    }
}

void Program::ReadPendingKey() {
    if (!keyPending_) return;
    keyPending_ = false;
    ReadPrivateKey();
    panel_->SetMenuEnabled(panel_ids::kPasswordChange,
                           !app_.password.userPassword.empty() || dataSets_.FileIsSealed());
}

bool Program::ReportShortcut(bool made) {
    const std::wstring sp3 = L"　　　";
    if (made)
        MsgBox(L"「" + app_.exeName + L"」のショートカットを" + sp3 + L"\r\n\r\nデスクトップに作成しました。",
               MB_OK | MB_ICONINFORMATION, L"ショートカットの作成");
    else
        MsgBox(L"「" + app_.exeName + L"」のショートカットを" + sp3 + L"\r\n\r\nデスクトップに作成できませんでした。",
               MB_OK | MB_ICONEXCLAMATION, L"ショートカットの作成");
    return made;
}

bool Program::ReadPrivateKey() {
    AppState& app = app_;
    // No messages run meanwhile: a click on Private queued now must find the key read.
    auto pw = ReadPasswordFile(app.dataDir, [] {}, [](int) {});
    if (pw && !pw->empty() && dataSets_.FileIsSealed()) {
        // A run ended between sealing and emptying the password file: no password on disk.
        WritePasswordFile(app.dataDir, L"", 0, [] {}, [](int) {});
        pw = L"";
    }
    if (pw || !PathExists(app.DataFile(stored::kPasswordFile))) {
        app.password.Use(pw.value_or(L""));
    } else {
        // A damaged password file is no reason to take the password as switched off: then
        // Private would not open and be started afresh. The key is asked for instead.
        keyUnknown_ = true;
        app.password.userPassword.clear();
        app.password.privateKey.clear();  // unknown: nothing is encrypted or decrypted with it
        // In a folder that cannot be written the file could not be decrypted, which says
        // nothing of its state: the user is told once they turn to Private.
        if (CanWriteFolder(app.dataDir)) RecoverPassword();
    }
    TellAboutBothForms(dataSets_.ResolveBothForms());
    return !keyUnknown_;
}

bool Program::RecoverPassword() {
    AppState& app = app_;
    if (!CanWriteFolder(app.dataDir)) {
        MsgBox(L"データのフォルダに書き込めないため、Privateを開けません。\r\n\r\n" + app.dataDir,
               MB_OK | MB_ICONEXCLAMATION, app.exeName);
        return false;
    }
    std::wstring found;
    bool ok = false;
    if (!FileExists(app.DataFile(stored::kPrivateFile)) || dataSets_.Opens(L"")) {
        ok = true;  // nothing under a user password: the password was off
    } else {
        PrivatePasswordPrompt prompt(panel_ && panel_->hwnd() ? panel_->hwnd() : nullptr,
                             [this](const std::wstring& pw) { return dataSets_.Opens(pw); }, &app.own.privatePasswordPrompt);
        ok = prompt.Run(&found);
    }
    if (!ok) return false;
    app.password.Use(found);
    keyUnknown_ = false;
    passwordGiven_ = !found.empty();
    // The switch is on before the password file names a password.
    if (panel_ && !found.empty()) panel_->SetPasswordOn(true);
    WritePasswordFile(app.dataDir, found, 100, [] { DoEvents(); }, Pause);
    if (panel_) panel_->SetMenuEnabled(panel_ids::kPasswordChange, !found.empty());
    return true;
}

void Program::TellAboutBothForms(const std::wstring& keptAside) {
    if (keptAside.empty()) return;
    MsgBox(L"前回の終了時に、Privateのデータが正しく保存されていませんでした。\r\n\r\n"
           L"新しいほうのデータを Private に残し、もう一方を次のファイルとして残してあります。\r\n" +
               keptAside,
           MB_OK | MB_ICONINFORMATION, app_.exeName);
}
