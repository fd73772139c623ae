#pragma once
// Values of the whole run, kept by the program (Program) and handed to each window as far
// as it needs them.
#include <array>
#include <cstdint>
#include <string>

#include "base/own_windows.h"
#include "base/stored_names.h"
#include "panel/panel_logic.h"
#include "panel/private_guard_logic.h"
#include "store/password_state.h"

struct AppState {
    std::wstring exeName;       // caption, settings key, data directory name
    std::wstring programDir;
    std::wstring dataRoot;      // ...\Personal_Data
    std::wstring dataDir;       // dataRoot + "\" + exeName
    double osVersion = 5.1;
    int32_t startupDataSet = 0; // stored::kDataSet; 0 until the first-run set-up chose one
    std::array<int16_t, 3> rowsPerSet = {25, 25, 25};  // rows shown for Public, Private, 顔文字
    PanelChoices choices;       // data set, paste mode and password switch of the panel's menu
    PasswordState password;
    int16_t uninstallRequest = 0;  // set only by the About box's confirmed uninstall
    int16_t fortuneCount = 0;      // fortunes drawn in this run
    int fortuneNumber = 0;         // the drawn fortune, 1..10; 0 until one is drawn
    // While Private is sealed: seconds a pasted text stays, idle minutes until it closes (0 off).
    int clipClearSeconds = private_guard::kDefaultClipClearSeconds;
    int lockMinutes = private_guard::kDefaultLockMinutes;
    OwnWindowTable own;

    int16_t& RowsOf(DataSet set) { return rowsPerSet[static_cast<size_t>(StoredNumber(set) - 1)]; }
    std::wstring DataFile(const std::wstring& name) const { return dataDir + L"\\" + name; }
    std::wstring BackupDir() const { return programDir + L"\\" + exeName + stored::kBackupFolderSuffix; }
};
