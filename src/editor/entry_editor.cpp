// The entry editor's window: its controls, activation, layout, closing and messages.
#include "editor/entry_editor.h"

#include <commctrl.h>

#include <algorithm>

#include "base/color.h"
#include "base/number.h"
#include "base/stored_names.h"
#include "editor/text_editor.h"
#include "editor/colour_chooser.h"
#include "store/settings.h"
#include "win/app.h"
#include "win/scroll.h"

namespace {

constexpr UINT kChildrenForward = WM_APP + 21;  // after activation: an open child window back in front
// Older names of the size values, read when the current ones are missing.
constexpr wchar_t kOlderWidth[] = L"Reg_Width2";
constexpr wchar_t kOlderHeight[] = L"Reg_Height";

// A heading keeps its width; where the font on this system runs wider than the one the
// layout was made for, the heading's text gets a little smaller instead of being cut.
void FitText(Form& form, Control* c, double points) {
    const std::wstring text = c->Text();
    RECT r;
    GetClientRect(c->hwnd, &r);
    HDC dc = GetDC(c->hwnd);
    double p = points;
    for (; p > 7; p -= 0.25) {
        HGDIOBJ old = SelectObject(dc, form.Font(kUiFont, p));
        SIZE size{};
        GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
        SelectObject(dc, old);
        if (size.cx <= r.right) break;
    }
    ReleaseDC(c->hwnd, dc);
    c->SetFont(kUiFont, p);
}

}  // namespace

EntryEditor::EntryEditor(EditorLinks links) : links_(std::move(links)) {
    white_ = CreateSolidBrush(static_cast<COLORREF>(editor::kWhite));
    highlight_ = CreateSolidBrush(static_cast<COLORREF>(editor::kHighlight));
}

EntryEditor::~EntryEditor() {
    textEditor_.reset();
    colourChooser_.reset();
    // The panel is let go first, so that it is the window activated next; the row boxes go
    // before the hint they point to; the base clears the slot as the window is destroyed.
    ReleaseHeldUp();
    tearingDown_ = true;
    if (hwnd_) DestroyWindow(hwnd_);
    hint_.reset();
    DeleteObject(white_);
    DeleteObject(highlight_);
}

bool EntryEditor::Open() {
    if (!CreateTopLevel(L"データの編集と追加",
                        (WS_OVERLAPPEDWINDOW & ~(WS_MINIMIZEBOX | WS_MAXIMIZEBOX)) | WS_CLIPCHILDREN, 0,
                        links_.panel, nullptr, editor::kMinWidth, editor::kMinHeight))
        return false;
    // Once, while the window is empty: nothing puts the boxes back, and the frame change this
    // makes cost tens of milliseconds at every activation of a window full of rows.
    RemoveMinMaxBoxes(hwnd_);
    hint_ = std::make_unique<InputHint>(hwnd_);
    CreateControls();

    LoadRows();
    // The stored size, raised to the minimum and snapped to whole rows by the layout.
    const int w = SettingToInt32(GetSetting(links_.exeName, stored::kSection, stored::kEditorWidth, kOlderWidth));
    const int h = SettingToInt32(GetSetting(links_.exeName, stored::kSection, stored::kEditorHeight, kOlderHeight));
    const editor::EntryEditorLayout l = editor::LayoutEntryEditor(w, h, rows_.EntryCount());
    // Placed and sized in one go; the layout that follows fills the rows in.
    inLayout_ = true;
    OpenAsDialog({.owner = links_.panel, .slot = links_.own ? &links_.own->entryEditor : nullptr,
                  .size = {Px(l.width), Px(l.height)}, .dialogKeys = false});
    inLayout_ = false;
    OnResized();
    return true;
}

void EntryEditor::Show() {
    if (!hwnd_) return;
    ShowWindow(hwnd_, SW_SHOW);
    SetForegroundWindow(hwnd_);
}

