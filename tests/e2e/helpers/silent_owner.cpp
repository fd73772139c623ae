// A clipboard owner that never answers: it puts a format of its own and a text it promises to
// render on the clipboard, and when asked for the text it never answers. Runs until killed.
#include <windows.h>

#include <cstring>

namespace {
LRESULT CALLBACK Proc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    if (m == WM_RENDERFORMAT) Sleep(INFINITE);
    return DefWindowProcW(w, m, wp, lp);
}
}  // namespace

int wmain() {
    WNDCLASSW wc{};
    wc.lpfnWndProc = Proc;
    wc.lpszClassName = L"HarikoE2ESilentOwner";
    RegisterClassW(&wc);
    HWND w = CreateWindowW(wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    HGLOBAL own = GlobalAlloc(GMEM_MOVEABLE, 6);
    if (!w || !own || !OpenClipboard(w)) return 1;
    std::memcpy(GlobalLock(own), "silent", 6);
    GlobalUnlock(own);
    // Its own format first: Wine reads formats in this order, and after the unanswered one
    // it lets no reader of ours in.
    bool set = EmptyClipboard() && SetClipboardData(RegisterClipboardFormatW(L"HarikoE2E.Silent"), own);
    SetClipboardData(CF_UNICODETEXT, nullptr);  // a promise: returns no handle
    set = set && IsClipboardFormatAvailable(CF_UNICODETEXT);
    CloseClipboard();
    if (!set) return 1;
    for (MSG msg; GetMessageW(&msg, nullptr, 0, 0) > 0;) DispatchMessageW(&msg);
    return 0;
}
