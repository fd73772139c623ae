// A clipboard owner that never answers: a format of its own, then a text it promises to render
// and never does (it sleeps when asked). Its own format goes first: Wine reads formats in this
// order, and lets no reader of ours in after the unanswered one. Runs until killed.
#include <windows.h>

#include <cstring>

int wmain() {
    WNDCLASSW wc{};
    wc.lpfnWndProc = [](HWND w, UINT m, WPARAM wp, LPARAM lp) -> LRESULT {
        if (m == WM_RENDERFORMAT) Sleep(INFINITE);
        return DefWindowProcW(w, m, wp, lp);
    };
    wc.lpszClassName = L"HarikoE2ESilentOwner";
    RegisterClassW(&wc);
    HWND w = CreateWindowW(wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    HGLOBAL own = GlobalAlloc(GMEM_MOVEABLE, 6);
    if (!w || !own || !OpenClipboard(w)) return 1;
    std::memcpy(GlobalLock(own), "silent", 6);
    GlobalUnlock(own);
    bool set = EmptyClipboard() && SetClipboardData(RegisterClipboardFormatW(L"HarikoE2E.Silent"), own);
    SetClipboardData(CF_UNICODETEXT, nullptr);  // a promise: no handle comes back
    set = set && IsClipboardFormatAvailable(CF_UNICODETEXT) && CloseClipboard();
    for (MSG msg; set && GetMessageW(&msg, nullptr, 0, 0) > 0;) DispatchMessageW(&msg);
    return set ? 0 : 1;
}
