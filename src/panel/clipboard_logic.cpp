#include "panel/clipboard_logic.h"

#include <algorithm>

void RestoreGate::Offered(uint32_t targetProcess) {
    target_ = targetProcess;
    keysSent_ = false;
    taken_ = false;
}

bool RestoreGate::Request(uint32_t requester) {
    if (!keysSent_) return false;
    if (requester != 0 && requester == target_) taken_ = true;
    return true;
}

int SaveBudget::Allow() const {
    if (ownerLeft_ > 0) return ownerLeft_;
    return graceLeft_ < kGraceMs ? graceLeft_ : kGraceMs;
}

void SaveBudget::Took(int ms) {
    if (ms < 0) ms = 0;
    if (ownerLeft_ > 0) {
        ownerLeft_ -= ms;
        if (ownerLeft_ < 0) ownerLeft_ = 0;
    } else {
        graceLeft_ = ms > graceLeft_ ? 0 : graceLeft_ - ms;
    }
}

namespace typing {
std::vector<KeyInput> Plan(const std::wstring& text) {
    std::vector<KeyInput> keys;
    keys.reserve(text.size() * 2);
    auto strike = [&](uint16_t vk, uint16_t unit) {
        keys.push_back({vk, unit, false});
        keys.push_back({vk, unit, true});
    };
    for (size_t i = 0; i < text.size(); ++i) {
        auto c = static_cast<uint32_t>(text[i]);
        if (c == L'\r' || c == L'\n') {
            if (c == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n') ++i;
            strike(kVkReturn, 0);
            continue;
        }
        // A character beyond the 16-bit range: as its pair where wchar_t holds 32 bits.
        if (c > 0xFFFF) {
            c -= 0x10000;
            strike(0, static_cast<uint16_t>(0xD800 + (c >> 10)));
            strike(0, static_cast<uint16_t>(0xDC00 + (c & 0x3FF)));
            continue;
        }
        strike(0, static_cast<uint16_t>(c));
    }
    return keys;
}

std::vector<Piece> Pieces(const std::wstring& text, size_t chars) {
    const std::vector<KeyInput> keys = Plan(text);
    std::vector<Piece> pieces;
    for (size_t i = 0; i < keys.size();) {
        if (pieces.empty() || pieces.back().chars >= chars) pieces.emplace_back();
        // A high surrogate's press and release are followed by its low half's.
        const bool pair = keys[i].vk == 0 && keys[i].unit >= 0xD800 && keys[i].unit < 0xDC00;
        const size_t n = std::min(keys.size() - i, size_t{pair ? 4u : 2u});
        pieces.back().keys.insert(pieces.back().keys.end(), keys.begin() + i, keys.begin() + i + n);
        ++pieces.back().chars;
        i += n;
    }
    return pieces;
}
}  // namespace typing
