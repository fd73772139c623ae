#include <gtest/gtest.h>

#include "panel/hotkey_logic.h"
#include "panel/panel_logic.h"

using namespace hotkey;

TEST(HotKeys, DigitKeysMapToEntriesOneToTenAndSpaceToNone) {
    EXPECT_EQ(VirtualKey(1), unsigned('1'));
    EXPECT_EQ(VirtualKey(9), unsigned('9'));
    EXPECT_EQ(VirtualKey(10), unsigned('0'));
    EXPECT_EQ(VirtualKey(kShowPanel), 0x20u);
    EXPECT_EQ(VirtualKey(12), 0u);
    EXPECT_EQ(EntryOf(1), 0);
    EXPECT_EQ(EntryOf(10), 9);
    EXPECT_FALSE(EntryOf(kShowPanel).has_value());
    EXPECT_FALSE(EntryOf(0).has_value());
    EXPECT_STREQ(KeyName(10), L"Ctrl+Alt+0");
}

TEST(HotKeys, WaitEndsAtReleaseOrAfterTheTimeout) {
    uint64_t clock = 0;
    int looks = 0;
    auto now = [&] { return clock; };
    auto pump = [&] { clock += 10; };
    // Released after 50 ms: the wait ends then, in time.
    EXPECT_TRUE(WaitForRelease([&] { return ++looks <= 5; }, pump, now));
    EXPECT_EQ(clock, 50u);
    // Never released: gives up at the limit rather than hanging the panel.
    clock = 0;
    EXPECT_FALSE(WaitForRelease([] { return true; }, pump, now));
    EXPECT_EQ(clock, uint64_t(kModifierWait));
}

TEST(HotKeys, WalkGoesThroughEntriesThenKeyButtonsAndScrollsTheColumn) {
    EXPECT_EQ(NextStop({true, 0}, 1, 3, 2), (FocusStop{true, 1}));
    EXPECT_EQ(NextStop({true, 2}, 1, 3, 2), (FocusStop{false, 0}));
    EXPECT_EQ(NextStop({false, 1}, 1, 3, 2), (FocusStop{true, 0}));
    EXPECT_EQ(NextStop({true, 0}, -1, 3, 2), (FocusStop{false, 1}));
    EXPECT_EQ(NextStop({true, 0}, -1, 3, 0), (FocusStop{true, 2}));
    // Ten rows shown of 25, scrolled to the top: row 10 (0-based) brings the column up one row.
    const int max = 15 * panel::kRow;
    EXPECT_EQ(ScrollToShow(5, 0, 10, max), 0);
    EXPECT_EQ(ScrollToShow(10, 0, 10, max), panel::kRow);
    // Scrolled to the end, the first row takes the column back to the top; the last stays.
    EXPECT_EQ(ScrollToShow(0, max, 10, max), 0);
    EXPECT_EQ(ScrollToShow(24, max, 10, max), max);
}
