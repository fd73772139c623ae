#pragma once
// The system's folding of Japanese text for the search: kana type, width and case, with the
// half-width voiced marks composed (ｶﾞ is が), as Windows and Wine both do it.
#include "panel/search_logic.h"

class WinFold : public search::IFold {
public:
    std::wstring Fold(std::wstring_view text) const override;
};