void EntryEditor::CreateControls() {
    using namespace entry_editor;
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    headerFrame = AddFrame(600, 90, 7695, 7010, nullptr, face, kHeaderFrame);
    auto label = [&](const wchar_t* text, int left, int top, int width, int height, int id, DWORD style = SS_LEFTNOWORDWRAP) {
        Control* c = AddControl({.text = text, .style = WS_VISIBLE | SS_NOPREFIX | style, .left = left,
                                 .top = top, .width = width, .height = height, .parent = headerFrame->hwnd, .id = id});
        if (style == SS_LEFTNOWORDWRAP) FitText(*this, c, 9);
        else c->SetFont(kUiFont, 9);
        return c;
    };
    label(L" No.", 0, 150, 465, 255, kLblHeading);
    label(L"ボタンの色", 510, 150, 465, 420, kLblHeading + 1, SS_CENTER);
    label(L"ボタンの表示文字", 1000, 150, 1350, 255, kLblHeading + 2);
    label(L"貼り付けるデータ", 2415, 150, 1500, 255, kLblHeading + 3);
    label(L"全角7/半角14文字", 1000, 390, 1350, 225, kLblSubheading);
    label(L"複数行の文字列をサポート / ダブルクリックで簡易テキストエディタを表示", 2415, 390, 5235, 225, kLblSubheading + 1);
    lblTrailingBreaks = label(L"(注意)　文末に付加した改行は削除します。", 4200, 150, 3375, 255, kLblTrailingBreaks);
    for (int x : {480, 975, 2360})
        AddControl({.style = WS_VISIBLE | SS_BLACKRECT, .left = x, .top = 100, .width = 15, .height = 520,
                    .parent = headerFrame->hwnd});

    rowViewport = AddFrame(0, 620, 7450, 6390, headerFrame->hwnd, face, kRowViewport);
    rowColumn = AddFrame(0, 0, 7440, 6390, rowViewport->hwnd, face, kRowColumn);
    rowColumn->paint = [this](HDC dc, const RECT& dirty) { PaintRowNumbers(dc, dirty); };
    rowColumn->onPress = [this](POINT p) { OnRowsPressed(p); };
    AddToolTipArea(rowColumn, 0, 487, L"選択行の移動・削除が有効になります。");
    AddToolTipArea(rowColumn, 487, 488, L"ボタン色の設定が出来ます。");
    scrollBar = AddControl({.cls = L"SCROLLBAR", .style = WS_VISIBLE | SBS_VERT, .left = 7440, .top = 620,
                            .width = 255, .height = 6400, .parent = headerFrame->hwnd, .id = kScrollBar});

    auto button = [&](const wchar_t* text, const wchar_t* tip, int left, int width, int id, std::function<void()> click) {
        Control* c = AddControl({.cls = L"BUTTON", .text = text, .style = WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON,
                                 .left = left, .top = 7290, .width = width, .height = 375, .id = id,
                                 .onClick = std::move(click)});
        c->SetFont(kUiFont, 9);
        SetToolTip(c, tip);
        return c;
    };
    btnSave = button(L"更　新", L"データを更新して閉じます。", 6480, 1815, kBtnSave, [this] { OnSave(); });
    btnInsertRow = button(L"追　加", L"行を追加します。", 600, 1815, kBtnInsertRow, [this] { OnInsertRow(); });
    btnDeleteRow = button(L"削　除", L"選択行を削除します。", 2400, 1815, kBtnDeleteRow, [this] { OnDeleteRow(); });
    btnToggleIme = button(L"日本語ｵﾝ/ｵﾌ", L"IME切替", 4680, 1335, kBtnToggleIme, [this] { OnToggleIme(); });
    btnMoveUp = AddControl({.cls = L"BUTTON", .text = L"選択行を上へ", .style = WS_VISIBLE | BS_OWNERDRAW, .left = 105, .top = 2250,
                            .width = 375, .height = 1320, .id = kBtnMoveUp, .onClick = [this] { OnMoveUp(); }});
    btnMoveDown = AddControl({.cls = L"BUTTON", .text = L"選択行を下へ", .style = WS_VISIBLE | BS_OWNERDRAW, .left = 105, .top = 3570,
                              .width = 375, .height = 1320, .id = kBtnMoveDown, .onClick = [this] { OnMoveDown(); }});
    SetToolTip(btnMoveUp, L"選択行を上に移動します。");
    SetToolTip(btnMoveDown, L"選択行を下に移動します。");

    lblResizable = AddControl({.text = L"ウィンドウの幅と高さは可変です。", .style = WS_VISIBLE | SS_NOPREFIX,
                               .left = 5200, .top = 7850, .width = 3000, .height = 255, .id = kLblResizable});
    lblResizable->SetFont(kUiFont, 9);
    focusHolder = AddControl({.cls = L"EDIT", .style = WS_VISIBLE | ES_AUTOHSCROLL, .left = 600, .top = 10000,
                              .width = 300, .height = 270, .id = kFocusHolder});
    sizeGrip = AddControl({.style = WS_VISIBLE | SS_OWNERDRAW | SS_NOTIFY, .left = 8200, .top = 7700,
                           .width = 480, .height = 480, .id = kSizeGrip, .onClick = [this] { OnGripPressed(); }});
    SetToolTip(sizeGrip, L"ウィンドウの幅と高さが調整できます。");

    // The paging keys work wherever the focus is; Enter presses a focused button, as Space does.
    for (Control* c : {focusHolder, btnSave, btnMoveUp, btnMoveDown, btnInsertRow, btnDeleteRow, btnToggleIme, scrollBar}) {
        const HWND h = c->hwnd;
        AttachBox(h, BoxKind::Keys, nullptr,
                  {.keyDown = [this, c](UINT k) {
                       if (k != VK_RETURN || !c->onClick) return OnKeyDown(k, c->hwnd);
                       // Posted: 更　新 closes the window this key is still inside.
                       if (IsWindowEnabled(c->hwnd)) PostMessageW(c->hwnd, BM_CLICK, 0, 0);
                       return true;
                   },
                   .tab = [this, h](bool back) { OnTab(h, back); }});
    }
    btnMoveUp->SetEnabled(false);
    btnMoveDown->SetEnabled(false);
    btnDeleteRow->SetEnabled(false);
}

