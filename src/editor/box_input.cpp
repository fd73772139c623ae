#include "editor/box_input.h"

#include <commctrl.h>
#include <imm.h>

#include <utility>

#include "editor/entry_editor_logic.h"
#include "win/acc_name.h"
#include "win/form.h"

const wchar_t kCaptionLimitHint[] = L"ボタンの表示文字は全角7文字・半角14文字までです。";
const wchar_t kLongTextHint[] = L"長いデータは、ダブルクリックで開く簡易テキストエディタで編集してください。";

std::wstring UnstorableHint(wchar_t c) {
    return std::wstring(L"「") + c + L"」は保存できない文字のため、入力できません。";
}

std::function<void()> InputHint::Beep = [] { MessageBeep(MB_OK); };

namespace {

constexpr UINT_PTR kHideTimer = 1;
constexpr UINT kHideAfterMs = 4000;

void Selection(HWND h, size_t& start, size_t& end) {
    DWORD s = 0, e = 0;
    SendMessageW(h, EM_GETSEL, reinterpret_cast<WPARAM>(&s), reinterpret_cast<LPARAM>(&e));
    start = s;
    end = e;
}

void CALLBACK HideTip(HWND tip, UINT, UINT_PTR id, DWORD) {
    KillTimer(tip, id);
    TTTOOLINFOW ti{};
    ti.cbSize = sizeof ti;
    ti.hwnd = GetParent(tip);
    ti.uId = 1;
    SendMessageW(tip, TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&ti));
}

struct Box {
    BoxKind kind;
    InputHint* hint;
    BoxEvents events;
    WNDPROC original = nullptr;  // the control's own procedure, which does the rest
    wchar_t high = 0;  // first half of a surrogate pair, waiting for the second
};

LRESULT Pass(HWND h, UINT msg, WPARAM wp, LPARAM lp, const Box& b) { return CallWindowProcW(b.original, h, msg, wp, lp); }

void Refuse(HWND h, Box& b, const std::wstring& why) {
    InputHint::Beep();
    if (b.hint) b.hint->Show(h, why);
}

// Puts `text` in place of [start, end) as far as the box may take it. False when nothing of
// it could go in.
bool Insert(HWND h, Box& b, size_t start, size_t end, std::wstring text) {
    if (b.kind == BoxKind::Caption) {
        size_t br = text.find_first_of(L"\r\n");
        if (br != std::wstring::npos) text.resize(br);
    } else {
        text = editor::NormaliseLineBreaks(text);
    }
    if (auto bad = editor::FirstUnstorable(text)) {
        Refuse(h, b, UnstorableHint(text[*bad]));
        return false;
    }
    if (b.kind == BoxKind::Caption) {
        std::wstring fit = editor::FitCaption(WindowText(h), start, end, text);
        if (fit.size() < text.size()) Refuse(h, b, kCaptionLimitHint);
        text = fit;
    }
    SendMessageW(h, EM_SETSEL, start, end);
    SendMessageW(h, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
    return !text.empty();
}

// Lets the box insert in its own way (a paste, an input-method result), then takes back what
// it inserted and puts it through Insert.
LRESULT Checked(HWND h, UINT msg, WPARAM wp, LPARAM lp, Box& b) {
    const std::wstring before = WindowText(h);
    size_t start = 0, end = 0;
    Selection(h, start, end);
    LRESULT r = Pass(h, msg, wp, lp, b);
    const std::wstring after = WindowText(h);
    if (after == before) return r;
    size_t p = 0;
    while (p < before.size() && p < after.size() && before[p] == after[p]) ++p;
    size_t q = 0;
    while (q < before.size() - p && q < after.size() - p &&
           before[before.size() - 1 - q] == after[after.size() - 1 - q])
        ++q;
    std::wstring inserted = after.substr(p, after.size() - p - q);
    SetWindowTextW(h, before.c_str());
    // A box of several lines says nothing about a text set this way: its owner hears it here.
    SendMessageW(GetParent(h), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(h), EN_CHANGE), reinterpret_cast<LPARAM>(h));
    Insert(h, b, p, before.size() - q, inserted);
    return r;
}

// A typed character, or one the input method sends whole: what the box cannot take is refused
// before it gets in.
LRESULT OnCharacter(HWND h, UINT msg, WPARAM wp, LPARAM lp, Box& b) {
    if (b.kind == BoxKind::Keys) return 0;  // the focus holder keeps nothing
    const auto c = static_cast<wchar_t>(wp);
    // A character beyond U+FFFF comes as two halves: it goes in whole with the second.
    if (IS_HIGH_SURROGATE(c)) {
        b.high = c;
        return 0;
    }
    const wchar_t high = std::exchange(b.high, wchar_t{0});
    if ((GetWindowLongPtrW(h, GWL_STYLE) & ES_READONLY) && (c >= 0x20 || c == L'\r' || c == L'\b')) {
        Refuse(h, b, kLongTextHint);  // the box shows only the start of a long text
        return 0;
    }
    if (b.kind == BoxKind::Caption && (c == L'\r' || c == L'\n' || c == L'\t')) return 0;
    size_t start = 0, end = 0;
    Selection(h, start, end);
    const bool atEnd = end >= static_cast<size_t>(GetWindowTextLengthW(h));
    if (high && IS_LOW_SURROGATE(c)) {
        if (b.events.keyPress) b.events.keyPress(c, atEnd);
        Insert(h, b, start, end, std::wstring{high, c});
        return 0;
    }
    if (c >= 0x20 || c == L'\t') {
        if (editor::FirstUnstorable(std::wstring_view(&c, 1))) {
            Refuse(h, b, UnstorableHint(c));
            return 0;
        }
        if (b.kind == BoxKind::Caption && editor::FitCaption(WindowText(h), start, end, std::wstring(1, c)).empty()) {
            Refuse(h, b, kCaptionLimitHint);
            return 0;
        }
    }
    if (b.events.keyPress) b.events.keyPress(c, atEnd);
    // The box would take an input-method character as a character anyway; this way it goes
    // through the same checks as a typed one.
    return Pass(h, msg == WM_IME_CHAR ? WM_CHAR : msg, wp, lp, b);
}

