#include "panel/search_side.h"

#include "panel/entry_column.h"
#include "panel/paste_side.h"
#include "panel/search_window.h"
#include "store/datafiles.h"

SearchSide::SearchSide(HWND panel, IPanelHost& host, EntryColumn& column, PasteSide& paste,
                       std::function<void()> askPrivate)
    : panel_(panel), host_(host), column_(column), paste_(paste), askPrivate_(std::move(askPrivate)) {}

SearchSide::~SearchSide() = default;

bool SearchSide::PrivateOpen() const {
    // Open means shown by the panel: its working copy, or a sealed Private that is unlocked.
    DataSetService& sets = host_.DataSets();
    return host_.Choices().dataSet == DataSet::Private && column_.Set() == DataSet::Private &&
           (sets.Unlocked() || !sets.FileIsSealed());
}

bool SearchSide::Sync() {
    bool changed = false;
    for (DataSet set : {DataSet::Public, DataSet::Kaomoji}) {
        const std::string bytes = ReadAllBytes(host_.DataSets().PlainFile(set)).value_or(std::string());
        const uint64_t stamp = search::StampOf(bytes);
        if (index_.Current(set, stamp)) continue;
        index_.Sync(set, stamp, ParseDataSet(bytes), fold_);
        changed = true;
    }
    if (!PrivateOpen()) {
        changed = changed || index_.Synced(DataSet::Private);
        index_.Forget(DataSet::Private);
    } else if (!index_.Current(DataSet::Private, column_.Version())) {
        index_.Sync(DataSet::Private, column_.Version(), column_.Entries(), fold_);
        changed = true;
    }
    return changed;
}

void SearchSide::Open(const std::wstring& typed) {
    Sync();
    if (!window_) {
        window_ = std::make_unique<SearchWindow>(SearchWindow::Links{
            .panel = panel_,
            .own = &host_.WindowSlots(),
            .index = &index_,
            .fold = &fold_,
            .privateOpen = [this] { return PrivateOpen(); },
            .paste = [this](const search::Hit& hit, bool typed) { Paste(hit, typed); },
            .askPrivate = askPrivate_,
            .giveFocusBack = [this] { paste_.GiveFocusBack(); }});
    }
    window_->Open(typed);
}

void SearchSide::TypeAhead(wchar_t c) {
    if (window_ && window_->Shown()) window_->Type(c);
    else Open(std::wstring(1, c));
}

void SearchSide::SetsLoaded() {
    if (window_ && window_->Shown() && Sync()) window_->Refilter();
}

void SearchSide::PrivateClosed() {
    if (window_) window_->Close();
    index_.Forget(DataSet::Private);
}

void SearchSide::Paste(const search::Hit& hit, bool typed) {
    const Entry* e = index_.EntryOf(hit);
    if (!e) return;
    paste_.OnSearchPaste({.text = e->text, .isPrivate = hit.set == DataSet::Private, .typed = typed, .source = PasteSource::Search});
}
