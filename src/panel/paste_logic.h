#pragma once
// The paste engine: target-window tracking, hover activation, the clipboard and the
// synthetic keys of a paste, the key buttons and the paste mode. All desktop work goes
// through IDesktop so that the exact order of events can be tested without Windows.
#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "base/own_windows.h"
#include "panel/clipboard_logic.h"
#include "panel/desktop.h"
#include "panel/panel_logic.h"

namespace paste {
// Message box flags as MessageBoxW takes them.
constexpr uint32_t kMbOk = 0x0;
constexpr uint32_t kMbIconExclamation = 0x30;

constexpr uint32_t kKeyPress = 1;    // KEYEVENTF_EXTENDEDKEY
constexpr uint32_t kKeyRelease = 3;  // KEYEVENTF_EXTENDEDKEY | KEYEVENTF_KEYUP

constexpr int32_t kVkCtrl = 17, kVkV = 86, kVkTab = 9, kVkEnter = 13, kVkShift = 16, kVkDelete = 46;

constexpr int kAfterKeysMs = 50;
constexpr int kBeforeKeysMs = 100;
// After bringing the target forward: look every 20 ms, give up after 300 ms.
constexpr int kFrontPollMs = 20;
constexpr int kFrontPollLimitMs = 300;

inline const std::wstring kProgramTitle = L"ハリコ";

inline const std::wstring kNoticeTitle = L"あわてないで！ by ハリコ";
inline const std::wstring kNoticeText =
    L"入力先をクリックして、もう一度\r\n\r\nボタンをクリックしてください。";

inline const std::wstring kClipboardBusyText =
    L"クリップボードが他のアプリケーションで使用中のため、貼り付けできませんでした。\r\n\r\n"
    L"しばらくしてから、もう一度ボタンをクリックしてください。";
inline const std::wstring kClipboardFailedText =
    L"クリップボードにテキストを書き込めなかったため、貼り付けできませんでした。\r\n\r\n"
    L"しばらくしてから、もう一度ボタンをクリックしてください。";
inline const std::wstring kTargetElevatedText =
    L"入力先のアプリケーションは管理者として実行されているため、ハリコからは入力できません。\r\n\r\n"
    L"テキストはクリップボードにありますので、入力先で Ctrl+V を押して貼り付けてください。";

// The same when the clipboard does not hold the text (typing, or a paste that restores).
inline const std::wstring kTargetElevatedNoClipboardText =
    L"入力先のアプリケーションは管理者として実行されているため、ハリコからは入力できません。";

// The user's clipboard comes back once the target has the text, or after this long.
constexpr int kRestoreBoundMs = 2000;
constexpr int kRestorePollMs = 10;
// Shift+click types; the typing waits this long at most for Shift to be let go.
constexpr int kShiftReleaseLimitMs = 1000;

// Menu captions of the three modes and the mode button's tool tips.
inline const std::wstring kModeDefCaption = L"標準ﾓｰﾄﾞ";
inline const std::wstring kModeCaption = L"懸賞ﾓｰﾄﾞ";
inline const std::wstring kModeEntCaption = L"文書ﾓｰﾄﾞ";
inline const std::wstring kClipRestoreCaption = L"ｸﾘｯﾌﾟﾎﾞｰﾄﾞを元に戻す";
const std::wstring& ModeToolTip(PasteMode mode);

// Tool tips of the key buttons Command5, Command6, Command7.
inline const std::wstring kCommand5ToolTip = L"前へ";
inline const std::wstring kCommand6ToolTip = L"次へ";
inline const std::wstring kCommand7ToolTip = L"改行";

// Window handles travel as signed 32-bit decimal text (Text3, Text4); 64-bit Windows
// sign-extends handles from 32 bits, so the round trip is exact.
std::wstring HandleToText(uintptr_t h);
uintptr_t TextToHandle(const std::wstring& text);

// Code page 932 bytes of a title cut to what a buffer of maxBytes + 1 (the NUL) holds,
// dropping a lead byte whose trail byte did not fit.
std::string CutTitleBytes932(const std::string& bytes, size_t maxBytes = 24);

// Compared without regard to the case of Latin letters.
bool EqualsIgnoringCase(const std::wstring& a, const std::wstring& b);
}  // namespace paste

enum class PasteOutcome {
    Sent,              // keys went to the target
    NoTarget,          // notice shown, clipboard untouched
    TargetGone,        // the target window no longer exists: notice, clipboard untouched
    ClipboardBusy,     // message shown, no keys
    ClipboardFailed,   // message shown, no keys
    TargetElevated,    // message shown, no keys (a text put on the clipboard stays there)
    TargetNotInFront,  // notice shown, no keys
    Queued,            // came during a paste that waits for its restore: runs after it
};

