// Start-up of the panel: one instance per executable name, the settings, the data files,
// the one-time conversion of older data, the password file, the desktop shortcut and the
// first-run welcome.
#include <windows.h>

#include <algorithm>

#include "base/cp932.h"
#include "base/number.h"
#include "base/records.h"
#include "panel/Form1.h"
#include "panel/app_state.h"
#include "panel/loader_logic.h"
#include "panel/paste_logic.h"
#include "panel/win_desktop.h"
#include "protect/clsCryptFile.h"
#include "protect/shortcut.h"
#include "store/datafiles.h"
#include "store/dataset_format.h"
#include "store/passwordfile.h"
#include "store/regkey.h"
#include "store/settings.h"
#include "win/app.h"

namespace {

const wchar_t kStartup[] = L"Startup";
const wchar_t kCredit[] = L"ハリコ 2.0 ― 自分で作って自分で使う、小さな貼り付け道具です。";
const std::wstring kLegacyRoot = L"SYSTEM\\Curent_Control";

void Pause(int ms) { Sleep(static_cast<DWORD>(ms)); }

std::wstring Read(const wchar_t* key) {
    // The defaults are never numeric, so a missing key reads as 0.
    return GetSetting(App().exeName, kStartup, key, std::wstring(L"Reg_") + key);
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

bool Form1::RefuseSecondInstance() {
    // Windows compares executable names without case; the mutex name must as well.
    std::wstring key = App().exeName;
    CharLowerBuffW(key.data(), static_cast<DWORD>(key.size()));
    std::replace(key.begin(), key.end(), L'\\', L'_');
    std::wstring name = L"Local\\Hariko-" + key;
    instanceMutex_ = CreateMutexW(nullptr, FALSE, name.c_str());
    if (!instanceMutex_ || GetLastError() != ERROR_ALREADY_EXISTS) return false;
    HWND first = nullptr;
    for (int i = 0; i < 50 && !first; ++i) {  // the first one may still be starting
        first = FindWindowW(L"HarikoForm", App().exeName.c_str());
        if (!first) Sleep(100);
    }
    if (first) {
        if (IsIconic(first)) OpenIcon(first);
        SetForegroundWindow(first);
    }
    return true;
}

bool Form1::Form_Load() {
    AppState& app = App();
    app.exeName = ExeName();
    app.programDir = ProgramDir();
    menu_ = BuildMenu();
    if (!CreateTopLevel(L"", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, WS_EX_TOPMOST, nullptr,
                        menu_, panel::kWindowWidth, 8225))
        return false;
    CreateControls();
    desktop_ = std::make_unique<WinDesktop>(hwnd_);
    engine_ = std::make_unique<PasteEngine>(*desktop_);
    engine_->Panel = reinterpret_cast<uintptr_t>(hwnd_);
    engine_->Dpi = Dpi();
    engine_->ParkFocus = [this] { Command3->SetFocus(); };
    RegisterDialogWindow(hwnd_);

    // 1. One instance per executable name. The refused one ends without storing anything:
    // it has no settings of its own and would overwrite those of the running one.
    if (RefuseSecondInstance()) {
        DestroyWindow(hwnd_);
        return false;
    }
    SetTimer(hwnd_, 1, 100, nullptr);
    StartupSequence();
    return !closing_;
}

void Form1::StartupSequence() {
    AppState& app = App();
    // 3-5
    app.dataRoot = DataRootPath();
    app.osVersion = OsVersionNumber();
    {
        OSVERSIONINFOW vi{sizeof vi};
        using Fn = LONG(WINAPI*)(OSVERSIONINFOW*);
        auto fn = reinterpret_cast<Fn>(reinterpret_cast<void*>(
            GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "RtlGetVersion")));
        if (fn && fn(&vi) == 0) {
            engine_->OsMajor = static_cast<int>(vi.dwMajorVersion);
            engine_->OsMinor = static_cast<int>(vi.dwMinorVersion);
        }
    }
    MakeTopmost();
    // 6
    app.startupDataSet = SettingToInt32(Read(L"Type"));
    int storedLeft = SettingToInt32(Read(L"Left"));
    int storedTop = SettingToInt32(Read(L"Top"));
    int storedMode = SettingToInt32(Read(L"Mode"));
    int16_t passMode = SettingToInt16(Read(L"PassMode"));
    app.number[1] = SettingToInt16(Read(L"Number1"));
    app.number[2] = SettingToInt16(Read(L"Number2"));
    app.number[3] = SettingToInt16(Read(L"Number3"));
    int16_t versionMarker = SettingToInt16(GetSetting(app.exeName, kStartup, L"Version", L""));
    // 7
    if (app.startupDataSet >= 1 && app.startupDataSet <= 3) {
        SetChecked(kType1, app.startupDataSet == 1);
        SetChecked(kType2, app.startupDataSet == 2);
        SetChecked(kType3, app.startupDataSet == 3);
    }
    // 8
    if (storedLeft < 1 || storedTop < 1) {
        int sw = Tw(GetSystemMetrics(SM_CXSCREEN)), sh = Tw(GetSystemMetrics(SM_CYSCREEN));
        int left = (sw - Width()) / 2;
        int top = Height() > sh ? 0 : (sh - Height()) / 2;
        Move(left, top, Width(), Height());
    } else {
        Move(storedLeft, storedTop, Width(), Height());
    }
    // 9
    if (storedMode == 1) {
        SetChecked(kMode, true);
        SetChecked(kModeDef, false);
        SetHeight(8555);
        Command5->SetVisible(true);
        Command6->SetVisible(true);
        SetToolTip(Command8, paste::ModeToolTip(PasteMode::Kensho));
        modePosition_ = 1;
    } else if (storedMode == 2) {
        SetChecked(kModeEnt, true);
        SetChecked(kModeDef, false);
        SetHeight(8555);
        Command7->SetVisible(true);
        SetToolTip(Command8, paste::ModeToolTip(PasteMode::Bunsho));
        modePosition_ = 2;
    } else if (storedMode == 0) {
        SetChecked(kModeDef, true);
        SetHeight(8225);
        Command5->SetVisible(false);
        Command6->SetVisible(false);
        SetToolTip(Command8, paste::ModeToolTip(PasteMode::Def));
        modePosition_ = 0;
    }
    engine_->ModeSwitchPosition = modePosition_;
    engine_->Mode = CurrentMode();
    // 10
    SetChecked(kPassEnabled, passMode != 1);
    SetChecked(kPassUnEnabled, passMode == 1);
    // 11
    Command2->SetText(L"設  定 / 編  集");
    SetToolTip(Command2, L"データの設定と編集");
    for (Control* c : {Command5, Command6, Command7}) c->backColor = static_cast<int32_t>(0x80000002);
    engine_->Text4 = L"0";
    Text4->SetText(L"0");
    SetCaption(app.exeName);
    SetWidth(panel::kWindowWidth);
    SetToolTip(Image1, L"ボタンの表示数が調整できます。");

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
    if (created.passwordCreated) {
        app.userPassword.clear();
        app.privateKey = DefaultPassword();
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
            closing_ = true;
            PostMessageW(hwnd_, WM_CLOSE, 0, 0);
            return;
        }
        std::wstring legacy = kLegacyRoot + L"\\Control\\" + app.exeName;
        app.userPassword = Lower(GetRegString(HKEY_LOCAL_MACHINE, legacy, L"Pass"));
        app.privateKey = app.userPassword.empty() ? DefaultPassword() : app.userPassword;
        DoEvents();
        WritePasswordFile(app.dataDir, app.userPassword, 100, [] { DoEvents(); }, Pause);
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
        EncryptFileTo(work, enc, app.privateKey);
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
        app.userPassword = pw ? *pw : L"";
        app.privateKey = app.userPassword.empty() ? DefaultPassword() : app.userPassword;
    }
    // 22-23
    SetMenuEnabled(kPassChange, !app.userPassword.empty());
    if (versionMarker < 201) SaveSetting(app.exeName, kStartup, L"Version", L"201");
    // 24. Keep an existing desktop shortcut pointing at this executable.
    std::wstring link = ShortcutPath(app.exeName);
    bool hadShortcut = FileExists(link);
    if (hadShortcut) {
        SetMenuEnabled(kCreateLink, false);
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
                    SetMenuEnabled(kCreateLink, false);
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
    LoadDataSet();
    LayoutPanel();
    startupDone_ = true;
    firstActivate_ = true;  // the first showing runs the activation, whatever came before
}
