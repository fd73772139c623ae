#pragma once
// Working the desktop from outside, as a person would: processes, windows and their texts,
// real mouse clicks and key presses, message boxes, the clipboard, Wine's notepad.
#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "support/files.h"
#include "support/wait.h"

namespace e2e {

using testsupport::FileExists;
using testsupport::FolderEntries;
using testsupport::FolderExists;
using testsupport::HoldsFor;
using testsupport::Pause;
using testsupport::ReadFileBytes;
using testsupport::RemoveTree;
using testsupport::TempDirectory;
using testsupport::WaitFor;
using testsupport::WriteFileBytes;

// ---- processes ------------------------------------------------------------------------

// A process this driver started; the destructor ends it if it is still running, so a
// failed scenario never leaves windows behind for the next one.
class Process {
public:
    Process() = default;
    ~Process();
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;
    Process(Process&& o) noexcept;
    Process& operator=(Process&& o) noexcept;

    bool Start(const std::wstring& exe, const std::wstring& args = L"");
    bool Running() const;
    bool WaitExit(int ms);
    DWORD ExitCode() const;
    void Kill();       // only our own process, by its handle
    void Release();    // forget it without ending it (the demo leaves its windows open)
    DWORD pid() const { return pid_; }

private:
    HANDLE process_ = nullptr;
    DWORD pid_ = 0;
};

// ---- windows ----------------------------------------------------------------------------

std::wstring ClassOf(HWND h);
// The window's text by WM_GETTEXT, which also reads edit controls of other processes.
std::wstring TextOf(HWND h);
DWORD PidOf(HWND h);
RECT RectOf(HWND h);
std::wstring RectText(const RECT& r);

// Top-level windows, optionally of one class and one process (0: any).
std::vector<HWND> TopWindows(const std::wstring& cls = L"", DWORD pid = 0, bool visibleOnly = true);
// Every descendant of `parent`.
std::vector<HWND> Descendants(HWND parent);
HWND DescendantById(HWND parent, int id);

int DpiOf(HWND h);
// Twips to pixels at `dpi`, rounded to the nearest pixel.
int TwipsToPx(int twips, int dpi);

// ---- input ------------------------------------------------------------------------------

// Moves the cursor to the centre of `h` and presses and releases the left button there.
// Fails (with a reason) when another window lies on that point, since the click would
// land there instead.
bool ClickCentre(HWND h, std::wstring* why = nullptr);
bool ClickAt(int x, int y);
// Alt (or Ctrl, Shift) held while `key` is struck, through keybd_event like a keyboard.
void PressWithModifier(BYTE modifierVk, BYTE keyVk);
// One key struck and released.
void PressKey(BYTE vk);
// Each character struck on the keyboard (with Shift where the layout needs it) into
// whatever has the focus. False when a character has no key on this layout.
bool TypeKeys(const std::wstring& text);
// Characters as an input method or an on-screen keyboard sends them: one Unicode key event
// per UTF-16 unit, so a character beyond U+FFFF arrives as its two halves.
void TypeUnicodeKeys(const std::wstring& text);

// The whole screen as a 24-bit BMP file.
bool SaveScreenshot(const std::wstring& path);

// ---- message boxes ----------------------------------------------------------------------

struct MessageBoxSeen {
    HWND hwnd = nullptr;
    std::wstring title;
    std::wstring text;
    std::vector<int> buttons;  // control ids of its buttons (IDOK, IDYES, IDNO...)
    bool Has(int id) const;
};

// A visible standard dialog box (#32770) of process `pid` (0: any) with that title.
std::optional<MessageBoxSeen> FindMessageBox(const std::wstring& title, DWORD pid = 0);
std::optional<MessageBoxSeen> WaitForMessageBox(const std::wstring& title, DWORD pid, int ms);
// Every visible #32770 of the process: to report what stood in the way.
std::vector<MessageBoxSeen> MessageBoxesOf(DWORD pid);
// Presses the button with that id and waits for the box to go away.
bool AnswerMessageBox(const MessageBoxSeen& box, int buttonId);

// ---- clipboard --------------------------------------------------------------------------

bool PutClipboardText(const std::wstring& text);
std::optional<std::wstring> ClipboardText();

// Keeps the clipboard open from a thread of its own until Release() (or the destructor),
// as a program that holds it would.
class ClipboardHolder {
public:
    ClipboardHolder() = default;
    ~ClipboardHolder();
    bool Hold(int maxMs);
    void Release();

private:
    static DWORD WINAPI Run(void* self);
    HANDLE thread_ = nullptr;
    HANDLE opened_ = nullptr;
    HANDLE release_ = nullptr;
    bool gotIt_ = false;
    int maxMs_ = 0;
};

// ---- Wine's notepad ---------------------------------------------------------------------

class Notepad {
public:
    // Starts notepad.exe and places it at the given screen rectangle (pixels).
    bool Start(int left, int top, int width, int height, std::wstring* why = nullptr);
    void Close();
    void Leave();  // forget it and leave it open
    HWND window() const { return main_; }
    HWND edit() const { return edit_; }
    std::wstring Text() const { return TextOf(edit_); }
    void SetText(const std::wstring& text);
    // A real click into the text area.
    bool ClickInto(std::wstring* why = nullptr);
    ~Notepad() { Close(); }

private:
    Process proc_;
    HWND main_ = nullptr;
    HWND edit_ = nullptr;
};

// ---- files and settings -----------------------------------------------------------------

std::wstring WindowsDirectory();
std::wstring DesktopDirectory();

std::optional<std::wstring> ReadUserSetting(const std::wstring& subkey, const std::wstring& value);
bool KeyExists(const std::wstring& subkey);
void DeleteUserKey(const std::wstring& subkey);
void DeleteUserValue(const std::wstring& subkey, const std::wstring& value);
bool WriteUserSetting(const std::wstring& subkey, const std::wstring& value, const std::wstring& data);
// The same under HKEY_LOCAL_MACHINE, where older versions kept their password.
std::optional<std::wstring> ReadMachineString(const std::wstring& subkey, const std::wstring& value);
bool WriteMachineString(const std::wstring& subkey, const std::wstring& value, const std::wstring& data);
bool MachineKeyExists(const std::wstring& subkey);
void DeleteMachineTree(const std::wstring& subkey);

// RC4 keyed with all 16 bytes of the MD5 digest of the password's code page 932 bytes, as
// CryptoAPI derives a 128-bit RC4 key; the same call encrypts and decrypts.
std::optional<std::string> Rc4(const std::string& data, const std::wstring& password);

// Desktop shortcuts through the shell's own link object.
std::optional<std::wstring> ShortcutTarget(const std::wstring& lnkPath);
bool WriteShortcut(const std::wstring& lnkPath, const std::wstring& target);

std::string Cp932(const std::wstring& s);
std::wstring Hex(const std::string& bytes, size_t max = 48);

}  // namespace e2e
