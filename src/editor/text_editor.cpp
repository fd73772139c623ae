#include "editor/text_editor.h"

#include <imm.h>

#include <algorithm>

#include "base/number.h"
#include "editor/entry_editor.h"
#include "editor/text_editor_logic.h"
#include "store/settings.h"
#include "win/late_bound.h"

namespace {

const wchar_t kStartup[] = L"Startup";
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

TextEditor::~TextEditor() {
    OwnWindowTable* own = editor_.Links().own;
    if (hwnd_ && own && own->textEditor == reinterpret_cast<uintptr_t>(hwnd_)) own->textEditor = 0;
}

bool TextEditor::Form_Load() {
    const EditorLinks& links = editor_.Links();
    const int h = SettingToInt32(GetSetting(links.exeName, kStartup, L"Height6", L"Reg_Height6"));
    const int w = SettingToInt32(GetSetting(links.exeName, kStartup, L"Width6", L"Reg_Width6"));
    const editor::TextEditorLayout l = editor::LayoutTextEditor(w, h);
    const int row = editor_.Session().selectedRow;
    const std::wstring caption = row >= 1 && row < editor_.Rows().RowCount() ? editor_.Rows().At(row).caption : L"";
    if (!CreateTopLevel(editor::TextEditorTitle(caption),
                        (WS_OVERLAPPEDWINDOW & ~(WS_MINIMIZEBOX | WS_MAXIMIZEBOX)) | WS_CLIPCHILDREN, 0,
                        editor_.hwnd(), nullptr, l.width, l.height))
        return false;
    MakeTopmost();
    if (links.own) links.own->textEditor = reinterpret_cast<uintptr_t>(hwnd_);
    CentreOnWorkArea(hwnd_, editor_.hwnd());
    CreateControls();
    if (row >= 1 && row < editor_.Rows().RowCount()) Text1->SetText(editor_.Rows().At(row).text);
    Form_Resize();
    ShowWindow(hwnd_, SW_SHOW);
    SetForegroundWindow(hwnd_);
    return true;
}

void TextEditor::CreateControls() {
    using namespace text_editor;
    Text1 = AddControl({.cls = L"EDIT",
                        .style = WS_VISIBLE | WS_TABSTOP | ES_MULTILINE | ES_WANTRETURN | ES_AUTOVSCROLL |
                                 ES_AUTOHSCROLL | WS_VSCROLL | WS_HSCROLL,
                        .exStyle = WS_EX_CLIENTEDGE, .id = kText1});
    Text1->SetFont(kFixedFont, 11.25);
    auto button = [&](const wchar_t* text, const wchar_t* tip, int id, std::function<void()> click) {
        Control* c = AddControl({.cls = L"BUTTON", .text = text, .style = WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON,
                                 .width = kButtonWidth, .height = kButtonHeight, .id = id, .onClick = std::move(click)});
        c->SetFont(kUiFont, 9);
        SetToolTip(c, tip);
        return c;
    };
    Command1 = button(L"更　新", L"データを更新して閉じます。", kCommand1, [this] { Command1_Click(); });
    Command2 = button(L"キャンセル", L"やーめた", kCommand2, [this] { Command2_Click(); });
    Command3 = button(L"日本語ｵﾝ/ｵﾌ", L"IME切替", kCommand3, [this] { Command3_Click(); });
    // The note below the text and the label beside it share a corner: the label stays on top.
    Label2 = AddControl({.text = L"ウィンドウの幅と高さは可変です。",
                         .style = WS_VISIBLE | SS_NOPREFIX | WS_CLIPSIBLINGS, .width = 3000, .height = 255, .id = kLabel2});
    Label1 = AddControl({.text = kNotes, .style = WS_VISIBLE | SS_NOPREFIX | SS_LEFTNOWORDWRAP | WS_CLIPSIBLINGS,
                         .left = 120, .height = 1650, .id = kLabel1});
    SetWindowPos(Label2->hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    Label1->SetFont(kUiFont, 9);
    Label2->SetFont(kUiFont, 9);
    Image1 = AddControl({.style = WS_VISIBLE | SS_OWNERDRAW | SS_NOTIFY, .width = 480, .height = 480, .id = kImage1,
                         .onClick = [this] { Image1_MouseDown(); }});
    SetToolTip(Image1, L"ウィンドウの幅と高さが調整できます。");

    editor::Session& session = editor_.Session();
    AttachBox(Text1->hwnd, BoxKind::Text, editor_.Hint(),
              {.keyPress = [&session](wchar_t c, bool atEnd) {
                   session.trailingEnters = editor::CountEnter(session.trailingEnters, c, atEnd);
               },
               .focus = [this, &session] {
                   // Text1_GotFocus: caret to the end, the rows' input-method mode.
                   const int n = GetWindowTextLengthW(Text1->hwnd);
                   SendMessageW(Text1->hwnd, EM_SETSEL, n, n);
                   if (session.rowImeMode == 1 || session.rowImeMode == 2) {
                       if (HIMC ctx = late::ImmGetContext(Text1->hwnd)) {
                           late::ImmSetOpenStatus(ctx, session.rowImeMode == 1);
                           late::ImmReleaseContext(Text1->hwnd, ctx);
                       }
                   }
               }});
}

void TextEditor::Form_Activate() {
    RemoveMinMaxBoxes(hwnd_);
    editor_.SetEditButtonsEnabled(false);
    EnableWindow(editor_.hwnd(), FALSE);
    Text1->SetFocus();
}

void TextEditor::Form_Resize() {
    if (inLayout_ || !hwnd_ || !Text1 || IsIconic(hwnd_)) return;
    inLayout_ = true;
    const editor::TextEditorLayout l = editor::LayoutTextEditor(Width(), Height());
    RECT r;
    GetWindowRect(hwnd_, &r);
    if (Px(l.width) > r.right - r.left || Px(l.height) > r.bottom - r.top)
        SetWindowPos(hwnd_, nullptr, 0, 0, std::max<int>(Px(l.width), r.right - r.left),
                     std::max<int>(Px(l.height), r.bottom - r.top), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    // The box fills the client area's width even where the frame is wider than the layout thinks.
    Text1->Move(0, 0, std::min(l.text1Width, ScaleWidth()), l.text1Height);
    Label1->Move(120, l.label1Top, l.width - 3840, 1650);
    Label2->Move(l.label2Left, l.label2Top, 3000, 255);
    Command1->Move(l.command1Left, l.command1Top, kButtonWidth, kButtonHeight);
    Command2->Move(l.command2Left, l.command2Top, kButtonWidth, kButtonHeight);
    Command3->Move(l.command3Left, l.command3Top, kButtonWidth, kButtonHeight);
    Image1->Move(ScaleWidth() - 480, ScaleHeight() - 480, 480, 480);
    RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    inLayout_ = false;
}

void TextEditor::Command1_Click() {
    editor::Session& s = editor_.Session();
    editor_.SetRowText(s.selectedRow, editor::TrimTrailingEnters(Text1->Text(), s.trailingEnters));
    s.trailingEnters = 0;
    Close();
}

void TextEditor::Command2_Click() { Close(); }

void TextEditor::Command3_Click() {
    editor::Session& s = editor_.Session();
    if (editor_.Links().osVersion >= 5.1) {
        const BYTE alt = static_cast<BYTE>(MapVirtualKeyW(VK_MENU, MAPVK_VK_TO_VSC));
        const BYTE kanji = static_cast<BYTE>(MapVirtualKeyW(VK_KANJI, MAPVK_VK_TO_VSC));
        keybd_event(VK_MENU, alt, 0, 0);
        keybd_event(VK_KANJI, kanji, 0, 0);
        keybd_event(VK_KANJI, kanji, KEYEVENTF_KEYUP, 0);
        keybd_event(VK_MENU, alt, KEYEVENTF_KEYUP, 0);
    } else {
        // The box follows the rows' mode: on unless it is on already.
        const int mode = (s.rowImeMode != 0 && s.rowImeMode != 2) ? 2 : 1;
        editor_.Rows().SetAllIme(mode);
        s.rowImeMode = mode;
    }
    Text1->SetFocus();
}

void TextEditor::Image1_MouseDown() { DragFromCorner(); }

void TextEditor::Form_QueryUnload() {
    if (!IsIconic(hwnd_)) {
        SaveSetting(editor_.Links().exeName, kStartup, L"Height6", std::to_wstring(Height()));
        SaveSetting(editor_.Links().exeName, kStartup, L"Width6", std::to_wstring(Width()));
    }
    EnableWindow(editor_.hwnd(), TRUE);
}

void TextEditor::Close() {
    if (closed_ || !hwnd_) return;
    closed_ = true;
    Form_QueryUnload();
    DestroyWindow(hwnd_);
}

LRESULT TextEditor::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_ACTIVATE:
        if (LOWORD(wp) != WA_INACTIVE && !closed_) {
            Form_Activate();
            return 0;
        }
        break;
    case WM_DRAWITEM: {
        auto* di = reinterpret_cast<const DRAWITEMSTRUCT*>(lp);
        if (Image1 && di->hwndItem == Image1->hwnd) {
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
        if (wp != SIZE_MINIMIZED) Form_Resize();
        return 0;
    case WM_CLOSE:
        Close();
        return 0;
    case WM_DESTROY:
        if (OwnWindowTable* own = editor_.Links().own; own && own->textEditor == reinterpret_cast<uintptr_t>(hwnd_))
            own->textEditor = 0;
        break;
    }
    return Form::HandleMessage(msg, wp, lp);
}
