// The fortune screen's mosaic, what each number shows and plays, the button's shutdown
// decision, and how ShellOpen splits its command line.
#include <gtest/gtest.h>

#include <set>

#include "fake_power.h"
#include "panel/fortune_logic.h"
#include "protect/shell_open_logic.h"

using namespace fortune;
using V = std::vector<std::wstring>;

TEST(Fortune, CharactersHaveTheirTilesOnTheTwentyByEightGrid) {
    using C = Character;
    for (auto [c, n] : {std::pair(C::Daikichi, 55), {C::Chukichi, 64}, {C::Kichi, 34}, {C::Kyo, 32}, {C::Daikyo, 53}, {C::None, 0}})
        EXPECT_EQ(CharacterTiles(c).count(), static_cast<size_t>(n)) << static_cast<int>(c);
    const Tiles daikichi = CharacterTiles(C::Daikichi), kichi = CharacterTiles(C::Kichi), daikyo = CharacterTiles(C::Daikyo);
    // 大吉 row 7 is 0, 10, 12-18; 吉 row 4 is empty; 大凶 row 7 runs from 10 to 19.
    EXPECT_TRUE(daikichi[140] && daikichi[150] && daikichi[152] && daikichi[158]);
    EXPECT_FALSE(daikichi[141] || daikichi[151] || daikichi[159]);
    for (int col = 0; col < 20; ++col) {
        EXPECT_FALSE(kichi[80 + col]) << col;
        EXPECT_EQ(daikyo[140 + col], col == 0 || col >= 10) << col;
    }
    EXPECT_EQ(std::pair(TileLeft(19), TileTop(19)), std::pair(5700, 0));
    EXPECT_EQ(std::pair(TileLeft(20), TileTop(20)), std::pair(0, 300));
    EXPECT_EQ(std::pair(TileLeft(159), TileTop(159)), std::pair(5700, 2100));
}

TEST(Fortune, EachNumberShowsItsCharacterTextsButtonAndTunes) {
    struct Group { std::set<int> numbers; Character c; bool white; V texts; std::vector<int> tunes; };
    const Group groups[] = {
        {{1, 2}, Character::Daikichi, false, {L"ラッキー !　(^-^)v", L"きっといいことがあるでしょう！", L"閉じる"}, {1}},
        {{3, 4}, Character::Chukichi, false, {L"なかなか　(^o^)", L"", L"閉じる"}, {3}},
        {{5, 6, 7}, Character::Kichi, false, {L"まずまず　(^-^)", L"", L"閉じる"}, {3}},
        {{8, 9}, Character::Kyo, true, {L"んー　(^-^;", L"またネ!", L"終了"}, {2}},
        {{10}, Character::Daikyo, true, {L"えーん!　(ToT)", L"パソコンの電源が落ちます!", L"ｼｬｯﾄﾀﾞｳﾝ"}, {2, 4}},
        {{0, 11}, Character::None, false, {L"", L"", L"閉じる"}, {}},
    };
    for (const Group& g : groups) {
        for (int n : g.numbers) {
            const Fortune f = FortuneFor(n);
            EXPECT_EQ(f.character, g.c) << n;
            EXPECT_EQ(f.white, g.white) << n;
            EXPECT_EQ((V{f.headline, f.secondLine, f.button}), g.texts) << n;
            EXPECT_EQ(f.tunes, g.tunes) << n;
        }
    }
    std::set<int> drawn;
    for (int k = 0; k < 100; ++k) drawn.insert(FortuneNumberFrom(k / 100.0));
    EXPECT_EQ(drawn, (std::set<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
    EXPECT_EQ(FortuneNumberFrom(0.9999999), 10);
    EXPECT_EQ(MciOpen(L"C:\\Documents and Settings\\データ", 4),
              L"open \"C:\\Documents and Settings\\データ\\sakura_4.mid\" alias MIDIFILE");
}

TEST(Fortune, TheButtonPreparesThenAsksForTheShutdownTheSystemDirectorySays) {
    auto run = [](const wchar_t* dir, int number, ButtonEffect expected, bool version = true, bool privilege = true) {
        FakePower p;
        p.systemDir = dir;
        p.versionOk = version;
        p.privilegeOk = privilege;
        EXPECT_EQ(CloseButtonEffect(number, p, [&p] { p.calls.push_back(L"prepare"); }), expected) << number << dir;
        return p.calls;
    };
    const V powerOff = {L"sysdir", L"version", L"privilege", L"prepare", L"shutdown 8"};
    for (const wchar_t* dir : {L"C:\\WINDOWS\\system32", L"C:\\Windows\\System32", L"D:\\WINNT\\SYSTEM32"})
        EXPECT_EQ(run(dir, 10, ButtonEffect::CloseWindow), powerOff);
    for (const wchar_t* dir : {L"C:\\WINDOWS\\SYSTEM", L"C:\\Windows\\SysteM32", L""})
        EXPECT_EQ(run(dir, 10, ButtonEffect::CloseWindow), (V{L"sysdir", L"prepare", L"shutdown 1"})) << dir;
    EXPECT_EQ(run(L"C:\\WINDOWS\\system32", 10, ButtonEffect::KeepOpen, false), (V{L"sysdir", L"version"}));
    EXPECT_EQ(run(L"C:\\WINDOWS\\system32", 10, ButtonEffect::KeepOpen, true, false), (V{L"sysdir", L"version", L"privilege"}));
    for (int n : {8, 9}) EXPECT_EQ(run(L"", n, ButtonEffect::EndProgram), V{});
    for (int n : {0, 1, 5, 7}) EXPECT_EQ(run(L"", n, ButtonEffect::CloseWindow), V{});
}

TEST(ShellOpen, TheFirstPrefixFoundOnThePathIsTheFileElseTheWholeLine) {
    V asked;
    const std::set<std::wstring> onPath = {L"notepad.exe", L"C:\\Program Files\\Tool\\tool.exe"};
    auto split = [&](const std::wstring& line) {
        asked.clear();
        auto s = shell_open::SplitCommandLine(line, [&](const std::wstring& n) { asked.push_back(n); return onPath.count(n) > 0; });
        return V{s.file, s.parameters};
    };
    EXPECT_EQ(split(L"C:\\windows\\Personal_Data\\ハリコ\\help.html"), (V{L"C:\\windows\\Personal_Data\\ハリコ\\help.html", L""}));
    EXPECT_TRUE(asked.empty());
    EXPECT_EQ(split(L"notepad.exe C:\\a b.txt"), (V{L"notepad.exe", L"C:\\a b.txt"}));
    EXPECT_EQ(split(L"C:\\Program Files\\Tool\\tool.exe /x"), (V{L"C:\\Program Files\\Tool\\tool.exe", L"/x"}));
    const std::wstring mail = L"mailto:a@example.com?Subject=■■■ 「ハリコ」について ■■■";
    EXPECT_EQ(split(mail), (V{mail, L""}));
    EXPECT_EQ(asked, (V{L"mailto:a@example.com?Subject=■■■", L"mailto:a@example.com?Subject=■■■ 「ハリコ」について"}));
    EXPECT_EQ(split(L" notepad.exe x"), (V{L" notepad.exe x", L""}));  // a leading space never splits
    EXPECT_EQ(asked, V{L" notepad.exe"});
}
