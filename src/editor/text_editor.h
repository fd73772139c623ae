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

    // Creates the window, runs the load handler and shows it.
    bool Form_Load();
    void Form_Activate();
    void Form_Resize();
    void Form_QueryUnload();
    void Command1_Click();  // 更　新
    void Command2_Click();  // キャンセル
    void Command3_Click();  // 日本語ｵﾝ/ｵﾌ
    void Image1_MouseDown();

    Control* Text1 = nullptr;     // the text being edited
    Control* Command1 = nullptr;  // 更　新
    Control* Command2 = nullptr;  // キャンセル
    Control* Command3 = nullptr;  // 日本語ｵﾝ/ｵﾌ
    Control* Label1 = nullptr;    // the notes
    Control* Label2 = nullptr;    // ウィンドウの幅と高さは可変です。
    Control* Image1 = nullptr;    // size grip

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void CreateControls();
    void Close();

    EntryEditor& editor_;
    bool inLayout_ = false;
    bool closed_ = false;
};
