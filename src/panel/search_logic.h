#pragma once
// Finding an entry by typing: every data set folded once (kana type, width and case) when it
// loads or changes, the words of the box matched against captions and texts, the order of the
// hits, the Enter that only commits the input method's text, and where the window goes.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/data_set.h"
#include "store/dataset_format.h"

namespace search {

inline const std::wstring kCaption = L"ｴﾝﾄﾘを探す";
inline const std::wstring kMenuCaption = L"ｴﾝﾄﾘを探す...";
inline const std::wstring kLockedLine = L"Privateはロック中です";

// Folds kana type, width and case the same way for the entries and for the box. The Win32
// side asks the system; the tests give a table.
class IFold {
public:
    virtual ~IFold() = default;
    virtual std::wstring Fold(std::wstring_view text) const = 0;
};

// Many strings folded in one call of the fold (joined by a character no fold touches); one
// call each when the joined result does not split back into as many pieces.
std::vector<std::wstring> FoldMany(const IFold& fold, const std::vector<std::wstring_view>& texts);

// The words of a folded box: split at half- and full-width spaces.
std::vector<std::wstring> Words(std::wstring_view folded);

// What a line of the list shows: the caption, the set in brackets, the text's first line; a
// Private entry shows its caption only.
std::wstring LineFor(const std::wstring& caption, DataSet set, const std::wstring& text);

// One hit: the data set and the entry's index in it.
struct Hit {
    DataSet set = DataSet::Public;
    int entry = 0;
    bool operator==(const Hit&) const = default;
};

struct Found {
    std::vector<Hit> hits;
    bool lockedLine = false;  // Private is locked: a last line says so
};

class SearchIndex {
public:
    // The entries of a set as they are now; stamp names their state (the file's bytes, a load)
    // so that an unchanged set is not folded again. Entries with neither caption nor text are
    // not listed.
    bool Current(DataSet set, uint64_t stamp) const;
    bool Synced(DataSet set) const { return sets_[StoredNumber(set) - 1].synced; }
    void Sync(DataSet set, uint64_t stamp, const std::vector<Entry>& entries, const IFold& fold);
    // The set's strings wiped and dropped (Private closed or locked).
    void Forget(DataSet set);

    // Every word of the box in the caption or the text; captions that start with the first
    // word first, then other caption hits, then text hits; within each the sets in order
    // (Public, Private, 顔文字) and the entries in order. Private only while it is open.
    Found Filter(std::wstring_view box, const IFold& fold, bool privateOpen) const;

    std::wstring Line(const Hit& h) const;
    const Entry* EntryOf(const Hit& h) const;
    size_t Size() const;

private:
    struct Item {
        int entry = 0;
        std::wstring caption, text;  // folded
    };
    struct Set {
        uint64_t stamp = 0;
        bool synced = false;
        std::vector<Entry> entries;
        std::vector<Item> items;
    };
    Set sets_[3];
};

// FNV-1a over bytes: the stamp of a file's contents.
uint64_t StampOf(std::string_view bytes);

// While the input method composes, Enter commits its text; only an Enter after that pastes.
class ImeEnterGate {
public:
    void StartComposition() { composing_ = true; }
    void EndComposition(uint32_t messageTime) { composing_ = false, endedAt_ = messageTime, ended_ = true; }
    // An Enter key sent at messageTime while the input method holds heldChars of text.
    bool EnterPastes(uint32_t messageTime, size_t heldChars);

private:
    bool composing_ = false;
    bool ended_ = false;
    uint32_t endedAt_ = 0;
};

// Beside the panel, on the side with room, inside the work area; top at the panel's top.
struct Box {
    int left = 0, top = 0, right = 0, bottom = 0;
};
Box PlaceBeside(const Box& panel, const Box& work, int width, int height);

}  // namespace search
