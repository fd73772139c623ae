#include "editor/entry_editor_logic.h"

#include <algorithm>
#include <limits>

#include "base/color.h"
#include "base/cp932.h"
#include "base/number.h"
#include "base/utf8.h"

namespace editor {

namespace {

Entry RecordOf(const Row& r) { return {r.caption, r.text, ColorValueToDecimalText(r.colour)}; }

void SwapContents(Row& a, Row& b) {
    std::swap(a.caption, b.caption);
    std::swap(a.text, b.text);
    std::swap(a.colour, b.colour);
    std::swap(a.stored, b.stored);
}

int32_t LoadedColour(const Entry& e) { return ColorTextToValue(e.colour).value_or(kWhite); }

}  // namespace

// ---- rows --------------------------------------------------------------------------------

void RowModel::Ensure(int lastRow) {
    if (RowCount() < lastRow) rows_.resize(static_cast<size_t>(lastRow));
}

void RowModel::LoadRows(DataSetContents file) {
    loaded_ = std::move(file);
    const std::vector<Entry>& records = loaded_.entries;
    entryCount_ = static_cast<int>(std::min<size_t>(records.size(), std::numeric_limits<int>::max() / kRowStep));
    const int m = ShownRows();
    Ensure(m + 1);
    for (int i = 1; i <= m + 1; ++i) {
        Row& r = At(i);
        r.captionIme = r.textIme = s_.rowImeMode;
        if (i <= entryCount_) {
            // A single record is an entry like any other (the panel's unreadable-file case
            // is told apart before the editor ever opens).
            const Entry& e = records[static_cast<size_t>(i - 1)];
            r.caption = e.caption;
            r.text = e.text;
            r.colour = LoadedColour(e);
            r.stored = i - 1;
        } else {
            r.caption.clear();
            r.text.clear();
            r.stored = -1;
        }
    }
}

void RowModel::Touch(int row) {
    if (row > entryCount_ && row <= ShownRows()) {
        entryCount_ = row;
        UpdateButtons();
    }
}

std::vector<Entry> RowModel::Records() const {
    std::vector<Entry> out;
    out.reserve(static_cast<size_t>(entryCount_));
    for (int i = 1; i <= entryCount_; ++i) out.push_back(RecordOf(At(i)));
    return out;
}

bool RowModel::Unchanged() const {
    if (static_cast<size_t>(entryCount_) != loaded_.entries.size()) return false;
    for (int i = 1; i <= entryCount_; ++i)
        if (At(i).stored != i - 1 || !AsRead(i)) return false;
    return true;
}

const StoredRecord* RowModel::AsRead(int row) const {
    const Row& r = At(row);
    if (r.stored < 0 || static_cast<size_t>(r.stored) >= loaded_.stored.size()) return nullptr;
    const Entry& e = loaded_.entries[static_cast<size_t>(r.stored)];
    if (r.caption != e.caption || r.text != e.text || r.colour != LoadedColour(e)) return nullptr;
    return &loaded_.stored[static_cast<size_t>(r.stored)];
}

EncodeResult RowModel::Encode(const std::vector<int>& order) const {
    // The blank record of 追　加, with its colour as "&H" text.
    static const StoredRecord kBlank{"\"\",\"\",\"&HFFFFFF\"\r\n", DataSetEncoding::Cp932, true};
    std::vector<Entry> entries;
    std::vector<const StoredRecord*> asRead;
    entries.reserve(order.size());
    asRead.reserve(order.size());
    for (int k : order) {
        // Rows past the entries (the spare that 削　除 brings in) are blank like 追　加's.
        const bool entry = k > 0 && k <= entryCount_;
        entries.push_back(entry ? RecordOf(At(k)) : BlankEntries(1).front());
        asRead.push_back(entry ? AsRead(k) : &kBlank);
    }
    EncodeResult e = EncodeDataSet(entries, ColourForm::Decimal, asRead);
    if (!e.ok && e.badField >= 0) e.badRecord = static_cast<size_t>(order[e.badRecord] - 1);
    for (size_t& a : e.altered) a = static_cast<size_t>(order[a] - 1);
    return e;
}

EncodeResult RowModel::SaveBytes() const {
    std::vector<int> order;
    for (int i = 1; i <= entryCount_; ++i) order.push_back(i);
    return Encode(order);
}

EncodeResult RowModel::InsertBytes() {
    const int n = entryCount_ + 1;
    const int s = s_.selectedRow == 0 ? 1 : s_.selectedRow;
    Ensure(n);
    std::vector<int> order;
    for (int k = 1; k <= n; ++k) {
        if (k <= s) order.push_back(k);
        else if (k == s + 1) order.push_back(0);
        else order.push_back(k - 1);
    }
    return Encode(order);
}

void RowModel::Inserted() {
    if (s_.selectedRow == 0) s_.selectedRow = 1;
    const int n = ++entryCount_;
    Ensure(n + 1);
    Row& spare = At(n + 1);
    spare.caption.clear();
    spare.text.clear();
    spare.colour = kWhite;
    spare.stored = -1;
}

EncodeResult RowModel::DeleteBytes() {
    const int s = s_.selectedRow, n = entryCount_;
    // With 25 entries or fewer the spare row comes in at the end: the set keeps its size.
    const int last = (s > kMinRows || n > kMinRows) ? n : n + 1;
    Ensure(last);
    std::vector<int> order;
    for (int k = 1; k <= last; ++k)
        if (k != s) order.push_back(k);
    return Encode(order);
}

void RowModel::Deleted() {
    ++deleted_;
    --entryCount_;
}

int16_t RowSettingAfterDelete(int entryCount, int16_t setting, int deletedCount) {
    int v = setting;
    if (entryCount >= kMinRows && entryCount < v) v = entryCount - deletedCount;
    if (entryCount >= kMinRows && v < kMinRows) v = kMinRows;
    return static_cast<int16_t>(std::clamp(v, -32768, 32767));
}

void RowModel::WhiteRows() {
    for (int i = 1; i <= entryCount_ && i <= RowCount(); ++i) At(i).highlighted = false;
}

void RowModel::UpdateButtons() {
    if (!buttons_.remove) return;  // only a row selected by its number moves
    buttons_.up = s_.selectedRow >= 2;
    buttons_.down = s_.selectedRow < entryCount_;
}

void RowModel::SelectByNumber(int i) {
    if (!HasRow(i)) return;
    WhiteRows();
    At(i).highlighted = true;
    s_.selectedRow = i;
    buttons_ = {i >= 2, i < entryCount_, true};
    focusKind_ = 0;
}

void RowModel::Focused(int i, int kind) {
    SelectByNumber(i);
    focusKind_ = kind;
    rowFocus_ = kind != 1;
    lastCaption_ = kind == 2 ? i : 0;
    lastText_ = kind == 2 ? 0 : i;
}

void RowModel::ClickColourCell(int i) {
    Focused(i, 1);
    s_.colourTargetRow = i;
}

void RowModel::Move(int step) {
    const int s = s_.selectedRow;
    if (step < 0 ? (s < 2 || !HasRow(s)) : (s < 1 || !HasRow(s + 1))) return;
    const int to = s + (step < 0 ? -1 : 1);
    SwapContents(At(s), At(to));
    At(s).highlighted = false;
    At(to).highlighted = true;
    int sel = to;
    buttons_.up = sel >= 2;
    if (sel < 2) sel = 1;
    buttons_.down = sel < entryCount_;
    if (!buttons_.down) sel = entryCount_;
    s_.selectedRow = sel;
}

void RowModel::SwitchImeOldStyle() {
    auto flip = [](int mode) { return (mode != 0 && mode != 2) ? 2 : 1; };
    const int last = std::min(entryCount_ + 1, RowCount());
    for (int i = 1; i <= last; ++i) {
        Row& r = At(i);
        r.captionIme = flip(r.captionIme);
        r.textIme = flip(r.textIme);
    }
    s_.rowImeMode = At(last).textIme;
}

void RowModel::SetAllIme(int mode) {
    const int last = std::min(entryCount_ + 1, RowCount());
    for (int i = 1; i <= last; ++i) At(i).captionIme = At(i).textIme = mode;
}

// ---- typing ------------------------------------------------------------------------------

int CountEnter(int count, wchar_t typed, bool atEnd) {
    return typed == L'\r' && atEnd ? count + 1 : 0;
}

std::wstring TrimTrailingEnters(const std::wstring& text, int count) {
    std::wstring out = text;
    while (count-- > 0 && out.size() >= 2 && out.compare(out.size() - 2, 2, L"\r\n") == 0)
        out.resize(out.size() - 2);
    return out;
}

std::optional<size_t> FirstUnstorable(std::wstring_view text) {
    size_t bad = text.size();
    if (!ToUtf8(text, &bad)) bad = std::min(bad, text.size());
    size_t quote = text.find(L'"');
    size_t first = std::min(bad, quote == std::wstring_view::npos ? text.size() : quote);
    if (first >= text.size()) return std::nullopt;
    return first;
}

size_t CaptionWidth(std::wstring_view text) {
    if (auto b = ToCp932(text)) return b->size();
    size_t n = 0;
    for (size_t i = 0; i < text.size();) {
        const size_t len = CharLengthAt(text, i);
        auto one = ToCp932(text.substr(i, len));
        n += one ? one->size() : 2;
        i += len;
    }
    return n;
}

std::wstring FitCaption(const std::wstring& text, size_t selStart, size_t selEnd,
                        const std::wstring& insert, size_t limit) {
    selStart = std::min(selStart, text.size());
    selEnd = std::clamp(selEnd, selStart, text.size());
    size_t used = CaptionWidth(std::wstring_view(text).substr(0, selStart)) +
                  CaptionWidth(std::wstring_view(text).substr(selEnd));
    size_t take = 0;
    while (take < insert.size()) {
        // A surrogate pair goes in whole or not at all.
        const size_t len = CharLengthAt(insert, take);
        size_t b = CaptionWidth(std::wstring_view(insert).substr(take, len));
        if (used + b > limit) break;
        used += b;
        take += len;
    }
    return insert.substr(0, take);
}

std::wstring RowBoxText(const std::wstring& text, bool& whole) {
    whole = text.size() <= kRowBoxChars;
    if (whole) return text;
    size_t n = 0;
    while (n < kRowBoxChars) n += CharLengthAt(text, n);
    return text.substr(0, n > kRowBoxChars ? n - 2 : n);
}

std::wstring NormaliseLineBreaks(std::wstring_view text) {
    std::wstring out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'\r') {
            out += L"\r\n";
            if (i + 1 < text.size() && text[i + 1] == L'\n') ++i;
        } else if (text[i] == L'\n') {
            out += L"\r\n";
        } else {
            out += text[i];
        }
    }
    return out;
}

