#pragma once
// Backup and restore of the data sets, new copies of the program and desktop shortcuts,
// worked through the panel's menu and the dialogs.
#include <string>
#include <utility>
#include <vector>

#include "e2e_hariko.h"
#include "e2e_scenarios.h"

namespace e2e {

// Scenarios 40 to 42; each sets up the state it needs itself.
const std::vector<Scenario>& backupScenarios();

// Steps other scenarios share. Data-set records in code page 932, each coloured "&HFFFFFF".
std::string Records(const std::vector<std::pair<std::wstring, std::wstring>>& rows);
// A file decrypted under `key` ("?" when it cannot be read).
std::string Opened(const std::wstring& path, const std::wstring& key);
// Every file of a folder with its bytes (the data directory without the tunes no backup holds).
using Files = std::vector<std::pair<std::wstring, std::string>>;
Files Snapshot(const std::wstring& dir);
// Waits for the box, compares its text (with prefixOnly: its beginning) and answers it.
void Expect(Report& rep, const Hariko& h, const std::wstring& title, const std::wstring& text, int answer,
            const std::wstring& what, bool prefixOnly = false);
// Clicks into a dialog's edit box, types, and presses Enter.
void TypeInto(HWND edit, const std::wstring& text);
// The panel placed clear of the dialogs, no backup folder, started.
bool StartAtLeft(Report& rep, Hariko& h);

}  // namespace e2e
