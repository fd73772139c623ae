// The entry editor's rows: the reused row controls, loading and saving, selecting, moving,
// inserting and deleting, the keys, and the child windows opened from a row.
#include "editor/entry_editor.h"

#include <imm.h>

#include <algorithm>
#include <cstdlib>

#include "editor/row_focus_logic.h"
#include "editor/text_editor.h"
#include "editor/colour_chooser.h"
#include "store/datafiles.h"
#include "win/app.h"
#include "win/late_bound.h"

// ---- the reused row controls --------------------------------------------------------------

EntryEditor::Slot& EntryEditor::NewSlot(int row) {
    using namespace entry_editor;
    const int k = static_cast<int>(slots_.size());
    Slot s;
    const HWND parent = rowColumn->hwnd;
    // A slot made for a row is made in its place with its texts: nothing to move or show later.
    const editor::Row* r = row >= 0 ? &rows_.At(row) : nullptr;
    const DWORD shown = r ? WS_VISIBLE : 0;
    const int top = r ? RowTop(row) : 0;
    const bool multiLine = r && r->text.find(L'\n') != std::wstring::npos;
    bool whole = true;
    const std::wstring boxText = r ? editor::RowBoxText(r->text, whole) : L"";
    // No SS_NOTIFY: the mouse goes through to the rows' frame, which takes the click and shows
    // the tip for the whole column of cells.
    s.colourCell = AddControl({.text = r ? RowName(row, kColourCell) : L"", .style = shown | SS_OWNERDRAW | WS_BORDER, .left = 487, .top = top,
                               .width = 510, .height = editor::kRowHeight, .parent = parent,
                               .id = RowControlId(k, kColourCell)});
    s.captionBox = AddControl({.cls = L"EDIT", .text = r ? r->caption : L"", .style = shown | ES_AUTOHSCROLL | WS_BORDER,
                               .left = 975, .top = top, .width = 1395, .height = editor::kRowHeight, .parent = parent,
                               .id = RowControlId(k, kCaptionBox)});
    s.textBox = AddControl({.cls = L"EDIT", .text = boxText,
                            .style = shown | ES_MULTILINE | ES_WANTRETURN | ES_AUTOVSCROLL | WS_BORDER |
                                     (multiLine ? WS_VSCROLL : 0) | (whole ? 0 : ES_READONLY),
                            .left = 2360, .top = top, .width = textBoxWidth_, .height = editor::kRowHeight,
                            .parent = parent, .id = RowControlId(k, kTextBox)});
    s.row = row;
    s.lit = r && r->highlighted;
    s.colourCell->backColor = r ? r->colour : editor::kTemplateColour;
    s.captionBox->SetFont(kFixedFont, 9);
    s.textBox->SetFont(kFixedFont, 9);
    auto rowNow = [this, k] { return slots_[static_cast<size_t>(k)].row; };
    const HWND colourCell = s.colourCell->hwnd, captionBox = s.captionBox->hwnd, textBox = s.textBox->hwnd;
    // The colour cell takes the focus from Tab only; Space opens the chooser as a click does.
    AttachBox(colourCell, BoxKind::Keys, nullptr,
              {.keyDown = [this, rowNow, colourCell](UINT key) {
                   if (key != VK_SPACE || rowNow() <= 0) return OnKeyDown(key, colourCell);
                   OnColourCellClick(rowNow());
                   return true;
               },
               .focus = [this, rowNow, colourCell] {
                   InvalidateRect(colourCell, nullptr, FALSE);
                   OnRowFocused(rowNow(), entry_editor::kColourCell);
               },
               .tab = [this, colourCell](bool back) { OnTab(colourCell, back); }});
    AttachBox(captionBox, BoxKind::Caption, hint_.get(),
              {.keyDown = [this, captionBox](UINT key) { return OnKeyDown(key, captionBox); },
               .click = [this, rowNow] { if (rowNow() >= 0) OnCaptionClick(rowNow()); },
               .focus = [this, rowNow] {
                   if (rowNow() >= 0) ApplyIme(rowNow(), true);
                   OnRowFocused(rowNow(), entry_editor::kCaptionBox);
               },
               .tab = [this, captionBox](bool back) { OnTab(captionBox, back); },
               // Named by the box itself: a label window a row would cost more than the box.
               .name = [rowNow] { return RowName(rowNow(), kCaptionBox); }});
    AttachBox(textBox, BoxKind::Text, hint_.get(),
              {.keyDown = [this, textBox](UINT key) { return OnKeyDown(key, textBox); },
               .keyPress = [this](wchar_t c, bool atEnd) {
                   session_.trailingEnters = editor::CountEnter(session_.trailingEnters, c, atEnd);
               },
               .click = [this, rowNow] { if (rowNow() >= 0) OnTextClick(rowNow()); },
               .doubleClick = [this, rowNow] { if (rowNow() >= 0) OnTextDoubleClick(rowNow()); },
               .focus = [this, rowNow, k] {
                   // The caret goes to the end of the text.
                   HWND h = slots_[static_cast<size_t>(k)].textBox->hwnd;
                   const int n = GetWindowTextLengthW(h);
                   SendMessageW(h, EM_SETSEL, n, n);
                   if (rowNow() >= 0) ApplyIme(rowNow(), false);
                   OnRowFocused(rowNow(), entry_editor::kTextBox);
               },
               .tab = [this, textBox](bool back) { OnTab(textBox, back); },
               .name = [rowNow] { return RowName(rowNow(), kTextBox); }});
    slots_.push_back(s);
    return slots_.back();
}

