#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "fake_desktop.h"
#include "panel/paste_logic.h"

using Calls = std::vector<std::string>;

namespace {
constexpr uintptr_t kPanel = 100;
constexpr uintptr_t kNotepad = 500;

// Key events as the engine must send them, scan codes of a Japanese keyboard.
const Calls kCtrlV = {"key 17 29 1", "key 86 47 1", "key 86 47 3", "key 17 29 3"};
const Calls kTab = {"key 9 15 1", "key 9 15 3"};
const Calls kEnter = {"key 13 28 1", "key 13 28 3"};

Calls Join(std::initializer_list<Calls> parts) {
    Calls out;
    for (const auto& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

class PasteEngineTest : public ::testing::Test {
protected:
    void SetUp() override {
        eng.Panel = kPanel;
        eng.Own = &own_;
        eng.OsMajor = 10;
        eng.OsMinor = 0;
        eng.ParkFocus = [this] { desk.calls.push_back("park"); };
        eng.AfterPaste = [this](const PasteDone& d) { done.push_back(d); };
        desk.titles[kNotepad] = L"無題 - メモ帳";
        desk.titles[kPanel] = L"ハリコ";
        // The cursor far from the panel, so samples never hover-activate unless a test says so.
        desk.rect = {1000, 200, 1122, 700};
        desk.cursor = {10, 10};
    }
    OwnWindowTable own_;

    // One timer tick with window h in front.
    void Sample(uintptr_t h) {
        desk.foreground = h;
        eng.SampleForeground();
    }
    // Notepad chosen as the target, then the user clicks the panel.
    void TargetNotepad() {
        Sample(kNotepad);
        Sample(kPanel);
        desk.calls.clear();
    }
    PasteOutcome Paste(const std::wstring& text, PasteSource source = PasteSource::EntryClick) {
        return eng.Submit({.text = text, .source = source});
    }
    PasteOutcome Key(KeyButtonId which) { return eng.Submit({.source = PasteSource::KeyButton, .key = which}); }
    bool NoticeShown() const {
        return desk.messages.size() == 1 && desk.messages[0].title == paste::kNoticeTitle &&
               desk.messages[0].text == paste::kNoticeText && desk.messages[0].flags == 0x30;
    }

    FakeDesktop desk;
    FakeChoices choices;
    std::vector<PasteDone> done;
    PasteEngine eng{desk, choices};
};
}  // namespace

// ---- SendKeyStroke ----

TEST_F(PasteEngineTest, SendKeyStrokeAsksTheScanCodeBeforeEveryEventAndWaits50ms) {
    eng.SendKeyStroke(17, 86, 0);
    EXPECT_EQ(desk.calls, (Calls{"scan 17", "key 17 29 1", "scan 86", "key 86 47 1", "scan 86",
                                 "key 86 47 3", "scan 17", "key 17 29 3", "sleep 50"}));
    desk.calls.clear();
    eng.SendKeyStroke(9, 0, 0);
    EXPECT_EQ(desk.calls, (Calls{"scan 9", "key 9 15 1", "scan 9", "key 9 15 3", "sleep 50"}));
}

TEST_F(PasteEngineTest, SendKeyStrokeThreeKeysHoldsTheFirst) {
    eng.SendKeyStroke(17, 86, 13);
    EXPECT_EQ(desk.Keys(), (Calls{"key 17 29 1", "key 86 47 1", "key 86 47 3", "key 13 28 1",
                                  "key 13 28 3", "key 17 29 3"}));
    desk.calls.clear();
    eng.SendKeyStroke(0, 5, 7);
    EXPECT_EQ(desk.calls, (Calls{"sleep 50"}));
    // Only the low byte of a code is a virtual key.
    desk.calls.clear();
    eng.SendKeyStroke(0x100 + 13, 0, 0);
    EXPECT_EQ(desk.Keys(), kEnter);
}

// ---- A paste and the key buttons ----

TEST_F(PasteEngineTest, StandardModePastePutsTheTextOnTheClipboardAndSendsCtrlVToTheTargetInFront) {
    TargetNotepad();
    EXPECT_EQ(Paste(L"青木　純"), PasteOutcome::Sent);
    EXPECT_EQ(desk.clipboard, L"青木　純");
    EXPECT_EQ(desk.Keys(), kCtrlV);
    EXPECT_EQ(desk.foreground, kNotepad);
    // The keys only once the target was seen in front, and after its settling pause.
    const auto at = [&](const std::string& c) { return std::find(desk.calls.begin(), desk.calls.end(), c) - desk.calls.begin(); };
    EXPECT_LT(at("front 500"), at("sleep 100"));
    EXPECT_LT(at("sleep 100"), at("key 17 29 1"));
    EXPECT_TRUE(desk.messages.empty());
    ASSERT_EQ(done.size(), 1u);
    EXPECT_EQ(done[0].outcome, PasteOutcome::Sent);
    EXPECT_FALSE(done[0].isPrivate);
}

TEST_F(PasteEngineTest, ThenTabAddsTabAndThenEnterAddsEnter) {
    TargetNotepad();
    choices.choices.mode = PasteMode::ThenTab;
    Paste(L"東京都");
    EXPECT_EQ(desk.Keys(), Join({kCtrlV, kTab}));
    EXPECT_EQ(desk.Only("sleep"), (Calls{"sleep 100", "sleep 50", "sleep 50"}));

    desk.calls.clear();
    choices.choices.mode = PasteMode::ThenEnter;
    Paste(L"東京都");
    EXPECT_EQ(desk.Keys(), Join({kCtrlV, kEnter}));
    EXPECT_EQ(desk.Only("sleep"), (Calls{"sleep 100", "sleep 50", "sleep 50"}));

    desk.calls.clear();
    choices.choices.mode = PasteMode::PasteOnly;
    Paste(L"東京都");
    EXPECT_EQ(desk.Keys(), kCtrlV);
    EXPECT_EQ(desk.Only("sleep"), (Calls{"sleep 100", "sleep 50"}));

    // A hotkey's target never left the front: no focus moved, no settling pause.
    desk.calls.clear();
    desk.foreground = kNotepad;
    Paste(L"東京都", PasteSource::HotKey);
    EXPECT_EQ(desk.Keys(), kCtrlV);
    EXPECT_EQ(desk.Only("sleep"), (Calls{"sleep 50"}));
    EXPECT_TRUE(desk.Only("park").empty());
}

TEST_F(PasteEngineTest, KeyButtonsPutTheLastTextBackAndSendTheirKeysOnly) {
    TargetNotepad();
    Paste(L"前の文");
    desk.calls.clear();
    desk.clipboard = L"something else";

    EXPECT_EQ(Key(KeyButtonId::Prev), PasteOutcome::Sent);
    EXPECT_EQ(desk.clipboard, L"前の文");
    EXPECT_EQ(desk.Keys(), (Calls{"key 16 42 1", "key 9 15 1", "key 9 15 3", "key 16 42 3",
                                  "key 46 83 1", "key 46 83 3"}));
    EXPECT_EQ(desk.Only("sleep"), (Calls{"sleep 100", "sleep 50", "sleep 50"}));
    EXPECT_EQ(desk.calls.front(), "alive 500");

    desk.calls.clear();
    Key(KeyButtonId::Next);
    EXPECT_EQ(desk.Keys(), kTab);
    desk.calls.clear();
    Key(KeyButtonId::NewLine);
    EXPECT_EQ(desk.Keys(), kEnter);
    EXPECT_EQ(desk.Only("sleep"), (Calls{"sleep 100", "sleep 50"}));
}

TEST_F(PasteEngineTest, EntryButtonPastesItsEntryEvenTheOnlyOne) {
    const std::vector<Entry> entries = {{L"", L"山田", L""}, {L"", L"太郎", L""}, {L"", L"様", L""}};
    TargetNotepad();

    Paste(paste::EntryText(entries, 3, 1));
    EXPECT_EQ(desk.clipboard, L"太郎");

    Paste(paste::EntryText(entries, 3, 3));  // a button with no entry
    EXPECT_EQ(desk.clipboard, L"");

    // A file of one record shows its entry, and its button pastes it.
    for (int count : {0, 1}) {
        desk.clipboard = L"old";
        desk.calls.clear();
        Paste(paste::EntryText(entries, count, 0));
        EXPECT_EQ(desk.clipboard, count ? L"山田" : L"") << count;
        EXPECT_EQ(desk.Keys(), kCtrlV) << count;
    }
}

// ---- What stops a paste ----

TEST_F(PasteEngineTest, NoTargetShowsTheNoticeAndLeavesTheClipboard) {
    EXPECT_EQ(Paste(L"テキスト"), PasteOutcome::NoTarget);
    EXPECT_TRUE(NoticeShown());
    EXPECT_EQ(desk.clipboard, L"(earlier clipboard text)");
    EXPECT_EQ(desk.clipboardWrites, 0);
    EXPECT_TRUE(desk.Keys().empty());

    desk.messages.clear();
    desk.calls.clear();
    EXPECT_EQ(Key(KeyButtonId::Next), PasteOutcome::NoTarget);
    EXPECT_TRUE(NoticeShown());
    EXPECT_TRUE(desk.Only("park").empty());  // not even the focus moves
}

TEST_F(PasteEngineTest, ClosedTargetShowsTheNoticeAndLeavesTheClipboard) {
    TargetNotepad();
    desk.dead.insert(kNotepad);
    EXPECT_EQ(Paste(L"テキスト"), PasteOutcome::TargetGone);
    EXPECT_TRUE(NoticeShown());
    EXPECT_EQ(desk.clipboardWrites, 0);
    EXPECT_TRUE(desk.Keys().empty());
    EXPECT_EQ(eng.Target(), kNotepad);
}

TEST_F(PasteEngineTest, LockedClipboardGivesAMessageAndNoKeys) {
    TargetNotepad();
    desk.clipResult = ClipResult::Busy;
    EXPECT_EQ(Paste(L"新しい文"), PasteOutcome::ClipboardBusy);
    ASSERT_EQ(desk.messages.size(), 1u);
    EXPECT_EQ(desk.messages[0].title, L"ハリコ");
    EXPECT_EQ(desk.messages[0].text, paste::kClipboardBusyText);
    EXPECT_EQ(desk.messages[0].flags, 0x30u);
    EXPECT_TRUE(desk.Keys().empty());
    EXPECT_TRUE(desk.Only("front").empty());
    EXPECT_EQ(desk.clipboard, L"(earlier clipboard text)");

    desk.messages.clear();
    desk.calls.clear();
    desk.clipResult = ClipResult::Failed;
    EXPECT_EQ(Key(KeyButtonId::NewLine), PasteOutcome::ClipboardFailed);
    ASSERT_EQ(desk.messages.size(), 1u);
    EXPECT_EQ(desk.messages[0].text, paste::kClipboardFailedText);
    EXPECT_TRUE(desk.Keys().empty());
}

TEST_F(PasteEngineTest, TargetThatNeverComesForwardGetsNoKeys) {
    TargetNotepad();
    desk.refusesFront.insert(kNotepad);
    EXPECT_EQ(Paste(L"文"), PasteOutcome::TargetNotInFront);
    EXPECT_TRUE(desk.Keys().empty());
    EXPECT_TRUE(NoticeShown());
    // Polled every 20 ms for 300 ms, and the fixed 100 ms wait never started.
    EXPECT_EQ(desk.Only("sleep"), Calls(15, "sleep 20"));
    EXPECT_EQ(desk.Only("foreground").size(), 16u);
}

TEST_F(PasteEngineTest, TargetComingForwardLateIsWaitedFor) {
    TargetNotepad();
    desk.frontDelayPolls = 3;
    EXPECT_EQ(Paste(L"文"), PasteOutcome::Sent);
    EXPECT_EQ(desk.Only("sleep"),
              (Calls{"sleep 20", "sleep 20", "sleep 20", "sleep 100", "sleep 50"}));
    EXPECT_EQ(desk.Keys(), kCtrlV);
}

TEST_F(PasteEngineTest, ElevatedTargetIsExplainedInsteadOfTyping) {
    TargetNotepad();
    desk.elevated.insert(kNotepad);
    EXPECT_EQ(Paste(L"管理者へ"), PasteOutcome::TargetElevated);
    ASSERT_EQ(desk.messages.size(), 1u);
    EXPECT_EQ(desk.messages[0].title, L"ハリコ");
    EXPECT_EQ(desk.messages[0].text, paste::kTargetElevatedText);
    EXPECT_TRUE(desk.Keys().empty());
    EXPECT_TRUE(desk.Only("front").empty());
    EXPECT_EQ(desk.clipboard, L"管理者へ");  // still there to paste by hand
}

TEST(PasteTexts, MessagesReadAsTheUserSeesThem) {
    EXPECT_EQ(paste::kNoticeTitle, L"あわてないで！ by ハリコ");
    EXPECT_EQ(paste::kNoticeText,
              L"入力先をクリックして、もう一度\r\n\r\nボタンをクリックしてください。");
    EXPECT_EQ(paste::kClipboardBusyText,
              L"クリップボードが他のアプリケーションで使用中のため、貼り付けできませんでした。\r\n\r\n"
              L"しばらくしてから、もう一度ボタンをクリックしてください。");
    EXPECT_EQ(paste::kTargetElevatedText,
              L"入力先のアプリケーションは管理者として実行されているため、ハリコからは入力できません。"
              L"\r\n\r\nテキストはクリップボードにありますので、入力先で Ctrl+V を押して貼り付けてください。");
    EXPECT_EQ(paste::ModeToolTip(PasteMode::PasteOnly), L"ﾓｰﾄﾞ切替/現在...標準ﾓｰﾄﾞ");
    EXPECT_EQ(paste::ModeToolTip(PasteMode::ThenTab), L"ﾓｰﾄﾞ切替/現在...懸賞ﾓｰﾄﾞ");
    EXPECT_EQ(paste::ModeToolTip(PasteMode::ThenEnter), L"ﾓｰﾄﾞ切替/現在...文書ﾓｰﾄﾞ");
}

// ---- Target choice ----

TEST_F(PasteEngineTest, SampledWindowBecomesTheTarget) {
    EXPECT_EQ(eng.Target(), 0u);
    EXPECT_EQ(eng.FrontWindow(), std::nullopt);
    Sample(kNotepad);
    EXPECT_EQ(eng.FrontTitle(), L"無題 - メモ帳");
    EXPECT_EQ(eng.FrontWindow(), kNotepad);
    EXPECT_EQ(eng.Target(), kNotepad);
    // Another program's message box titled like ours is an ordinary target.
    desk.titles[600] = L"ハリコ";
    Sample(600);
    EXPECT_EQ(eng.Target(), 600u);
}

TEST_F(PasteEngineTest, OwnWindowsNeverBecomeTheTargetButTheColourChooserCan) {
    OwnWindowTable& own = own_;
    own = {2, 3, 4, 5, 6, 7, 8, 9};
    Sample(kNotepad);
    for (uintptr_t mine : {kPanel, own.entryEditor, own.fortuneScreen, own.passwordDialog, own.newCopyDialog, own.textEditor,
                           own.restoreDialog, own.aboutBox}) {
        Sample(mine);
        EXPECT_EQ(eng.FrontWindow(), mine);
        EXPECT_EQ(eng.Target(), kNotepad) << mine;
    }
    Sample(own.colourChooser);
    EXPECT_EQ(eng.Target(), 8u);
}

TEST_F(PasteEngineTest, NoticeBoxIsNeverTheTargetInAnyLetterCase) {
    Sample(kNotepad);
    for (const wchar_t* title : {L"あわてないで！ by ハリコ", L"あわてないで！ BY ハリコ",
                                 L"あわてないで！ bY ハリコ"}) {
        desk.titles[700] = title;
        Sample(700);
        EXPECT_EQ(eng.Target(), kNotepad) << static_cast<const void*>(title);
    }
    // A title that only starts like it is a normal window.
    desk.titles[701] = L"あわてないで！ by ハリ";
    Sample(701);
    EXPECT_EQ(eng.Target(), 701u);
}

TEST_F(PasteEngineTest, MomentWithNoWindowInFrontKeepsTheTarget) {
    Sample(kNotepad);
    Sample(0);
    EXPECT_EQ(eng.FrontWindow(), 0u);
    EXPECT_EQ(eng.Target(), kNotepad);
}

TEST_F(PasteEngineTest, HandlesShowAsSigned32BitTextAndAreKeptWhole) {
    const auto wide = static_cast<uintptr_t>(static_cast<intptr_t>(INT32_MIN + 0x1234));
    EXPECT_EQ(paste::HandleToText(wide), L"-2147478988");
    EXPECT_EQ(paste::HandleToText(0), L"0");

    desk.titles[wide] = L"電卓";
    Sample(wide);
    Paste(L"1");
    EXPECT_EQ(desk.Only("front").back(), "front " + std::to_string(wide));
    EXPECT_EQ(desk.Keys(), kCtrlV);
}

// ---- Hover activation ----

TEST_F(PasteEngineTest, HoverRegionsHaveStrictEdges) {
    Sample(kNotepad);
    // rect {1000, 200, 1122, 700}: top strip y in (200, 230), scroll column x in (1100, 1122).
    struct Case {
        int x, y;
        bool activates;
    };
    const Case cases[] = {
        {1050, 229, true},  {1050, 230, false}, {1050, 200, false}, {1000, 210, false},
        {1001, 210, true},  {1121, 210, true},  {1122, 210, false}, {1100, 500, false},
        {1101, 500, true},  {1121, 699, true},  {1121, 700, false}, {1050, 500, false},
    };
    for (const Case& c : cases) {
        desk.calls.clear();
        desk.cursor = {c.x, c.y};
        Sample(kNotepad);
        const Calls after = {"front 100", "doevents",
                             "mouseup " + std::to_string(c.x) + " " + std::to_string(c.y), "doevents"};
        const bool activated = desk.Only("front") == Calls{"front 100"};
        EXPECT_EQ(activated, c.activates) << c.x << "," << c.y;
        if (activated) {
            EXPECT_EQ(Calls(desk.calls.end() - 4, desk.calls.end()), after);
        }
    }
    // The panel in front afterwards does not take the target's place.
    Sample(kPanel);
    EXPECT_EQ(eng.Target(), kNotepad);
}

TEST_F(PasteEngineTest, HoverOnlyWhenAllowed) {
    OwnWindowTable& own = own_;
    own = {2, 3, 4, 5, 6, 7, 8, 9};
    desk.cursor = {1110, 400};
    auto activates = [&](uintptr_t front) {
        desk.calls.clear();
        Sample(front);
        return !desk.Only("mouseup").empty();
    };
    EXPECT_TRUE(activates(kNotepad));
    for (uintptr_t h : {kPanel, own.entryEditor, own.passwordDialog, own.newCopyDialog, own.textEditor, own.restoreDialog, own.colourChooser})
        EXPECT_FALSE(activates(h)) << h;
    EXPECT_TRUE(activates(own.fortuneScreen));
    EXPECT_TRUE(activates(own.aboutBox));

    eng.OsMajor = 5;
    eng.OsMinor = 0;
    EXPECT_FALSE(activates(kNotepad));
    eng.OsMinor = 1;
    EXPECT_TRUE(activates(kNotepad));

    choices.dataSetChosen = false;
    EXPECT_FALSE(activates(777));
    EXPECT_EQ(eng.Target(), 777u);  // tracking goes on during the first-run set-up
}

TEST_F(PasteEngineTest, HoverStripsGrowWithTheScreenDpi) {
    eng.Dpi = 144;  // 45-pixel strip, column beyond 150 pixels
    desk.rect = {1000, 200, 1183, 900};
    auto activates = [&](int x, int y) {
        desk.calls.clear();
        desk.cursor = {x, y};
        Sample(kNotepad);
        return !desk.Only("mouseup").empty();
    };
    EXPECT_TRUE(activates(1050, 244));
    EXPECT_FALSE(activates(1050, 245));
    EXPECT_FALSE(activates(1150, 500));  // still over the entry buttons
    EXPECT_TRUE(activates(1151, 500));
}

// ---- Paste mode ----

TEST_F(PasteEngineTest, ModeButtonContinuesFromItsOwnPositionAfterAMenuChoice) {
    PanelChoices& c = choices.choices;
    eng.SetModePosition(0);
    EXPECT_TRUE(c.ChooseMode(PasteMode::ThenEnter));  // 文書ﾓｰﾄﾞ from the menu
    EXPECT_EQ(eng.ModePosition(), 0);
    EXPECT_EQ(eng.AdvanceModePosition(), PasteMode::ThenTab);
    EXPECT_TRUE(c.ChooseMode(PasteMode::ThenTab));
    EXPECT_EQ(eng.AdvanceModePosition(), PasteMode::ThenEnter);
    EXPECT_EQ(eng.AdvanceModePosition(), PasteMode::PasteOnly);
    // Choosing the mode that is ticked already changes no tick.
    EXPECT_FALSE(c.ChooseMode(PasteMode::ThenTab));
    EXPECT_EQ(c.mode, PasteMode::ThenTab);
}

TEST(TitleBytes, CutWhereA25ByteBufferWouldWithoutSplittingACharacter) {
    const std::string notice =
        "\x82\xA0\x82\xED\x82\xC4\x82\xC8\x82\xA2\x82\xC5\x81\x49\x20\x62\x79\x20\x83\x6E\x83\x8A\x83\x52";
    ASSERT_EQ(notice.size(), 24u);
    EXPECT_EQ(paste::CutTitleBytes932(notice), notice);
    EXPECT_EQ(paste::CutTitleBytes932(notice + "\x82\xC5\x82\xB7"), notice);
    // One byte more in front: the last character no longer fits and goes whole.
    EXPECT_EQ(paste::CutTitleBytes932("a" + notice), "a" + notice.substr(0, 22));
    // Half-width katakana are single bytes.
    EXPECT_EQ(paste::CutTitleBytes932(std::string(30, '\xB1')), std::string(24, '\xB1'));
    EXPECT_EQ(paste::CutTitleBytes932(std::string("ab\0cd", 5)), "ab");
    EXPECT_EQ(paste::CutTitleBytes932("\x82"), "");
}

TEST_F(PasteEngineTest, FieldsFillInOnlyWhenTickedAndTheCaretReplacesTheModeKey) {
    TargetNotepad();
    choices.choices.mode = PasteMode::ThenEnter;
    const std::wstring text = L"{和暦}（{曜日}）{カーソル}様 {クリップボード}";
    Paste(text);
    EXPECT_EQ(desk.clipboard, text);
    EXPECT_EQ(desk.Keys(), Join({kCtrlV, kEnter}));
    EXPECT_TRUE(desk.Only("read clipboard").empty());

    desk.calls.clear();
    desk.clipboard = L"𠮷";
    choices.choices.insertFields = true;
    Paste(text);
    EXPECT_EQ(desk.clipboard, L"令和8年12月7日（月）様 𠮷");
    EXPECT_EQ(eng.ShownLastText(), desk.clipboard);
    const Calls left = {"key 37 127 1", "key 37 127 3"};
    EXPECT_EQ(desk.Keys(), Join({kCtrlV, left, left, left}));
    EXPECT_EQ(desk.Only("read clipboard").size(), 1u);
}

// ---- One queue, and Private kept Private ----

// Clicks and hotkeys that arrive while a paste lets events through wait their turn: each
// paste runs whole, in the order they came, none inside another.
TEST_F(PasteEngineTest, RequestsArrivingInsideEveryPumpRunAfterInOrder) {
    TargetNotepad();
    std::vector<std::wstring> pasted;
    int next = 2;
    std::function<void()> arrive = [&] {
        if (next <= 4) EXPECT_EQ(Paste(std::to_wstring(next++), PasteSource::HotKey), PasteOutcome::Queued);
        desk.onEvents = arrive;
    };
    desk.onEvents = arrive;
    eng.AfterPaste = [&](const PasteDone&) { pasted.push_back(desk.clipboard); };
    EXPECT_EQ(Paste(L"1"), PasteOutcome::Sent);
    desk.onEvents = nullptr;
    EXPECT_EQ(pasted, (std::vector<std::wstring>{L"1", L"2", L"3", L"4"}));
    EXPECT_EQ(desk.Keys().size(), 16u);  // four whole Ctrl+V, none cut into another
}

TEST_F(PasteEngineTest, APrivateTextNeverShowsAndStaysPrivateWhenFilledInOrAfterTheLock) {
    TargetNotepad();
    choices.choices.insertFields = true;
    Paste(L"公開の文");
    // The hotkey's Private text is known as Private before the first event runs.
    desk.onEvents = [&] { EXPECT_EQ(eng.ShownLastText(), L""); };
    eng.Submit({.text = L"口座 1234567", .isPrivate = true, .source = PasteSource::HotKey});
    EXPECT_EQ(eng.ShownLastText(), L"");
    EXPECT_EQ(desk.clipboard, L"口座 1234567");
    // A field filled with that text, still on the clipboard, carries it as Private.
    Paste(L"控え: {クリップボード}");
    EXPECT_EQ(desk.Only("clipboard"), (Calls{"clipboard", "clipboard private", "clipboard private"}));
    ASSERT_EQ(done.size(), 3u);
    EXPECT_TRUE(done[1].isPrivate && done[2].isPrivate);
    // Private closed: 次へ sends its Tab and puts nothing of it back on the clipboard.
    eng.ForgetPrivateText();
    desk.clipboard = L"ユーザーのコピー";
    EXPECT_EQ(Key(KeyButtonId::Next), PasteOutcome::Sent);
    EXPECT_EQ(desk.clipboard, L"ユーザーのコピー");
    EXPECT_EQ(desk.Keys().back(), "key 9 15 3");
}

TEST_F(PasteEngineTest, TheCaretGoesStraightToItsPlaceInAnEditAndElsewhereWalksAThousandAtMost) {
    TargetNotepad();
    choices.choices.insertFields = true;
    desk.editFocused = true;
    Paste(L"{カーソル}ab\r\nう");
    EXPECT_EQ(desk.caretUnitsBack, 5);  // an edit control counts CR LF as two
    EXPECT_EQ(desk.Keys(), kCtrlV);
    desk.editFocused = false;
    desk.calls.clear();
    Paste(L"{カーソル}" + std::wstring(1000, L'x'));
    EXPECT_EQ(desk.Keys().size(), 4u + 2000u);
    desk.calls.clear();
    Paste(L"{カーソル}" + std::wstring(1001, L'x'));
    EXPECT_EQ(desk.Keys(), kCtrlV);  // the caret stays at the end
}
