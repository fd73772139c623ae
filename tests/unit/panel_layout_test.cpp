#include <gtest/gtest.h>

#include <cstdint>

#include "panel/panel_logic.h"

TEST(PanelLayout, TwentyFiveEntriesTenRowsScrollsAndSizesPerMode) {
    const PanelLayout pasteOnly = ComputeLayout(25, 10, PasteMode::PasteOnly);
    EXPECT_EQ(pasteOnly.visibleRows, 10);
    EXPECT_TRUE(pasteOnly.scrollShown);
    EXPECT_EQ(pasteOnly.scrollMax, 4200);
    EXPECT_EQ(pasteOnly.scrollHeight, 2800);
    EXPECT_EQ(pasteOnly.viewportHeight, 2845);
    EXPECT_EQ(pasteOnly.columnHeight, 7045);
    EXPECT_EQ(pasteOnly.windowHeight, 4385);
    EXPECT_EQ(pasteOnly.frameLeft, 0);
    EXPECT_EQ(pasteOnly.editTop, 2845);
    EXPECT_EQ(pasteOnly.modeTop, 3175);
    EXPECT_EQ(pasteOnly.keyRowTop, 3415);
    EXPECT_EQ(pasteOnly.editLeft, 50);
    EXPECT_EQ(pasteOnly.prevLeft, 50);
    EXPECT_EQ(pasteOnly.nextLeft, 750);
    EXPECT_EQ(pasteOnly.newLineLeft, 50);
    EXPECT_EQ(pasteOnly.modeLeft, 50);
    EXPECT_EQ(pasteOnly.modeWidth, 1410);
    EXPECT_FALSE(pasteOnly.showPrev || pasteOnly.showNext || pasteOnly.showNewLine);

    const PanelLayout thenTab = ComputeLayout(25, 10, PasteMode::ThenTab);
    EXPECT_EQ(thenTab.windowHeight, 4690);
    EXPECT_TRUE(thenTab.showPrev && thenTab.showNext);
    EXPECT_FALSE(thenTab.showNewLine);

    const PanelLayout thenEnter = ComputeLayout(25, 10, PasteMode::ThenEnter);
    EXPECT_EQ(thenEnter.windowHeight, 4690);
    EXPECT_FALSE(thenEnter.showPrev || thenEnter.showNext);
    EXPECT_TRUE(thenEnter.showNewLine);
}

TEST(PanelLayout, AllEntriesFitHideTheScrollBarAndCentreTheColumn) {
    for (int entries : {0, 7, 25}) {
        const PanelLayout l = ComputeLayout(entries, 25, PasteMode::ThenTab);
        EXPECT_FALSE(l.scrollShown) << entries;
        EXPECT_LE(l.scrollMax, 0) << entries;
        EXPECT_EQ(l.frameLeft, 50);
        EXPECT_EQ(l.editLeft, 130);
        EXPECT_EQ(l.prevLeft, 130);
        EXPECT_EQ(l.nextLeft, 840);
        EXPECT_EQ(l.newLineLeft, 130);
        EXPECT_EQ(l.modeLeft, 130);
    }
    // An empty data set: the column is only its top margin, so every button is clipped.
    EXPECT_EQ(ComputeLayout(0, 25, PasteMode::PasteOnly).columnHeight, 45);
    // One row more than shown is enough for the scroll bar.
    EXPECT_TRUE(ComputeLayout(26, 25, PasteMode::PasteOnly).scrollShown);
    EXPECT_EQ(ComputeLayout(26, 25, PasteMode::PasteOnly).scrollMax, 280);
}

TEST(PanelLayout, RowSettingZeroOrNegativeShowsOneRow) {
    for (int setting : {0, -3, -32768}) {
        const PanelLayout l = ComputeLayout(25, setting, PasteMode::PasteOnly);
        EXPECT_EQ(l.visibleRows, 1) << setting;
        EXPECT_EQ(l.viewportHeight, 325);
        EXPECT_EQ(l.scrollMax, 24 * 280);
        EXPECT_EQ(l.windowHeight, 280 + 1585);
    }
}

TEST(PanelLayout, ResizeBaseIsTheHeightWithoutRows) {
    EXPECT_EQ(ResizeBase(PasteMode::PasteOnly), 1585);
    EXPECT_EQ(ResizeBase(PasteMode::ThenTab), 1890);
    EXPECT_EQ(ResizeBase(PasteMode::ThenEnter), 1890);
    // A laid-out window, read back by the resize handler, keeps its row count.
    for (PasteMode m : {PasteMode::PasteOnly, PasteMode::ThenTab, PasteMode::ThenEnter}) {
        const ResizeDecision d = DecideResize(ComputeLayout(25, 10, m).windowHeight, 25, m);
        EXPECT_FALSE(d.relayoutOnly);
        EXPECT_EQ(d.newRowSetting, 10);
    }
}

