// The panel's side of the paste engine: its buttons, the mode and the timer.
#include "panel/panel_window.h"

#include <optional>
#include <utility>

#include "panel/paste_logic.h"
#include "win/app.h"

namespace {

// The default IME window's commands (immdev.h).
constexpr WPARAM kImeGetOpen = 0x0005, kImeSetOpen = 0x0006;

// A host with its Japanese IME open takes typed characters into a composition and may
// reorder them: the target's IME is closed for the typing and put back as it was after.
class ImeClosedFor {
public:
    explicit ImeClosedFor(uintptr_t target) {
        using Fn = HWND(WINAPI*)(HWND);
        static const auto defaultImeWindow = reinterpret_cast<Fn>(reinterpret_cast<void*>(
            GetProcAddress(LoadLibraryW(L"imm32.dll"), "ImmGetDefaultIMEWnd")));
        if (!target || !defaultImeWindow) return;
        ime_ = defaultImeWindow(reinterpret_cast<HWND>(target));
        if (ime_) wasOpen_ = Control(kImeGetOpen, 0) != 0;
        if (wasOpen_) Control(kImeSetOpen, 0);
    }
    ~ImeClosedFor() {
        if (wasOpen_ && IsWindow(ime_)) Control(kImeSetOpen, 1);
    }
    ImeClosedFor(const ImeClosedFor&) = delete;
    ImeClosedFor& operator=(const ImeClosedFor&) = delete;

private:
    LRESULT Control(WPARAM what, LPARAM value) const {
        DWORD_PTR result = 0;
        // Another program's window: a hung one must not hang the panel.
        SendMessageTimeoutW(ime_, WM_IME_CONTROL, what, value, SMTO_ABORTIFHUNG, 500, &result);
        return static_cast<LRESULT>(result);
    }
    HWND ime_ = nullptr;
    bool wasOpen_ = false;
};

constexpr DWORD kActivatingClickMs = 3000;
}  // namespace

// ---- paste engine wiring ----------------------------------------------------------------

void PanelWindow::MirrorEngineState() {
    if (!editLastText) return;  // not made yet: made after the first paint, then filled
    const std::optional<uintptr_t> front = engine_->FrontWindow();
    // Any program can read a window's text: a Private text never stands in one.
    editLastText->SetText(lastFromPrivate_ ? std::wstring() : engine_->LastText());
    editFrontTitle->SetText(engine_->FrontTitle());
    editFrontWindow->SetText(front ? paste::HandleToText(*front) : L"");
    editTargetWindow->SetText(paste::HandleToText(engine_->Target()));
}

void PanelWindow::OnSampleTimer() {
    engine_->SampleForeground();
    MirrorEngineState();
    GuardPrivate();
}

void PanelWindow::NoteClipboard(uint32_t sequenceBefore, bool fromPrivate) {
    const uint32_t now = GetClipboardSequenceNumber();
    // Unchanged (typing, a Tab key, no target): what it held before is still due to go or stay.
    if (now == sequenceBefore) return;
    guard_.Pasted(GetTickCount(), fromPrivate && host_.DataSets().IsSealed(), !ClipRestore(), now);
}

void PanelWindow::GuardPrivate() {
    const DWORD now = GetTickCount();
    if (guard_.ClearDue(now, GetClipboardSequenceNumber()) && OpenClipboard(hwnd_)) {
        EmptyClipboard();
        CloseClipboard();
    }
    // Whether Private is sealed is read from its file: about once a second is enough.
    if (++guardTicks_ % 10 != 0 || Gone()) return;
    bool held = false;
    for (uintptr_t w : host_.OwnWindows().KeptInFrontOfPanel())
        held = held || (w && IsWindow(reinterpret_cast<HWND>(w)));
    const bool open = DataSet() == 2 && entriesSet == 2 && host_.DataSets().IsSealed();
    if (guard_.LockDue(now, open, held)) OnChoosePublic();
}

void PanelWindow::SetPrivateGuard(int clipClearSeconds, int lockMinutes) {
    guard_.Configure(clipClearSeconds, lockMinutes);
}

void PanelWindow::OnEntryClick(int slot) {
    // Shift as the click found it, or as the keyboard holds it now (a click that activates
    // the panel may come before the panel's thread saw the Shift key), or as it was when this
    // click activated the panel (the press and the release of one click: a few seconds at most).
    const bool activatingShift = std::exchange(shiftAtActivation_, false) &&
                                 GetTickCount() - shiftActivationTick_ < kActivatingClickMs;
    const bool shift = activatingShift || GetKeyState(VK_SHIFT) < 0 || GetAsyncKeyState(VK_SHIFT) < 0;
    lastFromPrivate_ = entriesSet == 2;
    guard_.Clicked(GetTickCount());
    const uint32_t sequence = GetClipboardSequenceNumber();
    {
        std::optional<ImeClosedFor> ime;
        if (shift) ime.emplace(engine_->Target());
        engine_->PasteEntry(paste::EntryText(entries, entryCount, slot),
                            {.fromPrivate = entriesSet == 2, .typed = shift});
    }
    NoteClipboard(sequence, lastFromPrivate_);
    MirrorEngineState();
}

void PanelWindow::KeyButton(KeyButtonId which) {
    guard_.Clicked(GetTickCount());
    const uint32_t sequence = GetClipboardSequenceNumber();
    engine_->KeyButton(which);  // may put the last text back on the clipboard
    NoteClipboard(sequence, lastFromPrivate_);
    MirrorEngineState();
}
void PanelWindow::OnPrevField() { KeyButton(KeyButtonId::Prev); }
void PanelWindow::OnNextField() { KeyButton(KeyButtonId::Next); }
void PanelWindow::OnNewLine() { KeyButton(KeyButtonId::NewLine); }

void PanelWindow::OnCycleMode() {
    switch (engine_->AdvanceModePosition()) {
    case PasteMode::PasteOnly: OnPasteOnly(); break;
    case PasteMode::ThenTab: OnThenTab(); break;
    case PasteMode::ThenEnter: OnThenEnter(); break;
    }
    btnFocusHolder->SetFocus();
}

// A mode that was chosen already leaves the buttons as they are; the panel still reloads.
void PanelWindow::ChooseMode(PasteMode mode) {
    if (host_.Choices().ChooseMode(mode)) {
        DrawTicks();
        // Only what the new mode does not show is hidden here; the layout shows the rest.
        if (mode != PasteMode::ThenTab) {
            btnPrev->SetVisible(false);
            btnNext->SetVisible(false);
        }
        if (mode != PasteMode::ThenEnter) btnNewLine->SetVisible(false);
        ShowMode(mode);
    }
    LoadDataSet();
    LayoutPanel();
}

void PanelWindow::ShowMode(PasteMode mode) {
    SetToolTip(btnMode, paste::ModeToolTip(mode));
    btnMode->SetText(mode == PasteMode::ThenTab     ? paste::kThenTabCaption
                     : mode == PasteMode::ThenEnter ? paste::kThenEnterCaption
                                                    : paste::kPasteOnlyCaption);
}

void PanelWindow::OnPasteOnly() { ChooseMode(PasteMode::PasteOnly); }
void PanelWindow::OnThenTab() { ChooseMode(PasteMode::ThenTab); }
void PanelWindow::OnThenEnter() { ChooseMode(PasteMode::ThenEnter); }
