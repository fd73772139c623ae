// The keys walked through with notepad in front, by key presses only once the item is ticked.
#include "e2e_backup.h"
#include "e2e_desktop.h"
#include "e2e_editor.h"
#include "e2e_hariko.h"
#include "e2e_scenarios.h"
#include "e2e_steps.h"
#include "editor/editor_ids.h"
#include "panel/panel_ids.h"

namespace e2e {
namespace {

void CtrlAlt(BYTE key) {
    for (BYTE k : {BYTE(VK_CONTROL), BYTE(VK_MENU), key}) keybd_event(k, 0, 0, 0);
    for (BYTE k : {key, BYTE(VK_MENU), BYTE(VK_CONTROL)}) keybd_event(k, 0, KEYEVENTF_KEYUP, 0);
}

// ---- 95 -----------------------------------------------------------------------------------

void PasteByKeys(Report& rep, const std::wstring& exe) {
    if (!PrepareInitialised(rep, exe)) return;
    Hariko h(exe);
    const std::wstring one = L"青木　純", two = L"東京都千代田区";
    if (!rep.Check(WriteFileBytes(h.DataFile(L"MyData_1.dat"), Records({{L"氏名", one}, {L"住所", two}, {L"", L""}})),
                   L"set-up: Public 氏名, 住所 and a blank entry"))
        return;
    Notepad np;
    std::wstring why;
    if (!rep.Check(np.Start(0, 0, 500, 400, &why), L"notepad starts at the left", why) || !StartReady(rep, h)) return;
    auto sees = [&](const std::wstring& want, const std::wstring& what) {
        const bool arrived = WaitFor([&] { return np.Text() == want; }, 5000);
        rep.Check(arrived, what, Quote(np.Text()));
    };
    auto frontIs = [](HWND w) { return WaitFor([w] { return GetForegroundWindow() == w; }, 5000); };

    // Names a screen reader reads (a button's text): the blank entry by its row, the mode button by its mode.
    rep.Check(h.EntryButton(L"空き 3") && TextOf(h.Control(panel_ids::kBtnMode)) == L"標準ﾓｰﾄﾞ",
              L"the blank entry is named \"空き 3\", the mode button \"標準ﾓｰﾄﾞ\"", Captions(h));
    // Just started, the panel holds the focus itself: Tab goes into the column to entry 1.
    const DWORD panelThread = GetWindowThreadProcessId(h.main(), nullptr);
    auto focusId = [&] {
        GUITHREADINFO gi{sizeof gi};
        return GetGUIThreadInfo(panelThread, &gi) && gi.hwndFocus != h.main() ? GetDlgCtrlID(gi.hwndFocus) : 0;
    };
    if (rep.Check(frontIs(h.main()), L"the panel is in front after the start")) {
        PressKey(VK_TAB);
        rep.Check(WaitFor([&] { return focusId() == panel_ids::kFirstEntryButton; }, 3000),
                  L"Tab from the panel reaches entry 1", std::to_wstring(focusId()));
    }
    h.Menu(panel_ids::kHotKeys);
    rep.Check(HoldsFor([&] { return MessageBoxesOf(h.pid()).empty(); }, 500), L"ticking ﾎｯﾄｷｰを使う names no held key",
              OpenBoxes(h));
    if (!rep.Check(np.ClickInto(&why), L"notepad in front", why)) return;
    CtrlAlt('1');
    sees(one, L"Ctrl+Alt+1 pastes entry 1 into notepad");
    CtrlAlt('2');
    sees(one + two, L"Ctrl+Alt+2 pastes entry 2 after it");
    CtrlAlt('3');
    rep.Check(HoldsFor([&] { return np.Text() == one + two; }, 1000), L"Ctrl+Alt+3 (a blank entry) pastes nothing");

    CtrlAlt(VK_SPACE);
    rep.Check(frontIs(h.main()), L"Ctrl+Alt+Space brings the panel to the front");
    PressKey(VK_DOWN);
    PressKey(VK_RETURN);
    sees(one + two + two, L"↓ and Enter paste entry 2 into notepad");

    CtrlAlt(VK_SPACE);
    frontIs(h.main());
    PressKey(VK_ESCAPE);
    rep.Check(frontIs(np.window()), L"Esc gives the focus back to notepad");
    rep.Check(HoldsFor([&] { return np.Text() == one + two + two; }, 800), L"Esc pasted nothing");
    CtrlAlt(VK_SPACE);
    frontIs(h.main());
    PressKey(VK_SPACE);
    sees(one + two + two + one, L"Ctrl+Alt+Space, then Space pastes entry 1 into notepad");

    CloseProgram(rep, h);
    rep.Check(h.Setting(L"HotKeys") == std::wstring(L"1"), L"closing stores HotKeys = \"1\"",
              SettingText(h.Setting(L"HotKeys")));
    if (!StartReady(rep, h) || !rep.Check(np.ClickInto(&why), L"notepad in front", why)) return;
    np.SetText(L"");
    CtrlAlt('1');
    sees(one, L"read at start: Ctrl+Alt+1 pastes at once");
    h.Menu(panel_ids::kHotKeys);
    if (!rep.Check(np.ClickInto(&why), L"notepad in front", why)) return;
    CtrlAlt('1');
    rep.Check(HoldsFor([&] { return np.Text() == one; }, 1000), L"unticked: Ctrl+Alt+1 pastes nothing", Quote(np.Text()));
    CloseProgram(rep, h);
    rep.Check(h.Setting(L"HotKeys") == std::wstring(L"0"), L"closing stores HotKeys = \"0\"",
              SettingText(h.Setting(L"HotKeys")));
    h.WipeState();
}

// ---- 96 -----------------------------------------------------------------------------------

// Ctrl and Alt held while 1, 2, 3 are tapped: each paste waits for the one before it; a digit
// held down (its key repeating) pastes once.
void HeldModifiersPasteInOrder(Report& rep, const std::wstring& exe) {
    if (!PrepareInitialised(rep, exe)) return;
    Hariko h(exe);
    if (!rep.Check(WriteFileBytes(h.DataFile(L"MyData_1.dat"), Records({{L"一", L"<1>"}, {L"二", L"<2>"}, {L"三", L"<3>"}})),
                   L"set-up: Public <1>, <2>, <3>"))
        return;
    Notepad np;
    std::wstring why;
    if (!rep.Check(np.Start(0, 0, 500, 400, &why), L"notepad starts at the left", why) || !StartReady(rep, h)) return;
    if (!rep.Check(h.MenuDone(panel_ids::kHotKeys, 5000), L"ﾎｯﾄｷｰを使う ticked") ||
        !rep.Check(np.ClickInto(&why), L"notepad in front", why))
        return;
    keybd_event(VK_CONTROL, 0, 0, 0);
    keybd_event(VK_MENU, 0, 0, 0);
    for (BYTE k : {BYTE('1'), BYTE('2'), BYTE('3')}) {
        keybd_event(k, 0, 0, 0);
        keybd_event(k, 0, KEYEVENTF_KEYUP, 0);
    }
    keybd_event(VK_MENU, 0, KEYEVENTF_KEYUP, 0);
    keybd_event(VK_CONTROL, 0, KEYEVENTF_KEYUP, 0);
    rep.Check(WaitFor([&] { return np.Text() == L"<1><2><3>"; }, 8000) &&
                  HoldsFor([&] { return np.Text() == L"<1><2><3>"; }, 800),
              L"Ctrl+Alt held, 1 2 3 tapped: notepad holds <1><2><3> in that order", Quote(np.Text()));
    np.SetText(L"");
    keybd_event(VK_CONTROL, 0, 0, 0);
    keybd_event(VK_MENU, 0, 0, 0);
    for (int i = 0; i < 12; ++i) {  // what a held key sends: presses with no release between
        keybd_event('2', 0, 0, 0);
        Sleep(40);
    }
    for (BYTE k : {BYTE('2'), BYTE(VK_MENU), BYTE(VK_CONTROL)}) keybd_event(k, 0, KEYEVENTF_KEYUP, 0);
    rep.Check(WaitFor([&] { return np.Text() == L"<2>"; }, 5000) && HoldsFor([&] { return np.Text() == L"<2>"; }, 1500),
              L"Ctrl+Alt+2 held down pastes <2> once", Quote(np.Text()));
    CloseProgram(rep, h);
    h.WipeState();
}

// ---- 97 -----------------------------------------------------------------------------------

void EditByKeys(Report& rep, const std::wstring& exe) {
    if (!PrepareInitialised(rep, exe)) return;
    Hariko h(exe);
    std::vector<std::pair<std::wstring, std::wstring>> rows;
    for (int i = 1; i <= 1000; ++i) rows.push_back({L"c" + std::to_wstring(i), L"t" + std::to_wstring(i)});
    if (!rep.Check(WriteFileBytes(h.DataFile(L"MyData_1.dat"), Records(rows)), L"set-up: Public of 1,000 entries") || !StartReady(rep, h)) return;
    const DWORD thread = GetWindowThreadProcessId(h.main(), nullptr);
    auto focus = [&] { GUITHREADINFO gi{sizeof gi}; return GetGUIThreadInfo(thread, &gi) ? gi.hwndFocus : nullptr; };
    auto focusOn = [&](const std::function<HWND()>& want) { return WaitFor([&] { return want() && focus() == want(); }, 5000); };
    if (!rep.Check(WaitFor([&] { return GetForegroundWindow() == h.main(); }, 5000), L"the panel is in front")) return;
    for (BYTE k : {BYTE(VK_TAB), BYTE(VK_END), BYTE(VK_TAB)}) PressKey(k);
    if (!rep.Check(focusOn([&] { return h.Control(panel_ids::kBtnEdit); }), L"Tab, End, Tab: 設  定 / 編  集 has the focus",
                   TextOf(focus())))
        return;
    PressKey(VK_RETURN);
    HWND editor = nullptr;
    if (!rep.Check(WaitFor([&] { return (editor = h.WindowCaptioned(L"データの編集と追加")) != nullptr; }, 8000),
                   L"Enter opens the editor", h.WindowList()) ||
        !rep.Check(focusOn([&] { return RowBox(editor, 1, entry_editor::kCaptionBox); }), L"row 1's caption has the focus"))
        return;
    // Wine takes the modifiers anew from X as the focus moves: a Ctrl it dropped is pressed again.
    bool last = false;
    for (int i = 0; i < 3 && !last; ++i) {
        PressWithModifier(VK_CONTROL, VK_END);
        last = focusOn([&] { return RowBox(editor, 1000, entry_editor::kCaptionBox); });
    }
    rep.Check(last, L"Ctrl+End: the caption of row 1000, in view, has the focus", TextOf(focus()));
    INPUT x[2] = {};  // the character itself: a Shift from keybd_event could outlive the scenario
    for (INPUT& in : x) in.type = INPUT_KEYBOARD, in.ki.wScan = L'X';
    x[0].ki.dwFlags = KEYEVENTF_UNICODE;
    x[1].ki.dwFlags = KEYEVENTF_UNICODE | KEYEVENTF_KEYUP;
    SendInput(2, x, sizeof(INPUT));
    const HWND save = DescendantById(editor, entry_editor::kBtnSave);
    for (int i = 0; i < 12 && focus() != save; ++i) {
        const HWND was = focus();
        PressKey(VK_TAB);
        WaitFor([&] { return focus() != was; }, 2000);
    }
    if (!rep.Check(focus() == save, L"Tab reaches 更　新", TextOf(focus()))) return;
    PressKey(VK_RETURN);
    rep.Check(WaitFor([&] { return !IsWindow(editor); }, 8000), L"Enter on 更　新 closes the editor");
    rows.pop_back();
    const std::string want = Records(rows) + "\"c1000X\",\"t1000\",16777215\r\n";
    std::string got;
    rep.Check(WaitFor([&] { return (got = testsupport::BytesOf(h.DataFile(L"MyData_1.dat"))) == want; }, 3000),
              L"MyData_1.dat: the last caption ends in X, every other entry as it was",
              got.size() > 40 ? Quote(std::wstring(got.end() - 40, got.end())) : L"");
    CloseProgram(rep, h);
    h.WipeState();
}

// ---- 104 ----------------------------------------------------------------------------------

// Ctrl+Alt+F from notepad, あおき typed: ｱｵｷ (Public) and あおきさん (顔文字) are found, Enter
// pastes the first into notepad; Ctrl+Alt+F, Esc: back in notepad, nothing pasted.
void FindByTyping(Report& rep, const std::wstring& exe) {
    if (!PrepareInitialised(rep, exe)) return;
    Hariko h(exe);
    if (!rep.Check(WriteFileBytes(h.DataFile(L"MyData_1.dat"), Records({{L"住所", L"東京都千代田区"}, {L"ｱｵｷ", L"青木　純"}})) &&
                       WriteFileBytes(h.DataFile(L"MyData_3.dat"), Records({{L"あおきさん", L"(^_^)"}})),
                   L"set-up: Public 住所, ｱｵｷ; 顔文字 あおきさん"))
        return;
    Notepad np;
    std::wstring why;
    if (!rep.Check(np.Start(0, 0, 500, 400, &why), L"notepad starts at the left", why) || !StartReady(rep, h)) return;
    if (!rep.Check(h.MenuDone(panel_ids::kHotKeys, 5000), L"ﾎｯﾄｷｰを使う ticked")) return;
    HWND search = nullptr;
    auto opens = [&] {
        if (!rep.Check(np.ClickInto(&why), L"notepad in front", why)) return false;
        CtrlAlt('F');
        return rep.Check(WaitFor([&] { return (search = h.WindowCaptioned(L"ｴﾝﾄﾘを探す")) && GetForegroundWindow() == search; }, 5000),
                         L"Ctrl+Alt+F from notepad opens ｴﾝﾄﾘを探す in front", h.WindowList());
    };
    if (!opens()) return;
    HWND list = DescendantById(search, panel_ids::kListFound);
    auto lines = [&] {
        std::wstring all;
        const int n = static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0));
        for (int i = 0; i < n; ++i) {
            wchar_t buf[256] = L"";
            if (SendMessageW(list, LB_GETTEXTLEN, i, 0) < 255) SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(buf));
            all += buf + std::wstring(L"|");
        }
        return all;
    };
    TypeUnicodeKeys(L"あおき");
    const std::wstring want = L"ｱｵｷ 〔Public〕 青木　純|あおきさん 〔顔文字〕 (^_^)|Privateはロック中です|";
    rep.Check(WaitFor([&] { return lines() == want; }, 5000), L"あおき lists ｱｵｷ, then あおきさん from 顔文字, then the locked Private",
              Quote(lines()));
    PressKey(VK_RETURN);
    rep.Check(WaitFor([&] { return np.Text() == L"青木　純"; }, 5000), L"Enter pastes 青木　純 into notepad", Quote(np.Text()));
    rep.Check(WaitFor([&] { return !IsWindowVisible(search); }, 5000), L"the search window is gone");
    if (!opens()) return;
    PressKey(VK_ESCAPE);
    rep.Check(WaitFor([&] { return GetForegroundWindow() == np.window() && !IsWindowVisible(search); }, 5000),
              L"Esc closes it and notepad is in front again");
    rep.Check(HoldsFor([&] { return np.Text() == L"青木　純"; }, 800), L"Esc pasted nothing", Quote(np.Text()));
    CloseProgram(rep, h);
    h.WipeState();
}

}  // namespace

const std::vector<Scenario>& KeysScenarios() {
    static const std::vector<Scenario> all = {
        {95, L"95. keys only: Ctrl+Alt+1/2, Ctrl+Alt+Space with ↓ Enter, with Esc and with Space, the setting kept, unticked", PasteByKeys},
        {96, L"96. Ctrl+Alt held, 1 2 3 tapped: pasted in order; a held digit pastes once", HeldModifiersPasteInOrder},
        {97, L"97. keys only: from the panel to the editor, Ctrl+End in 1,000 entries, X typed, 更　新", EditByKeys},
        {104, L"104. Ctrl+Alt+F from notepad, あおき typed: Enter pastes ｱｵｷ's text; Ctrl+Alt+F, Esc pastes nothing", FindByTyping},
    };
    return all;
}

}  // namespace e2e
