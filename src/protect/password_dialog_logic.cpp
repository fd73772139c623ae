#include "protect/password_dialog_logic.h"

#include <utility>

#include "base/cp932.h"
#include "base/wipe.h"
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
const std::wstring kSealedPrompt = L"Private（強い暗号）のパスワードを入力してください。";
const std::wstring kCheckingPrompt = L"確認しています…";
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

void PasswordDialogLogic::OnLoad() {
    mode_ = Mode::Verify;
    view = View{};
    view.caption = kVerifyCaption;
    view.height = kShortHeight;
    view.entry.clear();
    view.verifyCaption = kOkCaption;
    view.prompt = purpose_ == Purpose::SwitchOff ? kCurrentPrompt : host_.Sealed() ? kSealedPrompt : kEnterPrompt;
}

void PasswordDialogLogic::OnActivated() {
    if (closed_) return;
    const bool noPassword = pw_.userPassword.empty() && !host_.Sealed();
    if (noPassword && purpose_ == Purpose::SwitchOff) {
        host_.SetPasswordOn(false);
        Close();
        return;
    }
    if (noPassword) {
        ShowRegistration(kSetPrompt);
        mode_ = Mode::Registration;
    } else if (purpose_ == Purpose::Change && !currentVerified_) {
        view.entry.clear();
        view.prompt = kCurrentPrompt;
        view.caption = kChangeCaption;
        view.height = kShortHeight;
        mode_ = Mode::Change;
    }
    host_.FocusPasswordBox();
}

void PasswordDialogLogic::ShowRegistration(const std::wstring& prompt) {
    view.prompt = prompt;
    // Sealed, Private needs its password: the strong cipher is unticked first.
    view.switchOffVisible = !host_.Sealed();
    view.verifyVisible = false;
    view.masked = false;
    view.registerCaption = kRegisterCaption;
    view.registerVisible = true;
    view.confirmVisible = false;
    view.caption = kRegisterTitle;
    view.height = kTallHeight;
}

void PasswordDialogLogic::OnVerify() {
    if (closed_ || busy_) return;
    LowerEntry();
    // Sealed, only the file knows the password: it is right when it opens the file.
    const bool sealed = host_.Sealed();
    // The key takes a moment to derive: the dialog says so meanwhile.
    if (sealed) host_.ShowPrompt(kCheckingPrompt);
    // Window messages run while a key is derived: no second flow starts meanwhile.
    struct Busy {
        bool& busy;
        ~Busy() { busy = false; }
    } flowRuns{busy_};
    busy_ = true;
    const auto unlocked = sealed ? host_.UnlockSealed(view.entry) : IPasswordDialogHost::Unlocked::WrongPassword;
    if (unlocked == IPasswordDialogHost::Unlocked::Damaged) {
        Close();
        return;
    }
    if (sealed ? unlocked != IPasswordDialogHost::Unlocked::Opened : view.entry != pw_.userPassword) {
        host_.Beep();
        view.entry.clear();
        view.prompt = kWrongPrompt;
        host_.FocusPasswordBox();
        return;
    }
    if (purpose_ == Purpose::Seal || purpose_ == Purpose::Unseal) {
        host_.ApplySeal(purpose_ == Purpose::Seal, view.entry);
        Close();
        return;
    }
    if (purpose_ == Purpose::Change && !currentVerified_) {
        ShowRegistration(kNewPrompt);
        view.entry.clear();
        mode_ = Mode::NewPassword;
        currentVerified_ = true;
        host_.FocusPasswordBox();
        return;
    }
    if (purpose_ == Purpose::SwitchOff) {
        SwitchOff(100);
        return;
    }
    TickPrivate();
    Close();
}

void PasswordDialogLogic::OnRegister() {
    if (closed_ || busy_) return;
    if (view.entry.empty()) {
        host_.MsgBox(kEmptyEntryText, msgbox::kOk | msgbox::kIconStop, kEmptyEntryTitle);
        host_.FocusPasswordBox();
        return;
    }
    std::wstring entry = host_.Lower(view.entry);
    if (!IsStorablePassword(entry)) {
        // Pasted text the password file cannot hold: refused, the entry stays for mending.
        host_.Beep();
        host_.FocusPasswordBox();
        return;
    }
    firstEntry_ = entry;
    view.entry.clear();
    view.prompt = kConfirmPrompt;
    view.registerVisible = false;
    view.switchOffVisible = false;
    view.masked = true;
    view.confirmCaption = kRegisterCaption;
    view.confirmVisible = true;
    view.caption = kConfirmCaption;
    view.height = kShortHeight;
    mode_ = Mode::Confirmation;
    host_.FocusPasswordBox();
}

