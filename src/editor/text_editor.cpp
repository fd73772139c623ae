#include "editor/text_editor.h"

#include <imm.h>

#include <algorithm>

#include "base/number.h"
#include "base/stored_names.h"
#include "editor/entry_editor.h"
#include "editor/text_editor_logic.h"
#include "store/settings.h"
#include "win/app.h"
#include "win/late_bound.h"

namespace {

// Older names of the size values, read when the current ones are missing.
constexpr wchar_t kOlderWidth[] = L"Reg_Width6";
constexpr wchar_t kOlderHeight[] = L"Reg_Height6";
constexpr int kButtonWidth = 1575, kButtonHeight = 375;

const wchar_t kNotes[] =
    L"複数行の文字列をサポートします。\r\n"
    L"\r\n"
    L"(注意)　文末に付加した改行はたぶん削除します。(文中はOK)\r\n"
    L"　　　　　文中に改行だけの付加編集や、文末改行の有効は、\r\n"
    L"　　　　　「更新」の前に「Esc」キーを入力してください。\r\n"
    L"　　　　　貼付先のアプリケーションによっては、\r\n"
    L"　　　　　改行を認識しないものがあります。";

}  // namespace

TextEditor::TextEditor(EntryEditor& editor) : editor_(editor) {}

TextEditor::~TextEditor() = default;

bool TextEditor::Open() {
    const EditorLinks& links = editor_.Links();
    const int h = SettingToInt32(GetSetting(links.exeName, stored::kSection, stored::kTextEditorHeight, kOlderHeight));
    const int w = SettingToInt32(GetSetting(links.exeName, stored::kSection, stored::kTextEditorWidth, kOlderWidth));
    const editor::TextEditorLayout l = editor::LayoutTextEditor(w, h);
    const int row = editor_.Session().selectedRow;
    const std::wstring caption = editor_.Rows().HasRow(row) ? editor_.Rows().At(row).caption : L"";
    if (!CreateTopLevel(editor::TextEditorTitle(caption),
                        (WS_OVERLAPPEDWINDOW & ~(WS_MINIMIZEBOX | WS_MAXIMIZEBOX)) | WS_CLIPCHILDREN, 0,
                        editor_.hwnd(), nullptr, l.width, l.height))
        return false;
    OpenAsDialog({.owner = editor_.hwnd(), .slot = links.own ? &links.own->textEditor : nullptr, .dialogKeys = false});
    CreateControls();
    if (editor_.Rows().HasRow(row)) editText->SetText(editor_.Rows().At(row).text);
    OnResized();
    ShowWindow(hwnd_, SW_SHOW);
    SetForegroundWindow(hwnd_);
    return true;
}

