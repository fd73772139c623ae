#include "panel/paste_logic.h"

#include <algorithm>

#include "base/cp932.h"

namespace paste {
namespace {
const std::wstring kPasteOnlyToolTip = L"ﾓｰﾄﾞ切替/現在...標準ﾓｰﾄﾞ";
const std::wstring kThenTabToolTip = L"ﾓｰﾄﾞ切替/現在...懸賞ﾓｰﾄﾞ";
const std::wstring kThenEnterToolTip = L"ﾓｰﾄﾞ切替/現在...文書ﾓｰﾄﾞ";

wchar_t FoldLatin(wchar_t c) {
    return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c - L'A' + L'a') : c;
}
}  // namespace

const std::wstring& ModeToolTip(PasteMode mode) {
    switch (mode) {
        case PasteMode::ThenTab: return kThenTabToolTip;
        case PasteMode::ThenEnter: return kThenEnterToolTip;
        default: return kPasteOnlyToolTip;
    }
}

std::wstring TypingCutText(size_t typed, size_t total) {
    return L"入力先から別のウィンドウに移ったため、入力を途中で止めました。\r\n\r\n" + std::to_wstring(total) +
           L" 文字中 " + std::to_wstring(typed) + L" 文字を入力しました。";
}

std::wstring HandleToText(uintptr_t h) {
    const auto v = static_cast<int32_t>(static_cast<uint32_t>(h));
    return std::to_wstring(v);
}

std::wstring EntryText(const std::vector<Entry>& entries, int entryCount, int slot) {
    if (slot < 0 || slot >= entryCount || static_cast<size_t>(slot) >= entries.size()) return L"";
    return entries[static_cast<size_t>(slot)].text;
}

std::string CutTitleBytes932(const std::string& bytes, size_t maxBytes) {
    size_t end = 0;
    while (end < bytes.size() && bytes[end] != '\0') {
        const size_t len = IsLeadByte932(static_cast<unsigned char>(bytes[end])) ? 2 : 1;
        if (end + len > maxBytes || end + len > bytes.size()) break;
        end += len;
    }
    return bytes.substr(0, end);
}

bool EqualsIgnoringCase(const std::wstring& a, const std::wstring& b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(),
                      [](wchar_t x, wchar_t y) { return FoldLatin(x) == FoldLatin(y); });
}
}  // namespace paste

namespace {
// Handles compared as the 32 bits that identify them.
bool SameHandle(uintptr_t a, uintptr_t b) {
    return static_cast<uint32_t>(a) == static_cast<uint32_t>(b);
}

int ScaleForDpi(int pixelsAt96, int dpi) {
    if (dpi <= 0) dpi = 96;
    return static_cast<int>((static_cast<int64_t>(pixelsAt96) * dpi + 48) / 96);
}
}  // namespace

void PasteEngine::SampleForeground() {
    RetryRestore();
    const uintptr_t f = desk_.ForegroundWindow();
    std::wstring title = desk_.WindowTitleAnsiCut(f);
    if (const auto nul = title.find(L'\0'); nul != std::wstring::npos) title.resize(nul);
    frontTitle_ = title;
    front_ = f;
    KeepTarget(f, title);

    if (!HoverAllowed(f)) return;
    const DeskRect r = desk_.WindowRect(Panel);
    const DeskPoint p = desk_.CursorPos();
    if (!InHoverRegion(r, p)) return;
    desk_.BringToFront(Panel);
    desk_.DoEvents();
    desk_.MouseLeftUp(p.x, p.y);
    desk_.DoEvents();
}

void PasteEngine::KeepTarget(uintptr_t window, const std::wstring& title) {
    if (paste::EqualsIgnoringCase(title, paste::kNoticeTitle)) return;
    // A moment with no window in front must not wipe out the target.
    if (static_cast<uint32_t>(window) == 0) return;
    if (SameHandle(window, Panel)) return;
    const OwnWindowTable own = Own ? *Own : OwnWindowTable{};
    for (uintptr_t mine : own.NeverTarget()) {
        if (SameHandle(window, mine)) return;
    }
    target_ = window;
}

bool PasteEngine::HoverAllowed(uintptr_t f) const {
    if (SameHandle(f, Panel)) return false;
    const OwnWindowTable own = Own ? *Own : OwnWindowTable{};
    for (uintptr_t mine : own.KeptInFrontOfPanel()) {
        if (SameHandle(f, mine)) return false;
    }
    if (!choices_.DataSetChosen()) return false;
    return OsMajor > 5 || (OsMajor == 5 && OsMinor >= 1);
}

