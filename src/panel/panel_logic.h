#pragma once
// Layout arithmetic of the button panel. Every figure is in twips.
#include <utility>

enum class PasteMode { Def = 0, Kensho = 1, Bunsho = 2 };  // 標準ﾓｰﾄﾞ, 懸賞ﾓｰﾄﾞ, 文書ﾓｰﾄﾞ

// What the user chose in the panel's menu. The program keeps it; the menu's ticks are drawn
// from it and never read back.
struct PanelChoices {
    int dataSet = 1;                  // 1 Public, 2 Private, 3 顔文字
    PasteMode mode = PasteMode::Def;
    bool passwordOn = true;           // Privateのﾊﾟｽﾜｰﾄﾞ有効 ticked (else 無効)
    bool clipRestore = false;         // ｸﾘｯﾌﾟﾎﾞｰﾄﾞを元に戻す ticked
};

namespace panel {
constexpr int kRow = 280;             // one entry row; buttons are 285 high and overlap by 5
constexpr int kColumnTop = 45;        // first entry button's top inside the column
constexpr int kWindowWidth = 1825;
constexpr int kFrame1Width = 1725;
constexpr int kFrame2Width = 1605;
constexpr int kEntryLeft = 50;
constexpr int kEntryWidth = 1410;
constexpr int kEntryHeight = 285;
constexpr int kScrollLeft = 1460;
constexpr int kScrollTop = 45;
constexpr int kScrollWidth = 255;
constexpr int kSmallChange = 280;
constexpr int kLargeChange = 1400;
constexpr int kCommand2Width = 1410, kCommand2Height = 330;
constexpr int kCommand8Height = 240;
constexpr int kKeyButtonWidth = 700, kKeyButtonHeight = 300;  // Command5, Command6
constexpr int kCommand7Width = 1410;
constexpr int kGripSize = 480;  // Image1 sits at inner width - 480, inner height - 480
constexpr int kMinimumEntryButtons = 25;

constexpr int EntryButtonTop(int index) { return index * kRow + kColumnTop; }
}  // namespace panel

struct PanelLayout {
    int visibleRows;
    int frame1Height, frame2Height, vscrollHeight, vscrollMax;
    bool scrollShown;
    int frameLeft;  // Frame1 and Frame2
    int cmd2Top, cmd2Left, cmd8Top, cmd8Left, cmd8Width;
    int keyRowTop, cmd5Left, cmd6Left, cmd7Left;
    bool show5, show6, show7;
    int windowHeight;  // outer height; the width is always panel::kWindowWidth
    bool operator==(const PanelLayout&) const = default;
};

// rowSetting below 1 shows one row (the caller stores the setting itself unchanged).
PanelLayout ComputeLayout(int entryCount, int rowSetting, PasteMode mode);

// Outer height of the window minus its rows: 1890 with the key-button row, 1585 without.
int ResizeBase(PasteMode mode);

struct ResizeDecision {
    bool relayoutOnly;   // taller than all entries: lay out again with the unchanged setting
    int newRowSetting;   // only meaningful when relayoutOnly is false; may be 0 or negative
};
ResizeDecision DecideResize(int windowHeightTwips, int entryCount, PasteMode mode);

// The mode button's cycle 0 -> 1 -> 2 -> 0 (positions outside 0..2 are brought back in).
int NextModePosition(int pos);

// Entry buttons [first, end) that need a real control for the column scrolled to
// scrollValue: the rows at least partly inside the viewport, widened by `margin` rows on
// each side and never past the entry count. Lets the window reuse a handful of buttons
// instead of creating one per entry.
std::pair<int, int> VisibleButtonRange(int scrollValue, int visibleRows, int entryCount, int margin);
