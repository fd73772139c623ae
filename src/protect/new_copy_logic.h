#pragma once
// The name of a new copy of the program, checked without Windows: the keys the name box refuses as
// they are typed, and the whole name as 作成 takes it (pasted text included).
#include <string>

namespace new_copy {

// \ / : * ? " < > |
bool IsForbiddenChar(wchar_t c);

enum class NameProblem {
    None,
    Empty,         // nothing, or only spaces
    Forbidden,     // one of the nine characters, or a control character
    Reserved,      // CON, PRN, AUX, NUL, COM1-9, LPT1-9 (with or without an extension)
    TrailingDotOrSpace,
};

// ".exe" is appended to the name as it stands; Windows would drop a trailing dot or space
// from the file name, so the copy would not carry the name it shows.
NameProblem CheckNewName(const std::wstring& name);

}  // namespace new_copy