bool PasteEngine::InHoverRegion(const DeskRect& r, const DeskPoint& p) const {
    const int strip = ScaleForDpi(30, Dpi);
    const int column = ScaleForDpi(100, Dpi);
    const bool topStrip = p.y < r.top + strip && r.left < p.x && p.x < r.right && r.top < p.y;
    const bool scrollColumn = r.left + column < p.x && p.x < r.right && r.top < p.y && p.y < r.bottom;
    return topStrip || scrollColumn;
}

PasteOutcome PasteEngine::PasteEntry(const std::wstring& text, EntryClick how) {
    Later click{text, how.fromPrivate, how.typed};
    // A paste that waits for its restore lets events through: a click meanwhile would take
    // the clipboard from under it, so it waits its turn.
    if (busy_) {
        later_.push_back(std::move(click));
        return PasteOutcome::Queued;
    }
    if (Restoring() || how.typed) return OneAtATime([&] { return Run(click); });
    return Run(click);
}

PasteOutcome PasteEngine::Run(const Later& click) {
    if (click.keyButton) return KeyButtonNow(static_cast<KeyButtonId>(click.keyButton));
    // Filled in before the clipboard is touched; a click that waited for another paste's
    // restore reads the user's clipboard as it came back.
    Later later = click;
    if (choices_.Choices().insertFields) FillIn(later);
    // Remembered before the events run: a key button among them puts this text back.
    Remember(later.text, later.fromPrivate);
    if (ParkFocus) ParkFocus();
    desk_.DoEvents();
    caretBack_ = later.caretBack;
    const PasteOutcome o =
        later.typed ? TypeText(later.text, later.fromPrivate) : PasteText(later.text, later.fromPrivate);
    caretBack_ = -1;
    return o;
}

void PasteEngine::FillIn(Later& click) {
    if (click.text.find(L'{') == std::wstring::npos) return;
    if (!eras_) eras_ = fields::WithWindowsEras(fields::OwnEras(), desk_.WindowsEras());
    const std::wstring clip = fields::NeedsClipboard(click.text) ? desk_.ClipboardText() : L"";
    fields::Filled f = fields::Fill(click.text, desk_.LocalNow(), clip, *eras_);
    click.text = std::move(f.text);
    click.caretBack = f.caretBack;
}

void PasteEngine::Remember(const std::wstring& text, bool fromPrivate) {
    lastText_ = text;
    lastTextPrivate_ = fromPrivate;
}

template <class Step>
PasteOutcome PasteEngine::OneAtATime(Step step) {
    if (busy_) return step();  // one that waited its turn, run by the loop below
    busy_ = true;
    const PasteOutcome outcome = step();
    while (!later_.empty()) {
        const Later next = std::move(later_.front());
        later_.pop_front();
        Run(next);
    }
    busy_ = false;
    return outcome;
}

void PasteEngine::ShowTargetNotice() {
    desk_.Message(paste::kNoticeText, paste::kNoticeTitle, paste::kMbOk | paste::kMbIconExclamation);
}

bool PasteEngine::WaitUntilInFront(uintptr_t target) {
    for (int waited = 0;; waited += paste::kFrontPollMs) {
        if (SameHandle(desk_.ForegroundWindow(), target)) return true;
        if (waited >= paste::kFrontPollLimitMs) return false;
        desk_.Sleep(paste::kFrontPollMs);
        desk_.DoEvents();
    }
}

PasteOutcome PasteEngine::PutOrOffer(uintptr_t target, ClipStep step) {
    using namespace paste;
    ClipResult put = ClipResult::Ok;
    if (step == ClipStep::Put) {
        put = desk_.PutTextOnClipboard(lastText_, lastTextPrivate_);
    } else {
        if (!desk_.HoldsSavedClipboard()) put = desk_.SaveClipboard();
        if (put == ClipResult::Ok) {
            gate_.Offered(desk_.ProcessOf(target));
            put = desk_.OfferTextOnClipboard(lastText_, lastTextPrivate_,
                                             [this](uint32_t requester) { return gate_.Request(requester); });
        }
    }
    switch (put) {
        case ClipResult::Ok: break;
        case ClipResult::Busy:
            desk_.Message(kClipboardBusyText, kProgramTitle, kMbOk | kMbIconExclamation);
            return PasteOutcome::ClipboardBusy;
        case ClipResult::Failed:
            desk_.Message(kClipboardFailedText, kProgramTitle, kMbOk | kMbIconExclamation);
            return PasteOutcome::ClipboardFailed;
    }
    desk_.DoEvents();
    return PasteOutcome::Sent;
}

