#pragma once
// The panel's column of entry buttons: the entries of the data set shown, their buttons
// (a handful reused while scrolling), the scroll bar, the layout of the whole panel around
// them and the keyboard walk over them.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "panel/hotkey_logic.h"
#include "panel/panel_host.h"
#include "panel/panel_logic.h"
#include "store/dataset_format.h"
#include "win/form.h"

// The panel's own buttons that the layout places around the column.
struct PanelButtons {
    Control* edit = nullptr;
    Control* mode = nullptr;
    Control* prev = nullptr;
    Control* next = nullptr;
    Control* newLine = nullptr;
    Control* grip = nullptr;
};

class EntryColumn {
public:
    struct Links {
        std::function<void(int entry)> onEntry;     // an entry button clicked
        std::function<void(int entry)> onEnterKey;  // Enter or Space on the focused entry
        std::function<void(Control*)> onButtonKey;  // Enter or Space on a focused button
        std::function<void()> onEscape;          // Esc on an entry: back to the target
        std::function<void(wchar_t)> onTypeAhead;  // a character typed on a stop: the search
        std::function<bool()> gone;              // the panel is closing or destroyed
    };
    // buttons: made by the panel after the column, read at every layout.
    EntryColumn(Form& panel, IPanelHost& host, const PanelButtons& buttons, Links links);

    void CreateControls();
    // Reads the ticked data set; unchanged data leaves the buttons as they are.
    void LoadDataSet();
    void LayoutPanel();
    void OnResized();
    LRESULT OnSizing(WPARAM edge, RECT* r) const;
    void OnScroll(int code);
    void OnWheel(int delta);
    // High contrast, or a scheme with light window text: frames and entries in system colours.
    void ReadColourScheme();
    // The next load reads the file again even when its bytes look the same.
    void Invalidate() { loaded_.valid = false; }
    void LayoutNotReady() { layoutReady_ = false; }
    bool LayoutReady() const { return layoutReady_; }
    void ForgetLayout() { haveLayout_ = false; }
    bool AtLaidOutSize() const;

    int Count() const { return entryCount_; }
    DataSet Set() const { return entriesSet_; }  // the data set the entries were read from
    // Private is locked: the column shows one entry that asks for the password, nothing of its own.
    bool Locked() const { return locked_; }
    std::wstring Text(int entry) const;
    const std::vector<Entry>& Entries() const { return entries_; }
    unsigned Version() const { return dataVersion_; }  // one more at every load that changed the entries
    void FocusEntry(int entry);
    // The keys of the walk over the entries and the buttons (Tab, arrows, Home, End, pages)
    // from the control that has the focus; false: not such a key.
    bool OnKey(HWND from, WPARAM vk);
    // The control takes the walk's keys: a stop of it, or the focus holder that enters it.
    void WatchKeys(Control* c, bool focusHolder);

private:
    void PlaceEntryButtons();
    void PlaceLoadedButtons();  // from the top, after a load
    void ShowBlankButtons();    // 25 blank entries in place of a set that could not be shown
    void ShowUnreadablePrivate(const DataSetService::Prepared& prepared);
    void ShowLocked();
    void WipeEntries();  // Private's texts do not stay in freed memory
    void SetScrollValue(int v);
    void StoreRowSetting();
    void MoveGrip();
    ::DataSet ChosenSet() const { return host_.Choices().dataSet; }
    PasteMode Mode() const { return host_.Choices().mode; }
    std::vector<Control*> RingButtons() const;  // the panel's buttons shown, in screen order
    std::optional<hotkey::FocusStop> StopOf(HWND h) const;
    void Press(HWND h);
    static LRESULT CALLBACK RingKeyProc(HWND h, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id, DWORD_PTR self);

    Form& panel_;
    IPanelHost& host_;
    const PanelButtons& buttons_;
    Links links_;

    Control* viewport_ = nullptr;      // clips the column to the visible rows
    Control* column_ = nullptr;        // the entry buttons, moved by the scroll bar
    Control* scrollBar_ = nullptr;
    // Entry buttons are reused while scrolling: slot k shows entry firstButton_ + k.
    std::vector<Control*> slots_;
    int firstButton_ = 0;

    int16_t entryCount_ = 0;  // the entries shown: the first entryCount_ of entries_
    std::vector<Entry> entries_;
    DataSet entriesSet_ = DataSet::Public;
    bool locked_ = false;
    int16_t visibleRows_ = 1;
    unsigned loadGeneration_ = 0;
    int storedRows_[4] = {-99999, -99999, -99999, -99999};  // last row settings written
    // What is on screen, so that a reload of unchanged data changes nothing and costs little.
    struct Loaded {
        bool valid = false;
        DataSet set = DataSet::Public;
        std::string bytes;
        int16_t count = 0;
    } loaded_;
    unsigned dataVersion_ = 0;  // one more at every load that changed the entries
    struct Placed {
        int first = -1, need = -1, scroll = -1, count = -1;
        unsigned version = 0;
        int rows = -1;  // the viewport's rows bound the column's height
        bool operator==(const Placed&) const = default;
    } placed_;
    bool layoutReady_ = false;
    bool haveLayout_ = false;
    bool layoutKept_ = false;  // the last LayoutPanel found everything in place
    PanelLayout lastLayout_{};
    int scrollValue_ = 0;
    int scrollMax_ = 0;
    bool systemColours_ = false;
};
