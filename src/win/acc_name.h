#pragma once
// A name for screen readers given by the control itself, for a box that has no label made
// just before it (where the system's own answer would take its name from).
#include <windows.h>

#include <string>

// The answer to WM_GETOBJECT: the system's object of `box` with `name` as its name; 0 (the
// system's own answer) for other objects or when it cannot be made.
LRESULT AnswerWithName(HWND box, WPARAM wp, LPARAM lp, const std::wstring& name);
