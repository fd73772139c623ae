// The panel's side of pasting: requests from every source into the one engine, the step
// after each paste, the hotkeys and the Private guard.
#include "panel/paste_side.h"

#include <commctrl.h>

#include <optional>
#include <string>
#include <utility>

#include "panel/entry_column.h"
#include "panel/panel_ids.h"
#include "panel/win_desktop.h"
#include "win/app.h"

namespace {

constexpr UINT_PTR kSampleTimer = 1;
constexpr DWORD kActivatingClickMs = 3000;
// wtsapi32.h, not included for these.
constexpr DWORD kNotifyForThisSession = 0;  // NOTIFY_FOR_THIS_SESSION

bool KeyUp(unsigned vk) { return (GetAsyncKeyState(static_cast<int>(vk)) & 0x8000) == 0; }
}  // namespace

PasteSide::PasteSide(Form& panel, IPanelHost& host, EntryColumn& column, Links links)
    : panel_(panel), host_(host), column_(column), links_(std::move(links)) {}

PasteSide::~PasteSide() = default;

void PasteSide::Create() {
    desktop_ = std::make_unique<WinDesktop>(panel_.hwnd());
    engine_ = std::make_unique<PasteEngine>(*desktop_, static_cast<const IPasteChoices&>(*this));
    engine_->Panel = reinterpret_cast<uintptr_t>(panel_.hwnd());
    engine_->Own = &host_.OwnWindows();
    engine_->Dpi = panel_.Dpi();
    engine_->ParkFocus = links_.parkFocus;
    engine_->AfterPaste = [this](const PasteDone& done) { AfterPaste(done); };
    OSVERSIONINFOW vi{};
    vi.dwOSVersionInfoSize = sizeof vi;
    using Fn = LONG(WINAPI*)(OSVERSIONINFOW*);
    auto fn = reinterpret_cast<Fn>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "RtlGetVersion")));
    if (fn && fn(&vi) == 0) {
        engine_->OsMajor = static_cast<int>(vi.dwMajorVersion);
        engine_->OsMinor = static_cast<int>(vi.dwMinorVersion);
    }
}

void PasteSide::StartTimer() { SetTimer(panel_.hwnd(), kSampleTimer, 100, nullptr); }

void PasteSide::AfterFirstPaint() {
    MakeFields();
    painted_ = true;
    if (Choices().hotKeys) SetHotKeys(true, false);
    // The session's lock closes a sealed Private; wtsapi32 is loaded only for this.
    using Register = BOOL(WINAPI*)(HWND, DWORD);
    if (HMODULE wts = LoadLibraryW(L"wtsapi32.dll"))
        if (auto reg = reinterpret_cast<Register>(reinterpret_cast<void*>(
                GetProcAddress(wts, "WTSRegisterSessionNotification"))))
            sessionNotified_ = reg(panel_.hwnd(), kNotifyForThisSession) != FALSE;
}

void PasteSide::Stop() {
    KillTimer(panel_.hwnd(), kSampleTimer);
    if (sessionNotified_) {
        using Unregister = BOOL(WINAPI*)(HWND);
        if (auto unreg = reinterpret_cast<Unregister>(reinterpret_cast<void*>(
                GetProcAddress(GetModuleHandleW(L"wtsapi32.dll"), "WTSUnRegisterSessionNotification"))))
            unreg(panel_.hwnd());
    }
    UnregisterHotKeys();
}

void PasteSide::MakeFields() {
    if (editLastText_) return;
    // The paste engine's fields lie outside the visible area: made once the panel shows.
    auto field = [this](int top, int id) {
        Control* c = panel_.AddControl({.cls = L"EDIT", .style = WS_VISIBLE | ES_AUTOHSCROLL, .left = 3000,
                                        .top = top, .width = 1000, .height = 300, .id = id});
        c->SetFont(kUiFont, 9);
        return c;
    };
    editLastText_ = field(0, panel_ids::kEditLastText);
    editFrontTitle_ = field(400, panel_ids::kEditFrontTitle);
    editFrontWindow_ = field(800, panel_ids::kEditFrontWindow);
    editTargetWindow_ = field(1200, panel_ids::kEditTargetWindow);
    MirrorEngineState();
}

