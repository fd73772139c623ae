#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>

#include "panel/win_desktop.h"

// The user's bitmap and a format of an application's own go away for a Private offer (which
// carries its marks) and come back whole.
TEST(WinDesktopClipboard, SavedFormatsComeBackAfterAPrivateOffer) {
    WinDesktop desk(nullptr);
    const UINT own = RegisterClipboardFormatW(L"HarikoTest.Own"), mark = RegisterClipboardFormatW(L"CanIncludeInClipboardHistory");
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 16, 8);
    ReleaseDC(nullptr, screen);
    HGLOBAL data = GlobalAlloc(GMEM_MOVEABLE, 5);
    std::memcpy(GlobalLock(data), "\x01\x00\xFFok", 5);
    GlobalUnlock(data);
    ASSERT_TRUE(OpenClipboard(nullptr) && EmptyClipboard() && SetClipboardData(CF_BITMAP, bitmap) &&
                SetClipboardData(own, data) && CloseClipboard());

    ASSERT_EQ(desk.SaveClipboard(), ClipResult::Ok);
    ASSERT_EQ(desk.OfferTextOnClipboard(L"口座", true, [](uint32_t) { return true; }), ClipResult::Ok);
    EXPECT_TRUE(IsClipboardFormatAvailable(CF_UNICODETEXT) && IsClipboardFormatAvailable(mark));
    EXPECT_FALSE(IsClipboardFormatAvailable(CF_BITMAP) || IsClipboardFormatAvailable(own));

    EXPECT_EQ(desk.RestoreClipboard(true), RestoreResult::Restored);
    EXPECT_FALSE(desk.HoldsSavedClipboard() || IsClipboardFormatAvailable(mark));
    ASSERT_TRUE(OpenClipboard(nullptr));
    BITMAP b{};
    EXPECT_TRUE(GetObjectW(GetClipboardData(CF_BITMAP), sizeof b, &b) && b.bmWidth == 16 && b.bmHeight == 8);
    HANDLE back = GetClipboardData(own);
    EXPECT_TRUE(back && GlobalSize(back) >= 5 && std::memcmp(GlobalLock(back), "\x01\x00\xFFok", 5) == 0);
    if (back) GlobalUnlock(back);
    CloseClipboard();
}

// An owner that never answers a render request: the save gives up on its text within a second,
// the panel's events go on meanwhile, and the format already on the clipboard comes back.
// An empty clipboard comes back empty.
TEST(WinDesktopClipboard, AnOwnerThatNeverRendersCostsUnderASecondAndEmptyStaysEmpty) {
    const UINT own = RegisterClipboardFormatW(L"HarikoTest.Own");
    HANDLE release = CreateEventW(nullptr, TRUE, FALSE, nullptr), ready = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    static HANDLE hang;
    hang = release;
    DWORD ownerThread = 0;
    HANDLE owner = CreateThread(nullptr, 0, [](void* readyEvent) -> DWORD {
        WNDCLASSW wc{};
        wc.lpfnWndProc = [](HWND w, UINT m, WPARAM wp, LPARAM lp) -> LRESULT {
            if (m == WM_RENDERFORMAT) WaitForSingleObject(hang, INFINITE);
            return DefWindowProcW(w, m, wp, lp);
        };
        wc.lpszClassName = L"HarikoTestSilentOwner";
        RegisterClassW(&wc);
        HWND w = CreateWindowW(wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
        HGLOBAL data = GlobalAlloc(GMEM_MOVEABLE, 3);
        std::memcpy(GlobalLock(data), "own", 3);
        GlobalUnlock(data);
        if (OpenClipboard(w) && EmptyClipboard()) {
            SetClipboardData(RegisterClipboardFormatW(L"HarikoTest.Own"), data);
            SetClipboardData(CF_UNICODETEXT, nullptr);
            CloseClipboard();
        }
        SetEvent(readyEvent);
        for (MSG msg; GetMessageW(&msg, nullptr, 0, 0) > 0;) DispatchMessageW(&msg);
        DestroyWindow(w);
        return 0;
    }, ready, 0, &ownerThread);
    ASSERT_EQ(WaitForSingleObject(ready, 5000), WAIT_OBJECT_0);

    WinDesktop desk(nullptr);
    PostThreadMessageW(GetCurrentThreadId(), WM_NULL, 0, 0);
    const DWORD start = GetTickCount();
    EXPECT_EQ(desk.SaveClipboard(), ClipResult::Ok);
    const DWORD took = GetTickCount() - start;
    MSG left;
    const bool eventsRan = !PeekMessageW(&left, nullptr, WM_NULL, WM_NULL, PM_NOREMOVE);
    EXPECT_TRUE(took >= 400 && took < 1000 && eventsRan) << took << " ms";
    ASSERT_EQ(desk.OfferTextOnClipboard(L"氏名", false, [](uint32_t) { return true; }), ClipResult::Ok);
    EXPECT_EQ(desk.RestoreClipboard(true), RestoreResult::Restored);
    EXPECT_FALSE(IsClipboardFormatAvailable(CF_UNICODETEXT));
    // Wine lets no other reader of the clipboard in while the owner keeps one waiting.
    SetEvent(release);
    PostThreadMessageW(ownerThread, WM_QUIT, 0, 0);
    EXPECT_EQ(WaitForSingleObject(owner, 5000), WAIT_OBJECT_0);
    CloseHandle(owner), CloseHandle(ready), CloseHandle(release);
    ASSERT_TRUE(OpenClipboard(nullptr));
    HANDLE back = GetClipboardData(own);
    EXPECT_TRUE(back && GlobalSize(back) >= 3 && std::memcmp(GlobalLock(back), "own", 3) == 0);
    if (back) GlobalUnlock(back);
    EXPECT_TRUE(EmptyClipboard() && CloseClipboard());

    ASSERT_EQ(desk.SaveClipboard(), ClipResult::Ok);
    ASSERT_EQ(desk.OfferTextOnClipboard(L"口座", true, [](uint32_t) { return true; }), ClipResult::Ok);
    EXPECT_EQ(desk.RestoreClipboard(true), RestoreResult::Restored);
    EXPECT_EQ(CountClipboardFormats(), 0);
}
