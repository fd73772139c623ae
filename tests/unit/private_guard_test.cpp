#include "panel/private_guard_logic.h"

#include <gtest/gtest.h>

using private_guard::Guard;

TEST(PrivateGuard, TimeSettingReadsDefaultOffAndCap) {
    const std::pair<const wchar_t*, int> cases[] = {{L"", 10}, {L"Reg_x", 10}, {L"0", 0}, {L"-5", 0}, {L"30", 30},
                                                    {L"99999999999999999999", 100}};
    for (auto [text, want] : cases)
        EXPECT_EQ(private_guard::TimeSetting(text, 10, 100), want) << text;
}

TEST(PrivateGuard, ClearsOnlyASealedPrivateTextStillOnTheClipboardOnce) {
    Guard g;
    g.Configure(10, 0);
    const uint32_t t = 0xFFFFF000u;  // the tick count wraps meanwhile
    g.Pasted(t, true, true, 7);
    EXPECT_FALSE(g.ClearDue(t + 9999, 7));
    EXPECT_TRUE(g.ClearDue(t + 10000, 7));
    EXPECT_FALSE(g.ClearDue(t + 20000, 7));
    // Replaced by someone else: kept, also later.
    g.Pasted(t, true, true, 7);
    EXPECT_FALSE(g.ClearDue(t + 1, 8) || g.ClearDue(t + 10000, 7));
    // Not sealed, restored, a later Public paste over it, or switched off: nothing to clear.
    for (auto [sealed, stays] : {std::pair{false, true}, std::pair{true, false}}) {
        g.Pasted(t, sealed, stays, 7);
        EXPECT_FALSE(g.ClearDue(t + 10000, 7));
    }
    g.Pasted(t, true, true, 7);
    g.Pasted(t + 5, false, true, 8);
    EXPECT_FALSE(g.ClearDue(t + 10005, 8));
    g.Configure(0, 0);
    g.Pasted(t, true, true, 7);
    EXPECT_FALSE(g.ClearDue(t + 100000, 7));
}

TEST(PrivateGuard, LocksAfterIdleMinutesAndAtTheSessionLockButNotUnderAnEditor) {
    Guard g;
    g.Configure(0, 10);
    const uint32_t minute = 60000;
    EXPECT_FALSE(g.LockDue(0, true, false));  // opened now
    g.Clicked(5 * minute);
    EXPECT_FALSE(g.LockDue(14 * minute, true, false));
    EXPECT_FALSE(g.LockDue(16 * minute, true, true));  // the editor counts as use
    EXPECT_FALSE(g.LockDue(25 * minute, true, false));
    EXPECT_TRUE(g.LockDue(26 * minute, true, false));
    // Opened again later: its idle time starts then.
    EXPECT_FALSE(g.LockDue(27 * minute, false, false) || g.LockDue(40 * minute, true, false) ||
                 g.LockDue(49 * minute, true, false));
    // The session's lock waits for the editor, then closes at once, also with the idle lock off.
    g.Configure(0, 0);
    g.SessionLocked();
    EXPECT_FALSE(g.LockDue(100 * minute, true, true));
    EXPECT_TRUE(g.LockDue(100 * minute, true, false));
    EXPECT_FALSE(g.LockDue(999 * minute, true, false));
    // A lock while Private was not open is not kept for a later unlock.
    g.SessionLocked();
    EXPECT_FALSE(g.LockDue(1000 * minute, false, false) || g.LockDue(1001 * minute, true, false));
}
