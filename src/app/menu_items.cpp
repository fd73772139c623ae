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
    case panel_ids::kExportCsv: ExportCsv(); break;
    case panel_ids::kImportCsv: ImportCsv(); break;
    case panel_ids::kNewCopy: MakeNewCopy(); break;
    case panel_ids::kDesktopShortcut: MakeDesktopShortcut(); break;
    case panel_ids::kHelp: ShowHelp(); break;
    case panel_ids::kAbout: ShowAbout(); break;
    default: break;
    }
}

void Program::OpenPasswordDialog(std::function<void(bool)> answered) {
    ReadPendingKey();
    if (keyUnknown_) {
        // The password just given opens Private: no second question.
        const bool opened = RecoverPassword();
        if (opened) panel_->ChooseDataSet(DataSet::Private);
        answered_.push_back(std::move(answered));
        PasswordAnswered(opened);
        return;
    }
    ShowPasswordDialog(password_dialog::Purpose::Unlock, std::move(answered));
}

void Program::PasswordAnswered(bool opened) {
    // Loaded now, before anything that waited for the password takes an entry's text.
    if (opened && panel_ && !panel_->Closing()) {
        panel_->LoadDataSet();
        panel_->LayoutPanel();
    }
    for (auto& answered : std::exchange(answered_, {}))
        if (answered) answered(opened);
}

void Program::ShowPasswordDialog(password_dialog::Purpose purpose, std::function<void(bool)> answered) {
    ReadPendingKey();
    if (keyUnknown_ && !RecoverPassword()) return;
    // Every asker hears how the one dialog went.
    answered_.push_back(std::move(answered));
    if (passwordDialog_ && passwordDialog_->hwnd()) {
        SetForegroundWindow(passwordDialog_->hwnd());
        return;
    }
    PasswordDialogLinks links;
    links.panel = panel_->hwnd();
    links.password = &app_.password;
    links.dataSets = &dataSets_;
    links.own = &app_.own;
    links.purpose = purpose;
    links.exeName = app_.exeName;
    links.backupDir = app_.BackupDir();
    PanelWindow& panel = *panel_;
    links.dataSet = [&panel] { return panel.ChosenSet(); };
    links.chooseDataSet = [&panel](DataSet set) { panel.ChooseDataSet(set); };
    links.setPasswordOn = [&panel](bool on) { panel.SetPasswordOn(on); };
    links.enablePasswordChange = [&panel](bool on) { panel.SetMenuEnabled(panel_ids::kPasswordChange, on); };
    links.applySeal = [this](bool seal, const std::wstring& password) { ApplySeal(seal, password); };
    links.gone = [this](bool opened) { PasswordAnswered(opened); };
    passwordDialog_ = std::make_unique<PasswordDialog>(std::move(links));
    if (!passwordDialog_->Open()) {
        passwordDialog_.reset();
        PasswordAnswered(false);
        return;
    }
    passwordDialog_->Show();
}

void Program::TurnPasswordOn() {
    PanelWindow& p = *panel_;
    if (p.PasswordOn()) return;
    if (p.ChosenSet() == DataSet::Private) p.ChooseDataSet(DataSet::Public);
    p.SetPasswordOn(true);
    p.OnChoosePrivate();
}

void Program::TurnPasswordOff() {
    PanelWindow& p = *panel_;
    if (!p.PasswordOn()) return;
    if (dataSets_.FileIsSealed()) {
        MsgBox(L"Privateを強い暗号で守っている間は、パスワードを無効にできません。\r\n\r\n"
               L"先にﾒﾆｭｰの「Privateを強い暗号で守る」のチェックを外してください。",
               MB_OK | MB_ICONINFORMATION, app_.exeName);
        return;
    }
    if (p.ChosenSet() == DataSet::Private) p.ChooseDataSet(DataSet::Public);
    ShowPasswordDialog(password_dialog::Purpose::SwitchOff);
}

void Program::ChangePassword() {
    ShowPasswordDialog(password_dialog::Purpose::Change);
}

void Program::ToggleSealPrivate() {
    const bool sealing = !dataSets_.FileIsSealed();
    // What cannot be undone is said before anything is asked for.
    if (sealing && MsgBox(L"Privateを強い暗号で守ります。\r\n\r\n"
                          L"パスワードを忘れると、Privateのデータは二度と読めなくなります。"
                          L"パスワードを調べる方法や、パスワードなしで開く方法はありません。\r\n\r\n"
                          L"よろしいですか？",
                          MB_YESNO | MB_ICONEXCLAMATION | MB_DEFBUTTON2, app_.exeName) != IDYES)
        return;
    // Ticked or unticked in the dialog's verify form (with no password, registration first).
    ShowPasswordDialog(sealing ? password_dialog::Purpose::Seal : password_dialog::Purpose::Unseal);
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
    // Sealed, the password is not kept: the file asks for it whenever Private opens.
    app_.password.Use(dataSets_.FileIsSealed() ? L"" : password);
    if (ok && seal)
        MsgBox(L"Privateを強い暗号で守りました。\r\n\r\nPrivateを開くたびに、このパスワードを入力してください。",
               MB_OK | MB_ICONINFORMATION, app_.exeName);
    // Just unlocked by the password: Private is shown, as after any right password.
    if (ok && seal) p.ChooseDataSet(DataSet::Private);
    p.SetPasswordOn(true);
    p.SetMenuEnabled(panel_ids::kPasswordChange, true);
    p.SealStateChanged();
}
