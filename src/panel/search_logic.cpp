#include "panel/search_logic.h"

#include <algorithm>

#include "base/wipe.h"

namespace search {
namespace {
// A private-use character: no fold maps it, and no entry is searched for it.
constexpr wchar_t kJoin = 0xE000;
constexpr size_t kFirstLineMax = 200;

bool IsSpace(wchar_t c) { return c == L' ' || c == 0x3000; }

std::wstring FirstLine(const std::wstring& text) {
    size_t end = std::min(text.find_first_of(L"\r\n"), text.size());
    if (end > kFirstLineMax) {
        end = kFirstLineMax;
        if (text[end - 1] >= 0xD800 && text[end - 1] <= 0xDBFF) --end;  // never half a pair
    }
    return text.substr(0, end);
}

bool HoldsAll(const std::wstring& s, const std::vector<std::wstring>& words) {
    return std::all_of(words.begin(), words.end(), [&](const std::wstring& w) { return s.find(w) != std::wstring::npos; });
}
}  // namespace

std::vector<std::wstring> FoldMany(const IFold& fold, const std::vector<std::wstring_view>& texts) {
    std::wstring joined;
    for (std::wstring_view t : texts) {
        for (wchar_t c : t) joined += c == kJoin ? L' ' : c;
        joined += kJoin;
    }
    std::wstring folded = fold.Fold(joined);
    wipe::Clear(joined);
    std::vector<std::wstring> out;
    size_t start = 0;
    for (size_t at; (at = folded.find(kJoin, start)) != std::wstring::npos; start = at + 1)
        out.emplace_back(folded, start, at - start);
    wipe::Clear(folded);
    if (out.size() == texts.size()) return out;
    out.clear();
    for (std::wstring_view t : texts) out.push_back(fold.Fold(t));
    return out;
}

std::vector<std::wstring> Words(std::wstring_view folded) {
    std::vector<std::wstring> words;
    std::wstring w;
    for (wchar_t c : folded) {
        if (!IsSpace(c)) {
            w += c;
        } else if (!w.empty()) {
            words.push_back(std::move(w));
            w.clear();
        }
    }
    if (!w.empty()) words.push_back(std::move(w));
    return words;
}

std::wstring LineFor(const std::wstring& caption, DataSet set, const std::wstring& text) {
    std::wstring line = caption + L" 〔" + SetName(set) + L"〕";
    if (set != DataSet::Private) line += L" " + FirstLine(text);
    return line;
}

uint64_t StampOf(std::string_view bytes) {
    uint64_t h = 14695981039346656037ull;
    for (unsigned char c : bytes) h = (h ^ c) * 1099511628211ull;
    return h;
}

bool SearchIndex::Current(DataSet set, uint64_t stamp) const {
    const Set& s = sets_[StoredNumber(set) - 1];
    return s.synced && s.stamp == stamp;
}

void SearchIndex::Sync(DataSet set, uint64_t stamp, const std::vector<Entry>& entries, const IFold& fold) {
    Forget(set);
    Set& s = sets_[StoredNumber(set) - 1];
    std::vector<std::wstring_view> texts;
    for (size_t i = 0; i < entries.size(); ++i) {
        if (entries[i].caption.empty() && entries[i].text.empty()) continue;
        s.items.push_back({static_cast<int>(i), {}, {}});
        texts.push_back(entries[i].caption);
        texts.push_back(entries[i].text);
    }
    std::vector<std::wstring> folded = FoldMany(fold, texts);
    for (size_t k = 0; k < s.items.size(); ++k) {
        s.items[k].caption = std::move(folded[2 * k]);
        s.items[k].text = std::move(folded[2 * k + 1]);
    }
    s.entries = entries;
    s.stamp = stamp;
    s.synced = true;
}

void SearchIndex::Forget(DataSet set) {
    Set& s = sets_[StoredNumber(set) - 1];
    for (Entry& e : s.entries) wipe::Clear(e.caption), wipe::Clear(e.text);
    for (Item& i : s.items) wipe::Clear(i.caption), wipe::Clear(i.text);
    s = Set{};
}

Found SearchIndex::Filter(std::wstring_view box, const IFold& fold, bool privateOpen) const {
    const std::vector<std::wstring> words = Words(fold.Fold(box));
    std::vector<Hit> tiers[3];
    for (DataSet set : {DataSet::Public, DataSet::Private, DataSet::Kaomoji}) {
        if (set == DataSet::Private && !privateOpen) continue;
        for (const Item& item : sets_[StoredNumber(set) - 1].items) {
            const bool inCaption = HoldsAll(item.caption, words);
            int tier = 2;
            if (inCaption) tier = words.empty() || item.caption.rfind(words[0], 0) == 0 ? 0 : 1;
            else if (!std::all_of(words.begin(), words.end(), [&](const std::wstring& w) {
                         return item.caption.find(w) != std::wstring::npos || item.text.find(w) != std::wstring::npos;
                     }))
                continue;
            tiers[tier].push_back({set, item.entry});
        }
    }
    Found found;
    for (auto& t : tiers) found.hits.insert(found.hits.end(), t.begin(), t.end());
    found.lockedLine = !privateOpen;
    return found;
}

const Entry* SearchIndex::EntryOf(const Hit& h) const {
    const Set& s = sets_[StoredNumber(h.set) - 1];
    return h.entry >= 0 && static_cast<size_t>(h.entry) < s.entries.size() ? &s.entries[static_cast<size_t>(h.entry)] : nullptr;
}

std::wstring SearchIndex::Line(const Hit& h) const {
    const Entry* e = EntryOf(h);
    return e ? LineFor(e->caption, h.set, e->text) : std::wstring();
}

size_t SearchIndex::Size() const { return sets_[0].items.size() + sets_[1].items.size() + sets_[2].items.size(); }

bool ImeEnterGate::EnterPastes(uint32_t messageTime, size_t heldChars) {
    if (composing_ || heldChars > 0) return false;
    // The key that ended the composition comes after its end; the next press is a new one.
    if (ended_ && static_cast<int32_t>(messageTime - endedAt_) <= 0) {
        ended_ = false;
        return false;
    }
    ended_ = false;
    return true;
}

Box PlaceBeside(const Box& panel, const Box& work, int width, int height) {
    const int roomRight = work.right - panel.right, roomLeft = panel.left - work.left;
    int left = roomRight >= width || roomRight >= roomLeft ? panel.right : panel.left - width;
    left = std::clamp(left, work.left, std::max(work.left, work.right - width));
    const int top = std::clamp(panel.top, work.top, std::max(work.top, work.bottom - height));
    return {left, top, left + width, top + height};
}

}  // namespace search
