// Start-up of the panel: one instance per executable name, the settings, the data files,
// the one-time conversion of older data, the password file, the desktop shortcut and the
// first-run welcome.
#include <windows.h>

#include <algorithm>

#include "app/program.h"
#include "base/cp932.h"
#include "base/number.h"
#include "base/records.h"
#include "editor/Form2.h"
#include "protect/Form4.h"
#include "store/clsCryptFile.h"
#include "store/datafiles.h"
#include "store/dataset_check_logic.h"
#include "store/dataset_format.h"
#include "store/passwordfile.h"
#include "store/regkey.h"
#include "store/settings.h"
#include "win/app.h"
#include "win/shortcut.h"

namespace {

const wchar_t kStartup[] = L"Startup";
const wchar_t kCredit[] = L"ハリコ 2.0 ― 自分で作って自分で使う、小さな貼り付け道具です。";
const std::wstring kLegacyRoot = L"SYSTEM\\Curent_Control";

void Pause(int ms) { Sleep(static_cast<DWORD>(ms)); }

std::wstring Read(const std::wstring& exeName, const wchar_t* key) {
    // The defaults are never numeric, so a missing key reads as 0.
    return GetSetting(exeName, kStartup, key, std::wstring(L"Reg_") + key);
}

std::wstring Lower(std::wstring s) {
    if (!s.empty()) CharLowerBuffW(s.data(), static_cast<DWORD>(s.size()));
    return s;
}

// Rewrites a two-field data-set file of older versions with the white colour added.
void ConvertTwoFieldFile(const std::wstring& path, bool slow) {
    auto bytes = ReadAllBytes(path);
    std::vector<Entry> entries;
    if (bytes) {
        for (auto& rec : ReadRecords(*bytes, 2))
            entries.push_back({FromCp932(rec[0]), FromCp932(rec[1]), L"&HFFFFFF"});
    }
    DoEvents();
    if (slow) { Pause(100); DoEvents(); }
    if (bytes) WriteDataSetFile(path, entries, ColourForm::HexText);
    DoEvents();
    if (slow) { Pause(100); DoEvents(); }
}

}  // namespace

