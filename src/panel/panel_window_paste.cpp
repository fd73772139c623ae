// The panel's side of the paste engine: its buttons, the mode and the timer.
#include "panel/panel_window.h"

#include <utility>

#include "panel/paste_logic.h"
#include "win/app.h"

namespace {
constexpr DWORD kActivatingClickMs = 3000;
}  // namespace

// ---- paste engine wiring ----------------------------------------------------------------

void PanelWindow::MirrorEngineState() {
    if (!editLastText) return;  // not made yet: made after the first paint, then filled
    const std::optional<uintptr_t> front = engine_->FrontWindow();
    editLastText->SetText(engine_->LastText());
    editFrontTitle->SetText(engine_->FrontTitle());
    editFrontWindow->SetText(front ? paste::HandleToText(*front) : L"");
    editTargetWindow->SetText(paste::HandleToText(engine_->Target()));
}

void PanelWindow::OnSampleTimer() {
    engine_->SampleForeground();
    MirrorEngineState();
}

void PanelWindow::OnEntryClick(int slot) {
    // Shift as the click found it, or as the keyboard holds it now (a click that activates
    // the panel may come before the panel's thread saw the Shift key), or as it was when this
    // click activated the panel (the press and the release of one click: a few seconds at most).
    const bool activatingShift = std::exchange(shiftAtActivation_, false) &&
                                 GetTickCount() - shiftActivationTick_ < kActivatingClickMs;
    const bool shift = activatingShift || GetKeyState(VK_SHIFT) < 0 || GetAsyncKeyState(VK_SHIFT) < 0;
    engine_->PasteEntry(paste::EntryText(entries, entryCount, slot),
                        {.fromPrivate = entriesSet == 2, .typed = shift});
    MirrorEngineState();
}

void PanelWindow::KeyButton(KeyButtonId which) {
    engine_->KeyButton(which);
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
        SetToolTip(btnMode, paste::ModeToolTip(mode));
    }
    LoadDataSet();
    LayoutPanel();
}

void PanelWindow::OnPasteOnly() { ChooseMode(PasteMode::PasteOnly); }
void PanelWindow::OnThenTab() { ChooseMode(PasteMode::ThenTab); }
void PanelWindow::OnThenEnter() { ChooseMode(PasteMode::ThenEnter); }
