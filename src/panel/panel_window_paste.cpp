// The panel's side of the paste engine: its buttons, the mode and the timer.
#include "panel/panel_window.h"

#include "panel/paste_logic.h"
#include "win/app.h"

// ---- paste engine wiring ----------------------------------------------------------------

void PanelWindow::SyncEngineFields() {
    if (!Text1) return;  // not made yet: they are made with the engine's values
    Text1->SetText(engine_->Text1);
    Text2->SetText(engine_->Text2);
    Text3->SetText(engine_->Text3);
    Text4->SetText(engine_->Text4);
}

void PanelWindow::Timer1_Timer() {
    engine_->Mode = CurrentMode();
    engine_->StartupDataSet = host_.StartupDataSet();
    engine_->Timer1_Timer();
    SyncEngineFields();
}

void PanelWindow::Command1_Click(int index) {
    engine_->Mode = CurrentMode();
    engine_->RestoreClipboard = ClipRestore();
    // Shift as the click found it, or as the keyboard holds it now (a click that activates
    // the panel may come before the panel's thread saw the Shift key).
    const bool shift = GetKeyState(VK_SHIFT) < 0 || GetAsyncKeyState(VK_SHIFT) < 0;
    engine_->Command1_Click(index, entryCount, texts, {.fromPrivate = textsSet == 2, .typed = shift});
    SyncEngineFields();
}

void PanelWindow::KeyButton(int which) {
    engine_->RestoreClipboard = ClipRestore();
    engine_->KeyButton(static_cast<KeyButtonId>(which));
    SyncEngineFields();
}
void PanelWindow::Command5_Click() { KeyButton(5); }
void PanelWindow::Command6_Click() { KeyButton(6); }
void PanelWindow::Command7_Click() { KeyButton(7); }

void PanelWindow::Command8_Click() {
    switch (engine_->AdvanceModePosition()) {
    case PasteMode::Def: Mode_Def_Click(); break;
    case PasteMode::Kensho: Mode_Click(); break;
    case PasteMode::Bunsho: Mode_Ent_Click(); break;
    }
    modePosition_ = static_cast<int16_t>(engine_->ModeSwitchPosition);
    Command3->SetFocus();
}

void PanelWindow::Mode_Def_Click() {
    if (CurrentMode() != PasteMode::Def) {
        ChooseMode(PasteMode::Def);
        Command5->SetVisible(false);
        Command6->SetVisible(false);
        Command7->SetVisible(false);
        SetToolTip(Command8, paste::ModeToolTip(PasteMode::Def));
    }
    engine_->Mode = CurrentMode();
    LoadDataSet();
    LayoutPanel();
}

void PanelWindow::Mode_Click() {
    if (CurrentMode() != PasteMode::Kensho) {
        ChooseMode(PasteMode::Kensho);
        Command7->SetVisible(false);
        SetToolTip(Command8, paste::ModeToolTip(PasteMode::Kensho));
    }
    engine_->Mode = CurrentMode();
    LoadDataSet();
    LayoutPanel();
}

void PanelWindow::Mode_Ent_Click() {
    if (CurrentMode() != PasteMode::Bunsho) {
        ChooseMode(PasteMode::Bunsho);
        Command5->SetVisible(false);
        Command6->SetVisible(false);
        SetToolTip(Command8, paste::ModeToolTip(PasteMode::Bunsho));
    }
    engine_->Mode = CurrentMode();
    LoadDataSet();
    LayoutPanel();
}
