#pragma once
// A property that does not hold ends the run, so libFuzzer keeps the input that broke it.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

inline void Check(bool ok) {
    if (!ok) std::abort();
}

// The input as text of UTF-16 units, two bytes each (as the registry and the windows hold it).
inline std::wstring WideText(std::string_view bytes, size_t maxUnits = 256) {
    std::wstring s;
    for (size_t i = 0; i + 1 < bytes.size() && s.size() < maxUnits; i += 2)
        s.push_back(static_cast<wchar_t>(static_cast<uint8_t>(bytes[i]) | static_cast<uint8_t>(bytes[i + 1]) << 8));
    return s;
}
