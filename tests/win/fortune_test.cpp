// The fortune screen for given numbers, as a user sees and hears it: the blossoms on screen,
// the texts, the tune commands, and what its button leaves behind (a closed program with its
// settings stored, or a recorded shutdown request). HARIKO_HOLD_MS keeps each screen up that
// long for a screenshot.
#include "test_folders.h"
#include <windows.h>
#include <mmsystem.h>

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "app/program.h"
#include "base/twips.h"
#include "panel/Form3.h"
#include "protect/mShell.h"
#include "store/datafiles.h"
#include "store/settings.h"
#include "win/app.h"

using namespace form3;

namespace {

struct FakePower : IPower {
    std::vector<std::wstring>* calls;
    explicit FakePower(std::vector<std::wstring>* c) : calls(c) {}
    std::wstring SystemDirectory() override { calls->push_back(L"sysdir"); return L"C:\\windows\\system32"; }
    bool VersionQuery() override { calls->push_back(L"version"); return true; }
    bool EnableShutdownPrivilege() override { calls->push_back(L"privilege"); return true; }
    void RequestShutdown(uint32_t flags) override { calls->push_back(L"shutdown " + std::to_wstring(flags)); }
};

std::wstring Text(HWND w, int id) {
    wchar_t buf[256] = L"";
    GetWindowTextW(id ? GetDlgItem(w, id) : w, buf, 256);
    return buf;
}

void Hold() {
    wchar_t ms[16];
    if (GetEnvironmentVariableW(L"HARIKO_HOLD_MS", ms, 16)) Sleep(static_cast<DWORD>(_wtoi(ms)));
}

// The tiles whose upper petal shows `colour`, read from the window's pixels.
Tiles Shown(HWND w, COLORREF colour) {
    const int dpi = WindowDpi(w);
    auto px = [dpi](int twips) { return TwipsToPixels(twips, dpi); };
    UpdateWindow(w);
    HDC dc = GetDC(w);
    Tiles t;
    for (int i = 0; i < kTiles; ++i) {
        const int x = px(kFrameLeft + TileLeft(i)), y = px(kFrameTop + TileTop(i));
        const int size = px(kFrameLeft + TileLeft(i) + kTile) - x;
        COLORREF c = GetPixel(dc, x + size / 2, y + size / 2 - static_cast<int>(std::lround(size * 0.26)));
        if (c == colour) t.set(static_cast<size_t>(i));
    }
    ReleaseDC(w, dc);
    return t;
}
constexpr COLORREF kPink = RGB(254, 195, 255), kWhite = RGB(255, 255, 255);

class FortuneScreen : public ::testing::Test {
protected:
    void SetUp() override {
        wchar_t tmp[MAX_PATH + 1];
        DWORD n = GetTempPathW(MAX_PATH + 1, tmp);
        dir_ = std::wstring(tmp, n) + L"hariko fortune " + std::to_wstring(GetCurrentProcessId());
        RemoveTree(dir_);
        CreateDirectoryW(dir_.c_str(), nullptr);
        for (int t = 0; t < 5; ++t) ASSERT_TRUE(WriteTuneFile(dir_, t));
    }
    void TearDown() override {
        mciSendStringW(L"close MIDIFILE", nullptr, 0, nullptr);
        RemoveTree(dir_);
    }