// Clicks and the focus: the box handles them first, then its owner hears of them.
LRESULT ThenTell(HWND h, UINT msg, WPARAM wp, LPARAM lp, const Box& b, const std::function<void()>& event) {
    LRESULT r = Pass(h, msg, wp, lp, b);
    if (event) event();
    return r;
}

LRESULT CALLBACK BoxProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    Box& b = *reinterpret_cast<Box*>(GetWindowLongPtrW(h, GWLP_USERDATA));
    switch (msg) {
    case WM_KEYDOWN:
        if (wp == VK_TAB && b.events.tab) {
            b.events.tab(GetKeyState(VK_SHIFT) < 0);
            return 0;
        }
        if (b.hint) b.hint->Hide();
        if (b.events.keyDown && b.events.keyDown(static_cast<UINT>(wp))) return 0;
        if (!IsWindow(h)) return 0;
        break;
    case WM_CHAR:
    case WM_IME_CHAR:
        if (wp == L'\t' && b.events.tab) return 0;
        return OnCharacter(h, msg, wp, lp, b);
    case WM_PASTE:
        if (b.kind == BoxKind::Keys) break;
        if (GetWindowLongPtrW(h, GWL_STYLE) & ES_READONLY) {
            Refuse(h, b, kLongTextHint);
            return 0;
        }
        return Checked(h, msg, wp, lp, b);
    case WM_IME_COMPOSITION:
        if (b.kind == BoxKind::Keys || !(lp & GCS_RESULTSTR)) break;
        return Checked(h, msg, wp, lp, b);
    case WM_LBUTTONDOWN:
        return ThenTell(h, msg, wp, lp, b, b.events.click);
    case WM_LBUTTONDBLCLK:
        return ThenTell(h, msg, wp, lp, b, b.events.doubleClick);
    case WM_SETFOCUS:
        return ThenTell(h, msg, wp, lp, b, b.events.focus);
    case WM_GETOBJECT:
        if (b.events.name)
            if (const LRESULT r = AnswerWithName(h, wp, lp, b.events.name())) return r;
        break;
    case WM_NCDESTROY: {
        const WNDPROC original = b.original;
        SetWindowLongPtrW(h, GWLP_USERDATA, 0);
        delete &b;
        return CallWindowProcW(original, h, msg, wp, lp);  // the last message the window gets
    }
    }
    return Pass(h, msg, wp, lp, b);
}

}  // namespace

void AttachBox(HWND box, BoxKind kind, InputHint* hint, BoxEvents events) {
    // A plain window-procedure subclass: comctl32's looks its data up at every message, under
    // Wine a server call each, and the editor's rows take hundreds while it opens.
    auto* b = new Box{kind, hint, std::move(events)};
    SetWindowLongPtrW(box, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(b));
    b->original = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(box, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(BoxProc)));
}

// ---- the balloon ------------------------------------------------------------------------

InputHint::InputHint(HWND owner) {
    tip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                           WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP | TTS_BALLOON, CW_USEDEFAULT,
                           CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr,
                           GetModuleHandleW(nullptr), nullptr);
    if (!tip_) return;
    SendMessageW(tip_, TTM_SETMAXTIPWIDTH, 0, 360);
    TTTOOLINFOW ti{};
    ti.cbSize = sizeof ti;
    ti.uFlags = TTF_TRACK | TTF_ABSOLUTE;
    ti.hwnd = owner;
    ti.uId = 1;
    ti.lpszText = const_cast<wchar_t*>(L"");
    SendMessageW(tip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
}

InputHint::~InputHint() {
    if (tip_ && IsWindow(tip_)) DestroyWindow(tip_);
}

void InputHint::Show(HWND box, const std::wstring& text) {
    text_ = text;
    if (!tip_ || !IsWindow(tip_)) return;
    TTTOOLINFOW ti{};
    ti.cbSize = sizeof ti;
    ti.hwnd = GetParent(tip_);
    ti.uId = 1;
    ti.lpszText = const_cast<wchar_t*>(text_.c_str());
    SendMessageW(tip_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&ti));
    RECT r;
    GetWindowRect(box, &r);
    SendMessageW(tip_, TTM_TRACKPOSITION, 0, MAKELPARAM(r.left + 8, r.bottom - 2));
    SendMessageW(tip_, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&ti));
    SetTimer(tip_, kHideTimer, kHideAfterMs, HideTip);
}

void InputHint::Hide() {
    if (tip_ && IsWindow(tip_) && IsWindowVisible(tip_)) HideTip(tip_, 0, kHideTimer, 0);
}
