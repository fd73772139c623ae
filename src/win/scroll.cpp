#include "win/scroll.h"

#include <algorithm>

std::optional<int> NextScrollValue(HWND bar, int code, int current, int smallChange, int largeChange, int max) {
    switch (code) {
    case SB_LINEUP: return current - smallChange;
    case SB_LINEDOWN: return current + smallChange;
    case SB_PAGEUP: return current - largeChange;
    case SB_PAGEDOWN: return current + largeChange;
    case SB_TOP: return 0;
    case SB_BOTTOM: return max;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: {
        // The 32-bit track position: the message carries only 16 bits.
        SCROLLINFO si{};
        si.cbSize = sizeof si;
        si.fMask = SIF_TRACKPOS;
        GetScrollInfo(bar, SB_CTL, &si);
        return si.nTrackPos;
    }
    default: return std::nullopt;
    }
}

void SetScrollBar(HWND bar, int value, int max, int page, bool keepShown) {
    SCROLLINFO si{};
    si.cbSize = sizeof si;
    si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | (keepShown ? SIF_DISABLENOSCROLL : 0);
    si.nMin = 0;
    si.nPage = static_cast<UINT>(std::max(1, page));
    si.nMax = std::max(0, max) + static_cast<int>(si.nPage) - 1;
    si.nPos = value;
    SetScrollInfo(bar, SB_CTL, &si, TRUE);
}

void SetScrollPosition(HWND bar, int value) {
    SCROLLINFO si{};
    si.cbSize = sizeof si;
    si.fMask = SIF_POS;
    si.nPos = value;
    SetScrollInfo(bar, SB_CTL, &si, TRUE);
}