PasteOutcome PasteEngine::PrepareTarget(uintptr_t target, ClipStep step) {
    using namespace paste;
    // Windows drops input into a more privileged window without a word: say so instead.
    // A text put on the clipboard stays there to paste by hand; else nothing is touched.
    if (step == ClipStep::Put) {
        if (const PasteOutcome o = PutOrOffer(target, step); o != PasteOutcome::Sent) return o;
        if (desk_.IsTargetElevatedAboveUs(target)) {
            desk_.Message(kTargetElevatedText, kProgramTitle, kMbOk | kMbIconExclamation);
            return PasteOutcome::TargetElevated;
        }
    } else {
        if (desk_.IsTargetElevatedAboveUs(target)) {
            desk_.Message(kTargetElevatedNoClipboardText, kProgramTitle, kMbOk | kMbIconExclamation);
            return PasteOutcome::TargetElevated;
        }
        if (step == ClipStep::Offer)
            if (const PasteOutcome o = PutOrOffer(target, step); o != PasteOutcome::Sent) return o;
    }

    desk_.BringToFront(target);
    desk_.DoEvents();
    // Keys sent while another window is in front would land there (perhaps in the panel).
    if (!WaitUntilInFront(target)) {
        ShowTargetNotice();
        return PasteOutcome::TargetNotInFront;
    }
    if (SettleBeforeKeys) desk_.Sleep(kBeforeKeysMs);
    return PasteOutcome::Sent;
}

PasteOutcome PasteEngine::LiveTarget(uintptr_t& target) {
    target = target_;
    if (target == 0) {
        ShowTargetNotice();
        return PasteOutcome::NoTarget;
    }
    if (!desk_.IsWindowAlive(target)) {
        ShowTargetNotice();
        return PasteOutcome::TargetGone;
    }
    return PasteOutcome::Sent;
}

PasteOutcome PasteEngine::PasteText(const std::wstring& text, bool fromPrivate) {
    Remember(text, fromPrivate);
    uintptr_t target = 0;
    if (const PasteOutcome o = LiveTarget(target); o != PasteOutcome::Sent) return o;
    if (Restoring()) return OneAtATime([&] { return PasteAndRestore(target); });
    if (const PasteOutcome o = PrepareTarget(target); o != PasteOutcome::Sent) return o;

    SendKeyStroke(paste::kVkCtrl, paste::kVkV, 0);
    desk_.DoEvents();
    SendModeKey();
    return PasteOutcome::Sent;
}

void PasteEngine::SendModeKey() {
    // The user goes on typing at the caret's place: no Tab or Enter takes it away.
    if (caretBack_ >= 0) {
        for (int i = 0; i < caretBack_; ++i) {
            PressKey(paste::kVkLeft);
            ReleaseKey(paste::kVkLeft);
        }
        desk_.Sleep(paste::kAfterKeysMs);
        desk_.DoEvents();
        return;
    }
    if (Mode() == PasteMode::ThenTab) {
        SendKeyStroke(paste::kVkTab, 0, 0);
        desk_.DoEvents();
    } else if (Mode() == PasteMode::ThenEnter) {
        SendKeyStroke(paste::kVkEnter, 0, 0);
        desk_.DoEvents();
    }
}

PasteOutcome PasteEngine::PasteAndRestore(uintptr_t target) {
    if (const PasteOutcome o = PrepareTarget(target, ClipStep::Offer); o != PasteOutcome::Sent) {
        // Nothing was pasted: the user's clipboard comes back at once.
        if (desk_.HoldsSavedClipboard()) PutUserClipboardBack(true);
        return o;
    }
    // A monitor's request that came meanwhile is answered (with nothing) before the keys.
    desk_.DoEvents();
    gate_.KeysSent();
    SendKeyStroke(paste::kVkCtrl, paste::kVkV, 0);
    desk_.DoEvents();
    SendModeKey();
    for (int waited = 0; !gate_.Taken() && waited < paste::kRestoreBoundMs; waited += paste::kRestorePollMs)
        desk_.WaitEvents(paste::kRestorePollMs);
    PutUserClipboardBack(true);
    return PasteOutcome::Sent;
}

void PasteEngine::PutUserClipboardBack(bool wait) {
    restorePending_ = desk_.RestoreClipboard(wait) == RestoreResult::Busy;
}

void PasteEngine::RetryRestore() {
    if (restorePending_ && !busy_) PutUserClipboardBack(false);
}

PasteOutcome PasteEngine::TypeText(const std::wstring& text, bool fromPrivate) {
    Remember(text, fromPrivate);
    uintptr_t target = 0;
    if (const PasteOutcome o = LiveTarget(target); o != PasteOutcome::Sent) return o;
    return OneAtATime([&] { return TypeInto(target, text); });
}