bool Program::RefuseSecondInstance() {
    // Windows compares executable names without case; the mutex name must as well.
    std::wstring key = app_.exeName;
    CharLowerBuffW(key.data(), static_cast<DWORD>(key.size()));
    std::replace(key.begin(), key.end(), L'\\', L'_');
    std::wstring name = L"Local\\Hariko-" + key;
    instanceMutex_ = CreateMutexW(nullptr, FALSE, name.c_str());
    if (!instanceMutex_ || GetLastError() != ERROR_ALREADY_EXISTS) return false;
    HWND first = nullptr;
    for (int i = 0; i < 50 && !first; ++i) {  // the first one may still be starting
        first = FindWindowW(L"HarikoForm", app_.exeName.c_str());
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
    form4_.reset();
    panel_.reset();
    if (instanceMutex_) CloseHandle(instanceMutex_);
}

bool Program::Start() {
    app_.exeName = ::ExeName();
    app_.programDir = ::ProgramDir();
    panel_ = std::make_unique<Form1>(*this);
    if (!panel_->Create()) return false;
    // 1. One instance per executable name. The refused one ends without storing anything:
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
    AppState& app = app_;
    Form1& panel = *panel_;
    // 3-5
    app.dataRoot = DataRootPath();
    app.osVersion = OsVersionNumber();
    panel.MakeTopmost();
    // 6
    app.startupDataSet = SettingToInt32(Read(app.exeName, L"Type"));
    int storedLeft = SettingToInt32(Read(app.exeName, L"Left"));
    int storedTop = SettingToInt32(Read(app.exeName, L"Top"));
    int storedMode = SettingToInt32(Read(app.exeName, L"Mode"));
    int16_t passMode = SettingToInt16(Read(app.exeName, L"PassMode"));
    app.number[1] = SettingToInt16(Read(app.exeName, L"Number1"));
    app.number[2] = SettingToInt16(Read(app.exeName, L"Number2"));
    app.number[3] = SettingToInt16(Read(app.exeName, L"Number3"));
    int16_t versionMarker = SettingToInt16(GetSetting(app.exeName, kStartup, L"Version", L""));
    // 7
    if (app.startupDataSet >= 1 && app.startupDataSet <= 3) {
        panel.SetChecked(form1::kType1, app.startupDataSet == 1);
        panel.SetChecked(form1::kType2, app.startupDataSet == 2);
        panel.SetChecked(form1::kType3, app.startupDataSet == 3);
    }
    // 8
    if (storedLeft < 1 || storedTop < 1) {
        int sw = panel.Tw(GetSystemMetrics(SM_CXSCREEN)), sh = panel.Tw(GetSystemMetrics(SM_CYSCREEN));
        int left = (sw - panel.Width()) / 2;
        int top = panel.Height() > sh ? 0 : (sh - panel.Height()) / 2;
        panel.Move(left, top, panel.Width(), panel.Height());
    } else {
        panel.Move(storedLeft, storedTop, panel.Width(), panel.Height());
    }
    // 9
    panel.ApplyStoredMode(storedMode);
    // 10
    panel.SetChecked(form1::kPassEnabled, passMode != 1);
    panel.SetChecked(form1::kPassUnEnabled, passMode == 1);
    // 11
    panel.SetFixedAppearance();

    // 12
    CreateDirectoryW(app.dataRoot.c_str(), nullptr);
    app.dataDir = DataDirPath(app.dataRoot, app.exeName);
    CreateDirectoryW(app.dataDir.c_str(), nullptr);
    DWORD dirAttributes = GetFileAttributesW(app.dataDir.c_str());
    if (dirAttributes == INVALID_FILE_ATTRIBUTES || !(dirAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        // Nothing could be kept: say so now rather than lose the user's entries later.
        MsgBox(L"データを保存するフォルダを作成できませんでした。\r\n\r\n" + app.dataDir +
                   L"\r\n\r\n入力したデータは保存されません。",
               MB_OK | MB_ICONEXCLAMATION, app.exeName);
    }
    DeleteLeftoverTemporaries(app.dataDir);
    // 13-18
    if (!FileExists(app.DataFile(L"MyData_1.dat"))) {
        SaveSetting(app.exeName, kStartup, L"Version", L"202");
        versionMarker = 201;
    }
    CreatedFiles created = CreateMissingDataFiles(app.dataDir, [] { DoEvents(); }, Pause);
    dataSets_.SetDataDir(app.dataDir);
    if (created.passwordCreated) {
        app.password.userPassword.clear();
        app.password.privateKey = DefaultPassword();
    }
    // 19-21. Files already in the current three-field format are never converted, even when
    // the "Version" setting is gone (settings removed by hand, or copied data).
    bool needsMigration = !(FileExists(app.DataFile(L"MyData_0.dat")) && versionMarker > 200);
    if (needsMigration) {
        auto pub = ReadAllBytes(app.DataFile(L"MyData_1.dat"));
        if (pub && IsWellFormedDataSet(*pub)) needsMigration = false;
    }
    if (needsMigration) {
        std::wstring body =
            L"データのバックアップ機能実装に伴なり、セキュリティの向上のため\r\n"
            L"データ暗号化アルゴリズムを変更します。\r\n\r\n"
            L"データの整合性が失われますので、本バージョン(2.0.1)以前の" + app.exeName + L"は\r\n"
            L"起動されることがないよう破棄されるようお願いいたします。\r\n\r\n" + kCredit;
        if (MsgBox(body, MB_OKCANCEL | MB_ICONINFORMATION,
                   L"***** 重要！ ***** 必ずお読みください。 ******************") != IDOK) {
            cancelled_ = true;
            PostMessageW(panel.hwnd(), WM_CLOSE, 0, 0);
            return;
        }
        std::wstring legacy = kLegacyRoot + L"\\Control\\" + app.exeName;
        app.password.userPassword = Lower(GetRegString(HKEY_LOCAL_MACHINE, legacy, L"Pass"));
        app.password.privateKey = app.password.userPassword.empty() ? DefaultPassword() : app.password.userPassword;
        DoEvents();
        WritePasswordFile(app.dataDir, app.password.userPassword, 100, [] { DoEvents(); }, Pause);
        Pause(100);
        ConvertTwoFieldFile(app.DataFile(L"MyData_1.dat"), false);
        const std::wstring enc = app.DataFile(L"MyData_2.dat"), work = app.DataFile(L"MyData_2_2.dat");
        if (DecryptFileTo(enc, work, DefaultPassword())) DeleteFileW(enc.c_str());
        DoEvents();
        Pause(100);
        DoEvents();
        ConvertTwoFieldFile(app.DataFile(L"MyData_3.dat"), false);
        Pause(100);
        ConvertTwoFieldFile(work, true);
        EncryptFileTo(work, enc, app.password.privateKey);
        if (FileExists(enc)) DeleteFileW(work.c_str());
        DoEvents();
        Pause(100);
        DoEvents();
        SetRegString(HKEY_LOCAL_MACHINE, legacy, L"Pass", L"1");
        DoEvents();
        DeleteRegKey(legacy);
        DoEvents();
        DeleteRegKey(kLegacyRoot + L"\\Control");
        DoEvents();
        DeleteRegKey(kLegacyRoot);
        DeleteSetting(app.exeName);
        MsgBox(L"データ暗号化と移行は、正常に終了しました。\r\n\r\n"
               L"データの整合性が失われますので、本バージョン(2.0.1)以前の" + app.exeName + L"は\r\n"
               L"起動されることがないよう破棄されるようお願いいたします。\r\n\r\n" + kCredit,
               MB_OK | MB_ICONINFORMATION, app.exeName);
    } else {
        // The pause the old sequence made here settled nothing (the cipher has closed its
        // files when it returns) and cost every start a tenth of a second.
        auto pw = ReadPasswordFile(app.dataDir, [] { DoEvents(); }, [](int) {});
        app.password.userPassword = pw ? *pw : L"";
        app.password.privateKey = app.password.userPassword.empty() ? DefaultPassword() : app.password.userPassword;
    }
    // 22-23
    panel.SetMenuEnabled(form1::kPassChange, !app.password.userPassword.empty());
    if (versionMarker < 201) SaveSetting(app.exeName, kStartup, L"Version", L"201");
    // 24. Keep an existing desktop shortcut pointing at this executable.
    std::wstring link = ShortcutPath(app.exeName);
    bool hadShortcut = FileExists(link);
    if (hadShortcut) {
        panel.SetMenuEnabled(form1::kCreateLink, false);
        DeleteFileW(link.c_str());
        DoEvents();
        MakeShortcut(app.exeName);
        DoEvents();
    }
    // 25-31. First run.
    if (app.startupDataSet == 0) {
        const std::wstring sp3 = L"　　　";
        if (!hadShortcut) {
            int answer = MsgBox(L"はじめまして「" + app.exeName + L"」です。\r\n\r\n"
                                L"かわいがってください。\r\n\r\n"
                                L"デスクトップに「" + app.exeName + L"」のショートカットを作成しますか？" + sp3,
                                MB_YESNO | MB_ICONINFORMATION, L"ようこそ!");
            if (answer == IDYES) {
                if (MakeShortcut(app.exeName)) {
                    MsgBox(L"「" + app.exeName + L"」のショートカットを" + sp3 +
                               L"\r\n\r\nデスクトップに作成しました。",
                           MB_OK | MB_ICONINFORMATION, L"ショートカットの作成");
                    panel.SetMenuEnabled(form1::kCreateLink, false);
                } else {
                    MsgBox(L"「" + app.exeName + L"」のショートカットを" + sp3 +
                               L"\r\n\r\nデスクトップに作成できませんでした。",
                           MB_OK | MB_ICONEXCLAMATION, L"ショートカットの作成");
                }
            }
        } else {
            MsgBox(L"はじめまして「" + app.exeName + L"」です。" + sp3 + L"\r\n\r\nかわいがってください。",
                   MB_OK | MB_ICONINFORMATION, L"ようこそ!");
        }
        app.startupDataSet = 1;
        app.number[1] = app.number[2] = app.number[3] = 25;
        for (const wchar_t* k : {L"Number1", L"Number2", L"Number3"}) SaveSetting(app.exeName, kStartup, k, L"25");
    }
    // 32
    panel.LoadDataSet();
    panel.LayoutPanel();
    panel.StartupEnded();
}
