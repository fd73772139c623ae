#include <gtest/gtest.h>

#include <cstdint>

#include "panel/panel_logic.h"

TEST(PanelLayout, TwentyFiveEntriesTenRowsScrollsAndSizesPerMode) {
    const PanelLayout def = ComputeLayout(25, 10, PasteMode::Def);
    EXPECT_EQ(def.visibleRows, 10);
    EXPECT_TRUE(def.scrollShown);
    EXPECT_EQ(def.vscrollMax, 4200);
    EXPECT_EQ(def.vscrollHeight, 2800);
    EXPECT_EQ(def.frame1Height, 2845);
    EXPECT_EQ(def.frame2Height, 7045);
    EXPECT_EQ(def.windowHeight, 4385);
    EXPECT_EQ(def.frameLeft, 0);
    EXPECT_EQ(def.cmd2Top, 2845);
    EXPECT_EQ(def.cmd8Top, 3175);
    EXPECT_EQ(def.keyRowTop, 3415);
    EXPECT_EQ(def.cmd2Left, 50);
    EXPECT_EQ(def.cmd5Left, 50);
    EXPECT_EQ(def.cmd6Left, 750);
    EXPECT_EQ(def.cmd7Left, 50);
    EXPECT_EQ(def.cmd8Left, 50);
    EXPECT_EQ(def.cmd8Width, 1410);
    EXPECT_FALSE(def.show5 || def.show6 || def.show7);

    const PanelLayout kensho = ComputeLayout(25, 10, PasteMode::Kensho);
    EXPECT_EQ(kensho.windowHeight, 4690);
    EXPECT_TRUE(kensho.show5 && kensho.show6);
    EXPECT_FALSE(kensho.show7);

    const PanelLayout bunsho = ComputeLayout(25, 10, PasteMode::Bunsho);
    EXPECT_EQ(bunsho.windowHeight, 4690);
    EXPECT_FALSE(bunsho.show5 || bunsho.show6);
    EXPECT_TRUE(bunsho.show7);
}

TEST(PanelLayout, AllEntriesFitHideTheScrollBarAndCentreTheColumn) {
    for (int entries : {0, 7, 25}) {
        const PanelLayout l = ComputeLayout(entries, 25, PasteMode::Kensho);
        EXPECT_FALSE(l.scrollShown) << entries;
        EXPECT_LE(l.vscrollMax, 0) << entries;
        EXPECT_EQ(l.frameLeft, 50);
        EXPECT_EQ(l.cmd2Left, 130);
        EXPECT_EQ(l.cmd5Left, 130);
        EXPECT_EQ(l.cmd6Left, 840);
        EXPECT_EQ(l.cmd7Left, 130);
        EXPECT_EQ(l.cmd8Left, 130);
    }
    // An empty data set: the column is only its top margin, so every button is clipped.
    EXPECT_EQ(ComputeLayout(0, 25, PasteMode::Def).frame2Height, 45);
    // One row more than shown is enough for the scroll bar.
    EXPECT_TRUE(ComputeLayout(26, 25, PasteMode::Def).scrollShown);
    EXPECT_EQ(ComputeLayout(26, 25, PasteMode::Def).vscrollMax, 280);
}

TEST(PanelLayout, RowSettingZeroOrNegativeShowsOneRow) {
    for (int setting : {0, -3, -32768}) {
        const PanelLayout l = ComputeLayout(25, setting, PasteMode::Def);
        EXPECT_EQ(l.visibleRows, 1) << setting;
        EXPECT_EQ(l.frame1Height, 325);
        EXPECT_EQ(l.vscrollMax, 24 * 280);
        EXPECT_EQ(l.windowHeight, 280 + 1585);
    }
}

TEST(PanelLayout, ResizeBaseIsTheHeightWithoutRows) {
    EXPECT_EQ(ResizeBase(PasteMode::Def), 1585);
    EXPECT_EQ(ResizeBase(PasteMode::Kensho), 1890);
    EXPECT_EQ(ResizeBase(PasteMode::Bunsho), 1890);
    // A laid-out window, read back by the resize handler, keeps its row count.
    for (PasteMode m : {PasteMode::Def, PasteMode::Kensho, PasteMode::Bunsho}) {
        const ResizeDecision d = DecideResize(ComputeLayout(25, 10, m).windowHeight, 25, m);
        EXPECT_FALSE(d.relayoutOnly);
        EXPECT_EQ(d.newRowSetting, 10);
    }
}

TEST(PanelResize, SnapsToTheNearerRowWithTiesToEven) {
    const int b = 1585;
    EXPECT_EQ(DecideResize(b + 10 * 280 + 139, 25, PasteMode::Def).newRowSetting, 10);
    EXPECT_EQ(DecideResize(b + 10 * 280 + 141, 25, PasteMode::Def).newRowSetting, 11);
    EXPECT_EQ(DecideResize(b + 10 * 280 + 140, 25, PasteMode::Def).newRowSetting, 10);  // 10.5
    EXPECT_EQ(DecideResize(b + 11 * 280 + 140, 25, PasteMode::Def).newRowSetting, 12);  // 11.5
    EXPECT_EQ(DecideResize(1890 + 2 * 280 + 140, 25, PasteMode::Bunsho).newRowSetting, 2);
}

TEST(PanelResize, VeryLowWindowsGiveZeroOrNegativeRows) {
    EXPECT_EQ(DecideResize(1585 + 140, 25, PasteMode::Def).newRowSetting, 0);   // 0.5
    EXPECT_EQ(DecideResize(1585 + 141, 25, PasteMode::Def).newRowSetting, 1);
    EXPECT_EQ(DecideResize(1585, 25, PasteMode::Def).newRowSetting, 0);
    EXPECT_EQ(DecideResize(1585 - 140, 25, PasteMode::Def).newRowSetting, 0);   // -0.5
    EXPECT_EQ(DecideResize(1585 - 420, 25, PasteMode::Def).newRowSetting, -2);  // -1.5
    EXPECT_EQ(DecideResize(600, 25, PasteMode::Kensho).newRowSetting, -5);      // -4.607
    EXPECT_FALSE(DecideResize(INT32_MIN, 25, PasteMode::Def).relayoutOnly);
    EXPECT_LT(DecideResize(INT32_MIN, 25, PasteMode::Def).newRowSetting, 0);
}

TEST(PanelResize, TallerThanAllEntriesOnlyLaysOutAgain) {
    EXPECT_TRUE(DecideResize(25 * 280 + 1585 + 1, 25, PasteMode::Def).relayoutOnly);
    EXPECT_TRUE(DecideResize(25 * 280 + 1890 + 1, 25, PasteMode::Kensho).relayoutOnly);
    // Exactly the height of all entries is a normal resize.
    const ResizeDecision exact = DecideResize(25 * 280 + 1585, 25, PasteMode::Def);
    EXPECT_FALSE(exact.relayoutOnly);
    EXPECT_EQ(exact.newRowSetting, 25);
    // With no entries any height above the bare window snaps back.
    EXPECT_TRUE(DecideResize(1586, 0, PasteMode::Def).relayoutOnly);
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
