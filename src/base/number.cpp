#include "base/number.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

double LeadingNumber(std::wstring_view s) {
    size_t i = 0;
    while (i < s.size() && (s[i] == L' ' || s[i] == L'\t')) ++i;

    std::string ascii;  // the matched part only, handed to from_chars
    bool negative = false;
    if (i < s.size() && (s[i] == L'+' || s[i] == L'-')) {
        negative = s[i] == L'-';
        ++i;
    }
    auto isDigit = [&](size_t k) { return k < s.size() && s[k] >= L'0' && s[k] <= L'9'; };
    while (isDigit(i)) ascii.push_back(static_cast<char>(s[i++]));
    if (i < s.size() && s[i] == L'.' && isDigit(i + 1)) {
        ascii.push_back('.');
        ++i;
        while (isDigit(i)) ascii.push_back(static_cast<char>(s[i++]));
    }
    if (ascii.empty()) return 0.0;

    double value = 0.0;
    auto [end, ec] = std::from_chars(ascii.data(), ascii.data() + ascii.size(), value);
    (void)end;
    if (ec == std::errc::result_out_of_range) {
        // Either far too large or a vanishing fraction; tell them apart by the integer digits.
        value = (ascii[0] != '0' && ascii[0] != '.') ? std::numeric_limits<double>::infinity() : 0.0;
    } else if (ec != std::errc()) {
        return 0.0;
    }
    return negative ? -value : value;
}

int64_t RoundHalfEven(double v) {
    if (std::isnan(v)) return 0;
    // 2^63 is exactly representable; anything at or beyond it cannot fit.
    constexpr double kLimit = 9223372036854775808.0;
    if (v >= kLimit) return std::numeric_limits<int64_t>::max();
    if (v <= -kLimit) return std::numeric_limits<int64_t>::min();
    double floorV = std::floor(v);
    double frac = v - floorV;  // exact for every double in range
    double r = floorV;
    if (frac > 0.5) {
        r = floorV + 1.0;
    } else if (frac == 0.5) {
        r = std::fmod(floorV, 2.0) == 0.0 ? floorV : floorV + 1.0;
    }
    if (r >= kLimit) return std::numeric_limits<int64_t>::max();
    return static_cast<int64_t>(r);
}

namespace {
template <typename T>
T Clamped(int64_t v) {
    if (v < std::numeric_limits<T>::min()) return std::numeric_limits<T>::min();
    if (v > std::numeric_limits<T>::max()) return std::numeric_limits<T>::max();
    return static_cast<T>(v);
}
}  // namespace

int16_t SettingToInt16(std::wstring_view s) { return Clamped<int16_t>(RoundHalfEven(LeadingNumber(s))); }

int32_t SettingToInt32(std::wstring_view s) { return Clamped<int32_t>(RoundHalfEven(LeadingNumber(s))); }