// ---- layout ------------------------------------------------------------------------------

EntryEditorLayout LayoutEntryEditor(int width, int height, int entryCount) {
    EntryEditorLayout l{};
    const int extra = static_cast<int>(RoundHalfEven((height - kMinHeight) / static_cast<double>(kRowStep)));
    l.width = std::max(width, kMinWidth);
    const int tallest = (entryCount - kMinRows) * kRowStep + kMinHeight;
    if (height < kMinHeight) l.height = kMinHeight;
    else if (height > tallest) l.height = std::max(tallest, kMinHeight);
    else l.height = extra * kRowStep + kMinHeight;
    const int W = l.width, H = l.height;
    l.headerWidth = W - 1105;
    l.headerHeight = H - 1590;
    l.viewportWidth = W - 1350;
    l.viewportHeight = H - 2210;
    l.columnWidth = W - 1360;
    l.resizableLeft = W - 3600;
    l.resizableTop = H - 750;
    l.buttonTop = H - 1310;
    l.focusHolderTop = H + 1400;
    l.scrollLeft = W - 760;
    l.scrollHeight = H - 2200;
    l.scrollMax = entryCount * kRowStep - (H - 2200) + 25;
    l.scrollShown = l.scrollMax >= 1;
    l.textBoxWidth = W - 3700;
    return l;
}

int ScrollForKey(int key, int position, int maximum) {
    const int top = std::max(0, maximum);
    switch (key) {
    case 34: return position < top ? std::min(position + kSmallChange, top) : position;
    case 33: return position > 0 ? std::max(position - kSmallChange, 0) : position;
    case 35: return top;
    case 36: return 0;
    }
    return position;
}

int CaptionKeyTarget(int key, int row, int entryCount, int shownRows) {
    int r = 0;
    if (key == 38 && row != 1) r = row - 1;
    if (key == 40 && row != entryCount) r = row + 1;
    return (r >= 1 && r <= shownRows) ? r : 0;
}

int ScrollToShowRow(int row, int maximum) {
    return row > kMinRows ? std::max(0, std::min((row - kMinRows) * kRowStep, maximum)) : 0;
}

std::pair<int, int> RowsInView(int position, int viewport, int shownRows, int margin) {
    const int first = std::max(1, position / kRowStep + 1 - margin);
    const int end = std::min(shownRows + 1, (position + std::max(0, viewport)) / kRowStep + 2 + margin);
    return {first, std::max(first, end)};
}

}  // namespace editor
