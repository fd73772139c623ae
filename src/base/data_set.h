#pragma once
// The three data sets. Their numbers are what the settings ("Type", "Number1".."Number3") and
// the file names (MyData_1.dat .. MyData_3.dat) already hold.
#include <cstdint>
#include <optional>

enum class DataSet { Public = 1, Private = 2, Kaomoji = 3 };

inline int StoredNumber(DataSet set) { return static_cast<int>(set); }

// The set as the menu names it ("Public", "Private", "顔文字").
inline const wchar_t* SetName(DataSet set) {
    return set == DataSet::Private ? L"Private" : set == DataSet::Kaomoji ? L"顔文字" : L"Public";
}

// A stored number as a data set; none for anything but 1, 2 and 3 (0 before the first run).
inline std::optional<DataSet> DataSetFromStored(int32_t n) {
    if (n < 1 || n > 3) return std::nullopt;
    return static_cast<DataSet>(n);
}
