#include "store/csv_format.h"

#include "base/color.h"
#include "base/cp932.h"
#include "base/utf8.h"

namespace {

constexpr int32_t kWhite = 0xFFFFFF;

int HexDigit(wchar_t c) {
    if (c >= L'0' && c <= L'9') return c - L'0';
    if (c >= L'a' && c <= L'f') return c - L'a' + 10;
    if (c >= L'A' && c <= L'F') return c - L'A' + 10;
    return -1;
}

void AppendCell(std::wstring& out, const std::wstring& cell) {
    if (cell.find_first_of(L",\"\r\n") == std::wstring::npos) {
        out += cell;
        return;
    }
    out += L'"';
    for (wchar_t c : cell) {
        if (c == L'"') out += L'"';
        out += c;
    }
    out += L'"';
}

bool ValidUtf8(std::string_view bytes) {
    for (size_t i = 0; i < bytes.size();) {
        const size_t n = Utf8SequenceAt(bytes, i);
        if (n == 0) return false;
        i += n;
    }
    return true;
}

// Line of bytes[pos], counting CR LF, LF and a lone CR as one break each.
size_t LineAt(std::string_view bytes, size_t pos) {
    size_t line = 1;
    for (size_t i = 0; i < pos; ++i)
        if (bytes[i] == '\n' || (bytes[i] == '\r' && (i + 1 >= bytes.size() || bytes[i + 1] != '\n'))) ++line;
    return line;
}

bool IsLineEnd(wchar_t c) { return c == L'\r' || c == L'\n'; }

// Past one CR LF, CR or LF at text[i].
size_t SkipLineEnd(const std::wstring& text, size_t i) {
    return i + ((text[i] == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n') ? 2 : 1);
}

}  // namespace

std::optional<std::string> EncodeCsv(const std::vector<Entry>& entries) {
    std::wstring out = L"見出し,内容,色\r\n";
    for (const Entry& e : entries) {
        AppendCell(out, e.caption);
        out += L',';
        AppendCell(out, e.text);
        out += L',';
        AppendCell(out, CsvColour(e.colour));
        out += L"\r\n";
    }
    auto bytes = ToUtf8(out);
    if (!bytes) return std::nullopt;
    return std::string(kUtf8Mark) + *bytes;
}

std::wstring CsvColour(const std::wstring& colourText) {
    const auto v = ColorTextToValue(colourText);
    if (!v) return colourText;
    if (*v < 0 || *v > kWhite) return ColorValueToHexText(*v);
    static constexpr wchar_t kDigits[] = L"0123456789ABCDEF";
    std::wstring cell = L"#";
    for (int shift : {0, 8, 16}) {  // the value is 0x00BBGGRR
        cell += kDigits[(*v >> (shift + 4)) & 0xF];
        cell += kDigits[(*v >> shift) & 0xF];
    }
    return cell;
}

std::optional<int32_t> ReadCsvColour(std::wstring_view cell) {
    while (!cell.empty() && (cell.front() == L' ' || cell.front() == L'\t')) cell.remove_prefix(1);
    while (!cell.empty() && (cell.back() == L' ' || cell.back() == L'\t')) cell.remove_suffix(1);
    if (cell.empty()) return kWhite;
    if (cell.size() > 2 && cell[0] == L'&' && (cell[1] == L'H' || cell[1] == L'h')) {
        if (cell.back() == L'&') cell.remove_suffix(1);
        return ColorTextToValue(cell);
    }
    if (cell[0] == L'#') cell.remove_prefix(1);
    if (cell.size() != 6) return std::nullopt;
    int32_t rgb = 0;
    for (wchar_t c : cell) {
        const int d = HexDigit(c);
        if (d < 0) return std::nullopt;
        rgb = rgb << 4 | d;
    }
    return (rgb >> 16 & 0xFF) | (rgb & 0xFF00) | (rgb & 0xFF) << 16;
}

std::wstring CsvFaultText(CsvFault fault) {
    switch (fault) {
    case CsvFault::Empty: return L"ファイルが空です。";
    case CsvFault::Binary: return L"文字ではないバイトがあります（CSVのファイルではありません）。";
    case CsvFault::UnclosedQuote: return L"引用符が閉じていません。";
    case CsvFault::AfterQuote: return L"閉じた引用符のあとに区切り（,）がありません。";
    case CsvFault::NoRows: return L"読み込む行がありません。";
    case CsvFault::QuoteInField: return L"「\"」はボタンのデータに入れられません。";
    case CsvFault::None: break;
    }
    return L"";
}

CsvRead ReadCsv(std::string_view bytes) {
    CsvRead r;
    auto fail = [&r](CsvFault f, size_t line) {
        r.rows.clear();
        r.fault = f;
        r.line = line;
        return r;
    };
    if (bytes.substr(0, kUtf8Mark.size()) == kUtf8Mark) bytes.remove_prefix(kUtf8Mark.size());
    if (bytes.empty()) return fail(CsvFault::Empty, 1);
    if (const size_t nul = bytes.find('\0'); nul != std::string_view::npos)
        return fail(CsvFault::Binary, LineAt(bytes, nul));
    const std::wstring text = ValidUtf8(bytes) ? FromUtf8(bytes) : FromCp932(bytes);

    const size_t n = text.size();
    size_t i = 0, line = 1;
    while (i < n) {
        CsvRow row{{}, line};
        for (;;) {  // one field per turn
            std::wstring field;
            if (i < n && text[i] == L'"') {
                const size_t opened = line;
                for (++i;; ) {
                    if (i >= n) return fail(CsvFault::UnclosedQuote, opened);
                    if (text[i] == L'"') {
                        if (i + 1 < n && text[i + 1] == L'"') {
                            field += L'"';
                            i += 2;
                            continue;
                        }
                        ++i;
                        break;
                    }
                    if (IsLineEnd(text[i])) {
                        field += L"\r\n";
                        i = SkipLineEnd(text, i);
                        ++line;
                        continue;
                    }
                    field += text[i++];
                }
                if (i < n && text[i] != L',' && !IsLineEnd(text[i])) return fail(CsvFault::AfterQuote, line);
            } else {
                while (i < n && text[i] != L',' && !IsLineEnd(text[i])) field += text[i++];
            }
            row.fields.push_back(std::move(field));
            if (i < n && text[i] == L',') {
                ++i;
                continue;
            }
            break;
        }
        if (i < n) {
            i = SkipLineEnd(text, i);
            ++line;
        }
        r.rows.push_back(std::move(row));
    }
    return r;
}
