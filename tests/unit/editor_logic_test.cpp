// The entry editor's rows, typing rules and layout, the text editor's title and the colour
// dialog's record, judged by the bytes a save writes and the values a window shows.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "editor/entry_editor_logic.h"
#include "editor/row_focus_logic.h"
#include "editor/text_editor_logic.h"
#include "editor/colour_chooser_logic.h"

using namespace editor;

namespace {

std::vector<Entry> Named(int n) {
    std::vector<Entry> v;
    for (int i = 1; i <= n; ++i) v.push_back({L"c" + std::to_wstring(i), L"t" + std::to_wstring(i), L"&HFFFFFF"});
    return v;
}

std::vector<std::wstring> Captions(const std::vector<Entry>& v) {
    std::vector<std::wstring> out;
    for (const Entry& e : v) out.push_back(e.caption);
    return out;
}

struct Editor {
    Session session;
    RowModel rows{session};
    explicit Editor(const std::vector<Entry>& records) { rows.LoadRows(records); }
    explicit Editor(std::string_view file) { rows.LoadRows(ReadDataSet(file)); }
};

std::string Blanks(int n) {
    std::string out;
    for (int i = 0; i < n; ++i) out += "\"\",\"\",\"&HFFFFFF\"\r\n";
    return out;
}

}  // namespace

TEST(EditorRows, InsertPutsOneBlankHexRecordBelowTheSelectionOrBelowRowOne) {
    Editor e(Named(3));
    const std::string bytes = e.rows.InsertBytes().bytes;  // nothing selected: below row 1
    e.rows.Inserted();
    EXPECT_EQ(e.session.selectedRow, 1);
    EXPECT_EQ(bytes, "\"c1\",\"t1\",16777215\r\n\"\",\"\",\"&HFFFFFF\"\r\n\"c2\",\"t2\",16777215\r\n"
                     "\"c3\",\"t3\",16777215\r\n");
    e.rows.LoadRows(ParseDataSet(bytes));
    EXPECT_EQ(e.rows.EntryCount(), 4);

    Editor last(Named(26));
    last.rows.SelectByNumber(26);
    const auto after = ParseDataSet(last.rows.InsertBytes().bytes);
    ASSERT_EQ(after.size(), 27u);
    EXPECT_EQ(after[25].caption, L"c26");
    EXPECT_EQ(after[26], (Entry{L"", L"", L"&HFFFFFF"}));
}

TEST(EditorRows, DeleteKeeps25EntriesWithTheSpareRowAndShrinksLargerSets) {
    Editor small(Named(25));
    small.rows.SelectByNumber(3);
    const auto kept = ParseDataSet(small.rows.DeleteBytes().bytes);
    ASSERT_EQ(kept.size(), 25u);
    EXPECT_EQ(kept[2].caption, L"c4");
    // The spare row below the last entry comes in blank and white, like every blank row.
    EXPECT_EQ(kept[24], (Entry{L"", L"", L"&HFFFFFF"}));

    Editor big(Named(26));
    big.rows.SelectByNumber(26);
    const auto shrunk = ParseDataSet(big.rows.DeleteBytes().bytes);
    big.rows.Deleted();
    EXPECT_EQ(shrunk.size(), 25u);
    EXPECT_EQ(shrunk.back().caption, L"c25");
    EXPECT_EQ(big.rows.EntryCount(), 25);

    EXPECT_EQ(RowSettingAfterDelete(29, 30, 1), 28);
    EXPECT_EQ(RowSettingAfterDelete(25, 30, 9), 25);
    EXPECT_EQ(RowSettingAfterDelete(24, 10, 1), 10);
}

TEST(EditorRows, InsertAndDeleteWriteEveryRecordOrNothing) {
    // Row 2 as another program wrote it: a double quote inside an unquoted field.
    const std::string first = "\"a\",\"b\",\"&HFFFFFF\"\r\n", second = "c,d\"e,&HFFFFFF\r\n";
    Editor e(first + second + Blanks(23));
    ASSERT_EQ(e.rows.At(2).text, L"d\"e");
    // Untouched, it is written as it was read.
    const EncodeResult inserted = e.rows.InsertBytes();
    EXPECT_EQ(std::tie(inserted.ok, inserted.bytes), std::make_tuple(true, first + Blanks(1) + second + Blanks(23)));

    // Edited, it cannot be written: neither insert nor delete nor save writes anything, and
    // the refusal names row 2 and its text.
    e.rows.At(2).caption = L"C";
    e.rows.SelectByNumber(3);
    for (EncodeResult r : {e.rows.InsertBytes(), e.rows.DeleteBytes(), e.rows.SaveBytes()})
        EXPECT_EQ(std::tie(r.ok, r.bytes, r.badRecord, r.badField), std::make_tuple(false, std::string(), size_t{1}, 1));
    EXPECT_EQ(e.rows.EntryCount(), 25);
    EXPECT_EQ(e.session.selectedRow, 3);
    EXPECT_EQ(e.rows.At(25).caption, L"");
}

