#pragma once
// Layout arithmetic of the button panel. Every figure is in twips.
#include <utility>

#include "base/data_set.h"

// What follows a paste: 標準ﾓｰﾄﾞ nothing, 懸賞ﾓｰﾄﾞ Tab, 文書ﾓｰﾄﾞ Enter (the stored "Mode" value).
enum class PasteMode { PasteOnly = 0, ThenTab = 1, ThenEnter = 2 };

// What the user chose in the panel's menu. The program keeps it; the menu's ticks are drawn
// from it and never read back.
struct PanelChoices {
    DataSet dataSet = DataSet::Public;
    PasteMode mode = PasteMode::PasteOnly;
    bool passwordOn = true;           // Privateのﾊﾟｽﾜｰﾄﾞ有効 ticked (else 無効)
    bool clipRestore = false;         // ｸﾘｯﾌﾟﾎﾞｰﾄﾞを元に戻す ticked
    bool insertFields = false;        // 差し込みを使う ticked
    bool hotKeys = false;             // ﾎｯﾄｷｰを使う ticked

    // False when that mode was chosen already (its buttons and tool tip stay as they are).
    bool ChooseMode(PasteMode m) {
        if (mode == m) return false;
        mode = m;
        return true;
    }
};

// What the paste engine reads of the program whenever it needs it; nothing is pushed in.
class IPasteChoices {
public:
    virtual ~IPasteChoices() = default;
    virtual const PanelChoices& Choices() const = 0;  // the paste mode and the clipboard restore
    virtual bool DataSetChosen() const = 0;  // false until the first-run set-up chose a data set
};

namespace panel {
constexpr int kRow = 280;             // one entry row; buttons are 285 high and overlap by 5
constexpr int kColumnTop = 45;        // first entry button's top inside the column
constexpr int kWindowWidth = 1825;
constexpr int kViewportWidth = 1725;
constexpr int kColumnWidth = 1605;
constexpr int kEntryLeft = 50;
constexpr int kEntryWidth = 1410;
constexpr int kEntryHeight = 285;
constexpr int kScrollLeft = 1460;
constexpr int kScrollTop = 45;
constexpr int kScrollWidth = 255;
constexpr int kSmallChange = 280;
constexpr int kLargeChange = 1400;
constexpr int kEditButtonWidth = 1410, kEditButtonHeight = 330;
constexpr int kModeButtonHeight = 240;
constexpr int kKeyButtonWidth = 700, kKeyButtonHeight = 300;  // 前へ, 次へ
constexpr int kNewLineWidth = 1410;
constexpr int kGripSize = 480;  // the grip sits at inner width - 480, inner height - 480
constexpr int kMinimumEntryButtons = 25;

constexpr int EntryButtonTop(int index) { return index * kRow + kColumnTop; }
}  // namespace panel

struct PanelLayout {
    int visibleRows;
    int viewportHeight, columnHeight, scrollHeight, scrollMax;
    bool scrollShown;
    int frameLeft;  // the viewport and the column
    int editTop, editLeft, modeTop, modeLeft, modeWidth;
    int keyRowTop, prevLeft, nextLeft, newLineLeft;
    bool showPrev, showNext, showNewLine;
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
