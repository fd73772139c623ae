// Numbers read from the settings store, which may hold any text: the leading number rounded
// half to even and clamped, blanks before it ignored, and whole numbers as the program
// stores them read back as themselves.
#include <algorithm>
#include <cstring>
#include <limits>

#include "base/number.h"
#include "fuzz_check.h"

namespace {
template <typename T>
int64_t Clamped(int64_t v) {
    return std::clamp<int64_t>(v, std::numeric_limits<T>::min(), std::numeric_limits<T>::max());
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::wstring s = WideText(bytes);
    const int64_t rounded = RoundHalfEven(LeadingNumber(s));
    Check(SettingToInt32(s) == Clamped<int32_t>(rounded));
    Check(SettingToInt16(s) == Clamped<int16_t>(rounded));
    Check(SettingToInt32(L"  " + s) == SettingToInt32(s));

    int32_t n = 0;
    std::memcpy(&n, data, std::min(size, sizeof n));
    Check(SettingToInt32(std::to_wstring(n)) == n);
    Check(SettingToInt16(std::to_wstring(n)) == Clamped<int16_t>(n));
    if (n >= 0 && n < std::numeric_limits<int32_t>::max())  // n.5 goes to the even one of n and n + 1
        Check(SettingToInt32(std::to_wstring(n) + L".5") == (n % 2 == 0 ? n : n + 1));
    return 0;
}