TEST(EditorRows, RowsNotEditedKeepTheirBytes) {
    // Bytes that are no code page 932 (0x81 0x20, 0xFF) and a last record cut off before its
    // colour.
    const std::string first = "\"x\x81 \xFF\",\"y\",\"&HFFFFFF\"\r\n", second = "\"c\",\"d\",255\r\n",
                      last = "\"e\",\"f\"";
    Editor e(first + second + last);
    EXPECT_TRUE(e.rows.Unchanged());
    EXPECT_EQ(e.rows.SaveBytes().bytes, first + second + last);
    EXPECT_EQ(e.rows.At(3).colour, kWhite);  // as the panel shows a missing colour

    e.rows.At(2).text = L"D";
    EXPECT_FALSE(e.rows.Unchanged());
    EXPECT_EQ(e.rows.SaveBytes().bytes, first + "\"c\",\"D\",255\r\n" + last);
    // Moved up, the cut-off record is written whole; the moved record keeps its bytes.
    e.rows.SelectByNumber(3);
    e.rows.Move(-1);
    EXPECT_EQ(e.rows.SaveBytes().bytes, first + "\"e\",\"f\",16777215\r\n\"c\",\"D\",255\r\n");
    // An emoji turns the file into UTF-8: every record is written anew in it.
    e.rows.At(1).caption = L"😊";
    EXPECT_EQ(e.rows.SaveBytes().bytes, "\xEF\xBB\xBF\"\xF0\x9F\x98\x8A\",\"y\",16777215\r\n"
                                        "\"e\",\"f\",16777215\r\n\"c\",\"D\",255\r\n");
}

TEST(EditorRows, MovesAtTheEdgesAndTheButtonStates) {
    Editor e(Named(4));
    e.rows.SelectByNumber(2);
    EXPECT_TRUE(e.rows.Buttons().up && e.rows.Buttons().down && e.rows.Buttons().remove);
    e.rows.Move(-1);
    EXPECT_EQ(Captions(e.rows.Records()), (std::vector<std::wstring>{L"c2", L"c1", L"c3", L"c4"}));
    EXPECT_EQ(e.session.selectedRow, 1);
    EXPECT_FALSE(e.rows.Buttons().up);
    EXPECT_TRUE(e.rows.At(1).highlighted && !e.rows.At(2).highlighted);

    e.rows.SelectByNumber(3);
    e.rows.Move(1);
    EXPECT_EQ(Captions(e.rows.Records()), (std::vector<std::wstring>{L"c2", L"c1", L"c4", L"c3"}));
    EXPECT_EQ(e.session.selectedRow, 4);
    EXPECT_TRUE(e.rows.Buttons().up);
    EXPECT_FALSE(e.rows.Buttons().down);

    // The row that holds the focus, by a click in a box or a key, is the one they act on.
    e.rows.ClickBox(2, true);
    EXPECT_TRUE(e.rows.Buttons().up && e.rows.Buttons().down && e.rows.Buttons().remove);
    EXPECT_TRUE(e.rows.At(2).highlighted && !e.rows.At(4).highlighted);
    EXPECT_EQ(e.rows.LastCaptionBox(), 2);
}

TEST(EditorRows, OneRecordIsShownAndKeptAndTypingBelowTheEntriesIsSaved) {
    Editor one({{L"氏名", L"青木　純", L"255"}});
    Editor longer({{L"とても長いボタンの表示文字", L"", L"0"}, {L"", L"", L"0"}});  // 26 bytes, kept whole
    EXPECT_EQ(longer.rows.Records()[0].caption, L"とても長いボタンの表示文字");
    EXPECT_EQ(one.rows.At(1).caption, L"氏名");
    EXPECT_EQ(one.rows.Records(), (std::vector<Entry>{{L"氏名", L"青木　純", L"255"}}));
    EXPECT_EQ(one.rows.ShownRows(), 25);

    one.rows.At(3).caption = L"住所";
    one.rows.Touch(3);
    const auto saved = one.rows.Records();
    ASSERT_EQ(saved.size(), 3u);
    EXPECT_EQ(saved[2].caption, L"住所");
}

TEST(EditorRows, InputMethodModesOfOlderSystemsFlipEveryBox) {
    Editor e(Named(2));
    e.rows.At(1).captionIme = 1;
    e.rows.At(2).textIme = 2;
    e.rows.SwitchImeOldStyle();
    EXPECT_EQ(e.rows.At(1).captionIme, 2);  // on -> off
    EXPECT_EQ(e.rows.At(2).textIme, 1);     // off -> on
    EXPECT_EQ(e.rows.At(3).captionIme, 1);  // never switched -> on
    EXPECT_EQ(e.session.rowImeMode, 1);
}

