#pragma once
// The paste engine: target-window tracking, hover activation, the clipboard and the
// synthetic keys of a paste, the key buttons and the paste mode. All desktop work goes
// through IDesktop so that the exact order of events can be tested without Windows.
#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "base/message_flags.h"
#include "base/own_windows.h"
#include "base/wipe.h"
#include "panel/clipboard_logic.h"
#include "panel/desktop.h"
#include "panel/panel_logic.h"
#include "store/dataset_format.h"

namespace paste {
constexpr uint32_t kKeyPress = 1;    // KEYEVENTF_EXTENDEDKEY
constexpr uint32_t kKeyRelease = 3;  // KEYEVENTF_EXTENDEDKEY | KEYEVENTF_KEYUP

constexpr int32_t kVkLeft = 37;
constexpr int32_t kVkCtrl = 17, kVkV = 86, kVkTab = 9, kVkEnter = 13, kVkShift = 16, kVkDelete = 46;

constexpr int kAfterKeysMs = 50;
constexpr int kBeforeKeysMs = 100;
// After bringing the target forward: look every 20 ms, give up after 300 ms.
constexpr int kFrontPollMs = 20;
constexpr int kFrontPollLimitMs = 300;
// {カーソル}: at most this many Left presses; an edit control has its caret placed instead.
constexpr int kCaretWalkLimit = 1000;

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

// A typing goes in pieces; between them the target takes what was sent, clicks on the panel
// wait their turn, and the focus is looked at.
constexpr size_t kTypingPieceChars = 16;
constexpr int kKeysTakenLimitMs = 2000;
// The focus left the target mid-typing: the rest was not sent.
std::wstring TypingCutText(size_t typed, size_t total);

// Menu captions of the three modes and the mode button's tool tips.
inline const std::wstring kPasteOnlyCaption = L"標準ﾓｰﾄﾞ";
inline const std::wstring kThenTabCaption = L"懸賞ﾓｰﾄﾞ";
inline const std::wstring kThenEnterCaption = L"文書ﾓｰﾄﾞ";
inline const std::wstring kClipRestoreCaption = L"ｸﾘｯﾌﾟﾎﾞｰﾄﾞを元に戻す";
inline const std::wstring kInsertFieldsCaption = L"差し込みを使う";
const std::wstring& ModeToolTip(PasteMode mode);

// Tool tips of the key buttons.
inline const std::wstring kPrevToolTip = L"前へ";
inline const std::wstring kNextToolTip = L"次へ";
inline const std::wstring kNewLineToolTip = L"改行";

// A window handle as signed 32-bit decimal text, as the panel's hidden fields show it;
// 64-bit Windows sign-extends handles from 32 bits, so nothing is lost.
std::wstring HandleToText(uintptr_t h);

// The text of entry button `slot` (from 0): the entry's, or nothing for a button beyond the
// first entryCount entries.
std::wstring EntryText(const std::vector<Entry>& entries, int entryCount, int slot);

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
    Queued,            // came while another paste ran: runs after it, in order of arrival
    TypingCut,         // the focus left the target mid-typing: message shown, the rest not sent
};

// Where a paste comes from. The source decides what the engine does around the keys: a
// hotkey's target never left the front, so the panel takes no focus and no settling pause.
// AfterPassword: a request that waited for the Private password; the target left the front
// meanwhile and is brought back as for a click.
enum class PasteSource { EntryClick, KeyButton, HotKey, FocusedPanel, Search, AfterPassword };

enum class KeyButtonId { None, Prev, Next, NewLine };

// Every way of pasting builds one of these and hands it to PasteEngine::Submit.
struct PasteRequest {
    std::wstring text;
    bool isPrivate = false;  // the text is a Private entry's
    bool typed = false;      // typed with key events instead of pasted (Shift+click)
    PasteSource source = PasteSource::EntryClick;
    KeyButtonId key = KeyButtonId::None;  // a key button's keys instead of a text
};

// What one paste did, for the step that follows every paste.
struct PasteDone {
    PasteSource source;
    PasteOutcome outcome;
    bool isPrivate;            // what went on the clipboard is a Private text
    uint32_t sequenceBefore;   // the clipboard's sequence number before the paste
};

class PasteEngine {
public:
    // choices: read at every paste and sample, for as long as the engine lives.
    PasteEngine(IDesktop& desktop, const IPasteChoices& choices) : desk_(desktop), choices_(choices) {}

    // Set once the panel is made.
    uintptr_t Panel = 0;
    const OwnWindowTable* Own = nullptr;  // the program's other windows; none when null
    int OsMajor = 0, OsMinor = 0;
    // The hover strips are 30 and 100 pixels at 96 dpi; scaled so that they keep
    // covering the caption and the scroll-bar column at other settings.
    int Dpi = 96;
    // Moves the keyboard focus to the panel's focus holder.
    std::function<void()> ParkFocus;
    // Runs after every paste, whatever its source, once it has ended.
    std::function<void(const PasteDone&)> AfterPaste;

