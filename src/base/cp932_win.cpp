#include "base/cp932.h"

#include <windows.h>

namespace {
constexpr UINT kCp932 = 932;

// Exact means: no default character used, and the bytes read back as the very same text.
bool ConvertExact(std::wstring_view s, std::string& out) {
    out.clear();
    if (s.empty()) return true;
    BOOL usedDefault = FALSE;
    int n = WideCharToMultiByte(kCp932, WC_NO_BEST_FIT_CHARS, s.data(), static_cast<int>(s.size()),
                                nullptr, 0, nullptr, &usedDefault);
    if (n <= 0 || usedDefault) return false;
    out.resize(static_cast<size_t>(n));
    usedDefault = FALSE;
    n = WideCharToMultiByte(kCp932, WC_NO_BEST_FIT_CHARS, s.data(), static_cast<int>(s.size()),
                            out.data(), n, nullptr, &usedDefault);
    if (n <= 0 || usedDefault) return false;
    out.resize(static_cast<size_t>(n));
    return FromCp932(out) == s;
}
}  // namespace

std::optional<std::string> ToCp932(std::wstring_view s, size_t* firstBadIndex) {
    std::string out;
    if (ConvertExact(s, out)) return out;
    if (firstBadIndex) {
        *firstBadIndex = s.size();
        std::string one;
        for (size_t i = 0; i < s.size();) {
            size_t len = (IS_HIGH_SURROGATE(s[i]) && i + 1 < s.size() && IS_LOW_SURROGATE(s[i + 1])) ? 2 : 1;
            if (!ConvertExact(s.substr(i, len), one)) {
                *firstBadIndex = i;
                break;
            }
            i += len;
        }
    }
    return std::nullopt;
}

std::wstring FromCp932(std::string_view bytes) {
    std::wstring out;
    if (bytes.empty()) return out;
    int n = MultiByteToWideChar(kCp932, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    if (n <= 0) return out;
    out.resize(static_cast<size_t>(n));
    n = MultiByteToWideChar(kCp932, 0, bytes.data(), static_cast<int>(bytes.size()), out.data(), n);
    out.resize(n > 0 ? static_cast<size_t>(n) : 0);
    return out;
}
