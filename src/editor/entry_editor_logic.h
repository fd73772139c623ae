#pragma once
// The entry editor without its window: the rows of a data set and what selecting, moving,
// inserting and deleting does to them, the trims and limits of typed text, and the layout
// arithmetic. Every position and size is in twips.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "store/dataset_format.h"

namespace editor {

constexpr int kRowStep = 255;     // rows overlap by 15 of their 270
constexpr int kRowHeight = 270;
constexpr int kMinRows = 25;      // blank rows fill the editor up to this many
constexpr int kSmallChange = 255;
constexpr int kLargeChange = 1275;
constexpr int kMinWidth = 8800;
constexpr int kMinHeight = 8600;
constexpr size_t kCaptionLimit = 14;  // width: 全角7/半角14文字 (see CaptionWidth)
constexpr int32_t kTemplateColour = static_cast<int32_t>(0x80000005);  // window background
constexpr int32_t kWhite = 0xFFFFFF;
constexpr int32_t kHighlight = 0xFFC0C0;

// Values the entry editor shares with the text editor and the colour chooser.
struct Session {
    int selectedRow = 0;      // 0: none
    int trailingEnters = 0;   // Enter presses in a row at the end of the text being edited
    int rowImeMode = 0;       // given to row boxes: 0 no control, 1 on, 2 off
    std::wstring chosenColour;  // decimal text picked in the colour chooser, empty when none
    int colourTargetRow = 0;  // the row whose colour cell opened the chooser
};

struct Row {
    std::wstring caption, text;
    int32_t colour = kTemplateColour;
    bool highlighted = false;
    int captionIme = 0, textIme = 0;  // input-method modes of the two boxes
    int stored = -1;  // index of the loaded file's record the row shows, -1 for none
};

// Enabled states of the arrow buttons and 削　除.
struct RowButtons {
    bool up = false, down = false, remove = false;
};

class RowModel {
public:
    explicit RowModel(Session& session) : s_(session) {}

    int EntryCount() const { return entryCount_; }
    // M: rows shown, the entries and the blank rows up to 25. Row M + 1 is the unseen spare.
    int ShownRows() const { return entryCount_ > kMinRows ? entryCount_ : kMinRows; }
    // Rows go by the number the editor shows beside them: 1 .. RowCount(), M + 1 at least.
    int RowCount() const { return static_cast<int>(rows_.size()); }
    bool HasRow(int row) const { return row >= 1 && row <= RowCount(); }
    Row& At(int row) { return rows_.at(static_cast<size_t>(row - 1)); }
    const Row& At(int row) const { return rows_.at(static_cast<size_t>(row - 1)); }
    const RowButtons& Buttons() const { return buttons_; }
    int LastCaptionBox() const { return lastCaption_; }
    int LastTextBox() const { return lastText_; }
    bool RowFocus() const { return rowFocus_; }
    void SetRowFocus(bool on) { rowFocus_ = on; }
    int DeletedCount() const { return deleted_; }
    void ResetDeletedCount() { deleted_ = 0; }

    // Rows 1..N from the records; blank rows after them; the colours of blank rows stay as
    // the cells had them, and a colour that does not convert is white, as the panel shows
    // it. Every box gets the row IME mode.
    void LoadRows(DataSetContents file);
    void LoadRows(const std::vector<Entry>& records) { LoadRows(DataSetContents{.entries = records}); }
    // An edit in a blank row below the entries makes the rows up to it entries, so what the
    // user typed there is saved.
    void Touch(int row);

    // Rows 1..N as records, colours in decimal.
    std::vector<Entry> Records() const;
    // Every row as loaded, in its place, none added or removed: the file needs no writing.
    bool Unchanged() const;

    // The bytes to write. A row that is as it was loaded keeps the bytes it was read from;
    // the others are written with their colours in decimal. When the writer refuses, ok is
    // false and badRecord is the row (from 0) that holds what cannot be stored. None of
    // these changes the rows: on success the caller writes the file, then calls the matching
    // Inserted or Deleted.
    EncodeResult SaveBytes() const;
    // 追　加: the blank record below the selected row (below row 1 when none is selected).
    EncodeResult InsertBytes();
    // Selects row 1 when none was; raises the entry count by one.
    void Inserted();
    // 削　除 of the selected row: without it, and with 25 entries or fewer followed by the
    // spare row, so the data set keeps its size.
    EncodeResult DeleteBytes();
    // Lowers the entry count.
    void Deleted();

