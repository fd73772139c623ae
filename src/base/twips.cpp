#include "base/twips.h"

#include <cstdint>
#include <limits>

namespace {
int MulDivRounded(int64_t a, int64_t b, int64_t c) {
    int64_t num = a * b;
    int64_t q = (num >= 0 ? num + c / 2 : num - c / 2) / c;
    if (q > std::numeric_limits<int>::max()) return std::numeric_limits<int>::max();
    if (q < std::numeric_limits<int>::min()) return std::numeric_limits<int>::min();
    return static_cast<int>(q);
}
int SaneDpi(int dpi) { return dpi < 1 ? 96 : dpi; }
}  // namespace

int TwipsToPixels(int twips, int dpi) { return MulDivRounded(twips, SaneDpi(dpi), kTwipsPerInch); }

int PixelsToTwips(int px, int dpi) { return MulDivRounded(px, kTwipsPerInch, SaneDpi(dpi)); }
