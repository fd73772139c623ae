// The fortune screen for given numbers, as a user sees and hears it: the blossoms on screen,
// the texts, the tune commands, and what its button leaves behind (a closed program with its
// settings stored, or a shutdown request). HARIKO_HOLD_MS keeps each screen up for a screenshot.
#include <windows.h>
#include <mmsystem.h>

#include <gtest/gtest.h>

#include <cmath>

#include "../unit/fake_power.h"
#include "app/program.h"
#include "base/twips.h"
#include "protect/shell_open.h"
#include "store/datafiles.h"
#include "store/settings.h"
#include "win/app.h"
#include "support/files.h"

using testsupport::FolderEntries;
using testsupport::FreshFolder;
using testsupport::RemoveTree;

using namespace fortune;
using V = std::vector<std::wstring>;

namespace {

std::wstring Text(HWND w) {
    wchar_t buf[256] = L"";
    GetWindowTextW(w, buf, 256);
    return buf;
}
V Texts(HWND f) { return {Text(GetDlgItem(f, kLblHeadline)), Text(GetDlgItem(f, kLblSecondLine)), Text(GetDlgItem(f, kBtnClose))}; }

void Hold() {
    wchar_t ms[16];
    if (GetEnvironmentVariableW(L"HARIKO_HOLD_MS", ms, 16)) Sleep(static_cast<DWORD>(_wtoi(ms)));
}

// The tiles whose upper petal shows `colour`, read from the window's pixels.
Tiles Shown(HWND w, COLORREF colour) {
    auto px = [dpi = WindowDpi(w)](int twips) { return TwipsToPixels(twips, dpi); };
    UpdateWindow(w);
    HDC dc = GetDC(w);
    Tiles t;
    for (int i = 0; i < kTiles; ++i) {
        const int x = px(kFrameLeft + TileLeft(i)), y = px(kFrameTop + TileTop(i));
        const int size = px(kFrameLeft + TileLeft(i) + kTile) - x;
        t[static_cast<size_t>(i)] = GetPixel(dc, x + size / 2, y + size / 2 - static_cast<int>(std::lround(size * 0.26))) == colour;
    }
    ReleaseDC(w, dc);
    return t;
}
constexpr COLORREF kPink = RGB(254, 195, 255), kWhite = RGB(255, 255, 255);

// The shown fortune: its texts, the button, and its character in blossoms of one colour only.
void ExpectFortune(HWND w, const V& texts, Character c, bool white) {
    EXPECT_EQ(Texts(w), texts);
    EXPECT_TRUE(IsWindowVisible(GetDlgItem(w, kBtnClose)));
    EXPECT_EQ(Shown(w, white ? kWhite : kPink), CharacterTiles(c));
    EXPECT_EQ(Shown(w, white ? kPink : kWhite).count(), 0u);
}

class FortuneScreenTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = FreshFolder(L"hariko fortune " + std::to_wstring(GetCurrentProcessId()));
        for (int t = 0; t < 5; ++t) ASSERT_TRUE(WriteTuneFile(dir_, t));
    }
    void TearDown() override {
        mciSendStringW(L"close MIDIFILE", nullptr, 0, nullptr);  // an open tune keeps its file
        RemoveTree(dir_);
    }

    // A quick show whose tune commands really go to the media control interface.
    FortuneScreenLinks Links(int number) {
        FortuneScreenLinks l{&own_, dir_, number, &power_};
        l.prepareShutdown = [this] { power_.calls.push_back(L"prepare"); };
        l.endProgram = [this] { power_.calls.push_back(L"end"); };
        l.mci = [this](const std::wstring& c) {
            MCIERROR e = mciSendStringW(c.c_str(), nullptr, 0, nullptr);
            tunes_.push_back(c.rfind(L"open", 0) == 0 ? c + L" -> " + std::to_wstring(e) : c);
        };
        l.pause = [](int ms) { Sleep(static_cast<DWORD>(ms / 10)); };
        return l;
    }
    std::wstring Open(int tune) { return L"open \"" + dir_ + L"\\sakura_" + std::to_wstring(tune) + L".mid\" alias MIDIFILE -> 0"; }

    std::wstring dir_;
    OwnWindowTable own_;
    FakePower power_;
    V tunes_;
};

