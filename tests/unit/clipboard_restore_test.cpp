#include <gtest/gtest.h>

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
        eng.RestoreClipboard = true;
        eng.Mode = PasteMode::Kensho;
        eng.Text4 = paste::HandleToText(kNotepad);
        desk.targetProcess = kNotepadProcess;
        desk.clipboard = L"https://example.jp/";
    }
    size_t At(const std::string& call) const {
        return std::find(desk.calls.begin(), desk.calls.end(), call) - desk.calls.begin();
    }
    FakeDesktop desk;
    PasteEngine eng{desk};
    const std::vector<std::wstring> texts{L"", L"青木　純", L"若葉商会"};
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
    if constexpr (sizeof(wchar_t) == 4)  // 🌸 as one unit plans as its two halves
        EXPECT_EQ(typing::Plan(std::wstring(1, wchar_t(0x1F338))), typing::Plan(std::wstring(L"\xD83C\xDF38")));
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
    EXPECT_EQ(eng.Command1_Click(0, 2, texts), PasteOutcome::Sent);
    EXPECT_EQ(desk.received, (std::vector<std::wstring>{L"", L"青木　純"}));
    EXPECT_LT(At("save"), At("offer"));
    EXPECT_LT(At("request 77 refused"), At("key 17 29 1"));
    EXPECT_LT(At("request 42 given"), At("key 9 15 1"));
    EXPECT_EQ(desk.calls.back(), "restore");  // at once: no wait for the bound
    EXPECT_EQ(desk.clipboard, L"https://example.jp/");
}

TEST_F(RestoreTest, UnaskedTextComesBackAfterTheBoundAndAHeldClipboardOnATimerTick) {
    desk.restoreBusy = 1;
    eng.Command1_Click(1, 2, texts);
    EXPECT_EQ(std::count(desk.calls.begin(), desk.calls.end(), "wait 10"), 200);
    EXPECT_EQ(desk.clipboard, L"(offered)");
    desk.calls.clear();
    eng.Timer1_Timer();
    EXPECT_EQ(desk.calls.front(), "restore once");
    EXPECT_EQ(desk.clipboard, L"https://example.jp/");
    desk.calls.clear();
    eng.Timer1_Timer();
    EXPECT_EQ(At("restore once"), desk.calls.size());  // nothing left to put back
}

TEST_F(RestoreTest, ClickDuringARestoringPasteWaitsItsTurn) {
    desk.targetAsks = kNotepadProcess;
    desk.onEvents = [&] { EXPECT_EQ(eng.Command1_Click(1, 2, texts), PasteOutcome::Queued); };
    eng.Command1_Click(0, 2, texts);
    EXPECT_EQ(desk.received, (std::vector<std::wstring>{L"青木　純", L"若葉商会"}));
    EXPECT_LT(At("restore"), std::find(desk.calls.begin() + At("offer") + 1, desk.calls.end(), "offer") - desk.calls.begin());
}

TEST_F(RestoreTest, PrivateTextIsMarkedWhereverItGoesOnTheClipboardAndRestoringKeyButtonsLeaveIt) {
    eng.Command1_Click(0, 2, texts, {.fromPrivate = true});
    eng.KeyButton(KeyButtonId::Command6);  // the clipboard stays the user's
    eng.RestoreClipboard = false;
    eng.KeyButton(KeyButtonId::Command5);
    eng.Command1_Click(1, 2, texts);
    EXPECT_EQ(desk.Only("offer"), (Calls{"offer private"}));
    EXPECT_EQ(desk.Only("clipboard"), (Calls{"clipboard private", "clipboard"}));
}

TEST_F(RestoreTest, ShiftClickWaitsForShiftThenTypesWithoutTheClipboard) {
    desk.shiftHeldPolls = 3;
    EXPECT_EQ(eng.Command1_Click(1, 2, texts, {.typed = true}), PasteOutcome::Sent);
    EXPECT_EQ(std::count(desk.calls.begin(), desk.calls.end(), "shift?"), 4);
    EXPECT_TRUE(At("shift?") < At("front 500") && At("sleep 100") < At("type 8") && At("type 8") < At("key 9 15 1"));
    EXPECT_EQ(desk.typed, typing::Plan(L"若葉商会"));
    EXPECT_TRUE(desk.Only("clipboard").empty() && desk.Only("save").empty() && desk.Only("offer").empty());
}
