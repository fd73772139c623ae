#pragma once
// What the panel needs of the program around it; app/ implements it.
#include <cstdint>
#include <functional>
#include <string>

#include "base/own_windows.h"
#include "panel/panel_ids.h"
#include "panel/panel_logic.h"
#include "store/dataset_service.h"

class IPanelHost {
public:
    virtual ~IPanelHost() = default;
    // Values of the run.
    virtual const std::wstring& ExeName() const = 0;
    virtual int16_t& RowSetting(DataSet set) = 0;  // rows shown for the set
    virtual int32_t StartupDataSet() const = 0;  // 0 until the first-run set-up chose a set
    virtual bool UninstallRequested() const = 0;
    virtual const OwnWindowTable& OwnWindows() const = 0;
    virtual OwnWindowTable& WindowSlots() = 0;  // for the panel's own windows to stand in
    virtual PanelChoices& Choices() = 0;
    virtual DataSetService& DataSets() = 0;
    // What the panel hands on.
    virtual void OpenEditor() = 0;                 // the 設  定 / 編  集 button
    // Private chosen, or asked for while it is locked. answered runs once the dialog went
    // (opened: the password was given and Private is loaded).
    virtual void OpenPasswordDialog(std::function<void(bool opened)> answered) = 0;
    virtual bool PrivateKeyUnknown() const = 0;    // the password file could not be read
    virtual void MenuItem(panel_ids::MenuId id) = 0;   // items that open other windows
    virtual void StoreAtClosing() = 0;   // closing: settings stored, Private put away
    virtual void CloseOthers() = 0;      // closing: the other windows, the uninstall
};
