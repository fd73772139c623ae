#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>

#include "panel/paste_logic.h"
#include "panel/win_desktop.h"
#include "support/wait.h"

using testsupport::WaitFor;

namespace {
std::wstring ClipboardUnicode() {
    std::wstring out;
    if (!OpenClipboard(nullptr)) return L"(clipboard not opened)";
    if (HANDLE h = GetClipboardData(CF_UNICODETEXT)) {
        if (auto* p = static_cast<const wchar_t*>(GlobalLock(h))) {
            out = p;
            GlobalUnlock(h);
        }
    }
    CloseClipboard();
    return out;
}

std::string ClipboardAnsi() {
    std::string out;
    if (!OpenClipboard(nullptr)) return "(clipboard not opened)";
    if (HANDLE h = GetClipboardData(CF_TEXT)) {
        if (auto* p = static_cast<const char*>(GlobalLock(h))) {
            out = p;
            GlobalUnlock(h);
        }
    }
    CloseClipboard();
    return out;
}

// A plain top-level window with a title, destroyed with the object.
struct TestWindow {
    HWND hwnd;
    explicit TestWindow(const std::wstring& title, DWORD style = WS_OVERLAPPEDWINDOW)
        : hwnd(CreateWindowExW(0, L"STATIC", title.c_str(), style, 40, 40, 400, 200, nullptr,
                               nullptr, GetModuleHandleW(nullptr), nullptr)) {}
    ~TestWindow() { DestroyWindow(hwnd); }
};

}  // namespace

TEST(WinDesktopClipboard, JapaneseTextRoundTripsAsUnicodeAndAsCp932) {
    WinDesktop desk(nullptr);
    const std::wstring text = L"青木　純\r\n＼(^-^)／ 〒100-0001";
    ASSERT_EQ(desk.PutTextOnClipboard(text, false), ClipResult::Ok);
    EXPECT_EQ(ClipboardUnicode(), text);
    // What a program that asks for ANSI text gets on a Japanese system.
    EXPECT_EQ(ClipboardAnsi().substr(0, 8), "\x90\xC2\x96\xD8\x81\x40\x8F\x83");

    ASSERT_EQ(desk.PutTextOnClipboard(L"", false), ClipResult::Ok);
    EXPECT_EQ(ClipboardUnicode(), L"");
}

TEST(WinDesktopClipboard, HeldByAnotherThreadGivesBusyAfterAboutASecondAndKeepsOldText) {
    WinDesktop desk(nullptr);
    ASSERT_EQ(desk.PutTextOnClipboard(L"前からある内容", false), ClipResult::Ok);

    std::atomic<bool> opened{false}, release{false}, openFailed{false};
    std::thread holder([&] {
        TestWindow w(L"holder", 0);
        if (!OpenClipboard(w.hwnd)) {
            openFailed = true;
            opened = true;
            return;
        }
        opened = true;
        while (!release) Sleep(10);
        CloseClipboard();
    });
    while (!opened) Sleep(5);
    ASSERT_FALSE(openFailed);

    const auto t0 = std::chrono::steady_clock::now();
    const ClipResult r = desk.PutTextOnClipboard(L"新しい内容", false);
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                        std::chrono::steady_clock::now() - t0).count();
    release = true;
    holder.join();

    EXPECT_EQ(r, ClipResult::Busy);
    EXPECT_GE(ms, 950);
    EXPECT_LT(ms, 3000);
    EXPECT_EQ(ClipboardUnicode(), L"前からある内容");
}

TEST(WinDesktopInput, ScanCodesComeFromTheKeyboardLayout) {
    WinDesktop desk(nullptr);
    EXPECT_NE(desk.ScanCode('V'), 0);
    EXPECT_NE(desk.ScanCode(VK_CONTROL), 0);
    EXPECT_NE(desk.ScanCode('V'), desk.ScanCode(VK_CONTROL));
}

TEST(WinDesktopTitles, NoticeTitleComesBackWholeAndLongTitlesAreCut) {
    WinDesktop desk(nullptr);
    {
        TestWindow w(paste::kNoticeTitle);
        EXPECT_EQ(desk.WindowTitleAnsiCut(reinterpret_cast<uintptr_t>(w.hwnd)), paste::kNoticeTitle);
    }
    {
        TestWindow w(paste::kNoticeTitle + L"です");
        EXPECT_EQ(desk.WindowTitleAnsiCut(reinterpret_cast<uintptr_t>(w.hwnd)), paste::kNoticeTitle);
    }
    {
        // 25 bytes: the last double-byte character does not fit and is left out whole.
        TestWindow w(L"a" + paste::kNoticeTitle);
        EXPECT_EQ(desk.WindowTitleAnsiCut(reinterpret_cast<uintptr_t>(w.hwnd)),
                  L"aあわてないで！ by ハリ");
    }
    EXPECT_EQ(desk.WindowTitleAnsiCut(0), L"");
}

TEST(WinDesktopWindows, ClosedWindowsAreNotAliveAndOursAreNotElevated) {
    WinDesktop desk(nullptr);
    uintptr_t h;
    {
        TestWindow w(L"一時");
        h = reinterpret_cast<uintptr_t>(w.hwnd);
        EXPECT_TRUE(desk.IsWindowAlive(h));
        EXPECT_FALSE(desk.IsTargetElevatedAboveUs(h));
    }
    EXPECT_FALSE(desk.IsWindowAlive(h));
    EXPECT_FALSE(desk.IsWindowAlive(0));
}

// The whole road of a paste with the real desktop: clipboard, bringing the target
// forward, and the synthetic Ctrl+V and Enter arriving in an edit box.
TEST(WinDesktopPaste, TextArrivesInTheTargetWindow) {
    WinDesktop desk(nullptr);
    HWND target = CreateWindowExW(0, L"EDIT", L"", WS_OVERLAPPEDWINDOW | WS_VISIBLE | ES_MULTILINE,
                                  60, 60, 400, 200, nullptr, nullptr, GetModuleHandleW(nullptr),
                                  nullptr);
    ASSERT_NE(target, nullptr);
    HWND other = CreateWindowExW(0, L"STATIC", L"other", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 500, 60,
                                 200, 100, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    SetForegroundWindow(other);
    ASSERT_TRUE(WaitFor([&] { return GetForegroundWindow() == other; }, 3000));

    struct : IPasteChoices {
        PanelChoices choices{.mode = PasteMode::ThenEnter};
        const PanelChoices& Choices() const override { return choices; }
        bool DataSetChosen() const override { return true; }
    } choices;
    PasteEngine eng(desk, choices);
    eng.Panel = reinterpret_cast<uintptr_t>(other);  // the "panel" is never the target
    eng.KeepTarget(reinterpret_cast<uintptr_t>(target));
    EXPECT_EQ(eng.Submit({.text = L"株式会社ハリコ"}), PasteOutcome::Sent);

    // The keys arrive through the input queue: waited for.
    std::wstring seen;
    WaitFor([&] {
        wchar_t buf[256] = {};
        GetWindowTextW(target, buf, 256);
        return (seen = buf) == L"株式会社ハリコ\r\n";
    }, 5000);
    EXPECT_EQ(seen, L"株式会社ハリコ\r\n");
    EXPECT_EQ(GetForegroundWindow(), target);

    DestroyWindow(other);
    DestroyWindow(target);
}
