// The panel from the keyboard: the Ctrl+Alt keys (ﾎｯﾄｷｰを使う) and the walk over the entry
// buttons. Keys are registered with the system, never watched: no keyboard hook.
#include "panel/panel_window.h"

#include <commctrl.h>

#include "panel/hotkey_logic.h"
#include "panel/paste_logic.h"
#include "win/app.h"
#include "win/colour_scheme.h"

namespace {
bool ModifiersHeld() {
    return GetAsyncKeyState(VK_CONTROL) < 0 || GetAsyncKeyState(VK_MENU) < 0;
}
}  // namespace

void PanelWindow::SetHotKeys(bool on, bool tellHeld) {
    host_.Choices().hotKeys = on;
    DrawTicks();
    UnregisterHotKeys();
    if (!on || !hwnd_) return;
    std::wstring held;
    for (int id = 1; id <= hotkey::kShowPanel; ++id) {
        if (RegisterHotKey(hwnd_, id, MOD_CONTROL | MOD_ALT | MOD_NOREPEAT, hotkey::VirtualKey(id)))
            heldKeys_.push_back(id);
        else
            held += std::wstring(held.empty() ? L"" : L"、") + hotkey::KeyName(id);
    }
    if (tellHeld && !held.empty())
        MsgBox(L"次のキーはほかのプログラムが使っているため使えません。\r\n\r\n" + held +
                   L"\r\n\r\nほかのキーは使えます。",
               MB_OK | MB_ICONINFORMATION, host_.ExeName());
}

void PanelWindow::UnregisterHotKeys() {
    for (int id : heldKeys_) UnregisterHotKey(hwnd_, id);
    heldKeys_.clear();
}

void PanelWindow::OnHotKey(int id) {
    if (Gone() || !HotKeys()) return;
    if (id == hotkey::kShowPanel) return ShowPanelForKeys();
    if (auto entry = hotkey::EntryOf(id)) PasteFromKey(*entry);
}

void PanelWindow::PasteFromKey(int entry) {
    if (entry >= entryCount || paste::EntryText(entries, entryCount, entry).empty()) return;
    // The target would see Ctrl+Alt+V while the user still holds the keys.
    hotkey::WaitForRelease(ModifiersHeld, [] { Sleep(2); }, [] { return static_cast<uint64_t>(GetTickCount64()); });
    HWND front = GetForegroundWindow();
    if (front != hwnd_) engine_->KeepTarget(reinterpret_cast<uintptr_t>(front));
    // The window in front is the target: the panel must not take the focus from it.
    auto park = std::move(engine_->ParkFocus);
    engine_->ParkFocus = nullptr;
    engine_->SettleBeforeKeys = front != reinterpret_cast<HWND>(engine_->Target());
    const uint32_t sequence = GetClipboardSequenceNumber();
    engine_->PasteEntry(paste::EntryText(entries, entryCount, entry), {.fromPrivate = entriesSet == 2});
    engine_->ParkFocus = std::move(park);
    engine_->SettleBeforeKeys = true;
    lastFromPrivate_ = entriesSet == 2;
    NoteClipboard(sequence, lastFromPrivate_);
    MirrorEngineState();
}

void PanelWindow::ShowPanelForKeys() {
    HWND front = GetForegroundWindow();
    if (front && front != hwnd_) engine_->KeepTarget(reinterpret_cast<uintptr_t>(front));
    if (Minimized()) ShowWindow(hwnd_, SW_RESTORE);
    SetForegroundWindow(hwnd_);
    if (entryCount > 0) FocusEntry(0);
    // Keyboard cues on: the focus mark shows even though no key was pressed in the panel.
    SendMessageW(hwnd_, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
}

void PanelWindow::FocusEntry(int entry) {
    SetScrollValue(hotkey::ScrollToShow(entry, scrollValue_, visibleRows_, scrollMax_));
    PlaceEntryButtons();
    const int k = entry - firstButton_;
    if (k >= 0 && k < static_cast<int>(slots_.size())) ::SetFocus(slots_[k]->hwnd);
}

void PanelWindow::WalkFocus(int step, int entry) {
    std::vector<Control*> keys;
    for (Control* c : {btnPrev, btnNext, btnNewLine})
        if (IsWindowVisible(c->hwnd)) keys.push_back(c);
    const hotkey::FocusStop next =
        hotkey::NextStop({true, entry}, step, entryCount, static_cast<int>(keys.size()));
    if (next.isEntry) FocusEntry(next.index);
    else keys[next.index]->SetFocus();
}

void PanelWindow::GiveFocusBack() {
    HWND target = reinterpret_cast<HWND>(engine_->Target());
    if (target && IsWindow(target)) SetForegroundWindow(target);
}

LRESULT CALLBACK PanelWindow::EntryKeyProc(HWND h, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR slot, DWORD_PTR self) {
    auto* panel = reinterpret_cast<PanelWindow*>(self);
    const int entry = panel->firstButton_ + static_cast<int>(slot);
    switch (msg) {
    case WM_GETDLGCODE:
        // The dialog keys would otherwise move among the panel's own controls or press nothing.
        if (auto* m = reinterpret_cast<const MSG*>(lp); m && m->message == WM_KEYDOWN) {
            switch (m->wParam) {
            case VK_UP: case VK_DOWN: case VK_TAB: case VK_RETURN: case VK_ESCAPE:
                return DefSubclassProc(h, msg, wp, lp) | DLGC_WANTMESSAGE;
            }
        }
        break;
    case WM_KEYDOWN:
        switch (wp) {
        case VK_UP: panel->WalkFocus(-1, entry); return 0;
        case VK_DOWN: panel->WalkFocus(1, entry); return 0;
        case VK_TAB: panel->WalkFocus(GetKeyState(VK_SHIFT) < 0 ? -1 : 1, entry); return 0;
        case VK_RETURN: panel->OnEntryClick(entry); return 0;
        case VK_ESCAPE: panel->GiveFocusBack(); return 0;
        }
        break;
    case WM_CHAR:
        if (wp == L'\r' || wp == L'\t' || wp == 0x1B) return 0;
        break;
    case WM_NCDESTROY:
        RemoveWindowSubclass(h, &PanelWindow::EntryKeyProc, slot);
        break;
    }
    return DefSubclassProc(h, msg, wp, lp);
}

void PanelWindow::ReadColourScheme() {
    systemColours_ = SchemeWantsSystemColours();
    // The frames behind the entries: white as designed, the window colour when the scheme says so.
    const COLORREF frame = systemColours_ ? GetSysColor(COLOR_WINDOW) : RGB(255, 255, 255);
    for (Control* c : {viewport, buttonColumn}) SetWindowLongPtrW(c->hwnd, GWLP_USERDATA, static_cast<LONG_PTR>(frame));
    placed_ = {};
    // Entries drawn in the system colours go back to their own when the scheme does.
    for (Control* b : slots_) b->backColor = static_cast<int32_t>(0x8000000F);
    PlaceEntryButtons();
    RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}
