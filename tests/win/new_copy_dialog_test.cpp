// The new-copy dialog on real files: a pasted name checked at 作成, the running executable
// never overwritten, an existing file replaced only after Yes, failures told as failures.

#include <gtest/gtest.h>

#include <deque>

#include "base/path_limits.h"
#include "protect/new_copy_dialog.h"
#include "store/datafiles.h"
#include "win/app.h"
#include "support/files.h"
#include "win/shortcut.h"

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

TEST(NewCopyDialogTest, NamesAreCheckedAtCreateAndNothingIsOverwrittenUnasked) {
    const std::wstring dir = FreshFolder(L"hariko_new_copy");
    ASSERT_TRUE(testsupport::FolderExists(dir) && WriteFileAtomic(dir + L"\\ハリコ.exe", "MZ program") &&
                WriteFileAtomic(dir + L"\\テスト.exe", "mine") && CreateDirectoryW((dir + L"\\箱.exe").c_str(), nullptr));
    SetMsgBoxHook(AnswerBox);
    NewCopyDialog form({.exeName = L"ハリコ", .exePath = dir + L"\\ハリコ.exe", .programDir = dir,
                .makeShortcut = [](const std::wstring&) { return false; }});
    ASSERT_TRUE(form.Open());
    int beeps = 0;
    NewCopyDialog::SoundBeep = [&] { ++beeps; };
    for (wchar_t c : std::wstring(L"a*b")) SendMessageW(form.editName->hwnd, WM_CHAR, c, 0);
    EXPECT_EQ(form.editName->Text(), L"ab");
    EXPECT_EQ(beeps, 1);
    auto create = [&](const std::wstring& name, std::deque<int> answers) {
        g_texts.clear();
        g_answers = answers;
        form.editName->SetText(name);  // as a paste puts it there
        SendMessageW(form.btnCreate->hwnd, BM_CLICK, 0, 0);
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

    // Too long for a path: refused before anything is made.
    const auto before = FolderEntries(dir);
    EXPECT_EQ(create(std::wstring(300, L'\x3042'), {}),
              V{L"名前が長すぎます。\r\n\r\nこのフォルダに作成するには、" + std::to_wstring(LongestName(dir, 4)) +
                L"文字以内の名前を入力してください。"});
    EXPECT_EQ(FolderEntries(dir), before);

    EXPECT_EQ(create(L"テスト", {IDYES, IDYES}).back(),
              L"「テスト」のショートカットを　　　\r\n\r\nデスクトップに作成できませんでした。");
    EXPECT_EQ(ReadAllBytes(dir + L"\\テスト.exe"), std::string("MZ program"));
    EXPECT_EQ(form.hwnd(), nullptr);

    // Near the limit a file system may shorten the name rather than refuse it (Wine does, at
    // 255 bytes of UTF-8): then no message says the copy was made.
    NewCopyDialog again({.exeName = L"ハリコ", .exePath = dir + L"\\ハリコ.exe", .programDir = dir});
    ASSERT_TRUE(again.Open());
    g_texts.clear();
    g_answers = {IDNO};
    const std::wstring nearLimit(84, L'\x3042'), path = dir + L"\\" + nearLimit + L".exe";
    again.editName->SetText(nearLimit);
    SendMessageW(again.btnCreate->hwnd, BM_CLICK, 0, 0);
    const bool made = FileCarriesName(path);
    ASSERT_FALSE(g_texts.empty());
    EXPECT_EQ(g_texts.front().find(made ? L"を「ハリコ」と同じディレクトリに作成しました。" : L"を作成できませんでした。"),
              nearLimit.size() + 2);  // after 「name」
    if (made) DeleteFileW(path.c_str());
    EXPECT_EQ(FolderEntries(dir), before);
    SetMsgBoxHook(nullptr);
    NewCopyDialog::SoundBeep = [] { MessageBeep(MB_OK); };
    RemoveTree(dir);
}

TEST(ShortcutTest, ANameTooLongIsRefusedAndAShortenedOneDoesNotCount) {
    const auto before = FolderEntries(DesktopFolder());
    EXPECT_FALSE(MakeShortcut(std::wstring(300, L'x')));
    const std::wstring nearLimit(84, L'\x3042');
    EXPECT_EQ(MakeShortcut(nearLimit), FileCarriesName(ShortcutPath(nearLimit)));
    DeleteFileW(ShortcutPath(nearLimit).c_str());
    EXPECT_EQ(FolderEntries(DesktopFolder()), before);
}

}  // namespace
