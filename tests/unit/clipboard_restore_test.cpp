#include <gtest/gtest.h>

#include <algorithm>

#include "fake_desktop.h"
#include "panel/paste_logic.h"

using Calls = std::vector<std::string>;

namespace {
constexpr uintptr_t kNotepad = 500;
constexpr uint32_t kNotepadProcess = 42, kMonitorProcess = 77;

class RestoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        eng.Panel = 100;
        choices.choices.clipRestore = true;
        choices.choices.mode = PasteMode::ThenTab;
        eng.KeepTarget(kNotepad);
        desk.targetProcess = kNotepadProcess;
        desk.clipboard = L"https://example.jp/";
    }
    size_t At(const std::string& call) const {
        return std::find(desk.calls.begin(), desk.calls.end(), call) - desk.calls.begin();
    }
    FakeDesktop desk;
    FakeChoices choices;
    PasteEngine eng{desk, choices};
    const std::vector<Entry> entries{{L"", L"青木　純", L""}, {L"", L"若葉商会", L""}};
    std::wstring Text(int slot) const { return paste::EntryText(entries, 2, slot); }
    PasteOutcome Paste(const std::wstring& text, bool isPrivate = false, bool typed = false) {
        return eng.Submit({.text = text, .isPrivate = isPrivate, .typed = typed});
    }
    PasteOutcome Key(KeyButtonId which) { return eng.Submit({.source = PasteSource::KeyButton, .key = which}); }
};
}  // namespace

TEST(TypingPlan, LineBreaksBecomeEnterAndSurrogatePairsStayTogether) {
    auto ch = [](uint16_t u) { return std::vector<KeyInput>{{0, u, false}, {0, u, true}}; };
    const std::vector<KeyInput> enter{{13, 0, false}, {13, 0, true}};
    std::vector<KeyInput> want;
    for (const auto& part : {ch(L'a'), enter, ch(L'b'), enter, enter, ch(0xD83C), ch(0xDF38), ch(L'\t')})
        want.insert(want.end(), part.begin(), part.end());
    // CR LF, a lone LF, a lone CR, 🌸 as its two halves, and a Tab typed as a character.
    EXPECT_EQ(typing::Plan(std::wstring(L"a\r\nb\n\r") + wchar_t(0xD83C) + wchar_t(0xDF38) + L"\t"), want);
    if constexpr (sizeof(wchar_t) == 4) {  // 🌸 as one unit plans as its two halves
        EXPECT_EQ(typing::Plan(std::wstring(1, wchar_t(0x1F338))), typing::Plan(std::wstring(L"\xD83C\xDF38")));
    }
}

// Formats that take 0, 120, never, 0 and then never ms: the owner's half second goes to the
// ones it renders; once spent, data on the clipboard still comes at once, each unanswered
// request costs a short grace, and when those are spent the rest is left out.
TEST(SaveBudgetRule, WhatArrivesBeforeTheTimeRunsOutIsKeptAndTheWaitStaysUnderASecond) {
    constexpr int kNever = 1 << 20;
    SaveBudget budget;
    std::string kept;
    int total = 0;
    for (int takes : {0, 120, kNever, 0, kNever, kNever, kNever, kNever, kNever, kNever, kNever, 0}) {
        const int allow = budget.Allow(), ms = std::min(takes, allow);
        if (allow == 0) break;
        kept += takes <= allow ? 'k' : '-', total += ms, budget.Took(ms);
    }
    EXPECT_EQ(kept + " " + std::to_string(total), "kk-k------ 800");
}

TEST(RestoreGateRule, NothingBeforeTheKeysAndOnlyTheTargetsRequestCounts) {
    RestoreGate gate;
    gate.Offered(kNotepadProcess);
    // No Ctrl+V yet: whoever asks is no paste of ours.
    EXPECT_FALSE(gate.Request(kMonitorProcess) || gate.Request(kNotepadProcess));
    gate.KeysSent();
    EXPECT_TRUE(gate.Request(kMonitorProcess) && gate.Request(0) && !gate.Taken());
    EXPECT_TRUE(gate.Request(kNotepadProcess) && gate.Taken());
    gate.Offered(kNotepadProcess);
    EXPECT_FALSE(gate.Taken());
}

