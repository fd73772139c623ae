#pragma once
// The entry editor: every entry of the ticked data set as a row of number, colour cell,
// caption box and text box; moving, inserting and deleting rows; the text editor (TextEditor) and
// the colour chooser (ColourChooser) for one row. Shown without a modal loop over a disabled panel;
// writes the data file when it closes, and the panel reloads it when it is active again.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/own_windows.h"
#include "editor/box_input.h"
#include "editor/editor_ids.h"
#include "editor/entry_editor_logic.h"
#include "win/colour_scheme.h"
#include "win/form.h"

class TextEditor;
class ColourChooser;

// What the editor is handed by the program around it.
struct EditorLinks {
    HWND panel = nullptr;          // owner; held up while the editor is open
    OwnWindowTable* own = nullptr;
    std::wstring exeName;          // the settings' application name
    double osVersion = 5.1;
    std::wstring dataDir;          // Color.dat lives here
    // Asked at every load, save, insert and delete: the plain file of the ticked data set.
    std::function<std::wstring()> currentFile;
    // Set for a sealed Private: the rows come from memory and go back sealed, never through
    // a plain file; currentFile then names the sealed file for messages.
    std::function<std::optional<std::string>()> readInMemory;
    std::function<bool(const std::string&)> saveInMemory;
    // The row setting (Number1..3) of the ticked data set; a deletion may lower it.
    std::function<int16_t&()> rowSetting;
};

class EntryEditor : public Form {
public:
    explicit EntryEditor(EditorLinks links);
    ~EntryEditor() override;

    // Creates the window and loads the rows; Show brings it up and activates it.
    bool Open();
    void Show();

    void OnActivated();
    void OnResized();
    // Closing by any means: saves. False (and the window stays open) when the file could
    // not be written.
    bool OnClosing();
    void OnSave();
    void OnMoveUp();
    void OnMoveDown();
    void OnMove(int step);
    void OnInsertRow();
    void OnDeleteRow();
    void OnToggleIme();
    void OnRowNumberClick(int row);
    void OnCaptionClick(int row);
    void OnTextClick(int row);
    void OnColourCellClick(int row);
    void OnTextDoubleClick(int row);
    void OnTextLeft(int row);
    // A key in the control `from` before it handles it: the rows' keys move the focus and the
    // view together; true when the key was used here.
    bool OnKeyDown(UINT key, HWND from);
    // A row control got the focus: its row is the chosen one and is shown whole.
    void OnRowFocused(int row, int kind);
    // Tab (or Shift+Tab, `back`) from the control `from`: the next box or button in reading order.
    void OnTab(HWND from, bool back);
    void OnScrolled();
    void OnGripPressed();

    void LoadRows();  // from the current data file
    // False when nothing changed: the writer refused a row (the user is told which) or the
    // file could not be written.
    bool InsertBlankRow();
    bool DeleteSelectedRow();

    // What the text editor and the colour chooser use.
    editor::Session& Session() { return session_; }
    editor::RowModel& Rows() { return rows_; }
    void SetRowText(int row, const std::wstring& text);
    void SetEditButtonsEnabled(bool on);  // 更　新, 追　加, 日本語ｵﾝ/ｵﾌ
    const EditorLinks& Links() const { return links_; }
    int ScrollValue() const { return scroll_; }
    int ScrollMax() const { return scrollMax_; }
    InputHint* Hint() { return hint_.get(); }

    Control* headerFrame = nullptr;   // the headings above the rows, and the viewport
    Control* rowViewport = nullptr;
    Control* rowColumn = nullptr;     // the rows, moved up by the scroll position
    Control* scrollBar = nullptr;
    Control* btnSave = nullptr;       // 更　新: saves and closes
    Control* btnMoveUp = nullptr;     // arrows: the selected row trades places with its neighbour
    Control* btnMoveDown = nullptr;
    Control* btnInsertRow = nullptr;  // 追　加: a blank row below the selected one
    Control* btnDeleteRow = nullptr;
    Control* btnToggleIme = nullptr;  // 日本語ｵﾝ/ｵﾌ
    Control* focusHolder = nullptr;   // below the window's bottom edge
    Control* sizeGrip = nullptr;
    Control* lblTrailingBreaks = nullptr;  // (注意) line breaks at the end are removed
    Control* lblResizable = nullptr;

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    // HandleMessage's parts; each returns nothing when the message goes on to the base.
    std::optional<LRESULT> OnRowNotification(WPARAM wp, LPARAM lp);
    std::optional<LRESULT> OnDrawItem(const DRAWITEMSTRUCT& di);
    std::optional<LRESULT> OnRowColours(WPARAM wp, LPARAM lp);
    void OnSizing(WPARAM edge, RECT& r);

    // One reused row of controls; row is -1 while the slot is free. The row number is no
    // control: the row column draws it.
    struct Slot {
        int row = -1;
        Control* colourCell = nullptr;
        Control* captionBox = nullptr;
        Control* textBox = nullptr;
        bool lit = false;            // highlighted as last shown
    };
    void CreateControls();
    void LoadRowsFrom(DataSetContents file);
    Slot& NewSlot(int row);
    int RowTop(int row) const;
    Slot* SlotOf(int row);
    Slot* SlotOfControl(HWND h, int* kind = nullptr);
    // A slot for the row, in view or not. With none free, `take` lets it take the slot of the
    // row farthest away that has no focus (a jump: the view follows and places that row again).
    Slot& Bind(int row, bool take = false);
    void ShowRow(Slot& s);     // the slot's controls from the model
    void ShowTextScrollBar(Slot& s);
    void PlaceRows();          // slots for the rows in view; the focused box keeps its row
    void RefreshRows();        // every bound slot shown again from the model
    RECT Cell(int row, int left, int width) const;  // in pixels of the row column
    void PaintRowNumbers(HDC dc, const RECT& dirty);
    void OnRowsPressed(POINT p);  // on a row's number or colour cell
    // The background brush of a row's number, caption and text, with the DC's colours set.
    HBRUSH RowCellColours(HDC dc, bool lit);
    void FocusBox(int row, bool caption);
    void FocusRowControl(int row, int kind);  // colour cell, caption box or text box
    void ApplyButtons();
    void ApplyIme(int row, bool caption);
    void SetScrollValue(int v);
    void FollowView();  // after a scroll: a focused row control out of view moves into it
    void SetScrollRange();
    void OnScrollBar(int code);
    bool WriteFile(const std::string& bytes);
    // Tells the user which row cannot be stored, or asks about rows a save would alter.
    bool Refused(const EncodeResult& e);
    bool Save();
    void Close();
    void CloseChildren();
    void DrawArrow(const DRAWITEMSTRUCT& di, bool up);

    EditorLinks links_;
    editor::Session session_;
    editor::RowModel rows_{session_};
    std::vector<Slot> slots_;
    std::unique_ptr<InputHint> hint_;
    std::unique_ptr<TextEditor> textEditor_;
    std::unique_ptr<ColourChooser> colourChooser_;
    int scroll_ = 0;
    int scrollMax_ = 0;
    int viewport_ = 6390;
    int textBoxWidth_ = 5100;
    bool binding_ = false;   // text set by the program, not typed
    bool inLayout_ = false;
    bool closing_ = false;
    bool activatedOnce_ = false;
    bool tearingDown_ = false;  // in the destructor: the window hears nothing more of its own
    HBRUSH white_ = nullptr;
    HBRUSH highlight_ = nullptr;
    bool systemColours_ = SchemeWantsSystemColours();  // the grid in the scheme's colours
};
