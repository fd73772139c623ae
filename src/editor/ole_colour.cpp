#include "editor/ole_colour.h"

#include <windows.h>

#include "win/late_bound.h"

int32_t ResolveOleColour(int32_t colour, uintptr_t palette) {
    COLORREF rgb = 0;
    if (late::OleTranslateColor(static_cast<DWORD>(colour), reinterpret_cast<HPALETTE>(palette), &rgb) != S_OK)
        return -1;
    return static_cast<int32_t>(rgb);
}
