// The password dialog on the real window manager, files and CryptoAPI: the re-key of
// MyData_2.dat, the password file it leaves, and the dialog's modes as a user sees them.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "panel/panel_ids.h"
#include "protect/password_dialog.h"
#include "store/file_cipher.h"
#include "store/datafiles.h"
#include "store/dataset_format.h"
#include "store/passwordfile.h"
#include "win/app.h"
#include "support/files.h"
#include "support/wait.h"

using testsupport::FolderEntries;
using testsupport::FreshFolder;
using testsupport::RemoveTree;

using password_dialog::CommitOutcome;

namespace {


// Two records as the entry editor and start-up write them, in code page 932.
std::string SampleRecords() {
    auto r = EncodeDataSet({{L"氏名", L"青木　純", L"&HFFFFFF"},
                            {L"住所", L"東京都\r\n千代田区, 1-1", L"16777215"}},
                           ColourForm::HexText);
    return r.bytes;
}

bool PutOnClipboard(HWND owner, const std::wstring& text) {
    if (!OpenClipboard(owner)) return false;
    EmptyClipboard();
    size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    HGLOBAL g = GlobalAlloc(GMEM_MOVEABLE, bytes);
    memcpy(GlobalLock(g), text.c_str(), bytes);
    GlobalUnlock(g);
    bool ok = SetClipboardData(CF_UNICODETEXT, g) != nullptr;
    CloseClipboard();
    return ok;
}

struct Box {
    std::wstring text;
    UINT flags;
    std::wstring title;
};
std::vector<Box> g_boxes;
int RecordBox(const std::wstring& text, UINT flags, const std::wstring& title) {
    g_boxes.push_back({text, flags, title});
    return IDOK;
}

class PasswordDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        static int counter = 0;
        root_ = FreshFolder(L"hariko_password_dialog_" + std::to_wstring(GetCurrentProcessId()) +
                L"_" + std::to_wstring(++counter));
        ASSERT_TRUE(testsupport::FolderExists(root_));
        dir_ = root_ + L"\\data";
        ASSERT_TRUE(CreateDirectoryW(dir_.c_str(), nullptr));

        pw_ = PasswordState{};
        pw_.privateKey = DefaultPassword();
        own_ = OwnWindowTable{};
        svc_.SetDataDir(dir_);

