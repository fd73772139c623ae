#pragma once
// A one-line box of a dialog that hands Enter to its window instead of beeping, and lets in
// only the characters its window accepts, whether typed, composed or pasted.
#include <windows.h>

#include <functional>

struct EditFilter {
    UINT enterMsg = 0;                       // posted to the box's parent for Enter; 0: none
    std::function<bool(wchar_t)> accepts;    // empty: every character
    std::function<void()> refused;           // a refused character (a beep, a hint)
    bool checkPastes = false;                // pasted or composed text with one is taken back
};

void FilterEdit(HWND edit, EditFilter filter);
