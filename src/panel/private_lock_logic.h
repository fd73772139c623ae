#pragma once
// A locked Private: it stays the chosen set, but its entries are closed until the password is
// given. Every way of pasting asks for the password instead, and what was asked for then runs
// once, in the order it came; nothing runs when the password was not given.
#include <string>
#include <vector>

#include "panel/paste_logic.h"

namespace private_lock {

// The one entry the column shows while Private is locked.
inline const std::wstring kLockedCaption = L"Private（ロック中）";

// A paste asked for while locked: an entry (by its place in the set) or a key button. The
// lock entry itself names no entry: its click only asks.
struct Asked {
    PasteSource source = PasteSource::EntryClick;
    int entry = -1;
    KeyButtonId key = KeyButtonId::None;
};

enum class Verdict {
    Paste,  // not locked: the request goes to the engine now
    Ask,    // locked: open the password dialog
    Wait,   // locked, the password is asked already: the request waits for it
};

// The requests that wait for the password.
class Gate {
public:
    // locked: what the column shows (Private chosen, its entries closed).
    Verdict Decide(bool locked, const Asked& asked);
    // The password dialog went: opened says whether Private was opened by it. What waited,
    // in arrival order, when it was; nothing otherwise.
    std::vector<Asked> Answered(bool opened);
    bool Asking() const { return asking_; }

private:
    bool asking_ = false;
    std::vector<Asked> waiting_;
};

}  // namespace private_lock
