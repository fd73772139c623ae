#pragma once
// The handles of the program's secondary windows, each written when its window opens (0 until
// then), and the questions the program asks of them. Each list is written here once.
#include <array>
#include <cstdint>

struct OwnWindowTable {
    uintptr_t entryEditor = 0;          // entry editor
    uintptr_t fortuneScreen = 0;          // fortune screen
    uintptr_t passwordDialog = 0;          // password dialog
    uintptr_t newCopyDialog = 0;          // new-copy dialog
    uintptr_t textEditor = 0;          // multi-line text editor
    uintptr_t restoreDialog = 0;          // restore dialog
    uintptr_t colourChooser = 0;          // colour chooser
    uintptr_t aboutBox = 0;       // About box
    uintptr_t privatePasswordPrompt = 0;  // the Private password asked for when the password file is damaged
    uintptr_t csvPreview = 0;             // what a CSV file brings, before it is read in
    uintptr_t searchWindow = 0;           // ｴﾝﾄﾘを探す

    // Never the paste target. The colour chooser is left out on purpose: it may become the
    // target, which only means that the next paste asks the user to click the target again
    // (it is gone by then), never that text goes astray.
    std::array<uintptr_t, 10> NeverTarget() const {
        return {entryEditor, fortuneScreen, passwordDialog, newCopyDialog, textEditor, restoreDialog, aboutBox, privatePasswordPrompt,
                csvPreview, searchWindow};
    }

    // The windows that keep the user's work away from the panel (dialogs and editors): while
    // one of them is in front, resting the pointer on the panel does not bring it forward, and
    // when the panel is activated again they are brought back in front of it. The About box and
    // the fortune screen are not among them: they do not hold up the panel.
    std::array<uintptr_t, 8> KeptInFrontOfPanel() const {
        return {entryEditor, passwordDialog, newCopyDialog, textEditor, restoreDialog, colourChooser, privatePasswordPrompt,
                csvPreview};
    }

    // Everything that is closed before the panel closes.
    std::array<uintptr_t, 11> All() const {
        return {entryEditor, fortuneScreen, passwordDialog, newCopyDialog, textEditor, restoreDialog, colourChooser, aboutBox, privatePasswordPrompt,
                csvPreview, searchWindow};
    }
};
