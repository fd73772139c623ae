// The new-copy dialog on real files: names refused at 作成 (pasted ones too), the running
// executable never overwritten, an existing file replaced only after Yes, and failures told.
#include "test_folders.h"

#include <gtest/gtest.h>

#include <deque>

#include "protect/Form5.h"
#include "store/datafiles.h"
#include "win/app.h"

namespace {

struct Box {
    std::wstring text, title;
    UINT flags;
};
std::vector<Box> g_boxes;
std::deque<int> g_answers;
int AnswerBox(const std::wstring& text, UINT flags, const std::wstring& title) {
    g_boxes.push_back({text, title, flags});
    int a = g_answers.empty() ? IDOK : g_answers.front();
    if (!g_answers.empty()) g_answers.pop_front();
    return a;
}

class Form5Test : public ::testing::Test {
protected:
    void SetUp() override {
        wchar_t tmp[MAX_PATH + 1];
        DWORD n = GetTempPathW(MAX_PATH + 1, tmp);
        dir_ = std::wstring(tmp, n) + L"hariko_form5_" + std::to_wstring(GetCurrentProcessId());
        RemoveTree(dir_);
        ASSERT_TRUE(CreateDirectoryW(dir_.c_str(), nullptr));
        ASSERT_TRUE(WriteFileAtomic(dir_ + L"\\ハリコ.exe", "MZ the program"));
        g_boxes.clear();
        g_answers.clear();
        SetMsgBoxHook(AnswerBox);
        Form5::SoundBeep = [this] { ++beeps_; };
    }
    void TearDown() override {
        form_.reset();
        SetMsgBoxHook(nullptr);
        Form5::SoundBeep = [] { MessageBeep(MB_OK); };
        RemoveTree(dir_);
    }
    void Open() {
        Form5Links links;
        links.exeName = L"ハリコ";
        links.exePath = dir_ + L"\\ハリコ.exe";
        links.programDir = dir_;
        links.makeShortcut = [this](const std::wstring& name) {
            shortcuts_.push_back(name);
            return shortcutWorks_;
        };
        form_ = std::make_unique<Form5>(links);
        ASSERT_TRUE(form_->Form_Load());
    }
    // Puts a name into Text1 as a paste would and presses 作成; the text of the box it shows.
    std::wstring Create(const std::wstring& name) {
        g_boxes.clear();
        form_->Text1->SetText(name);
        SendMessageW(form_->Command1->hwnd, BM_CLICK, 0, 0);
        return g_boxes.empty() ? L"" : g_boxes.front().text;
    }
    std::string Bytes(const std::wstring& name) { auto b = ReadAllBytes(dir_ + L"\\" + name); return b ? *b : "<missing>"; }

    std::wstring dir_;
    std::unique_ptr<Form5> form_;
    std::vector<std::wstring> shortcuts_;
    bool shortcutWorks_ = true;
    int beeps_ = 0;
};

TEST_F(Form5Test, NamesThatCannotBeACopyAreToldAndTheDialogStays) {
    Open();
    SendMessageW(form_->Text1->hwnd, WM_CHAR, L'a', 0);
    SendMessageW(form_->Text1->hwnd, WM_CHAR, L'*', 0);
    EXPECT_EQ(form_->Text1->Text(), L"a");
    EXPECT_EQ(beeps_, 1);

    EXPECT_EQ(Create(L""), L"テキストボックスに新しいアプリケーション(ファイル)名を入力してください。");
    EXPECT_EQ(g_boxes[0].title, L"新しい「ハリコ」の作成");
    EXPECT_EQ(g_boxes[0].flags, UINT(MB_OK | MB_ICONINFORMATION));
    EXPECT_EQ(Create(L"テ/スト"), L"名前に使えない文字が含まれています。\r\n\r\n( \\ / : * ? \" < > | は使えません。)");
    EXPECT_EQ(Create(L"con"), L"「con」はWindowsが予約している名前のため使えません。");
    EXPECT_EQ(Create(L"テスト."), L"名前の最後に「.」や半角スペースは使えません。");
    EXPECT_EQ(Create(L"ハリコ"), L"「ハリコ」は実行中のアプリケーションです。\r\n\r\n別の名前を入力してください。");
    EXPECT_EQ(Bytes(L"ハリコ.exe"), "MZ the program");
    EXPECT_EQ(FilesIn(dir_), std::vector<std::wstring>{L"ハリコ.exe"});
    EXPECT_TRUE(IsWindow(form_->hwnd()));
}

TEST_F(Form5Test, AnExistingFileIsReplacedOnlyAfterYes) {
    ASSERT_TRUE(WriteFileAtomic(dir_ + L"\\テスト.exe", "mine"));
    Open();
    g_answers = {IDNO};
    EXPECT_EQ(Create(L"テスト"), L"「テスト.exe」は既にあります。\r\n\r\n置き換えますか？");
    EXPECT_EQ(Bytes(L"テスト.exe"), "mine");
    EXPECT_TRUE(IsWindow(form_->hwnd()));

    g_answers = {IDYES, IDYES, IDOK};
    Create(L"テスト");
    EXPECT_EQ(Bytes(L"テスト.exe"), "MZ the program");
    ASSERT_EQ(g_boxes.size(), 3u);
    EXPECT_EQ(g_boxes[1].title, L"「テスト」の作成");
    EXPECT_EQ(g_boxes[1].text, L"「テスト」を「ハリコ」と同じディレクトリに作成しました。\r\n\r\n"
                               L"デスクトップに「テスト」のショートカットを作成しますか？　　　");
    EXPECT_EQ(shortcuts_, std::vector<std::wstring>{L"テスト"});
    EXPECT_EQ(g_boxes[2].text, L"「テスト」のショートカットを　　　\r\n\r\nデスクトップに作成しました。");
    EXPECT_EQ(form_->hwnd(), nullptr);
}

TEST_F(Form5Test, AFailedCopyOrShortcutIsToldAsSuch) {
    ASSERT_TRUE(CreateDirectoryW((dir_ + L"\\箱.exe").c_str(), nullptr));
    Open();
    g_answers = {IDYES};
    Create(L"箱");
    ASSERT_EQ(g_boxes.size(), 2u);
    EXPECT_EQ(g_boxes[1].text, L"「箱」を作成できませんでした。\r\n\r\n" + dir_ + L"\\箱.exe");
    EXPECT_TRUE(IsWindow(form_->hwnd()));

    shortcutWorks_ = false;
    g_answers = {IDYES, IDOK};
    Create(L"コピー");
    ASSERT_EQ(g_boxes.size(), 2u);
    EXPECT_EQ(g_boxes[1].text, L"「コピー」のショートカットを　　　\r\n\r\nデスクトップに作成できませんでした。");
    EXPECT_EQ(Bytes(L"コピー.exe"), "MZ the program");
}

}  // namespace
