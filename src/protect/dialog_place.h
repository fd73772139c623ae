#pragma once
// Placing the protect/ dialogs: a client area of given twips, centred on the screen of the
// window they belong to.
#include <windows.h>

#include "win/form.h"

void PlaceDialog(Form& form, HWND nearWindow, int clientWidth, int clientHeight);

// The push button that has the focus, as the default button of a window that is no dialog:
// Enter on it presses it (the answer to DM_GETDEFID), 0 when the focus is elsewhere.
LRESULT FocusedButtonAsDefault(HWND form);