TEST(EditorTyping, OnlyEntersTypedAtTheEndAreTrimmed) {
    // "a", Enter, "b", Enter, Enter, then leaving the box (or 更　新 in the text editor).
    int c = 0;
    std::wstring text;
    for (wchar_t ch : std::wstring(L"a\rb\r\r")) {
        c = CountEnter(c, ch, true);
        text += ch == L'\r' ? std::wstring(L"\r\n") : std::wstring(1, ch);
    }
    EXPECT_EQ(c, 2);
    EXPECT_EQ(TrimTrailingEnters(text, c), L"a\r\nb");
    // Esc after the Enter keeps it; an Enter in the middle of the text is no trailing one.
    EXPECT_EQ(CountEnter(1, 27, true), 0);
    EXPECT_EQ(CountEnter(0, L'\r', false), 0);
    EXPECT_EQ(TrimTrailingEnters(L"abc", 3), L"abc");
    EXPECT_EQ(TrimTrailingEnters(L"\r\n\r\n", 5), L"");
}

TEST(EditorTyping, CaptionWidthCountsTwoForWhatCodePage932CannotHold) {
    EXPECT_EQ(CaptionWidth(L"𠮷田♡"), 6u);
    EXPECT_EQ(CaptionWidth(L"aｱ😊"), 4u);
    EXPECT_EQ(FitCaption(L"あいうえおか", 6, 6, L"😊a"), L"😊");  // an emoji is full-width
    EXPECT_EQ(FitCaption(L"あいうえおかa", 7, 7, L"😊"), L"");   // never half of its pair
    EXPECT_EQ(FitCaption(L"", 0, 0, L"𠮷田　花子♡😊!"), L"𠮷田　花子♡😊");  // seven of width 2
}

TEST(EditorTyping, CaptionHoldsFourteenCodePage932Bytes) {
    EXPECT_EQ(FitCaption(L"", 0, 0, L"あいうえおかきく"), L"あいうえおかき");   // 7 of 8 full-width
    EXPECT_EQ(FitCaption(L"", 0, 0, L"abcdefghijklmnop"), L"abcdefghijklmn");  // 14 half-width
    EXPECT_EQ(FitCaption(L"あいうえおか", 6, 6, L"abc"), L"ab");               // 6 full + 2 half
    EXPECT_EQ(FitCaption(L"あいうえおかa", 7, 7, L"き"), L"");                 // 13 bytes: no full-width
    EXPECT_EQ(FitCaption(L"ｱｲｳｴｵｶｷｸｹｺｻｼｽ", 13, 13, L"ｾｿ"), L"ｾ");             // half-width katakana: 1 byte
    EXPECT_EQ(FitCaption(L"あいうえおかきくけ", 0, 2, L"x"), L"");             // loaded longer: no more
    EXPECT_EQ(FitCaption(L"あいうえおかき", 0, 7, L"1234567890abcdef"), L"1234567890abcd");
}

TEST(EditorTyping, UnstorableCharactersAndLineBreaks) {
    EXPECT_EQ(FirstUnstorable(L"abc\"d"), 3u);
    // Characters beyond code page 932 go into UTF-8; half a surrogate pair goes nowhere.
    EXPECT_FALSE(FirstUnstorable(L"ab\u00e9 x\U0001F600 ♡ e\u0301").has_value());
    EXPECT_EQ(FirstUnstorable(std::wstring(L"ab") + static_cast<wchar_t>(0xD83D)), 2u);
    EXPECT_FALSE(FirstUnstorable(L"青木　純, ＼(^-^)／\r\n").has_value());
    EXPECT_EQ(NormaliseLineBreaks(L"a\nb\rc\r\nd"), L"a\r\nb\r\nc\r\nd");
}

TEST(EditorLayout, HeightSnapsToWholeRowsAndNeverPassesAllRows) {
    EXPECT_EQ(LayoutEntryEditor(8800, 8800, 26).height, 8855);  // 200 / 255 rounds to one row
    for (int stored : {0, 8000, 8600, 8800, 20000}) EXPECT_EQ(LayoutEntryEditor(8800, stored, 25).height, 8600);
    EXPECT_EQ(LayoutEntryEditor(8800, 9500, 40).height, 9620);  // 900 / 255 rounds to 4 rows
    EXPECT_EQ(LayoutEntryEditor(100, 0, 0).width, 8800);
    const EntryEditorLayout l = LayoutEntryEditor(9000, 8600, 5000);
    EXPECT_EQ(l.scrollMax, 5000 * 255 - 6375);  // every entry can be reached
    EXPECT_TRUE(l.scrollShown);
    EXPECT_FALSE(LayoutEntryEditor(8800, 8600, 25).scrollShown);
    EXPECT_EQ(l.textBoxWidth, 5300);
    EXPECT_EQ(l.buttonTop, 7290);

    EXPECT_EQ(ScrollForKey(34, 0, 300), 255);
    EXPECT_EQ(ScrollForKey(34, 255, 300), 300);
    EXPECT_EQ(ScrollForKey(35, 10, -100), 0);  // nothing to scroll: the rows stay put
    EXPECT_EQ(CaptionKeyTarget(38, 1, 30, 30), 0);
    EXPECT_EQ(CaptionKeyTarget(40, 30, 30, 30), 0);
    EXPECT_EQ(ScrollToShowRow(27, 5000), 510);
    EXPECT_EQ(RowsInView(0, 6390, 25, 2), std::make_pair(1, 26));
    EXPECT_EQ(RowsInView(255 * 4000, 6390, 5000, 2), std::make_pair(3999, 4029));
}