void PasteSide::MirrorEngineState() {
    if (!editLastText_) return;  // not made yet: made after the first paint, then filled
    const std::optional<uintptr_t> front = engine_->FrontWindow();
    // Any program can read a window's text: the engine never shows a Private text here.
    editLastText_->SetText(engine_->ShownLastText());
    editFrontTitle_->SetText(engine_->FrontTitle());
    editFrontWindow_->SetText(front ? paste::HandleToText(*front) : L"");
    editTargetWindow_->SetText(paste::HandleToText(engine_->Target()));
}

void PasteSide::OnTimer() {
    engine_->SampleForeground();
    MirrorEngineState();
    GuardPrivate();
    // A key another program held may be free by now.
    if (keys_.RetryDue(GetTickCount64())) RetryHotKeys();
    // A held hotkey comes again and again: a press counts once the key was seen up.
    for (int id = 1; id <= hotkey::kLastKey; ++id)
        if (repeats_.Held(id) && KeyUp(hotkey::VirtualKey(id))) repeats_.SeenUp(id, GetTickCount());
}

void PasteSide::AfterPaste(const PasteDone& done) {
    guard_.Clicked(GetTickCount());  // any paste is use: Private stays open
    const uint32_t now = GetClipboardSequenceNumber();
    // Unchanged (typing, a Tab key, no target): what it held before is still due to go or stay.
    if (now != done.sequenceBefore)
        guard_.Pasted(GetTickCount(), done.isPrivate && host_.DataSets().FileIsSealed(), !Choices().clipRestore, now);
    MirrorEngineState();
}

void PasteSide::GuardPrivate() {
    const DWORD now = GetTickCount();
    if (guard_.ClearDue(now, GetClipboardSequenceNumber()) && OpenClipboard(panel_.hwnd())) {
        EmptyClipboard();
        CloseClipboard();
    }
    // Whether Private is sealed is read from its file: about once a second is enough. Never
    // while a paste runs: its text and target stay what they were.
    if (++guardTicks_ % 10 != 0 || links_.gone() || engine_->Busy()) return;
    bool held = false;
    for (uintptr_t w : host_.OwnWindows().KeptInFrontOfPanel())
        held = held || (w && IsWindow(reinterpret_cast<HWND>(w)));
    const bool open = Choices().dataSet == DataSet::Private && column_.Set() == DataSet::Private &&
                      !column_.Locked() && host_.DataSets().FileIsSealed();
    if (guard_.LockDue(now, open, held)) {
        engine_->ForgetPrivateText();
        links_.closePrivate();
    }
}

void PasteSide::OnMouseActivate(bool inClient) {
    Used();
    shiftAtActivation_ = inClient && (GetKeyState(VK_SHIFT) < 0 || GetAsyncKeyState(VK_SHIFT) < 0);
    shiftActivationTick_ = GetTickCount();
}

bool PasteSide::ShiftForClick() {
    // Shift as the click found it, or as the keyboard holds it now (a click that activates
    // the panel may come before the panel's thread saw the Shift key), or as it was when this
    // click activated the panel (the press and the release of one click: a few seconds at most).
    const bool activatingShift = std::exchange(shiftAtActivation_, false) &&
                                 GetTickCount() - shiftActivationTick_ < kActivatingClickMs;
    return activatingShift || GetKeyState(VK_SHIFT) < 0 || GetAsyncKeyState(VK_SHIFT) < 0;
}

void PasteSide::OnEntryClick(int entry, bool fromKeyboard) {
    const bool shift = !fromKeyboard && ShiftForClick();
    Used();
    // The lock's own entry: it only asks.
    if (HeldByLock({.source = PasteSource::EntryClick})) return;
    engine_->Submit({.text = column_.Text(entry), .isPrivate = column_.Set() == DataSet::Private, .typed = shift,
                     .source = fromKeyboard ? PasteSource::FocusedPanel : PasteSource::EntryClick});
}

void PasteSide::OnKeyButton(KeyButtonId which) {
    Used();
    if (HeldByLock({.source = PasteSource::KeyButton, .key = which})) return;
    engine_->Submit({.source = PasteSource::KeyButton, .key = which});
}

