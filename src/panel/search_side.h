#pragma once
// The panel's side of the search: the folded entries of every data set (kept between
// searches, folded again only when a set changed), the window, and its pastes handed to the
// paste side like any other source.
#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "panel/panel_host.h"
#include "panel/search_fold_win.h"
#include "panel/search_logic.h"

class EntryColumn;
class PasteSide;
class SearchWindow;

class SearchSide {
public:
    // askPrivate: the panel's own choice of Private (the password when it is asked for).
    SearchSide(HWND panel, IPanelHost& host, EntryColumn& column, PasteSide& paste, std::function<void()> askPrivate);
    ~SearchSide();

    // The window, with `typed` in its box; the paste target is the one the panel keeps.
    void Open(const std::wstring& typed = {});
    // A character typed on the focused panel: opens the window with it, or goes on into its box.
    void TypeAhead(wchar_t c);
    // The panel loaded a set: an open window shows what changed.
    void SetsLoaded();
    // Private closed or locked: no line of it stays on screen, nothing of it in memory.
    void PrivateClosed();

private:
    bool PrivateOpen() const;
    bool Sync();  // true when a set changed
    void Paste(const search::Hit& hit, bool typed);

    HWND panel_;
    IPanelHost& host_;
    EntryColumn& column_;
    PasteSide& paste_;
    std::function<void()> askPrivate_;
    WinFold fold_;
    search::SearchIndex index_;
    std::unique_ptr<SearchWindow> window_;
};
