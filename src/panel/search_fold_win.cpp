#include "panel/search_fold_win.h"

#include <windows.h>

#include "base/wipe.h"

namespace {
std::wstring Map(std::wstring_view text, DWORD flags) {
    if (text.empty()) return {};
    const int n = static_cast<int>(text.size());
    const int size = LCMapStringEx(L"ja-JP", flags, text.data(), n, nullptr, 0, nullptr, nullptr, 0);
    if (size <= 0) return std::wstring(text);
    std::wstring out(static_cast<size_t>(size), L'\0');
    LCMapStringEx(L"ja-JP", flags, text.data(), n, out.data(), size, nullptr, nullptr, 0);
    return out;
}
}  // namespace

std::wstring WinFold::Fold(std::wstring_view text) const {
    // Katakana of either width become hiragana (ASCII turns full-width on the way), then
    // everything narrow and lower case; hiragana stays as it is.
    std::wstring wide = Map(text, LCMAP_HIRAGANA | LCMAP_FULLWIDTH);
    std::wstring folded = Map(wide, LCMAP_HALFWIDTH | LCMAP_LOWERCASE);
    wipe::Clear(wide);  // a Private text passes through here
    return folded;
}