void PasteSide::OnHotKey(int id, DWORD postedAt) {
    if (links_.gone() || !Choices().hotKeys || !repeats_.Pressed(id, postedAt)) return;
    if (id == hotkey::kShowPanel) return ShowPanelForKeys();
    if (id == hotkey::kFindEntry) {
        KeepFrontAsTarget();  // where the search pastes, as a click on the panel keeps it
        return links_.openSearch();
    }
    const auto entry = hotkey::EntryOf(id);
    if (entry && HeldByLock({.source = PasteSource::HotKey, .entry = *entry})) return;
    if (!entry || *entry >= column_.Count() || column_.Text(*entry).empty()) return;
    engine_->Submit({.text = column_.Text(*entry), .isPrivate = column_.Set() == DataSet::Private, .source = PasteSource::HotKey});
}

bool PasteSide::HeldByLock(const private_lock::Asked& asked) {
    const private_lock::Verdict verdict = lockGate_.Decide(column_.Locked(), asked);
    if (verdict == private_lock::Verdict::Paste) return false;
    // The window in front now is where the text goes once the password was given.
    if (asked.source == PasteSource::HotKey) KeepFrontAsTarget();
    if (verdict == private_lock::Verdict::Ask)
        host_.OpenPasswordDialog([this](bool opened) { PasswordAnswered(opened); });
    return true;
}

void PasteSide::PasswordAnswered(bool opened) {
    for (const private_lock::Asked& a : lockGate_.Answered(opened)) {
        if (links_.gone() || column_.Locked()) return;
        if (a.key != KeyButtonId::None) {
            engine_->Submit({.source = PasteSource::KeyButton, .key = a.key});
        } else if (a.entry < column_.Count() && !column_.Text(a.entry).empty()) {
            engine_->Submit({.text = column_.Text(a.entry), .isPrivate = column_.Set() == DataSet::Private,
                             .source = PasteSource::AfterPassword});
        }
    }
}

void PasteSide::OnSearchPaste(PasteRequest request) {
    Used();
    engine_->Submit(std::move(request));
}

void PasteSide::KeepFrontAsTarget() {
    HWND front = GetForegroundWindow();
    if (front && front != panel_.hwnd()) engine_->KeepTarget(reinterpret_cast<uintptr_t>(front));
}

void PasteSide::ShowPanelForKeys() {
    KeepFrontAsTarget();
    if (panel_.Minimized()) ShowWindow(panel_.hwnd(), SW_RESTORE);
    SetForegroundWindow(panel_.hwnd());
    if (column_.Count() > 0) column_.FocusEntry(0);
    // Keyboard cues on: the focus mark shows even though no key was pressed in the panel.
    SendMessageW(panel_.hwnd(), WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
}

void PasteSide::GiveFocusBack() {
    HWND target = reinterpret_cast<HWND>(engine_->Target());
    if (target && IsWindow(target)) SetForegroundWindow(target);
}

void PasteSide::SetHotKeys(bool on, bool tellHeld) {
    host_.Choices().hotKeys = on;
    UnregisterHotKeys();
    // At start the keys wait for the first paint: nobody presses them before the panel shows.
    if (!on || !panel_.hwnd() || !painted_) return;
    RetryHotKeys();
    if (tellHeld) TellHeldHotKeys();
}

void PasteSide::RetryHotKeys() {
    if (!Choices().hotKeys || !panel_.hwnd()) return;
    const HWND w = panel_.hwnd();
    keys_.TryMissing([w](int id) { return RegisterHotKey(w, id, MOD_CONTROL | MOD_ALT | MOD_NOREPEAT, hotkey::VirtualKey(id)) != FALSE; },
                     GetTickCount64());
}

void PasteSide::TellHeldHotKeys() {
    if (!Choices().hotKeys || keys_.Missing().empty()) return;
    std::wstring held;
    for (int id : keys_.Missing()) held += std::wstring(held.empty() ? L"" : L"、") + hotkey::KeyName(id);
    MsgBox(L"次のキーはほかのプログラムが使っているため使えません。\r\n\r\n" + held +
               L"\r\n\r\nほかのキーは使えます。",
           MB_OK | MB_ICONINFORMATION, host_.ExeName());
}

void PasteSide::UnregisterHotKeys() {
    for (int id : keys_.Held()) UnregisterHotKey(panel_.hwnd(), id);
    keys_.Clear();
}
