#pragma once
// Numbers as the settings store hands them back: text that may hold anything.
#include <cstdint>
#include <string_view>

// Leading blanks skipped, optional sign, digits, optional '.' and digits; stops at the first
// other character. No number gives 0. " 12.5abc" -> 12.5
double LeadingNumber(std::wstring_view s);

// Ties go to the even neighbour: 2.5 -> 2, 3.5 -> 4, -2.5 -> -2. NaN gives 0; values beyond
// the int64 range are clamped.
int64_t RoundHalfEven(double v);

// LeadingNumber, then RoundHalfEven, clamped to the target type's range.
int16_t SettingToInt16(std::wstring_view s);
int32_t SettingToInt32(std::wstring_view s);
