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
