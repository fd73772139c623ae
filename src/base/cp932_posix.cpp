// The native build has no code page 932 of its own: glibc's iconv supplies the mapping, turned
// into two tables once so that conversion matches the Windows build (exact round trips only,
// two bytes consumed after a lead byte, U+30FB for anything undecodable).
#include "base/cp932.h"

#include <iconv.h>

#include <array>
#include <cerrno>
#include <cstdint>
#include <utility>
#include <vector>

namespace {
constexpr char16_t kUndecodable = 0x30FB;
constexpr uint16_t kNoForm = 0xFFFF;  // never a CP932 code: 0xFF is no lead byte

struct Tables {
    std::array<char16_t, 256> single{};       // 0 for lead bytes
    std::array<bool, 256> isLead{};
    std::vector<char16_t> pair;               // [lead * 256 + trail], kUndecodable if none
    std::vector<uint16_t> encode;             // [code point] -> byte or (lead << 8 | trail)

    Tables() : pair(256 * 256, kUndecodable), encode(0x10000, kNoForm) {
        iconv_t dec = iconv_open("UTF-16LE", "CP932");
        iconv_t enc = iconv_open("CP932", "UTF-16LE");
        if (dec != reinterpret_cast<iconv_t>(-1)) {
            for (int b = 0; b < 256; ++b) {
                char in[1] = {static_cast<char>(b)};
                char16_t u = 0;
                int r = Decode(dec, in, 1, u);
                if (r == 1) single[b] = u;
                else if (r == -2) isLead[b] = true;
            }
            for (int lead = 0; lead < 256; ++lead) {
                if (!isLead[lead]) continue;
                for (int trail = 0; trail < 256; ++trail) {
                    char in[2] = {static_cast<char>(lead), static_cast<char>(trail)};
                    char16_t u = 0;
                    if (Decode(dec, in, 2, u) == 1) pair[lead * 256 + trail] = u;
                }
            }
            iconv_close(dec);
        }
        // Single bytes that Windows maps although glibc does not.
        const std::pair<int, char16_t> extras[] = {{0x80, 0x0080}, {0xA0, 0xF8F0}, {0xFD, 0xF8F1},
                                                   {0xFE, 0xF8F2}, {0xFF, 0xF8F3}};
        for (auto [b, u] : extras) {
            if (!isLead[b] && single[b] == 0) single[b] = u;
        }
        // The encoder picks among duplicates (NEC and IBM rows) as Windows does; keep a form
        // only when it reads back as the same character.
        if (enc != reinterpret_cast<iconv_t>(-1)) {
            for (uint32_t c = 0; c < 0x10000; ++c) {
                if (c >= 0xD800 && c <= 0xDFFF) continue;
                uint16_t code = Encode(enc, static_cast<char16_t>(c));
                if (code != kNoForm && DecodeCode(code) == c) encode[c] = code;
            }
            iconv_close(enc);
        }
        for (auto [b, u] : extras) {
            if (single[b] == u) encode[u] = static_cast<uint16_t>(b);
        }
    }

    // 1: one character decoded; -2: input incomplete (a lead byte); -1: invalid.
    static int Decode(iconv_t cd, char* in, size_t inLen, char16_t& out) {
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        char buf[8];
        char* inPtr = in;
        char* outPtr = buf;
        size_t inLeft = inLen, outLeft = sizeof buf;
        size_t r = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
        if (r == static_cast<size_t>(-1)) return (errno == EINVAL) ? -2 : -1;
        if (inLeft != 0 || sizeof buf - outLeft != 2) return -1;
        out = static_cast<char16_t>(static_cast<unsigned char>(buf[0]) | (static_cast<unsigned char>(buf[1]) << 8));
        return 1;
    }

    static uint16_t Encode(iconv_t cd, char16_t c) {
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        char in[2] = {static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)};
        char buf[8];
        char* inPtr = in;
        char* outPtr = buf;
        size_t inLeft = 2, outLeft = sizeof buf;
        if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<size_t>(-1)) return kNoForm;
        size_t n = sizeof buf - outLeft;
        if (n == 1) return static_cast<unsigned char>(buf[0]);
        if (n == 2) return static_cast<uint16_t>((static_cast<unsigned char>(buf[0]) << 8) | static_cast<unsigned char>(buf[1]));
        return kNoForm;
    }

    char16_t DecodeCode(uint16_t code) const {
        if (code < 0x100) return isLead[code] ? kUndecodable : single[code];
        int lead = code >> 8;
        return isLead[lead] ? pair[code] : kUndecodable;
    }
};

const Tables& Get() {
    static const Tables tables;
    return tables;
}
}  // namespace

std::optional<std::string> ToCp932(std::wstring_view s, size_t* firstBadIndex) {
    const Tables& t = Get();
    std::string out;
    out.reserve(s.size() * 2);
    for (size_t i = 0; i < s.size(); ++i) {
        uint32_t c = static_cast<uint32_t>(s[i]);
        uint16_t code = c < 0x10000 ? t.encode[c] : kNoForm;
        if (code == kNoForm) {
            if (firstBadIndex) *firstBadIndex = i;
            return std::nullopt;
        }
        if (code >= 0x100) out.push_back(static_cast<char>(code >> 8));
        out.push_back(static_cast<char>(code & 0xFF));
    }
    return out;
}

std::wstring FromCp932(std::string_view bytes) {
    const Tables& t = Get();
    std::wstring out;
    out.reserve(bytes.size());
    for (size_t i = 0; i < bytes.size(); ++i) {
        unsigned char b = static_cast<unsigned char>(bytes[i]);
        if (t.isLead[b]) {
            if (i + 1 < bytes.size()) {
                unsigned char trail = static_cast<unsigned char>(bytes[++i]);
                out.push_back(static_cast<wchar_t>(t.pair[b * 256 + trail]));
            } else {
                out.push_back(static_cast<wchar_t>(kUndecodable));
            }
        } else {
            char16_t u = t.single[b];
            out.push_back(static_cast<wchar_t>((u == 0 && b != 0) ? kUndecodable : u));
        }
    }
    return out;
}
