#pragma once
// The fortune screen without Windows: the blossom mosaic, what each fortune number shows and
// plays, the tune commands, and what the button does (power-off behind IPower).
#include <bitset>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace fortune {

constexpr int kColumns = 20, kRows = 8, kTiles = kColumns * kRows;
constexpr int kTile = 300;  // twips
// FortuneScreen's inner size and its controls, in twips.
constexpr int kInnerWidth = 6525, kInnerHeight = 3975;
constexpr int kFrameLeft = 240, kFrameTop = 240;

constexpr int TileLeft(int i) { return kTile * (i % kColumns); }
constexpr int TileTop(int i) { return kTile * (i / kColumns); }

using Tiles = std::bitset<kTiles>;

enum class Character { None, Daikichi, Chukichi, Kichi, Kyo, Daikyo };  // 大吉 中吉 吉 凶 大凶

// The tiles that spell the character; none for Character::None.
Tiles CharacterTiles(Character c);

inline const std::wstring kCaption = L"　　おみくじ";
inline const std::wstring kClose = L"閉じる";

struct Fortune {
    Character character = Character::None;
    bool white = false;           // white blossoms rather than pink
    std::wstring headline, secondLine;
    std::wstring button = kClose;
    std::vector<int> tunes;       // sakura_N.mid after the draw; a second one comes 5 s later
};

// What fortune number 1..10 shows and plays; any other number shows and plays nothing.
Fortune FortuneFor(int number);

// 1..10, equally likely, from a uniform r in [0, 1).
int FortuneNumberFrom(double r);

// Tune commands for the media control interface. The path is quoted, so a data directory
// with spaces still plays.
inline const std::wstring kMciClose = L"close MIDIFILE";
inline const std::wstring kMciPlay = L"play MIDIFILE notify";
std::wstring MciOpen(const std::wstring& dataDir, int tune);

// The shutdown side of the button, one Win32 implementation and a recording fake.
struct IPower {
    virtual ~IPower() = default;
    virtual std::wstring SystemDirectory() = 0;
    virtual bool VersionQuery() = 0;               // GetVersionEx succeeded
    virtual bool EnableShutdownPrivilege() = 0;
    virtual void RequestShutdown(uint32_t flags) = 0;  // kShutdown or kPowerOff, never forced
};
constexpr uint32_t kShutdown = 1, kPowerOff = 8;  // EWX_SHUTDOWN, EWX_POWEROFF

// A system directory ending in "system32" (as written by Windows) marks the systems that
// need the shutdown privilege and can power off.
bool NeedsShutdownPrivilege(const std::wstring& systemDir);

enum class ButtonEffect { CloseWindow, KeepOpen, EndProgram };

// What the button does for the drawn number. For 10 the program is prepared (settings stored,
// Private put away) just before Windows is asked to shut down, since Windows may end us
// without another word; when the privilege cannot be had nothing is prepared or asked.
ButtonEffect CloseButtonEffect(int number, IPower& power, const std::function<void()>& prepare);

}  // namespace fortune
