// The entry editor opened from the panel, with what it needs of the rest of the program.
#include "app/program.h"
#include "base/stored_names.h"
#include "editor/entry_editor.h"
#include "store/datafiles.h"
#include "win/app.h"

void Program::OpenEditor() {
    if (entryEditor_ && entryEditor_->hwnd()) {
        SetForegroundWindow(entryEditor_->hwnd());
        return;
    }
    PanelWindow& panel = *panel_;
    const bool onPrivate = panel.ChosenSet() == DataSet::Private;
    const bool sealed = onPrivate && dataSets_.FileIsSealed();
    // Private without its working copy (it could not be decrypted): a copy the editor made
    // would be taken for Private's entries, and MyData_2.dat dropped for it.
    if (onPrivate && (sealed ? !dataSets_.UnlockedBytes() : !FileExists(dataSets_.PlainFile(DataSet::Private)))) {
        MsgBox(L"Privateのデータが読み込まれていないため、編集できません。", MB_OK | MB_ICONEXCLAMATION, app_.exeName);
        return;
    }
    EditorLinks links;
    links.panel = panel.hwnd();
    links.own = &app_.own;
    links.exeName = app_.exeName;
    links.osVersion = app_.osVersion;
    links.dataDir = app_.dataDir;
    links.currentFile = [this] { return dataSets_.PlainFile(panel_->ChosenSet()); };
    if (sealed) {
        links.currentFile = [this] { return dataSets_.File(stored::kPrivateFile); };
        links.readInMemory = [this] { return dataSets_.UnlockedBytes(); };
        links.saveInMemory = [this](const std::string& bytes) { return dataSets_.SaveSealed(bytes); };
    }
    links.rowSetting = [this]() -> int16_t& {
        return app_.RowsOf(panel_->ChosenSet());
    };
    entryEditor_ = std::make_unique<EntryEditor>(std::move(links));
    if (!entryEditor_->Open()) {
        entryEditor_.reset();
        return;
    }
    entryEditor_->Show();
}

void Program::CloseEditor() {
    if (!entryEditor_ || !entryEditor_->hwnd()) return;
    SendMessageW(entryEditor_->hwnd(), WM_CLOSE, 0, 0);
    // A save that failed has been reported; the program is ending, so the window goes anyway.
    if (entryEditor_->hwnd()) DestroyWindow(entryEditor_->hwnd());
}
