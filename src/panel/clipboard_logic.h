#pragma once
// The clipboard as the user left it, and typing where a paste is refused: the rules that
// need no Windows.
#include <cstdint>
#include <string>
#include <vector>

#include "panel/desktop.h"

// Who is handed an offered text, and when the user's clipboard may come back.
//
// The text goes on the clipboard by delayed rendering, so every reader has to ask us for it.
// A clipboard monitor (clipboard history, another clipboard tool) asks the moment the
// clipboard changes, before the Ctrl+V went out: it gets nothing. Were it handed the text,
// the text would stay rendered and the target's own request would never reach us. Once the
// Ctrl+V went out, whoever asks gets the text; a request from the target's process means
// the target has it, and the restore may follow the mode's key. A request from elsewhere
// (a late monitor, or a target that reads through another process) does not count, so the
// restore then waits for the bound: later, never too early.
class RestoreGate {
public:
    void Offered(uint32_t targetProcess);
    void KeysSent() { keysSent_ = true; }
    bool Request(uint32_t requester);  // true: hand the text over
    bool Taken() const { return taken_; }

private:
    uint32_t target_ = 0;
    bool keysSent_ = false;
    bool taken_ = false;
};

// How long the copy of the user's clipboard waits for each format. Data already on the
// clipboard arrives at once; a format its owner renders on request waits for the owner, and
// an owner that is slow or never answers must not hold the paste. All such waiting shares
// one budget; once it is spent, each further format gets a short grace from a second, small
// budget (data on the clipboard still comes back, another unanswered request costs little),
// and when that is spent too the rest is left out. A format that did not arrive in its time
// is left out as well.
class SaveBudget {
public:
    static constexpr int kOwnerMs = 500, kGraceMs = 50, kGraceTotalMs = 300;
    // How long the next format may take; 0: it and the rest are left out.
    int Allow() const;
    // The next format took `ms` (its whole allowance when it did not arrive).
    void Took(int ms);

private:
    int ownerLeft_ = kOwnerMs;
    int graceLeft_ = kGraceTotalMs;
};

namespace typing {
constexpr uint16_t kVkReturn = 13;
// The key events that type `text`: a press and a release for each UTF-16 unit (the two
// halves of a surrogate pair one after the other, and a desktop never sends them apart),
// and Enter for a line break (CR LF, CR or LF).
std::vector<KeyInput> Plan(const std::wstring& text);
// The same events in pieces of at most `chars` characters (a line break or a surrogate pair
// is one), each with its count of characters, so that a typing can look between them.
struct Piece {
    std::vector<KeyInput> keys;
    size_t chars = 0;
};
std::vector<Piece> Pieces(const std::wstring& text, size_t chars);
}  // namespace typing
