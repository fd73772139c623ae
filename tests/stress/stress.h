#pragma once
// The stress driver: starts ハリコ.exe, makes it do file work, kills it at a random moment,
// starts it again and checks on disk that nothing was lost.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "store/dataset_format.h"

namespace stress {

// ---- the running program ----------------------------------------------------------------

struct BoxSeen {
    std::wstring title, text;
};

// Milliseconds since the driver started, with sub-millisecond precision.
double Now();
void Pause(int ms);
// The text as UTF-8 on stdout (a Japanese name must survive Wine's console code page).
void Out(const std::wstring& line);
// Out also appends to this file from now on.
void SetLog(const std::wstring& path);

class Program {
public:
    Program(std::wstring exePath, std::wstring name) : exe_(std::move(exePath)), name_(std::move(name)) {}
    ~Program() { Close(); }
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    bool Start();
    // The panel of this process once it is shown with its controls (nullptr until then).
    HWND Panel();
    bool Running() const;
    // TerminateProcess; true when the process was still running and is gone now.
    bool Kill();
    bool WaitExit(int ms);
    void Close();  // drops the handles (kills a process still running)

    DWORD pid() const { return pid_; }
    HWND panel() const { return panel_; }
    double startedAt() const { return startedAt_; }

    // Every message box of the process is answered with its first button and remembered.
    void AnswerBoxes();
    const std::vector<BoxSeen>& boxes() const { return boxes_; }

    // The password dialog: a window of the process, other than the panel, holding the password box.
    HWND Dialog();
    HWND DialogControl(int id);
    bool ControlVisible(int id);
    bool SetDialogText(const std::wstring& text);
    bool ClickDialog(int id);
    bool PostPanelCommand(int id);

private:
    std::wstring exe_, name_;
    HANDLE process_ = nullptr;
    DWORD pid_ = 0;
    HWND panel_ = nullptr;
    double startedAt_ = 0;
    std::vector<BoxSeen> boxes_;
    std::vector<HWND> answered_;
};

// ---- the data on disk -------------------------------------------------------------------

struct FileSeen {
    std::wstring name;
    uint64_t size = 0;
    bool operator==(const FileSeen&) const = default;
};
std::vector<FileSeen> ListFolder(const std::wstring& folder);
std::wstring Describe(const std::vector<FileSeen>& files);
bool Exists(const std::wstring& path);
bool EndsWithNoCase(const std::wstring& s, const std::wstring& suffix);

// What a round starts from and must find again.
struct KnownState {
    std::vector<Entry> publicEntries, privateEntries, kaomojiEntries;
    std::string publicBytes, privateBytes, kaomojiBytes;
    std::wstring password;  // "" when none is stored
    int passMode = 1;       // 1: Private opens without the dialog; 0: the dialog guards it
    bool older = false;     // starts as an older version left it (two fields, registry password)
};

KnownState MakeKnownState(std::mt19937_64& rng, const std::wstring& password, int passMode, bool older);
std::wstring RandomPassword(std::mt19937_64& rng);

struct Paths {
    std::wstring exe, name, dataDir, scratch, evidence;
    std::wstring Data(const wchar_t* file) const { return dataDir + L"\\" + file; }
};

// The boxes of the conversion of older data, which a round that converts expects.
bool ConversionBox(const BoxSeen& b);
// The next start's word that it sealed the Private a killed run left plain.
bool ResealedBox(const BoxSeen& b);

// Clears the data directory and the settings, then writes the known state and the settings
// the operation needs. False (with why) when the state could not be written.
bool PrepareState(const Paths& p, const KnownState& s, std::wstring* why);
// Removes what the driver left: the data directory and the settings of the name.
void RemoveState(const Paths& p);

struct Verdict {
    std::vector<std::wstring> faults;     // each one fails the round
    std::vector<std::wstring> leftovers;  // temporary files still there (reported, not failed)
    std::wstring passwordFound;
    std::wstring listing;
};
// Checks the data directory of a program that has been closed cleanly. `passwords` are the
// passwords the round may end with (the old one, and the new one of a re-key).
Verdict Check(const Paths& p, const KnownState& s, const std::vector<std::wstring>& passwords);
// Copies the data directory to evidence\round-<n> for a failed round.
void KeepEvidence(const Paths& p, int round, const std::wstring& report);

// ---- operations -------------------------------------------------------------------------

// What happened on disk while a phase ran, as times (ms from the phase's trigger) at which
// the folder listing changed.
struct Activity {
    std::vector<double> changes;
    double done = -1;  // when the phase's end condition held; -1 when it never did
};

struct Round;
struct Phase {
    const wchar_t* name;
    bool fileWork;                              // kills are aimed at phases that touch files
    std::function<bool(Round&)> trigger;        // false: the step could not be taken
    std::function<bool(Round&)> done;
};

struct Operation {
    const wchar_t* name;
    bool storedPassword;  // the state starts with a password
    int passMode;
    bool newPassword;     // the operation may end with another password
    std::vector<Phase> phases;
    bool older = false;   // older data, converted during the start itself (the first phase)
};

std::vector<Operation> Operations();

struct Round {
    Paths& paths;
    Program& program;
    KnownState& state;
    std::wstring newPassword;  // for the operations that set one ("" switches it off)
};

}  // namespace stress
