#include "panel/fortune_logic.h"

namespace fortune {
namespace {

using Picture = const wchar_t* [kRows];

// One string per row of the mosaic, '#' where a blossom shows.
const Picture kDaikichi = {
    L".....#.........#....",
    L".#########.#########",
    L".....#.........#....",
    L"....#.#.....#######.",
    L"...#...#............",
    L"..#.....#...#######.",
    L".#.......#..#.....#.",
    L"#.........#.#######.",
};
const Picture kChukichi = {
    L".....#.........#....",
    L".#########.#########",
    L".#...#...#.....#....",
    L".#...#...#..#######.",
    L".#...#...#..........",
    L".#########..#######.",
    L".....#......#.....#.",
    L".....#......#######.",
};
const Picture kKichi = {
    L".........#..........",
    L".....#########......",
    L".........#..........",
    L"......#######.......",
    L"....................",
    L"......#######.......",
    L"......#.....#.......",
    L"......#######.......",
};
const Picture kKyo = {
    L".....#.......#......",
    L".....#.#...#.#......",
    L".....#..#.#..#......",
    L".....#...#...#......",
    L".....#..#.#..#......",
    L".....#.#...#.#......",
    L".....#.......#......",
    L".....#########......",
};
const Picture kDaikyo = {
    L".....#.....#.......#",
    L".#########.#.#...#.#",
    L".....#.....#..#.#..#",
    L"....#.#....#...#...#",
    L"...#...#...#..#.#..#",
    L"..#.....#..#.#...#.#",
    L".#.......#.#.......#",
    L"#.........##########",
};

Tiles FromPicture(const Picture& p) {
    Tiles t;
    for (int row = 0; row < kRows; ++row)
        for (int col = 0; col < kColumns; ++col)
            if (p[row][col] == L'#') t.set(static_cast<size_t>(row * kColumns + col));
    return t;
}

}  // namespace

Tiles CharacterTiles(Character c) {
    switch (c) {
    case Character::Daikichi: return FromPicture(kDaikichi);
    case Character::Chukichi: return FromPicture(kChukichi);
    case Character::Kichi: return FromPicture(kKichi);
    case Character::Kyo: return FromPicture(kKyo);
    case Character::Daikyo: return FromPicture(kDaikyo);
    case Character::None: break;
    }
    return {};
}

Fortune FortuneFor(int number) {
    Fortune f;
    if (number == 1 || number == 2) {
        f = {Character::Daikichi, false, L"ラッキー !　(^-^)v", L"きっといいことがあるでしょう！", kClose, {1}};
    } else if (number == 3 || number == 4) {
        f = {Character::Chukichi, false, L"なかなか　(^o^)", L"", kClose, {3}};
    } else if (number >= 5 && number <= 7) {
        f = {Character::Kichi, false, L"まずまず　(^-^)", L"", kClose, {3}};
    } else if (number == 8 || number == 9) {
        f = {Character::Kyo, true, L"んー　(^-^;", L"またネ!", L"終了", {2}};
    } else if (number == 10) {
        f = {Character::Daikyo, true, L"えーん!　(ToT)", L"パソコンの電源が落ちます!", L"ｼｬｯﾄﾀﾞｳﾝ", {2, 4}};
    }
    return f;
}

int FortuneNumberFrom(double r) {
    int n = static_cast<int>(r * 10) + 1;
    return n < 1 ? 1 : n > 10 ? 10 : n;
}

std::wstring MciOpen(const std::wstring& dataDir, int tune) {
    return L"open \"" + dataDir + L"\\sakura_" + std::to_wstring(tune) + L".mid\" alias MIDIFILE";
}

bool NeedsShutdownPrivilege(const std::wstring& systemDir) {
    const std::wstring t = systemDir.size() > 8 ? systemDir.substr(systemDir.size() - 8) : systemDir;
    return t == L"system32" || t == L"System32" || t == L"SYSTEM32";
}

ButtonEffect CloseButtonEffect(int number, IPower& power, const std::function<void()>& prepare) {
    if (number == 8 || number == 9) return ButtonEffect::EndProgram;
    if (number != 10) return ButtonEffect::CloseWindow;
    uint32_t how = kShutdown;
    if (NeedsShutdownPrivilege(power.SystemDirectory())) {
        if (!power.VersionQuery() || !power.EnableShutdownPrivilege()) return ButtonEffect::KeepOpen;
        how = kPowerOff;
    }
    if (prepare) prepare();
    power.RequestShutdown(how);
    return ButtonEffect::CloseWindow;
}

}  // namespace fortune
