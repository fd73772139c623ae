#include "panel/search_window.h"

#include <commctrl.h>
#include <imm.h>

#include <algorithm>

#include "panel/panel_ids.h"
#include "win/app.h"
#include "win/late_bound.h"

namespace {
constexpr int kInnerWidth = 5400, kInnerHeight = 4320;  // twips
constexpr UINT_PTR kFillTimer = 1;
// The lines a keystroke shows at once; the rest follow a chunk at a time on a timer, which
// comes only when no key is waiting, so typing never waits for thousands of lines.
constexpr size_t kFirstLines = 100, kChunkLines = 300;

size_t CompositionChars(HWND h) {
    HIMC imc = late::ImmGetContext(h);
    if (!imc) return 0;
    const LONG bytes = late::ImmGetCompositionStringW(imc, GCS_COMPSTR, nullptr, 0);
    late::ImmReleaseContext(h, imc);
    return bytes > 0 ? static_cast<size_t>(bytes) / sizeof(wchar_t) : 0;
}
}  // namespace

SearchWindow::SearchWindow(Links links) : links_(std::move(links)) {}

SearchWindow::~SearchWindow() = default;

bool SearchWindow::Create() {
    if (!CreateTopLevel(search::kCaption, WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN,
                        WS_EX_TOOLWINDOW | WS_EX_TOPMOST, links_.panel, nullptr, kInnerWidth, kInnerHeight))
        return false;
    SIZE outer = OuterSize(kInnerWidth, kInnerHeight);
    SetWindowPos(hwnd_, nullptr, 0, 0, outer.cx, outer.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    editSearch = AddControl({.cls = L"EDIT", .style = WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, .exStyle = WS_EX_CLIENTEDGE,
                             .left = 90, .top = 90, .width = kInnerWidth - 180, .height = 330, .id = panel_ids::kEditSearch});
    listFound = AddControl({.cls = L"LISTBOX",
                            .style = WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | LBS_HASSTRINGS | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT,
                            .exStyle = WS_EX_CLIENTEDGE, .left = 90, .top = 510, .width = kInnerWidth - 180,
                            .height = kInnerHeight - 600, .id = panel_ids::kListFound});
    editSearch->onChange = [this] { OnQueryChanged(); };
    for (Control* c : {editSearch, listFound}) {
        c->SetFont(kUiFont, 9);
        SetWindowSubclass(c->hwnd, &SearchWindow::KeyProc, 0, reinterpret_cast<DWORD_PTR>(this));
    }
    // Beside the panel, not centred, and the panel stays usable: only the slot and the keys.
    Register(links_.own ? &links_.own->searchWindow : nullptr);
    TakeDialogKeys();
    return true;
}

bool SearchWindow::Open(const std::wstring& typed) {
    if (!hwnd_ && !Create()) return false;
    RECT panel{}, outer{};
    GetWindowRect(links_.panel, &panel);
    GetWindowRect(hwnd_, &outer);
    MONITORINFO mi{};
    mi.cbSize = sizeof mi;
    GetMonitorInfoW(MonitorFromWindow(links_.panel, MONITOR_DEFAULTTONEAREST), &mi);
    const search::Box at = search::PlaceBeside({panel.left, panel.top, panel.right, panel.bottom},
                                               {mi.rcWork.left, mi.rcWork.top, mi.rcWork.right, mi.rcWork.bottom},
                                               outer.right - outer.left, outer.bottom - outer.top);
    SetWindowPos(hwnd_, HWND_TOPMOST, at.left, at.top, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
    quiet_ = true;
    editSearch->SetText(typed);
    quiet_ = false;
    OnQueryChanged();
    ShowWindow(hwnd_, SW_SHOW);
    SetForegroundWindow(hwnd_);
    editSearch->SetFocus();
    const auto end = static_cast<LPARAM>(typed.size());
    SendMessageW(editSearch->hwnd, EM_SETSEL, static_cast<WPARAM>(end), end);
    return true;
}

void SearchWindow::Type(wchar_t c) {
    if (!Shown()) return;
    const wchar_t text[2] = {c, 0};
    SendMessageW(editSearch->hwnd, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text));
}

void SearchWindow::Refilter() {
    if (Shown()) OnQueryChanged();
}

void SearchWindow::Close() {
    if (!hwnd_) return;
    KillTimer(hwnd_, kFillTimer);
    ShowWindow(hwnd_, SW_HIDE);
    hits_.clear();
    filled_ = 0;
    SendMessageW(listFound->hwnd, LB_RESETCONTENT, 0, 0);
    quiet_ = true;
    editSearch->SetText(L"");
    quiet_ = false;
}

void SearchWindow::OnQueryChanged() {
    if (quiet_ || !links_.index || !links_.fold) return;
    const search::Found found = links_.index->Filter(editSearch->Text(), *links_.fold, links_.privateOpen && links_.privateOpen());
    hits_ = found.hits;
    lockedLine_ = found.lockedLine;
    filled_ = 0;
    HWND list = listFound->hwnd;
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    SendMessageW(list, LB_INITSTORAGE, hits_.size() + 1, static_cast<LPARAM>((hits_.size() + 1) * 64));
    FillMore();
    SendMessageW(list, LB_SETCURSEL, 0, 0);
}

void SearchWindow::FillMore() {
    if (!hwnd_) return;
    HWND list = listFound->hwnd;
    // Drawn once per chunk: a list that redraws at every line takes milliseconds a line.
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    const size_t end = std::min(hits_.size(), filled_ + (filled_ == 0 ? kFirstLines : kChunkLines));
    for (; filled_ < end; ++filled_)
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(links_.index->Line(hits_[filled_]).c_str()));
    if (filled_ < hits_.size()) {
        SetTimer(hwnd_, kFillTimer, 1, nullptr);
    } else if (lockedLine_ && filled_ == hits_.size()) {
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(search::kLockedLine.c_str()));
        ++filled_;
    }
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    RedrawWindow(list, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
}