        g_boxes.clear();
        SetMsgBoxHook(RecordBox);
        savedShowError_ = FileCipher::ShowError;
        FileCipher::ShowError = [](const std::wstring& text) { g_boxes.push_back({text, MB_OK, L"cipher"}); };
        savedBeep_ = PasswordDialog::SoundBeep;
        beeps_ = 0;
        PasswordDialog::SoundBeep = [this] { ++beeps_; };
    }

    void TearDown() override {
        if (panel_) DestroyWindow(panel_);
        SetMsgBoxHook(nullptr);
        FileCipher::ShowError = savedShowError_;
        PasswordDialog::SoundBeep = savedBeep_;
        RemoveTree(root_);
    }

    std::wstring File(const wchar_t* name) const { return dir_ + L"\\" + name; }

    void MakePrivateFile(const std::string& plain, const std::wstring& key) {
        const std::wstring p = root_ + L"\\plain.tmp";
        ASSERT_TRUE(WriteFileAtomic(p, plain));
        ASSERT_TRUE(EncryptFileTo(p, File(L"MyData_2.dat"), key));
        DeleteFileW(p.c_str());
    }

    // "<missing>" when the file is not there, so a comparison shows what went wrong.
    std::string Decrypted(const std::wstring& path, const std::wstring& key) {
        const std::wstring out = root_ + L"\\check.tmp";
        DeleteFileW(out.c_str());
        if (!DecryptFileTo(path, out, key)) return "<missing>";
        auto bytes = ReadAllBytes(out);
        DeleteFileW(out.c_str());
        return bytes ? *bytes : "<missing>";
    }
    std::string PasswordFileText() { return Decrypted(File(L"MyData_0.dat"), DefaultPassword()); }
    std::string Bytes(const std::wstring& path) {
        auto b = ReadAllBytes(path);
        return b ? *b : "<missing>";
    }

    CommitOutcome Rekey(const std::wstring& current, const std::wstring& next) {
        pw_.privateKey = current;
        return svc_.Rekey(next, 0, [] {}, [](int) {});
    }

    // The panel as the dialog sees it: a topmost window with the data-set and password menu
    // items.
    void MakePanel() {
        HMENU bar = CreateMenu();
        HMENU m = CreatePopupMenu();
        AppendMenuW(m, MF_STRING | MF_CHECKED, panel_ids::kPublic, L"Public");
        AppendMenuW(m, MF_STRING, panel_ids::kPrivate, L"Private");
        AppendMenuW(m, MF_STRING, panel_ids::kKaomoji, L"顔文字");
        AppendMenuW(m, MF_STRING | MF_CHECKED, panel_ids::kPasswordOn, L"Privateのﾊﾟｽﾜｰﾄﾞ有効");
        AppendMenuW(m, MF_STRING, panel_ids::kPasswordOff, L"Privateのﾊﾟｽﾜｰﾄﾞ無効");
        AppendMenuW(m, MF_STRING | MF_GRAYED, panel_ids::kPasswordChange, L"Privateのﾊﾟｽﾜｰﾄ変更");
        AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(m), L"ﾒﾆｭｰ");
        panel_ = CreateWindowExW(WS_EX_TOPMOST, L"STATIC", L"panel", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 120,
                                 400, nullptr, bar, GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(panel_, nullptr);
    }
    // The dialog's links to the fake panel's menu items.
    PasswordDialogLinks Links(password_dialog::Purpose purpose = password_dialog::Purpose::Unlock) {
        auto tick = [this](UINT id, bool on) {
            CheckMenuItem(GetMenu(panel_), id, MF_BYCOMMAND | (on ? MF_CHECKED : MF_UNCHECKED));
        };
        PasswordDialogLinks l;
        l.panel = panel_;
        l.password = &pw_;
        l.dataSets = &svc_;
        l.own = &own_;
        l.purpose = purpose;
        l.exeName = L"ハリコ試験";
        l.backupDir = root_ + L"\\ハリコ試験_BackupData";
        l.dataSet = [this] {
            return Checked(panel_ids::kPrivate) ? DataSet::Private : Checked(panel_ids::kKaomoji) ? DataSet::Kaomoji : DataSet::Public;
        };
        l.chooseDataSet = [tick](DataSet set) {
            tick(panel_ids::kPublic, set == DataSet::Public);
            tick(panel_ids::kPrivate, set == DataSet::Private);
            tick(panel_ids::kKaomoji, set == DataSet::Kaomoji);
        };
        l.setPasswordOn = [tick](bool on) {
            tick(panel_ids::kPasswordOn, on);
            tick(panel_ids::kPasswordOff, !on);
        };
        l.enablePasswordChange = [this](bool on) {
            EnableMenuItem(GetMenu(panel_), panel_ids::kPasswordChange, MF_BYCOMMAND | (on ? MF_ENABLED : MF_GRAYED));
        };
        return l;
    }
    bool Checked(UINT id) { return (GetMenuState(GetMenu(panel_), id, MF_BYCOMMAND) & MF_CHECKED) != 0; }
    bool Enabled(UINT id) {
        return (GetMenuState(GetMenu(panel_), id, MF_BYCOMMAND) & (MF_GRAYED | MF_DISABLED)) == 0;
    }

    static void TypeChars(PasswordDialog& f, const std::wstring& text) {
        for (wchar_t c : text) SendMessageW(f.editPassword->hwnd, WM_CHAR, c, 1);
    }
    static void PressEnter(PasswordDialog& f) {
        SendMessageW(f.editPassword->hwnd, WM_KEYDOWN, VK_RETURN, 1);
        SendMessageW(f.editPassword->hwnd, WM_CHAR, L'\r', 1);
        DoEvents();
    }
    static std::wstring Caption(const PasswordDialog& f) {
        wchar_t buf[128] = {};
        GetWindowTextW(f.hwnd(), buf, 128);
        return buf;
    }
    static bool Shown(const Control* c) { return IsWindowVisible(c->hwnd) != FALSE; }
    static int OuterHeight(const PasswordDialog& f) {
        RECT r;
        GetWindowRect(f.hwnd(), &r);
        return r.bottom - r.top;
    }
    static bool Masked(const PasswordDialog& f) {
        return SendMessageW(f.editPassword->hwnd, EM_GETPASSWORDCHAR, 0, 0) == L'*';
    }
    static LONG Weight(const PasswordDialog& f) {
        LOGFONTW lf{};
        GetObjectW(reinterpret_cast<HFONT>(SendMessageW(f.editPassword->hwnd, WM_GETFONT, 0, 0)), sizeof lf, &lf);
        return lf.lfWeight;
    }

    std::wstring root_, dir_;
    HWND panel_ = nullptr;
    PasswordState pw_;
    OwnWindowTable own_;
    DataSetService svc_{pw_};
    std::function<void(const std::wstring&)> savedShowError_;
    std::function<void()> savedBeep_;
    int beeps_ = 0;
};

