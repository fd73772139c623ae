#include "panel/panel_logic.h"

#include <algorithm>

namespace {
// Counts and row settings are 16-bit in the stored settings; clamping keeps the products
// below far from int overflow whatever a caller passes.
constexpr int kMax16 = 32767;

int FloorDiv(int a, int b) {
    int q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
    return q;
}

int CeilDiv(int a, int b) { return -FloorDiv(-a, b); }

// a / b rounded to the nearest integer, ties to the even neighbour (b > 0).
int RoundHalfEvenDiv(int a, int b) {
    int q = FloorDiv(a, b);
    int twiceRest = 2 * (a - q * b);
    if (twiceRest > b || (twiceRest == b && (q % 2 != 0))) ++q;
    return q;
}

int ClampCount(int n) { return std::clamp(n, 0, kMax16); }
}  // namespace

int ResizeBase(PasteMode mode) {
    return mode == PasteMode::PasteOnly ? 1585 : 1890;
}

PanelLayout ComputeLayout(int entryCount, int rowSetting, PasteMode mode) {
    using namespace panel;
    const int entries = ClampCount(entryCount);
    const int rows = std::clamp(rowSetting, 1, kMax16);

    PanelLayout l{};
    l.visibleRows = rows;
    l.viewportHeight = rows * kRow + 45;
    l.columnHeight = entries * kRow + 45;
    l.scrollHeight = rows * kRow;
    l.scrollMax = entries * kRow - rows * kRow;
    l.scrollShown = l.scrollMax >= 1;

    l.editTop = rows * kRow + 45;
    l.modeTop = rows * kRow + 375;
    l.keyRowTop = rows * kRow + 615;

    // Without the scroll bar the column moves right to sit in the middle of the window.
    l.frameLeft = l.scrollShown ? 0 : 50;
    const int bottomLeft = l.scrollShown ? 50 : 130;
    l.editLeft = bottomLeft;
    l.prevLeft = bottomLeft;
    l.newLineLeft = bottomLeft;
    l.modeLeft = bottomLeft;
    l.nextLeft = l.scrollShown ? 750 : 840;
    l.modeWidth = 1410;

    l.showPrev = l.showNext = (mode == PasteMode::ThenTab);
    l.showNewLine = (mode == PasteMode::ThenEnter);
    l.windowHeight = l.viewportHeight + (mode == PasteMode::PasteOnly ? 1140 : 1445) + 240 + 160;
    return l;
}

ResizeDecision DecideResize(int windowHeightTwips, int entryCount, PasteMode mode) {
    const int base = ResizeBase(mode);
    const int allEntries = ClampCount(entryCount) * panel::kRow + base;
    if (windowHeightTwips > allEntries) return {true, 0};
    // Far below zero the result only has to stay "less than one row".
    const int h = std::max(windowHeightTwips, -kMax16 * panel::kRow);
    return {false, RoundHalfEvenDiv(h - base, panel::kRow)};
}

int NextModePosition(int pos) {
    return ((pos + 1) % 3 + 3) % 3;
}

std::pair<int, int> VisibleButtonRange(int scrollValue, int visibleRows, int entryCount, int margin) {
    using namespace panel;
    const int entries = ClampCount(entryCount);
    const int rows = std::clamp(visibleRows, 1, kMax16);
    const int scroll = std::clamp(scrollValue, 0, entries * kRow);
    const int pad = std::clamp(margin, 0, kMax16);

    // Button i covers [i*280+45, i*280+330) of the column; the viewport shows
    // [scroll, scroll + rows*280 + 45).
    int first = FloorDiv(scroll - kColumnTop - kEntryHeight, kRow) + 1;
    int end = CeilDiv(scroll + rows * kRow, kRow);
    first = std::max(0, first - pad);
    end = std::min(entries, end + pad);
    if (end < first) end = first;
    return {first, end};
}
