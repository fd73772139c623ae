#pragma once
// The multi-line text editor: a large box for the text of the entry editor's selected row.
// 更　新 writes the text back to that row (without the line breaks just typed at its end);
// キャンセル and the close box leave the row as it was. It never touches a file.
#include <windows.h>

#include "editor/editor_ids.h"
#include "win/form.h"

class EntryEditor;

class TextEditor : public Form {
public:
    explicit TextEditor(EntryEditor& editor);
    ~TextEditor() override;

    // Creates the window, fills it and shows it.
    bool Open();
    void OnActivated();
    void OnResized();
    void OnClosing();
    void OnSave();
    void OnCancel();
    void OnToggleIme();
    void OnGripPressed();

    Control* editText = nullptr;
    Control* btnSave = nullptr;       // 更　新
    Control* btnCancel = nullptr;     // キャンセル
    Control* btnToggleIme = nullptr;  // 日本語ｵﾝ/ｵﾌ
    Control* lblNotes = nullptr;
    Control* lblResizable = nullptr;  // ウィンドウの幅と高さは可変です。
    Control* sizeGrip = nullptr;

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void CreateControls();
    void Close();

    EntryEditor& editor_;
    bool inLayout_ = false;
    bool closed_ = false;
};
