#pragma once
// The few desktop services the paste engine drives. One Win32 implementation
// (WinDesktop) and one recording fake for the tests; the engine never sees an OS header.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "panel/insert_fields_logic.h"

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

enum class RestoreResult {
    Restored,  // the saved formats are back (or there was nothing saved)
    KeptText,  // nothing could be saved: the entry's text stays, so the clipboard is not empty
    NotOurs,   // someone put something new on the clipboard meanwhile: that stays, the copy goes
    Busy,      // another program holds the clipboard: the copy is kept for another try
};

// One synthetic key event of typed text: vk 0 types the UTF-16 unit as a character.
struct KeyInput {
    uint16_t vk = 0;
    uint16_t unit = 0;
    bool up = false;
    bool operator==(const KeyInput&) const = default;
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
    // a second while another program holds it open. Private text also carries the formats
    // that keep clipboard history, the cloud clipboard and clipboard tools away from it.
    // A saved copy of the user's clipboard still waiting to go back is dropped: the clipboard
    // is now the paste's (the user has unticked the restore meanwhile).
    virtual ClipResult PutTextOnClipboard(const std::wstring& text, bool privateText) = 0;

    // The user's clipboard, put back after a paste. Save copies every format that can be
    // copied (retrying like a paste while another program holds the clipboard); a copy is
    // held until Restore has put it back or found the clipboard taken over by someone else.
    virtual ClipResult SaveClipboard() = 0;
    virtual bool HoldsSavedClipboard() = 0;
    // Offers the text by delayed rendering: every request for it goes to `answer` with the
    // requesting process (0 when it cannot be told), and only a true answer hands it over.
    using RenderAnswer = std::function<bool(uint32_t requester)>;
    virtual ClipResult OfferTextOnClipboard(const std::wstring& text, bool privateText,
                                            RenderAnswer answer) = 0;
    // wait: as long as a paste waits for a clipboard another program holds; else one try.
    virtual RestoreResult RestoreClipboard(bool wait) = 0;
    virtual uint32_t ProcessOf(uintptr_t window) = 0;

    // What the fields of an entry are filled in from: the clipboard's Unicode text ("" when it
    // holds none or cannot be opened), the local time, and the values of the registry's key of
    // Japanese eras (name, data).
    virtual std::wstring ClipboardText() = 0;
    virtual fields::Moment LocalNow() = 0;
    virtual std::vector<std::pair<std::wstring, std::wstring>> WindowsEras() = 0;

    virtual bool ShiftDown() = 0;
    virtual bool ModifiersDown() = 0;  // Ctrl or Alt held
    // A host with its Japanese IME open takes typed characters into a composition and may
    // reorder them: closed for a typing, put back as it was after.
    virtual void CloseImeFor(uintptr_t window) = 0;
    virtual void ReopenIme() = 0;
    // Counts every change of the clipboard's contents.
    virtual uint32_t ClipboardSequence() = 0;
    // When the focus in the window's program is a standard edit control: its caret moved
    // `unitsBack` UTF-16 units to the left of where it is, once the keys sent were taken.
    // False (nothing done) anywhere else.
    virtual bool PlaceCaretInEdit(uintptr_t window, int unitsBack) = 0;
    virtual void TypeKeys(const std::vector<KeyInput>& keys) = 0;
    // Waits, at most `ms`, until the window's program has taken the last `keys` key events
    // sent to it (a key sent but not yet taken goes wherever the focus is when it is).
    virtual void WaitKeysTaken(uintptr_t window, size_t keys, int ms) = 0;

    virtual void Sleep(int ms) = 0;
    virtual void DoEvents() = 0;
    // Handles events as they come for `ms` (requests for an offered text among them).
    virtual void WaitEvents(int ms) = 0;
    // A message box owned by the panel; returns the button pressed.
    virtual int Message(const std::wstring& text, const std::wstring& title, uint32_t flags) = 0;
};
