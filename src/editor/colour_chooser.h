#pragma once
// The colour chooser: 16 swatches from Color.dat. A left click picks the swatch's colour for
// the entry editor's row and closes; a right click makes a new colour for the swatch in the
// system colour dialog. Color.dat is written again, in decimal, whenever it closes.
#include <windows.h>

#include <array>
#include <cstdint>
#include <functional>

#include "editor/editor_ids.h"
#include "editor/colour_chooser_logic.h"
#include "win/form.h"

class EntryEditor;

class ColourChooser : public Form {
public:
    explicit ColourChooser(EntryEditor& editor);
    ~ColourChooser() override;

    // Creates the window, fills it and shows it.
    bool Open();
    // button 1 left, 2 right; any other does nothing.
    void OnSwatchPressed(int index, int button);
    void OnClosing();
    // Arrows move the marked swatch, Enter or Space takes it, Esc closes choosing nothing.
    void OnKey(UINT key);
    int CurrentSwatch() const { return current_; }

    Control* swatches[editor::kSwatches] = {};
    Control* lblHowTo = nullptr;
    std::array<int32_t, editor::kSwatches> customColours{};

    // The system colour dialog; replaceable so tests can answer it.
    static ColourDialog::Dialog SystemDialog;

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void Close();

    EntryEditor& editor_;
    bool closed_ = false;
    int current_ = 0;  // the swatch the keys act on, marked with a focus rectangle
};
