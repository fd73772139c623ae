#pragma once
// Whether the user's colour scheme asks for the system colours: Windows' high contrast, or a
// scheme whose window text is light (white on a dark window). Then the program's own white
// would hide text drawn in the scheme's colours.
#include <windows.h>

#include "base/contrast.h"

inline bool SchemeWantsSystemColours() {
    HIGHCONTRASTW hc{sizeof hc};
    const bool high = SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof hc, &hc, 0) && (hc.dwFlags & HCF_HIGHCONTRASTON);
    return high || contrast::IsLight(GetSysColor(COLOR_WINDOWTEXT));
}
