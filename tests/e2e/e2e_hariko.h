#pragma once
// The program under test seen from outside: its process and panel, its data directory,
// its settings, and the controls a person uses.
#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "e2e_desktop.h"

namespace e2e {

class Hariko {
public:
    explicit Hariko(std::wstring exePath);

    const std::wstring& exe() const { return exe_; }
    const std::wstring& name() const { return name_; }  // file name without ".exe"

    std::wstring DataDir() const;                       // C:\windows\Personal_Data\<name>
    std::wstring DataFile(const std::wstring& file) const;
    std::wstring SettingsKey() const;                   // HKCU\...\<name>\Startup
    std::wstring AppSettingsKey() const;                // HKCU\...\<name>
    std::optional<std::wstring> Setting(const std::wstring& key) const;
    bool SetSetting(const std::wstring& key, const std::wstring& value) const;
    std::wstring ProgramDir() const;                    // the folder that holds the exe
    std::wstring BackupDir() const;                     // <program dir>\<name>_BackupData
    std::wstring ShortcutPath() const;                  // <desktop>\<name>.lnk
    // Removes the data directory, the settings and the desktop shortcut of this name:
    // the state of a machine that never ran it.
    void WipeState() const;

    struct Started {
        bool ready = false;
        std::optional<MessageBoxSeen> welcome;  // the first-run box, as it was shown
        std::vector<MessageBoxSeen> boxes;      // the other boxes `onBox` took, in order
        std::wstring why;                       // what stood in the way when not ready
    };
    // Answers a box shown during start-up and returns true, or returns false for a box it
    // does not expect.
    using BoxHandler = std::function<bool(const MessageBoxSeen&)>;
    // Starts the program and waits for its panel with its controls. The first-run box is
    // answered with `welcomeAnswer` (IDNO, IDYES, IDOK); other boxes go to `onBox`, and
    // any it does not take is reported.
    Started Start(int welcomeAnswer = IDNO, int ms = 30000, const BoxHandler& onBox = {});
    // Closes the panel with WM_CLOSE and waits for the process to end.
    bool Close(std::wstring* why = nullptr);
    void LeaveRunning() { proc_.Release(); }

    Process& process() { return proc_; }
    DWORD pid() const { return proc_.pid(); }
    HWND main() const { return main_; }

    HWND Control(int id) const;
    // The visible entry button with that caption (entry buttons are reused slots).
    HWND EntryButton(const std::wstring& caption) const;
    std::vector<HWND> VisibleEntryButtons() const;
    // The hidden field that holds the target window's handle as decimal text.
    std::wstring TargetField() const;
    void Menu(int id) const;  // chooses a menu item as the menu bar would
    // The same, but returns once the program has carried the item out (false: not within
    // `ms`, e.g. because it opened a window that waits for the user).
    bool MenuDone(int id, int ms = 10000) const;
    // The hidden field that holds the window in front as the panel last sampled it.
    std::wstring FrontField() const;
    // The program's other visible windows (dialogs share the panel's window class).
    std::vector<HWND> OtherWindows() const;
    HWND WindowCaptioned(const std::wstring& caption) const;
    std::wstring WindowList() const;  // every visible window of the program, for reports

private:
    bool Ready() const;

    std::wstring exe_;
    std::wstring name_;
    Process proc_;
    HWND main_ = nullptr;
};

// A window handle as the program writes it: signed 32-bit decimal.
std::wstring HandleDecimal(HWND h);

}  // namespace e2e
