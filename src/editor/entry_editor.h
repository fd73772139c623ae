#pragma once
// The entry editor: every entry of the ticked data set as a row of number, colour cell,
// caption box and text box; moving, inserting and deleting rows; the text editor (TextEditor) and
// the colour chooser (ColourChooser) for one row. Shown without a modal loop over a disabled panel;
// writes the data file when it closes, and the panel reloads it when it is active again.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/own_windows.h"
#include "editor/box_input.h"
#include "editor/editor_ids.h"
#include "editor/entry_editor_logic.h"
#include "win/form.h"

class TextEditor;
class ColourChooser;

// What the editor is handed by the program around it.
struct EditorLinks {
    HWND panel = nullptr;          // owner; disabled while the editor is open
    OwnWindowTable* own = nullptr;
    std::wstring exeName;          // the settings' application name
    double osVersion = 5.1;
    std::wstring dataDir;          // Color.dat lives here
    // Asked at every load, save, insert and delete: the plain file of the ticked data set.
    std::function<std::wstring()> currentFile;
    // The row setting (Number1..3) of the ticked data set; a deletion may lower it.
    std::function<int16_t&()> rowSetting;
};

class EntryEditor : public Form {
public:
    explicit EntryEditor(EditorLinks links);
    ~EntryEditor() override;

    // Creates the window and runs the load handler; Show brings it up and activates it.
    bool Form_Load();
    void Show();

    void Form_Activate();
    void Form_Resize();
    // Closing by any means: saves. False (and the window stays open) when the file could
    // not be written.
    bool Form_QueryUnload();
    void Command1_Click();  // 更　新
    void Command2_Click();  // up
    void Command3_Click();  // down
    void Command4_Click();  // 追　加
    void Command5_Click();  // 削　除
    void Command6_Click();  // 日本語ｵﾝ/ｵﾌ
    void Label1_Click(int i);
    void Text1_Click(int i);
    void Text2_Click(int i);
    void Picture1_Click(int i);
    void Text2_DblClick(int i);
    void Text2_LostFocus(int i);
    void Form_KeyDown(UINT key, int captionRow);
    void VScroll1_Change();
    void Image1_MouseDown();

    void LoadRows();  // from the current data file
    // False when nothing changed: the writer refused a row (the user is told which) or the
    // file could not be written.
    bool InsertBlankRow();
    bool DeleteSelectedRow();

    // What the text editor and the colour chooser use.
    editor::Session& Session() { return session_; }
    editor::RowModel& Rows() { return rows_; }
    void SetRowText(int i, const std::wstring& text);
    void SetEditButtonsEnabled(bool on);  // 更　新, 追　加, 日本語ｵﾝ/ｵﾌ
    const EditorLinks& Links() const { return links_; }
    int ScrollValue() const { return scroll_; }
    int ScrollMax() const { return scrollMax_; }
    InputHint* Hint() { return hint_.get(); }

    // Controls, by their form-design names.
    Control* Frame1 = nullptr;    // headings above the rows, and the viewport
    Control* Frame2 = nullptr;    // viewport of the rows
    Control* Frame3 = nullptr;    // the rows, moved up by the scroll position
    Control* VScroll1 = nullptr;
    Control* Command1 = nullptr;  // 更　新: save and close
    Control* Command2 = nullptr;  // up arrow: moves the selected row up
    Control* Command3 = nullptr;  // down arrow
    Control* Command4 = nullptr;  // 追　加: a blank row below the selected one
    Control* Command5 = nullptr;  // 削　除: deletes the selected row
    Control* Command6 = nullptr;  // 日本語ｵﾝ/ｵﾌ: switches the input method
    Control* Text3 = nullptr;     // focus holder below the window's bottom edge
    Control* Image1 = nullptr;    // size grip
    Control* Label2 = nullptr;    // the note about trailing line breaks
    Control* Label3 = nullptr;    // ウィンドウの幅と高さは可変です。

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    // One reused row of controls; row is -1 while the slot is free.
    struct Slot {
        int row = -1;
        Control* label = nullptr;    // Label1(row)
        Control* picture = nullptr;  // Picture1(row)
        Control* caption = nullptr;  // Text1(row)
        Control* text = nullptr;     // Text2(row)
        bool lit = false;            // highlighted as last shown
    };
    void CreateControls();
    void LoadRowsFrom(DataSetContents file);
    Slot& NewSlot(int row);  // -1: a hidden spare
    int RowTop(int row) const;
    Slot* SlotOf(int row);
    Slot* SlotOfControl(HWND h, int* kind = nullptr);
    Slot& Bind(int row);       // a slot for the row, in view or not
    void ShowRow(Slot& s);     // the slot's controls from the model
    void ShowTextScrollBar(Slot& s);
    void PlaceRows();          // slots for the rows in view; the focused box keeps its row
    void RefreshRows();        // every bound slot shown again from the model
    void CompletePool();
    void FocusBox(int row, bool caption);
    void ApplyButtons();
    void ApplyIme(int row, bool caption);
    void SetScrollValue(int v);
    void SetScrollRange();
    void OnScroll(int code);
    bool WriteFile(const std::string& bytes);
    bool Refused(const EncodeResult& e);  // tells the user which row cannot be stored
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
    int text2Width_ = 5100;
    bool binding_ = false;   // text set by the program, not typed
    bool inLayout_ = false;
    bool closing_ = false;
    HBRUSH white_ = nullptr;
    HBRUSH highlight_ = nullptr;
};
