// The entry editor's window: its controls, activation, layout, closing and messages.
#include "editor/entry_editor.h"

#include <commctrl.h>

#include <algorithm>

#include "base/color.h"
#include "base/number.h"
#include "editor/text_editor.h"
#include "editor/colour_chooser.h"
#include "store/settings.h"
#include "win/app.h"
#include "win/scroll.h"

namespace {

constexpr UINT kChildrenForward = WM_APP + 21;  // after activation: an open child window back in front
const wchar_t kStartup[] = L"Startup";

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
    if (hwnd_) {
        // The row boxes go before the hint they point to.
        SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
        if (links_.own && links_.own->entryEditor == reinterpret_cast<uintptr_t>(hwnd_)) links_.own->entryEditor = 0;
        if (links_.panel) EnableWindow(links_.panel, TRUE);
        DestroyWindow(hwnd_);
        hwnd_ = nullptr;
    }
    hint_.reset();
    DeleteObject(white_);
    DeleteObject(highlight_);
}

bool EntryEditor::Form_Load() {
    if (!CreateTopLevel(L"データの編集と追加",
                        (WS_OVERLAPPEDWINDOW & ~(WS_MINIMIZEBOX | WS_MAXIMIZEBOX)) | WS_CLIPCHILDREN, 0,
                        links_.panel, nullptr, editor::kMinWidth, editor::kMinHeight))
        return false;
    hint_ = std::make_unique<InputHint>(hwnd_);
    CreateControls();
    MakeTopmost();
    if (links_.own) links_.own->entryEditor = reinterpret_cast<uintptr_t>(hwnd_);

    LoadRows();
    // The stored size, raised to the minimum and snapped to whole rows by the layout.
    const int w = SettingToInt32(GetSetting(links_.exeName, kStartup, L"Width2", L"Reg_Width2"));
    const int h = SettingToInt32(GetSetting(links_.exeName, kStartup, L"Height2", L"Reg_Height"));
    const editor::EntryEditorLayout l = editor::LayoutEntryEditor(w, h, rows_.EntryCount());
    // Placed and sized in one go; the layout that follows fills the rows in.
    inLayout_ = true;
    CentreOnWorkArea(hwnd_, links_.panel, {Px(l.width), Px(l.height)});
    inLayout_ = false;
    Form_Resize();
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
    Frame1 = AddFrame(600, 90, 7695, 7010, nullptr, face, kFrame1);
    auto label = [&](const wchar_t* text, int left, int top, int width, int height, int id, DWORD style = SS_LEFTNOWORDWRAP) {
        Control* c = AddControl({.text = text, .style = WS_VISIBLE | SS_NOPREFIX | style, .left = left,
                                 .top = top, .width = width, .height = height, .parent = Frame1->hwnd, .id = id});
        if (style == SS_LEFTNOWORDWRAP) FitText(*this, c, 9);
        else c->SetFont(kUiFont, 9);
        return c;
    };
    label(L" No.", 0, 150, 465, 255, kLabel4);
    label(L"ボタンの色", 510, 150, 465, 420, kLabel4 + 1, SS_CENTER);
    label(L"ボタンの表示文字", 1000, 150, 1350, 255, kLabel4 + 2);
    label(L"貼り付けるデータ", 2415, 150, 1500, 255, kLabel4 + 3);
    label(L"全角7/半角14文字", 1000, 390, 1350, 225, kLabel5);
    label(L"複数行の文字列をサポート / ダブルクリックで簡易テキストエディタを表示", 2415, 390, 5235, 225, kLabel5 + 1);
    Label2 = label(L"(注意)　文末に付加した改行は削除します。", 4200, 150, 3375, 255, kLabel2);
    for (int x : {480, 975, 2360})
        AddControl({.style = WS_VISIBLE | SS_BLACKRECT, .left = x, .top = 100, .width = 15, .height = 520,
                    .parent = Frame1->hwnd});

    Frame2 = AddFrame(0, 620, 7450, 6390, Frame1->hwnd, face, kFrame2);
    Frame3 = AddFrame(0, 0, 7440, 6390, Frame2->hwnd, face, kFrame3);
    VScroll1 = AddControl({.cls = L"SCROLLBAR", .style = WS_VISIBLE | SBS_VERT, .left = 7440, .top = 620,
                           .width = 255, .height = 6400, .parent = Frame1->hwnd, .id = kVScroll1});

    auto button = [&](const wchar_t* text, const wchar_t* tip, int left, int width, int id, std::function<void()> click) {
        Control* c = AddControl({.cls = L"BUTTON", .text = text, .style = WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON,
                                 .left = left, .top = 7290, .width = width, .height = 375, .id = id,
                                 .onClick = std::move(click)});
        c->SetFont(kUiFont, 9);
        SetToolTip(c, tip);
        return c;
    };
    Command1 = button(L"更　新", L"データを更新して閉じます。", 6480, 1815, kCommand1, [this] { Command1_Click(); });
    Command4 = button(L"追　加", L"行を追加します。", 600, 1815, kCommand4, [this] { Command4_Click(); });
    Command5 = button(L"削　除", L"選択行を削除します。", 2400, 1815, kCommand5, [this] { Command5_Click(); });
    Command6 = button(L"日本語ｵﾝ/ｵﾌ", L"IME切替", 4680, 1335, kCommand6, [this] { Command6_Click(); });
    Command2 = AddControl({.cls = L"BUTTON", .style = WS_VISIBLE | BS_OWNERDRAW, .left = 105, .top = 2250,
                           .width = 375, .height = 1320, .id = kCommand2, .onClick = [this] { Command2_Click(); }});
    Command3 = AddControl({.cls = L"BUTTON", .style = WS_VISIBLE | BS_OWNERDRAW, .left = 105, .top = 3570,
                           .width = 375, .height = 1320, .id = kCommand3, .onClick = [this] { Command3_Click(); }});
    SetToolTip(Command2, L"選択行を上に移動します。");
    SetToolTip(Command3, L"選択行を下に移動します。");

    Label3 = AddControl({.text = L"ウィンドウの幅と高さは可変です。", .style = WS_VISIBLE | SS_NOPREFIX,
                         .left = 5200, .top = 7850, .width = 3000, .height = 255, .id = kLabel3});
    Label3->SetFont(kUiFont, 9);
    Text3 = AddControl({.cls = L"EDIT", .style = WS_VISIBLE | ES_AUTOHSCROLL, .left = 600, .top = 10000,
                        .width = 300, .height = 270, .id = kText3});
    Image1 = AddControl({.style = WS_VISIBLE | SS_OWNERDRAW | SS_NOTIFY, .left = 8200, .top = 7700,
                         .width = 480, .height = 480, .id = kImage1, .onClick = [this] { Image1_MouseDown(); }});
    SetToolTip(Image1, L"ウィンドウの幅と高さが調整できます。");

    // The paging keys work wherever the focus is.
    for (Control* c : {Text3, Command1, Command2, Command3, Command4, Command5, Command6, VScroll1})
        AttachBox(c->hwnd, BoxKind::Keys, nullptr, {.keyDown = [this](UINT k) { Form_KeyDown(k, 0); }});
    Command2->SetEnabled(false);
    Command3->SetEnabled(false);
    Command5->SetEnabled(false);
}

