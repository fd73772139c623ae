#pragma once
// The whole program: the values of the run, the panel and the windows it opens, the start-up
// sequence and closing. The only place that knows every window; each window gets from here
// what it needs of the others.
#include <windows.h>

#include <memory>
#include <string>

#include "app/app_state.h"
#include "panel/Form1.h"
#include "store/dataset_service.h"

class Form2;
class Form4;

class Program : public IPanelHost {
public:
    Program();
    ~Program() override;
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // Creates the panel and runs the start-up sequence; false when this instance ends here
    // (a second instance, a cancelled conversion), before the panel was ever shown.
    bool Start();

    Form1& Panel() { return *panel_; }
    AppState& State() { return app_; }

    // IPanelHost
    const std::wstring& ExeName() const override { return app_.exeName; }
    int16_t& RowSetting(int set) override { return app_.number[set]; }
    int32_t StartupDataSet() const override { return app_.startupDataSet; }
    bool UninstallRequested() const override { return app_.uninstallRequest == 1; }
    const OwnWindowTable& OwnWindows() const override { return app_.own; }
    DataSetService& DataSets() override { return dataSets_; }
    void OpenEditor() override;
    void OpenPasswordDialog() override { ShowPasswordDialog(); }
    void MenuItem(form1::MenuId id) override;
    void RequestUninstall() override { app_.uninstallRequest = 1; }
    void QueryUnload() override;
    void Unload() override;

private:
    // startup.cpp
    bool RefuseSecondInstance();
    void StartupSequence();
    // menu_items.cpp
    void Pass_Enabled_Click();
    void Pass_UnEnabled_Click();
    void Pass_Change_Click();
    void ShowPasswordDialog();
    void ShowPlaceholder(const wchar_t* what);

    AppState app_;
    DataSetService dataSets_{app_.password};
    std::unique_ptr<Form1> panel_;
    std::unique_ptr<Form4> form4_;
    HANDLE instanceMutex_ = nullptr;
    bool cancelled_ = false;  // the conversion of older data was refused

    // The entry editor (editor_flow.cpp): opened by the panel's Command2, closed (and saved)
    // before closing puts the Private working copy away.
    void CloseEditor();
    std::unique_ptr<Form2> form2_;
};