TEST(EditorFocus, TheFocusAndTheViewMoveTogetherOverAThousandRows) {
    const int view = 6390, max = 1000 * 255 - 6375;  // 25 rows shown
    EXPECT_EQ(MoveForKey(RowKey::Last, 1, 0, view, max, 1000, 1000), (RowMove{1000, max}));
    EXPECT_EQ(MoveForKey(RowKey::PageDown, 3, 0, view, max, 1000, 1000), (RowMove{28, 25 * 255}));
    EXPECT_EQ(MoveForKey(RowKey::PageDown, 990, max, view, max, 1000, 1000), (RowMove{1000, max}));
    EXPECT_EQ(MoveForKey(RowKey::PageUp, 10, 255, view, max, 1000, 1000), (RowMove{1, 0}));
    EXPECT_EQ(MoveForKey(RowKey::Down, 25, 0, view, max, 1000, 1000), (RowMove{26, 255}));
    EXPECT_FALSE(MoveForKey(RowKey::Down, 1000, max, view, max, 1000, 1000));
    // A scroll takes the focus to the nearest row shown whole.
    EXPECT_EQ(RowKeptInView(31, max, view), 976);
}

TEST(TextEditor, TitleAndMinimumSize) {
    EXPECT_EQ(TextEditorTitle(L""), L"貼付データ用テキストエディタ");
    EXPECT_EQ(TextEditorTitle(L"氏名"), L"貼付データ用テキストエディタ　　　　　ボタン「氏名」の貼付データの編集");
    const TextEditorLayout l = LayoutTextEditor(100, 100);
    EXPECT_EQ(l.width, 8805);
    EXPECT_EQ(l.height, 7400);
    EXPECT_EQ(l.textHeight, 5250);
    EXPECT_EQ(LayoutTextEditor(20000, 12000).saveLeft, 18200);
}

TEST(ColourChooser, RecordBoundsAndSwatchesFromColorDat) {
    int32_t seenFlags = 0;
    ColourDialog c([&](ColorDialogRecord& r) { seenFlags = static_cast<int32_t>(r.flags); r.color = 0x123456; r.customColors[15] = 7; return true; },
             [](int32_t v, uintptr_t) { return v < 0 ? 0xF0F0F0 : v; }, 72, 0);
    c.SetColor(0x00C0FFFF);
    EXPECT_EQ(c.Red(), 0xFF);
    EXPECT_EQ(c.Green(), 0xFF);
    EXPECT_EQ(c.Blue(), 0xC0);
    EXPECT_EQ(c.CustomColor(0), 0xFFFFFF);
    EXPECT_EQ(c.CustomColor(16), 0);
    EXPECT_EQ(c.CustomColor(-1), 0);
    c.SetCustomColor(16, 5);  // ignored
    c.SetCustomColor(3, static_cast<int32_t>(0x8000000F));
    EXPECT_EQ(c.CustomColor(3), 0xF0F0F0);  // through the translation
    ASSERT_TRUE(c.ShowColorDialog(1, 3));
    EXPECT_EQ(seenFlags, 3);
    EXPECT_EQ(c.Color(), 0x123456);
    EXPECT_EQ(c.CustomColor(15), 7);

    std::array<int32_t, kSwatches> start;
    start.fill(kSwatchDesignColour);
    const auto s = SwatchColours({L"&HFFFFC0", L"16777152", L"nonsense", L"-2147483633"}, start);
    EXPECT_EQ(s[0], 0xFFFFC0);
    EXPECT_EQ(s[1], 0xFFFFC0);
    EXPECT_EQ(s[2], 0xFFFFFF);  // does not convert: unchanged
    EXPECT_EQ(s[3], static_cast<int32_t>(0x8000000F));
    EXPECT_EQ(s[15], 0xFFFFFF);
    EXPECT_EQ(SwatchLeft(9), 950);
    EXPECT_EQ(SwatchTop(9), 550);
}
