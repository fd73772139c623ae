// The password dialog's modes and flows, driven through a recording host.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "protect/password_dialog_logic.h"

using namespace password_dialog;

namespace {

struct Box {
    std::wstring text;
    uint32_t flags;
    std::wstring title;
};

struct Commit {
    std::wstring password;
    int pauseMs;
};

// The panel's ticks as the flows leave them.
enum class Menu { Public, Private, Kaomoji, PasswordOn, PasswordOff };

class FakeHost : public IPasswordDialogHost {
public:
    std::map<Menu, bool> checked{{Menu::Public, true}, {Menu::Private, false}, {Menu::Kaomoji, false},
                                 {Menu::PasswordOn, true}, {Menu::PasswordOff, false}};
    bool passChangeEnabled = false;
    std::vector<Box> boxes;
    std::vector<Commit> commits;
    std::vector<int> pauses;
    CommitOutcome outcome = CommitOutcome::Rekeyed;
    bool backupHasPasswordFile = false;
    int beeps = 0;
    int focusCount = 0;
    int closes = 0;

    DataSet ChosenSet() override {
        return checked[Menu::Private] ? DataSet::Private : checked[Menu::Kaomoji] ? DataSet::Kaomoji : DataSet::Public;
    }
    void ChooseDataSet(DataSet set) override {
        checked[Menu::Public] = set == DataSet::Public;
        checked[Menu::Private] = set == DataSet::Private;
        checked[Menu::Kaomoji] = set == DataSet::Kaomoji;
    }
    std::vector<std::pair<bool, std::wstring>> writes;  // {true, ""}: PassMode; {false, pw}: the password file
    void SetPasswordOn(bool on) override {
        writes.push_back({true, on ? L"on" : L"off"});
        checked[Menu::PasswordOn] = on;
        checked[Menu::PasswordOff] = !on;
    }
    void EnablePasswordChange(bool on) override { passChangeEnabled = on; }
    std::wstring Lower(const std::wstring& text) override {
        std::wstring s = text;
        for (wchar_t& c : s)
            if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
        return s;
    }
    void Beep() override { ++beeps; }
    void MsgBox(const std::wstring& text, uint32_t flags, const std::wstring& title) override {
        boxes.push_back({text, flags, title});
    }
    CommitOutcome CommitPassword(const std::wstring& password, int pauseMs) override {
        commits.push_back({password, pauseMs});
        writes.push_back({false, password});
        return outcome;
    }
    bool BackupHasPasswordFile() override { return backupHasPasswordFile; }
    void Pause(int ms) override { pauses.push_back(ms); }
    void FocusPasswordBox() override { ++focusCount; }
    void Close() override { ++closes; }
    bool sealed = false;
    bool Sealed() override { return sealed; }
    Unlocked UnlockSealed(const std::wstring& password) override {
        return password == L"old" ? Unlocked::Opened : Unlocked::WrongPassword;
    }
};

// The dialog as opened for purpose P.
template <Purpose P>
class DialogTest : public ::testing::Test {
protected:
    PasswordState app;
    FakeHost host;
    PasswordDialogLogic dialog{app, L"ハリコ", host, P};

