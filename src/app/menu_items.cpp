// The panel's menu items that open other windows, and the windows' links to the panel.
#include "app/program.h"
#include "protect/password_dialog.h"
#include "win/app.h"

void Program::MenuItem(panel_ids::MenuId id) {
    switch (id) {
    case panel_ids::kPasswordOn: TurnPasswordOn(); break;
    case panel_ids::kPasswordOff: TurnPasswordOff(); break;
    case panel_ids::kPasswordChange: ChangePassword(); break;
    case panel_ids::kSealPrivate: ToggleSealPrivate(); break;
    case panel_ids::kBackup: BackUpData(); break;
    case panel_ids::kRestore: RestoreData(); break;
    case panel_ids::kNewCopy: MakeNewCopy(); break;
    case panel_ids::kDesktopShortcut: MakeDesktopShortcut(); break;
    case panel_ids::kHelp: ShowHelp(); break;
    case panel_ids::kAbout: ShowAbout(); break;
    default: break;
    }
}

void Program::OpenPasswordDialog() {
    ReadPendingKey();
    if (privateLocked_) {
        // The password just given opens Private: no second question.
        if (RecoverPassword()) {
            panel_->ChooseDataSet(DataSet::Private);
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
    if (passwordDialog_ && passwordDialog_->hwnd()) {
        SetForegroundWindow(passwordDialog_->hwnd());
        return;
    }
    PasswordDialogLinks links;
    links.panel = panel_->hwnd();
    links.password = &app_.password;
    links.dataSets = &dataSets_;
    links.own = &app_.own;
    links.exeName = app_.exeName;
    links.backupDir = app_.BackupDir();
    PanelWindow& panel = *panel_;
    links.dataSet = [&panel] { return panel.ChosenSet(); };
    links.chooseDataSet = [&panel](DataSet set) { panel.ChooseDataSet(set); };
    links.setPasswordOn = [&panel](bool on) { panel.SetPasswordOn(on); };
    links.enablePasswordChange = [&panel](bool on) { panel.SetMenuEnabled(panel_ids::kPasswordChange, on); };
    links.applySeal = [this](bool seal, const std::wstring& password) { ApplySeal(seal, password); };
    passwordDialog_ = std::make_unique<PasswordDialog>(std::move(links));
    if (!passwordDialog_->Open()) {
        passwordDialog_.reset();
        return;
    }
    passwordDialog_->Show();
}

void Program::TurnPasswordOn() {
    PanelWindow& p = *panel_;
    if (p.PasswordOn()) { app_.password.switchOffRequest = 0; return; }
    if (p.ChosenSet() == DataSet::Private) p.ChooseDataSet(DataSet::Public);
    p.SetPasswordOn(true);
    app_.password.switchOffRequest = 0;
    p.OnChoosePrivate();
}

void Program::TurnPasswordOff() {
    PanelWindow& p = *panel_;
    if (!p.PasswordOn()) { app_.password.switchOffRequest = 0; return; }
    if (dataSets_.IsSealed()) {
        MsgBox(L"Privateを強い暗号で守っている間は、パスワードを無効にできません。\r\n\r\n"
               L"先にﾒﾆｭｰの「Privateを強い暗号で守る」のチェックを外してください。",
               MB_OK | MB_ICONINFORMATION, app_.exeName);
        return;
    }
    if (p.ChosenSet() == DataSet::Private) p.ChooseDataSet(DataSet::Public);
    app_.password.switchOffRequest = 1;
    ShowPasswordDialog();
}

void Program::ChangePassword() {
    app_.password.changeRequest = 1;
    ShowPasswordDialog();
}

void Program::ToggleSealPrivate() {
    // Ticked or unticked in the dialog's verify form (with no password, registration first).
    app_.password.sealRequest = dataSets_.IsSealed() ? 2 : 1;
    ShowPasswordDialog();
}

void Program::ApplySeal(bool seal, const std::wstring& password) {
    PanelWindow& p = *panel_;
    bool ok;
    {
        BusyCursor busy;
        ok = seal ? dataSets_.SealPrivate(password)
                  : dataSets_.UnsealPrivate(password, 100, [] { DoEvents(); }, [](int ms) { Sleep(static_cast<DWORD>(ms)); });
    }
    if (!ok) {
        MsgBox(seal ? L"Privateを強い暗号で守ることができませんでした。\r\n\r\nPrivateのデータは変更されていません。"
                    : L"Privateを元の形式に戻せませんでした。\r\n\r\nPrivateのデータは変更されていません。",
               MB_OK | MB_ICONSTOP, app_.exeName);
    }
    app_.password.Use(password);
    // Just unlocked by the password: Private is shown, as after any right password.
    if (ok && seal) p.ChooseDataSet(DataSet::Private);
    p.SetPasswordOn(true);
    p.SetMenuEnabled(panel_ids::kPasswordChange, true);
    p.SealStateChanged();
}