// ---- re-key on disk -------------------------------------------------------------------

TEST_F(PasswordDialogTest, RekeyMovesTheRecordsToTheNewKeyAndBackToTheDefault) {
    const std::string plain = SampleRecords();
    MakePrivateFile(plain, L"old");

    EXPECT_EQ(Rekey(L"old", L"new"), CommitOutcome::Rekeyed);
    EXPECT_EQ(FolderEntries(dir_), (std::vector<std::wstring>{L"MyData_0.dat", L"MyData_2.dat"}));
    EXPECT_EQ(Decrypted(File(L"MyData_2.dat"), L"new"), plain);
    EXPECT_EQ(PasswordFileText(), "\"new\"\r\n");

    // Switching off: the default password, an empty password file line.
    EXPECT_EQ(Rekey(L"new", L""), CommitOutcome::Rekeyed);
    EXPECT_EQ(FolderEntries(dir_), (std::vector<std::wstring>{L"MyData_0.dat", L"MyData_2.dat"}));
    EXPECT_EQ(Decrypted(File(L"MyData_2.dat"), DefaultPassword()), plain);
    EXPECT_EQ(PasswordFileText(), "\"\"\r\n");
}

TEST_F(PasswordDialogTest, AKeyThatDoesNotFitLeavesMyData2Untouched) {
    MakePrivateFile(SampleRecords(), L"other");
    const std::string before = Bytes(File(L"MyData_2.dat"));

    EXPECT_EQ(Rekey(L"old", L"new"), CommitOutcome::FileKept);
    EXPECT_EQ(Bytes(File(L"MyData_2.dat")), before);
    EXPECT_EQ(FolderEntries(dir_), (std::vector<std::wstring>{L"MyData_0.dat", L"MyData_2.dat"}));
    EXPECT_EQ(Decrypted(File(L"MyData_2.dat"), L"other"), SampleRecords());
}

TEST_F(PasswordDialogTest, LoadedWorkingCopyAndMissingFiles) {
    // Private loaded: only the password file changes.
    const std::string plain = SampleRecords();
    ASSERT_TRUE(WriteFileAtomic(File(L"MyData_2_2.dat"), plain));
    EXPECT_EQ(Rekey(DefaultPassword(), L"pw"), CommitOutcome::WorkingCopy);
    EXPECT_EQ(FolderEntries(dir_), (std::vector<std::wstring>{L"MyData_0.dat", L"MyData_2_2.dat"}));
    EXPECT_EQ(Bytes(File(L"MyData_2_2.dat")), plain);
    EXPECT_EQ(PasswordFileText(), "\"pw\"\r\n");

    // Neither form of Private: nothing is written, not even the password file.
    DeleteFileW(File(L"MyData_2_2.dat").c_str());
    const std::string pwFile = Bytes(File(L"MyData_0.dat"));
    EXPECT_EQ(Rekey(L"pw", L"other"), CommitOutcome::Missing);
    EXPECT_EQ(FolderEntries(dir_), (std::vector<std::wstring>{L"MyData_0.dat"}));
    EXPECT_EQ(Bytes(File(L"MyData_0.dat")), pwFile);
}

TEST_F(PasswordDialogTest, APasswordFileThatCannotBeWrittenLeavesTheOldKeyInForce) {
    const std::string plain = SampleRecords();
    MakePrivateFile(plain, L"old");
    ASSERT_TRUE(WritePasswordFile(dir_, L"old", 0, [] {}, [](int) {}));
    // A folder in the way of the plain password file: the write cannot happen.
    ASSERT_TRUE(CreateDirectoryW(File(L"MyData_0_0.dat").c_str(), nullptr));

    EXPECT_EQ(Rekey(L"old", L"new"), CommitOutcome::NotChanged);
    EXPECT_EQ(FolderEntries(dir_),
              (std::vector<std::wstring>{L"MyData_0.dat", L"MyData_0_0.dat", L"MyData_2.dat"}));
    EXPECT_EQ(Decrypted(File(L"MyData_2.dat"), L"old"), plain);
    EXPECT_EQ(PasswordFileText(), "\"old\"\r\n");
}

