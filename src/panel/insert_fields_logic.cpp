#include "panel/insert_fields_logic.h"

#include <algorithm>
#include <cwchar>

namespace fields {
namespace {
constexpr std::wstring_view kCaret = L"{カーソル}";
constexpr std::wstring_view kClipboard = L"{クリップボード}";
constexpr wchar_t kWeekdays[] = L"日月火水木金土";

// The input method types braces and the slash full-width: ｛日付｝ is the field {日付}.
wchar_t HalfWidth(wchar_t c) {
    switch (c) {
    case L'｛': return L'{';
    case L'｝': return L'}';
    case L'／': return L'/';
    }
    return c;
}

bool StartsWithField(std::wstring_view text, std::wstring_view field) {
    if (text.size() < field.size()) return false;
    for (size_t k = 0; k < field.size(); ++k)
        if (HalfWidth(text[k]) != field[k]) return false;
    return true;
}

std::wstring Num(int v, int width = 0) {
    std::wstring s = std::to_wstring(v);
    if (static_cast<int>(s.size()) < width) s.insert(0, static_cast<size_t>(width) - s.size(), L'0');
    return s;
}

std::wstring WesternDate(const Date& d) {
    return Num(d.year) + L"年" + Num(d.month) + L"月" + Num(d.day) + L"日";
}

// "YYYY MM DD" with nothing else.
bool ParseStart(const std::wstring& s, Date& d) {
    int y = 0, m = 0, day = 0;
    wchar_t rest = 0;
    if (std::swscanf(s.c_str(), L"%d %d %d%lc", &y, &m, &day, &rest) != 3) return false;
    if (y < 1 || m < 1 || m > 12 || day < 1 || day > 31) return false;
    d = {y, m, day};
    return true;
}
}  // namespace

std::vector<Era> OwnEras() {
    return {{L"明治", {1868, 1, 25}}, {L"大正", {1912, 7, 30}}, {L"昭和", {1926, 12, 25}},
            {L"平成", {1989, 1, 8}},  {L"令和", {2019, 5, 1}}};
}

std::vector<Era> WithWindowsEras(std::vector<Era> eras,
                                 const std::vector<std::pair<std::wstring, std::wstring>>& values) {
    for (const auto& [startText, data] : values) {
        Date start;
        const size_t cut = data.find(L'_');
        if (!ParseStart(startText, start) || cut == 0 || cut == std::wstring::npos) continue;
        const std::wstring name = data.substr(0, cut);
        // The program's own dates stand (Windows starts 明治 on 1 January).
        const bool known = std::any_of(eras.begin(), eras.end(), [&](const Era& e) { return e.name == name; });
        if (!known) eras.push_back({name, start});
    }
    std::stable_sort(eras.begin(), eras.end(), [](const Era& a, const Era& b) { return a.start < b.start; });
    return eras;
}

std::wstring JapaneseDate(const Date& d, const std::vector<Era>& eras) {
    const Era* era = nullptr;
    for (const Era& e : eras)
        if (!(d < e.start)) era = &e;
    if (!era) return WesternDate(d);
    const int year = d.year - era->start.year + 1;
    return era->name + (year == 1 ? L"元" : Num(year)) + L"年" + Num(d.month) + L"月" + Num(d.day) + L"日";
}

int CaretStops(std::wstring_view text) {
    int stops = 0;
    for (size_t i = 0; i < text.size(); ++i, ++stops) {
        const wchar_t c = text[i];
        const bool pairStart = c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() &&
                               text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF;
        if (pairStart || (c == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n')) ++i;
    }
    return stops;
}

bool NeedsClipboard(std::wstring_view text) {
    for (size_t i = 0; i < text.size(); ++i)
        if (StartsWithField(text.substr(i), kClipboard)) return true;
    return false;
}

Filled Fill(std::wstring_view text, const Moment& now, const std::wstring& clipboard,
            const std::vector<Era>& eras) {
    const Date& d = now.date;
    const std::pair<std::wstring_view, std::wstring> table[] = {
        {L"{日付}", WesternDate(d)},
        {L"{日付/}", Num(d.year) + L"/" + Num(d.month, 2) + L"/" + Num(d.day, 2)},
        {L"{和暦}", JapaneseDate(d, eras)},
        {L"{曜日}", std::wstring(1, kWeekdays[(now.weekday % 7 + 7) % 7])},
        {L"{時刻}", Num(now.hour) + L":" + Num(now.minute, 2)},
        {kClipboard, clipboard},
        {kCaret, L""},
    };
    Filled out;
    out.text.reserve(text.size());
    size_t caretAt = std::wstring::npos;
    size_t i = 0;
    while (i < text.size()) {
        const size_t open = text.find_first_of(L"{｛", i);
        if (open == std::wstring_view::npos) break;
        out.text.append(text.substr(i, open - i));
        const std::wstring_view rest = text.substr(open);
        const auto hit = std::find_if(std::begin(table), std::end(table),
                                      [&](const auto& f) { return StartsWithField(rest, f.first); });
        if (hit == std::end(table)) {
            out.text += text[open];
            i = open + 1;
            continue;
        }
        if (hit->first == kCaret && caretAt == std::wstring::npos) caretAt = out.text.size();
        out.text += hit->second;
        i = open + hit->first.size();
    }
    if (i < text.size()) out.text.append(text.substr(i));
    if (caretAt != std::wstring::npos) {
        out.caretBack = CaretStops(std::wstring_view(out.text).substr(caretAt));
        out.unitsBack = static_cast<int>(out.text.size() - caretAt);
    }
    return out;
}

}  // namespace fields
