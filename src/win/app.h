#pragma once
// Process-wide helpers of the Win32 layer: names and folders of the running program,
// message boxes with the program's title, and letting pending messages run.
#include <windows.h>
#include <functional>
#include <string>

extern const wchar_t kProgramTitle[];   // "ハリコ", the caption of untitled message boxes

std::wstring ExePath();      // full path of the running executable
std::wstring ExeName();      // its file name without extension: caption, settings and data key
std::wstring ProgramDir();   // folder of the executable, no trailing backslash
std::wstring WindowsDir();   // GetWindowsDirectoryW, no trailing backslash
double OsVersionNumber();
// True when a file stands at path under exactly the name path gives it: a file system may
// shorten a name that is too long for it rather than refuse it.
bool FileCarriesName(const std::wstring& path);    // major + minor / 10 (5.1 for XP); the real version, not the shimmed one

// MessageBoxW owned by the active window of the program (topmost like the program's windows).
int MsgBox(const std::wstring& text, UINT flags = MB_OK, const std::wstring& title = kProgramTitle);
// MessageBoxW with a given owner, counted like MsgBox's boxes.
int OwnedMsgBox(HWND owner, const std::wstring& text, UINT flags, const std::wstring& title);
// True while one of the program's message boxes is on screen (also while it is closing, when
// its owner is activated again: that is no return to the owner that needs a reload).
bool MessageBoxOpen();

// Dispatches every queued message of this thread, then returns. A WM_QUIT seen here is posted
// again so the main loop still ends.
void DoEvents();
// Runs work on a worker thread while this thread's windows keep painting and answering; returns
// once work has ended. For a slow step that touches nothing the windows use.
void RunWhileMessagesRun(const std::function<void()>& work);
// Alt + 漢字, as the keyboard's own input-method key sends it: the focused box's IME flips.
void PressImeToggle();

// Busy (hourglass) pointer for the lifetime of the object.
class BusyCursor {
public:
    BusyCursor();
    ~BusyCursor();
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
private:
    HCURSOR old_;
};

// Windows whose controls take Tab, Enter and Alt+letter like a dialog's. The main loop and
// DoEvents route keyboard messages through them.
void RegisterDialogWindow(HWND hwnd);
void UnregisterDialogWindow(HWND hwnd);
bool RouteDialogMessage(MSG* msg);
int RunMessageLoop();

// Hooks for tests and the e2e run: when set, message boxes are answered without showing them.
using MsgBoxHook = int (*)(const std::wstring& text, UINT flags, const std::wstring& title);
void SetMsgBoxHook(MsgBoxHook hook);