// ---- activation, layout, closing --------------------------------------------------------

void EntryEditor::OnActivated() {
    SetEditButtonsEnabled(true);
    if (!session_.chosenColour.empty()) {
        const int r = session_.colourTargetRow;
        auto v = ColorTextToValue(session_.chosenColour);
        if (v && rows_.HasRow(r)) {
            rows_.At(r).colour = *v;
            rows_.Touch(r);
            RefreshRows();
        }
        session_.chosenColour.clear();
    }
    // Back where it was in the rows: a box, or the colour cell that opened the chooser.
    if (session_.selectedRow > 0 && rows_.FocusKind()) FocusRowControl(session_.selectedRow, rows_.FocusKind());
    else if (!activatedOnce_ && rows_.HasRow(1)) FocusBox(1, true);  // ready to type from the keyboard
    else focusHolder->SetFocus();
    activatedOnce_ = true;
    PostMessageW(hwnd_, kChildrenForward, 0, 0);
}

void EntryEditor::OnTab(HWND from, bool back) {
    // The stops: each row's colour cell, caption and text in turn, then the enabled buttons
    // left to right.
    std::vector<Control*> buttons;
    for (Control* c : {btnMoveUp, btnMoveDown, btnInsertRow, btnDeleteRow, btnToggleIme, btnSave})
        if (IsWindowEnabled(c->hwnd)) buttons.push_back(c);
    constexpr int kPerRow = 3;
    const int boxes = kPerRow * rows_.EntryCount();
    const int stops = boxes + static_cast<int>(buttons.size());
    if (stops == 0) return;
    int at = -1;
    int kind = -1;
    if (Slot* s = SlotOfControl(from, &kind); s && s->row > 0)
        at = kPerRow * (s->row - 1) + kind - entry_editor::kColourCell;
    for (size_t i = 0; i < buttons.size(); ++i)
        if (buttons[i]->hwnd == from) at = boxes + static_cast<int>(i);
    const int next = at < 0 ? (back ? stops - 1 : 0) : (at + (back ? stops - 1 : 1)) % stops;
    InvalidateRect(from, nullptr, FALSE);  // a colour cell's focus mark goes
    if (next >= boxes) {
        buttons[static_cast<size_t>(next - boxes)]->SetFocus();
        return;
    }
    FocusRowControl(next / kPerRow + 1, entry_editor::kColourCell + next % kPerRow);
}

void EntryEditor::SetEditButtonsEnabled(bool on) {
    for (Control* c : {btnSave, btnInsertRow, btnToggleIme}) c->SetEnabled(on);
}

