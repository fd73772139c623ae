#pragma once
#include <string>
#include <vector>

#include "e2e_report.h"

namespace e2e {

struct Scenario {
    int number;
    const wchar_t* title;
    void (*run)(Report& report, const std::wstring& exe);
};

// Each scenario sets up the state it needs itself, so any of them can run alone.
const std::vector<Scenario>& Scenarios();
const std::vector<Scenario>& KeysScenarios();  // 95: the panel by keys only (e2e_keys.cpp)

// The scenarios by subject. ctest runs each group as a test of its own (e2e_<name>), so a
// failure names its group and a rerun repeats only that group.
struct Group {
    const wchar_t* name;
    const std::vector<Scenario>& scenarios;
};
const std::vector<Group>& Groups();

// Leaves the machine as if the program had never run (data, settings, shortcut).
void CleanUp(const std::wstring& exe);

// Starts the program and notepad beside it, pastes 氏名 once and leaves both open.
int Demo(const std::wstring& exe);

class Hariko;
class Notepad;
// Click into notepad, wait until the panel has taken it as its target, click the entry button
// (with Shift held when `typed`), and compare what notepad then holds.
bool PasteAndSee(Report& rep, Hariko& h, Notepad& np, const std::wstring& label, const std::wstring& expected,
                 const std::wstring& caption = L"氏名", bool typed = false);

}  // namespace e2e
