#pragma once
// ｴﾝﾄﾘを探す: a box and a list of every data set's entries that hold what was typed. Enter
// pastes the chosen entry into the window the user was working in, Esc goes back there. The
// window is made once and hidden between uses, so that it opens at once.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "base/own_windows.h"
#include "panel/search_logic.h"
#include "win/form.h"

class SearchWindow : public Form {
public:
    struct Links {
        HWND panel = nullptr;  // owner: the window goes beside it
        OwnWindowTable* own = nullptr;
        const search::SearchIndex* index = nullptr;
        const search::IFold* fold = nullptr;
        std::function<bool()> privateOpen;
        std::function<void(const search::Hit&, bool typed)> paste;
        std::function<void()> askPrivate;     // the line that says Private is locked
        std::function<void()> giveFocusBack;  // to the window the user was working in
    };
    explicit SearchWindow(Links links);
    ~SearchWindow() override;

    // Shown beside the panel with the box holding `typed`; false when it could not be made.
    bool Open(const std::wstring& typed);
    bool Shown() const { return hwnd_ && IsWindowVisible(hwnd_); }
    // The entries changed: the list again for what the box holds.
    void Refilter();
    // A character typed on the panel after the one that opened the window.
    void Type(wchar_t c);
    // Hidden with nothing left in the box or the list.
    void Close();

    Control* editSearch = nullptr;
    Control* listFound = nullptr;

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    bool Create();
    void OnQueryChanged();
    void FillMore();  // the next lines of hits_; the timer brings the rest
    void OnEnter(bool typed);
    void OnEscape();
    static LRESULT CALLBACK KeyProc(HWND h, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id, DWORD_PTR self);

    Links links_;
    std::vector<search::Hit> hits_;
    bool lockedLine_ = false;
    size_t filled_ = 0;         // lines in the list so far; the rest follow in chunks
    bool quiet_ = false;        // the box is being set: no filter for each change
    search::ImeEnterGate ime_;
};