// ---- the dialog -------------------------------------------------------------------------

TEST_F(PasswordDialogTest, RegistrationThroughTheKeyboardRekeysAndTicksPrivate) {
    MakePanel();
    MakePrivateFile(SampleRecords(), DefaultPassword());
    PasswordDialog f(Links());
    ASSERT_TRUE(f.Open());
    EXPECT_FALSE(IsWindowEnabled(panel_));
    EXPECT_EQ(own_.passwordDialog, reinterpret_cast<uintptr_t>(f.hwnd()));
    EXPECT_EQ(GetWindow(f.hwnd(), GW_OWNER), panel_);
    EXPECT_TRUE(GetWindowLongW(f.hwnd(), GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_EQ(Caption(f), L"パスワードの確認");
    f.Show();

    // Registration: plain regular text, the switch-off box and its label in view, the taller window.
    EXPECT_EQ(Caption(f), L"パスワードの登録");
    EXPECT_EQ(f.lblPrompt->Text(), L"パスワードの設定をしてください。");
    EXPECT_FALSE(Masked(f));
    EXPECT_EQ(Weight(f), FW_NORMAL);
    EXPECT_FALSE(Shown(f.btnVerify));
    EXPECT_TRUE(Shown(f.btnRegister));
    EXPECT_EQ(f.btnRegister->Text(), L"登 録");
    EXPECT_TRUE(Shown(f.chkSwitchOff));
    EXPECT_TRUE(Shown(f.lblSwitchOff));
    EXPECT_EQ(f.lblSwitchOff->Text(), L"パスワードは無効にします。");
    EXPECT_EQ(OuterHeight(f), f.Px(2415));
    EXPECT_EQ(GetFocus(), f.editPassword->hwnd);
    RECT r;
    GetWindowRect(f.editPassword->hwnd, &r);
    MapWindowPoints(nullptr, f.hwnd(), reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(r.left, f.Px(1080));
    EXPECT_EQ(r.top, f.Px(600));
    EXPECT_EQ(r.right - r.left, f.Px(1935));

    // A double quote never gets in; full-width capitals are lowered by the system.
    TypeChars(f, L"Ｐａ\"ss");
    EXPECT_EQ(f.editPassword->Text(), L"Ｐａss");
    EXPECT_EQ(beeps_, 1);
    PressEnter(f);

    EXPECT_EQ(Caption(f), L"パスワードの再確認");
    EXPECT_EQ(f.lblPrompt->Text(), L"確認のため、もう一度パスワードを入力してください。");
    EXPECT_TRUE(Masked(f));
    EXPECT_EQ(Weight(f), FW_BOLD);
    EXPECT_EQ(f.editPassword->Text(), L"");
    EXPECT_TRUE(Shown(f.btnConfirm));
    EXPECT_FALSE(Shown(f.btnRegister));
    EXPECT_FALSE(Shown(f.chkSwitchOff));
    EXPECT_FALSE(Shown(f.lblSwitchOff));
    EXPECT_EQ(OuterHeight(f), f.Px(2025));

    TypeChars(f, L"ｐＡSS");
    PressEnter(f);

    EXPECT_EQ(f.hwnd(), nullptr);  // closed
    EXPECT_TRUE(IsWindowEnabled(panel_));
    EXPECT_EQ(own_.passwordDialog, 0u);
    EXPECT_EQ(pw_.userPassword, L"ｐａss");
    EXPECT_EQ(pw_.privateKey, L"ｐａss");
    EXPECT_TRUE(Checked(panel_ids::kPrivate));
    EXPECT_FALSE(Checked(panel_ids::kPublic));
    EXPECT_TRUE(Enabled(panel_ids::kPasswordChange));
    EXPECT_EQ(Decrypted(File(L"MyData_2.dat"), L"ｐａss"), SampleRecords());
    EXPECT_EQ(PasswordFileText(), "\"\x82\x90\x82\x81ss\"\r\n");
    EXPECT_TRUE(g_boxes.empty());
}

TEST_F(PasswordDialogTest, WrongPasswordStaysInVerifyAndTheCloseBoxChangesNothing) {
    MakePanel();
    pw_.userPassword = pw_.privateKey = L"secret";
    PasswordDialog f(Links(password_dialog::Purpose::Change));
    ASSERT_TRUE(f.Open());
    f.Show();
    EXPECT_EQ(Caption(f), L"パスワードの変更");
    EXPECT_EQ(f.lblPrompt->Text(), L"現在のパスワードを入力してください。");
    EXPECT_TRUE(Masked(f));
    EXPECT_EQ(Weight(f), FW_BOLD);
    EXPECT_TRUE(Shown(f.btnVerify));
    EXPECT_EQ(f.btnVerify->Text(), L"O K");
    EXPECT_FALSE(Shown(f.chkSwitchOff));

    TypeChars(f, L"Secreto");
    SendMessageW(f.btnVerify->hwnd, BM_CLICK, 0, 0);
    EXPECT_EQ(beeps_, 1);
    EXPECT_EQ(f.lblPrompt->Text(), L"パスワードが違います。もう一度入力してください。");
    EXPECT_EQ(f.editPassword->Text(), L"");
    EXPECT_EQ(Caption(f), L"パスワードの変更");

    SendMessageW(f.hwnd(), WM_CLOSE, 0, 0);
    EXPECT_EQ(f.hwnd(), nullptr);
    EXPECT_TRUE(IsWindowEnabled(panel_));
    EXPECT_EQ(pw_.userPassword, L"secret");
}

TEST_F(PasswordDialogTest, SwitchOffWithoutAPrivateFileShowsError401AndChangesNothing) {
    MakePanel();
    pw_.userPassword = pw_.privateKey = L"pw";
    EnableMenuItem(GetMenu(panel_), panel_ids::kPasswordChange, MF_BYCOMMAND | MF_ENABLED);
    PasswordDialog f(Links(password_dialog::Purpose::SwitchOff));
    ASSERT_TRUE(f.Open());
    f.Show();
    EXPECT_EQ(f.lblPrompt->Text(), L"現在のパスワードを入力してください。");
    TypeChars(f, L"PW");
    PressEnter(f);

    ASSERT_EQ(g_boxes.size(), 1u);
    EXPECT_EQ(g_boxes[0].text, L"Error! 401");
    EXPECT_EQ(g_boxes[0].flags, static_cast<UINT>(MB_OK));
    EXPECT_EQ(g_boxes[0].title, L"ハリコ");
    EXPECT_EQ(f.hwnd(), nullptr);
    EXPECT_TRUE(IsWindowEnabled(panel_));
    EXPECT_EQ(pw_.userPassword, L"pw");
    EXPECT_TRUE(Checked(panel_ids::kPasswordOn));
    EXPECT_TRUE(Enabled(panel_ids::kPasswordChange));
    EXPECT_TRUE(FolderEntries(dir_).empty());
}

TEST_F(PasswordDialogTest, SwitchOffBoxSwitchesOffAndTheBackupNoticeNamesTheProgram) {
    MakePanel();
    MakePrivateFile(SampleRecords(), DefaultPassword());
    const std::wstring backup = root_ + L"\\ハリコ試験_BackupData";
    ASSERT_TRUE(CreateDirectoryW(backup.c_str(), nullptr));
    ASSERT_TRUE(WriteFileAtomic(backup + L"\\MyData_0.dat", "x"));
    PasswordDialog f(Links());
    ASSERT_TRUE(f.Open());
    f.Show();
    // The box carries the label's text as its name; a click on the label ticks the box.
    EXPECT_EQ(f.chkSwitchOff->Text(), f.lblSwitchOff->Text());
    SendMessageW(f.lblSwitchOff->hwnd, WM_LBUTTONDOWN, MK_LBUTTON, 0);
    SendMessageW(f.lblSwitchOff->hwnd, WM_LBUTTONUP, 0, 0);

    ASSERT_EQ(g_boxes.size(), 1u);
    EXPECT_EQ(g_boxes[0].title, L"「ハリコ試験」のパスワードの変更");
    EXPECT_EQ(f.hwnd(), nullptr);
    EXPECT_FALSE(Checked(panel_ids::kPasswordOn));
    EXPECT_TRUE(Checked(panel_ids::kPasswordOff));
    EXPECT_FALSE(Enabled(panel_ids::kPasswordChange));
    EXPECT_TRUE(Checked(panel_ids::kPrivate));
    EXPECT_EQ(pw_.privateKey, DefaultPassword());
    EXPECT_EQ(PasswordFileText(), "\"\"\r\n");
    EXPECT_EQ(Decrypted(File(L"MyData_2.dat"), DefaultPassword()), SampleRecords());
}

// A real message box over the dialog: its text as shown, and the dialog's mode and the
// disabled panel unchanged once it is answered.
TEST_F(PasswordDialogTest, EmptyEntryMessageBoxLeavesTheRegistrationAsItWas) {
    MakePanel();
    SetMsgBoxHook(nullptr);
    PasswordDialog f(Links());
    ASSERT_TRUE(f.Open());
    f.Show();

    std::wstring shown;
    std::atomic<bool> answered{false};
    std::thread answer([&] {
        for (int i = 0; i < 200 && !answered; ++i) {
            HWND box = FindWindowW(L"#32770", L"パスワード設定エラー");
            if (box) {
                wchar_t buf[512] = {};
                GetDlgItemTextW(box, 0xFFFF, buf, 512);
                shown = buf;
                PostMessageW(box, WM_COMMAND, IDOK, 0);
                answered = true;
            }
            Sleep(50);
        }
    });
    SendMessageW(f.btnRegister->hwnd, BM_CLICK, 0, 0);
    answered = true;
    answer.join();

    EXPECT_EQ(shown, L"パスワードを入力してください。\r\n\r\nパスワードが不必要なときは、最下部の\u3000\u3000\r\n"
                     L"「パスワードは無効にします」をチェックしてください。\u3000\u3000");
    ASSERT_NE(f.hwnd(), nullptr);
    EXPECT_EQ(Caption(f), L"パスワードの登録");
    EXPECT_TRUE(Shown(f.btnRegister));
    EXPECT_TRUE(Shown(f.chkSwitchOff));
    EXPECT_TRUE(IsWindowEnabled(f.hwnd()));
    EXPECT_FALSE(IsWindowEnabled(panel_));
}

// Real key strokes go through the program's dialog routing: Enter must still reach the password box.
TEST_F(PasswordDialogTest, KeyboardEnterTypedByTheUserActsAsTheVisibleButton) {
    MakePanel();
    PasswordDialog f(Links());
    ASSERT_TRUE(f.Open());
    f.Show();
    SetForegroundWindow(f.hwnd());
    ASSERT_EQ(GetFocus(), f.editPassword->hwnd);

    std::vector<INPUT> keys;
    for (WORD vk : {WORD('A'), WORD('B'), WORD(VK_RETURN)}) {
        INPUT down{};
        down.type = INPUT_KEYBOARD;
        down.ki.wVk = vk;
        INPUT up = down;
        up.ki.dwFlags = KEYEVENTF_KEYUP;
        keys.push_back(down);
        keys.push_back(up);
    }
    SendInput(static_cast<UINT>(keys.size()), keys.data(), sizeof(INPUT));
    EXPECT_TRUE(testsupport::WaitFor([&] { return Caption(f) == L"パスワードの再確認"; }, 5000)) << Caption(f);
    EXPECT_EQ(f.Logic().firstEntry(), L"ab");
    EXPECT_EQ(f.editPassword->Text(), L"");
}

TEST_F(PasswordDialogTest, PastedQuoteIsRefusedAtTheBox) {
    MakePanel();
    PasswordDialog f(Links());
    ASSERT_TRUE(f.Open());
    f.Show();
    TypeChars(f, L"ab");
    ASSERT_TRUE(PutOnClipboard(f.hwnd(), L"c\"d"));
    SendMessageW(f.editPassword->hwnd, WM_PASTE, 0, 0);
    EXPECT_EQ(f.editPassword->Text(), L"ab");
    EXPECT_EQ(beeps_, 1);

    // Without the quote the same paste goes in.
    ASSERT_TRUE(PutOnClipboard(f.hwnd(), L"cd"));
    SendMessageW(f.editPassword->hwnd, WM_PASTE, 0, 0);
    EXPECT_EQ(f.editPassword->Text(), L"abcd");
    EXPECT_EQ(beeps_, 1);
}

}  // namespace