EntryEditor::Slot* EntryEditor::SlotOf(int row) {
    for (Slot& s : slots_)
        if (s.row == row) return &s;
    return nullptr;
}

EntryEditor::Slot* EntryEditor::SlotOfControl(HWND h, int* kind) {
    if (!h) return nullptr;
    for (Slot& s : slots_) {
        const Control* c[3] = {s.colourCell, s.captionBox, s.textBox};
        for (int k = 0; k < 3; ++k) {
            if (c[k]->hwnd == h) {
                if (kind) *kind = entry_editor::kColourCell + k;
                return &s;
            }
        }
    }
    return nullptr;
}

EntryEditor::Slot& EntryEditor::Bind(int row, bool take) {
    if (Slot* s = SlotOf(row)) return *s;
    Slot* free = nullptr;
    for (Slot& s : slots_)
        if (s.row < 0) { free = &s; break; }
    const HWND focus = GetFocus();
    for (Slot& s : slots_) {
        if (!take || (free && free->row < 0)) break;
        const bool focused = focus == s.colourCell->hwnd || focus == s.captionBox->hwnd || focus == s.textBox->hwnd;
        if (!focused && (!free || std::abs(s.row - row) > std::abs(free->row - row))) free = &s;
    }
    if (!free) return NewSlot(row);
    free->row = row;
    ShowRow(*free);
    return *free;
}

void EntryEditor::ShowRow(Slot& s) {
    const editor::Row& r = rows_.At(s.row);
    const int top = RowTop(s.row);
    binding_ = true;
    // A name only: the colour cell is owner-drawn.
    s.colourCell->SetText(entry_editor::RowName(s.row, entry_editor::kColourCell));
    s.colourCell->Move(487, top, 510, editor::kRowHeight);
    s.captionBox->Move(975, top, 1395, editor::kRowHeight);
    s.captionBox->SetText(r.caption);
    s.textBox->Move(2360, top, textBoxWidth_, editor::kRowHeight);
    bool whole = true;
    s.textBox->SetText(editor::RowBoxText(r.text, whole));
    SendMessageW(s.textBox->hwnd, EM_SETREADONLY, !whole, 0);
    binding_ = false;
    ShowTextScrollBar(s);
    if (s.colourCell->backColor != r.colour) {
        s.colourCell->backColor = r.colour;
        InvalidateRect(s.colourCell->hwnd, nullptr, TRUE);
    }
    if (s.lit != r.highlighted) {
        s.lit = r.highlighted;
        for (Control* c : {s.captionBox, s.textBox}) InvalidateRect(c->hwnd, nullptr, TRUE);
        const RECT number = Cell(s.row, 0, 495);
        InvalidateRect(rowColumn->hwnd, &number, FALSE);
    }
    for (Control* c : {s.colourCell, s.captionBox, s.textBox}) c->SetVisible(true);
}