void TextEditor::CreateControls() {
    using namespace text_editor;
    editText = AddControl({.cls = L"EDIT",
                           .style = WS_VISIBLE | WS_TABSTOP | ES_MULTILINE | ES_WANTRETURN | ES_AUTOVSCROLL |
                                    ES_AUTOHSCROLL | WS_VSCROLL | WS_HSCROLL,
                           .exStyle = WS_EX_CLIENTEDGE, .id = kEditText});
    editText->SetFont(kFixedFont, 11.25);
    // The control's own limit (about 30,000 characters) would drop typing and pastes silently
    // in the one place meant for long texts.
    SendMessageW(editText->hwnd, EM_SETLIMITTEXT, 0x7FFFFFFE, 0);
    auto button = [&](const wchar_t* text, const wchar_t* tip, int id, std::function<void()> click) {
        Control* c = AddControl({.cls = L"BUTTON", .text = text, .style = WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON,
                                 .width = kButtonWidth, .height = kButtonHeight, .id = id, .onClick = std::move(click)});
        c->SetFont(kUiFont, 9);
        SetToolTip(c, tip);
        return c;
    };
    btnSave = button(L"更　新", L"データを更新して閉じます。", kBtnSave, [this] { OnSave(); });
    btnCancel = button(L"キャンセル", L"やーめた", kBtnCancel, [this] { OnCancel(); });
    btnToggleIme = button(L"日本語ｵﾝ/ｵﾌ", L"IME切替", kBtnToggleIme, [this] { OnToggleIme(); });
    // The note below the text and the label beside it share a corner: the label stays on top.
    lblResizable = AddControl({.text = L"ウィンドウの幅と高さは可変です。",
                               .style = WS_VISIBLE | SS_NOPREFIX | WS_CLIPSIBLINGS, .width = 3000, .height = 255,
                               .id = kLblResizable});
    lblNotes = AddControl({.text = kNotes, .style = WS_VISIBLE | SS_NOPREFIX | SS_LEFTNOWORDWRAP | WS_CLIPSIBLINGS,
                           .left = 120, .height = 1650, .id = kLblNotes});
    SetWindowPos(lblResizable->hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    lblNotes->SetFont(kUiFont, 9);
    lblResizable->SetFont(kUiFont, 9);
    sizeGrip = AddControl({.style = WS_VISIBLE | SS_OWNERDRAW | SS_NOTIFY, .width = 480, .height = 480, .id = kSizeGrip,
                           .onClick = [this] { OnGripPressed(); }});
    SetToolTip(sizeGrip, L"ウィンドウの幅と高さが調整できます。");

    editor::Session& session = editor_.Session();
    AttachBox(editText->hwnd, BoxKind::Text, editor_.Hint(),
              {.keyPress = [&session](wchar_t c, bool atEnd) {
                   session.trailingEnters = editor::CountEnter(session.trailingEnters, c, atEnd);
               },
               .focus = [this, &session] {
                   // The caret to the end, the rows' input-method mode.
                   const int n = GetWindowTextLengthW(editText->hwnd);
                   SendMessageW(editText->hwnd, EM_SETSEL, n, n);
                   if (session.rowImeMode == 1 || session.rowImeMode == 2) {
                       if (HIMC ctx = late::ImmGetContext(editText->hwnd)) {
                           late::ImmSetOpenStatus(ctx, session.rowImeMode == 1);
                           late::ImmReleaseContext(editText->hwnd, ctx);
                       }
                   }
               }});
}

void TextEditor::OnActivated() {
    RemoveMinMaxBoxes(hwnd_);
    editor_.SetEditButtonsEnabled(false);
    editText->SetFocus();
}

void TextEditor::OnResized() {
    if (inLayout_ || !hwnd_ || !editText || IsIconic(hwnd_)) return;
    inLayout_ = true;
    const editor::TextEditorLayout l = editor::LayoutTextEditor(Width(), Height());
    RECT r;
    GetWindowRect(hwnd_, &r);
    if (Px(l.width) > r.right - r.left || Px(l.height) > r.bottom - r.top)
        SetWindowPos(hwnd_, nullptr, 0, 0, std::max<int>(Px(l.width), r.right - r.left),
                     std::max<int>(Px(l.height), r.bottom - r.top), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    // The box fills the client area's width even where the frame is wider than the layout thinks.
    editText->Move(0, 0, std::min(l.textWidth, ScaleWidth()), l.textHeight);
    lblNotes->Move(120, l.notesTop, l.width - 3840, 1650);
    lblResizable->Move(l.resizableLeft, l.resizableTop, 3000, 255);
    btnSave->Move(l.saveLeft, l.saveTop, kButtonWidth, kButtonHeight);
    btnCancel->Move(l.cancelLeft, l.cancelTop, kButtonWidth, kButtonHeight);
    btnToggleIme->Move(l.imeLeft, l.imeTop, kButtonWidth, kButtonHeight);
    sizeGrip->Move(ScaleWidth() - 480, ScaleHeight() - 480, 480, 480);
    RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    inLayout_ = false;
}

void TextEditor::OnSave() {
    editor::Session& s = editor_.Session();
    editor_.SetRowText(s.selectedRow, editor::TrimTrailingEnters(editText->Text(), s.trailingEnters));
    s.trailingEnters = 0;
    Close();
}

void TextEditor::OnCancel() { Close(); }

void TextEditor::OnToggleIme() {
    editor::Session& s = editor_.Session();
    if (editor_.Links().osVersion >= 5.1) {
        PressImeToggle();
    } else {
        // The box follows the rows' mode: on unless it is on already.
        const int mode = (s.rowImeMode != 0 && s.rowImeMode != 2) ? 2 : 1;
        editor_.Rows().SetAllIme(mode);
        s.rowImeMode = mode;
    }
    editText->SetFocus();
}

void TextEditor::OnGripPressed() { DragFromCorner(); }

void TextEditor::OnClosing() {
    if (!IsIconic(hwnd_)) {
        SaveSetting(editor_.Links().exeName, stored::kSection, stored::kTextEditorHeight, std::to_wstring(Height()));
        SaveSetting(editor_.Links().exeName, stored::kSection, stored::kTextEditorWidth, std::to_wstring(Width()));
    }
    ReleaseHeldUp();
}

void TextEditor::Close() {
    if (closed_ || !hwnd_) return;
    closed_ = true;
    OnClosing();
    DestroyWindow(hwnd_);
}

LRESULT TextEditor::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_ACTIVATE:
        if (LOWORD(wp) != WA_INACTIVE && !closed_) {
            OnActivated();
            return 0;
        }
        break;
    case WM_DRAWITEM: {
        auto* di = reinterpret_cast<const DRAWITEMSTRUCT*>(lp);
        if (sizeGrip && di->hwndItem == sizeGrip->hwnd) {
            RECT rc = di->rcItem;
            FillRect(di->hDC, &rc, GetSysColorBrush(COLOR_BTNFACE));
            DrawFrameControl(di->hDC, &rc, DFC_SCROLL, DFCS_SCROLLSIZEGRIP);
            return TRUE;
        }
        break;
    }
    case WM_GETMINMAXINFO: {
        auto* mm = reinterpret_cast<MINMAXINFO*>(lp);
        mm->ptMinTrackSize = {Px(editor::kTextEditorMinWidth), Px(editor::kTextEditorMinHeight)};
        return 0;
    }
    case WM_SIZE:
        if (wp != SIZE_MINIMIZED) OnResized();
        return 0;
    case WM_CLOSE:
        Close();
        return 0;
    }
    return Form::HandleMessage(msg, wp, lp);
}
