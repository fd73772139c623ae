// The panel's menu items that open other windows, and the windows' links to the panel.
#include "app/program.h"
#include "protect/Form4.h"
#include "win/app.h"

void Program::MenuItem(form1::MenuId id) {
    switch (id) {
    case form1::kPassEnabled: Pass_Enabled_Click(); break;
    case form1::kPassUnEnabled: Pass_UnEnabled_Click(); break;
    case form1::kPassChange: Pass_Change_Click(); break;
    case form1::kExportData: Export_Data_Click(); break;
    case form1::kImportData: Import_Data_Click(); break;
    case form1::kNewApp: NewApp_Click(); break;
    case form1::kCreateLink: Create_Link_Click(); break;
    case form1::kHow: How_Click(); break;
    case form1::kVer: Ver_Click(); break;
    default: break;
    }
}

void Program::OpenPasswordDialog() {
    ReadPendingKey();
    if (privateLocked_) {
        // The password just given opens Private: no second question.
        if (RecoverPassword()) {
            panel_->ChooseDataSet(2);
            panel_->LoadDataSet();
            panel_->LayoutPanel();
        }
        return;
    }
    ShowPasswordDialog();
}

void Program::ShowPasswordDialog() {
    ReadPendingKey();
    if (privateLocked_ && !RecoverPassword()) return;
    if (form4_ && form4_->hwnd()) {
        SetForegroundWindow(form4_->hwnd());
        return;
    }
    Form4Links links;
    links.panel = panel_->hwnd();
    links.password = &app_.password;
    links.dataSets = &dataSets_;
    links.own = &app_.own;
    links.exeName = app_.exeName;
    links.backupDir = app_.BackupDir();
    Form1& panel = *panel_;
    links.dataSet = [&panel] { return panel.DataSet(); };
    links.chooseDataSet = [&panel](int set) { panel.ChooseDataSet(set); };
    links.setPasswordOn = [&panel](bool on) { panel.SetPasswordOn(on); };
    links.enablePasswordChange = [&panel](bool on) { panel.SetMenuEnabled(form1::kPassChange, on); };
    form4_ = std::make_unique<Form4>(std::move(links));
    if (!form4_->Form_Load()) {
        form4_.reset();
        return;
    }
    form4_->Show();
}

void Program::Pass_Enabled_Click() {
    Form1& p = *panel_;
    if (p.PasswordOn()) { app_.password.switchOffRequest = 0; return; }
    if (p.DataSet() == 2) p.ChooseDataSet(1);
    p.SetPasswordOn(true);
    app_.password.switchOffRequest = 0;
    p.Type2_Click();
}

void Program::Pass_UnEnabled_Click() {
    Form1& p = *panel_;
    if (!p.PasswordOn()) { app_.password.switchOffRequest = 0; return; }
    if (p.DataSet() == 2) p.ChooseDataSet(1);
    app_.password.switchOffRequest = 1;
    ShowPasswordDialog();
}

void Program::Pass_Change_Click() {
    app_.password.changeRequest = 1;
    ShowPasswordDialog();
}
