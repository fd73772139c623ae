// The fortune screen's mosaic, what each number shows and plays, the button's shutdown
// decision, and how ShellOpen splits its command line.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "panel/form3_logic.h"
#include "protect/mshell_logic.h"

using namespace form3;

TEST(Fortune, CharactersHaveTheirTilesOnTheTwentyByEightGrid) {
    EXPECT_EQ(CharacterTiles(Character::Daikichi).count(), 55u);
    EXPECT_EQ(CharacterTiles(Character::Chukichi).count(), 64u);
    EXPECT_EQ(CharacterTiles(Character::Kichi).count(), 34u);
    EXPECT_EQ(CharacterTiles(Character::Kyo).count(), 32u);
    EXPECT_EQ(CharacterTiles(Character::Daikyo).count(), 53u);
    EXPECT_EQ(CharacterTiles(Character::None).count(), 0u);
    // 大吉 row 7: 0, 10, 12-18; 吉 row 4 is empty; 大凶 row 7 runs from 10 to 19.
    const Tiles daikichi = CharacterTiles(Character::Daikichi), kichi = CharacterTiles(Character::Kichi);
    const Tiles daikyo = CharacterTiles(Character::Daikyo);
    EXPECT_TRUE(daikichi[140] && daikichi[150] && daikichi[152] && daikichi[158]);
    EXPECT_FALSE(daikichi[141] || daikichi[151] || daikichi[159]);
    for (int col = 0; col < 20; ++col) EXPECT_FALSE(kichi[80 + col]) << col;
    for (int col = 10; col < 20; ++col) EXPECT_TRUE(daikyo[140 + col]) << col;
    EXPECT_EQ(TileLeft(19), 5700);
    EXPECT_EQ(TileTop(19), 0);
    EXPECT_EQ(TileLeft(20), 0);
    EXPECT_EQ(TileTop(20), 300);
    EXPECT_EQ(TileLeft(159), 5700);
    EXPECT_EQ(TileTop(159), 2100);
}

