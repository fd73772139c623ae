#pragma once
// Values shared by every window for the whole run (set at start-up, read everywhere).
#include <cstdint>
#include <string>

struct AppState {
    std::wstring exeName;       // caption, settings key, data directory name
    std::wstring programDir;
    std::wstring dataRoot;      // ...\Personal_Data
    std::wstring dataDir;       // dataRoot + "\" + exeName
    double osVersion = 5.1;
    int32_t startupDataSet = 0; // setting "Type"; 0 until the first-run set-up chose one
    int16_t number[4] = {0, 25, 25, 25};  // row settings Number1..Number3 (index 0 unused)
    std::wstring userPassword;  // empty when none is set
    std::wstring privateKey;    // key of MyData_2.dat: user password or the default one
    int16_t changeRequest = 0;
    int16_t switchOffRequest = 0;
    int16_t uninstallRequest = 0;

    std::wstring DataFile(const wchar_t* name) const { return dataDir + L"\\" + name; }
    std::wstring BackupDir() const { return programDir + L"\\" + exeName + L"_BackupData"; }
};

AppState& App();
