#include "base/color.h"

#include <cstdint>

namespace {
std::wstring_view TrimBlanks(std::wstring_view s) {
    while (!s.empty() && (s.front() == L' ' || s.front() == L'\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == L' ' || s.back() == L'\t')) s.remove_suffix(1);
    return s;
}

int HexDigit(wchar_t c) {
    if (c >= L'0' && c <= L'9') return c - L'0';
    if (c >= L'a' && c <= L'f') return c - L'a' + 10;
    if (c >= L'A' && c <= L'F') return c - L'A' + 10;
    return -1;
}
}  // namespace

std::optional<int32_t> ColorTextToValue(std::wstring_view s) {
    s = TrimBlanks(s);
    if (s.size() >= 2 && s[0] == L'&' && (s[1] == L'H' || s[1] == L'h')) {
        std::wstring_view digits = s.substr(2);
        if (digits.empty() || digits.size() > 8) return std::nullopt;
        uint32_t v = 0;
        for (wchar_t c : digits) {
            int d = HexDigit(c);
            if (d < 0) return std::nullopt;
            v = (v << 4) | static_cast<uint32_t>(d);
        }
        return static_cast<int32_t>(v);
    }

    bool negative = false;
    if (!s.empty() && (s[0] == L'-' || s[0] == L'+')) {
        negative = s[0] == L'-';
        s.remove_prefix(1);
    }
    if (s.empty()) return std::nullopt;
    int64_t v = 0;
    for (wchar_t c : s) {
        if (c < L'0' || c > L'9') return std::nullopt;
        v = v * 10 + (c - L'0');
        if (v > 2147483648LL) return std::nullopt;
    }
    if (negative) v = -v;
    if (v > INT32_MAX || v < INT32_MIN) return std::nullopt;
    return static_cast<int32_t>(v);
}

std::wstring ColorValueToDecimalText(int32_t v) { return std::to_wstring(v); }

std::wstring ColorValueToHexText(int32_t v) {
    static constexpr wchar_t kDigits[] = L"0123456789ABCDEF";
    uint32_t u = static_cast<uint32_t>(v);
    std::wstring digits;
    do {
        digits.insert(digits.begin(), kDigits[u & 0xF]);
        u >>= 4;
    } while (u != 0);
    return L"&H" + digits;
}
