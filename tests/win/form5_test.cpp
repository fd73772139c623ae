// The new-copy dialog on real files: a pasted name checked at 作成, the running executable
// never overwritten, an existing file replaced only after Yes, failures told as failures.

#include <gtest/gtest.h>

#include <deque>

#include "protect/Form5.h"
#include "store/datafiles.h"
#include "win/app.h"
#include "support/files.h"

using testsupport::FolderEntries;
using testsupport::FreshFolder;
using testsupport::RemoveTree;

namespace {

std::vector<std::wstring> g_texts;
std::deque<int> g_answers;
int AnswerBox(const std::wstring& text, UINT, const std::wstring&) {
    g_texts.push_back(text);
    int a = g_answers.empty() ? IDOK : g_answers.front();
    if (!g_answers.empty()) g_answers.pop_front();
    return a;
}

TEST(Form5Test, NamesAreCheckedAtCreateAndNothingIsOverwrittenUnasked) {
    const std::wstring dir = FreshFolder(L"hariko_form5");
    ASSERT_TRUE(testsupport::FolderExists(dir) && WriteFileAtomic(dir + L"\\ハリコ.exe", "MZ program") &&
                WriteFileAtomic(dir + L"\\テスト.exe", "mine") && CreateDirectoryW((dir + L"\\箱.exe").c_str(), nullptr));
    SetMsgBoxHook(AnswerBox);
    Form5 form({.exeName = L"ハリコ", .exePath = dir + L"\\ハリコ.exe", .programDir = dir,
                .makeShortcut = [](const std::wstring&) { return false; }});
    ASSERT_TRUE(form.Form_Load());
    int beeps = 0;
    Form5::SoundBeep = [&] { ++beeps; };
    for (wchar_t c : std::wstring(L"a*b")) SendMessageW(form.Text1->hwnd, WM_CHAR, c, 0);
    EXPECT_EQ(form.Text1->Text(), L"ab");
    EXPECT_EQ(beeps, 1);
    auto create = [&](const std::wstring& name, std::deque<int> answers) {
        g_texts.clear();
        g_answers = answers;
        form.Text1->SetText(name);  // as a paste puts it there
        SendMessageW(form.Command1->hwnd, BM_CLICK, 0, 0);
        return g_texts;
    };
    using V = std::vector<std::wstring>;
    EXPECT_EQ(create(L"テ/スト", {}), V{L"名前に使えない文字が含まれています。\r\n\r\n( \\ / : * ? \" < > | は使えません。)"});
    EXPECT_EQ(create(L"ハリコ", {}), V{L"「ハリコ」は実行中のアプリケーションです。\r\n\r\n別の名前を入力してください。"});
    EXPECT_EQ(create(L"テスト", {IDNO}), V{L"「テスト.exe」は既にあります。\r\n\r\n置き換えますか？"});
    EXPECT_EQ(create(L"箱", {IDYES}).back(), L"「箱」を作成できませんでした。\r\n\r\n" + dir + L"\\箱.exe");
    EXPECT_EQ(ReadAllBytes(dir + L"\\ハリコ.exe"), std::string("MZ program"));
    EXPECT_EQ(ReadAllBytes(dir + L"\\テスト.exe"), std::string("mine"));
    EXPECT_TRUE(IsWindow(form.hwnd()));

    EXPECT_EQ(create(L"テスト", {IDYES, IDYES}).back(),
              L"「テスト」のショートカットを　　　\r\n\r\nデスクトップに作成できませんでした。");
    EXPECT_EQ(ReadAllBytes(dir + L"\\テスト.exe"), std::string("MZ program"));
    EXPECT_EQ(form.hwnd(), nullptr);
    SetMsgBoxHook(nullptr);
    Form5::SoundBeep = [] { MessageBeep(MB_OK); };
    RemoveTree(dir);
}

}  // namespace
