// Restore, copies, shortcuts, the help page and the password file, where they went wrong before:
// each message must say what really happened, and nothing may be lost on the way.
#include "e2e_services.h"

#include <tuple>

#include "e2e_backup.h"
#include "e2e_desktop.h"
#include "e2e_hariko.h"
#include "e2e_steps.h"
#include "panel/panel_ids.h"
#include "protect/private_password_prompt.h"

namespace e2e {
namespace {

const std::wstring kDefaultKey = L"47290315", kPrompt = L"Privateのパスワードの確認";

std::string Rows(const std::wstring& c) { return Records({{c + L"1", L"text"}, {c + L"2", L"text"}, {c + L"3", L"text"}}); }
std::string Sealed(const std::string& plain, const std::wstring& key) { return Rc4(plain, key).value_or(""); }

// chattr +i or -i on a folder: then even root (as Wine runs here) can make nothing in it.
// Wine gives no exit code of a Unix program: the folder itself says when it is done.
bool Immutable(const std::wstring& dir, bool on) {
    using Fn = char*(CDECL*)(const WCHAR*);
    auto fn = reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    char* unix = fn ? fn(dir.c_str()) : nullptr;
    if (!unix) return false;
    wchar_t path[MAX_PATH * 2] = L"";
    MultiByteToWideChar(CP_UTF8, 0, unix, -1, path, MAX_PATH * 2);
    HeapFree(GetProcessHeap(), 0, unix);
    Process chattr;
    return chattr.Start(L"Z:\\usr\\bin\\chattr", std::wstring(on ? L"+i \"" : L"-i \"") + path + L"\"") &&
           WaitFor([&] {
               // A probe made just before the folder froze cannot be deleted on close: it stays.
               DeleteFileW((dir + L"\\probe.tmp").c_str());
               HANDLE f = CreateFileW((dir + L"\\probe.tmp").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                      FILE_FLAG_DELETE_ON_CLOSE, nullptr);
               return f == INVALID_HANDLE_VALUE ? on : (CloseHandle(f), !on);
           }, 5000);
}

// Starts the program; the box of that title, shown while it starts or just after, is
// answered with OK and returned.
std::optional<MessageBoxSeen> StartTaking(Report& rep, Hariko& h, const std::wstring& title) {
    std::optional<MessageBoxSeen> box;
    auto s = h.Start(IDNO, 30000, [&](const MessageBoxSeen& b) { return b.title == title && (box = b, AnswerMessageBox(b, IDOK)); });
    if (rep.Check(s.ready, L"the program starts", s.why) && !box && (box = WaitForMessageBox(title, h.pid(), 10000)))
        AnswerMessageBox(*box, IDOK);
    return box;
}

// A menu item whose question is answered Yes.
void Choose(const Hariko& h, int item, const std::wstring& title) {
    h.Menu(item);
    if (auto q = WaitForMessageBox(title, h.pid(), 10000)) AnswerMessageBox(*q, IDYES);
}

// ---- 80 -----------------------------------------------------------------------------------

// A copy named "my copy": its desktop shortcut renewed at start, its own help page.
void ACopyWithASpace(Report& rep, const std::wstring& exe) {
    const std::wstring copyPath = Hariko(exe).ProgramDir() + L"\\my copy.exe";
    Hariko h(copyPath);
    if (!rep.Check(CopyFileW(exe.c_str(), copyPath.c_str(), FALSE) != FALSE, L"set-up: the program copied as \"my copy.exe\"") ||
        !PrepareInitialised(rep, copyPath))
        return;
    const std::wstring lnk = h.ShortcutPath(), old = WindowsDirectory() + L"\\notepad.exe";
    if (!rep.Check(WriteShortcut(lnk, old), L"set-up: a shortcut of the name on the desktop, to notepad.exe")) return;
    const std::string before = ReadFileBytes(lnk).value_or("");
    // Another program reads it (as a virus scanner or a file indexer does): it can be deleted
    // but no new file can take its name until that program lets go.
    HANDLE reader = CreateFileW(lnk.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, 0, nullptr);
    auto box = StartTaking(rep, h, L"ショートカットの作成");
    const std::wstring text = L"デスクトップの「my copy」のショートカットを更新できませんでした。\r\n\r\n"
                              L"以前のショートカットはそのまま残してあります。\r\n" + lnk;
    rep.Check(box && box->text == text, L"a shortcut that cannot be renewed: " + Quote(text), box ? Quote(box->text) : OpenBoxes(h));
    CloseHandle(reader);
    std::wstring tmp;  // nothing of the attempt may be left on the desktop
    for (const std::wstring& f : FolderEntries(DesktopDirectory())) tmp += f.ends_with(L".tmp") ? f + L" " : L"";
    rep.Check(ReadFileBytes(lnk) == before && tmp.empty(), L"the old shortcut is still there, unchanged; no temporary file", tmp);

    const std::wstring classes = L"Software\\Classes\\";
    const std::wstring opened = TempDirectory() + L"\\hariko-opened.txt";
    WriteMachineString(classes + L".html", L"", L"hariko_e2e_html");
    WriteMachineString(classes + L"hariko_e2e_html\\shell\\open\\command", L"",
                       L"C:\\windows\\system32\\cmd.exe /c echo %1> \"" + opened + L"\"");
    DeleteFileW(opened.c_str());
    // A file whose name is the page's path up to its space: the path must not be cut there.
    const std::wstring stray = WindowsDirectory() + L"\\Personal_Data\\my";
    WriteFileBytes(stray, "not a program");
    h.Menu(panel_ids::kHelp);
    const std::wstring page = h.DataFile(L"help.html");
    rep.Check(WaitFor([&] { return ReadFileBytes(opened) == Cp932(page) + "\r\n"; }, 10000), L"使い方 of \"my copy\" hands " + page + L" to the program that opens .html",
              Hex(ReadFileBytes(opened).value_or("(nothing)")) + OpenBoxes(h));
    DeleteMachineTree(classes + L"hariko_e2e_html");
    DeleteMachineTree(classes + L".html");
    DeleteFileW(opened.c_str());
    DeleteFileW(stray.c_str());
    CloseProgram(rep, h);
    h.WipeState();  // the shortcut too
    DeleteFileW(copyPath.c_str());
}

// ---- 81 -----------------------------------------------------------------------------------

void RestoreChecked(Report& rep, const std::wstring& exe) {
    if (!PrepareInitialised(rep, exe)) return;
    Hariko h(exe);
    const std::wstring dir = h.BackupDir(), restoreTitle = L"「ハリコ」のデータの読込", failed = L"「ハリコ」のデータの読込に失敗しました。\r\n\r\n";
    const std::wstring unchanged = L"\r\n\r\nデータは読込前のまま変更されていません。";
    WriteFileBytes(h.DataFile(L"MyData_0.dat"), Sealed("\"abc\"\r\n", kDefaultKey));
    WriteFileBytes(h.DataFile(L"MyData_2.dat"), Sealed(Rows(L"私の"), L"abc"));
    if (!StartAtLeft(rep, h)) return;
    WriteFileBytes(dir, "my notes");
    const Files data = Snapshot(h.DataDir());

    // A file where the backup folder goes is the user's: the backup stops and says why.
    const std::wstring backupTitle = L"「ハリコ」のデータセットのバックアップ";
    Choose(h, panel_ids::kBackup, backupTitle);
    Expect(rep, h, backupTitle, L"バックアップフォルダと同じ名前のファイルがあるため、バックアップデータを作成できませんでした。\r\n\r\n" +
           dir + L"\r\n\r\nこのファイルは変更していません。名前を変えるか別の場所へ移してから、もう一度バックアップしてください。", IDOK,
           L"a file named like the backup folder");
    rep.Check(ReadFileBytes(dir) == std::string("my notes"), L"the file is kept as it was");
    DeleteFileW(dir.c_str());

    // A backup under "xyz"; before a restore every file is read as the window that reads it
    // would: an odd Public file the panel shows (a quote in a bare field, a fourth field,
    // bytes that are no code page 932, a last field never closed) is taken.
    CreateDirectoryW(dir.c_str(), nullptr);
    const Files good = {{L"Color.dat", "\"&HFFFFFF\"\r\n"}, {L"MyData_0.dat", Sealed("\"xyz\"\r\n", kDefaultKey)},
                        {L"MyData_1.dat", Rows(L"住所") + "\"a\",b\"c,1,\"d\"\r\n\"\x81 \xFF\",\"open"},
                        {L"MyData_2.dat", Sealed(Rows(L"秘密"), L"xyz")}, {L"MyData_3.dat", Rows(L"顔")}};
    for (const auto& [f, bytes] : good) WriteFileBytes(dir + L"\\" + f, bytes);
    auto restore = [&] {
        Choose(h, panel_ids::kRestore, restoreTitle);
        HWND d = nullptr;
        if (WaitFor([&] { return (d = h.WindowCaptioned(restoreTitle)) != nullptr; }, 10000)) TypeInto(DescendantById(d, 7002), L"xyz");
    };
    const std::tuple<std::wstring, std::string, std::wstring> bad[] = {
        {L"Color.dat", Sealed(Rows(L"色"), L"noise"), L"\r\n\r\nは、ボタン色の一覧として読めません。"},
        {L"MyData_2.dat", Sealed(Rows(L"秘密"), L"other"), L"\r\n\r\nは、バックアップのパスワードで正しく復号できませんでした。"}};
    for (const auto& [f, bytes, why] : bad) {
        WriteFileBytes(dir + L"\\" + f, bytes);
        restore();
        Expect(rep, h, restoreTitle, failed + dir + L"\\" + f + why + unchanged, IDOK, L"a bad " + f);
        rep.Check(WaitFor([&] { return IsWindowEnabled(h.main()) != FALSE; }, 5000) && Snapshot(h.DataDir()) == data,
                  L"no data file changed");
        for (const auto& [g, b] : good) WriteFileBytes(dir + L"\\" + g, b);
    }

    // A data folder nothing can be written to: said as it is, and no password is asked.
    if (rep.Check(Immutable(h.DataDir(), true), L"set-up: the data folder cannot be written")) {
        Choose(h, panel_ids::kRestore, restoreTitle);
        Expect(rep, h, restoreTitle, failed + L"データのフォルダに書き込めません。\r\n\r\n" + h.DataDir() + unchanged, IDOK,
               L"a data folder that cannot be written");
        const bool quiet = !WaitFor([&] { return h.WindowCaptioned(kPrompt) != nullptr; }, 3000) &&
                           IsWindowEnabled(h.main());
        rep.Check(quiet, L"no password prompt follows; the panel can be used", quiet ? L"" : h.WindowList());
        // Started so, the password file cannot be decrypted there: that is no damage to ask about.
        CloseProgram(rep, h);
        const bool told = StartTaking(rep, h, L"ハリコ").has_value();  // that changes cannot be saved there
        if (rep.Check(told && !WaitFor([&] { return h.WindowCaptioned(kPrompt) != nullptr; }, 3000),
                      L"a start in that folder says changes cannot be saved, and asks no password", h.WindowList())) {
            h.Menu(panel_ids::kPrivate);
            Expect(rep, h, L"ハリコ", L"データのフォルダに書き込めないため、Privateを開けません。\r\n\r\n" + h.DataDir(), IDOK,
                   L"Private chosen there");
        }
    }
    rep.Check(Immutable(h.DataDir(), false) && Snapshot(h.DataDir()) == data, L"no data file changed; the folder can be written again");

    // A good backup: restored, and what it replaced kept beside it.
    restore();
    std::wstring kept;
    WaitFor([&] {
        for (const std::wstring& f : FolderEntries(h.ProgramDir()))
            if (f.rfind(L"ハリコ_BackupData_読込前_", 0) == 0) kept = h.ProgramDir() + L"\\" + f;
        return !kept.empty();
    }, 15000);
    Expect(rep, h, restoreTitle, L"「ハリコ」のデータの読込は成功しました。　　　　　\r\n\r\n読込前のデータは、次のフォルダに残してあります。\r\n" + kept,
           IDOK, L"a good backup");
    rep.Check(Snapshot(kept) == data && Snapshot(h.DataDir()) == good, L"the replaced files are kept there; the backup's are in place");
    RemoveTree(kept);
    RemoveTree(dir);
    CloseProgram(rep, h);

    // A damaged password file with Private to start with: its password is asked before the
    // panel shows, and each wrong one is told.
    WriteFileBytes(h.DataFile(L"MyData_0.dat"), std::string("\x13\x99\xFE", 3));
    h.SetSetting(L"Type", L"2");
    HWND prompt = nullptr;
    if (!rep.Check(h.process().Start(exe) && WaitFor([&] { return (prompt = h.WindowCaptioned(kPrompt)) != nullptr; }, 15000),
                   L"a damaged password file: the Private password is asked for", h.WindowList()))
        return h.WipeState();
    for (const std::wstring said : {L"パスワードが違います。もう一度入力してください。", L"パスワードが違います（2回目）。もう一度入力してください。"}) {
        TypeInto(DescendantById(prompt, password_prompt::kEditPassword), L"wrong");
        rep.Check(WaitFor([&] { return TextOf(DescendantById(prompt, password_prompt::kLblPrompt)) == said; }, 3000), L"a wrong password: " + Quote(said),
                  Quote(TextOf(DescendantById(prompt, password_prompt::kLblPrompt))));
    }
    TypeInto(DescendantById(prompt, password_prompt::kEditPassword), L"xyz");  // the restored Private's
    // The right one opens Private: its working copy is made, and nothing asks again.
    rep.Check(WaitFor([&] { return FileExists(h.DataFile(L"MyData_2_2.dat")) && !FileExists(h.DataFile(L"MyData_2.dat")); }, 15000) &&
                  !WaitFor([&] { return h.WindowCaptioned(L"パスワードの確認") != nullptr; }, 3000),
              L"the right one: Private is loaded, no second question", h.WindowList());
    for (HWND w : TopWindows(L"HarikoForm", h.pid())) PostMessageW(w, WM_CLOSE, 0, 0);
    rep.Check(h.process().WaitExit(20000), L"the program ends after WM_CLOSE", h.WindowList() + OpenBoxes(h));
    h.WipeState();
}

// ---- 82 -----------------------------------------------------------------------------------

void UnsealablePrivate(Report& rep, const std::wstring& exe) {
    if (!PrepareInitialised(rep, exe)) return;
    Hariko h(exe);
    h.SetSetting(L"PassMode", L"1");  // Private opens without a password
    const std::wstring enc = h.DataFile(L"MyData_2.dat"), work = h.DataFile(L"MyData_2_2.dat");
    if (!StartReady(rep, h)) return;
    h.Menu(panel_ids::kPrivate);
    if (!rep.Check(WaitFor([&] { return FileExists(work) && !FileExists(enc); }, 10000), L"Private is loaded") ||
        !rep.Check(Immutable(h.DataDir(), true), L"set-up: the data folder cannot be written"))
        return CloseProgram(rep, h);

    // Public cannot be shown without sealing Private: the panel stays on Private and says why.
    const std::wstring told = L"Privateのデータを暗号化して保存できなかったため、Privateのままにしました。\r\n\r\n" + enc + L"\r\n(";
    h.Menu(panel_ids::kPublic);
    Expect(rep, h, L"ハリコ", told, IDOK, L"a switch to Public that cannot seal Private", true);
    rep.Check(HoldsFor([&] { return FileExists(work) && h.EntryButton(L"氏名") == nullptr; }, 1000),
              L"Private stays: its working copy is there, Public is not shown");

    // Closing asks: a retry fails again, and the user closes with the working copy left.
    const std::wstring asked = L"Privateのデータを暗号化して保存できませんでした。\r\n\r\n" + enc + L"\r\n(";
    for (HWND w : TopWindows(L"HarikoForm", h.pid())) PostMessageW(w, WM_CLOSE, 0, 0);
    Expect(rep, h, L"ハリコ", asked, IDRETRY, L"closing: try again", true);
    Expect(rep, h, L"ハリコ", asked, IDCANCEL, L"closing, still no room: close as it is", true);
    rep.Check(h.process().WaitExit(20000) && FileExists(work) && !FileExists(enc),
              L"the program ends; Private is left as its working copy", h.WindowList() + OpenBoxes(h));

    // Once the folder can be written again, the next start seals it and says so.
    rep.Check(Immutable(h.DataDir(), false), L"the folder can be written again");
    auto box = StartTaking(rep, h, L"ハリコ");
    rep.Check(box && box->text == L"前回暗号化できずに残っていたPrivateのデータを、暗号化して保存しました。\r\n\r\n" + enc,
              L"the next start seals Private and says so", box ? Quote(box->text) : h.WindowList());
    rep.Check(WaitFor([&] { return FileExists(enc) && !FileExists(work); }, 5000), L"MyData_2.dat is back, no plain copy");
    CloseProgram(rep, h);
    h.WipeState();
}

}  // namespace

const std::vector<Scenario>& serviceScenarios() {
    static const std::vector<Scenario> all = {
        {80, L"80. a copy named \"my copy\": its desktop shortcut that cannot be renewed is kept; its help page", ACopyWithASpace},
        {81, L"81. backup and restore: a file in the folder's place, bad backup files, a data folder that cannot be written, the "
             L"replaced files kept; then a damaged password file: wrong passwords told, the right one opens Private", RestoreChecked},
        {82, L"82. Private that cannot be sealed (the data folder refuses): a switch stays on Private and says why; closing "
             L"asks to try again or to leave it; the next start seals it and says so", UnsealablePrivate},
    };
    return all;
}

}  // namespace e2e
