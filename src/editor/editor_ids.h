#pragma once
#include <string>
// Control identifiers of the entry editor, the text editor and the colour chooser, shared
// with the tests and the end-to-end driver.
namespace entry_editor {
enum ControlId {
    kHeaderFrame = 2000, kRowViewport, kRowColumn, kScrollBar, kBtnSave, kBtnMoveUp, kBtnMoveDown,
    kBtnInsertRow, kBtnDeleteRow, kBtnToggleIme, kFocusHolder, kSizeGrip, kLblTrailingBreaks, kLblResizable,
    kLblHeading = 2020,     // the four column headings: 2020..2023
    kLblSubheading = 2030,  // the notes under the caption and text headings: 2030, 2031
    // Row controls are reused while scrolling; slot k holds one row's controls.
    kFirstRowControl = 2100,
};
// The colour cell, caption box and text box of slot k. The row number is drawn by the rows'
// frame, not a control: its id is never used.
constexpr int RowControlId(int slot, int kind) { return kFirstRowControl + 4 * slot + kind; }
enum RowKind { kRowNumber = 0, kColourCell = 1, kCaptionBox = 2, kTextBox = 3 };
// What a screen reader calls a row's colour cell, caption box or text box.
inline std::wstring RowName(int row, int kind) {
    const wchar_t* what = kind == kColourCell ? L" 行目 ボタンの色" : kind == kCaptionBox ? L" 行目 表示文字" : L" 行目 貼付文字";
    return std::to_wstring(row) + what;
}
}  // namespace entry_editor

namespace text_editor {
enum ControlId { kEditText = 6001, kBtnSave, kBtnCancel, kBtnToggleIme, kLblNotes, kLblResizable, kSizeGrip };
}  // namespace text_editor

namespace colour_chooser {
enum ControlId { kSwatch = 8000 /* 8000..8015 */, kLblHowTo = 8020 };
}  // namespace colour_chooser
