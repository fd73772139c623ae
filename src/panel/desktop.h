#pragma once
// The few desktop services the paste engine drives. One Win32 implementation
// (WinDesktop) and one recording fake for the tests; the engine never sees an OS header.
#include <cstdint>
#include <string>

struct DeskRect {
    int left = 0, top = 0, right = 0, bottom = 0;
};

struct DeskPoint {
    int x = 0, y = 0;
};

enum class ClipResult {
    Ok,      // the text is on the clipboard
    Busy,    // another program kept the clipboard open for the whole retry time
    Failed,  // opened, but the text could not be stored (out of memory, refused)
};

struct IDesktop {
    virtual ~IDesktop() = default;

    virtual uintptr_t ForegroundWindow() = 0;
    // The title as a 24-byte code page 932 buffer (plus NUL) holds it, decoded again:
    // long titles are cut, never in the middle of a double-byte character.
    virtual std::wstring WindowTitleAnsiCut(uintptr_t h) = 0;
    virtual void BringToFront(uintptr_t h) = 0;
    virtual bool IsWindowAlive(uintptr_t h) = 0;
    // True when the window's process runs at a higher integrity level than ours, so that
    // Windows would drop our synthetic input without a word.
    virtual bool IsTargetElevatedAboveUs(uintptr_t h) = 0;

    virtual uint8_t ScanCode(uint8_t vk) = 0;
    virtual void KeyEvent(uint8_t vk, uint8_t scan, uint32_t flags) = 0;
    virtual void MouseLeftUp(int x, int y) = 0;
    virtual DeskRect WindowRect(uintptr_t h) = 0;
    virtual DeskPoint CursorPos() = 0;

    // Empties the clipboard and puts the text on it as Unicode text, retrying for about
    // a second while another program holds it open.
    virtual ClipResult PutTextOnClipboard(const std::wstring& text) = 0;

    virtual void Sleep(int ms) = 0;
    virtual void DoEvents() = 0;
    // A message box owned by the panel; returns the button pressed.
    virtual int Message(const std::wstring& text, const std::wstring& title, uint32_t flags) = 0;
};
