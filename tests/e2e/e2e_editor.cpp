// The data editor worked as a person would: real clicks and keys (characters an input method
// would commit arrive as WM_IME_CHAR), judged by the bytes of the data files and by what the
// panel then pastes into notepad.
#include "e2e_editor.h"

#include <string>

#include "e2e_desktop.h"
#include "e2e_hariko.h"
#include "e2e_steps.h"
#include "editor/editor_ids.h"
#include "panel/panel_ids.h"

namespace e2e {

namespace {
const std::wstring kEditorTitle = L"データの編集と追加";
const std::wstring kDefaultPassword = L"47290315";

}  // namespace

bool Click(Report& rep, HWND w, const std::wstring& what) {
    std::wstring why;
    bool ok = ClickCentre(w, &why);
    rep.Check(ok, L"a click on " + what, why);
    return ok;
}

HWND OpenEditor(Report& rep, Hariko& h) {
    HWND editor = nullptr;
    if (!Click(rep, h.Control(panel_ids::kBtnEdit), L"設  定 / 編  集")) return nullptr;
    bool up = WaitFor([&] {
        editor = h.WindowCaptioned(kEditorTitle);
        return editor && DescendantById(editor, entry_editor::kBtnSave) && IsWindowEnabled(editor);
    }, 8000);
    if (!rep.Check(up, L"the entry editor \"データの編集と追加\" opens", h.WindowList())) return nullptr;
    rep.Check(!IsWindowEnabled(h.main()), L"the panel is disabled while it is open");
    return editor;
}

// A row's control, found by the row its colour cell names (row controls are reused).
HWND RowBox(HWND editor, int row, int kind) {
    for (int k = 0; k < 200; ++k) {
        HWND cell = DescendantById(editor, entry_editor::RowControlId(k, entry_editor::kColourCell));
        if (!cell) break;
        if (IsWindowVisible(cell) && TextOf(cell) == entry_editor::RowName(row, entry_editor::kColourCell))
            return DescendantById(editor, entry_editor::RowControlId(k, kind));
    }
    return nullptr;
}

bool ClickRowNumber(Report& rep, HWND editor, int row) {
    // The number is drawn left of the colour cell, in a cell as wide.
    RECT r{};
    const bool found = GetWindowRect(RowBox(editor, row, entry_editor::kColourCell), &r);
    const bool ok = found && ClickAt(r.left - (r.right - r.left) / 2, (r.top + r.bottom) / 2);
    return rep.Check(ok, L"a click on row number " + std::to_wstring(row), found ? L"" : L"no such row shown");
}

bool CloseEditorBox(Report& rep, Hariko& h, HWND editor) {
    PostMessageW(editor, WM_SYSCOMMAND, SC_CLOSE, 0);  // what the close box does
    bool gone = WaitFor([&] { return !IsWindow(editor) && IsWindowEnabled(h.main()); }, 8000);
    return rep.Check(gone, L"the close box closes the editor and the panel is enabled again", h.WindowList());
}

namespace {

std::string Record(const std::wstring& caption, const std::wstring& text, const char* colour = "16777215") {
    return "\"" + Cp932(caption) + "\",\"" + Cp932(text) + "\"," + colour + "\r\n";
}

std::string Bytes(const Hariko& h, const wchar_t* file) { return testsupport::BytesOf(h.DataFile(file)); }

// What an input method commits: one WM_IME_CHAR per character into the box with the focus.
// Returns once the box has taken them all, i.e. shows `expected`.
bool Commit(HWND box, const std::wstring& text, const std::wstring& expected) {
    for (wchar_t c : text) PostMessageW(box, WM_IME_CHAR, c, 1);
    return WaitFor([&] { return TextOf(box) == expected; }, 3000);
}

// The balloon's text (a tooltip window gives its current text to WM_GETTEXT).
std::wstring HintShown(const Hariko& h, const std::wstring& expected) {
    std::wstring seen;
    for (HWND w : TopWindows(L"tooltips_class32", h.pid())) {
        if (TextOf(w) == expected) return expected;
        seen += Quote(TextOf(w)) + L" ";
    }
    return seen;
}

// ---- 30 -----------------------------------------------------------------------------------

void NewEntryPasted(Report& rep, const std::wstring& exe) {
    if (!PrepareInitialised(rep, exe)) return;
    Hariko h(exe);
    Notepad np;
    std::wstring why;
    if (!rep.Check(np.Start(0, 0, 330, 300, &why), L"notepad starts at the left", why) || !StartReady(rep, h)) return;
    HWND editor = OpenEditor(rep, h);
    if (!editor) return CloseProgram(rep, h);
    rep.Check((GetWindowLongPtrW(editor, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0, L"the editor is topmost");
    HWND caption = RowBox(editor, 3, entry_editor::kCaptionBox), text = RowBox(editor, 3, entry_editor::kTextBox);
    if (!rep.Check(caption && text, L"row 3 has a caption box and a text box")) return CloseProgram(rep, h);

    // 日本語ｵﾝ/ｵﾌ gives the focus back to the caption box last clicked: a double quote typed
    // next is refused there with a hint.
    Click(rep, caption, L"the caption box of row 3");
    Click(rep, DescendantById(editor, entry_editor::kBtnToggleIme), L"日本語ｵﾝ/ｵﾌ");
    TypeKeys(L"\"");
    const std::wstring hint = L"「\"」は保存できない文字のため、入力できません。";
    std::wstring seen;
    rep.Check(WaitFor([&] { return (seen = HintShown(h, hint)) == hint; }, 3000), L"a hint says the file cannot hold it",
              seen);
    rep.Check(TextOf(caption).empty(), L"a double quote typed into the caption is refused", Quote(TextOf(caption)));
    // The eighth would pass 14 bytes: the box keeps 7, and holds on to them.
    rep.Check(Commit(caption, L"あいうえおかきく", L"あいうえおかき") &&
                  HoldsFor([&] { return TextOf(caption) == L"あいうえおかき"; }, 300),
              L"of 8 full-width characters the caption keeps 7 (14 bytes)", Quote(TextOf(caption)));

    Click(rep, text, L"the text box of row 3");
    TypeKeys(L"line1");
    PressKey(VK_RETURN);
    TypeKeys(L"line2");
    PressKey(VK_RETURN);
    PressKey(VK_RETURN);
    Click(rep, RowBox(editor, 4, entry_editor::kCaptionBox), L"the caption box of row 4");
    rep.Check(WaitFor([&] { return TextOf(text) == L"line1\r\nline2"; }, 3000),
              L"leaving the text box drops the two Enters typed at its end",
              Quote(TextOf(text)));
    if (!CloseEditorBox(rep, h, editor)) return CloseProgram(rep, h);

    // The rows not edited keep their bytes as start-up wrote them.
    const char* hex = "\"&HFFFFFF\"";
    std::string want = Record(L"氏名", L"青木　純", hex) + Record(L"会社名", L"若葉商会", hex) +
                       Record(L"あいうえおかき", L"line1\r\nline2");
    for (int i = 4; i <= 25; ++i) want += Record(L"", L"", hex);
    std::string got;
    rep.Check(WaitFor([&] { return (got = Bytes(h, L"MyData_1.dat")) == want; }, 3000), L"MyData_1.dat holds the new entry, its colour in decimal (exact bytes)",
              std::to_wstring(got.size()) + L" bytes: " + Hex(got.substr(0, 120), 120));

    HWND button = nullptr;
    rep.Check(WaitFor([&] { return (button = h.EntryButton(L"あいうえおかき")) != nullptr; }, 5000),
              L"the panel, active again, shows the new button", Captions(h));
    np.SetText(L"");
    if (button && np.ClickInto(&why) && WaitFor([&] { return h.TargetField() == HandleDecimal(np.window()); }, 3000) &&
        Click(rep, h.EntryButton(L"あいうえおかき"), L"the new button")) {
        WaitFor([&] { return np.Text() == L"line1\r\nline2"; }, 5000);
        rep.Check(np.Text() == L"line1\r\nline2", L"it pastes both lines into notepad", Quote(np.Text()));
    }
    CloseProgram(rep, h);
}

// ---- 31 -----------------------------------------------------------------------------------

void TextColourAndOrder(Report& rep, const std::wstring& exe) {
    if (!PrepareInitialised(rep, exe)) return;
    Hariko h(exe);
    h.SetSetting(L"Height2", L"20000");
    if (!StartReady(rep, h)) return;
    HWND editor = OpenEditor(rep, h);
    if (!editor) return CloseProgram(rep, h);
    const int high = TwipsToPx(8600, DpiOf(editor));
    rep.Check(OuterHeight(editor) == high, L"stored 20000 high, 25 entries: it opens 8600 twips high (" +
              std::to_wstring(high) + L" px)", RectText(RectOf(editor)));

    // The text editor for row 2, "a", Enter, "b", Enter, Enter, 更　新.
    HWND text2 = RowBox(editor, 2, entry_editor::kTextBox);
    RECT r = RectOf(text2);
    ClickAt((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    mouse_event(MOUSEEVENTF_LEFTDOWN, 0, 0, 0, 0);  // the second click of a double click, at once
    mouse_event(MOUSEEVENTF_LEFTUP, 0, 0, 0, 0);
    HWND text_editor = nullptr;
    const std::wstring title = L"貼付データ用テキストエディタ　　　　　ボタン「会社名」の貼付データの編集";
    bool opened = WaitFor([&] { return (text_editor = h.WindowCaptioned(title)) != nullptr; }, 5000);
    if (rep.Check(opened, L"a double click opens the text editor titled with the button's caption", h.WindowList())) {
        HWND box = nullptr;
        rep.Check(WaitFor([&] {
            box = DescendantById(text_editor, text_editor::kEditText);
            return TextOf(box) == L"若葉商会" && !IsWindowEnabled(editor) && GetForegroundWindow() == text_editor;
        }, 3000), L"it shows the row's text over a disabled editor",
                  Quote(TextOf(box)));
        PressWithModifier(VK_CONTROL, VK_HOME);
        keybd_event(VK_SHIFT, 0, 0, 0);
        PressWithModifier(VK_CONTROL, VK_END);
        keybd_event(VK_SHIFT, 0, KEYEVENTF_KEYUP, 0);
        PressKey(VK_DELETE);
        TypeKeys(L"a");
        PressKey(VK_RETURN);
        TypeKeys(L"b");
        PressKey(VK_RETURN);
        PressKey(VK_RETURN);
        Click(rep, DescendantById(text_editor, text_editor::kBtnSave), L"更　新 of the text editor");
        rep.Check(WaitFor([&] { return !IsWindow(text_editor) && IsWindowEnabled(editor); }, 5000),
                  L"it closes and the editor is enabled again");
        rep.Check(WaitFor([&] { return TextOf(RowBox(editor, 2, entry_editor::kTextBox)) == L"a\r\nb"; }, 3000),
                  L"row 2 holds \"a\\r\\nb\": the Enters typed at the end are gone",
                  Quote(TextOf(RowBox(editor, 2, entry_editor::kTextBox))));
        rep.Check(h.Setting(L"Height6").has_value() && h.Setting(L"Width6").has_value(),
                  L"the text editor stored its size (Height6, Width6)");
    }

    // The colour chooser for row 1: a left click on the light-yellow swatch.
    Click(rep, RowBox(editor, 1, entry_editor::kColourCell), L"the colour cell of row 1");
    HWND colour_chooser = nullptr;
    if (rep.Check(WaitFor([&] { return (colour_chooser = h.WindowCaptioned(L"ボタン色の選択")) != nullptr; }, 5000),
                  L"the colour chooser \"ボタン色の選択\" opens", h.WindowList())) {
        rep.Check(WaitFor([&] { return !IsWindowEnabled(editor) && DescendantById(colour_chooser, colour_chooser::kSwatch + 2); }, 3000),
                  L"the editor is disabled under it");
        Click(rep, DescendantById(colour_chooser, colour_chooser::kSwatch + 2), L"swatch 3 (light yellow)");
        rep.Check(WaitFor([&] { return !IsWindow(colour_chooser) && IsWindowEnabled(editor); }, 5000),
                  L"a left click picks the colour and closes the chooser");
        std::string colours = "16777215\r\n16777152\r\n12648447\r\n12632319\r\n12648384\r\n";
        for (int i = 6; i <= 16; ++i) colours += "-2147483633\r\n";
        rep.Check(WaitFor([&] { return Bytes(h, L"Color.dat") == colours; }, 3000), L"Color.dat is written again in decimal",
                  Hex(Bytes(h, L"Color.dat"), 60));
    }

    // Its close box picks nothing: row 2 keeps its colour.
    Click(rep, RowBox(editor, 2, entry_editor::kColourCell), L"the colour cell of row 2");
    if (WaitFor([&] { return (colour_chooser = h.WindowCaptioned(L"ボタン色の選択")) != nullptr; }, 5000)) {
        PostMessageW(colour_chooser, WM_SYSCOMMAND, SC_CLOSE, 0);
        rep.Check(WaitFor([&] { return !IsWindow(colour_chooser) && IsWindowEnabled(editor); }, 5000),
                  L"the chooser's close box closes it");
    }

    // Row 1 selected by its number and moved down.
    ClickRowNumber(rep, editor, 1);
    HWND down = DescendantById(editor, entry_editor::kBtnMoveDown);
    rep.Check(WaitFor([&] { return IsWindowEnabled(down) && !IsWindowEnabled(DescendantById(editor, entry_editor::kBtnMoveUp)); }, 3000),
              L"row 1 selected: down and 削　除 enabled, up disabled");
    Click(rep, down, L"the down arrow");
    Click(rep, DescendantById(editor, entry_editor::kBtnSave), L"更　新");
    rep.Check(WaitFor([&] { return !IsWindow(editor); }, 5000), L"更　新 closes the editor");
    const std::string want = Record(L"会社名", L"a\r\nb") + Record(L"氏名", L"青木　純", "12648447");
    std::string got;
    rep.Check(WaitFor([&] { return (got = Bytes(h, L"MyData_1.dat")).compare(0, want.size(), want) == 0; }, 3000),
              L"MyData_1.dat: 会社名 with its new text and colour, then 氏名 in light yellow (12648447)", Hex(got, 80));
    CloseProgram(rep, h);
}

// ---- 32 -----------------------------------------------------------------------------------

void PrivateWorkingCopy(Report& rep, const std::wstring& exe) {
    if (!PrepareInitialised(rep, exe)) return;
    Hariko h(exe);
    if (!StartReady(rep, h)) return;
    h.MenuDone(panel_ids::kPasswordOff);  // no password set: nothing is asked
    h.Menu(panel_ids::kPrivate);
    const std::wstring enc = h.DataFile(L"MyData_2.dat"), work = h.DataFile(L"MyData_2_2.dat");
    if (!rep.Check(WaitFor([&] { return FileExists(work) && !FileExists(enc); }, 10000),
                   L"Private loaded: only its working copy exists"))
        return CloseProgram(rep, h);
    HWND editor = OpenEditor(rep, h);
    if (!editor) return CloseProgram(rep, h);
    Click(rep, RowBox(editor, 1, entry_editor::kCaptionBox), L"the caption box of row 1");
    TypeKeys(L"bank");
    Click(rep, DescendantById(editor, entry_editor::kBtnSave), L"更　新");
    rep.Check(WaitFor([&] { return !IsWindow(editor); }, 5000), L"更　新 closes the editor");
    const std::string first = Record(L"bank", L"");
    rep.Check(WaitFor([&] { return Bytes(h, L"MyData_2_2.dat").compare(0, first.size(), first) == 0; }, 3000) &&
                  !FileExists(enc),
              L"only the working copy changed; MyData_2.dat is still absent", Hex(Bytes(h, L"MyData_2_2.dat"), 40));

    // The program closed while the editor is open: the editor saves before Private is put away.
    WaitFor([&] { return IsWindowEnabled(h.main()); }, 5000);
    editor = OpenEditor(rep, h);
    if (!editor) return CloseProgram(rep, h);
    Click(rep, RowBox(editor, 2, entry_editor::kCaptionBox), L"the caption box of row 2");
    TypeKeys(L"card");
    // A close is a posted message and would overtake keys still queued.
    HWND row2 = RowBox(editor, 2, entry_editor::kCaptionBox);
    WaitFor([&] { return TextOf(row2) == L"card"; }, 3000);
    CloseProgram(rep, h);
    rep.Check(FileExists(enc) && !FileExists(work), L"after closing: MyData_2.dat again, no working copy");
    auto cipher = ReadFileBytes(enc);
    auto plain = cipher ? Rc4(*cipher, kDefaultPassword) : std::nullopt;
    const std::string both = first + Record(L"card", L"");
    rep.Check(plain && plain->compare(0, both.size(), both) == 0,
              L"MyData_2.dat decrypts to both entries, the second saved as the program closed",
              plain ? Hex(*plain, 40) : L"unreadable");
}

}  // namespace

const std::vector<Scenario>& editorScenarios() {
    static const std::vector<Scenario> all = {
        {30, L"30. a new entry typed in the editor, saved by the close box, pasted into notepad", NewEntryPasted},
        {31, L"31. the text editor, the colour chooser and a row moved down", TextColourAndOrder},
        {32, L"32. editing Private changes only its working copy; closing the program saves first", PrivateWorkingCopy},
    };
    return all;
}

}  // namespace e2e
