#pragma once
// Text <-> UTF-8, for data-set files that hold characters code page 932 has no form for.
// Wide text is UTF-16 where wchar_t has 16 bits (Windows) and code points where it has 32.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// nullopt when the text holds what UTF-8 cannot carry: a surrogate without its partner (or,
// with 32-bit wchar_t, any surrogate or a value beyond U+10FFFF). Then *firstBadIndex, when
// given, is its index in s.
std::optional<std::string> ToUtf8(std::wstring_view s, size_t* firstBadIndex = nullptr);

// Each byte that does not start a well-formed sequence comes out as U+FFFD.
std::wstring FromUtf8(std::string_view bytes);

// Length of the well-formed sequence at bytes[pos] (1 to 4), or 0 when there is none:
// overlong forms, surrogates and values beyond U+10FFFF are not well formed.
size_t Utf8SequenceAt(std::string_view bytes, size_t pos);

// One character of the text at s[i]: 2 for a surrogate pair (16-bit wchar_t), else 1.
size_t CharLengthAt(std::wstring_view s, size_t i);