    void SelectByNumber(int i);  // a click on the row number
    // The row that holds the focus is the chosen row: ↑, ↓ and 削　除 act on it. kind: 1 the
    // colour cell, 2 the caption box, 3 the text box (editor_ids' RowKind).
    void Focused(int i, int kind);
    int FocusKind() const { return focusKind_; }  // where the focus goes back on activation; 0: none
    void ClickBox(int i, bool caption) { Focused(i, caption ? 2 : 3); }  // a click in the caption or text box
    void ClickColourCell(int i);
    // The selected row trades places with the one above (step -1) or below (+1).
    void Move(int step);

    // 日本語ｵﾝ/ｵﾌ before Windows XP: every box flips between on and off (a box never switched
    // becomes on); the row IME mode follows the text box of row N + 1.
    void SwitchImeOldStyle();
    // The text editor's switch before Windows XP: every box of rows 1..N + 1 takes `mode`.
    void SetAllIme(int mode);

private:
    void Ensure(int lastRow);  // rows up to lastRow exist
    const StoredRecord* AsRead(int row) const;  // the row's record when the row is unchanged
    // The rows in this order as a file; 0 stands for a blank record.
    EncodeResult Encode(const std::vector<int>& order) const;
    void WhiteRows();
    void UpdateButtons();

    Session& s_;
    DataSetContents loaded_;
    std::vector<Row> rows_ = std::vector<Row>(kMinRows + 1);
    int entryCount_ = 0;
    RowButtons buttons_;
    int lastCaption_ = 0, lastText_ = 0;
    bool rowFocus_ = false;
    int focusKind_ = 0;
    int deleted_ = 0;
};

// The row setting of the data set after a deletion left `entryCount` entries.
int16_t RowSettingAfterDelete(int entryCount, int16_t setting, int deletedCount);

// ---- typing ------------------------------------------------------------------------------

// The trailing-Enter count after a character typed with the caret at the end of the text or
// elsewhere: only Enter pressed at the end counts.
int CountEnter(int count, wchar_t typed, bool atEnd);
// Removes up to `count` line breaks from the end of the text; never anything else.
std::wstring TrimTrailingEnters(const std::wstring& text, int count);

// Index of the first character a data file cannot hold (a double quote, or a surrogate
// without its partner), or nullopt.
std::optional<size_t> FirstUnstorable(std::wstring_view text);
// Width of a caption: the code page 932 bytes of each character that has a form there, 2 for
// any other (a surrogate pair is one character).
size_t CaptionWidth(std::wstring_view text);
// The longest start of `insert` (never half a surrogate pair) that keeps the caption within
// `limit` once it replaces [selStart, selEnd) of `text`.
std::wstring FitCaption(const std::wstring& text, size_t selStart, size_t selEnd,
                        const std::wstring& insert, size_t limit = kCaptionLimit);
// What a row's one-line text box holds: the text, or only its start when the text is so long
// that the box would take seconds to lay it out (whole is then false: such a text is edited
// in the text editor, which takes it whole).
constexpr size_t kRowBoxChars = 1000;
std::wstring RowBoxText(const std::wstring& text, bool& whole);
// Pasted line breaks as the edit control shows them: CR LF.
std::wstring NormaliseLineBreaks(std::wstring_view text);

// ---- layout ------------------------------------------------------------------------------

struct EntryEditorLayout {
    int width, height;                 // the window, raised to the minimum and snapped to rows
    int headerWidth, headerHeight, viewportWidth, viewportHeight, columnWidth;
    int resizableLeft, resizableTop, buttonTop, focusHolderTop;
    int scrollLeft, scrollHeight, scrollMax;
    bool scrollShown;
    int textBoxWidth;
};
// W, H the window's outer size, N the entry count.
EntryEditorLayout LayoutEntryEditor(int width, int height, int entryCount);

// PageDown, PageUp, End, Home (key codes 34, 33, 35, 36): the new scroll position.
int ScrollForKey(int key, int position, int maximum);
// Up/Down in the caption box of row i: the row that takes the focus, or 0 to stay.
int CaptionKeyTarget(int key, int row, int entryCount, int shownRows);
// The scroll position that shows row r at the bottom of a minimum-height window.
int ScrollToShowRow(int row, int maximum);
// Rows [first, end) that need controls for the rows 1..shownRows seen through a viewport of
// `viewport` twips scrolled to `position`, widened by `margin` rows on each side.
std::pair<int, int> RowsInView(int position, int viewport, int shownRows, int margin);

}  // namespace editor
