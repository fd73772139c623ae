// Faults a user met, walked through as they met them: the scroll bar's arrows, quick clicks,
// Enter on the focus holder; damaged or odd Private files; the session ending; a stored place
// off the screen.
#include "e2e_harden.h"

#include <string>

#include "e2e_desktop.h"
#include "e2e_hariko.h"
#include "e2e_steps.h"
#include "panel/panel_ids.h"
#include "protect/private_password_prompt.h"

namespace e2e {
namespace {

const std::wstring kAoki = L"青木　純";

std::string Field(const std::wstring& s) { return "\"" + Cp932(s) + "\""; }
std::string Records(int n, const std::wstring& first = L"氏名") {
    std::string s;
    for (int i = 1; i <= n; ++i)
        s += Field(i == 1 ? first : L"行" + std::to_wstring(i)) + "," + Field(L"本文" + std::to_wstring(i)) +
             ",\"&HFFFFFF\"\r\n";
    return s;
}
std::optional<std::string> Decrypted(const std::wstring& path, const std::wstring& key) {
    auto bytes = ReadFileBytes(path);
    return bytes ? Rc4(*bytes, key) : std::nullopt;
}
bool WriteEncrypted(const std::wstring& path, const std::string& plain, const std::wstring& key) {
    auto c = Rc4(plain, key);
    return c && WriteFileBytes(path, *c);
}
int ScrollPos(const Hariko& h) {
    DWORD_PTR pos = 0;
    SendMessageTimeoutW(h.Control(panel_ids::kScrollBar), SBM_GETPOS, 0, 0, SMTO_ABORTIFHUNG, 2000, &pos);
    return static_cast<int>(pos);
}
// The pointer rests on its top strip, which brings it forward (a press on the caption would
// start moving the window, and the next key would end that).
bool BringPanelForward(const Hariko& h) {
    RECT r = RectOf(h.main());
    SetCursorPos(r.left + 20, r.top + 8);
    return WaitFor([&] { return GetForegroundWindow() == h.main(); }, 3000);
}
std::optional<std::wstring> DefaultKeyText() {
    // The program's default password, the decimal text of its fixed number.
    return std::wstring(L"47290315");
}

// ---- 20 -----------------------------------------------------------------------------------

void MouseAndKeys(Report& rep, const std::wstring& exe) {
    if (!PrepareInitialised(rep, exe)) return;
    Hariko h(exe);
    h.SetSetting(L"Number1", L"10");
    h.SetSetting(L"Left", L"9000");  // right of notepad
    h.SetSetting(L"Top", L"150");
    Notepad np;
    std::wstring why;
    if (!rep.Check(np.Start(0, 0, 500, 400, &why), L"notepad starts at the left", why)) return;
    if (!StartReady(rep, h)) return;

    // The scroll bar with the real mouse: its down arrow moves one row, its track five.
    HWND bar = h.Control(panel_ids::kScrollBar);
    if (rep.Check(bar && IsWindowVisible(bar), L"10 rows of 25 entries: the scroll bar is shown")) {
        RECT b = RectOf(bar);
        const int arrow = GetSystemMetrics(SM_CYVSCROLL);
        HWND second = h.EntryButton(L"会社名");
        const int before = second ? RectOf(second).top : 0;
        ClickAt((b.left + b.right) / 2, b.bottom - arrow / 2);
        rep.Check(WaitFor([&] { return ScrollPos(h) == 280; }, 3000), L"a click on the down arrow scrolls one row (280)",
                  L"position " + std::to_wstring(ScrollPos(h)));
        const int moved = second ? before - RectOf(second).top : 0;
        rep.Check(std::abs(moved - TwipsToPx(280, DpiOf(h.main()))) <= 1, L"the buttons moved up by one row",
                  std::to_wstring(moved) + L" px");
        ClickAt((b.left + b.right) / 2, b.bottom - arrow - 4);
        rep.Check(WaitFor([&] { return ScrollPos(h) == 280 + 1400; }, 3000),
                  L"a click on the track below the thumb scrolls five rows (1680)",
                  L"position " + std::to_wstring(ScrollPos(h)));
        ClickAt((b.left + b.right) / 2, b.top + arrow / 2);
        rep.Check(WaitFor([&] { return ScrollPos(h) == 1400; }, 3000), L"the up arrow scrolls one row back (1400)",
                  L"position " + std::to_wstring(ScrollPos(h)));
        SendMessageW(h.main(), WM_VSCROLL, SB_TOP, reinterpret_cast<LPARAM>(bar));
    }

    // Two quick clicks are two clicks: on an entry button, and on 次へ in 懸賞ﾓｰﾄﾞ.
    auto clickTwice = [&](HWND target) {
        std::wstring w1, w2;
        return ClickCentre(target, &w1) && ClickCentre(target, &w2);
    };
    np.SetText(L"");
    if (rep.Check(np.ClickInto(&why), L"a click into notepad", why) &&
        rep.Check(WaitFor([&] { return h.TargetField() == HandleDecimal(np.window()); }, 3000),
                  L"notepad is the target")) {
        HWND b = WaitFor([&] { return h.EntryButton(L"氏名") != nullptr; }, 3000) ? h.EntryButton(L"氏名") : nullptr;
        if (rep.Check(b && clickTwice(b), L"two quick clicks on \"氏名\"")) {
            std::wstring got;
            WaitFor([&] { return (got = np.Text()) == kAoki + kAoki; }, 5000);
            rep.Check(got == kAoki + kAoki, L"both clicks paste", L"notepad holds " + Quote(got));
        }
        h.Menu(panel_ids::kThenTab);
        WaitFor([&] { return Visible(h, panel_ids::kBtnNext); }, 3000);
        np.SetText(L"");
        np.ClickInto(&why);
        WaitFor([&] { return h.TargetField() == HandleDecimal(np.window()); }, 3000);
        if (rep.Check(clickTwice(h.Control(panel_ids::kBtnNext)), L"two quick clicks on 次へ")) {
            std::wstring got;
            WaitFor([&] { return (got = np.Text()) == L"\t\t"; }, 5000);
            rep.Check(got == L"\t\t", L"two Tabs arrive", L"notepad holds " + Quote(got));
        }
    }

    // Enter on the focus holder moves the panel as Space and Alt+Z do.
    if (rep.Check(BringPanelForward(h), L"the panel is in front, its focus on the holder (Z)")) {
        PressKey(VK_RETURN);
        const int dpi = DpiOf(h.main());
        bool moved = WaitFor([&] {
            RECT r = RectOf(h.main());
            return r.left == TwipsToPx(7665, dpi) && r.top == TwipsToPx(200, dpi);
        }, 3000);
        rep.Check(moved, L"Enter moves the panel to 7665, 200 twips", RectText(RectOf(h.main())));
    }
    CloseProgram(rep, h);
}

// ---- 21 -----------------------------------------------------------------------------------

void PrivateNeverLost(Report& rep, const std::wstring& exe) {
    if (!PrepareInitialised(rep, exe)) return;
    Hariko h(exe);
    const std::wstring repairTitle = h.name();
    // A one-record Public (the editor's 追　加 on an empty file makes one) is its one entry:
    // Private is not touched, so nothing is said of it.
    const std::string one = Records(1);
    WriteFileBytes(h.DataFile(L"MyData_1.dat"), one);
    auto s = h.Start(IDNO, 30000);
    rep.Check(s.ready && h.EntryButton(L"氏名") && h.VisibleEntryButtons().size() == 1,
              L"a one-record Public: its entry is shown, no message", s.why + Captions(h));
    rep.Check(HoldsFor([&] { return MessageBoxesOf(h.pid()).empty(); }, 2500), L"no message follows", OpenBoxes(h));
    rep.Check(ReadFileBytes(h.DataFile(L"MyData_1.dat")) == one, L"the one record stays in MyData_1.dat");
    CloseProgram(rep, h);
    WriteFileBytes(h.DataFile(L"MyData_1.dat"), Records(25));

    // Private under a key the password file does not name: kept aside, and the user told where.
    h.SetSetting(L"PassMode", L"1");
    const std::string mine = Records(30, L"銀行");
    WriteEncrypted(h.DataFile(L"MyData_2.dat"), mine, L"otherkey");
    const std::string aside = *ReadFileBytes(h.DataFile(L"MyData_2.dat"));
    if (!StartReady(rep, h)) return;
    h.Menu(panel_ids::kPrivate);
    auto box = WaitForMessageBox(repairTitle, h.pid(), 8000);
    std::wstring keptPath;
    for (const std::wstring& f : FolderEntries(h.DataDir()))
        if (f.rfind(L"MyData_2_復号できません_", 0) == 0) keptPath = h.DataFile(f);
    rep.Check(box && !keptPath.empty() && box->text.find(keptPath) != std::wstring::npos,
              L"Private under another key: the message names the file it was kept as",
              box ? Quote(box->text) : L"no box; files: " + h.DataDir());
    rep.Check(ReadFileBytes(keptPath) == aside, L"the kept file holds the old bytes unchanged");
    if (box) AnswerMessageBox(*box, IDOK);
    CloseProgram(rep, h);

    // A damaged password file: asked for the key, a wrong one refused, the right one taken.
    const std::wstring pw = L"neko";
    WriteEncrypted(h.DataFile(L"MyData_2.dat"), mine, pw);
    const std::string under = *ReadFileBytes(h.DataFile(L"MyData_2.dat"));
    WriteFileBytes(h.DataFile(L"MyData_0.dat"), std::string("\x13\x99\xFE", 3));
    h.SetSetting(L"PassMode", L"0");
    if (!StartReady(rep, h)) return;
    HWND prompt = nullptr;
    std::wstring why;
    WaitFor([&] { return (prompt = h.WindowCaptioned(L"Privateのパスワードの確認")) != nullptr; }, 8000);
    if (rep.Check(prompt != nullptr, L"a damaged password file: the program asks for the Private password",
                  h.WindowList())) {
        HWND edit = DescendantById(prompt, password_prompt::kEditPassword);
        ClickCentre(edit, &why);
        TypeKeys(L"wrong");
        PressKey(VK_RETURN);
        rep.Check(WaitFor([&] { return TextOf(DescendantById(prompt, password_prompt::kLblPrompt)).find(L"違います") != std::wstring::npos; }, 3000),
                  L"a wrong password is refused and the prompt stays");
        ClickCentre(edit, &why);
        TypeKeys(L"NEKO");
        PressKey(VK_RETURN);
        rep.Check(WaitFor([&] { return !IsWindow(prompt); }, 5000), L"the right one (typed in capitals) is taken");
        std::optional<std::string> file;
        WaitFor([&] { return (file = Decrypted(h.DataFile(L"MyData_0.dat"), *DefaultKeyText())) ==
                             std::string("\"neko\"\r\n"); }, 3000);
        rep.Check(file == std::string("\"neko\"\r\n"), L"the password file is written again with it",
                  file ? Quote(std::wstring(file->begin(), file->end())) : L"unreadable");
        rep.Check(ReadFileBytes(h.DataFile(L"MyData_2.dat")) == under, L"Private was not touched");
    }
    CloseProgram(rep, h);
}

// ---- 22 -----------------------------------------------------------------------------------

void AskedBeforePrivateShows(Report& rep, const std::wstring& exe) {
    if (!PrepareInitialised(rep, exe)) return;
    Hariko h(exe);
    const std::wstring pw = L"neko";
    WriteEncrypted(h.DataFile(L"MyData_2.dat"), Records(25, L"秘密"), pw);
    WriteEncrypted(h.DataFile(L"MyData_0.dat"), "\"neko\"\r\n", *DefaultKeyText());
    h.SetSetting(L"Type", L"2");
    if (!StartReady(rep, h)) return;
    HWND dialog = nullptr;
    WaitFor([&] { return (dialog = h.WindowCaptioned(L"パスワードの確認")) != nullptr; }, 8000);
    rep.Check(dialog != nullptr, L"Private stored as the start-up set: the password is asked first", h.WindowList());
    rep.Check(!FileExists(h.DataFile(L"MyData_2_2.dat")) && h.EntryButton(L"氏名") != nullptr,
              L"meanwhile Public is shown and Private stays encrypted");
    if (dialog) PostMessageW(dialog, WM_CLOSE, 0, 0);
    bool closed = WaitFor([&] { return !IsWindow(dialog) && IsWindowEnabled(h.main()); }, 5000);
    rep.Check(closed && HoldsFor([&] { return !FileExists(h.DataFile(L"MyData_2_2.dat")); }, 500),
              L"the dialog closed without the password: Private stays shut", h.WindowList());
    CloseProgram(rep, h);
}

// ---- 23 -----------------------------------------------------------------------------------

void SessionEnds(Report& rep, const std::wstring& exe) {
    if (!PrepareInitialised(rep, exe)) return;
    Hariko h(exe);
    h.SetSetting(L"PassMode", L"1");
    h.SetSetting(L"Left", L"3000");
    h.SetSetting(L"Top", L"900");
    if (!StartReady(rep, h)) return;
    h.Menu(panel_ids::kPrivate);
    if (!rep.Check(WaitFor([&] { return FileExists(h.DataFile(L"MyData_2_2.dat")); }, 5000),
                   L"Private is loaded (its working copy is there)"))
        return;
    DeleteUserValue(h.SettingsKey(), L"Left");
    DeleteUserValue(h.SettingsKey(), L"Type");
    // Windows asks every program to end the session; Wine's wineboot does the same.
    Process wb;
    bool ran = wb.Start(WindowsDirectory() + L"\\system32\\wineboot.exe", L"--end-session");
    rep.Check(ran && wb.WaitExit(30000), L"the session ends (wineboot --end-session)");
    rep.Check(h.process().WaitExit(10000), L"the program has ended with it");
    rep.Check(FileExists(h.DataFile(L"MyData_2.dat")) && !FileExists(h.DataFile(L"MyData_2_2.dat")),
              L"Private is encrypted back, no plain working copy is left");
    rep.Check(Stored(h, L"Type", L"1") && h.Setting(L"Left").has_value(),
              L"the settings were stored (Type = \"1\", Left)", SettingText(h.Setting(L"Type")));
}

// ---- 24 -----------------------------------------------------------------------------------

void BackOnScreen(Report& rep, const std::wstring& exe) {
    if (!PrepareInitialised(rep, exe)) return;
    Hariko h(exe);
    WriteFileBytes(h.DataFile(L"MyData_1.dat"), Records(150));
    h.SetSetting(L"Number1", L"100");
    h.SetSetting(L"Left", L"999999");
    h.SetSetting(L"Top", L"999999");
    if (!StartReady(rep, h)) return;
    RECT r = RectOf(h.main());
    const int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
    rep.Check(r.left >= 0 && r.top >= 0 && r.right <= sw && r.bottom <= sh,
              L"a place far off the screen and 100 rows: the whole panel is on the screen", RectText(r));
    HWND grip = h.Control(panel_ids::kBtnEdit);
    rep.Check(grip && RectOf(grip).bottom <= sh, L"設  定 / 編  集 can be seen");
    CloseProgram(rep, h);
    std::optional<std::wstring> rows;
    bool fits = WaitFor([&] {
        rows = h.Setting(L"Number1");
        return rows && _wtoi(rows->c_str()) > 1 && _wtoi(rows->c_str()) < 100;
    }, 3000);
    rep.Check(fits,
              L"the row setting fits the screen", SettingText(rows));
    WriteFileBytes(h.DataFile(L"MyData_1.dat"), Records(25));
}

}  // namespace

const std::vector<Scenario>& HardenScenarios() {
    static const std::vector<Scenario> all = {
        {20, L"20. the scroll bar's arrows and track, quick double clicks, Enter on the focus holder", MouseAndKeys},
        {21, L"21. Private never lost: one record, another key, a damaged password file", PrivateNeverLost},
        {22, L"22. Private as the start-up set asks for its password first", AskedBeforePrivateShows},
        {23, L"23. Windows ends the session while Private is loaded", SessionEnds},
        {24, L"24. a place off the screen and more rows than fit", BackOnScreen},
    };
    return all;
}

}  // namespace e2e
