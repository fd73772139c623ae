// Private locked while it stays chosen: every way of pasting asks instead, and what waited
// runs once, in order, when the password was given; nothing runs when it was not.
#include <gtest/gtest.h>

#include "panel/private_lock_logic.h"

using namespace private_lock;

TEST(PrivateLock, EverySourceAsksAndWhatWaitedRunsOnlyOnceThePasswordWasGiven) {
    Gate gate;
    EXPECT_EQ(gate.Decide(false, {PasteSource::HotKey, 0}), Verdict::Paste);
    EXPECT_EQ(gate.Decide(true, {PasteSource::HotKey, 1}), Verdict::Ask);
    EXPECT_TRUE(gate.Answered(false).empty());  // cancelled: the request is gone for good
    EXPECT_EQ(gate.Decide(true, {PasteSource::HotKey, 2}), Verdict::Ask);
    // The dialog is open: later requests wait for the same answer; the lock entry names nothing.
    EXPECT_EQ(gate.Decide(true, {PasteSource::KeyButton, -1, KeyButtonId::Next}), Verdict::Wait);
    EXPECT_EQ(gate.Decide(true, {PasteSource::EntryClick}), Verdict::Wait);
    EXPECT_EQ(gate.Decide(true, {PasteSource::FocusedPanel, 0}), Verdict::Wait);
    const std::vector<Asked> run = gate.Answered(true);
    ASSERT_EQ(run.size(), 3u);
    EXPECT_TRUE(run[0].entry == 2 && run[1].key == KeyButtonId::Next && run[2].entry == 0);
    EXPECT_TRUE(gate.Answered(true).empty());
}
