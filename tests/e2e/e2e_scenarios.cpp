// The scenarios: the real program and Wine's notepad, worked with real clicks and keys,
// judged by what a person sees on screen and what stays on disk and in the settings.
#include "e2e_scenarios.h"

#include <string>

#include "e2e_about.h"
#include "e2e_backup.h"
#include "e2e_clipboard.h"
#include "e2e_csv.h"
#include "e2e_desktop.h"
#include "e2e_editor.h"
#include "e2e_harden.h"
#include "e2e_hariko.h"
#include "e2e_life.h"
#include "e2e_services.h"
#include "e2e_steps.h"
#include "e2e_unicode.h"
#include "panel/panel_ids.h"
#include "panel/paste_logic.h"

namespace e2e {
namespace {

// Notepad on the left, the panel (centred by the program, x ~ 580..700 at 96 dpi) to its
// right: without a window manager X stacking ignores "topmost", so nothing may overlap.
constexpr int kNotepadLeft = 0, kNotepadTop = 0, kNotepadWidth = 500, kNotepadHeight = 400;

const std::wstring kShimei = L"氏名";
const std::wstring kAoki = L"青木　純";
const std::string kAokiCp932 = "\x90\xC2\x96\xD8\x81\x40\x8F\x83";  // measured on Windows
const std::wstring kNoticeTitle = L"あわてないで！ by ハリコ";
const std::wstring kNoticeText = L"入力先をクリックして、もう一度\r\n\r\nボタンをクリックしてください。";
const std::wstring kWelcomeTitle = L"ようこそ!";

bool StartNotepad(Report& rep, Notepad& np) {
    std::wstring why;
    bool ok = np.Start(kNotepadLeft, kNotepadTop, kNotepadWidth, kNotepadHeight, &why);
    return rep.Check(ok, L"notepad starts at the left, clear of the panel",
                     ok ? RectText(RectOf(np.window())) : why);
}

// A click with Shift held. Wine takes the modifier keys from X whenever the pointer enters a
// window or the focus moves, which would drop a Shift pressed by keybd_event: the pointer
// first rests on the panel's top strip, which brings it forward (a click there could make
// the desktop the target for a moment), then on the button, and only then Shift goes down.
bool ShiftClick(const Hariko& h, HWND button, std::wstring* why) {
    const RECT panel = RectOf(h.main()), r = RectOf(button);
    SetCursorPos(panel.left + 60, panel.top + 10);
    if (!WaitFor([&] { return GetForegroundWindow() == h.main(); }, 3000))
        return *why = L"the panel did not come forward under the pointer", false;
    SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    Pause(300);
    const BYTE scan = static_cast<BYTE>(MapVirtualKeyW(VK_SHIFT, MAPVK_VK_TO_VSC));
    keybd_event(VK_SHIFT, scan, 0, 0);
    for (DWORD button : {MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP}) Pause(60), mouse_event(button, 0, 0, 0, 0);
    Pause(300);  // still held after the click: the typing waits for it
    keybd_event(VK_SHIFT, scan, KEYEVENTF_KEYUP, 0);
    return true;
}

}  // namespace

bool PasteAndSee(Report& rep, Hariko& h, Notepad& np, const std::wstring& label, const std::wstring& expected,
                 const std::wstring& caption, bool typed) {
    np.SetText(L"");
    std::wstring why;
    if (!rep.Check(np.ClickInto(&why), label + L": a click into notepad brings it to the front", why))
        return false;
    const std::wstring want = HandleDecimal(np.window());
    bool targeted = WaitFor([&] { return h.TargetField() == want; }, 3000);
    if (!rep.Check(targeted, label + L": the panel takes notepad as its target (target field = " + want + L")",
                   L"target field = " + Quote(h.TargetField())))
        return false;
    HWND b = nullptr;
    if (!rep.Check(WaitFor([&] { return (b = h.EntryButton(caption)) != nullptr; }, 5000),
                   label + L": the entry button " + Quote(caption) + L" is shown", Captions(h)))
        return false;
    if (!rep.Check(typed ? ShiftClick(h, b, &why) : ClickCentre(b, &why),
                   label + L": a click on " + Quote(caption) + (typed ? L" with Shift held" : L""), why))
        return false;
    std::wstring got;
    // Nothing more may follow (a second paste, a stray key): watched for a moment.
    if (WaitFor([&] { return (got = np.Text()) == expected; }, 5000))
        HoldsFor([&] { return (got = np.Text()) == expected; }, 400);
    bool ok = rep.Check(got == expected, label + L": notepad's text is exactly " + Quote(expected),
                        L"notepad holds " + Quote(got) + OpenBoxes(h));
    if (!ok) DismissBoxes(rep, h);
    return ok;
}

namespace {

// ---- 1 ------------------------------------------------------------------------------------

void FirstStart(Report& rep, const std::wstring& exe) {
    Hariko h(exe);
    h.WipeState();
    rep.Check(GetFileAttributesW(h.DataDir().c_str()) == INVALID_FILE_ATTRIBUTES &&
                  !KeyExists(h.SettingsKey()),
              L"clean state: no data directory, no settings of " + Quote(h.name()));

    auto s = h.Start(IDNO);
    if (rep.Check(s.welcome.has_value(), L"the welcome box \"ようこそ!\" appears")) {
        const std::wstring text = L"はじめまして「" + h.name() + L"」です。\r\n\r\nかわいがってください。\r\n\r\n"
                                  L"デスクトップに「" + h.name() + L"」のショートカットを作成しますか？　　　";
        rep.Check(s.welcome->text == text, L"its text is the greeting with the shortcut question",
                  Quote(s.welcome->text));
        rep.Check(s.welcome->Has(IDYES) && s.welcome->Has(IDNO) && !s.welcome->Has(IDOK),
                  L"it offers Yes and No", std::to_wstring(s.welcome->buttons.size()) + L" buttons");
    }
    if (!rep.Check(s.ready, L"after No the panel is shown, ready", s.why)) return;

    HWND w = h.main();
    rep.Check(TextOf(w) == L"ハリコ" && h.name() == L"ハリコ", L"caption is \"ハリコ\"", Quote(TextOf(w)));
    rep.Check((GetWindowLongPtrW(w, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0, L"the panel is topmost");
    bool trimmed = WaitFor([&] {
        return (GetWindowLongPtrW(w, GWL_STYLE) & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX)) == 0;
    }, 3000);
    rep.Check(trimmed, L"no minimise or maximise box");
    const int dpi = DpiOf(w);
    const int width = TwipsToPx(kPanelWidthTwips, dpi);
    rep.Check(OuterWidth(w) == width,
              L"outer width is 1825 twips = " + std::to_wstring(width) + L" px at " + std::to_wstring(dpi) + L" dpi",
              RectText(RectOf(w)));
    const int height = TwipsToPx(PanelHeightTwips(25, false), dpi);
    rep.Check(OuterHeight(w) == height, L"outer height shows 25 rows in 標準ﾓｰﾄﾞ (" + std::to_wstring(height) + L" px)",
              RectText(RectOf(w)));
    rep.Check(h.EntryButton(kShimei) && h.EntryButton(L"会社名"), L"Public is loaded: \"氏名\" and \"会社名\" are shown");

    std::wstring missing;
    for (const wchar_t* f : {L"MyData_0.dat", L"MyData_1.dat", L"MyData_2.dat", L"MyData_3.dat",
                             L"Color.dat", L"sakura_0.mid", L"sakura_1.mid", L"sakura_2.mid",
                             L"sakura_3.mid", L"sakura_4.mid"})
        if (!FileExists(h.DataFile(f))) missing += std::wstring(L" ") + f;
    rep.Check(missing.empty(), L"every data file exists in " + h.DataDir(),
              missing.empty() ? L"" : L"missing:" + missing);
    // The password file is read once the panel shows; its plain form lives only meanwhile.
    rep.Check(WaitFor([&] { return !FileExists(h.DataFile(L"MyData_0_0.dat")) && !FileExists(h.DataFile(L"MyData_2_2.dat")); }, 5000),
              L"no plain password file and no Private working copy are left");

    auto record = [](const std::string& caption, const std::string& text) {
        std::string r = "\"";
        r += caption;
        r += "\",\"";
        r += text;
        r += "\",\"&HFFFFFF\"\r\n";
        return r;
    };
    std::string pub = record(Cp932(kShimei), kAokiCp932);
    pub += record(Cp932(L"会社名"), Cp932(L"若葉商会"));
    for (int i = 3; i <= 25; ++i) pub += record("", "");
    auto pubSeen = ReadFileBytes(h.DataFile(L"MyData_1.dat"));
    rep.Check(pubSeen == pub, L"MyData_1.dat holds 氏名/青木　純, 会社名/若葉商会 and 23 blank records (Shift_JIS)",
              pubSeen ? std::to_wstring(pubSeen->size()) + L" bytes: " + Hex(*pubSeen) : L"unreadable");
    std::string colours = "\"&HFFFFFF\"\r\n\"&HFFFFC0\"\r\n\"&HC0FFFF\"\r\n\"&HC0C0FF\"\r\n\"&HC0FFC0\"\r\n";
    for (int i = 6; i <= 16; ++i) colours += "\"&H8000000F\"\r\n";
    auto colourSeen = ReadFileBytes(h.DataFile(L"Color.dat"));
    rep.Check(colourSeen == colours, L"Color.dat holds the 16 initial colours",
              colourSeen ? std::to_wstring(colourSeen->size()) + L" bytes" : L"unreadable");
    const size_t tuneSizes[] = {164, 168, 132, 172, 144};
    std::wstring tunes;
    bool tunesOk = true;
    for (int n = 0; n < 5; ++n) {
        auto t = ReadFileBytes(h.DataFile(L"sakura_" + std::to_wstring(n) + L".mid"));
        tunesOk = tunesOk && t && t->size() == tuneSizes[n] && t->compare(0, 4, "MThd") == 0;
        tunes += L" " + (t ? std::to_wstring(t->size()) : std::wstring(L"-"));
    }
    rep.Check(tunesOk, L"sakura_0..4.mid are MIDI files of 164, 168, 132, 172, 144 bytes", L"sizes:" + tunes);

    for (const wchar_t* k : {L"Number1", L"Number2", L"Number3"})
        rep.Check(h.Setting(k) == std::wstring(L"25"), std::wstring(L"setting ") + k + L" = \"25\"",
                  SettingText(h.Setting(k)));
    rep.Check(h.Setting(L"Version") == std::wstring(L"202"), L"setting Version = \"202\"",
              SettingText(h.Setting(L"Version")));
    rep.Check(!FileExists(h.ShortcutPath()), L"no desktop shortcut after answering No");

    CloseProgram(rep, h);
    rep.Check(Stored(h, L"Type", L"1") && Stored(h, L"Mode", L"0") && Stored(h, L"PassMode", L"0"),
              L"closing stores Type = 1, Mode = 0, PassMode = 0",
              L"Type " + SettingText(h.Setting(L"Type")) + L", Mode " + SettingText(h.Setting(L"Mode")) +
                  L", PassMode " + SettingText(h.Setting(L"PassMode")));
}

// ---- 2 ------------------------------------------------------------------------------------

bool WaitKeyRow(Report& rep, const Hariko& h, int mode, const std::wstring& what) {
    const int dpi = DpiOf(h.main());
    const int height = TwipsToPx(PanelHeightTwips(25, mode != 0), dpi);
    bool ok = WaitFor([&] { return ShownKeyRow(h) == mode && OuterHeight(h.main()) == height; }, 4000);
    return rep.Check(ok, what + L" (panel " + std::to_wstring(height) + L" px high)", KeyRowText(h));
}

void PasteModes(Report& rep, const std::wstring& exe) {
    if (!PrepareInitialised(rep, exe)) return;
    Hariko h(exe);
    Notepad np;
    if (!StartNotepad(rep, np) || !StartReady(rep, h)) return;

    rep.Check(ShownKeyRow(h) == 0, L"標準ﾓｰﾄﾞ: no key buttons are shown", KeyRowText(h));
    CheckTick(rep, h, panel_ids::kPasteOnly, true, L"標準ﾓｰﾄﾞ is ticked");
    if (PasteAndSee(rep, h, np, L"標準ﾓｰﾄﾞ", kAoki)) {
        auto clip = ClipboardText();
        rep.Check(clip == kAoki, L"標準ﾓｰﾄﾞ: the pasted text stays on the clipboard",
                  clip ? Quote(*clip) : L"no text on the clipboard");
    }

    h.Menu(panel_ids::kThenTab);
    WaitKeyRow(rep, h, 1, L"menu 懸賞ﾓｰﾄﾞ shows 前へ and 次へ");
    CheckTick(rep, h, panel_ids::kThenTab, true, L"懸賞ﾓｰﾄﾞ is ticked");
    CheckTick(rep, h, panel_ids::kPasteOnly, false, L"標準ﾓｰﾄﾞ is no longer ticked");
    // Notepad's text area takes a Tab as a character.
    PasteAndSee(rep, h, np, L"懸賞ﾓｰﾄﾞ", kAoki + L"\t");

    h.Menu(panel_ids::kThenEnter);
    WaitKeyRow(rep, h, 2, L"menu 文書ﾓｰﾄﾞ shows 改行 only");
    CheckTick(rep, h, panel_ids::kThenEnter, true, L"文書ﾓｰﾄﾞ is ticked");
    PasteAndSee(rep, h, np, L"文書ﾓｰﾄﾞ", kAoki + L"\r\n");

    // The mode button keeps its own position (0 since start-up): the menu choices above did
    // not move it, so from 文書ﾓｰﾄﾞ it goes on to 懸賞ﾓｰﾄﾞ.
    const struct { int mode; const wchar_t* what; int tick; } cycle[] = {
        {1, L"mode button, 1st click: 懸賞ﾓｰﾄﾞ (前へ, 次へ)", panel_ids::kThenTab},
        {2, L"mode button, 2nd click: 文書ﾓｰﾄﾞ (改行)", panel_ids::kThenEnter},
        {0, L"mode button, 3rd click: 標準ﾓｰﾄﾞ (no key buttons)", panel_ids::kPasteOnly},
        {1, L"mode button, 4th click: 懸賞ﾓｰﾄﾞ again", panel_ids::kThenTab},
    };
    for (const auto& step : cycle) {
        std::wstring why;
        if (!rep.Check(ClickCentre(h.Control(panel_ids::kBtnMode), &why), L"a click on the mode button", why)) break;
        WaitKeyRow(rep, h, step.mode, step.what);
        CheckTick(rep, h, step.tick, true, std::wstring(step.what) + L": its menu item is ticked");
    }
    CloseProgram(rep, h);
    rep.Check(Stored(h, L"Mode", L"1"), L"closing in 懸賞ﾓｰﾄﾞ stores Mode = \"1\"",
              L"Mode " + SettingText(h.Setting(L"Mode")));
}

// ---- 3 ------------------------------------------------------------------------------------

void NoticeBeforeTarget(Report& rep, const std::wstring& exe) {
    if (!PrepareInitialised(rep, exe)) return;
    const std::wstring sentinel = L"e2e 番兵 " + std::to_wstring(GetTickCount());
    if (!rep.Check(PutClipboardText(sentinel), L"a sentinel text is put on the clipboard")) return;
    Hariko h(exe);
    if (!StartReady(rep, h)) return;
    rep.Check(h.TargetField() == L"0", L"no target is known yet (target field = \"0\")", L"target field = " + Quote(h.TargetField()));

    std::wstring why;
    HWND b = h.EntryButton(kShimei);
    if (rep.Check(b && ClickCentre(b, &why), L"a click on \"氏名\" right after start", why)) {
        auto box = WaitForMessageBox(kNoticeTitle, h.pid(), 5000);
        if (rep.Check(box.has_value(), L"the notice box \"あわてないで！ by ハリコ\" appears",
                      box ? L"" : OpenBoxes(h))) {
            rep.Check(box->text == kNoticeText, L"its text asks to click the input field first", Quote(box->text));
            rep.Check(box->buttons.size() == 1 && box->Has(IDOK), L"it has only OK");
            rep.Check(AnswerMessageBox(*box, IDOK), L"OK closes it");
        }
    }
    auto clip = ClipboardText();
    rep.Check(clip == sentinel, L"the clipboard still holds the sentinel", clip ? Quote(*clip) : L"no text");
    CloseProgram(rep, h);
}

// ---- 4 ------------------------------------------------------------------------------------

void PrivateSwitch(Report& rep, const std::wstring& exe) {
    if (!PrepareInitialised(rep, exe)) return;
    Hariko h(exe);
    const std::wstring enc = h.DataFile(L"MyData_2.dat"), work = h.DataFile(L"MyData_2_2.dat");
    const auto encBefore = ReadFileBytes(enc);
    if (!rep.Check(encBefore.has_value() && !FileExists(work), L"Private at rest: MyData_2.dat only")) return;
    if (!StartReady(rep, h)) return;

    auto privateLoaded = [&] { return FileExists(work) && !FileExists(enc); };
    auto publicLoaded = [&] { return FileExists(enc) && !FileExists(work); };
    auto files = [&] {
        return std::wstring(L"MyData_2.dat ") + (FileExists(enc) ? L"exists" : L"absent") +
               L", MyData_2_2.dat " + (FileExists(work) ? L"exists" : L"absent") + OpenBoxes(h);
    };
    std::string blank;
    for (int i = 0; i < 25; ++i) blank += "\"\",\"\",\"&HFFFFFF\"\r\n";

    // After a first start the password is switched on with none set: Private asks for one
    // to be registered before it opens, and nothing is decrypted meanwhile.
    h.Menu(panel_ids::kPrivate);
    HWND dialog = nullptr;
    bool asked = WaitFor([&] { return (dialog = h.WindowCaptioned(L"パスワードの登録")) != nullptr; }, 5000);
    rep.Check(asked, L"password on, none set: choosing Private opens \"パスワードの登録\"", h.WindowList());
    rep.Check(FileExists(enc) && !FileExists(work), L"nothing is decrypted while it asks", files());
    if (asked) {
        PostMessageW(dialog, WM_CLOSE, 0, 0);
        rep.Check(WaitFor([&] { return !IsWindow(dialog) && IsWindowEnabled(h.main()); }, 5000),
                  L"closing it unlocks the panel again", h.WindowList());
    }
    // Switching the password off while none is set asks nothing: the dialog closes itself.
    bool settled = h.MenuDone(panel_ids::kPasswordOff) &&
                   WaitFor([&] { return h.OtherWindows().empty() && IsWindowEnabled(h.main()); }, 5000);
    if (!rep.Check(settled, L"menu Privateのﾊﾟｽﾜｰﾄﾞ無効 with no password set leaves no dialog open",
                   h.WindowList())) {
        CloseProgram(rep, h);
        return;
    }
    CheckTick(rep, h, panel_ids::kPasswordOff, true, L"Privateのﾊﾟｽﾜｰﾄﾞ無効 is ticked");

    h.Menu(panel_ids::kPrivate);
    bool ok = WaitFor(privateLoaded, 10000);
    if (rep.Check(ok, L"Private chosen: only the working copy MyData_2_2.dat exists", files())) {
        CheckTick(rep, h, panel_ids::kPrivate, true, L"Private is ticked");
        auto plain = ReadFileBytes(work);
        rep.Check(plain == blank, L"the working copy is the plain file of 25 blank records",
                  plain ? std::to_wstring(plain->size()) + L" bytes: " + Hex(*plain) : L"unreadable");
        bool cleared = WaitFor([&] { return !h.EntryButton(kShimei); }, 3000);
        rep.Check(cleared, L"the panel shows Private's blank buttons, not \"氏名\"", Captions(h));
    }
    h.Menu(panel_ids::kPublic);
    ok = WaitFor(publicLoaded, 10000);
    if (rep.Check(ok, L"back to Public: only MyData_2.dat exists", files())) {
        CheckTick(rep, h, panel_ids::kPublic, true, L"Public is ticked");
        rep.Check(ReadFileBytes(enc) == encBefore, L"MyData_2.dat is byte for byte what it was before");
        rep.Check(WaitFor([&] { return h.EntryButton(kShimei) != nullptr; }, 3000),
                  L"the panel shows \"氏名\" again");
    }
    h.Menu(panel_ids::kPrivate);
    ok = WaitFor(privateLoaded, 10000);
    rep.Check(ok, L"Private chosen again before closing", files());
    CloseProgram(rep, h);
    rep.Check(publicLoaded(), L"closing with Private loaded leaves MyData_2.dat and no working copy", files());
    rep.Check(ReadFileBytes(enc) == encBefore, L"MyData_2.dat is byte for byte what it was before");
    rep.Check(Stored(h, L"Type", L"1"), L"closing with Private loaded stores Type = \"1\"",
              L"Type " + SettingText(h.Setting(L"Type")));
    rep.Check(Stored(h, L"PassMode", L"1"), L"and PassMode = \"1\" (password switched off)",
              L"PassMode " + SettingText(h.Setting(L"PassMode")));
}

// ---- 5 ------------------------------------------------------------------------------------

void LockedClipboard(Report& rep, const std::wstring& exe) {
    if (!PrepareInitialised(rep, exe)) return;
    Hariko h(exe);
    Notepad np;
    if (!StartNotepad(rep, np) || !StartReady(rep, h)) return;

    const std::wstring before = L"そのまま";
    std::wstring why;
    np.SetText(before);
    if (!rep.Check(np.ClickInto(&why), L"a click into notepad brings it to the front", why)) return;
    const std::wstring want = HandleDecimal(np.window());
    if (!rep.Check(WaitFor([&] { return h.TargetField() == want; }, 3000),
                   L"the panel takes notepad as its target", L"target field = " + Quote(h.TargetField())))
        return;

    {
        ClipboardHolder holder;
        if (!rep.Check(holder.Hold(30000), L"the driver holds the clipboard open")) return;
        HWND b = h.EntryButton(kShimei);
        if (rep.Check(b && ClickCentre(b, &why), L"a click on \"氏名\" while the clipboard is held", why)) {
            auto box = WaitForMessageBox(paste::kProgramTitle, h.pid(), 10000);
            if (rep.Check(box.has_value(), L"a message box titled \"ハリコ\" appears",
                          box ? L"" : OpenBoxes(h))) {
                rep.Check(box->text == paste::kClipboardBusyText, L"its text says the clipboard is in use",
                          Quote(box->text));
                holder.Release();
                rep.Check(AnswerMessageBox(*box, IDOK), L"OK closes it");
            }
        }
    }
    rep.Check(HoldsFor([&] { return np.Text() == before; }, 800), L"notepad is unchanged",
              L"notepad holds " + Quote(np.Text()));
    // With the clipboard free again the same button pastes as usual.
    PasteAndSee(rep, h, np, L"clipboard free again", kAoki);
    CloseProgram(rep, h);
}

// ---- 6 ------------------------------------------------------------------------------------

std::vector<HWND> PanelsCaptioned(const std::wstring& caption) {
    std::vector<HWND> out;
    for (HWND w : TopWindows(L"HarikoForm", 0, false))
        if (TextOf(w) == caption) out.push_back(w);
    return out;
}

void TwoNames(Report& rep, Hariko& first, const std::wstring& exe) {
    const std::wstring dir = TempDirectory() + L"\\hariko-e2e";
    CreateDirectoryW(dir.c_str(), nullptr);
    const std::wstring copyPath = dir + L"\\ハリコ二号.exe";
    DeleteFileW(copyPath.c_str());
    if (!rep.Check(CopyFileW(exe.c_str(), copyPath.c_str(), FALSE) != FALSE,
                   L"a copy of the exe as ハリコ二号.exe in a temporary folder"))
        return;
    Hariko copy(copyPath);
    copy.WipeState();
    auto s = copy.Start(IDNO);
    rep.Check(s.welcome && s.welcome->text.find(L"はじめまして「ハリコ二号」です。") == 0,
              L"the copy greets the user under its own name",
              s.welcome ? Quote(s.welcome->text) : L"no welcome box");
    if (rep.Check(s.ready, L"the copy starts while the original runs", s.why)) {
        rep.Check(TextOf(copy.main()) == L"ハリコ二号", L"its caption is \"ハリコ二号\"", Quote(TextOf(copy.main())));
        rep.Check(first.process().Running() && IsWindowVisible(first.main()),
                  L"the original's panel is still there");
        rep.Check(FileExists(copy.DataFile(L"MyData_1.dat")),
                  L"the copy has a data directory of its own: " + copy.DataDir());
        rep.Check(copy.Setting(L"Number1") == std::wstring(L"25"), L"and settings of its own (Number1 = \"25\")");
        CloseProgram(rep, copy);
    }
    copy.WipeState();
    DeleteFileW(copyPath.c_str());
    RemoveDirectoryW(dir.c_str());
}

void SecondStart(Report& rep, const std::wstring& exe) {
    if (!PrepareInitialised(rep, exe)) return;
    Hariko h(exe);
    Notepad np;
    if (!StartNotepad(rep, np) || !StartReady(rep, h)) return;
    std::wstring why;
    if (!rep.Check(np.ClickInto(&why), L"notepad is brought in front of the panel", why)) return;

    Process second;
    if (!rep.Check(second.Start(exe), L"a second start of the same exe")) return;
    bool showedWindow = false;
    bool ended = WaitFor([&] {
        for (HWND w : TopWindows(L"HarikoForm", second.pid())) {
            (void)w;
            showedWindow = true;
        }
        return !second.Running();
    }, 15000);
    rep.Check(ended, L"the second instance ends by itself",
              ended ? L"exit code " + std::to_wstring(second.ExitCode()) : L"still running after 15 s");
    rep.Check(!showedWindow, L"the second instance never showed a panel");
    HWND front = nullptr;
    bool inFront = WaitFor([&] { return (front = GetForegroundWindow()) == h.main(); }, 3000);
    rep.Check(inFront, L"the first panel is brought to the front",
              L"in front: " + ClassOf(front) + L" " + Quote(TextOf(front)));
    size_t panels = PanelsCaptioned(h.name()).size();
    rep.Check(panels == 1, L"exactly one \"HarikoForm\" window captioned \"" + h.name() + L"\"",
              std::to_wstring(panels) + L" found");
    rep.Check(h.process().Running(), L"the first instance keeps running");
    if (!ended) {
        // A second panel that stayed: close it as a person would, so it stores nothing odd.
        for (HWND w : TopWindows(L"HarikoForm", second.pid())) PostMessageW(w, WM_CLOSE, 0, 0);
        second.WaitExit(20000);
    }

    TwoNames(rep, h, exe);
    CloseProgram(rep, h);
}

// ---- 7 ------------------------------------------------------------------------------------

void Resizing(Report& rep, const std::wstring& exe) {
    if (!PrepareInitialised(rep, exe)) return;
    Hariko h(exe);
    if (!StartReady(rep, h)) return;
    HWND w = h.main();
    const int dpi = DpiOf(w);
    const int width = TwipsToPx(kPanelWidthTwips, dpi);
    auto px = [&](int rows) { return TwipsToPx(PanelHeightTwips(rows, false), dpi); };
    auto scrollShown = [&] { return Visible(h, panel_ids::kScrollBar); };
    auto resize = [&](int widthPx, int heightPx) {
        SetWindowPos(w, nullptr, 0, 0, widthPx, heightPx, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    };
    auto sizeIs = [&](int rows) { return OuterHeight(w) == px(rows) && OuterWidth(w) == width; };

    rep.Check(sizeIs(25) && !scrollShown(), L"25 rows of 25 entries: no scroll bar", RectText(RectOf(w)));

    resize(width, px(25) + 150);
    rep.Check(WaitFor([&] { return sizeIs(25); }, 4000), L"taller than all entries: snaps back to 25 rows",
              RectText(RectOf(w)));

    // 10.36 rows, and a wider window: whole rows, the width set back.
    resize(width + 150, TwipsToPx(PanelHeightTwips(10, false) + 100, dpi));
    rep.Check(WaitFor([&] { return sizeIs(10); }, 4000),
              L"between rows (10.36): 10 whole rows, width back to 1825 twips", RectText(RectOf(w)));
    rep.Check(WaitFor(scrollShown, 2000), L"10 rows of 25 entries: the scroll bar is shown");
    rep.Check(WaitFor([&] { return h.Setting(L"Number1") == std::wstring(L"10"); }, 2000),
              L"the row count is stored: Number1 = \"10\"", SettingText(h.Setting(L"Number1")));

    // 12.7 rows: the nearer whole row count is 13.
    resize(width, TwipsToPx(PanelHeightTwips(12, false) + 196, dpi));
    rep.Check(WaitFor([&] { return sizeIs(13); }, 4000), L"between rows (12.7): 13 whole rows",
              RectText(RectOf(w)));
    rep.Check(scrollShown(), L"13 rows of 25 entries: the scroll bar is still shown");
    CloseProgram(rep, h);
}

// ---- 8 ------------------------------------------------------------------------------------

void AltZ(Report& rep, const std::wstring& exe) {
    if (!PrepareInitialised(rep, exe)) return;
    Hariko h(exe);
    if (!StartReady(rep, h)) return;
    HWND w = h.main();
    if (GetForegroundWindow() != w) {
        RECT r = RectOf(w);
        ClickAt(r.left + 20, r.top + 8);  // its caption bar
    }
    if (!rep.Check(WaitFor([&] { return GetForegroundWindow() == w; }, 3000), L"the panel is in front")) return;
    const int dpi = DpiOf(w);
    const int x = TwipsToPx(7665, dpi), y = TwipsToPx(200, dpi);
    PressWithModifier(VK_MENU, 'Z');
    bool moved = WaitFor([&] {
        RECT r = RectOf(w);
        return r.left == x && r.top == y;
    }, 4000);
    rep.Check(moved, L"Alt+Z moves the panel to 7665, 200 twips = " + std::to_wstring(x) + L", " +
                         std::to_wstring(y) + L" px",
              RectText(RectOf(w)));
    CloseProgram(rep, h);
}

// ---- 9 ------------------------------------------------------------------------------------

void MinimiseAndRestore(Report& rep, const std::wstring& exe) {
    if (!PrepareInitialised(rep, exe)) return;
    Hariko h(exe);
    if (!StartReady(rep, h)) return;
    HWND w = h.main();
    if (GetForegroundWindow() != w) {
        RECT r = RectOf(w);
        ClickAt(r.left + 20, r.top + 8);
    }
    if (!rep.Check(WaitFor([&] { return GetForegroundWindow() == w; }, 3000), L"the panel is in front")) return;
    PressWithModifier(VK_MENU, 'N');
    if (!rep.Check(WaitFor([&] { return IsIconic(w) != FALSE; }, 3000), L"Alt+N minimises the panel")) {
        CloseProgram(rep, h);
        return;
    }
    Process second;
    if (rep.Check(second.Start(exe), L"a second start while the first is minimised")) {
        bool ended = second.WaitExit(15000);
        rep.Check(ended, L"the second instance ends by itself");
        if (!ended) {
            for (HWND o : TopWindows(L"HarikoForm", second.pid())) PostMessageW(o, WM_CLOSE, 0, 0);
            second.WaitExit(20000);
        }
        rep.Check(WaitFor([&] { return !IsIconic(w) && IsWindowVisible(w); }, 3000),
                  L"the first panel is restored", RectText(RectOf(w)));
        rep.Check(WaitFor([&] { return GetForegroundWindow() == w; }, 3000), L"and brought to the front");
    }
    CloseProgram(rep, h);
}

// ---- 10 -----------------------------------------------------------------------------------

void HoverAndPaste(Report& rep, const std::wstring& exe) {
    if (!PrepareInitialised(rep, exe)) return;
    Hariko h(exe);
    Notepad np;
    if (!StartNotepad(rep, np) || !StartReady(rep, h)) return;
    std::wstring why;
    if (!rep.Check(np.ClickInto(&why), L"a click into notepad brings it to the front", why)) return;
    const std::wstring want = HandleDecimal(np.window());
    if (!rep.Check(WaitFor([&] { return h.TargetField() == want; }, 3000),
                   L"the panel takes notepad as its target", L"target field = " + Quote(h.TargetField())))
        return;
    // The column right of the buttons (more than 100 px from the left edge at 96 dpi).
    RECT r = RectOf(h.main());
    SetCursorPos(r.right - 6, (r.top + r.bottom) / 2);
    rep.Check(WaitFor([&] { return GetForegroundWindow() == h.main(); }, 2000),
              L"the cursor resting on the scroll-bar column brings the panel to the front");
    // The panel samples the window in front every 100 ms: once it has seen itself there,
    // the target must still be notepad.
    WaitFor([&] { return h.FrontField() == HandleDecimal(h.main()); }, 2000);
    rep.Check(HoldsFor([&] { return h.TargetField() == want; }, 300), L"notepad stays the target",
              L"target field = " + Quote(h.TargetField()));
    HWND b = h.EntryButton(kShimei);
    if (rep.Check(b && ClickCentre(b, &why), L"a click on \"氏名\" with the panel in front", why)) {
        std::wstring got;
        WaitFor([&] { return (got = np.Text()) == kAoki; }, 5000);
        rep.Check(got == kAoki, L"the text still goes to notepad", L"notepad holds " + Quote(got) + OpenBoxes(h));
    }
    CloseProgram(rep, h);
}

const std::vector<Scenario>& PanelScenarios() {
    static const std::vector<Scenario> all = {
        {1, L"1. first start on a clean state", FirstStart},
        {2, L"2. pasting into notepad in the three modes; the mode button", PasteModes},
        {3, L"3. a click before any target is known", NoticeBeforeTarget},
        {4, L"4. Private (password asked, then switched off) and back; closing with Private loaded", PrivateSwitch},
        {5, L"5. a clipboard held by another program", LockedClipboard},
        {6, L"6. a second start of the same exe; a copy under another name", SecondStart},
        {7, L"7. resizing snaps to whole rows and keeps the width", Resizing},
        {8, L"8. Alt+Z moves the panel", AltZ},
        {9, L"9. Alt+N minimises the panel; a second start restores it", MinimiseAndRestore},
        {10, L"10. hovering over the scroll-bar column, then pasting", HoverAndPaste},
    };
    return all;
}

}  // namespace

const std::vector<Group>& Groups() {
    static const std::vector<Group> all = {
        {L"panel", PanelScenarios()},  {L"life", LifeScenarios()},     {L"harden", HardenScenarios()},
        {L"backup", backupScenarios()}, {L"about", aboutScenarios()}, {L"editor", editorScenarios()},
        {L"unicode", unicodeScenarios()}, {L"clipboard", ClipboardScenarios()},
        {L"services", serviceScenarios()},
        {L"keys", KeysScenarios()},      {L"csv", csvScenarios()},
    };
    return all;
}

const std::vector<Scenario>& Scenarios() {
    static const std::vector<Scenario> all = [] {
        std::vector<Scenario> v;
        for (const Group& g : Groups()) v.insert(v.end(), g.scenarios.begin(), g.scenarios.end());
        return v;
    }();
    return all;
}

void CleanUp(const std::wstring& exe) { Hariko(exe).WipeState(); }

int Demo(const std::wstring& exe) {
    Report rep;
    rep.Scenario(L"demo: ハリコ pastes 氏名 into notepad");
    Hariko h(exe);
    auto s = h.Start(IDNO);
    if (s.welcome) rep.Line(L"welcome box answered with No: " + Quote(s.welcome->text));
    if (!s.ready) {
        rep.Line(L"the panel did not come up: " + s.why);
        return 1;
    }
    RECT pr = RectOf(h.main());
    rep.Line(L"panel " + Quote(TextOf(h.main())) + L" at " + RectText(pr));
    // Notepad beside the panel, never on it.
    int npLeft = 0, npWidth = 500;
    if (pr.left < 320) {
        npLeft = pr.right + 20;
    } else if (pr.left - 20 < npWidth) {
        npWidth = pr.left - 20;
    }
    Notepad np;
    std::wstring why;
    if (!np.Start(npLeft, 0, npWidth, 400, &why)) {
        rep.Line(why);
        h.LeaveRunning();
        return 1;
    }
    rep.Line(L"notepad at " + RectText(RectOf(np.window())));
    int rc = 1;
    std::wstring suffix = Visible(h, panel_ids::kBtnPrev) ? L"\t" : Visible(h, panel_ids::kBtnNewLine) ? L"\r\n" : L"";
    if (np.ClickInto(&why)) {
        const std::wstring want = HandleDecimal(np.window());
        WaitFor([&] { return h.TargetField() == want; }, 3000);
        rep.Line(L"target field: " + Quote(h.TargetField()) + L" (notepad is " + want + L")");
        HWND b = h.EntryButton(kShimei);
        if (b && ClickCentre(b, &why)) {
            std::wstring got;
            WaitFor([&] { return (got = np.Text()) == kAoki + suffix; }, 5000);
            rep.Line(L"notepad now holds " + Quote(got));
            rc = got == kAoki + suffix ? 0 : 1;
        } else {
            rep.Line(L"could not click \"氏名\": " + (b ? why : std::wstring(L"no such button")));
        }
    } else {
        rep.Line(L"could not click into notepad: " + why);
    }
    rep.Line(rc == 0 ? L"demo: the text arrived" : L"demo: the text did not arrive");
    np.Leave();
    h.LeaveRunning();
    return rc;
}

}  // namespace e2e