void EntryEditor::OnResized() {
    if (inLayout_ || !hwnd_ || !sizeGrip || IsIconic(hwnd_)) return;
    inLayout_ = true;
    RECT r;
    GetWindowRect(hwnd_, &r);
    const editor::EntryEditorLayout l = editor::LayoutEntryEditor(Width(), Height(), rows_.EntryCount());
    if (Px(l.width) != r.right - r.left || Px(l.height) != r.bottom - r.top)
        SetWindowPos(hwnd_, nullptr, 0, 0, Px(l.width), Px(l.height), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    headerFrame->Move(600, 90, l.headerWidth, l.headerHeight);
    rowViewport->Move(0, 620, l.viewportWidth, l.viewportHeight);
    rowColumn->SetWidth(l.columnWidth);
    viewport_ = l.viewportHeight;
    lblResizable->SetLeft(l.resizableLeft);
    lblResizable->SetTop(l.resizableTop);
    for (Control* c : {btnSave, btnInsertRow, btnDeleteRow, btnToggleIme}) c->SetTop(l.buttonTop);
    focusHolder->SetTop(l.focusHolderTop);
    scrollBar->Move(l.scrollLeft - 600, 620, 255, l.scrollHeight);
    scrollMax_ = l.scrollMax;
    textBoxWidth_ = l.textBoxWidth;
    SetScrollRange();
    scrollBar->SetVisible(l.scrollShown);
    PlaceRows();
    sizeGrip->Move(ScaleWidth() - 480, ScaleHeight() - 480, 480, 480);
    RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    inLayout_ = false;
}

bool EntryEditor::OnClosing() {
    if (closing_) return true;
    CloseChildren();
    if (!Save()) return false;  // the user's rows stay on screen
    session_.selectedRow = 0;
    if (!IsIconic(hwnd_)) {
        SaveSetting(links_.exeName, stored::kSection, stored::kEditorWidth, std::to_wstring(Width()));
        SaveSetting(links_.exeName, stored::kSection, stored::kEditorHeight, std::to_wstring(Height()));
    }
    rows_.ResetDeletedCount();
    ReleaseHeldUp();
    return true;
}

void EntryEditor::Close() {
    if (!hwnd_ || !OnClosing()) return;
    closing_ = true;
    DestroyWindow(hwnd_);
}

void EntryEditor::CloseChildren() {
    for (Form* f : {static_cast<Form*>(textEditor_.get()), static_cast<Form*>(colourChooser_.get())})
        if (f && f->hwnd()) SendMessageW(f->hwnd(), WM_CLOSE, 0, 0);
}

void EntryEditor::OnSave() { Close(); }

void EntryEditor::OnGripPressed() { DragFromCorner(); }

void EntryEditor::OnToggleIme() {
    if (links_.osVersion >= 5.1) {
        PressImeToggle();
        if (rows_.LastCaptionBox()) FocusBox(rows_.LastCaptionBox(), true);
        else if (rows_.LastTextBox()) FocusBox(rows_.LastTextBox(), false);
        else focusHolder->SetFocus();
        return;
    }
    FocusBox(1, true);
    rows_.SwitchImeOldStyle();
    if (rows_.LastCaptionBox()) FocusBox(rows_.LastCaptionBox(), true);
    if (rows_.LastTextBox()) FocusBox(rows_.LastTextBox(), false);
}

// ---- scrolling ----------------------------------------------------------------------------

void EntryEditor::SetScrollRange() {
    scroll_ = std::clamp(scroll_, 0, std::max(0, scrollMax_));
    SetScrollBar(scrollBar->hwnd, scroll_, scrollMax_, viewport_);
}

void EntryEditor::SetScrollValue(int v) {
    v = std::clamp(v, 0, std::max(0, scrollMax_));
    if (v == scroll_) return;
    scroll_ = v;
    SetScrollPosition(scrollBar->hwnd, v);
    OnScrolled();
}

void EntryEditor::OnScrollBar(int code) {
    if (auto v = NextScrollValue(scrollBar->hwnd, code, scroll_, editor::kSmallChange, editor::kLargeChange, scrollMax_)) SetScrollValue(*v);
}

void EntryEditor::OnScrolled() {
    // The focus first, while the slots are those of the old view: the row it moves to takes
    // one that leaves, and no window is made for a box scrolled away.
    FollowView();
    PlaceRows();
}

// ---- drawing and messages -----------------------------------------------------------------

void EntryEditor::DrawArrow(const DRAWITEMSTRUCT& di, bool up) {
    HDC dc = di.hDC;
    RECT rc = di.rcItem;
    const bool pressed = (di.itemState & ODS_SELECTED) != 0;
    const bool disabled = (di.itemState & ODS_DISABLED) != 0;
    DrawFrameControl(dc, &rc, DFC_BUTTON, DFCS_BUTTONPUSH | (pressed ? DFCS_PUSHED : 0));
    const int cx = (rc.left + rc.right) / 2 + (pressed ? 1 : 0), cy = (rc.top + rc.bottom) / 2 + (pressed ? 1 : 0);
    const int half = std::max<int>(3, (rc.right - rc.left) / 3);
    const int shaft = std::max(1, half / 3);
    const int dir = up ? -1 : 1;
    POINT head[3] = {{cx, cy + dir * 2 * half}, {cx - half, cy + dir * half}, {cx + half, cy + dir * half}};
    auto paint = [&](int dx, COLORREF colour) {
        HBRUSH b = CreateSolidBrush(colour);
        HPEN pen = CreatePen(PS_SOLID, 1, colour);
        HGDIOBJ ob = SelectObject(dc, b), op = SelectObject(dc, pen);
        POINT h[3];
        for (int k = 0; k < 3; ++k) h[k] = {head[k].x + dx, head[k].y + dx};
        Polygon(dc, h, 3);
        RECT s{cx - shaft + dx, std::min(cy + dir * half, cy - dir * 2 * half) + dx,
               cx + shaft + 1 + dx, std::max(cy + dir * half, cy - dir * 2 * half) + dx};
        FillRect(dc, &s, b);
        SelectObject(dc, ob);
        SelectObject(dc, op);
        DeleteObject(b);
        DeleteObject(pen);
    };
    if (disabled) {
        paint(1, GetSysColor(COLOR_BTNHIGHLIGHT));
        paint(0, GetSysColor(COLOR_GRAYTEXT));
    } else {
        paint(0, GetSysColor(COLOR_BTNTEXT));
    }
    if ((di.itemState & ODS_FOCUS) && !(di.itemState & ODS_NOFOCUSRECT)) {
        InflateRect(&rc, -4, -4);
        DrawFocusRect(dc, &rc);
    }
}

std::optional<LRESULT> EntryEditor::OnRowNotification(WPARAM wp, LPARAM lp) {
    if (!lp) return 0;
    int kind = 0;
    Slot* s = SlotOfControl(reinterpret_cast<HWND>(lp), &kind);
    if (!s) return std::nullopt;
    const int row = s->row, code = HIWORD(wp);
    if (row < 0) return 0;
    if (kind == entry_editor::kCaptionBox && code == EN_CHANGE && !binding_) {
        rows_.At(row).caption = s->captionBox->Text();
        rows_.Touch(row);
    } else if (kind == entry_editor::kTextBox && code == EN_CHANGE && !binding_) {
        rows_.At(row).text = s->textBox->Text();
        rows_.Touch(row);
        ShowTextScrollBar(*s);
    } else if (kind == entry_editor::kTextBox && code == EN_KILLFOCUS) {
        OnTextLeft(row);
    }
    return 0;
}

std::optional<LRESULT> EntryEditor::OnDrawItem(const DRAWITEMSTRUCT& di) {
    if (!sizeGrip) return std::nullopt;
    if (di.hwndItem == btnMoveUp->hwnd || di.hwndItem == btnMoveDown->hwnd) {
        DrawArrow(di, di.hwndItem == btnMoveUp->hwnd);
        return TRUE;
    }
    if (di.hwndItem == sizeGrip->hwnd) {
        RECT rc = di.rcItem;
        FillRect(di.hDC, &rc, GetSysColorBrush(COLOR_BTNFACE));
        DrawFrameControl(di.hDC, &rc, DFC_SCROLL, DFCS_SCROLLSIZEGRIP);
        return TRUE;
    }
    int kind = 0;
    if (Slot* s = SlotOfControl(di.hwndItem, &kind); s && kind == entry_editor::kColourCell) {
        HBRUSH b = CreateSolidBrush(ResolveColor(s->colourCell->backColor));
        FillRect(di.hDC, &di.rcItem, b);
        DeleteObject(b);
        if (GetFocus() == di.hwndItem) {
            RECT r = di.rcItem;
            InflateRect(&r, -2, -2);
            DrawFocusRect(di.hDC, &r);
        }
        return TRUE;
    }
    return std::nullopt;
}

std::optional<LRESULT> EntryEditor::OnRowColours(WPARAM wp, LPARAM lp) {
    int kind = 0;
    Slot* s = SlotOfControl(reinterpret_cast<HWND>(lp), &kind);
    if (!s || s->row < 0 || kind == entry_editor::kColourCell) return std::nullopt;
    return reinterpret_cast<LRESULT>(RowCellColours(reinterpret_cast<HDC>(wp), rows_.At(s->row).highlighted));
}

HBRUSH EntryEditor::RowCellColours(HDC dc, bool lit) {
    if (systemColours_) {
        SetBkColor(dc, GetSysColor(lit ? COLOR_HIGHLIGHT : COLOR_WINDOW));
        SetTextColor(dc, GetSysColor(lit ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
        return GetSysColorBrush(lit ? COLOR_HIGHLIGHT : COLOR_WINDOW);
    }
    SetBkColor(dc, static_cast<COLORREF>(lit ? editor::kHighlight : editor::kWhite));
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    return lit ? highlight_ : white_;
}

void EntryEditor::OnSizing(WPARAM edge, RECT& r) {
    // Whole rows while dragging, as the layout will make them anyway.
    const editor::EntryEditorLayout l = editor::LayoutEntryEditor(Tw(r.right - r.left), Tw(r.bottom - r.top), rows_.EntryCount());
    if (edge == WMSZ_TOP || edge == WMSZ_TOPLEFT || edge == WMSZ_TOPRIGHT) r.top = r.bottom - Px(l.height);
    else r.bottom = r.top + Px(l.height);
    if (edge == WMSZ_LEFT || edge == WMSZ_TOPLEFT || edge == WMSZ_BOTTOMLEFT) r.left = std::min<LONG>(r.left, r.right - Px(l.width));
    else r.right = std::max<LONG>(r.right, r.left + Px(l.width));
}

LRESULT EntryEditor::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    if (tearingDown_) return DefWindowProcW(hwnd_, msg, wp, lp);
    std::optional<LRESULT> handled;
    switch (msg) {
    case WM_ACTIVATE:
        if (LOWORD(wp) != WA_INACTIVE && !closing_ && sizeGrip) {
            OnActivated();
            return 0;
        }
        break;
    case kChildrenForward:
        for (Form* f : {static_cast<Form*>(textEditor_.get()), static_cast<Form*>(colourChooser_.get())})
            if (f && f->hwnd() && IsWindowVisible(f->hwnd())) SetForegroundWindow(f->hwnd());
        return 0;
    case WM_COMMAND:
        handled = OnRowNotification(wp, lp);
        break;
    case WM_DRAWITEM:
        handled = OnDrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lp));
        break;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
        handled = OnRowColours(wp, lp);
        break;
    case WM_SETTINGCHANGE:
    case WM_SYSCOLORCHANGE:
        systemColours_ = SchemeWantsSystemColours();
        InvalidateRect(hwnd_, nullptr, TRUE);
        break;
    case WM_VSCROLL:
        if (scrollBar && reinterpret_cast<HWND>(lp) == scrollBar->hwnd) OnScrollBar(LOWORD(wp));
        return 0;
    case WM_MOUSEWHEEL:
        SetScrollValue(scroll_ - GET_WHEEL_DELTA_WPARAM(wp) / WHEEL_DELTA * 3 * editor::kSmallChange);
        return 0;
    case WM_KEYDOWN:
        OnKeyDown(static_cast<UINT>(wp), nullptr);
        return 0;
    case WM_GETMINMAXINFO:
        reinterpret_cast<MINMAXINFO*>(lp)->ptMinTrackSize = {Px(editor::kMinWidth), Px(editor::kMinHeight)};
        return 0;
    case WM_SIZING:
        OnSizing(wp, *reinterpret_cast<RECT*>(lp));
        return TRUE;
    case WM_SIZE:
        if (wp != SIZE_MINIMIZED) OnResized();
        return 0;
    case WM_CLOSE:
        Close();
        return 0;
    case WM_DESTROY:
        closing_ = true;  // the base lets the panel go and clears the slot
        break;
    }
    return handled ? *handled : Form::HandleMessage(msg, wp, lp);
}
