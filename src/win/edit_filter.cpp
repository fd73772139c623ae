#include "win/edit_filter.h"

#include <commctrl.h>

#include <string>

#include "win/form.h"

namespace {

LRESULT CALLBACK FilterProc(HWND h, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id, DWORD_PTR ref) {
    auto* f = reinterpret_cast<EditFilter*>(ref);
    switch (msg) {
    case WM_GETDLGCODE: {
        LRESULT r = DefSubclassProc(h, msg, wp, lp);
        auto* m = reinterpret_cast<const MSG*>(lp);
        if (f->enterMsg && m && (m->message == WM_KEYDOWN || m->message == WM_CHAR) && m->wParam == VK_RETURN)
            r |= DLGC_WANTMESSAGE;
        return r;
    }
    case WM_KEYDOWN:
        if (f->enterMsg && wp == VK_RETURN) {
            PostMessageW(GetParent(h), f->enterMsg, 0, 0);
            return 0;
        }
        break;
    case WM_CHAR:
    case WM_IME_CHAR:
        if (f->enterMsg && (wp == L'\r' || wp == L'\n')) return 0;
        if (wp >= 0x20 && f->accepts && !f->accepts(static_cast<wchar_t>(wp))) {
            if (f->refused) f->refused();
            return 0;
        }
        break;
    case WM_PASTE:
    case WM_IME_COMPOSITION: {
        if (!f->checkPastes || !f->accepts) break;
        std::wstring before = WindowText(h);
        DWORD selStart = 0, selEnd = 0;
        SendMessageW(h, EM_GETSEL, reinterpret_cast<WPARAM>(&selStart), reinterpret_cast<LPARAM>(&selEnd));
        LRESULT r = DefSubclassProc(h, msg, wp, lp);
        for (wchar_t c : WindowText(h)) {
            if (f->accepts(c)) continue;
            SetWindowTextW(h, before.c_str());
            SendMessageW(h, EM_SETSEL, selStart, selEnd);
            if (f->refused) f->refused();
            break;
        }
        return r;
    }
    case WM_NCDESTROY:
        RemoveWindowSubclass(h, FilterProc, id);
        delete f;
        break;
    }
    return DefSubclassProc(h, msg, wp, lp);
}

}  // namespace

void FilterEdit(HWND edit, EditFilter filter) {
    SetWindowSubclass(edit, FilterProc, 1, reinterpret_cast<DWORD_PTR>(new EditFilter(std::move(filter))));
}
