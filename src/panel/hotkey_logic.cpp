#include "panel/hotkey_logic.h"

#include <algorithm>

#include "panel/panel_logic.h"

namespace hotkey {

unsigned VirtualKey(int id) {
    if (id == kShowPanel) return 0x20;  // VK_SPACE
    if (id == kFindEntry) return 'F';
    if (id >= 1 && id <= 9) return static_cast<unsigned>('0' + id);
    return id == 10 ? '0' : 0;
}

std::optional<int> EntryOf(int id) {
    if (id >= 1 && id <= kEntryKeys) return id - 1;
    return std::nullopt;
}

const wchar_t* KeyName(int id) {
    static const wchar_t* const names[] = {L"", L"Ctrl+Alt+1", L"Ctrl+Alt+2", L"Ctrl+Alt+3", L"Ctrl+Alt+4",
                                           L"Ctrl+Alt+5", L"Ctrl+Alt+6", L"Ctrl+Alt+7", L"Ctrl+Alt+8",
                                           L"Ctrl+Alt+9", L"Ctrl+Alt+0", L"Ctrl+Alt+Space", L"Ctrl+Alt+F"};
    return id >= 1 && id <= kLastKey ? names[id] : L"";
}

bool WaitForRelease(const std::function<bool()>& held, const std::function<void()>& pump,
                    const std::function<uint64_t()>& now, uint64_t timeoutMs) {
    const uint64_t start = now();
    while (held()) {
        if (now() - start >= timeoutMs) return false;
        pump();
    }
    return true;
}

FocusStop NextStop(FocusStop from, int step, int entryCount, int keyButtons) {
    const int total = std::max(0, entryCount) + std::max(0, keyButtons);
    if (total == 0) return from;
    int pos = from.isEntry ? from.index : entryCount + from.index;
    pos = ((pos + step) % total + total) % total;
    return pos < entryCount ? FocusStop{true, pos} : FocusStop{false, pos - entryCount};
}

FocusStop RingMove(std::optional<FocusStop> from, RingKey key, int entryCount, int buttons, int visibleRows,
                   int topEntry) {
    const int last = std::max(0, entryCount) - 1;
    const int page = std::max(1, visibleRows);
    if (entryCount > 0 && (key == RingKey::Home || key == RingKey::End))
        return {true, key == RingKey::Home ? 0 : last};
    if (!from) {
        if (key == RingKey::Back) return buttons > 0 ? FocusStop{false, buttons - 1} : FocusStop{true, last};
        return entryCount > 0 ? FocusStop{true, std::clamp(topEntry, 0, last)} : FocusStop{false, 0};
    }
    switch (key) {
    case RingKey::Next: return NextStop(*from, 1, entryCount, buttons);
    case RingKey::Back: return NextStop(*from, -1, entryCount, buttons);
    case RingKey::PageUp:
    case RingKey::PageDown:
        if (!from->isEntry) return *from;
        return {true, std::clamp(from->index + (key == RingKey::PageDown ? page : -page), 0, last)};
    default: return *from;
    }
}

std::vector<int> KeyRegistrar::TryMissing(const std::function<bool(int id)>& reg, uint64_t now) {
    triedAt_ = now;
    missing_.clear();
    for (int id = 1; id <= kLastKey; ++id) {
        if (std::find(held_.begin(), held_.end(), id) != held_.end()) continue;
        if (reg(id)) held_.push_back(id);
        else missing_.push_back(id);
    }
    return missing_;
}

int ScrollToShow(int entry, int scrollValue, int visibleRows, int scrollMax) {
    const int top = entry * panel::kRow;
    const int bottom = top + panel::kRow;
    const int view = std::max(1, visibleRows) * panel::kRow;
    int v = scrollValue;
    if (top < v) v = top;
    else if (bottom > v + view) v = bottom - view;
    return std::clamp(v, 0, std::max(0, scrollMax));
}

bool RepeatGate::Pressed(int id, uint32_t postedAt) {
    if (id < 0 || id > kLastKey) return true;
    Key& k = keys_[id];
    const bool fresh = !k.down || (k.upSeen && static_cast<int32_t>(postedAt - k.upAt) >= 0);
    if (fresh) k = {true, false, 0};
    return fresh;
}

void RepeatGate::SeenUp(int id, uint32_t now) {
    if (id < 0 || id > kLastKey) return;
    Key& k = keys_[id];
    if (k.down && !k.upSeen) k.upSeen = true, k.upAt = now;
}

bool RepeatGate::Held(int id) const { return id >= 0 && id <= kLastKey && keys_[id].down && !keys_[id].upSeen; }

}  // namespace hotkey