TEST(PanelResize, SnapsToTheNearerRowWithTiesToEven) {
    const int b = 1585;
    EXPECT_EQ(DecideResize(b + 10 * 280 + 139, 25, PasteMode::PasteOnly).newRowSetting, 10);
    EXPECT_EQ(DecideResize(b + 10 * 280 + 141, 25, PasteMode::PasteOnly).newRowSetting, 11);
    EXPECT_EQ(DecideResize(b + 10 * 280 + 140, 25, PasteMode::PasteOnly).newRowSetting, 10);  // 10.5
    EXPECT_EQ(DecideResize(b + 11 * 280 + 140, 25, PasteMode::PasteOnly).newRowSetting, 12);  // 11.5
    EXPECT_EQ(DecideResize(1890 + 2 * 280 + 140, 25, PasteMode::ThenEnter).newRowSetting, 2);
}

TEST(PanelResize, VeryLowWindowsGiveZeroOrNegativeRows) {
    EXPECT_EQ(DecideResize(1585 + 140, 25, PasteMode::PasteOnly).newRowSetting, 0);   // 0.5
    EXPECT_EQ(DecideResize(1585 + 141, 25, PasteMode::PasteOnly).newRowSetting, 1);
    EXPECT_EQ(DecideResize(1585, 25, PasteMode::PasteOnly).newRowSetting, 0);
    EXPECT_EQ(DecideResize(1585 - 140, 25, PasteMode::PasteOnly).newRowSetting, 0);   // -0.5
    EXPECT_EQ(DecideResize(1585 - 420, 25, PasteMode::PasteOnly).newRowSetting, -2);  // -1.5
    EXPECT_EQ(DecideResize(600, 25, PasteMode::ThenTab).newRowSetting, -5);      // -4.607
    EXPECT_FALSE(DecideResize(INT32_MIN, 25, PasteMode::PasteOnly).relayoutOnly);
    EXPECT_LT(DecideResize(INT32_MIN, 25, PasteMode::PasteOnly).newRowSetting, 0);
}

TEST(PanelResize, TallerThanAllEntriesOnlyLaysOutAgain) {
    EXPECT_TRUE(DecideResize(25 * 280 + 1585 + 1, 25, PasteMode::PasteOnly).relayoutOnly);
    EXPECT_TRUE(DecideResize(25 * 280 + 1890 + 1, 25, PasteMode::ThenTab).relayoutOnly);
    // Exactly the height of all entries is a normal resize.
    const ResizeDecision exact = DecideResize(25 * 280 + 1585, 25, PasteMode::PasteOnly);
    EXPECT_FALSE(exact.relayoutOnly);
    EXPECT_EQ(exact.newRowSetting, 25);
    // With no entries any height above the bare window snaps back.
    EXPECT_TRUE(DecideResize(1586, 0, PasteMode::PasteOnly).relayoutOnly);
}

TEST(PanelMode, PositionCyclesThroughTheThreeModes) {
    EXPECT_EQ(NextModePosition(0), 1);
    EXPECT_EQ(NextModePosition(1), 2);
    EXPECT_EQ(NextModePosition(2), 0);
    EXPECT_EQ(NextModePosition(-1), 0);
    EXPECT_EQ(NextModePosition(7), 2);
}

TEST(PanelButtons, RangeCoversTheRowsInViewPlusMargin) {
    using R = std::pair<int, int>;
    // Top of the column: rows 0..9 in view (row 10 starts at the viewport's bottom edge).
    EXPECT_EQ(VisibleButtonRange(0, 10, 25, 0), R(0, 10));
    EXPECT_EQ(VisibleButtonRange(0, 10, 25, 2), R(0, 12));
    // One row down: button 0's lower 50 twips still show, row 10 comes in.
    EXPECT_EQ(VisibleButtonRange(280, 10, 25, 0), R(0, 11));
    EXPECT_EQ(VisibleButtonRange(330, 10, 25, 0), R(1, 12));
    // Half a row scrolled: eleven rows are partly visible.
    EXPECT_EQ(VisibleButtonRange(140, 10, 25, 0), R(0, 11));
    EXPECT_EQ(VisibleButtonRange(700, 10, 25, 0), R(2, 13));
    // Bottom of the column: never past the last entry.
    EXPECT_EQ(VisibleButtonRange(4200, 10, 25, 0), R(14, 25));
    EXPECT_EQ(VisibleButtonRange(4200, 10, 25, 3), R(11, 25));
    // Out-of-range inputs stay inside the column.
    EXPECT_EQ(VisibleButtonRange(-500, 0, 25, -1), R(0, 1));
    EXPECT_EQ(VisibleButtonRange(1 << 30, 10, 25, 0), R(24, 25));
    EXPECT_EQ(VisibleButtonRange(0, 10, 0, 5), R(0, 0));
    EXPECT_EQ(VisibleButtonRange(0, 25, 5, 0), R(0, 5));
}
