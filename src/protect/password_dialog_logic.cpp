#include "protect/password_dialog_logic.h"

#include "base/cp932.h"
#include "store/dataset_format.h"

namespace password_dialog {

namespace {
const std::wstring kVerifyCaption = L"パスワードの確認";
const std::wstring kChangeCaption = L"パスワードの変更";
const std::wstring kRegisterTitle = L"パスワードの登録";
const std::wstring kConfirmCaption = L"パスワードの再確認";

const std::wstring kEnterPrompt = L"パスワードを入力してください。";
const std::wstring kCurrentPrompt = L"現在のパスワードを入力してください。";
const std::wstring kSetPrompt = L"パスワードの設定をしてください。";
const std::wstring kNewPrompt = L"新しいパスワードの設定をしてください。";
const std::wstring kWrongPrompt = L"パスワードが違います。もう一度入力してください。";
const std::wstring kConfirmPrompt = L"確認のため、もう一度パスワードを入力してください。";
}  // namespace

std::wstring BackupNoticeTitle(const std::wstring& exeName) {
    return L"「" + exeName + L"」のパスワードの変更";
}

std::wstring BackupNoticeText(const std::wstring& exeName) {
    return L"パスワードが変更されましたので、\r\n\r\n「" + exeName +
           L"」のデータのバックアップをやり直してください。";
}

bool AcceptsPasswordChar(wchar_t c) {
    if (c < 0x20 || c == 0x7F) return true;  // editing keys: backspace, Ctrl+C, Ctrl+V...
    if (c == L'"') return false;
    if (c >= 0xD800 && c <= 0xDFFF) return false;  // nothing outside the BMP is in CP932
    return ToCp932(std::wstring_view(&c, 1)).has_value();
}

bool AllPasswordChars(const std::wstring& text) {
    for (wchar_t c : text)
        if (!AcceptsPasswordChar(c)) return false;
    return true;
}

bool IsStorablePassword(const std::wstring& password) {
    return !PasswordFilePlainBytes(password).empty();
}

void PasswordDialogLogic::Form_Load() {
    mode_ = Mode::Verify;
    view = View{};
    view.caption = kVerifyCaption;
    view.height = kShortHeight;
    view.text1.clear();
    view.command1Caption = kOkCaption;
    view.label1 = pw_.switchOffRequest == 1 ? kCurrentPrompt : kEnterPrompt;
}

void PasswordDialogLogic::Form_Activate() {
    if (closed_) return;
    if (pw_.userPassword.empty() && pw_.switchOffRequest == 1) {
        host_.SetPasswordOn(false);
        pw_.switchOffRequest = 0;
        Close();
        return;
    }
    if (pw_.userPassword.empty()) {
        ShowRegistration(kSetPrompt);
        mode_ = Mode::Registration;
    } else if (pw_.changeRequest == 1) {
        view.text1.clear();
        view.label1 = kCurrentPrompt;
        view.caption = kChangeCaption;
        view.height = kShortHeight;
        mode_ = Mode::Change;
    }
    host_.FocusText1();
}

void PasswordDialogLogic::ShowRegistration(const std::wstring& prompt) {
    view.label1 = prompt;
    view.check1Visible = true;
    view.command1Visible = false;
    view.masked = false;
    view.command2Caption = kRegisterCaption;
    view.command2Visible = true;
    view.command3Visible = false;
    view.caption = kRegisterTitle;
    view.height = kTallHeight;
}

void PasswordDialogLogic::Command1_Click() {
    if (closed_ || busy_) return;
    view.text1 = host_.Lower(view.text1);
    if (view.text1 != pw_.userPassword) {
        host_.Beep();
        view.text1.clear();
        view.label1 = kWrongPrompt;
        host_.FocusText1();
        return;
    }
    if (pw_.changeRequest == 1) {
        ShowRegistration(kNewPrompt);
        view.text1.clear();
        mode_ = Mode::NewPassword;
        pw_.changeRequest = 0;
        host_.FocusText1();
        return;
    }
    if (pw_.switchOffRequest == 1) {
        SwitchOff(100);
        return;
    }
    TickPrivate();
    Close();
}

void PasswordDialogLogic::Command2_Click() {
    if (closed_ || busy_) return;
    if (view.text1.empty()) {
        host_.MsgBox(kEmptyEntryText, kMbOk | kMbIconStop, kEmptyEntryTitle);
        host_.FocusText1();
        return;
    }
    std::wstring entry = host_.Lower(view.text1);
    if (!IsStorablePassword(entry)) {
        // Pasted text the password file cannot hold: refused, the entry stays for mending.
        host_.Beep();
        host_.FocusText1();
        return;
    }
    firstEntry_ = entry;
    view.text1.clear();
    view.label1 = kConfirmPrompt;
    view.command2Visible = false;
    view.check1Visible = false;
    view.masked = true;
    view.command3Caption = kRegisterCaption;
    view.command3Visible = true;
    view.caption = kConfirmCaption;
    view.height = kShortHeight;
    mode_ = Mode::Confirmation;
    host_.FocusText1();
}

void PasswordDialogLogic::Command3_Click() {
    if (closed_ || busy_) return;
    view.text1 = host_.Lower(view.text1);
    if (view.text1 != firstEntry_) {
        host_.MsgBox(kMismatchText, kMbOk | kMbIconStop, kMismatchTitle);
        view.text1.clear();
        Form_Activate();
        return;
    }
    if (!IsStorablePassword(view.text1)) {
        host_.Beep();
        host_.FocusText1();
        return;
    }
    const std::wstring password = view.text1;
    busy_ = true;
    if (Commit(password, 100)) {
        TickPrivate();
        host_.EnablePasswordChange(true);
        BackupNotice();
        Close();
    }
    busy_ = false;
}

void PasswordDialogLogic::Check1_Click() {
    if (closed_ || busy_ || !view.check1Visible) return;
    SwitchOff(300);
}

void PasswordDialogLogic::Text1_Enter() {
    if (view.command1Visible) Command1_Click();
    else if (view.command2Visible) Command2_Click();
    else if (view.command3Visible) Command3_Click();
}

void PasswordDialogLogic::SwitchOff(int pauseMs) {
    busy_ = true;
    if (Commit(L"", pauseMs)) {
        host_.SetPasswordOn(false);
        host_.EnablePasswordChange(false);
        host_.ChooseDataSet(2);
        pw_.switchOffRequest = 0;
        host_.Pause(300);
        BackupNotice();
        Close();
    }
    busy_ = false;
}

bool PasswordDialogLogic::Commit(const std::wstring& newPassword, int pauseMs) {
    switch (host_.CommitPassword(newPassword, pauseMs)) {
    case CommitOutcome::Missing:
        host_.MsgBox(kMissingPrivateText, kMbOk, L"");
        Close();
        return false;
    case CommitOutcome::NotChanged:
        host_.MsgBox(kNotStoredText, kMbOk | kMbIconStop, kMismatchTitle);
        Close();
        return false;
    case CommitOutcome::Rekeyed:
    case CommitOutcome::WorkingCopy:
    case CommitOutcome::FileKept:
        break;
    }
    SetPassword(newPassword);
    return true;
}

void PasswordDialogLogic::SetPassword(const std::wstring& password) {
    pw_.Use(password);
}

void PasswordDialogLogic::TickPrivate() {
    if (host_.DataSet() != 2) host_.ChooseDataSet(2);
}

void PasswordDialogLogic::BackupNotice() {
    if (host_.BackupHasPasswordFile())
        host_.MsgBox(BackupNoticeText(exeName_), kMbOk | kMbIconInformation,
                     BackupNoticeTitle(exeName_));
}

void PasswordDialogLogic::Close() {
    closed_ = true;
    host_.Close();
}

}  // namespace password_dialog
