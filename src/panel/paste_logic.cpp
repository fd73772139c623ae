#include "panel/paste_logic.h"

#include <algorithm>

#include "base/cp932.h"
#include "panel/hotkey_logic.h"

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

// Only a paste from the panel itself parks the focus there: a hotkey's target never left the
// front, and the search window is in front of the panel (the focus would activate the panel).
bool ParksFocus(PasteSource source) { return source != PasteSource::HotKey && source != PasteSource::Search; }

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
    // The search's box has the keys: the panel must not take them from under the user.
    if (SameHandle(f, own.searchWindow)) return false;
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

PasteOutcome PasteEngine::Submit(PasteRequest request) {
    // Every paste lets events through while it waits; a click or key among them waits its
    // turn, or it would take the clipboard and the target from under the one that runs.
    if (busy_) {
        queue_.push_back(std::move(request));
        return PasteOutcome::Queued;
    }
    busy_ = true;
    const PasteOutcome outcome = RunOne(request);
    while (!queue_.empty()) {
        // The target reads the clipboard only when it takes the Ctrl+V: the next text must not
        // replace this one before then.
        if (keysSentTo_) desk_.WaitKeysTaken(keysSentTo_, 8, paste::kKeysTakenLimitMs);
        PasteRequest next = std::move(queue_.front());
        queue_.pop_front();
        RunOne(next);
    }
    busy_ = false;
    return outcome;
}

PasteOutcome PasteEngine::RunOne(PasteRequest& request) {
    keysSentTo_ = 0;
    const uint32_t sequenceBefore = desk_.ClipboardSequence();
    Outgoing out{request.text, request.isPrivate};
    PasteOutcome outcome;
    if (request.key != KeyButtonId::None) {
        outcome = KeyButtonNow(request.key, request);
        out.isPrivate = lastTextPrivate_;
    } else {
        outcome = PasteNow(request, out);
    }
    wipe::Clear(request.text);
    if (AfterPaste) AfterPaste({request.source, outcome, out.isPrivate, sequenceBefore});
    return outcome;
}

bool PasteEngine::TakeFrontAsTarget() {
    // The target would see Ctrl+Alt+V while the user still holds the keys.
    uint64_t waited = 0;
    hotkey::WaitForRelease([this] { return desk_.ModifiersDown(); },
                           [&] {
                               desk_.Sleep(paste::kFrontPollMs);
                               desk_.DoEvents();
                               waited += paste::kFrontPollMs;
                           },
                           [&] { return waited; });
    const uintptr_t front = desk_.ForegroundWindow();
    KeepTarget(front);
    return SameHandle(front, target_);
}

PasteOutcome PasteEngine::PasteNow(const PasteRequest& request, Outgoing& out) {
    // A hotkey pastes into the window in front, which never lost it: the panel keeps out of it.
    if (request.source == PasteSource::HotKey) out.settle = !TakeFrontAsTarget();
    if (choices_.Choices().insertFields) FillIn(out);
    // Known before any event runs: the hidden fields are drawn from it meanwhile.
    Remember(out.text, out.isPrivate);
    if (ParkFocus && ParksFocus(request.source)) ParkFocus();
    desk_.DoEvents();
    uintptr_t target = 0;
    if (const PasteOutcome o = LiveTarget(target); o != PasteOutcome::Sent) return o;
    if (request.typed) return TypeInto(target, out);
    if (Restoring()) return PasteAndRestore(target, out);
    if (const PasteOutcome o = PrepareTarget(target, ClipStep::Put, out); o != PasteOutcome::Sent) return o;
    SendKeyStroke(paste::kVkCtrl, paste::kVkV, 0);
    keysSentTo_ = target;
    desk_.DoEvents();
    SendModeKey(target, out);
    return PasteOutcome::Sent;
}

void PasteEngine::FillIn(Outgoing& out) {
    if (out.text.find(L'{') == std::wstring::npos && out.text.find(L'｛') == std::wstring::npos) return;
    if (!eras_) eras_ = fields::WithWindowsEras(fields::OwnEras(), desk_.WindowsEras());
    std::wstring clip = fields::NeedsClipboard(out.text) ? desk_.ClipboardText() : L"";
    // The last paste's Private text, still on the clipboard, stays Private wherever it goes.
    if (!clip.empty() && lastTextPrivate_ && clip == lastText_) out.isPrivate = true;
    fields::Filled f = fields::Fill(out.text, desk_.LocalNow(), clip, *eras_);
    wipe::Clear(clip);
    wipe::Clear(out.text);
    out.text = std::move(f.text);
    out.caretBack = f.caretBack;
    out.unitsBack = f.unitsBack;
}

