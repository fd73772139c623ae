#pragma once
// The data editor from outside: entries typed, moved and coloured in the entry editor, a text
// edited in the text editor, Private's working copy, and what the panel then pastes.
#include <string>
#include <vector>

#include "e2e_hariko.h"

#include "e2e_scenarios.h"

namespace e2e {

// Scenarios 30 to 39; each sets up the state it needs itself.
const std::vector<Scenario>& editorScenarios();

// Steps other editor scenarios share. A real click on the centre of a control, then a pause.
bool Click(Report& rep, HWND w, const std::wstring& what);
// 設  定 / 編  集 on the panel; the editor's window once its controls are there, else null.
HWND OpenEditor(Report& rep, Hariko& h);
// A row's control (entry_editor::kCaptionBox, kTextBox, kColourCell) found by its row number.
HWND RowBox(HWND editor, int row, int kind);
// A real click on the number the editor draws at the start of the row.
bool ClickRowNumber(Report& rep, HWND editor, int row);
// Closes the editor by its close box (it saves) and waits for the panel to be enabled.
bool CloseEditorBox(Report& rep, Hariko& h, HWND editor);

}  // namespace e2e
