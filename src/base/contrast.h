#pragma once
// Text that stays readable on any background colour, and whether a colour counts as light.
#include <cmath>
#include <cstdint>

namespace contrast {

// Relative luminance of a colour 0x00BBGGRR (0 black .. 1 white), as the WCAG contrast
// ratio uses it.
inline double Luminance(uint32_t bgr) {
    auto channel = [](uint32_t v) {
        const double c = v / 255.0;
        return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(bgr & 0xFF) + 0.7152 * channel((bgr >> 8) & 0xFF) + 0.0722 * channel((bgr >> 16) & 0xFF);
}

inline bool IsLight(uint32_t bgr) { return Luminance(bgr) > 0.5; }

// Black (0) or white (0xFFFFFF), whichever has the higher contrast ratio with the background.
inline uint32_t CaptionColourOn(uint32_t bgr) {
    const double l = Luminance(bgr);
    return (l + 0.05) / 0.05 >= 1.05 / (l + 0.05) ? 0x000000u : 0xFFFFFFu;
}

}  // namespace contrast