void PasteEngine::Remember(const std::wstring& text, bool isPrivate) {
    if (lastTextPrivate_) wipe::Clear(lastText_);
    lastText_ = text;
    lastTextPrivate_ = isPrivate;
    haveLastText_ = true;
}

void PasteEngine::ForgetPrivateText() {
    if (!lastTextPrivate_) return;
    wipe::Clear(lastText_);
    lastTextPrivate_ = false;
    haveLastText_ = false;
}

void PasteEngine::ShowTargetNotice() {
    desk_.Message(paste::kNoticeText, paste::kNoticeTitle, msgbox::kOk | msgbox::kIconExclamation);
}

bool PasteEngine::WaitUntilInFront(uintptr_t target) {
    for (int waited = 0;; waited += paste::kFrontPollMs) {
        if (SameHandle(desk_.ForegroundWindow(), target)) return true;
        if (waited >= paste::kFrontPollLimitMs) return false;
        desk_.Sleep(paste::kFrontPollMs);
        desk_.DoEvents();
    }
}

PasteOutcome PasteEngine::PutOrOffer(uintptr_t target, ClipStep step, const Outgoing& out) {
    using namespace paste;
    ClipResult put = ClipResult::Ok;
    if (step == ClipStep::Put) {
        put = desk_.PutTextOnClipboard(out.text, out.isPrivate);
    } else {
        if (!desk_.HoldsSavedClipboard()) put = desk_.SaveClipboard();
        if (put == ClipResult::Ok) {
            gate_.Offered(desk_.ProcessOf(target));
            put = desk_.OfferTextOnClipboard(out.text, out.isPrivate,
                                             [this](uint32_t requester) { return gate_.Request(requester); });
        }
    }
    switch (put) {
        case ClipResult::Ok: break;
        case ClipResult::Busy:
            desk_.Message(kClipboardBusyText, kProgramTitle, msgbox::kOk | msgbox::kIconExclamation);
            return PasteOutcome::ClipboardBusy;
        case ClipResult::Failed:
            desk_.Message(kClipboardFailedText, kProgramTitle, msgbox::kOk | msgbox::kIconExclamation);
            return PasteOutcome::ClipboardFailed;
    }
    desk_.DoEvents();
    return PasteOutcome::Sent;
}

