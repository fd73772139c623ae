#pragma once
// Text <-> code page 932 (Shift_JIS as Windows has it), whatever the system's ANSI page is.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// nullopt when a character has no exact CP932 form, i.e. one that reads back as the same
// character (never a silent '?' or best-fit substitute such as U+00A5 -> '\'). Then
// *firstBadIndex, when given, is the index in s of the first such character (for a
// surrogate pair, of its first half).
std::optional<std::string> ToCp932(std::wstring_view s, size_t* firstBadIndex = nullptr);

// The first byte of a two-byte character.
inline bool IsLeadByte932(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

// Bytes that are no valid CP932 come out as U+30FB, as Windows does.
std::wstring FromCp932(std::string_view bytes);