void EntryEditor::ShowTextScrollBar(Slot& s) {
    // The one-line box shows its scroll bar when the text has more lines than it shows.
    const bool multiLine = s.row >= 0 && rows_.At(s.row).text.find(L'\n') != std::wstring::npos;
    const bool shown = (GetWindowLongPtrW(s.textBox->hwnd, GWL_STYLE) & WS_VSCROLL) != 0;
    if (multiLine != shown) ShowScrollBar(s.textBox->hwnd, SB_VERT, multiLine);
}

int EntryEditor::RowTop(int row) const {
    // A box kept for the focus while its row is scrolled away waits just outside the view.
    const int top = (row - 1) * editor::kRowStep - scroll_;
    return std::clamp(top, -2 * editor::kRowHeight, viewport_ + editor::kRowHeight);
}

void EntryEditor::PlaceRows() {
    const int m = rows_.ShownRows();
    // Controls for the rows in view and none kept ready: a window costs more than the move.
    const auto [first, end] = editor::RowsInView(scroll_, viewport_, m, 0);
    const HWND focus = GetFocus();
    for (Slot& s : slots_) {
        if (s.row < 0) continue;
        const bool focused = focus == s.captionBox->hwnd || focus == s.textBox->hwnd;
        if ((s.row < first || s.row >= end) && !(focused && s.row <= m)) {
            s.row = -1;
            for (Control* c : {s.colourCell, s.captionBox, s.textBox}) c->SetVisible(false);
        }
    }
    for (int r = first; r < end; ++r) {
        if (Slot* s = SlotOf(r)) ShowRow(*s);  // moved by the scroll
        else Bind(r);
    }
    for (Slot& s : slots_)
        if (s.row >= 0 && (s.row < first || s.row >= end)) ShowRow(s);  // the focused box
    const int column = m * editor::kRowStep + 15 - scroll_;
    rowColumn->Move(0, 0, rowColumn->Width(), std::clamp(column, 0, viewport_));
    const RECT numbers{0, 0, Px(495), Px(viewport_)};  // drawn by the column: they moved too
    InvalidateRect(rowColumn->hwnd, &numbers, TRUE);
}

RECT EntryEditor::Cell(int row, int left, int width) const {
    // Where a control of the row would stand, pixel for pixel.
    const int x = Px(left), top = Px(RowTop(row));
    return {x, top, x + Px(width), top + Px(editor::kRowHeight)};
}

void EntryEditor::PaintRowNumbers(HDC dc, const RECT& dirty) {
    const auto [first, end] = editor::RowsInView(scroll_, viewport_, rows_.ShownRows(), 0);
    HGDIOBJ font = SelectObject(dc, Font(kUiFont, 9));
    for (int r = first; r < end; ++r) {
        RECT cell = Cell(r, 0, 495), meets;
        if (!IntersectRect(&meets, &cell, &dirty)) continue;
        // As the static with a border drew it: the frame, the row's colours, the number centred.
        FrameRect(dc, &cell, GetSysColorBrush(COLOR_WINDOWFRAME));
        InflateRect(&cell, -1, -1);
        FillRect(dc, &cell, RowCellColours(dc, rows_.At(r).highlighted));
        const std::wstring number = std::to_wstring(r);
        DrawTextW(dc, number.c_str(), -1, &cell,
                  DT_CENTER | DT_EXPANDTABS | DT_WORDBREAK | DT_NOPREFIX | DT_SINGLELINE | DT_VCENTER);
    }
    SelectObject(dc, font);
}