TEST_F(RestoreTest, MonitorAskingFirstGetsNothingAndTheUsersClipboardReturnsAfterTheModesKey) {
    desk.monitor = kMonitorProcess;
    desk.targetAsks = kNotepadProcess;
    EXPECT_EQ(Paste(Text(0)), PasteOutcome::Sent);
    EXPECT_EQ(desk.received, (std::vector<std::wstring>{L"", L"青木　純"}));
    EXPECT_LT(At("save"), At("offer"));
    EXPECT_LT(At("request 77 refused"), At("key 17 29 1"));
    EXPECT_LT(At("request 42 given"), At("key 9 15 1"));
    EXPECT_EQ(desk.calls.back(), "restore");  // at once: no wait for the bound
    EXPECT_EQ(desk.clipboard, L"https://example.jp/");
}

TEST_F(RestoreTest, UnaskedTextComesBackAfterTheBoundAndAHeldClipboardOnATimerTick) {
    desk.restoreBusy = 1;
    Paste(Text(1));
    EXPECT_EQ(std::count(desk.calls.begin(), desk.calls.end(), "wait 10"), 200);
    EXPECT_EQ(desk.clipboard, L"(offered)");
    desk.calls.clear();
    eng.SampleForeground();
    EXPECT_EQ(desk.calls.front(), "restore once");
    EXPECT_EQ(desk.clipboard, L"https://example.jp/");
    desk.calls.clear();
    eng.SampleForeground();
    EXPECT_EQ(At("restore once"), desk.calls.size());  // nothing left to put back
}

TEST_F(RestoreTest, ClickDuringARestoringPasteWaitsItsTurn) {
    desk.targetAsks = kNotepadProcess;
    desk.onEvents = [&] { EXPECT_EQ(Paste(Text(1)), PasteOutcome::Queued); };
    Paste(Text(0));
    EXPECT_EQ(desk.received, (std::vector<std::wstring>{L"青木　純", L"若葉商会"}));
    EXPECT_LT(At("restore"), std::find(desk.calls.begin() + At("offer") + 1, desk.calls.end(), "offer") - desk.calls.begin());
}

TEST_F(RestoreTest, PrivateTextIsMarkedWhereverItGoesOnTheClipboardAndRestoringKeyButtonsLeaveIt) {
    Paste(Text(0), true);
    Key(KeyButtonId::Next);  // the clipboard stays the user's
    choices.choices.clipRestore = false;
    Key(KeyButtonId::Prev);
    Paste(Text(1));
    EXPECT_EQ(desk.Only("offer"), (Calls{"offer private"}));
    EXPECT_EQ(desk.Only("clipboard"), (Calls{"clipboard private", "clipboard"}));
}

TEST_F(RestoreTest, ShiftClickWaitsForShiftThenTypesWithoutTheClipboard) {
    desk.shiftHeldPolls = 3;
    EXPECT_EQ(Paste(Text(1), false, true), PasteOutcome::Sent);
    EXPECT_EQ(std::count(desk.calls.begin(), desk.calls.end(), "shift?"), 4);
    EXPECT_TRUE(At("shift?") < At("front 500") && At("sleep 100") < At("type 8") && At("type 8") < At("key 9 15 1"));
    EXPECT_EQ(desk.typed, typing::Plan(L"若葉商会"));
    EXPECT_TRUE(desk.Only("clipboard").empty() && desk.Only("save").empty() && desk.Only("offer").empty());
}

// A click on the panel mid-typing waits until the whole text is in and the target came back;
// the focus gone elsewhere stops the rest, and the user is told how much went in.
TEST_F(RestoreTest, ClickDuringATypingWaitsForItsEndAndFocusElsewhereStopsIt) {
    const std::wstring text(40, L'あ');
    uintptr_t goesTo = eng.Panel;
    std::function<void()> click = [&] {
        if (desk.typed.empty()) return void(desk.onEvents = click);
        if (goesTo == eng.Panel) { EXPECT_EQ(Paste(Text(0)), PasteOutcome::Queued); }
        desk.foreground = goesTo;
    };
    desk.onEvents = click;
    EXPECT_EQ(Paste(text, false, true), PasteOutcome::Sent);
    EXPECT_EQ(desk.typed, typing::Plan(text));
    EXPECT_EQ(desk.Only("t"), (Calls{"type 32", "taken 32", "type 32", "taken 32", "type 16", "taken 16"}));
    EXPECT_LT(At("taken 16"), At("offer"));  // the click's paste, after the typing

    desk.typed.clear(), desk.calls.clear(), goesTo = 600, desk.onEvents = click;
    EXPECT_EQ(Paste(text, false, true), PasteOutcome::TypingCut);
    EXPECT_TRUE(desk.typed.size() == 32u && desk.Keys().empty());  // nor the mode's Tab
    ASSERT_EQ(desk.messages.size(), 1u);
    EXPECT_NE(desk.messages[0].text.find(L"40 文字中 16 文字を入力しました"), std::wstring::npos);
}
