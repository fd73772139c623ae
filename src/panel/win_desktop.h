#pragma once
// The desktop of the paste engine on Win32.
#include <windows.h>

#include <memory>

#include "panel/desktop.h"

class ClipboardCopy;
class ImeClosedFor;

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
    ClipResult PutTextOnClipboard(const std::wstring& text, bool privateText) override;
    ClipResult SaveClipboard() override;
    bool HoldsSavedClipboard() override { return saved_ != nullptr; }
    ClipResult OfferTextOnClipboard(const std::wstring& text, bool privateText, RenderAnswer answer) override;
    RestoreResult RestoreClipboard(bool wait) override;
    uint32_t ProcessOf(uintptr_t h) override;
    std::wstring ClipboardText() override;
    fields::Moment LocalNow() override;
    std::vector<std::pair<std::wstring, std::wstring>> WindowsEras() override;
    bool ShiftDown() override;
    bool ModifiersDown() override;
    void CloseImeFor(uintptr_t window) override;
    void ReopenIme() override;
    uint32_t ClipboardSequence() override;
    bool PlaceCaretInEdit(uintptr_t window, int unitsBack) override;
    void TypeKeys(const std::vector<KeyInput>& keys) override;
    void WaitKeysTaken(uintptr_t window, size_t keys, int ms) override;
    void Sleep(int ms) override;
    void DoEvents() override;
    void WaitEvents(int ms) override;
    int Message(const std::wstring& text, const std::wstring& title, uint32_t flags) override;

private:
    static LRESULT CALLBACK ClipboardProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    bool OpenClipboardWithin(DWORD ms);
    // The clipboard is open: the text (and, for Private, the marks) go on it.
    bool SetText(const std::wstring& text);
    static void MarkPrivate();
    void RenderOffer(bool whenAsked);

    HWND owner_;
    // Message-only: EmptyClipboard needs an owner window, and delayed rendering asks it.
    HWND clipboardWindow_ = nullptr;
    std::unique_ptr<ClipboardCopy> saved_;
    std::unique_ptr<ImeClosedFor> ime_;  // while a typing runs  // the user's clipboard while a paste has it
    struct Offer {
        bool active = false;
        std::wstring text;
        bool privateText = false;
        RenderAnswer answer;
    } offer_;
    DWORD clipboardRetryMs_ = 1000;
    // Our own token, read once: integrity level (Vista and later) and elevation.
    bool ownLevelKnown_ = false;
    DWORD ownLevel_ = 0;
    bool ownElevated_ = false;
};
