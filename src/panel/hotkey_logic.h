#pragma once
// The panel's keys (ﾎｯﾄｷｰを使う): which Ctrl+Alt key pastes which entry, the wait for the
// user's fingers to leave Ctrl and Alt, and the keyboard walk over the entry buttons.
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace hotkey {

// Registration ids: 1..10 paste entries 1..10 (Ctrl+Alt+1..9, then 0); kShowPanel is
// Ctrl+Alt+Space, kFindEntry Ctrl+Alt+F (the search); kLastKey the highest id.
inline constexpr int kEntryKeys = 10;
inline constexpr int kShowPanel = 11;
inline constexpr int kFindEntry = 12;
inline constexpr int kLastKey = kFindEntry;
inline constexpr int kModifierWait = 1000;  // ms at most for Ctrl and Alt to be released

// The virtual key of a registration id ('1'..'9', '0', the space bar, 'F').
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
    Key keys_[kLastKey + 1] = {};
};

// The stops of the keyboard walk on the panel: the entries first, then the panel's buttons
// shown (設定/編集, the mode button, 前へ/次へ or 改行).
struct FocusStop {
    bool isEntry = true;
    int index = 0;  // the entry (0-based), or which button (0..buttons-1)
    bool operator==(const FocusStop&) const = default;
};
// The stop after (step +1) or before (step -1) `from`, wrapping round; entries with no
// caption count as stops too, so the walk keeps the rows' order.
FocusStop NextStop(FocusStop from, int step, int entryCount, int keyButtons);
// The keys that move the focus over the stops.
enum class RingKey { Next, Back, Home, End, PageUp, PageDown };
// Where `key` takes the focus from `from` (none: nothing of the walk has it; the walk then
// starts at topEntry, the first entry in view). Home and End go to the first and the last
// entry, the page keys by the visible rows within the entries.
FocusStop RingMove(std::optional<FocusStop> from, RingKey key, int entryCount, int buttons, int visibleRows,
                   int topEntry);

// The keys of ﾎｯﾄｷｰを使う that are ours. A key another program holds is tried again later:
// whenever the panel is activated, and once a minute.
class KeyRegistrar {
public:
    inline static constexpr uint64_t kRetryMs = 60 * 1000;
    // Tries every key that is not ours yet; returns the ids that are still missing.
    std::vector<int> TryMissing(const std::function<bool(int id)>& reg, uint64_t now);
    bool RetryDue(uint64_t now) const { return !missing_.empty() && now - triedAt_ >= kRetryMs; }
    const std::vector<int>& Held() const { return held_; }
    const std::vector<int>& Missing() const { return missing_; }
    void Clear() { held_.clear(); missing_.clear(); }

private:
    std::vector<int> held_, missing_;
    uint64_t triedAt_ = 0;
};

// The scroll value that shows the entry's whole row with the least movement.
int ScrollToShow(int entry, int scrollValue, int visibleRows, int scrollMax);

}  // namespace hotkey
