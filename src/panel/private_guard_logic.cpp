#include "panel/private_guard_logic.h"

#include <algorithm>

namespace private_guard {

int TimeSetting(std::wstring_view stored, int fallback, int max) {
    bool negative = !stored.empty() && stored.front() == L'-';
    if (negative) stored.remove_prefix(1);
    if (stored.empty()) return fallback;
    long long value = 0;
    for (wchar_t c : stored) {
        if (c < L'0' || c > L'9') return fallback;
        value = std::min<long long>(value * 10 + (c - L'0'), max);
    }
    return negative ? 0 : static_cast<int>(value);
}

void Guard::Configure(int clipClearSeconds, int lockMinutes) {
    clearMs_ = static_cast<uint32_t>(std::max(clipClearSeconds, 0)) * 1000u;
    lockMs_ = static_cast<uint32_t>(std::max(lockMinutes, 0)) * 60000u;
}

void Guard::Pasted(uint32_t now, bool sealedPrivate, bool stays, uint32_t clipSequence) {
    // Any later paste replaced the text, so an earlier clear is no longer wanted.
    clearPending_ = clearMs_ != 0 && sealedPrivate && stays;
    pastedAt_ = now;
    pastedSequence_ = clipSequence;
}

bool Guard::ClearDue(uint32_t now, uint32_t currentSequence) {
    if (!clearPending_) return false;
    // Something else went on the clipboard: that is the user's and stays.
    if (currentSequence != pastedSequence_) return clearPending_ = false;
    if (now - pastedAt_ < clearMs_) return false;
    clearPending_ = false;
    return true;
}

bool Guard::LockDue(uint32_t now, bool open, bool held) {
    if (!open) {
        wasOpen_ = false;
        sessionLocked_ = false;  // nothing to close: a later unlock starts afresh
        return false;
    }
    if (!wasOpen_) {
        wasOpen_ = true;
        lastClick_ = now;  // opening it is the last thing the user did
    }
    // Work in an editor or a dialog counts as use of the panel.
    if (held) {
        lastClick_ = now;
        return false;
    }
    if (!sessionLocked_ && (lockMs_ == 0 || now - lastClick_ < lockMs_)) return false;
    sessionLocked_ = false;
    wasOpen_ = false;
    return true;
}

}  // namespace private_guard