    // What the engine knows, for the panel's hidden fields.
    uintptr_t Target() const { return target_; }  // 0 for none
    std::optional<uintptr_t> FrontWindow() const { return front_; }  // none before the first sample
    const std::wstring& FrontTitle() const { return frontTitle_; }
    // What the key buttons put back; nothing while that is a Private text, which any program
    // could read from a window.
    std::wstring ShownLastText() const { return lastTextPrivate_ ? std::wstring() : lastText_; }
    bool Busy() const { return busy_; }

    // The timer's tick: the window in front becomes the target unless it is one of ours, and
    // hovering over the panel's caption or scroll column brings the panel forward.
    void SampleForeground();
    // Takes the window as the target unless it is none, the panel, one of the program's
    // windows that never are, or (by its title) the notice that asks for a target.
    void KeepTarget(uintptr_t window, const std::wstring& title = {});
    void ForgetTarget() { target_ = 0; }
    // Private closed: its last pasted text is wiped, and the key buttons put nothing back.
    void ForgetPrivateText();

    // The one way in: runs the request now, or after the pastes before it when one runs.
    PasteOutcome Submit(PasteRequest request);

    void SendKeyStroke(int32_t key1, int32_t key2, int32_t key3);
    // The timer's part: tries again to put back a clipboard that another program held.
    void RetryRestore();
    void ShowTargetNotice();

    // The mode button keeps its own position, which a menu choice does not move: a click moves
    // it on and returns the mode to choose.
    PasteMode AdvanceModePosition();
    int ModePosition() const { return modePosition_; }
    void SetModePosition(int position) { modePosition_ = position; }

    bool HoverAllowed(uintptr_t foreground) const;
    bool InHoverRegion(const DeskRect& r, const DeskPoint& p) const;

private:
    // What happens to the clipboard on the way to the target.
    enum class ClipStep { Put, Offer, None };
    // The text of a paste as it goes out: filled in, with where the caret goes after it.
    struct Outgoing {
        std::wstring text;
        bool isPrivate = false;
        int caretBack = -1, unitsBack = -1;
        bool settle = true;  // pause before the keys for a target just brought forward
        ~Outgoing() { wipe::Clear(text); }
    };

    PasteMode Mode() const { return choices_.Choices().mode; }
    bool Restoring() const { return choices_.Choices().clipRestore; }
    void Remember(const std::wstring& text, bool isPrivate);

    PasteOutcome RunOne(PasteRequest& request);
    PasteOutcome PasteNow(const PasteRequest& request, Outgoing& out);
    // A hotkey's target is the window in front once the user has let go of Ctrl and Alt.
    bool TakeFrontAsTarget();
    void PressKey(int32_t k);
    void ReleaseKey(int32_t k);
    void SendModeKey(uintptr_t target, const Outgoing& out);
    void PlaceCaret(uintptr_t target, const Outgoing& out);
    // The fields of the text, filled in from the clipboard and the time of the paste. A text
    // filled with the last pasted Private text is Private too.
    void FillIn(Outgoing& out);
    // The target; without one (none yet, or closed) the notice, and not Sent.
    PasteOutcome LiveTarget(uintptr_t& target);
    // Everything a paste and a key button share up to the first key; Sent means go on.
    PasteOutcome PrepareTarget(uintptr_t target, ClipStep step, const Outgoing& out);
    PasteOutcome PutOrOffer(uintptr_t target, ClipStep step, const Outgoing& out);
    bool WaitUntilInFront(uintptr_t target);
    // Between two pieces of a typing: the target in front again after a click on the panel.
    bool TargetStillInFront(uintptr_t target);
    PasteOutcome PasteAndRestore(uintptr_t target, const Outgoing& out);
    PasteOutcome TypeInto(uintptr_t target, const Outgoing& out);
    PasteOutcome KeyButtonNow(KeyButtonId which, const PasteRequest& request);
    void PutUserClipboardBack(bool wait);

    IDesktop& desk_;
    const IPasteChoices& choices_;
    uintptr_t target_ = 0;
    std::optional<uintptr_t> front_;
    std::wstring frontTitle_;
    std::wstring lastText_;
    bool lastTextPrivate_ = false;
    bool haveLastText_ = true;  // false once a Private text was forgotten
    int modePosition_ = 0;
    RestoreGate gate_;
    bool busy_ = false;
    bool restorePending_ = false;  // a restore found the clipboard held; the timer tries again
    std::deque<PasteRequest> queue_;
    uintptr_t keysSentTo_ = 0;  // the target of the last paste's Ctrl+V
    std::optional<std::vector<fields::Era>> eras_;  // read once, at the first filling in
};