TEST(Fortune, EachNumberShowsItsCharacterTextsButtonAndTunes) {
    struct Row { int n; Character c; bool white; std::wstring label2, label3, button; std::vector<int> tunes; };
    const std::vector<Row> rows = {
        {1, Character::Daikichi, false, L"ラッキー !　(^-^)v", L"きっといいことがあるでしょう！", L"閉じる", {1}},
        {2, Character::Daikichi, false, L"ラッキー !　(^-^)v", L"きっといいことがあるでしょう！", L"閉じる", {1}},
        {3, Character::Chukichi, false, L"なかなか　(^o^)", L"", L"閉じる", {3}},
        {4, Character::Chukichi, false, L"なかなか　(^o^)", L"", L"閉じる", {3}},
        {5, Character::Kichi, false, L"まずまず　(^-^)", L"", L"閉じる", {3}},
        {6, Character::Kichi, false, L"まずまず　(^-^)", L"", L"閉じる", {3}},
        {7, Character::Kichi, false, L"まずまず　(^-^)", L"", L"閉じる", {3}},
        {8, Character::Kyo, true, L"んー　(^-^;", L"またネ!", L"終了", {2}},
        {9, Character::Kyo, true, L"んー　(^-^;", L"またネ!", L"終了", {2}},
        {10, Character::Daikyo, true, L"えーん!　(ToT)", L"パソコンの電源が落ちます!", L"ｼｬｯﾄﾀﾞｳﾝ", {2, 4}},
        {0, Character::None, false, L"", L"", L"閉じる", {}},
        {11, Character::None, false, L"", L"", L"閉じる", {}},
    };
    for (const Row& r : rows) {
        const Fortune f = FortuneFor(r.n);
        EXPECT_EQ(f.character, r.c) << r.n;
        EXPECT_EQ(f.white, r.white) << r.n;
        EXPECT_EQ(f.label2, r.label2) << r.n;
        EXPECT_EQ(f.label3, r.label3) << r.n;
        EXPECT_EQ(f.button, r.button) << r.n;
        EXPECT_EQ(f.tunes, r.tunes) << r.n;
    }
    std::set<int> drawn;
    for (int k = 0; k < 100; ++k) drawn.insert(FortuneNumberFrom(k / 100.0));
    EXPECT_EQ(drawn, (std::set<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
    EXPECT_EQ(FortuneNumberFrom(0.0999999), 1);
    EXPECT_EQ(FortuneNumberFrom(0.9999999), 10);
    EXPECT_EQ(MciOpen(L"C:\\Documents and Settings\\データ", 4),
              L"open \"C:\\Documents and Settings\\データ\\sakura_4.mid\" alias MIDIFILE");
}

namespace {
// Records what the button asks of Windows, in order.
struct FakePower : IPower {
    std::wstring systemDir = L"C:\\WINDOWS\\system32";
    bool versionOk = true, privilegeOk = true;
    std::vector<std::wstring> calls;
    std::wstring SystemDirectory() override { calls.push_back(L"sysdir"); return systemDir; }
    bool VersionQuery() override { calls.push_back(L"version"); return versionOk; }
    bool EnableShutdownPrivilege() override { calls.push_back(L"privilege"); return privilegeOk; }
    void RequestShutdown(uint32_t flags) override { calls.push_back(L"exit " + std::to_wstring(flags)); }
};
}  // namespace

TEST(Fortune, TheButtonPreparesThenAsksForTheShutdownTheSystemDirectorySays) {
    using V = std::vector<std::wstring>;
    auto run = [](FakePower& p, int number, ButtonEffect expected) {
        ButtonEffect e = Command1Effect(number, p, [&p] { p.calls.push_back(L"prepare"); });
        EXPECT_EQ(e, expected) << number;
        return p.calls;
    };
    for (const wchar_t* dir : {L"C:\\WINDOWS\\system32", L"C:\\Windows\\System32", L"D:\\WINNT\\SYSTEM32"}) {
        FakePower p;
        p.systemDir = dir;
        EXPECT_EQ(run(p, 10, ButtonEffect::CloseWindow), (V{L"sysdir", L"version", L"privilege", L"prepare", L"exit 8"}));
    }
    for (const wchar_t* dir : {L"C:\\WINDOWS\\SYSTEM", L"C:\\Windows\\SysteM32", L""}) {
        FakePower p;
        p.systemDir = dir;
        EXPECT_EQ(run(p, 10, ButtonEffect::CloseWindow), (V{L"sysdir", L"prepare", L"exit 1"})) << dir;
    }
    FakePower noVersion, noPrivilege, plain;
    noVersion.versionOk = false;
    noPrivilege.privilegeOk = false;
    EXPECT_EQ(run(noVersion, 10, ButtonEffect::KeepOpen), (V{L"sysdir", L"version"}));
    EXPECT_EQ(run(noPrivilege, 10, ButtonEffect::KeepOpen), (V{L"sysdir", L"version", L"privilege"}));
    for (int n : {8, 9}) EXPECT_EQ(run(plain, n, ButtonEffect::EndProgram), V{});
    for (int n : {0, 1, 5, 7}) EXPECT_EQ(run(plain, n, ButtonEffect::CloseWindow), V{});
}

TEST(ShellOpen, TheFirstPrefixFoundOnThePathIsTheFileElseTheWholeLine) {
    std::vector<std::wstring> asked;
    const std::set<std::wstring> onPath = {L"notepad.exe", L"C:\\Program Files\\Tool\\tool.exe"};
    auto find = [&](const std::wstring& name) { asked.push_back(name); return onPath.count(name) > 0; };

    auto s = mshell::SplitCommandLine(L"C:\\windows\\Personal_Data\\ハリコ\\help.html", find);
    EXPECT_EQ(s.file, L"C:\\windows\\Personal_Data\\ハリコ\\help.html");
    EXPECT_EQ(s.parameters, L"");
    EXPECT_TRUE(asked.empty());

    s = mshell::SplitCommandLine(L"notepad.exe C:\\a b.txt", find);
    EXPECT_EQ(s.file, L"notepad.exe");
    EXPECT_EQ(s.parameters, L"C:\\a b.txt");

    s = mshell::SplitCommandLine(L"C:\\Program Files\\Tool\\tool.exe /x", find);
    EXPECT_EQ(s.file, L"C:\\Program Files\\Tool\\tool.exe");
    EXPECT_EQ(s.parameters, L"/x");

    asked.clear();
    const std::wstring mail = L"mailto:a@example.com?Subject=■■■ 「ハリコ」について ■■■";
    s = mshell::SplitCommandLine(mail, find);
    EXPECT_EQ(s.file, mail);
    EXPECT_EQ(s.parameters, L"");
    EXPECT_EQ(asked, (std::vector<std::wstring>{L"mailto:a@example.com?Subject=■■■", L"mailto:a@example.com?Subject=■■■ 「ハリコ」について"}));

    asked.clear();
    s = mshell::SplitCommandLine(L" notepad.exe x", find);  // a leading space never splits
    EXPECT_EQ(asked, std::vector<std::wstring>{L" notepad.exe"});
    EXPECT_EQ(s.file, L" notepad.exe x");
}