void EntryEditor::OnRowsPressed(POINT p) {
    // The number lies over the colour cell's left edge, as the windows did.
    const auto [first, end] = editor::RowsInView(scroll_, viewport_, rows_.ShownRows(), 0);
    for (int r = first; r < end; ++r) {
        const RECT number = Cell(r, 0, 495);
        if (PtInRect(&number, p)) return OnRowNumberClick(r);
    }
    for (int r = first; r < end; ++r) {
        const RECT colour = Cell(r, 487, 510);
        if (PtInRect(&colour, p)) return OnColourCellClick(r);
    }
}

void EntryEditor::RefreshRows() {
    for (Slot& s : slots_)
        if (s.row >= 0) ShowRow(s);
}

void EntryEditor::FocusBox(int row, bool caption) {
    FocusRowControl(row, caption ? entry_editor::kCaptionBox : entry_editor::kTextBox);
}

void EntryEditor::FocusRowControl(int row, int kind) {
    if (!rows_.HasRow(row)) return;
    Slot& s = Bind(row, true);
    (kind == entry_editor::kColourCell ? s.colourCell : kind == entry_editor::kCaptionBox ? s.captionBox : s.textBox)
        ->SetFocus();
}

void EntryEditor::ApplyButtons() {
    const editor::RowButtons& b = rows_.Buttons();
    btnMoveUp->SetEnabled(b.up);
    btnMoveDown->SetEnabled(b.down);
    btnDeleteRow->SetEnabled(b.remove);
}

void EntryEditor::ApplyIme(int row, bool caption) {
    const editor::Row& r = rows_.At(row);
    const int mode = caption ? r.captionIme : r.textIme;
    if (mode != 1 && mode != 2) return;
    Slot* s = SlotOf(row);
    if (!s) return;
    HWND box = (caption ? s->captionBox : s->textBox)->hwnd;
    if (HIMC ctx = late::ImmGetContext(box)) {
        late::ImmSetOpenStatus(ctx, mode == 1);
        late::ImmReleaseContext(box, ctx);
    }
}

void EntryEditor::SetRowText(int i, const std::wstring& text) {
    if (!rows_.HasRow(i)) return;
    rows_.At(i).text = text;
    rows_.Touch(i);
    if (Slot* s = SlotOf(i)) ShowRow(*s);
}

// ---- loading and saving -------------------------------------------------------------------

void EntryEditor::LoadRows() {
    auto bytes = links_.readInMemory ? links_.readInMemory()
                                     : ReadAllBytes(links_.currentFile ? links_.currentFile() : L"");
    LoadRowsFrom(ReadDataSet(bytes ? *bytes : std::string()));
}

void EntryEditor::LoadRowsFrom(DataSetContents file) {
    rows_.LoadRows(std::move(file));
    scrollMax_ = rows_.ShownRows() * editor::kRowStep - 6375;
    SetScrollRange();
    scrollBar->SetVisible(scrollMax_ >= 1);
    if (IsWindowVisible(hwnd_)) PlaceRows();  // on the first load the layout places them
}

bool EntryEditor::WriteFile(const std::string& bytes) {
    const std::wstring file = links_.currentFile ? links_.currentFile() : L"";
    if (links_.saveInMemory ? links_.saveInMemory(bytes) : !file.empty() && WriteFileAtomic(file, bytes)) return true;
    MsgBox(L"データを保存できませんでした。\r\n\r\n" + file +
               L"\r\n\r\nファイルが使用中か、書き込みできない場所にあります。\r\n"
               L"入力した内容はこの画面に残っています。",
           MB_OK | MB_ICONEXCLAMATION, links_.exeName);
    return false;
}

bool EntryEditor::Refused(const EncodeResult& e) {
    if (e.ok) {
        if (e.altered.empty()) return false;
        // Bytes that were no character where they stood cannot go into the file as they were:
        // the user decides before anything is written.
        std::wstring rows;
        for (size_t i = 0; i < e.altered.size() && i < 10; ++i)
            rows += (i ? L"、" : L"") + std::to_wstring(e.altered[i] + 1) + L"行目";
        if (e.altered.size() > 10) rows += L" ほか" + std::to_wstring(e.altered.size() - 10) + L"行";
        return MsgBox(L"次の行には文字として読めないバイトがあり、保存すると元のままの形では残りません。\r\n"
                      L"読めない部分は「・」などに置き換わります。\r\n\r\n" + rows +
                          L"\r\n\r\nこのまま保存しますか？",
                      MB_YESNO | MB_DEFBUTTON2 | MB_ICONEXCLAMATION, links_.exeName) != IDYES;
    }
    MsgBox(std::to_wstring(e.badRecord + 1) + L"行目に保存できない文字があるため、データを保存できませんでした。",
           MB_OK | MB_ICONEXCLAMATION, links_.exeName);
    return true;
}

