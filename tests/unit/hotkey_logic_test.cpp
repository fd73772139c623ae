#include <gtest/gtest.h>

#include "panel/hotkey_logic.h"
#include "panel/panel_logic.h"

using namespace hotkey;

TEST(HotKeys, DigitKeysMapToEntriesOneToTenAndSpaceToNone) {
    EXPECT_EQ(VirtualKey(1), unsigned('1'));
    EXPECT_EQ(VirtualKey(10), unsigned('0'));
    EXPECT_EQ(VirtualKey(kShowPanel), 0x20u);
    EXPECT_EQ(EntryOf(1), 0);
    EXPECT_EQ(EntryOf(10), 9);
    EXPECT_FALSE(EntryOf(kShowPanel).has_value());
}

TEST(HotKeys, WaitEndsAtReleaseOrAfterTheTimeout) {
    uint64_t clock = 0;
    int looks = 0;
    auto now = [&] { return clock; };
    auto pump = [&] { clock += 10; };
    EXPECT_TRUE(WaitForRelease([&] { return ++looks <= 5; }, pump, now));
    EXPECT_EQ(clock, 50u);
    clock = 0;  // never released: gives up at the limit rather than hang the panel
    EXPECT_FALSE(WaitForRelease([] { return true; }, pump, now));
    EXPECT_EQ(clock, uint64_t(kModifierWait));
}

TEST(HotKeys, WalkGoesThroughEntriesThenKeyButtonsAndScrollsTheColumn) {
    EXPECT_EQ(NextStop({true, 2}, 1, 3, 2), (FocusStop{false, 0}));
    EXPECT_EQ(NextStop({false, 1}, 1, 3, 2), (FocusStop{true, 0}));
    EXPECT_EQ(NextStop({true, 0}, -1, 3, 0), (FocusStop{true, 2}));
    // Ten rows of 25 shown: row 10 (0-based) moves the column one row; from the end, row 0 goes back up.
    const int max = 15 * panel::kRow;
    EXPECT_EQ(ScrollToShow(5, 0, 10, max), 0);
    EXPECT_EQ(ScrollToShow(10, 0, 10, max), panel::kRow);
    EXPECT_EQ(ScrollToShow(0, max, 10, max), 0);
}

// Wine repeats a held hotkey: only a press sent after the key was seen up counts again.
TEST(HotKeys, AHeldKeyPastesOnceAndAgainOnlyAfterItWasSeenUp) {
    hotkey::RepeatGate gate;
    EXPECT_TRUE(gate.Pressed(3, 1000));
    EXPECT_FALSE(gate.Pressed(3, 1500) || gate.Pressed(3, 2400));  // held: repeats
    EXPECT_TRUE(gate.Pressed(1, 1600));                            // another key is its own
    gate.SeenUp(3, 2500);
    EXPECT_FALSE(gate.Pressed(3, 2450));  // sent before the release was seen
    EXPECT_TRUE(gate.Pressed(3, 2600));
    EXPECT_TRUE(gate.Held(3));
    gate.SeenUp(3, 0xFFFFFFF0u);
    EXPECT_TRUE(gate.Pressed(3, 5));  // the tick count wrapped
}

TEST(HotKeys, TheRingGoesOverTheEntriesThenTheButtonsAndItsKeysJumpWithinTheEntries) {
    using K = RingKey;
    // 30 entries, 10 shown, 2 buttons (設定/編集, the mode button).
    EXPECT_EQ(RingMove(FocusStop{true, 29}, K::Next, 30, 2, 10, 0), (FocusStop{false, 0}));
    EXPECT_EQ(RingMove(FocusStop{true, 0}, K::Back, 30, 2, 10, 0), (FocusStop{false, 1}));
    EXPECT_EQ(RingMove(FocusStop{false, 0}, K::End, 30, 2, 10, 0), (FocusStop{true, 29}));
    EXPECT_EQ(RingMove(FocusStop{true, 3}, K::PageDown, 30, 2, 10, 0), (FocusStop{true, 13}));
    EXPECT_EQ(RingMove(FocusStop{true, 25}, K::PageDown, 30, 2, 10, 0), (FocusStop{true, 29}));
    EXPECT_EQ(RingMove(FocusStop{true, 3}, K::PageUp, 30, 2, 10, 0), (FocusStop{true, 0}));
    // From the focus holder: Tab enters at the first entry in view, Shift+Tab at the last button.
    EXPECT_EQ(RingMove(std::nullopt, K::Next, 30, 2, 10, 12), (FocusStop{true, 12}));
    EXPECT_EQ(RingMove(std::nullopt, K::Back, 30, 2, 10, 12), (FocusStop{false, 1}));
}

TEST(HotKeys, AKeyAnotherProgramHoldsIsTriedAgainEveryMinuteUntilItIsOurs) {
    KeyRegistrar keys;
    bool free = false;
    auto reg = [&](int id) { return id != 1 || free; };
    EXPECT_EQ(keys.TryMissing(reg, 1000), std::vector<int>{1});
    EXPECT_FALSE(keys.RetryDue(1000 + KeyRegistrar::kRetryMs - 1));
    EXPECT_TRUE(keys.RetryDue(1000 + KeyRegistrar::kRetryMs));
    free = true;
    EXPECT_TRUE(keys.TryMissing(reg, 70000).empty());
    EXPECT_EQ(keys.Held().size(), size_t(kLastKey));  // each key once
    EXPECT_FALSE(keys.RetryDue(10000000));
}