    Form3Links Links(int number) {
        Form3Links l;
        l.own = &own_;
        l.dataDir = dir_;
        l.number = number;
        l.power = &power_;
        l.prepareShutdown = [this] { calls_.push_back(L"prepare"); };
        l.endProgram = [this] { calls_.push_back(L"end"); };
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
    std::vector<std::wstring> calls_, tunes_;
    FakePower power_{&calls_};
};

TEST_F(FortuneScreen, OneSpellsDaikichiInPinkPlaysFromAFolderWithSpacesAndOnlyCloses) {
    Form3 f(Links(1));
    ASSERT_TRUE(f.Form_Load());
    Hold();
    const HWND w = f.hwnd();
    EXPECT_EQ(own_.Form3, reinterpret_cast<uintptr_t>(w));
    EXPECT_EQ(Text(w, 0), L"　　おみくじ");
    RECT client;
    GetClientRect(w, &client);
    EXPECT_EQ(client.right, TwipsToPixels(6525, f.Dpi()));
    EXPECT_EQ(client.bottom, TwipsToPixels(3975, f.Dpi()));
    EXPECT_EQ(Text(w, kLabel2), L"ラッキー !　(^-^)v");
    EXPECT_EQ(Text(w, kLabel3), L"きっといいことがあるでしょう！");
    EXPECT_EQ(Text(w, kCommand1), L"閉じる");
    EXPECT_TRUE(IsWindowVisible(GetDlgItem(w, kCommand1)));
    EXPECT_EQ(Shown(w, kPink), CharacterTiles(Character::Daikichi));
    EXPECT_EQ(Shown(w, kWhite).count(), 0u);
    EXPECT_EQ(tunes_, (std::vector<std::wstring>{L"close MIDIFILE", Open(0), L"play MIDIFILE notify",
                                                 L"close MIDIFILE", Open(1), L"play MIDIFILE notify"}));
    // Without the quotes the same folder does not open.
    EXPECT_NE(mciSendStringW((L"open " + dir_ + L"\\sakura_1.mid alias OTHER").c_str(), nullptr, 0, nullptr), 0u);

    SendMessageW(GetDlgItem(w, kCommand1), BM_CLICK, 0, 0);
    EXPECT_FALSE(IsWindow(w));
    EXPECT_TRUE(calls_.empty());
}

UINT_PTR g_timer = 0;
const OwnWindowTable* g_own = nullptr;
void CALLBACK CloseBoxSoon(HWND, UINT, UINT_PTR, DWORD) {
    if (!g_own->Form3) return;
    PostMessageW(reinterpret_cast<HWND>(g_own->Form3), WM_SYSCOMMAND, SC_CLOSE, 0);
    KillTimer(nullptr, g_timer);
}

TEST_F(FortuneScreen, TenPowersOffAfterThePreparationOnlyWhenTheUserClosesTheShownFortune) {
    Form3 shown(Links(10));
    ASSERT_TRUE(shown.Form_Load());
    Hold();
    EXPECT_EQ(Text(shown.hwnd(), kLabel2), L"えーん!　(ToT)");
    EXPECT_EQ(Text(shown.hwnd(), kLabel3), L"パソコンの電源が落ちます!");
    EXPECT_EQ(Text(shown.hwnd(), kCommand1), L"ｼｬｯﾄﾀﾞｳﾝ");
    EXPECT_EQ(Shown(shown.hwnd(), kWhite), CharacterTiles(Character::Daikyo));
    EXPECT_EQ(Shown(shown.hwnd(), kPink).count(), 0u);
    EXPECT_EQ(std::vector<std::wstring>(tunes_.end() - 5, tunes_.end()),
              (std::vector<std::wstring>{Open(2), L"play MIDIFILE notify", L"close MIDIFILE", Open(4), L"play MIDIFILE notify"}));
    // The program closing takes the screen with it, never the computer.
    SendMessageW(shown.hwnd(), WM_CLOSE, 0, 0);
    EXPECT_FALSE(shown.hwnd());
    EXPECT_TRUE(calls_.empty());

    // The close box before the fortune is shown only closes the window.
    tunes_.clear();
    own_.Form3 = 0;
    g_own = &own_;
    g_timer = SetTimer(nullptr, 0, 30, CloseBoxSoon);
    Form3 early(Links(10));
    ASSERT_TRUE(early.Form_Load());
    EXPECT_FALSE(early.hwnd());
    EXPECT_TRUE(calls_.empty());
    EXPECT_EQ(tunes_, (std::vector<std::wstring>{L"close MIDIFILE", Open(0), L"play MIDIFILE notify"}));

    Form3 last(Links(10));
    ASSERT_TRUE(last.Form_Load());
    PostMessageW(last.hwnd(), WM_SYSCOMMAND, SC_CLOSE, 0);
    DoEvents();
    EXPECT_FALSE(last.hwnd());
    EXPECT_EQ(calls_, (std::vector<std::wstring>{L"sysdir", L"version", L"privilege", L"prepare", L"shutdown 8"}));
}

int AnswerNo(const std::wstring&, UINT, const std::wstring&) { return IDNO; }

// The whole program, under this test exe's own name: fortune 8 closes it as its menu would.
TEST(FortuneProgram, EightEndsTheProgramWithItsSettingsStoredAndPrivatePutAway) {
    const std::wstring name = ExeName();
    const std::wstring dir = DataDirPath(DataRootPath(), name);
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
        p.Panel().Type2_Click();
        ASSERT_TRUE(FileExists(dir + L"\\MyData_2_2.dat"));
        p.State().fortuneNumber = 8;
        p.ShowFortune();
        Hold();
        const HWND w = reinterpret_cast<HWND>(p.State().own.Form3);
        EXPECT_EQ(Text(w, kLabel2), L"んー　(^-^;");
        EXPECT_EQ(Text(w, kLabel3), L"またネ!");
        EXPECT_EQ(Text(w, kCommand1), L"終了");
        EXPECT_EQ(Shown(w, kWhite), CharacterTiles(Character::Kyo));
        SendMessageW(GetDlgItem(w, kCommand1), BM_CLICK, 0, 0);
        EXPECT_FALSE(IsWindow(w));
        EXPECT_FALSE(IsWindow(panel));
    }
    EXPECT_FALSE(FileExists(dir + L"\\MyData_2_2.dat"));
    EXPECT_TRUE(FileExists(dir + L"\\MyData_2.dat"));
    EXPECT_EQ(GetSetting(name, L"Startup", L"Type"), L"1");
    EXPECT_EQ(GetSetting(name, L"Startup", L"PassMode"), L"1");
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