void PasswordDialogLogic::OnConfirm() {
    if (closed_ || busy_) return;
    LowerEntry();
    if (view.entry != firstEntry_) {
        host_.MsgBox(kMismatchText, msgbox::kOk | msgbox::kIconStop, kMismatchTitle);
        view.entry.clear();
        OnActivated();
        return;
    }
    if (!IsStorablePassword(view.entry)) {
        host_.Beep();
        host_.FocusPasswordBox();
        return;
    }
    const std::wstring password = view.entry;
    busy_ = true;
    // The switch is stored on before the password file names the password: a run that ends
    // in between asks for a password next time instead of opening Private without one.
    host_.SetPasswordOn(true);
    if (Commit(password, 100)) {
        host_.EnablePasswordChange(true);
        if (purpose_ == Purpose::Seal) {
            // Registered for the strong cipher: it is asked once more before sealing.
            ShowVerify();
            busy_ = false;
            return;
        }
        TickPrivate();
        BackupNotice();
        Close();
    }
    busy_ = false;
}

void PasswordDialogLogic::OnSwitchOff() {
    if (closed_ || busy_ || !view.switchOffVisible) return;
    SwitchOff(300);
}

void PasswordDialogLogic::OnEnter() {
    if (view.verifyVisible) OnVerify();
    else if (view.registerVisible) OnRegister();
    else if (view.confirmVisible) OnConfirm();
}

void PasswordDialogLogic::SwitchOff(int pauseMs) {
    busy_ = true;
    if (Commit(L"", pauseMs)) {
        host_.SetPasswordOn(false);
        host_.EnablePasswordChange(false);
        TickPrivate();
        host_.Pause(300);
        BackupNotice();
        Close();
    }
    busy_ = false;
}

bool PasswordDialogLogic::Commit(const std::wstring& newPassword, int pauseMs) {
    switch (host_.CommitPassword(newPassword, pauseMs)) {
    case CommitOutcome::Missing:
        host_.MsgBox(kMissingPrivateText, msgbox::kOk, L"");
        Close();
        return false;
    case CommitOutcome::NotChanged:
        host_.MsgBox(kNotStoredText, msgbox::kOk | msgbox::kIconStop, kMismatchTitle);
        Close();
        return false;
    case CommitOutcome::Rekeyed:
    case CommitOutcome::WorkingCopy:
    case CommitOutcome::FileKept:
        break;
    }
    // Sealed, only the file knows the password: none is kept once it is sealed under it.
    SetPassword(host_.Sealed() ? L"" : newPassword);
    return true;
}

void PasswordDialogLogic::SetPassword(const std::wstring& password) {
    pw_.Use(password);
}

void PasswordDialogLogic::ShowVerify() {
    mode_ = Mode::Verify;
    view.caption = kVerifyCaption;
    view.prompt = kEnterPrompt;
    view.entry.clear();
    view.masked = true;
    view.verifyVisible = true;
    view.verifyCaption = kOkCaption;
    view.registerVisible = false;
    view.confirmVisible = false;
    view.switchOffVisible = false;
    view.height = kShortHeight;
    host_.FocusPasswordBox();
}

void PasswordDialogLogic::TickPrivate() {
    privateOpened_ = true;
    if (host_.ChosenSet() != DataSet::Private) host_.ChooseDataSet(DataSet::Private);
}

void PasswordDialogLogic::BackupNotice() {
    if (host_.BackupHasPasswordFile())
        host_.MsgBox(BackupNoticeText(exeName_), msgbox::kOk | msgbox::kIconInformation,
                     BackupNoticeTitle(exeName_));
}

void PasswordDialogLogic::LowerEntry() {
    std::wstring lower = host_.Lower(view.entry);
    wipe::Clear(view.entry);  // the typed form goes, not only its name
    view.entry = std::move(lower);
}

void PasswordDialogLogic::Close() {
    wipe::Clear(view.entry);
    wipe::Clear(firstEntry_);
    closed_ = true;
    host_.Close();
}

}  // namespace password_dialog
