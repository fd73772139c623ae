#pragma once
// The value a vertical scroll bar control moves to, in the window's own units (twips).
#include <windows.h>

#include <optional>

// For a WM_VSCROLL code: one step for the arrows, a page for the track, the ends, the thumb.
// Nothing for codes that move nothing (SB_ENDSCROLL). Not clamped.
std::optional<int> NextScrollValue(HWND bar, int code, int current, int smallChange, int largeChange, int max);
// The range 0..max with a page of `page`, and the position.
void SetScrollBar(HWND bar, int value, int max, int page, bool keepShown = false);
void SetScrollPosition(HWND bar, int value);
