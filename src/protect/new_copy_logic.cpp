#include "protect/new_copy_logic.h"

#include <string_view>

namespace new_copy {

namespace {
bool IsBlank(wchar_t c) { return c == L' ' || c == L'\x3000'; }

wchar_t UpperAscii(wchar_t c) { return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - L'a' + L'A') : c; }

bool IsReservedDevice(std::wstring stem) {
    while (!stem.empty() && stem.back() == L' ') stem.pop_back();
    for (wchar_t& c : stem) c = UpperAscii(c);
    if (stem == L"CON" || stem == L"PRN" || stem == L"AUX" || stem == L"NUL") return true;
    return stem.size() == 4 && (stem.compare(0, 3, L"COM") == 0 || stem.compare(0, 3, L"LPT") == 0) &&
           stem[3] >= L'1' && stem[3] <= L'9';
}
}  // namespace

bool IsForbiddenChar(wchar_t c) { return std::wstring_view(L"\\/:*?\"<>|").find(c) != std::wstring_view::npos; }

NameProblem CheckNewName(const std::wstring& name) {
    bool blank = true;
    for (wchar_t c : name) {
        if (IsForbiddenChar(c) || c < 0x20) return NameProblem::Forbidden;
        if (!IsBlank(c)) blank = false;
    }
    if (blank) return NameProblem::Empty;
    if (name.back() == L'.' || name.back() == L' ') return NameProblem::TrailingDotOrSpace;
    // Windows takes "CON.txt" for the device as well: only the part before the first dot counts.
    if (IsReservedDevice(name.substr(0, name.find(L'.')))) return NameProblem::Reserved;
    return NameProblem::None;
}

}  // namespace new_copy
