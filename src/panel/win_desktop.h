#pragma once
// The desktop of the paste engine on Win32.
#include <windows.h>

#include "panel/desktop.h"

class WinDesktop : public IDesktop {
public:
    // owner: the panel, which owns the message boxes (may be null, e.g. in tests).
    explicit WinDesktop(HWND owner);
    ~WinDesktop() override;
    WinDesktop(const WinDesktop&) = delete;
    WinDesktop& operator=(const WinDesktop&) = delete;

    void SetOwner(HWND owner) { owner_ = owner; }
    // How long PutTextOnClipboard keeps trying while another program holds the clipboard.
    void SetClipboardRetryMs(DWORD ms) { clipboardRetryMs_ = ms; }

    uintptr_t ForegroundWindow() override;
    std::wstring WindowTitleAnsiCut(uintptr_t h) override;
    void BringToFront(uintptr_t h) override;
    bool IsWindowAlive(uintptr_t h) override;
    bool IsTargetElevatedAboveUs(uintptr_t h) override;
    uint8_t ScanCode(uint8_t vk) override;
    void KeyEvent(uint8_t vk, uint8_t scan, uint32_t flags) override;
    void MouseLeftUp(int x, int y) override;
    DeskRect WindowRect(uintptr_t h) override;
    DeskPoint CursorPos() override;
    ClipResult PutTextOnClipboard(const std::wstring& text) override;
    void Sleep(int ms) override;
    void DoEvents() override;
    int Message(const std::wstring& text, const std::wstring& title, uint32_t flags) override;

private:
    HWND owner_;
    HWND clipboardWindow_ = nullptr;  // message-only; EmptyClipboard needs an owner window
    DWORD clipboardRetryMs_ = 1000;
    // Our own token, read once: integrity level (Vista and later) and elevation.
    bool ownLevelKnown_ = false;
    DWORD ownLevel_ = 0;
    bool ownElevated_ = false;
};
