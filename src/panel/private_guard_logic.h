#pragma once
// While Private is sealed: when a pasted Private text leaves the clipboard, and when Private
// is closed again. Times are tick counts in milliseconds; they may wrap.
#include <cstdint>
#include <string_view>

namespace private_guard {

inline constexpr int kDefaultClipClearSeconds = 10;
inline constexpr int kDefaultLockMinutes = 10;

// A time setting as stored: none (or no number) is the default, below 0 is 0 (off), and it
// is capped at max.
int TimeSetting(std::wstring_view stored, int fallback, int max);

class Guard {
public:
    // 0 switches either off.
    void Configure(int clipClearSeconds, int lockMinutes);

    // A text went on the clipboard and left it holding sequence number clipSequence. Only a
    // sealed Private text that stays there is cleared later (a restored clipboard is the user's).
    void Pasted(uint32_t now, bool sealedPrivate, bool stays, uint32_t clipSequence);
    // The clipboard's sequence number to clear now, when it still is that; once only.
    bool ClearDue(uint32_t now, uint32_t currentSequence);

    // A click on the panel restarts the idle time.
    void Clicked(uint32_t now) { lastClick_ = now; }
    // Windows locked the session: Private closes at the next chance.
    void SessionLocked() { sessionLocked_ = true; }
    // Asked by the timer. open: a sealed Private is shown; held: a window of the program keeps
    // the user's work (an editor, a dialog), so nothing closes under it yet.
    bool LockDue(uint32_t now, bool open, bool held);

private:
    uint32_t clearMs_ = 0, lockMs_ = 0;
    bool clearPending_ = false;
    uint32_t pastedAt_ = 0, pastedSequence_ = 0;
    bool wasOpen_ = false, sessionLocked_ = false;
    uint32_t lastClick_ = 0;
};

}  // namespace private_guard