PasteOutcome PasteEngine::TypeInto(uintptr_t target, const std::wstring& text) {
    // Shift still held would turn the Enter of a line break into Shift+Enter.
    for (int waited = 0; waited < paste::kShiftReleaseLimitMs && desk_.ShiftDown();
         waited += paste::kFrontPollMs) {
        desk_.Sleep(paste::kFrontPollMs);
        desk_.DoEvents();
    }
    if (const PasteOutcome o = PrepareTarget(target, ClipStep::None); o != PasteOutcome::Sent) return o;
    // Keys the target has not taken yet follow the focus: a click on the panel would take
    // them, so events run only once the target has what was sent.
    const std::vector<typing::Piece> pieces = typing::Pieces(text, paste::kTypingPieceChars);
    size_t total = 0, typed = 0;
    for (const typing::Piece& p : pieces) total += p.chars;
    for (const typing::Piece& p : pieces) {
        if (typed > 0 && !TargetStillInFront(target)) {
            desk_.Message(paste::TypingCutText(typed, total), paste::kProgramTitle,
                          paste::kMbOk | paste::kMbIconExclamation);
            return PasteOutcome::TypingCut;
        }
        desk_.TypeKeys(p.keys);
        desk_.WaitKeysTaken(target, p.keys.size(), paste::kKeysTakenLimitMs);
        typed += p.chars;
    }
    desk_.DoEvents();
    SendModeKey();
    return PasteOutcome::Sent;
}

bool PasteEngine::TargetStillInFront(uintptr_t target) {
    desk_.DoEvents();  // a click on a button meanwhile waits its turn (busy_)
    const uintptr_t front = desk_.ForegroundWindow();
    if (SameHandle(front, target)) return true;
    // The panel came forward under that click: the target goes on; anywhere else, the user
    // went elsewhere and the rest must not follow.
    if (!SameHandle(front, Panel)) return false;
    desk_.BringToFront(target);
    return WaitUntilInFront(target);
}

PasteOutcome PasteEngine::KeyButton(KeyButtonId which) {
    // Keys into the middle of a paste that waits for its restore would land before its text.
    if (busy_) {
        later_.push_back({L"", false, false, static_cast<int>(which)});
        return PasteOutcome::Queued;
    }
    if (Restoring()) return OneAtATime([&] { return KeyButtonNow(which); });
    return KeyButtonNow(which);
}

PasteOutcome PasteEngine::KeyButtonNow(KeyButtonId which) {
    uintptr_t target = 0;
    if (const PasteOutcome o = LiveTarget(target); o != PasteOutcome::Sent) return o;
    if (ParkFocus) ParkFocus();
    // Restoring, the clipboard stays the user's: the last text is not put there again.
    const ClipStep step = Restoring() ? ClipStep::None : ClipStep::Put;
    if (const PasteOutcome o = PrepareTarget(target, step); o != PasteOutcome::Sent) return o;

    switch (which) {
        case KeyButtonId::Prev:
            SendKeyStroke(paste::kVkShift, paste::kVkTab, 0);
            desk_.DoEvents();
            SendKeyStroke(paste::kVkDelete, 0, 0);
            desk_.DoEvents();
            break;
        case KeyButtonId::Next:
            SendKeyStroke(paste::kVkTab, 0, 0);
            desk_.DoEvents();
            break;
        case KeyButtonId::NewLine:
            SendKeyStroke(paste::kVkEnter, 0, 0);
            desk_.DoEvents();
            break;
    }
    return PasteOutcome::Sent;
}

void PasteEngine::PressKey(int32_t k) {
    const auto vk = static_cast<uint8_t>(k & 0xFF);
    desk_.KeyEvent(vk, desk_.ScanCode(vk), paste::kKeyPress);
}

void PasteEngine::ReleaseKey(int32_t k) {
    const auto vk = static_cast<uint8_t>(k & 0xFF);
    desk_.KeyEvent(vk, desk_.ScanCode(vk), paste::kKeyRelease);
}

void PasteEngine::SendKeyStroke(int32_t key1, int32_t key2, int32_t key3) {
    if (key2 == 0 && key3 == 0) {
        PressKey(key1);
        ReleaseKey(key1);
    } else if (key3 == 0) {
        PressKey(key1);
        PressKey(key2);
        ReleaseKey(key2);
        ReleaseKey(key1);
    } else if (key1 != 0) {
        PressKey(key1);
        PressKey(key2);
        ReleaseKey(key2);
        PressKey(key3);
        ReleaseKey(key3);
        ReleaseKey(key1);
    }
    desk_.Sleep(paste::kAfterKeysMs);
}

PasteMode PasteEngine::AdvanceModePosition() {
    modePosition_ = NextModePosition(modePosition_);
    return static_cast<PasteMode>(modePosition_);
}