void SearchWindow::OnEnter(bool typed) {
    const LRESULT line = SendMessageW(listFound->hwnd, LB_GETCURSEL, 0, 0);
    if (line < 0) return;
    const auto at = static_cast<size_t>(line);
    if (at >= hits_.size()) {
        if (lockedLine_ && links_.askPrivate) links_.askPrivate();
        return;
    }
    const search::Hit hit = hits_[at];
    // The paste brings the target forward itself; the window goes once it is out of the way.
    if (links_.paste) links_.paste(hit, typed);
    Close();
}

void SearchWindow::OnEscape() {
    if (links_.giveFocusBack) links_.giveFocusBack();
    Close();
}

LRESULT CALLBACK SearchWindow::KeyProc(HWND h, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id, DWORD_PTR self) {
    auto* w = reinterpret_cast<SearchWindow*>(self);
    const bool inBox = w->editSearch && h == w->editSearch->hwnd;
    switch (msg) {
    case WM_GETDLGCODE:
        if (auto* m = reinterpret_cast<const MSG*>(lp); m && m->message == WM_KEYDOWN && (m->wParam == VK_RETURN || m->wParam == VK_ESCAPE))
            return DefSubclassProc(h, msg, wp, lp) | DLGC_WANTMESSAGE;
        break;
    case WM_IME_STARTCOMPOSITION:
        w->ime_.StartComposition();
        break;
    case WM_IME_ENDCOMPOSITION:
        w->ime_.EndComposition(static_cast<uint32_t>(GetMessageTime()));
        break;
    case WM_KEYDOWN:
        switch (wp) {
        case VK_RETURN:
            // While the input method composes, Enter only commits its text.
            if (w->ime_.EnterPastes(static_cast<uint32_t>(GetMessageTime()), CompositionChars(h)))
                w->OnEnter(GetKeyState(VK_SHIFT) < 0);
            return 0;
        case VK_ESCAPE: w->OnEscape(); return 0;
        case VK_UP: case VK_DOWN: case VK_PRIOR: case VK_NEXT:
            if (inBox) return SendMessageW(w->listFound->hwnd, WM_KEYDOWN, wp, lp);
            break;
        }
        break;
    case WM_CHAR:
        if (wp == L'\r' || wp == 0x1B) return 0;
        break;
    case WM_NCDESTROY:
        RemoveWindowSubclass(h, &SearchWindow::KeyProc, id);
        break;
    }
    return DefSubclassProc(h, msg, wp, lp);
}

LRESULT SearchWindow::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_TIMER:
        if (wp != kFillTimer) break;
        KillTimer(hwnd_, kFillTimer);
        FillMore();
        return 0;
    case WM_COMMAND:
        if (listFound && reinterpret_cast<HWND>(lp) == listFound->hwnd && HIWORD(wp) == LBN_DBLCLK) {
            OnEnter(false);
            return 0;
        }
        if (!lp && (LOWORD(wp) == IDOK || LOWORD(wp) == IDCANCEL)) {
            if (LOWORD(wp) == IDCANCEL) OnEscape();
            return 0;
        }
        break;
    case WM_CLOSE:
        OnEscape();
        return 0;
    }
    return Form::HandleMessage(msg, wp, lp);
}