TEST_F(FortuneScreenTest, OneSpellsDaikichiInPinkPlaysFromAFolderWithSpacesAndOnlyCloses) {
    FortuneScreen f(Links(1));
    ASSERT_TRUE(f.Open());
    Hold();
    const HWND w = f.hwnd();
    EXPECT_EQ(own_.fortuneScreen, reinterpret_cast<uintptr_t>(w));
    EXPECT_EQ(Text(w), L"　　おみくじ");
    RECT client;
    GetClientRect(w, &client);
    EXPECT_EQ(client.right, TwipsToPixels(6525, f.Dpi()));
    EXPECT_EQ(client.bottom, TwipsToPixels(3975, f.Dpi()));
    ExpectFortune(w, {L"ラッキー !　(^-^)v", L"きっといいことがあるでしょう！", L"閉じる"}, Character::Daikichi, false);
    const std::wstring play = L"play MIDIFILE notify", close = L"close MIDIFILE";
    EXPECT_EQ(tunes_, (V{close, Open(0), play, close, Open(1), play}));
    // Without the quotes the same folder does not open.
    EXPECT_NE(mciSendStringW((L"open " + dir_ + L"\\sakura_1.mid alias OTHER").c_str(), nullptr, 0, nullptr), 0u);

    SendMessageW(GetDlgItem(w, kBtnClose), BM_CLICK, 0, 0);
    EXPECT_FALSE(IsWindow(w));
    EXPECT_TRUE(power_.calls.empty());
}

TEST_F(FortuneScreenTest, TenPowersOffAfterThePreparationOnlyWhenTheUserClosesTheShownFortune) {
    FortuneScreen shown(Links(10));
    ASSERT_TRUE(shown.Open());
    Hold();
    ExpectFortune(shown.hwnd(), {L"えーん!　(ToT)", L"パソコンの電源が落ちます!", L"ｼｬｯﾄﾀﾞｳﾝ"}, Character::Daikyo, true);
    EXPECT_EQ(V(tunes_.end() - 5, tunes_.end()), (V{Open(2), L"play MIDIFILE notify", L"close MIDIFILE", Open(4), L"play MIDIFILE notify"}));
    // The program closing takes the screen with it, never the computer.
    SendMessageW(shown.hwnd(), WM_CLOSE, 0, 0);
    EXPECT_FALSE(shown.hwnd());
    EXPECT_TRUE(power_.calls.empty());

    // The close box during the shuffle, before the fortune is known, only closes the window.
    tunes_.clear();
    FortuneScreenLinks l = Links(10);
    l.pause = [this](int) { PostMessageW(reinterpret_cast<HWND>(own_.fortuneScreen), WM_SYSCOMMAND, SC_CLOSE, 0); };
    FortuneScreen early(l);
    ASSERT_TRUE(early.Open());
    EXPECT_FALSE(early.hwnd());
    EXPECT_TRUE(power_.calls.empty());
    EXPECT_EQ(tunes_, (V{L"close MIDIFILE", Open(0), L"play MIDIFILE notify"}));

    FortuneScreen last(Links(10));
    ASSERT_TRUE(last.Open());
    PostMessageW(last.hwnd(), WM_SYSCOMMAND, SC_CLOSE, 0);
    DoEvents();
    EXPECT_FALSE(last.hwnd());
    EXPECT_EQ(power_.calls, (V{L"sysdir", L"version", L"privilege", L"prepare", L"shutdown 8"}));
}

int AnswerNo(const std::wstring&, UINT, const std::wstring&) { return IDNO; }

// The whole program under this test exe's own name: fortune 8 closes it as its menu would.
TEST(FortuneProgram, EightEndsTheProgramWithItsSettingsStoredAndPrivatePutAway) {
    const std::wstring name = ExeName(), dir = DataDirPath(DataRootPath(), name);
    DeleteSetting(name);
    RemoveTree(dir);
    SaveSetting(name, L"Startup", L"PassMode", L"1");  // Private opens without a password
    SetMsgBoxHook(AnswerNo);
    {
        Program p;
        ASSERT_TRUE(p.Start());
        const HWND panel = p.Panel().hwnd();
        ShowWindow(panel, SW_SHOWNORMAL);
        DoEvents();
        p.Panel().OnChoosePrivate();
        ASSERT_TRUE(FileExists(dir + L"\\MyData_2_2.dat"));
        p.State().fortuneNumber = 8;
        p.ShowFortune();
        Hold();
        const HWND w = reinterpret_cast<HWND>(p.State().own.fortuneScreen);
        ExpectFortune(w, {L"んー　(^-^;", L"またネ!", L"終了"}, Character::Kyo, true);
        SendMessageW(GetDlgItem(w, kBtnClose), BM_CLICK, 0, 0);
        EXPECT_FALSE(IsWindow(w) || IsWindow(panel));
    }
    EXPECT_FALSE(FileExists(dir + L"\\MyData_2_2.dat"));
    EXPECT_TRUE(FileExists(dir + L"\\MyData_2.dat"));
    EXPECT_EQ(GetSetting(name, L"Startup", L"Type"), L"1");
    MSG m;
    EXPECT_TRUE(PeekMessageW(&m, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));  // the program's end
    SetMsgBoxHook(nullptr);
    mciSendStringW(L"close MIDIFILE", nullptr, 0, nullptr);
    DeleteSetting(name);
    RemoveTree(dir);
}

TEST(ShellOpen, FindOnPathFindsProgramsButNoFolders) {
    EXPECT_TRUE(FindOnPath(L"notepad.exe"));
    EXPECT_FALSE(FindOnPath(L"notepad"));
    EXPECT_FALSE(FindOnPath(WindowsDir()));
}

}  // namespace