bool EntryEditor::Save() {
    if (rows_.Unchanged()) return true;  // the file stays as it is, byte for byte
    EncodeResult e = rows_.SaveBytes();
    return !Refused(e) && WriteFile(e.bytes);
}

// ---- selecting, moving, inserting, deleting ----------------------------------------------

void EntryEditor::OnRowNumberClick(int i) {
    rows_.SelectByNumber(i);
    RefreshRows();
    ApplyButtons();
    focusHolder->SetFocus();
}

void EntryEditor::OnCaptionClick(int i) {
    rows_.ClickBox(i, true);
    RefreshRows();
    ApplyButtons();
}

void EntryEditor::OnTextClick(int i) {
    rows_.ClickBox(i, false);
    RefreshRows();
    ApplyButtons();
}

void EntryEditor::OnMoveUp() { OnMove(-1); }
void EntryEditor::OnMoveDown() { OnMove(1); }

void EntryEditor::OnMove(int step) {
    rows_.Move(step);
    RefreshRows();
    ApplyButtons();
    SetScrollValue(editor::ScrollToKeep(session_.selectedRow, scroll_, viewport_, scrollMax_));
    // An arrow disabled while it had the focus leaves the keys nowhere: the other one takes it.
    if (GetFocus() && GetFocus() != hwnd_) return;
    if (IsWindowEnabled(btnMoveUp->hwnd)) btnMoveUp->SetFocus();
    else if (IsWindowEnabled(btnMoveDown->hwnd)) btnMoveDown->SetFocus();
    else FocusBox(session_.selectedRow, true);
}

bool EntryEditor::InsertBlankRow() {
    // The whole file or nothing: a refusal or a failed write leaves file and rows as they were.
    EncodeResult e = rows_.InsertBytes();
    if (Refused(e) || !WriteFile(e.bytes)) return false;
    rows_.Inserted();
    LoadRowsFrom(ReadDataSet(e.bytes));
    SetScrollValue(scrollMax_);
    return true;
}

void EntryEditor::OnInsertRow() {
    const int v = scroll_;
    const int target = v == 0 ? 0 : v + editor::kRowStep;
    if (!InsertBlankRow()) return;
    const int s = session_.selectedRow;
    OnCaptionClick(s);
    FocusBox(s + 1, true);
    // The new row, which has the caret, stays in view.
    SetScrollValue(editor::ScrollToKeep(s + 1, std::min(target, scrollMax_), viewport_, scrollMax_));
    OnResized();
}

bool EntryEditor::DeleteSelectedRow() {
    EncodeResult e = rows_.DeleteBytes();
    if (Refused(e) || !WriteFile(e.bytes)) return false;
    rows_.Deleted();
    if (links_.rowSetting) {
        int16_t& setting = links_.rowSetting();
        setting = editor::RowSettingAfterDelete(rows_.EntryCount(), setting, rows_.DeletedCount());
    }
    LoadRowsFrom(ReadDataSet(e.bytes));
    return true;
}

void EntryEditor::OnDeleteRow() {
    if (session_.selectedRow < 1) return;
    const int v = scroll_;
    if (!DeleteSelectedRow()) return;
    SetScrollValue(std::min(v, scrollMax_));
    if (rows_.EntryCount() < session_.selectedRow) session_.selectedRow = rows_.EntryCount();
    // Selected as by its number; the focus stays on 削　除 for the next key.
    rows_.SelectByNumber(session_.selectedRow);
    RefreshRows();
    ApplyButtons();
    OnResized();
}

