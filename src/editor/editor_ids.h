#pragma once
// Control identifiers of the entry editor, the text editor and the colour chooser, shared
// with the tests and the end-to-end driver.
namespace entry_editor {
enum ControlId {
    kFrame1 = 2000, kFrame2, kFrame3, kVScroll1, kCommand1, kCommand2, kCommand3, kCommand4,
    kCommand5, kCommand6, kText3, kImage1, kLabel2, kLabel3,
    kLabel4 = 2020,  // Label4(0..3): 2020..2023
    kLabel5 = 2030,  // Label5(0..1): 2030, 2031
    // Row controls are reused while scrolling; slot k holds one row's four controls.
    kFirstRowControl = 2100,
};
// Label1 (the row number), Picture1 (colour cell), Text1 (caption), Text2 (text) of slot k.
constexpr int RowControlId(int slot, int kind) { return kFirstRowControl + 4 * slot + kind; }
enum RowKind { kLabel1 = 0, kPicture1 = 1, kText1 = 2, kText2 = 3 };
}  // namespace entry_editor

namespace text_editor {
enum ControlId { kText1 = 6001, kCommand1, kCommand2, kCommand3, kLabel1, kLabel2, kImage1 };
}  // namespace text_editor

namespace colour_chooser {
enum ControlId { kPicture1 = 8000 /* 8000..8015 */, kLabel1 = 8020 };
}  // namespace colour_chooser
