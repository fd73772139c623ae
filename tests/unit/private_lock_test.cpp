// Private locked while it stays chosen: every way of pasting asks instead, and what waited
// runs once the password was given.
#include <gtest/gtest.h>

#include "panel/private_lock_logic.h"

using namespace private_lock;

TEST(PrivateLock, EverySourceAsksWhileLockedAndWhatWaitedRunsOnceInOrder) {
    Gate gate;
    EXPECT_EQ(gate.Decide(false, {PasteSource::HotKey, 0}), Verdict::Paste);
    EXPECT_EQ(gate.Decide(true, {PasteSource::HotKey, 2}), Verdict::Ask);
    // The dialog is open: later requests wait for the same answer, the lock entry's click too.
    EXPECT_EQ(gate.Decide(true, {PasteSource::KeyButton, -1, KeyButtonId::Next}), Verdict::Wait);
    EXPECT_EQ(gate.Decide(true, {PasteSource::EntryClick}), Verdict::Wait);
    EXPECT_EQ(gate.Decide(true, {PasteSource::HotKey, 0}), Verdict::Wait);
    const std::vector<Asked> run = gate.Answered(true);
    ASSERT_EQ(run.size(), 3u);  // the lock entry names nothing to paste
    EXPECT_EQ(run[0].entry, 2);
    EXPECT_EQ(run[1].key, KeyButtonId::Next);
    EXPECT_EQ(run[2].entry, 0);
    EXPECT_TRUE(gate.Answered(true).empty());
}

TEST(PrivateLock, NothingRunsWhenThePasswordWasNotGiven) {
    Gate gate;
    EXPECT_EQ(gate.Decide(true, {PasteSource::HotKey, 1}), Verdict::Ask);
    EXPECT_TRUE(gate.Answered(false).empty());
    // Asked afresh, and the earlier request is gone for good.
    EXPECT_EQ(gate.Decide(true, {PasteSource::FocusedPanel, 3}), Verdict::Ask);
    const std::vector<Asked> run = gate.Answered(true);
    ASSERT_EQ(run.size(), 1u);
    EXPECT_EQ(run[0].entry, 3);
}
