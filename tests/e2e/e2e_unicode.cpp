// Characters a Japanese user types today (𠮷, ♡, emoji) from the keyboard into the editor,
// the data files and notepad, judged by the bytes of the files and the text that arrives; and a
// record that cannot be stored refusing a deletion instead of costing the other records.
#include "e2e_unicode.h"

#include <string>

#include "e2e_backup.h"
#include "e2e_desktop.h"
#include "e2e_editor.h"
#include "e2e_hariko.h"
#include "e2e_steps.h"
#include "editor/editor_ids.h"
#include "panel/panel_ids.h"
#include "store/dataset_format.h"

namespace e2e {
namespace {

const std::wstring kDefaultKey = L"47290315";

// A click into the box, then characters as a keyboard or an on-screen keyboard sends them.
void TypeUnicode(Report& rep, HWND box, const std::wstring& what, const std::wstring& text) {
    Click(rep, box, what);
    TypeUnicodeKeys(text);
    Pause(300);
}

std::string Utf8Record(const std::wstring& caption, const std::wstring& text, const char* colour) {
    return "\"" + Utf8(caption) + "\",\"" + Utf8(text) + "\"," + colour + "\r\n";
}

std::string Blanks(int n) { return Records(std::vector<std::pair<std::wstring, std::wstring>>(n)); }

DataSetContents Decrypted(const Hariko& h) { return ReadDataSet(Opened(h.DataFile(L"MyData_2.dat"), kDefaultKey)); }

// ---- 60 -----------------------------------------------------------------------------------

void TypedBeyondCodePage932(Report& rep, const std::wstring& exe) {
    if (!PrepareInitialised(rep, exe)) return;
    Hariko h(exe);
    WriteFileBytes(h.DataFile(L"MyData_1.dat"), EncodeDataSet(InitialPublicEntries(), ColourForm::HexText).bytes);
    Notepad np;
    std::wstring why;
    if (!rep.Check(np.Start(0, 0, 330, 300, &why), L"notepad starts at the left", why) || !StartReady(rep, h)) return;
    HWND editor = OpenEditor(rep, h);
    if (!editor) return CloseProgram(rep, h);
    const std::wstring caption = L"𠮷田♡", text = L"𠮷田　花子♡😊";
    HWND captionBox = RowBox(editor, 3, entry_editor::kCaptionBox), textBox = RowBox(editor, 3, entry_editor::kTextBox);
    TypeUnicode(rep, captionBox, L"the caption box of row 3", caption);
    rep.Check(TextOf(captionBox) == caption, L"the caption box takes 𠮷田♡", Quote(TextOf(captionBox)));
    // An emoji is as wide as a full-width character: seven fill a caption, never half of one more.
    const std::wstring smile = L"😊", sevenSmiles = smile + smile + smile + smile + smile + smile + smile;
    HWND caption4 = RowBox(editor, 4, entry_editor::kCaptionBox);
    TypeUnicode(rep, caption4, L"the caption box of row 4", sevenSmiles + smile);
    rep.Check(TextOf(caption4) == sevenSmiles, L"of 8 emoji the caption keeps 7", Quote(TextOf(caption4)));
    TypeUnicode(rep, textBox, L"the text box of row 3", text);
    rep.Check(TextOf(textBox) == text, L"the text box takes 𠮷田　花子♡😊", Quote(TextOf(textBox)));

    // The text editor's title carries the caption as it is.
    RECT r = RectOf(textBox);
    ClickAt((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    mouse_event(MOUSEEVENTF_LEFTDOWN, 0, 0, 0, 0);
    mouse_event(MOUSEEVENTF_LEFTUP, 0, 0, 0, 0);
    HWND text_editor = nullptr;
    const std::wstring title = L"貼付データ用テキストエディタ　　　　　ボタン「" + caption + L"」の貼付データの編集";
    if (rep.Check(WaitFor([&] { return (text_editor = h.WindowCaptioned(title)) != nullptr; }, 5000),
                  L"a double click opens the text editor titled with 𠮷田♡", h.WindowList())) {
        Click(rep, DescendantById(text_editor, text_editor::kBtnCancel), L"キャンセル");
        WaitFor([&] { return !IsWindow(text_editor) && IsWindowEnabled(editor); }, 5000);
    }
    if (!CloseEditorBox(rep, h, editor)) return CloseProgram(rep, h);

    // UTF-8 behind the mark; the blank rows, plain ASCII, keep their bytes, the untouched rows
    // their colour text.
    const std::string want = std::string(kUtf8Mark) + Utf8Record(L"氏名", L"青木　純", "\"&HFFFFFF\"") +
                             Utf8Record(L"会社名", L"若葉商会", "\"&HFFFFFF\"") + Utf8Record(caption, text, "16777215") +
                             Utf8Record(sevenSmiles, L"", "16777215") + Blanks(21);
    auto got = ReadFileBytes(h.DataFile(L"MyData_1.dat"));
    rep.Check(got == want, L"MyData_1.dat is UTF-8 with the byte-order mark (exact bytes)",
              got ? Hex(got->substr(0, 90), 90) : L"missing");
    if (PasteAndSee(rep, h, np, L"the button 𠮷田♡", text, caption))
        rep.Check(ClipboardText() == text, L"the clipboard holds the same Unicode text");
    CloseProgram(rep, h);
}

// ---- 61 -----------------------------------------------------------------------------------

// A Private entry with an emoji, a Public record as another program wrote it, and 顔文字 as
// UTF-8 that no one edits, through switching data sets and closing.
void DataSetsKeepTheirCharacters(Report& rep, const std::wstring& exe) {
    if (!PrepareInitialised(rep, exe)) return;
    Hariko h(exe);
    const std::string kaomoji = std::string(kUtf8Mark) + Utf8Record(L"( ˘ω˘ )", L"( ˘ω˘ )", "\"&HFFFFFF\"") +
                                Utf8Record(L"ʕ•ᴥ•ʔ", L"ʕ•ᴥ•ʔ", "\"&HC0FFFF\"") + Blanks(23);
    // Record 2 as another program wrote it: a double quote inside an unquoted field.
    const std::string first = Records({{L"氏名", L"青木　純"}}), second = Cp932(L"会社名,若葉\"商会,&HFFFFFF") + "\r\n";
    WriteFileBytes(h.DataFile(L"MyData_3.dat"), kaomoji);
    WriteFileBytes(h.DataFile(L"MyData_1.dat"), first + second + Blanks(23));
    if (!StartReady(rep, h)) return;
    h.MenuDone(panel_ids::kPasswordOff);  // no password asked
    h.Menu(panel_ids::kPrivate);
    auto only = [&](const wchar_t* kept, const wchar_t* gone) {
        return WaitFor([&] { return FileExists(h.DataFile(kept)) && !FileExists(h.DataFile(gone)); }, 10000);
    };
    if (!rep.Check(only(L"MyData_2_2.dat", L"MyData_2.dat"), L"Private loaded: only its working copy exists"))
        return CloseProgram(rep, h);
    HWND editor = OpenEditor(rep, h);
    if (!editor) return CloseProgram(rep, h);
    TypeUnicode(rep, RowBox(editor, 1, entry_editor::kCaptionBox), L"the caption box of row 1", L"😊");
    TypeUnicode(rep, RowBox(editor, 1, entry_editor::kTextBox), L"the text box of row 1", L"♥ok");
    if (!CloseEditorBox(rep, h, editor)) return CloseProgram(rep, h);
    const Entry want{L"😊", L"♥ok", L"16777215"};
    auto holds = [&](const DataSetContents& d) {
        return d.encoding == DataSetEncoding::Utf8 && d.entries.size() == 25 && d.entries[0] == want;
    };
    h.Menu(panel_ids::kPublic);
    rep.Check(only(L"MyData_2.dat", L"MyData_2_2.dat") && holds(Decrypted(h)) &&
                  WaitFor([&] { return h.EntryButton(L"氏名") != nullptr; }, 5000),
              L"Public chosen: MyData_2.dat is sealed and decrypts to UTF-8 with 😊 / ♥ok first; Public shows", Captions(h));

    // Public, row 1 selected, 追　加: record 2 is written back as it was read, nothing is lost.
    if (!(editor = OpenEditor(rep, h))) return CloseProgram(rep, h);
    ClickRowNumber(rep, editor, 1);
    Click(rep, DescendantById(editor, entry_editor::kBtnInsertRow), L"追　加");
    const std::string added = first + Blanks(1) + second + Blanks(23);
    rep.Check(ReadFileBytes(h.DataFile(L"MyData_1.dat")) == added,
              L"追　加 below row 1: 26 records, record 2 byte for byte as another program wrote it");
    auto deleteRow1 = [&] {
        ClickRowNumber(rep, editor, 1);
        Click(rep, DescendantById(editor, entry_editor::kBtnDeleteRow), L"削　除");
    };
    // Edited, record 2 cannot be written: 削　除 is refused and nothing changes.
    HWND caption = RowBox(editor, 3, entry_editor::kCaptionBox);
    Click(rep, caption, L"the caption box of row 3 (会社名)");
    TypeKeys(L"X");
    deleteRow1();
    Expect(rep, h, h.name(), L"3行目に保存できない文字があるため、データを保存できませんでした。", IDOK,
           L"削　除 is refused with a message naming row 3");
    rep.Check(ReadFileBytes(h.DataFile(L"MyData_1.dat")) == added && TextOf(RowBox(editor, 1, entry_editor::kCaptionBox)) == L"氏名" &&
                  TextOf(caption) == L"会社名X",
              L"the file and the rows stay as they were");
    // The caption back as it was: the row is unchanged again and 削　除 goes through.
    Click(rep, caption, L"the caption box of row 3");  // the caret goes to the end of the short text
    PressKey(VK_BACK);
    deleteRow1();
    rep.Check(WaitFor([&] { return TextOf(RowBox(editor, 2, entry_editor::kCaptionBox)) == L"会社名"; }, 3000),
              L"row 1 deleted: 会社名 moves up to row 2", Quote(TextOf(RowBox(editor, 2, entry_editor::kCaptionBox))));
    if (!CloseEditorBox(rep, h, editor)) return CloseProgram(rep, h);

    h.Menu(panel_ids::kKaomoji);
    rep.Check(WaitFor([&] { return h.EntryButton(L"ʕ•ᴥ•ʔ") && h.EntryButton(L"( ˘ω˘ )"); }, 10000),
              L"顔文字 shows ( ˘ω˘ ) and ʕ•ᴥ•ʔ", Captions(h));
    if ((editor = OpenEditor(rep, h))) {
        rep.Check(TextOf(RowBox(editor, 2, entry_editor::kTextBox)) == L"ʕ•ᴥ•ʔ", L"the editor shows ʕ•ᴥ•ʔ in row 2");
        CloseEditorBox(rep, h, editor);
    }
    h.Menu(panel_ids::kPrivate);
    rep.Check(WaitFor([&] { return h.EntryButton(L"😊") != nullptr; }, 10000),
              L"Private again: the panel shows the button 😊", Captions(h));
    CloseProgram(rep, h);
    rep.Check(holds(Decrypted(h)), L"after closing, MyData_2.dat decrypts to the same 25 entries");
    rep.Check(ReadFileBytes(h.DataFile(L"MyData_3.dat")) == kaomoji,
              L"loaded, opened in the editor and closed without an edit, MyData_3.dat keeps its bytes");
    rep.Check(ReadFileBytes(h.DataFile(L"MyData_1.dat")) == Blanks(1) + second + Blanks(23),
              L"after closing, MyData_1.dat holds 25 records, 会社名 as another program wrote it");
}

}  // namespace

const std::vector<Scenario>& unicodeScenarios() {
    static const std::vector<Scenario> all = {
        {60, L"60. 𠮷田♡ and 𠮷田　花子♡😊 typed in the editor, saved as UTF-8, pasted into notepad", TypedBeyondCodePage932},
        {61, L"61. through switching data sets and closing: a Private entry with an emoji survives; a record the writer cannot "
             L"store never costs the others (追　加, 削　除); 顔文字 in UTF-8 keeps its bytes when not edited", DataSetsKeepTheirCharacters},
    };
    return all;
}

}  // namespace e2e