PasteOutcome PasteEngine::PrepareTarget(uintptr_t target, ClipStep step, const Outgoing& out) {
    using namespace paste;
    // Windows drops input into a more privileged window without a word: say so instead.
    // A text put on the clipboard stays there to paste by hand; else nothing is touched.
    if (step == ClipStep::Put) {
        if (const PasteOutcome o = PutOrOffer(target, step, out); o != PasteOutcome::Sent) return o;
        if (desk_.IsTargetElevatedAboveUs(target)) {
            desk_.Message(kTargetElevatedText, kProgramTitle, msgbox::kOk | msgbox::kIconExclamation);
            return PasteOutcome::TargetElevated;
        }
    } else {
        if (desk_.IsTargetElevatedAboveUs(target)) {
            desk_.Message(kTargetElevatedNoClipboardText, kProgramTitle, msgbox::kOk | msgbox::kIconExclamation);
            return PasteOutcome::TargetElevated;
        }
        if (step == ClipStep::Offer)
            if (const PasteOutcome o = PutOrOffer(target, step, out); o != PasteOutcome::Sent) return o;
    }

    desk_.BringToFront(target);
    desk_.DoEvents();
    // Keys sent while another window is in front would land there (perhaps in the panel).
    if (!WaitUntilInFront(target)) {
        ShowTargetNotice();
        return PasteOutcome::TargetNotInFront;
    }
    if (out.settle) desk_.Sleep(kBeforeKeysMs);
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

void PasteEngine::SendModeKey(uintptr_t target, const Outgoing& out) {
    // The user goes on typing at the caret's place: no Tab or Enter takes it away.
    if (out.caretBack >= 0) return PlaceCaret(target, out);
    if (Mode() == PasteMode::ThenTab) {
        SendKeyStroke(paste::kVkTab, 0, 0);
        desk_.DoEvents();
    } else if (Mode() == PasteMode::ThenEnter) {
        SendKeyStroke(paste::kVkEnter, 0, 0);
        desk_.DoEvents();
    }
}

void PasteEngine::PlaceCaret(uintptr_t target, const Outgoing& out) {
    // An edit control takes its caret at once; anywhere else a long walk would hold the
    // user's keys for minutes, so past the limit the caret stays at the end.
    if (out.caretBack == 0 || desk_.PlaceCaretInEdit(target, out.unitsBack)) return;
    if (out.caretBack > paste::kCaretWalkLimit) return;
    for (int i = 0; i < out.caretBack; ++i) {
        PressKey(paste::kVkLeft);
        ReleaseKey(paste::kVkLeft);
    }
    desk_.Sleep(paste::kAfterKeysMs);
    desk_.DoEvents();
}

PasteOutcome PasteEngine::PasteAndRestore(uintptr_t target, const Outgoing& out) {
    if (const PasteOutcome o = PrepareTarget(target, ClipStep::Offer, out); o != PasteOutcome::Sent) {
        // Nothing was pasted: the user's clipboard comes back at once.
        if (desk_.HoldsSavedClipboard()) PutUserClipboardBack(true);
        return o;
    }
    // A monitor's request that came meanwhile is answered (with nothing) before the keys.
    desk_.DoEvents();
    gate_.KeysSent();
    SendKeyStroke(paste::kVkCtrl, paste::kVkV, 0);
    desk_.DoEvents();
    SendModeKey(target, out);
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

PasteOutcome PasteEngine::TypeInto(uintptr_t target, const Outgoing& out) {
    // Shift still held would turn the Enter of a line break into Shift+Enter.
    for (int waited = 0; waited < paste::kShiftReleaseLimitMs && desk_.ShiftDown();
         waited += paste::kFrontPollMs) {
        desk_.Sleep(paste::kFrontPollMs);
        desk_.DoEvents();
    }
    if (const PasteOutcome o = PrepareTarget(target, ClipStep::None, out); o != PasteOutcome::Sent) return o;
    // Keys the target has not taken yet follow the focus: events run only once the target
    // has what was sent, and a piece counts only when the target still had the focus after it.
    const std::vector<typing::Piece> pieces = typing::Pieces(out.text, paste::kTypingPieceChars);
    size_t total = 0, typed = 0;
    for (const typing::Piece& p : pieces) total += p.chars;
    desk_.CloseImeFor(target);
    for (const typing::Piece& p : pieces) {
        if (typed > 0 && !TargetStillInFront(target)) break;
        desk_.TypeKeys(p.keys);
        desk_.WaitKeysTaken(target, p.keys.size(), paste::kKeysTakenLimitMs);
        if (!SameHandle(desk_.ForegroundWindow(), target)) break;
        typed += p.chars;
    }
    desk_.ReopenIme();
    if (typed < total) {
        desk_.Message(paste::TypingCutText(typed, total), paste::kProgramTitle,
                      msgbox::kOk | msgbox::kIconExclamation);
        return PasteOutcome::TypingCut;
    }
    desk_.DoEvents();
    SendModeKey(target, out);
    return PasteOutcome::Sent;
}

bool PasteEngine::TargetStillInFront(uintptr_t target) {
    desk_.DoEvents();  // a click on a button meanwhile waits its turn in the queue
    const uintptr_t front = desk_.ForegroundWindow();
    if (SameHandle(front, target)) return true;
    // The panel came forward under that click: the target goes on; anywhere else, the user
    // went elsewhere and the rest must not follow.
    if (!SameHandle(front, Panel)) return false;
    desk_.BringToFront(target);
    return WaitUntilInFront(target);
}

PasteOutcome PasteEngine::KeyButtonNow(KeyButtonId which, const PasteRequest& request) {
    uintptr_t target = 0;
    if (const PasteOutcome o = LiveTarget(target); o != PasteOutcome::Sent) return o;
    if (ParkFocus && ParksFocus(request.source)) ParkFocus();
    // Restoring, the clipboard stays the user's: the last text is not put there again; nor
    // is a Private text that was forgotten when Private closed.
    const ClipStep step = Restoring() || !haveLastText_ ? ClipStep::None : ClipStep::Put;
    const Outgoing last{haveLastText_ ? lastText_ : std::wstring(), lastTextPrivate_};
    if (const PasteOutcome o = PrepareTarget(target, step, last); o != PasteOutcome::Sent) return o;

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
        case KeyButtonId::None: break;
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
