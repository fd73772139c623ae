#include "base/utf8.h"

#include <cstdint>

namespace {

constexpr bool kWide16 = sizeof(wchar_t) == 2;

bool IsHigh(uint32_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLow(uint32_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

void Append(std::string& out, uint32_t c) {
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (c >> 12)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (c >> 18)));
        out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

void AppendWide(std::wstring& out, uint32_t c) {
    if (kWide16 && c >= 0x10000) {
        c -= 0x10000;
        out.push_back(static_cast<wchar_t>(0xD800 + (c >> 10)));
        out.push_back(static_cast<wchar_t>(0xDC00 + (c & 0x3FF)));
    } else {
        out.push_back(static_cast<wchar_t>(c));
    }
}

}  // namespace

size_t CharLengthAt(std::wstring_view s, size_t i) {
    return (kWide16 && i + 1 < s.size() && IsHigh(static_cast<uint32_t>(s[i])) &&
            IsLow(static_cast<uint32_t>(s[i + 1])))
               ? 2
               : 1;
}

std::optional<std::string> ToUtf8(std::wstring_view s, size_t* firstBadIndex) {
    std::string out;
    out.reserve(s.size() * 3);
    for (size_t i = 0; i < s.size();) {
        uint32_t c = static_cast<uint32_t>(s[i]);
        const size_t len = CharLengthAt(s, i);
        if (len == 2) {
            c = 0x10000 + ((c - 0xD800) << 10) + (static_cast<uint32_t>(s[i + 1]) - 0xDC00);
        } else if (IsHigh(c) || IsLow(c) || c > 0x10FFFF) {
            if (firstBadIndex) *firstBadIndex = i;
            return std::nullopt;
        }
        Append(out, c);
        i += len;
    }
    return out;
}

size_t Utf8SequenceAt(std::string_view b, size_t pos) {
    if (pos >= b.size()) return 0;
    const auto at = [&](size_t k) { return static_cast<unsigned char>(b[pos + k]); };
    const unsigned char c = at(0);
    if (c < 0x80) return 1;
    size_t len = 0;
    unsigned char lo = 0x80, hi = 0xBF;  // the range of the second byte
    if (c >= 0xC2 && c <= 0xDF) len = 2;
    else if (c == 0xE0) len = 3, lo = 0xA0;
    else if (c == 0xED) len = 3, hi = 0x9F;  // no surrogates
    else if (c >= 0xE1 && c <= 0xEF) len = 3;
    else if (c == 0xF0) len = 4, lo = 0x90;
    else if (c == 0xF4) len = 4, hi = 0x8F;  // nothing beyond U+10FFFF
    else if (c >= 0xF1 && c <= 0xF3) len = 4;
    else return 0;
    if (pos + len > b.size() || at(1) < lo || at(1) > hi) return 0;
    for (size_t k = 2; k < len; ++k)
        if (at(k) < 0x80 || at(k) > 0xBF) return 0;
    return len;
}

std::wstring FromUtf8(std::string_view b) {
    std::wstring out;
    out.reserve(b.size());
    for (size_t i = 0; i < b.size();) {
        const size_t len = Utf8SequenceAt(b, i);
        if (len == 0) {
            out.push_back(static_cast<wchar_t>(0xFFFD));
            ++i;
            continue;
        }
        uint32_t c = static_cast<unsigned char>(b[i]);
        if (len > 1) c &= 0x7Fu >> len;
        for (size_t k = 1; k < len; ++k) c = (c << 6) | (static_cast<unsigned char>(b[i + k]) & 0x3F);
        AppendWide(out, c);
        i += len;
    }
    return out;
}
