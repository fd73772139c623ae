#pragma once
// Placing the protect/ dialogs: a client area of given twips, centred on the screen of the
// window they belong to.
#include <windows.h>

#include "win/form.h"

void PlaceDialog(Form& form, HWND nearWindow, int clientWidth, int clientHeight);
