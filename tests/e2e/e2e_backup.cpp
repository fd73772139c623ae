// Backup, restore, new copies and shortcuts as a person does them: the panel's menu opened
// with a click and walked with the arrow keys, the dialogs typed into, the boxes read and
// answered; judged by the files beside the program, in the data directory and on the desktop.
#include "e2e_backup.h"

#include <ctime>
#include <string>
#include <vector>

#include "e2e_desktop.h"
#include "e2e_hariko.h"
#include "e2e_steps.h"
#include "panel/panel_ids.h"

namespace e2e {
namespace {

const std::wstring kDefaultPassword = L"47290315", kFive = L"Color.dat MyData_0.dat MyData_1.dat MyData_2.dat MyData_3.dat ";
const std::wstring kBackupTitle = L"「ハリコ」のデータセットのバックアップ", kRestoreTitle = L"「ハリコ」のデータの読込";
const std::wstring kRestored = L"「ハリコ」のデータの読込は成功しました。　　　　　";
// Items of ﾒﾆｭｰ counted from its end, as the Up key reaches them in the opened menu.
// Up presses from the menu's end: 終了, 最小化, ｴﾝﾄﾘを探す..., ﾎｯﾄｷｰを使う come first; the two
// CSV items stand between 新しい「ハリコ」の作成 and ﾃﾞｰﾀｾｯﾄの読込.
enum FromEnd { kCreateLinkItem = 5, kNewAppItem, kImportItem = kNewAppItem + 3, kExportItem };

}  // namespace

std::string Records(const std::vector<std::pair<std::wstring, std::wstring>>& rows) {
    std::string s;
    for (const auto& [caption, text] : rows) s += "\"" + Cp932(caption) + "\",\"" + Cp932(text) + "\",\"&HFFFFFF\"\r\n";
    return s;
}
const std::string kOurPrivate = Records({{L"銀行", L"若葉銀行　本店 1234567"}, {L"メモ", L"合言葉は「さくら」"}});

bool WriteSealed(const std::wstring& path, const std::string& plain, const std::wstring& key) {
    auto c = Rc4(plain, key);
    return c && WriteFileBytes(path, *c);
}
std::string Opened(const std::wstring& path, const std::wstring& key) {
    return Rc4(ReadFileBytes(path).value_or(""), key).value_or("?");
}

// Every file of a folder with its bytes (the data directory without the tunes no backup holds).
Files Snapshot(const std::wstring& dir) {
    Files v;
    for (const std::wstring& f : FolderEntries(dir))
        if (f.rfind(L"sakura_", 0) != 0) v.emplace_back(f, ReadFileBytes(dir + L"\\" + f).value_or("?"));
    return v;
}
std::wstring Names(const std::wstring& dir) {
    std::wstring s;
    for (const auto& f : Snapshot(dir)) s += f.first + L" ";
    return s;
}

// Opens ﾒﾆｭｰ with a click on the menu bar, walks up to the item and presses Enter.
void ChooseFromMenu(Report& rep, const Hariko& h, int fromEnd, const std::wstring& what) {
    POINT origin{0, 0};
    ClientToScreen(h.main(), &origin);
    ClickAt(origin.x + 12, origin.y - GetSystemMetrics(SM_CYMENU) / 2);
    bool open = WaitFor([&] { return !TopWindows(L"#32768", h.pid()).empty(); }, 3000);
    for (int i = 0; i < fromEnd; ++i) PressKey(VK_UP);
    PressKey(VK_RETURN);
    rep.Check(open, L"ﾒﾆｭｰ opens; " + what + L" is chosen with the keys");
}

// Waits for the box, compares its text (with prefixOnly: its beginning) and answers it.
void Expect(Report& rep, const Hariko& h, const std::wstring& title, const std::wstring& text, int answer,
            const std::wstring& what, bool prefixOnly) {
    auto box = WaitForMessageBox(title, h.pid(), 15000);
    bool same = box && (prefixOnly ? box->text.compare(0, text.size(), text) == 0 : box->text == text);
    rep.Check(same && box->Has(answer), what + L": \"" + title + L"\" reads " + Quote(text),
              box ? Quote(box->text) : h.WindowList() + OpenBoxes(h));
    if (box) AnswerMessageBox(*box, answer);
}

// Clicks into a dialog's edit box, types, and presses Enter.
void TypeInto(HWND edit, const std::wstring& text) {
    ClickCentre(edit);
    TypeKeys(text);
    PressKey(VK_RETURN);
}

// Chooses Private and gives its password; true when our entries show.
bool OpenPrivate(const Hariko& h, const std::wstring& password) {
    h.Menu(panel_ids::kPrivate);
    HWND d = nullptr;
    WaitFor([&] { return (d = h.WindowCaptioned(L"パスワードの確認")) != nullptr; }, 6000);
    TypeInto(DescendantById(d, 4002), password);
    return WaitFor([&] { return h.EntryButton(L"銀行") != nullptr; }, 10000);
}

bool StartAtLeft(Report& rep, Hariko& h) {
    RemoveTree(h.BackupDir());
    h.SetSetting(L"Left", L"1500");  // clear of the dialogs, which are centred on the screen
    h.SetSetting(L"Top", L"1500");
    return StartReady(rep, h);
}

namespace {

// ---- 40 -----------------------------------------------------------------------------------

void Backup(Report& rep, const std::wstring& exe) {
    if (!PrepareInitialised(rep, exe)) return;
    Hariko h(exe);
    const std::wstring dir = h.BackupDir();
    if (!rep.Check(WriteSealed(h.DataFile(L"MyData_0.dat"), "\"abc\"\r\n", kDefaultPassword) &&
                       WriteSealed(h.DataFile(L"MyData_2.dat"), kOurPrivate, L"abc"),
                   L"set-up: Private holds our entries under the password \"abc\"") ||
        !StartAtLeft(rep, h))
        return;
    rep.Check(OpenPrivate(h, L"abc"), L"Private is loaded", Captions(h));
    const std::wstring question = L"「ハリコ」が保持しているデータの\r\n\r\nバックアップファイルを作成しますか？\r\n\r\n"
                                  L"バックアップデータは、ハリコ_BackupData フォルダに保存されます。　　　　　";
    const std::wstring report = L"「ハリコ」のバックアップデータは\r\n\r\n" + dir + L"　　　　　　　　\r\n\r\n"
                                L"ハリコ.exe と同じディレクトリに作成しました。\r\n\r\n"
                                L"データの保存は、ハリコ_BackupData フォルダごと保存してください。\r\n\r\n"
                                L"尚、データの読込には現在の「Private」で設定しているパスワードが必要となります。";
    auto backUp = [&](const std::wstring& outcome, bool prefixOnly, const std::wstring& what) {
        ChooseFromMenu(rep, h, kExportItem, L"ﾃﾞｰﾀｾｯﾄのﾊﾞｯｸｱｯﾌﾟ");
        Expect(rep, h, kBackupTitle, question, IDYES, what + L", the question");
        Expect(rep, h, kBackupTitle, outcome, IDOK, what, prefixOnly);
    };
    backUp(report, false, L"the report names the folder and the password");
    rep.Check(Names(dir) == kFive, L"the backup holds the five files, no working copy", Names(dir));
    rep.Check(WaitFor([&] { return !FileExists(h.DataFile(L"MyData_2_2.dat")) && h.EntryButton(L"氏名") != nullptr; }, 5000),
              L"Private was put away and Public is loaded", Captions(h));
    rep.Check(Opened(dir + L"\\MyData_2.dat", L"abc") == kOurPrivate, L"the backup's MyData_2.dat opens under \"abc\"");
    auto written = [&](const std::wstring& f) {
        WIN32_FILE_ATTRIBUTE_DATA a{};
        GetFileAttributesExW((dir + L"\\" + f).c_str(), GetFileExInfoStandard, &a);
        return ULARGE_INTEGER{{a.ftLastWriteTime.dwLowDateTime, a.ftLastWriteTime.dwHighDateTime}}.QuadPart;
    };
    const uint64_t t = written(L"Color.dat"), ago = (uint64_t(time(nullptr)) + 11644473600ull) * 10000000 - t;
    bool same = t % 10000000 == 0 && ago < 600000000;
    for (const wchar_t* f : {L"MyData_0.dat", L"MyData_1.dat", L"MyData_2.dat", L"MyData_3.dat"}) same &= written(f) == t;
    rep.Check(same, L"all five copies were last written at one moment, to the second, just now");

    // A data file another program holds open: the backup fails and says so; the old one stays.
    WriteFileBytes(dir + L"\\メモ.txt", "mine");
    const Files before = Snapshot(dir);
    HANDLE lock = CreateFileW(h.DataFile(L"Color.dat").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    backUp(L"「ハリコ」のバックアップデータを作成できませんでした。\r\n\r\n" + dir + L"\r\n\r\n", true, L"Color.dat locked");
    CloseHandle(lock);
    rep.Check(Snapshot(dir) == before, L"the previous backup is unchanged, the user's file included", Names(dir));
    backUp(report, false, L"a second backup");
    rep.Check(Names(dir) == kFive, L"the second backup replaced the folder: the user's file is gone", Names(dir));
    CloseProgram(rep, h);
    RemoveTree(dir);
    h.WipeState();
}

// ---- 41 -----------------------------------------------------------------------------------

void Restore(Report& rep, const std::wstring& exe) {
    if (!PrepareInitialised(rep, exe)) return;
    Hariko h(exe);
    const std::wstring dir = h.BackupDir();
    if (!StartAtLeft(rep, h)) return;
    auto ask = [&](const std::wstring& what) {
        ChooseFromMenu(rep, h, kImportItem, L"ﾃﾞｰﾀｾｯﾄの読込");
        Expect(rep, h, kRestoreTitle,
               L"「ハリコ」のバックアップデータからの読込を行います。　　　　　\r\n\r\nハリコ.exe と同じディレクトリに、\r\n\r\n"
               L"ハリコ_BackupData フォルダをコピー(配置)していますか？", IDYES, what + L", the question");
    };
    Files data = Snapshot(h.DataDir());
    ask(L"no backup folder");
    Expect(rep, h, kRestoreTitle,
           L"「ハリコ」のデータの読込に失敗しました。\r\n\r\nハリコ.exe と同じディレクトリに、\r\n\r\n"
           L"ハリコ_BackupData フォルダが存在していません。　　　\r\n\r\nデータの読込を中止します。", IDOK, L"no backup folder");
    rep.Check(Snapshot(h.DataDir()) == data, L"no data file changed");

    // Only Public and the colours: the other three are made, each with its message.
    CreateDirectoryW(dir.c_str(), nullptr);
    WriteFileBytes(dir + L"\\MyData_1.dat", Records({{L"住所", L"東京都港区１－２－３"}, {L"電話", L"03-1234-5678"}}));
    WriteFileBytes(dir + L"\\Color.dat", "\"&HFFFFFF\"\r\n\"&HC0FFC0\"\r\n");
    ask(L"Public and colours only");
    for (const wchar_t* made : {L"」のパスワードファイル(MyData_0.dat)が存在しません。　　　\r\n\r\n初期状態のパスワードファイルを作成します。",
                                L"」のPrivateデータファイル(MyData_2.dat)が存在しません。　　　_\r\n\r\n初期状態のPrivateデータファイルを作成します。",
                                L"」の顔文字データファイル(MyData_3.dat)が存在しません。　　　_\r\n\r\n初期状態の顔文字データファイルを作成します。"})
        Expect(rep, h, kRestoreTitle, L"「ハリコ" + std::wstring(made), IDOK, L"a missing file");
    Expect(rep, h, kRestoreTitle, kRestored, IDOK, L"no password in the backup: restored at once", true);
    std::string blank;
    for (int i = 0; i < 25; ++i) blank += "\"\",\"\",\"&HFFFFFF\"\r\n";
    rep.Check(Snapshot(h.DataDir()) == Snapshot(dir) && Opened(dir + L"\\MyData_0.dat", kDefaultPassword) == "\"\"\r\n" &&
                  Opened(dir + L"\\MyData_2.dat", kDefaultPassword) == blank,
              L"the data directory holds the completed backup: no password, Private 25 blank rows", Names(dir));
    rep.Check(WaitFor([&] { return h.EntryButton(L"住所") != nullptr; }, 8000), L"the panel shows the restored Public");

    // Another program reads MyData_3.dat: the restore stops half way and puts everything back.
    WriteFileBytes(dir + L"\\MyData_1.dat", Records({{L"別", L"別のデータ"}, {L"", L""}}));
    data = Snapshot(h.DataDir());
    HANDLE reader = CreateFileW(h.DataFile(L"MyData_3.dat").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    ask(L"MyData_3.dat in use");
    Expect(rep, h, kRestoreTitle, L"「ハリコ」のデータの読込に失敗しました。\r\n\r\n" + h.DataFile(L"MyData_3.dat"), IDOK,
           L"MyData_3.dat in use", true);
    CloseHandle(reader);
    rep.Check(Snapshot(h.DataDir()) == data, L"every data file is as before, none left over", Names(h.DataDir()));

    // A backup with a password: a wrong one, then the right one in capitals.
    WriteSealed(dir + L"\\MyData_0.dat", "\"abc\"\r\n", kDefaultPassword);
    WriteSealed(dir + L"\\MyData_2.dat", kOurPrivate, L"abc");
    ask(L"a password");
    HWND d = nullptr;
    WaitFor([&] { return (d = h.WindowCaptioned(kRestoreTitle)) != nullptr; }, 8000);
    if (!rep.Check(d != nullptr, L"the window \"" + kRestoreTitle + L"\" asks for the password", h.WindowList()))
        return CloseProgram(rep, h);
    RECT client{};
    GetClientRect(d, &client);
    DWORD_PTR mask = 0;
    SendMessageTimeoutW(DescendantById(d, 7002), EM_GETPASSWORDCHAR, 0, 0, SMTO_ABORTIFHUNG, 2000, &mask);
    rep.Check(TextOf(DescendantById(d, 7001)) == L"データのバックアップ時に「Private」のデータセットで設定していた、パスワードを入力してください。" &&
                  mask == L'*' && client.right == TwipsToPx(7950, DpiOf(d)) && client.bottom == TwipsToPx(1965, DpiOf(d)) &&
                  !IsWindowEnabled(h.main()),
              L"its request, a masked box, 7950 × 1965 twips; the panel is locked", RectText(client));
    TypeInto(DescendantById(d, 7002), L"abd");
    Expect(rep, h, kRestoreTitle, L"パスワードが一致しませんでした。\r\n\r\nもう一度入力してください。　　　　　　　　　　", IDOK,
           L"a wrong password and Enter");
    rep.Check(IsWindow(d) && TextOf(DescendantById(d, 7002)).empty(), L"the window stays, its box emptied");
    ClickCentre(DescendantById(d, 7002));
    TypeKeys(L"ABC");
    ClickCentre(DescendantById(d, 7003));
    Expect(rep, h, kRestoreTitle, kRestored, IDOK, L"\"ABC\" and OK", true);
    rep.Check(WaitFor([&] { return !IsWindow(d) && IsWindowEnabled(h.main()); }, 5000) && Snapshot(h.DataDir()) == Snapshot(dir),
              L"the window closes; the data directory holds the backup's five files");
    rep.Check(OpenPrivate(h, L"abc"), L"the restored password is in force: Private asks for \"abc\" and opens",
              Captions(h) + OpenBoxes(h));
    CloseProgram(rep, h);
    RemoveTree(dir);
    for (const std::wstring& f : FolderEntries(h.ProgramDir()))  // what each restore replaced
        if (f.rfind(L"ハリコ_BackupData_読込前_", 0) == 0) RemoveTree(h.ProgramDir() + L"\\" + f);
    h.WipeState();
}

// ---- 42 -----------------------------------------------------------------------------------

void CopiesAndShortcuts(Report& rep, const std::wstring& exe) {
    if (!PrepareInitialised(rep, exe)) return;
    Hariko h(exe);
    const std::wstring copyPath = h.ProgramDir() + L"\\テスト.exe";
    Hariko copy(copyPath);
    copy.WipeState();
    DeleteFileW(copyPath.c_str());
    if (!StartAtLeft(rep, h)) return;
    const Files data = Snapshot(h.DataDir());
    const std::wstring made = L"のショートカットを　　　\r\n\r\nデスクトップに作成しました。";

    ChooseFromMenu(rep, h, kCreateLinkItem, L"ﾃﾞｽｸﾄｯﾌﾟにｼｮｰﾄｶｯﾄの作成");
    Expect(rep, h, L"ショートカットの作成", L"デスクトップに「ハリコ」のショートカットを作成しますか？　　　", IDYES, L"the question");
    Expect(rep, h, L"ショートカットの作成", L"「ハリコ」" + made, IDOK, L"the report");
    rep.Check(ShortcutTarget(h.ShortcutPath()) == h.exe(), L"ハリコ.lnk on the desktop starts " + h.exe());
    ChooseFromMenu(rep, h, kCreateLinkItem, L"the same item");
    rep.Check(HoldsFor([&] { return MessageBoxesOf(h.pid()).empty(); }, 1500), L"the item is disabled now: nothing happens",
              OpenBoxes(h));
    PressKey(VK_ESCAPE);
    PressKey(VK_ESCAPE);

    ChooseFromMenu(rep, h, kNewAppItem, L"新しい「ハリコ」の作成");
    HWND d = nullptr;
    WaitFor([&] { return (d = h.WindowCaptioned(L"新しい「ハリコ」の作成")) != nullptr; }, 6000);
    if (!rep.Check(d != nullptr && !IsWindowEnabled(h.main()), L"the dialog opens and locks the panel", h.WindowList()))
        return CloseProgram(rep, h);
    HWND nameBox = DescendantById(d, 5003);
    ClickCentre(nameBox);
    TypeKeys(L"a/b:c*d");
    rep.Check(WaitFor([&] { return TextOf(nameBox) == L"abcd"; }, 2000), L"typed \"a/b:c*d\": the box holds \"abcd\"",
              Quote(TextOf(nameBox)));
    for (int i = 0; i < 4; ++i) PressKey(VK_BACK);
    PutClipboardText(L"テスト");
    PressWithModifier(VK_CONTROL, 'V');
    PressKey(VK_RETURN);
    rep.Check(WaitFor([&] { return TextOf(nameBox) == L"テスト"; }, 3000) &&
                  HoldsFor([&] { return MessageBoxesOf(h.pid()).empty() && !FileExists(copyPath); }, 800),
              L"\"テスト\" pasted; Enter only moves on to 作成", Quote(TextOf(nameBox)) + OpenBoxes(h));
    PressKey(VK_RETURN);
    Expect(rep, h, L"「テスト」の作成",
           L"「テスト」を「ハリコ」と同じディレクトリに作成しました。\r\n\r\nデスクトップに「テスト」のショートカットを作成しますか？　　　",
           IDYES, L"a second Enter presses 作成");
    Expect(rep, h, L"ショートカットの作成", L"「テスト」" + made, IDOK, L"the shortcut");
    rep.Check(WaitFor([&] { return !IsWindow(d) && IsWindowEnabled(h.main()); }, 5000) &&
                  ReadFileBytes(copyPath) == ReadFileBytes(exe),
              L"the dialog closes; テスト.exe is a copy of the program");
    rep.Check(ShortcutTarget(copy.ShortcutPath()) == copyPath, L"テスト.lnk starts " + copyPath);
    CloseProgram(rep, h);

    auto s = copy.Start(IDNO);
    if (rep.Check(s.ready && s.welcome.has_value(), L"テスト.exe starts as a first run, its panel captioned テスト", s.why)) {
        rep.Check(FileExists(copy.DataFile(L"MyData_1.dat")) && copy.Setting(L"Number1") == std::wstring(L"25"),
                  L"with its own data directory " + copy.DataDir() + L" and settings");
        // Its shortcut was there before its first start: renewed once the panel shows.
        rep.Check(WaitFor([&] { return ShortcutTarget(copy.ShortcutPath()) == copyPath; }, 10000),
                  L"its start renews テスト.lnk, still starting " + copyPath);
        CloseProgram(rep, copy);
    }
    rep.Check(Snapshot(h.DataDir()) == data, L"ハリコ's data stays as it was");
    copy.WipeState();
    DeleteFileW(copyPath.c_str());
    DeleteFileW(h.ShortcutPath().c_str());
}

}  // namespace

const std::vector<Scenario>& backupScenarios() {
    static const std::vector<Scenario> all = {
        {40, L"40. backup with Private loaded; a locked file; a second backup", Backup},
        {41, L"41. restore: no folder, an incomplete folder, a failure half way, a password", Restore},
        {42, L"42. desktop shortcut; a new copy テスト with its shortcut, started", CopiesAndShortcuts},
    };
    return all;
}

}  // namespace e2e
