// The panel's menu items that open other windows, and the windows' links to the panel.
#include "app/program.h"
#include "protect/Form4.h"
#include "win/app.h"

namespace {

form1::MenuId PanelMenuId(form4::Menu item) {
    switch (item) {
    case form4::Menu::Type1: return form1::kType1;
    case form4::Menu::Type2: return form1::kType2;
    case form4::Menu::Type3: return form1::kType3;
    case form4::Menu::PassEnabled: return form1::kPassEnabled;
    case form4::Menu::PassUnEnabled: return form1::kPassUnEnabled;
    case form4::Menu::PassChange: return form1::kPassChange;
    }
    return form1::kType1;
}

}  // namespace

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
            panel_->SetChecked(form1::kType1, false);
            panel_->SetChecked(form1::kType2, true);
            panel_->SetChecked(form1::kType3, false);
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
    links.checked = [&panel](form4::Menu m) { return panel.Checked(PanelMenuId(m)); };
    links.setChecked = [&panel](form4::Menu m, bool on) { panel.SetChecked(PanelMenuId(m), on); };
    links.setEnabled = [&panel](form4::Menu m, bool on) { panel.SetMenuEnabled(PanelMenuId(m), on); };
    form4_ = std::make_unique<Form4>(std::move(links));
    if (!form4_->Form_Load()) {
        form4_.reset();
        return;
    }
    form4_->Show();
}

void Program::Pass_Enabled_Click() {
    Form1& p = *panel_;
    if (p.Checked(form1::kPassEnabled)) { app_.password.switchOffRequest = 0; return; }
    if (p.Checked(form1::kType2)) {
        p.SetChecked(form1::kType1, true);
        p.SetChecked(form1::kType2, false);
        p.SetChecked(form1::kType3, false);
    }
    p.SetChecked(form1::kPassEnabled, true);
    p.SetChecked(form1::kPassUnEnabled, false);
    app_.password.switchOffRequest = 0;
    p.Type2_Click();
}

void Program::Pass_UnEnabled_Click() {
    Form1& p = *panel_;
    if (p.Checked(form1::kPassUnEnabled)) { app_.password.switchOffRequest = 0; return; }
    if (p.Checked(form1::kType2)) {
        p.SetChecked(form1::kType1, true);
        p.SetChecked(form1::kType2, false);
        p.SetChecked(form1::kType3, false);
    }
    app_.password.switchOffRequest = 1;
    ShowPasswordDialog();
}

void Program::Pass_Change_Click() {
    app_.password.changeRequest = 1;
    ShowPasswordDialog();
}