// How an entry button was clicked.
struct EntryClick {
    bool fromPrivate = false;  // the text is a Private entry's
    bool typed = false;        // Shift held: type the text instead of pasting it
};

enum class KeyButtonId { Command5 = 5, Command6 = 6, Command7 = 7 };

class PasteEngine {
public:
    explicit PasteEngine(IDesktop& desktop) : desk_(desktop) {}

    // The engine's fields, as the panel's hidden text boxes held them.
    std::wstring Text1;         // text to paste
    std::wstring Text2;         // title of the window in front at the last sample
    std::wstring Text3;         // that window's handle
    std::wstring Text4 = L"0";  // target window's handle, "0" for none

    PasteMode Mode = PasteMode::Def;
    int ModeSwitchPosition = 0;
    // ｸﾘｯﾌﾟﾎﾞｰﾄﾞを元に戻す: each paste puts the user's clipboard back.
    bool RestoreClipboard = false;
    bool Text1Private = false;  // Text1 came from Private

    uintptr_t Panel = 0;
    const OwnWindowTable* Own = nullptr;  // the program's other windows; none when null
    int StartupDataSet = 0;  // 0 only until the first-run set-up has chosen a data set
    int OsMajor = 0, OsMinor = 0;
    // The hover strips are 30 and 100 pixels at 96 dpi; scaled so that they keep
    // covering the caption and the scroll-bar column at other settings.
    int Dpi = 96;

    // Moves the keyboard focus to the panel's focus holder (Command3).
    std::function<void()> ParkFocus;

    void Timer1_Timer();
    void Text3_Change();

    // The text button `index` (from 0) pastes: entry index + 1 of texts (indexed from 1).
    static std::wstring EntryTextFor(int index, int entryCount, const std::vector<std::wstring>& texts);
    // Text1 from the entry, focus to Command3, pending events, then the paste.
    PasteOutcome Command1_Click(int index, int entryCount, const std::vector<std::wstring>& texts,
                                EntryClick how = {});

    PasteOutcome PasteEntryText();
    // Types Text1 into the target with key events; the clipboard is not touched.
    PasteOutcome TypeEntryText();
    void SendKeyStroke(int32_t key1, int32_t key2, int32_t key3);
    PasteOutcome KeyButton(KeyButtonId which);
    // The timer's part: tries again to put back a clipboard that another program held.
    void RetryRestore();
    void ShowTargetNotice();

    // Command8: moves the position on and returns the mode whose menu handler to run.
    PasteMode AdvanceModePosition();
    // A mode menu choice; false when that mode was ticked already (the window still
    // reloads and lays out). Does not move the position.
    bool SelectMode(PasteMode mode);

    bool HoverAllowed(uintptr_t foreground) const;
    bool InHoverRegion(const DeskRect& r, const DeskPoint& p) const;

private:
    // What happens to the clipboard on the way to the target.
    enum class ClipStep { Put, Offer, None };
    struct Later {
        std::wstring text;
        bool fromPrivate = false;
        bool typed = false;
        int keyButton = 0;  // a key button's number instead of an entry
    };

    void PressKey(int32_t k);
    void ReleaseKey(int32_t k);
    void SendModeKey();
    // The target in Text4; without one (none yet, or closed) the notice, and not Sent.
    PasteOutcome LiveTarget(uintptr_t& target);
    // Everything a paste and a key button share up to the first key; Sent means go on.
    PasteOutcome PrepareTarget(uintptr_t target, ClipStep step = ClipStep::Put);
    PasteOutcome PutOrOffer(uintptr_t target, ClipStep step);
    bool WaitUntilInFront(uintptr_t target);
    PasteOutcome PasteAndRestore(uintptr_t target);
    PasteOutcome TypeInto(uintptr_t target);
    PasteOutcome KeyButtonNow(KeyButtonId which);
    void PutUserClipboardBack(bool wait);
    // Runs one of the steps that wait with events let through, then whatever was clicked
    // meanwhile, in order, so no paste overtakes another one's restore.
    template <class Step> PasteOutcome OneAtATime(Step step);
    PasteOutcome Run(const Later& later);

    IDesktop& desk_;
    RestoreGate gate_;
    bool busy_ = false;
    bool restorePending_ = false;  // a restore found the clipboard held; the timer tries again
    std::deque<Later> later_;
};