    void SetUp() override {
        app.privateKey = DefaultPassword();
    }
    void StorePassword(const std::wstring& pw) {
        app.userPassword = pw;
        app.privateKey = pw;
    }
    void Open() {
        dialog.OnLoad();
        dialog.OnActivated();
    }
    void Type(const std::wstring& text) { dialog.view.entry = text; }
};

using PasswordDialogLogicTest = DialogTest<Purpose::Unlock>;
using ChangeDialogTest = DialogTest<Purpose::Change>;
using SwitchOffDialogTest = DialogTest<Purpose::SwitchOff>;

void ExpectRegistration(const View& v, const std::wstring& prompt) {
    EXPECT_EQ(v.caption, L"パスワードの登録");
    EXPECT_EQ(v.prompt, prompt);
    EXPECT_FALSE(v.masked);
    EXPECT_FALSE(v.verifyVisible);
    EXPECT_TRUE(v.registerVisible);
    EXPECT_EQ(v.registerCaption, L"登 録");
    EXPECT_FALSE(v.confirmVisible);
    EXPECT_TRUE(v.switchOffVisible);
    EXPECT_EQ(v.height, 2415);
}

void ExpectConfirmation(const View& v) {
    EXPECT_EQ(v.caption, L"パスワードの再確認");
    EXPECT_EQ(v.prompt, L"確認のため、もう一度パスワードを入力してください。");
    EXPECT_TRUE(v.masked);
    EXPECT_FALSE(v.verifyVisible);
    EXPECT_FALSE(v.registerVisible);
    EXPECT_TRUE(v.confirmVisible);
    EXPECT_EQ(v.confirmCaption, L"登 録");
    EXPECT_FALSE(v.switchOffVisible);
    EXPECT_EQ(v.height, 2025);
    EXPECT_EQ(v.entry, L"");
}

TEST_F(PasswordDialogLogicTest, NewPasswordIsRegisteredInLowerCaseAndPrivateTicked) {
    Open();
    EXPECT_EQ(dialog.mode(), Mode::Registration);
    ExpectRegistration(dialog.view, L"パスワードの設定をしてください。");
    EXPECT_GE(host.focusCount, 1);

    Type(L"Secret");
    dialog.OnRegister();
    EXPECT_EQ(dialog.mode(), Mode::Confirmation);
    ExpectConfirmation(dialog.view);
    EXPECT_EQ(dialog.firstEntry(), L"secret");

    Type(L"SECRET");
    dialog.OnConfirm();
    ASSERT_EQ(host.commits.size(), 1u);
    EXPECT_EQ(host.commits[0].password, L"secret");
    EXPECT_EQ(host.commits[0].pauseMs, 100);
    EXPECT_EQ(app.userPassword, L"secret");
    EXPECT_EQ(app.privateKey, L"secret");
    EXPECT_TRUE(host.checked[Menu::Private]);
    EXPECT_FALSE(host.checked[Menu::Public]);
    EXPECT_FALSE(host.checked[Menu::Kaomoji]);
    EXPECT_TRUE(host.passChangeEnabled);
    EXPECT_TRUE(host.boxes.empty());
    EXPECT_EQ(host.closes, 1);
    EXPECT_TRUE(dialog.closed());
}

TEST_F(PasswordDialogLogicTest, RegistrationMismatchAndEmptyEntryKeepTheDialog) {
    Open();
    dialog.OnRegister();  // nothing typed
    ASSERT_EQ(host.boxes.size(), 1u);
    EXPECT_EQ(host.boxes[0].title, L"パスワード設定エラー");
    EXPECT_EQ(host.boxes[0].text,
              L"パスワードを入力してください。\r\n\r\nパスワードが不必要なときは、最下部の\u3000\u3000\r\n"
              L"「パスワードは無効にします」をチェックしてください。\u3000\u3000");
    EXPECT_EQ(host.boxes[0].flags, msgbox::kOk | msgbox::kIconStop);
    EXPECT_EQ(dialog.mode(), Mode::Registration);

    Type(L"abc");
    dialog.OnRegister();
    Type(L"abd");
    dialog.OnConfirm();
    ASSERT_EQ(host.boxes.size(), 2u);
    EXPECT_EQ(host.boxes[1].title, L"パスワードの設定");
    EXPECT_EQ(host.boxes[1].text,
              L"パスワードが一致しませんでした。\r\n\r\n最初からパスワードの設定を行ってください。");
    EXPECT_EQ(host.boxes[1].flags, msgbox::kOk | msgbox::kIconStop);
    // Back through activation: with nothing stored, registration again.
    ExpectRegistration(dialog.view, L"パスワードの設定をしてください。");
    EXPECT_EQ(dialog.view.entry, L"");
    EXPECT_TRUE(host.commits.empty());
    EXPECT_EQ(host.closes, 0);
}

TEST_F(PasswordDialogLogicTest, VerifyAcceptsAnyCaseAndTicksPrivateWithoutTouchingFiles) {
    StorePassword(L"secret");
    host.checked[Menu::Public] = false;
    host.checked[Menu::Kaomoji] = true;
    Open();
    EXPECT_EQ(dialog.mode(), Mode::Verify);
    EXPECT_EQ(dialog.view.caption, L"パスワードの確認");
    EXPECT_EQ(dialog.view.prompt, L"パスワードを入力してください。");
    EXPECT_TRUE(dialog.view.masked);
    EXPECT_TRUE(dialog.view.verifyVisible);
    EXPECT_EQ(dialog.view.verifyCaption, L"O K");
    EXPECT_FALSE(dialog.view.switchOffVisible);
    EXPECT_EQ(dialog.view.height, 2025);

    Type(L"secret ");  // lower-casing does not make the comparison loose
    dialog.OnVerify();
    EXPECT_EQ(host.beeps, 1);
    EXPECT_EQ(dialog.view.prompt, L"パスワードが違います。もう一度入力してください。");
    EXPECT_EQ(dialog.view.entry, L"");
    EXPECT_FALSE(dialog.closed());

    Type(L"SeCrEt");
    dialog.OnVerify();
    EXPECT_TRUE(host.checked[Menu::Private]);
    EXPECT_FALSE(host.checked[Menu::Kaomoji]);
    EXPECT_TRUE(host.commits.empty());
    EXPECT_EQ(host.closes, 1);
}

TEST_F(ChangeDialogTest, ChangeVerifiesThenAsksForANewPasswordTwice) {
    StorePassword(L"old");
    host.passChangeEnabled = true;
    Open();
    EXPECT_EQ(dialog.mode(), Mode::Change);
    EXPECT_EQ(dialog.view.caption, L"パスワードの変更");
    EXPECT_EQ(dialog.view.prompt, L"現在のパスワードを入力してください。");
    EXPECT_EQ(dialog.view.height, 2025);

    Type(L"OLD");
    dialog.OnVerify();
    EXPECT_EQ(dialog.mode(), Mode::NewPassword);
    ExpectRegistration(dialog.view, L"新しいパスワードの設定をしてください。");

    Type(L"new1");
    dialog.OnRegister();
    Type(L"new2");
    dialog.OnConfirm();
    // A mismatch in the change flow keeps the confirmation and the first entry.
    EXPECT_EQ(host.boxes.size(), 1u);
    EXPECT_EQ(dialog.mode(), Mode::Confirmation);
    ExpectConfirmation(dialog.view);
    EXPECT_EQ(dialog.firstEntry(), L"new1");

    Type(L"NEW1");
    dialog.OnConfirm();
    ASSERT_EQ(host.commits.size(), 1u);
    EXPECT_EQ(host.commits[0].password, L"new1");
    EXPECT_EQ(app.userPassword, L"new1");
    EXPECT_EQ(app.privateKey, L"new1");
    EXPECT_TRUE(dialog.closed());
}

TEST_F(ChangeDialogTest, ASealedPrivateOffersNoSwitchOffWithTheNewPassword) {
    host.sealed = true;
    Open();
    Type(L"old");
    dialog.OnVerify();
    EXPECT_EQ(dialog.mode(), Mode::NewPassword);
    EXPECT_FALSE(dialog.view.switchOffVisible);
}

// A run may end between any two writes of the password state. The next start opens Private
// without asking when the switch reads off, so a password may never stand under a switch off.
TEST_F(PasswordDialogLogicTest, NoEndBetweenTwoWritesLeavesAPasswordWithTheSwitchOff) {
    struct Flow { const char* name; bool switchOn; Purpose purpose; bool switchOff; };
    for (const Flow& f : {Flow{"register", true, Purpose::Unlock, false}, Flow{"seal from none", false, Purpose::Seal, false},
                          Flow{"switch off", true, Purpose::SwitchOff, true}}) {
        FakeHost h;
        PasswordState pw;
        h.checked[Menu::PasswordOn] = f.switchOn;
        if (f.switchOff) pw.Use(L"pw");
        PasswordDialogLogic d{pw, L"ハリコ", h, f.purpose};
        d.OnLoad();
        d.OnActivated();
        d.view.entry = f.switchOff ? L"pw" : L"abc";
        f.switchOff ? d.OnVerify() : (d.OnRegister(), d.view.entry = L"abc", d.OnConfirm());
        ASSERT_FALSE(h.writes.empty()) << f.name;
        for (size_t end = 0; end <= h.writes.size(); ++end) {
            bool on = f.switchOn;
            std::wstring file = f.switchOff ? L"pw" : L"";
            for (size_t k = 0; k < end; ++k)
                h.writes[k].first ? void(on = h.writes[k].second == L"on") : void(file = h.writes[k].second);
            EXPECT_TRUE(on || file.empty()) << f.name << ": ended after " << end << " writes";
        }
    }
}

TEST_F(SwitchOffDialogTest, SwitchOffFromVerifyAndFromTheSwitchOffBox) {
    StorePassword(L"pw");
    host.passChangeEnabled = true;
    dialog.OnLoad();
    EXPECT_EQ(dialog.view.prompt, L"現在のパスワードを入力してください。");
    dialog.OnActivated();
    Type(L"PW");
    dialog.OnVerify();
    ASSERT_EQ(host.commits.size(), 1u);
    EXPECT_EQ(host.commits[0].password, L"");
    EXPECT_EQ(host.commits[0].pauseMs, 100);
    EXPECT_EQ(app.userPassword, L"");
    EXPECT_EQ(app.privateKey, DefaultPassword());
    EXPECT_FALSE(host.checked[Menu::PasswordOn]);
    EXPECT_TRUE(host.checked[Menu::PasswordOff]);
    EXPECT_FALSE(host.passChangeEnabled);
    EXPECT_TRUE(host.checked[Menu::Private]);
    EXPECT_FALSE(host.checked[Menu::Public]);
    EXPECT_EQ(host.pauses, std::vector<int>{300});
    EXPECT_TRUE(dialog.closed());

    // The switch-off box in the registration mode: the same flow with 300 ms inside the write.
    PasswordState app2;
    FakeHost host2;
    PasswordDialogLogic d2(app2, L"ハリコ", host2);
    d2.OnLoad();
    d2.OnActivated();
    d2.OnSwitchOff();
    ASSERT_EQ(host2.commits.size(), 1u);
    EXPECT_EQ(host2.commits[0].pauseMs, 300);
    EXPECT_TRUE(host2.checked[Menu::PasswordOff]);
    EXPECT_TRUE(d2.closed());
}

TEST_F(SwitchOffDialogTest, SwitchOffWithNothingStoredOnlyMovesTheCheckMark) {
    Open();
    EXPECT_FALSE(host.checked[Menu::PasswordOn]);
    EXPECT_TRUE(host.checked[Menu::PasswordOff]);
    EXPECT_TRUE(host.checked[Menu::Public]);
    EXPECT_TRUE(host.commits.empty());
    EXPECT_EQ(host.closes, 1);
}

TEST_F(SwitchOffDialogTest, MissingPrivateFileEndsTheFlowWithTheOldPasswordInForce) {
    StorePassword(L"old");
    host.outcome = CommitOutcome::Missing;
    Open();
    Type(L"old");
    dialog.OnVerify();
    ASSERT_EQ(host.boxes.size(), 1u);
    EXPECT_EQ(host.boxes[0].text, L"Error! 401");
    EXPECT_EQ(host.boxes[0].flags, msgbox::kOk);
    EXPECT_EQ(host.boxes[0].title, L"");  // the program's title
    EXPECT_EQ(app.userPassword, L"old");
    EXPECT_EQ(app.privateKey, L"old");
    EXPECT_TRUE(host.checked[Menu::PasswordOn]);
    EXPECT_TRUE(host.checked[Menu::Public]);
    EXPECT_TRUE(host.pauses.empty());
    EXPECT_EQ(host.closes, 1);
}

// Only a missing Private file or a failed write keep the old password; then the user is told.
TEST(PasswordDialogCommit, OutcomeDecidesWhetherTheNewPasswordTakesEffect) {
    for (CommitOutcome o : {CommitOutcome::Rekeyed, CommitOutcome::WorkingCopy, CommitOutcome::FileKept,
                            CommitOutcome::Missing, CommitOutcome::NotChanged}) {
        PasswordState a;
        FakeHost h;
        h.outcome = o;
        PasswordDialogLogic d(a, L"", h);
        d.OnLoad();
        d.OnActivated();
        d.view.entry = L"x";
        d.OnRegister();
        d.view.entry = L"x";
        d.OnConfirm();
        bool takes = o != CommitOutcome::Missing && o != CommitOutcome::NotChanged;
        EXPECT_EQ(a.userPassword, takes ? L"x" : L"") << static_cast<int>(o);
        EXPECT_EQ(h.passChangeEnabled, takes);
        EXPECT_EQ(h.checked[Menu::Private], takes);
        EXPECT_TRUE(d.closed());
        if (takes) {
            EXPECT_TRUE(h.boxes.empty());
        } else {
            ASSERT_EQ(h.boxes.size(), 1u);
            EXPECT_EQ(h.boxes[0].text, o == CommitOutcome::Missing ? L"Error! 401" : kNotStoredText);
        }
    }
}

TEST_F(PasswordDialogLogicTest, BackupNoticeOnlyWhenTheBackupHoldsAPasswordFile) {
    host.backupHasPasswordFile = true;
    Open();
    Type(L"a");
    dialog.OnRegister();
    Type(L"a");
    dialog.OnConfirm();
    ASSERT_EQ(host.boxes.size(), 1u);
    EXPECT_EQ(host.boxes[0].title, L"「ハリコ」のパスワードの変更");
    EXPECT_EQ(host.boxes[0].text,
              L"パスワードが変更されましたので、\r\n\r\n「ハリコ」のデータのバックアップをやり直してください。");
    EXPECT_EQ(host.boxes[0].flags, msgbox::kOk | msgbox::kIconInformation);
}

TEST_F(ChangeDialogTest, EnterClicksTheFirstVisibleButton) {
    StorePassword(L"old");
    Open();
    Type(L"old");
    dialog.OnEnter();  // O K
    EXPECT_EQ(dialog.mode(), Mode::NewPassword);
    Type(L"n");
    dialog.OnEnter();  // 登 録
    EXPECT_EQ(dialog.mode(), Mode::Confirmation);
    Type(L"n");
    dialog.OnEnter();  // 登 録 again
    ASSERT_EQ(host.commits.size(), 1u);
    EXPECT_EQ(host.commits[0].password, L"n");
}

TEST(PasswordInput, RefusesWhatThePasswordFileCannotHold) {
    for (wchar_t c : {L'a', L'Z', L'0', L' ', L'あ', L'漢', L'ｱ', L'＂', L'￥', L'\\', L'ⅰ'})
        EXPECT_TRUE(AcceptsPasswordChar(c)) << static_cast<int>(c);
    for (wchar_t c : {L'\b', L'\x01', L'\x03', L'\x16', L'\x18', L'\x1A', L'\x7F'})
        EXPECT_TRUE(AcceptsPasswordChar(c)) << "editing key " << static_cast<int>(c);
    // a double quote; no CP932 form: euro, Hangul, yen sign (only a best fit), surrogates
    for (wchar_t c : {L'"', L'€', L'한', L'\u00A5', wchar_t(0xD83D), wchar_t(0xDE00)})
        EXPECT_FALSE(AcceptsPasswordChar(c)) << static_cast<int>(c);

    EXPECT_TRUE(AllPasswordChars(L"pass ワード"));
    EXPECT_FALSE(AllPasswordChars(L"pa\"ss"));
    EXPECT_TRUE(IsStorablePassword(L""));
    EXPECT_TRUE(IsStorablePassword(L"青木pass"));
    EXPECT_FALSE(IsStorablePassword(L"a\"b"));
    EXPECT_FALSE(IsStorablePassword(L"x한"));
}

TEST_F(PasswordDialogLogicTest, PastedUnstorableEntryIsRefusedWithABeep) {
    Open();
    Type(L"ab\"c");
    dialog.OnRegister();
    EXPECT_EQ(host.beeps, 1);
    EXPECT_EQ(dialog.mode(), Mode::Registration);
    EXPECT_EQ(dialog.view.entry, L"ab\"c");  // left for mending
    EXPECT_TRUE(host.boxes.empty());
    EXPECT_FALSE(dialog.closed());
}

}  // namespace
