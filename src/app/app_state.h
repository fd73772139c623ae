#pragma once
// Values of the whole run, kept by the program (Program) and handed to each window as far
// as it needs them.
#include <cstdint>
#include <string>

#include "base/own_windows.h"
#include "panel/panel_logic.h"
#include "store/password_state.h"

struct AppState {
    std::wstring exeName;       // caption, settings key, data directory name
    std::wstring programDir;
    std::wstring dataRoot;      // ...\Personal_Data
    std::wstring dataDir;       // dataRoot + "\" + exeName
    double osVersion = 5.1;
    int32_t startupDataSet = 0; // setting "Type"; 0 until the first-run set-up chose one
    int16_t number[4] = {0, 25, 25, 25};  // row settings Number1..Number3 (index 0 unused)
    PanelChoices choices;       // data set, paste mode and password switch of the panel's menu
    PasswordState password;
    int16_t uninstallRequest = 0;  // set only by the About box's confirmed uninstall
    int16_t fortuneCount = 0;      // fortunes drawn in this run
    int fortuneNumber = 0;         // the drawn fortune, 1..10; 0 until one is drawn
    OwnWindowTable own;

    std::wstring DataFile(const wchar_t* name) const { return dataDir + L"\\" + name; }
    std::wstring BackupDir() const { return programDir + L"\\" + exeName + L"_BackupData"; }
};
