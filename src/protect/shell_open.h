#pragma once
// Hands a document, an address or a command line to the shell's "open".
#include <windows.h>

#include <string>

// True when the system's search order finds a file of that name (folders do not count:
// they cannot be run, and a path with spaces would otherwise be cut at a folder).
bool FindOnPath(const std::wstring& name);

// Opens commandLine (split as shell_open::SplitCommandLine says); when the shell refuses, starts
// the whole line as a program. With wait, returns once the started process has ended, letting
// window messages run meanwhile. True when something was started.
bool ShellOpen(const std::wstring& commandLine, int showMode, HWND owner, bool wait);

// Opens one document by its path with the program its type is associated with. The path is
// never split at a space and never started as a program. True when the shell opened it.
bool OpenDocument(const std::wstring& path, int showMode, HWND owner);