// ---- activation, layout, closing --------------------------------------------------------

void EntryEditor::Form_Activate() {
    RemoveMinMaxBoxes(hwnd_);
    if (links_.panel) EnableWindow(links_.panel, FALSE);
    SetEditButtonsEnabled(true);
    if (!session_.chosenColour.empty()) {
        const int r = session_.colourTargetRow;
        auto v = ColorTextToValue(session_.chosenColour);
        if (v && r >= 1 && r < rows_.RowCount()) {
            rows_.At(r).colour = *v;
            rows_.Touch(r);
            RefreshRows();
        }
        session_.chosenColour.clear();
    }
    if (session_.selectedRow > 0 && rows_.RowFocus()) FocusBox(session_.selectedRow, false);
    else Text3->SetFocus();
    PostMessageW(hwnd_, kChildrenForward, 0, 0);
}

void EntryEditor::SetEditButtonsEnabled(bool on) {
    for (Control* c : {Command1, Command4, Command6}) c->SetEnabled(on);
}

void EntryEditor::Form_Resize() {
    if (inLayout_ || !hwnd_ || !Image1 || IsIconic(hwnd_)) return;
    inLayout_ = true;
    RECT r;
    GetWindowRect(hwnd_, &r);
    const editor::EntryEditorLayout l = editor::LayoutEntryEditor(Width(), Height(), rows_.EntryCount());
    if (Px(l.width) != r.right - r.left || Px(l.height) != r.bottom - r.top)
        SetWindowPos(hwnd_, nullptr, 0, 0, Px(l.width), Px(l.height), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    Frame1->Move(600, 90, l.frame1Width, l.frame1Height);
    Frame2->Move(0, 620, l.frame2Width, l.frame2Height);
    Frame3->SetWidth(l.frame3Width);
    viewport_ = l.frame2Height;
    Label3->SetLeft(l.label3Left);
    Label3->SetTop(l.label3Top);
    for (Control* c : {Command1, Command4, Command5, Command6}) c->SetTop(l.buttonTop);
    Text3->SetTop(l.text3Top);
    VScroll1->Move(l.scrollLeft - 600, 620, 255, l.scrollHeight);
    scrollMax_ = l.scrollMax;
    text2Width_ = l.text2Width;
    SetScrollRange();
    VScroll1->SetVisible(l.scrollShown);
    PlaceRows();
    Image1->Move(ScaleWidth() - 480, ScaleHeight() - 480, 480, 480);
    RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    inLayout_ = false;
}

bool EntryEditor::Form_QueryUnload() {
    if (closing_) return true;
    CloseChildren();
    if (!Save()) return false;  // the user's rows stay on screen
    session_.selectedRow = 0;
    if (!IsIconic(hwnd_)) {
        SaveSetting(links_.exeName, kStartup, L"Width2", std::to_wstring(Width()));
        SaveSetting(links_.exeName, kStartup, L"Height2", std::to_wstring(Height()));
    }
    rows_.ResetDeletedCount();
    if (links_.panel) EnableWindow(links_.panel, TRUE);
    return true;
}

void EntryEditor::Close() {
    if (!hwnd_ || !Form_QueryUnload()) return;
    closing_ = true;
    DestroyWindow(hwnd_);
}

void EntryEditor::CloseChildren() {
    for (Form* f : {static_cast<Form*>(textEditor_.get()), static_cast<Form*>(colourChooser_.get())})
        if (f && f->hwnd()) SendMessageW(f->hwnd(), WM_CLOSE, 0, 0);
}

void EntryEditor::Command1_Click() { Close(); }

void EntryEditor::Image1_MouseDown() { DragFromCorner(); }

void EntryEditor::Command6_Click() {
    if (links_.osVersion >= 5.1) {
        // Alt + Kanji, as the keyboard's own input-method key sends it.
        const BYTE alt = static_cast<BYTE>(MapVirtualKeyW(VK_MENU, MAPVK_VK_TO_VSC));
        const BYTE kanji = static_cast<BYTE>(MapVirtualKeyW(VK_KANJI, MAPVK_VK_TO_VSC));
        keybd_event(VK_MENU, alt, 0, 0);
        keybd_event(VK_KANJI, kanji, 0, 0);
        keybd_event(VK_KANJI, kanji, KEYEVENTF_KEYUP, 0);
        keybd_event(VK_MENU, alt, KEYEVENTF_KEYUP, 0);
        if (rows_.LastCaptionBox()) FocusBox(rows_.LastCaptionBox(), true);
        else if (rows_.LastTextBox()) FocusBox(rows_.LastTextBox(), false);
        else Text3->SetFocus();
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
    SetScrollBar(VScroll1->hwnd, scroll_, scrollMax_, viewport_);
}

void EntryEditor::SetScrollValue(int v) {
    v = std::clamp(v, 0, std::max(0, scrollMax_));
    if (v == scroll_) return;
    scroll_ = v;
    SetScrollPosition(VScroll1->hwnd, v);
    VScroll1_Change();
}

void EntryEditor::OnScroll(int code) {
    if (auto v = NextScrollValue(VScroll1->hwnd, code, scroll_, editor::kSmallChange, editor::kLargeChange, scrollMax_)) SetScrollValue(*v);
}

void EntryEditor::VScroll1_Change() { PlaceRows(); }

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

LRESULT EntryEditor::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_ACTIVATE:
        if (LOWORD(wp) != WA_INACTIVE && !closing_ && Image1) {
            Form_Activate();
            return 0;
        }
        break;
    case kChildrenForward:
        CompletePool();
        for (Form* f : {static_cast<Form*>(textEditor_.get()), static_cast<Form*>(colourChooser_.get())})
            if (f && f->hwnd() && IsWindowVisible(f->hwnd())) SetForegroundWindow(f->hwnd());
        return 0;
    case WM_COMMAND: {
        if (!lp) return 0;
        int kind = 0;
        if (Slot* s = SlotOfControl(reinterpret_cast<HWND>(lp), &kind)) {
            const int row = s->row, code = HIWORD(wp);
            if (row < 0) return 0;
            if (kind == entry_editor::kLabel1 && code == STN_CLICKED) Label1_Click(row);
            else if (kind == entry_editor::kPicture1 && code == STN_CLICKED) Picture1_Click(row);
            else if (kind == entry_editor::kText1 && code == EN_CHANGE && !binding_) {
                rows_.At(row).caption = s->caption->Text();
                rows_.Touch(row);
            } else if (kind == entry_editor::kText2 && code == EN_CHANGE && !binding_) {
                rows_.At(row).text = s->text->Text();
                rows_.Touch(row);
                ShowTextScrollBar(*s);
            } else if (kind == entry_editor::kText2 && code == EN_KILLFOCUS) {
                Text2_LostFocus(row);
            }
            return 0;
        }
        break;
    }
    case WM_DRAWITEM: {
        auto* di = reinterpret_cast<const DRAWITEMSTRUCT*>(lp);
        if (!Image1) break;
        if (di->hwndItem == Command2->hwnd || di->hwndItem == Command3->hwnd) {
            DrawArrow(*di, di->hwndItem == Command2->hwnd);
            return TRUE;
        }
        if (di->hwndItem == Image1->hwnd) {
            RECT rc = di->rcItem;
            FillRect(di->hDC, &rc, GetSysColorBrush(COLOR_BTNFACE));
            DrawFrameControl(di->hDC, &rc, DFC_SCROLL, DFCS_SCROLLSIZEGRIP);
            return TRUE;
        }
        int kind = 0;
        if (Slot* s = SlotOfControl(di->hwndItem, &kind); s && kind == entry_editor::kPicture1) {
            HBRUSH b = CreateSolidBrush(ResolveColor(s->picture->backColor));
            FillRect(di->hDC, &di->rcItem, b);
            DeleteObject(b);
            return TRUE;
        }
        break;
    }
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC: {
        int kind = 0;
        Slot* s = SlotOfControl(reinterpret_cast<HWND>(lp), &kind);
        if (s && s->row >= 0 && kind != entry_editor::kPicture1) {
            const bool lit = rows_.At(s->row).highlighted;
            HDC dc = reinterpret_cast<HDC>(wp);
            SetBkColor(dc, static_cast<COLORREF>(lit ? editor::kHighlight : editor::kWhite));
            SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
            return reinterpret_cast<LRESULT>(lit ? highlight_ : white_);
        }
        break;
    }
    case WM_VSCROLL:
        if (VScroll1 && reinterpret_cast<HWND>(lp) == VScroll1->hwnd) OnScroll(LOWORD(wp));
        return 0;
    case WM_MOUSEWHEEL:
        SetScrollValue(scroll_ - GET_WHEEL_DELTA_WPARAM(wp) / WHEEL_DELTA * 3 * editor::kSmallChange);
        return 0;
    case WM_KEYDOWN:
        Form_KeyDown(static_cast<UINT>(wp), 0);
        return 0;
    case WM_GETMINMAXINFO: {
        auto* mm = reinterpret_cast<MINMAXINFO*>(lp);
        mm->ptMinTrackSize = {Px(editor::kMinWidth), Px(editor::kMinHeight)};
        return 0;
    }
    case WM_SIZING: {
        // Whole rows while dragging, as the layout will make them anyway.
        auto* r = reinterpret_cast<RECT*>(lp);
        const editor::EntryEditorLayout l = editor::LayoutEntryEditor(Tw(r->right - r->left), Tw(r->bottom - r->top), rows_.EntryCount());
        if (wp == WMSZ_TOP || wp == WMSZ_TOPLEFT || wp == WMSZ_TOPRIGHT) r->top = r->bottom - Px(l.height);
        else r->bottom = r->top + Px(l.height);
        if (wp == WMSZ_LEFT || wp == WMSZ_TOPLEFT || wp == WMSZ_BOTTOMLEFT) r->left = std::min<LONG>(r->left, r->right - Px(l.width));
        else r->right = std::max<LONG>(r->right, r->left + Px(l.width));
        return TRUE;
    }
    case WM_SIZE:
        if (wp != SIZE_MINIMIZED) Form_Resize();
        return 0;
    case WM_CLOSE:
        Close();
        return 0;
    case WM_DESTROY:
        closing_ = true;
        if (links_.own && links_.own->entryEditor == reinterpret_cast<uintptr_t>(hwnd_)) links_.own->entryEditor = 0;
        if (links_.panel) EnableWindow(links_.panel, TRUE);
        break;
    }
    return Form::HandleMessage(msg, wp, lp);
}
