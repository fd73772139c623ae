#pragma once
// The panel's keys (ﾎｯﾄｷｰを使う): which Ctrl+Alt key pastes which entry, the wait for the
// user's fingers to leave Ctrl and Alt, and the keyboard walk over the entry buttons.
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace hotkey {

// Registration ids: 1..10 paste entries 1..10 (Ctrl+Alt+1..9, then 0); kShowPanel is
// Ctrl+Alt+Space.
inline constexpr int kEntryKeys = 10;
inline constexpr int kShowPanel = 11;
inline constexpr int kModifierWait = 1000;  // ms at most for Ctrl and Alt to be released

// The virtual key of a registration id ('1'..'9', '0', or the space bar).
unsigned VirtualKey(int id);
// The entry (0-based) a registration id pastes; none for kShowPanel and unknown ids.
std::optional<int> EntryOf(int id);
// "Ctrl+Alt+1" and the like, for the message that names the keys another program holds.
const wchar_t* KeyName(int id);

// Waits until held() is false, running pump() between looks, for at most timeoutMs by now().
// True when the keys were released in time.
bool WaitForRelease(const std::function<bool()>& held, const std::function<void()>& pump,
                    const std::function<uint64_t()>& now, uint64_t timeoutMs = kModifierWait);

// Wine sends a held key's hotkey again and again, whatever MOD_NOREPEAT says: a press counts
// once, and the next only when the key was seen up before that one was sent. Times are tick
// counts in milliseconds; they may wrap.
class RepeatGate {
public:
    // A hotkey message, sent at postedAt: true when it is a new press.
    bool Pressed(int id, uint32_t postedAt);
    // The key of id is up at `now` (looked at while it is Held).
    void SeenUp(int id, uint32_t now);
    bool Held(int id) const;

private:
    struct Key {
        bool down = false, upSeen = false;
        uint32_t upAt = 0;
    };
    Key keys_[kShowPanel + 1] = {};
};

// The stops of the keyboard walk on the panel: the entries first, then the key buttons shown.
struct FocusStop {
    bool isEntry = true;
    int index = 0;  // the entry (0-based), or which key button (0..keyButtons-1)
    bool operator==(const FocusStop&) const = default;
};
// The stop after (step +1) or before (step -1) `from`, wrapping round; entries with no
// caption count as stops too, so the walk keeps the rows' order.
FocusStop NextStop(FocusStop from, int step, int entryCount, int keyButtons);
// The scroll value that shows the entry's whole row with the least movement.
int ScrollToShow(int entry, int scrollValue, int visibleRows, int scrollMax);

}  // namespace hotkey