// ---- typing, keys and the child windows ---------------------------------------------------

void EntryEditor::OnTextLeft(int i) {
    const std::wstring trimmed = editor::TrimTrailingEnters(rows_.At(i).text, session_.trailingEnters);
    session_.trailingEnters = 0;
    if (trimmed != rows_.At(i).text) SetRowText(i, trimmed);
}

namespace {
std::optional<editor::RowKey> RowKeyOf(UINT key, int kind) {
    using editor::RowKey;
    // In a box, plain Home and End move the caret; a colour cell has none.
    const bool ctrl = GetKeyState(VK_CONTROL) < 0 || kind == entry_editor::kColourCell;
    switch (key) {
    case VK_HOME: return ctrl ? std::optional(RowKey::First) : std::nullopt;
    case VK_END: return ctrl ? std::optional(RowKey::Last) : std::nullopt;
    case VK_PRIOR: return RowKey::PageUp;
    case VK_NEXT: return RowKey::PageDown;
    // The text box keeps its arrows for its lines.
    case VK_UP: return kind == entry_editor::kTextBox ? std::nullopt : std::optional(RowKey::Up);
    case VK_DOWN: return kind == entry_editor::kTextBox ? std::nullopt : std::optional(RowKey::Down);
    }
    return std::nullopt;
}
}  // namespace

bool EntryEditor::OnKeyDown(UINT key, HWND from) {
    int kind = 0;
    const Slot* s = SlotOfControl(from, &kind);
    if (!s || s->row < 1) {
        // Outside the rows the paging keys move the view alone: no row holds the caret.
        if (key < VK_PRIOR || key > VK_HOME) return false;
        SetScrollValue(editor::ScrollForKey(static_cast<int>(key), scroll_, scrollMax_));
        return true;
    }
    const auto rowKey = RowKeyOf(key, kind);
    if (!rowKey) return false;
    const auto to = editor::MoveForKey(*rowKey, s->row, scroll_, viewport_, scrollMax_, rows_.EntryCount(),
                                       rows_.ShownRows());
    if (!to) return true;
    FocusRowControl(to->row, kind);
    if (kind != entry_editor::kColourCell) {
        // The caret at the end of the text, or at its start for the first row.
        const HWND box = GetFocus();
        const int at = *rowKey == editor::RowKey::First ? 0 : GetWindowTextLengthW(box);
        SendMessageW(box, EM_SETSEL, at, at);
    }
    SetScrollValue(to->position);
    return true;
}

void EntryEditor::OnRowFocused(int row, int kind) {
    if (row < 1 || !rows_.HasRow(row)) return;
    rows_.Focused(row, kind);
    RefreshRows();
    ApplyButtons();
    SetScrollValue(editor::ScrollToKeep(row, scroll_, viewport_, scrollMax_));
}

void EntryEditor::FollowView() {
    int kind = 0;
    const Slot* s = SlotOfControl(GetFocus(), &kind);
    if (!s || s->row < 1) return;
    const int row = std::min(editor::RowKeptInView(s->row, scroll_, viewport_), rows_.ShownRows());
    if (row != s->row) FocusRowControl(row, kind);
}

void EntryEditor::OnTextDoubleClick(int i) {
    OnTextLeft(i);  // the same trim, and the count starts again
    session_.selectedRow = i;
    rows_.SetRowFocus(true);
    if (textEditor_ && textEditor_->hwnd()) {
        SetForegroundWindow(textEditor_->hwnd());
        return;
    }
    textEditor_ = std::make_unique<TextEditor>(*this);
    if (!textEditor_->Open()) textEditor_.reset();
}

void EntryEditor::OnColourCellClick(int i) {
    rows_.ClickColourCell(i);
    RefreshRows();
    ApplyButtons();
    if (colourChooser_ && colourChooser_->hwnd()) {
        SetForegroundWindow(colourChooser_->hwnd());
        return;
    }
    colourChooser_ = std::make_unique<ColourChooser>(*this);
    if (!colourChooser_->Open()) colourChooser_.reset();
}
