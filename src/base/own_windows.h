#pragma once
// The handles of the program's secondary windows, each written when its window loads (0
// until then). Target tracking keeps these windows from becoming the paste target, and the
// panel brings the open ones back in front of itself.
#include <cstdint>

struct OwnWindowTable {
    uintptr_t Form2 = 0;     // entry editor
    uintptr_t Form3 = 0;     // fortune screen
    uintptr_t Form4 = 0;     // password dialog
    uintptr_t Form5 = 0;     // new-copy dialog
    uintptr_t Form6 = 0;     // multi-line text editor
    uintptr_t Form7 = 0;     // restore dialog
    uintptr_t Form8 = 0;     // colour chooser
    uintptr_t frmAbout = 0;  // About box
};
