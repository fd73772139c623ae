#pragma once
// Fields an entry's text may hold ({日付}, {和暦}, {クリップボード}, {カーソル}, ...), filled in
// at the moment of a paste. The stored text keeps them as typed.
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace fields {

struct Date {
    int year = 0, month = 0, day = 0;
    auto operator<=>(const Date&) const = default;
};

// The local time of the click.
struct Moment {
    Date date;
    int weekday = 0;  // 0 Sunday .. 6 Saturday
    int hour = 0, minute = 0;
};

struct Era {
    std::wstring name;
    Date start;  // its first day
};

// The eras the program knows itself, oldest first.
std::vector<Era> OwnEras();

// Adds the eras Windows knows that the program does not, from the values of the registry's
// Japanese era key: the name "YYYY MM DD", the data "名前_略_English_E". Values of any other
// form are left out. The result is sorted oldest first.
std::vector<Era> WithWindowsEras(std::vector<Era> eras,
                                 const std::vector<std::pair<std::wstring, std::wstring>>& values);

// 令和8年12月7日; the first year of an era is 元年. A date before the first era: 西暦.
std::wstring JapaneseDate(const Date& d, const std::vector<Era>& eras);

struct Filled {
    std::wstring text;
    int caretBack = -1;  // Left presses that bring the caret to {カーソル}; -1: the text has none
    int unitsBack = -1;  // the same in UTF-16 units, as an edit control counts its caret
};

// Replaces the fields, in half-width or full-width braces (｛日付｝, ｛日付／｝); anything else
// in braces stays as written. Only the first {カーソル} places the caret; later ones are removed.
Filled Fill(std::wstring_view text, const Moment& now, const std::wstring& clipboard,
            const std::vector<Era>& eras);

// Caret stops in the text: a surrogate pair or a CR LF is one.
int CaretStops(std::wstring_view text);

// True when the text names the clipboard (read only then).
bool NeedsClipboard(std::wstring_view text);

}  // namespace fields
