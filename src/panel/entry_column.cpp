// The panel's column of entry buttons, the layout around it and the keyboard walk over it.
#include "panel/entry_column.h"

#include <commctrl.h>

#include <algorithm>

#include "base/color.h"
#include "base/wipe.h"
#include "base/stored_names.h"
#include "panel/hotkey_logic.h"
#include "panel/panel_ids.h"
#include "panel/private_lock_logic.h"
#include "store/datafiles.h"
#include "store/settings.h"
#include "win/app.h"
#include "win/colour_scheme.h"
#include "win/scroll.h"

namespace {
constexpr int kButtonMargin = 2;  // spare entry buttons above and below the view
}  // namespace

EntryColumn::EntryColumn(Form& panel, IPanelHost& host, const PanelButtons& buttons, Links links)
    : panel_(panel), host_(host), buttons_(buttons), links_(std::move(links)) {}

void EntryColumn::CreateControls() {
    using namespace panel;
    viewport_ = panel_.AddFrame(0, 0, kViewportWidth, 25 * kRow + kColumnTop, nullptr, RGB(255, 255, 255),
                                panel_ids::kViewport);
    column_ = panel_.AddFrame(0, 0, kColumnWidth, 25 * kRow + kColumnTop, viewport_->hwnd, RGB(255, 255, 255),
                              panel_ids::kButtonColumn);
    // Tab reaches the entries only when the dialog manager may look inside the column.
    for (Control* c : {viewport_, column_})
        SetWindowLongPtrW(c->hwnd, GWL_EXSTYLE, GetWindowLongPtrW(c->hwnd, GWL_EXSTYLE) | WS_EX_CONTROLPARENT);
    scrollBar_ = panel_.AddControl({.cls = L"SCROLLBAR", .style = SBS_VERT, .left = kScrollLeft, .top = kScrollTop,
                                    .width = kScrollWidth, .height = 25 * kRow, .id = panel_ids::kScrollBar});
    // The viewport is wider than the column and reaches under the scroll bar: the bar must lie
    // above it, or the frame takes the clicks meant for the arrows and the track.
    SetWindowPos(scrollBar_->hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

std::wstring EntryColumn::Text(int entry) const {
    if (entry < 0 || entry >= entryCount_ || static_cast<size_t>(entry) >= entries_.size()) return L"";
    return entries_[static_cast<size_t>(entry)].text;
}

void EntryColumn::StoreRowSetting() {
    const DataSet set = ChosenSet();
    const int t = StoredNumber(set);
    const int16_t setting = host_.RowSetting(set);
    visibleRows_ = static_cast<int16_t>(std::max<int>(1, setting));
    // Stored on every layout; the store is only written when the value changed.
    if (storedRows_[t] != setting) {
        SaveSetting(host_.ExeName(), stored::kSection, stored::RowsValue(t), std::to_wstring(setting));
        storedRows_[t] = setting;
    }
}

void EntryColumn::MoveGrip() {
    buttons_.grip->Move(panel_.ScaleWidth() - panel::kGripSize, panel_.ScaleHeight() - panel::kGripSize,
                        panel::kGripSize, panel::kGripSize);
}

void EntryColumn::OnWheel(int delta) {
    if (scrollMax_ > 0) SetScrollValue(scrollValue_ - delta / WHEEL_DELTA * panel::kSmallChange);
}

void EntryColumn::PlaceEntryButtons() {
    using namespace panel;
    // Only entry buttons inside the column (the first entry-count rows) can be seen, so only
    // those near the viewport_ get a real control.
    auto [first, end] = VisibleButtonRange(scrollValue_, visibleRows_, entryCount_, kButtonMargin);
    int need = std::max(0, end - first);
    const Placed now{first, need, scrollValue_, entryCount_, dataVersion_, visibleRows_};
    if (now == placed_) return;
    placed_ = now;
    while (static_cast<int>(slots_.size()) < need) {
        // Made where it goes, shown, with its caption: every call saved counts under Wine.
        const int k = static_cast<int>(slots_.size());
        const int i = first + k;
        const bool shown = i + 1 <= entryCount_;
        Control* b = panel_.AddControl({.cls = L"BUTTON", .text = shown ? entries_[i].caption : L"",
                                 .style = BS_OWNERDRAW | WS_VISIBLE | WS_TABSTOP, .left = kEntryLeft,
                                 .top = EntryButtonTop(i) - scrollValue_, .width = kEntryWidth,
                                 .height = kEntryHeight, .parent = column_->hwnd, .id = panel_ids::kFirstEntryButton + k,
                                 .onClick = [this, k] { links_.onEntry(firstButton_ + k); }});
        b->SetFont(kFixedFont, 9);
        WatchKeys(b, false);
        slots_.push_back(b);
    }
    firstButton_ = first;
    // Sealed, a Private text shows nowhere but where it is pasted.
    const bool captionOnlyTips = entriesSet_ == DataSet::Private && host_.DataSets().FileIsSealed();
    for (int k = 0; k < static_cast<int>(slots_.size()); ++k) {
        Control* b = slots_[k];
        int i = first + k;
        if (k >= need) {
            b->SetVisible(false);
            continue;
        }
        b->Move(kEntryLeft, EntryButtonTop(i) - scrollValue_, kEntryWidth, kEntryHeight);
        int32_t colour = b->backColor;
        std::wstring caption;
        if (i + 1 <= entryCount_) {
            caption = entries_[i].caption;
            panel_.SetToolTip(b, captionOnlyTips ? caption : entries_[i].text);
            if (auto v = ColorTextToValue(entries_[i].colour)) colour = *v;
            if (systemColours_) colour = static_cast<int32_t>(0x8000000F);
        } else {
            panel_.SetToolTip(b, L"");
        }
        // A blank entry draws nothing but is named with its row, for a screen reader.
        const bool blank = caption.empty() && i < entryCount_;
        if (blank) caption = L"空き " + std::to_wstring(i + 1);
        if (blank != static_cast<bool>(b->drawPicture))
            b->drawPicture = blank ? std::function<void(HDC, const RECT&, const Form&)>([](HDC, const RECT&, const Form&) {})
                                   : nullptr;
        b->shrinkToFit = locked_;  // the lock entry's caption is read whole
        bool repaint = colour != b->backColor || caption != b->Text();
        b->backColor = colour;
        b->SetText(caption);
        b->SetVisible(true);
        if (repaint && IsWindowVisible(b->hwnd)) InvalidateRect(b->hwnd, nullptr, FALSE);
    }
    // The column: as tall as its entries_, but never a window taller than the viewport_.
    int columnHeight = entryCount_ * kRow + kColumnTop - scrollValue_;
    int viewHeight = visibleRows_ * kRow + kColumnTop;
    column_->Move(column_->Left(), 0, kColumnWidth, std::clamp(columnHeight, 0, viewHeight));
}

void EntryColumn::SetScrollValue(int v) {
    v = std::clamp(v, 0, std::max(0, scrollMax_));
    if (v == scrollValue_) return;
    scrollValue_ = v;
    SetScrollPosition(scrollBar_->hwnd, v);
    PlaceEntryButtons();  // the column moves up by the scroll value inside the fixed viewport
}

void EntryColumn::OnScroll(int code) {
    if (auto v = NextScrollValue(scrollBar_->hwnd, code, scrollValue_, panel::kSmallChange, panel::kLargeChange, scrollMax_)) SetScrollValue(*v);
}

void EntryColumn::LayoutPanel() {
    if (links_.gone()) return;
    StoreRowSetting();
    DoEvents();
    // A close among the pending messages: the window's size means nothing any more.
    if (links_.gone()) return;
    PanelLayout L = ComputeLayout(entryCount_, visibleRows_, Mode());
    // Laid out like this already (a reload of unchanged data): nothing on screen changes.
    layoutKept_ = haveLayout_ && L == lastLayout_ && (panel_.Minimized() || AtLaidOutSize());
    if (layoutKept_) {
        PlaceEntryButtons();
        layoutReady_ = true;
        return;
    }
    lastLayout_ = L;
    haveLayout_ = true;
    viewport_->Move(L.frameLeft, 0, panel::kViewportWidth, L.viewportHeight);
    column_->SetLeft(L.frameLeft);
    scrollBar_->SetHeight(L.scrollHeight);
    buttons_.edit->Move(L.editLeft, L.editTop, panel::kEditButtonWidth, panel::kEditButtonHeight);
    buttons_.mode->Move(L.modeLeft, L.modeTop, L.modeWidth, panel::kModeButtonHeight);
    buttons_.prev->Move(L.prevLeft, L.keyRowTop, panel::kKeyButtonWidth, panel::kKeyButtonHeight);
    buttons_.next->Move(L.nextLeft, L.keyRowTop, panel::kKeyButtonWidth, panel::kKeyButtonHeight);
    buttons_.newLine->Move(L.newLineLeft, L.keyRowTop, panel::kNewLineWidth, panel::kKeyButtonHeight);
    buttons_.prev->SetVisible(L.showPrev);
    buttons_.next->SetVisible(L.showNext);
    buttons_.newLine->SetVisible(L.showNewLine);

    scrollMax_ = L.scrollMax;
    scrollValue_ = std::clamp(scrollValue_, 0, std::max(0, L.scrollMax));
    SetScrollBar(scrollBar_->hwnd, scrollValue_, L.scrollMax, visibleRows_ * panel::kRow, true);
    scrollBar_->SetVisible(L.scrollShown);

    if (!panel_.Minimized()) {
        // Setting the height raises OnResized, which finds the same row count.
        if (panel_.Height() != L.windowHeight) panel_.SetHeight(L.windowHeight);
        if (panel_.Width() != panel::kWindowWidth) panel_.SetWidth(panel::kWindowWidth);
    }
    PlaceEntryButtons();
    MoveGrip();
    layoutReady_ = true;
    // Moved controls repaint themselves; the form only needs its own background again.
    InvalidateRect(panel_.hwnd(), nullptr, TRUE);
}

bool EntryColumn::AtLaidOutSize() const {
    return haveLayout_ && panel_.Px(panel_.Height()) == panel_.Px(lastLayout_.windowHeight) && panel_.Px(panel_.Width()) == panel_.Px(panel::kWindowWidth);
}

void EntryColumn::OnResized() {
    if (!layoutReady_ || links_.gone() || panel_.Minimized()) return;
    if (panel_.Width() != panel::kWindowWidth) panel_.SetWidth(panel::kWindowWidth);
    ResizeDecision d = DecideResize(panel_.Height(), entryCount_, Mode());
    if (d.relayoutOnly) {
        LayoutPanel();
        return;
    }
    host_.RowSetting(ChosenSet()) = static_cast<int16_t>(d.newRowSetting);
    LayoutPanel();
    // Nothing moved (the activation's resize of an unchanged panel): nothing to draw again.
    if (!layoutKept_) {
        MoveGrip();
        RedrawWindow(panel_.hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
    }
    DoEvents();
}

void EntryColumn::LoadDataSet() {
    if (!panel_.hwnd()) return;
    BusyCursor busy;
    // Pending messages run in the middle of a load; a menu choice or an activation among them
    // may start a newer load. The older one then stops, or it would show the set it began with.
    const unsigned generation = ++loadGeneration_;
    auto superseded = [&] { return generation != loadGeneration_ || links_.gone(); };
    entryCount_ = 0;
    const DataSet set = ChosenSet();
    DataSetService::Prepared prepared = host_.DataSets().Prepare(set);
    DoEvents();
    if (superseded()) return;
    if (prepared.locked) return ShowLocked();
    locked_ = false;

    if (prepared.unreadable && !prepared.asideFailed) {
        // The files of Private are only touched while Private is the loaded set; a working
        // copy made while another set is loaded would later be taken for the real one.
        host_.DataSets().RepairPrivate();
    }
    std::vector<Entry> read;
    if (!prepared.unreadable) {
        auto bytes = prepared.bytes ? std::move(prepared.bytes) : ReadAllBytes(prepared.file);
        if (bytes && loaded_.valid && loaded_.set == set && loaded_.bytes == *bytes) {
            // The same entries_ as last time: the buttons show them (placing finds nothing to
            // do unless an interrupted load left them behind).
            if (set == DataSet::Private) wipe::Clear(*bytes);
            entryCount_ = loaded_.count;
            PlaceEntryButtons();
            return;
        }
        WipeEntries();
        loaded_.valid = bytes.has_value();
        loaded_.set = set;
        loaded_.bytes = bytes ? std::move(*bytes) : std::string();
        read = ParseDataSet(loaded_.bytes);
    } else {
        loaded_.valid = false;
    }
    ++dataVersion_;
    entryCount_ = static_cast<int16_t>(std::min<size_t>(read.size(), 32767));
    loaded_.count = entryCount_;
    read.resize(static_cast<size_t>(entryCount_));
    entries_ = std::move(read);
    entriesSet_ = set;
    DoEvents();
    if (superseded()) return;
    // A single record is an entry like any other: the Private file that decrypts to one
    // record is told apart by the data-set service.
    if (prepared.unreadable) {
        ShowUnreadablePrivate(prepared);
    } else {
        PlaceLoadedButtons();
    }
}

void EntryColumn::PlaceLoadedButtons() {
    scrollValue_ = std::clamp(scrollValue_, 0, std::max(0, entryCount_ * panel::kRow));
    PlaceEntryButtons();
}

void EntryColumn::WipeEntries() {
    if (entriesSet_ != DataSet::Private) return;
    for (Entry& e : entries_) {
        wipe::Clear(e.caption);
        wipe::Clear(e.text);
    }
    entries_.clear();
    wipe::Clear(loaded_.bytes);
    loaded_.valid = false;
}

void EntryColumn::ShowLocked() {
    WipeEntries();
    locked_ = true;
    entriesSet_ = DataSet::Private;
    entries_.assign(1, Entry{private_lock::kLockedCaption, L"", L"&HE0E0E0"});
    entryCount_ = 1;
    ++dataVersion_;
    scrollValue_ = 0;
    PlaceLoadedButtons();
}

void EntryColumn::ShowBlankButtons() {
    entryCount_ = 25;
    entries_.assign(25, Entry{L"", L"", L"&HFFFFFF"});
    PlaceLoadedButtons();
}

namespace {
const wchar_t kRepairedText[] = L"データの複合化で不具合を生じました。\r\n\r\n"
                                L"Privateのデータは初期化されましたので、\r\n"
                                L"お手数ですがもう一度データを入力してください。　　　　　";
}  // namespace

void EntryColumn::ShowUnreadablePrivate(const DataSetService::Prepared& prepared) {
    if (prepared.asideFailed) {
        // Nothing was changed; the entries_ stay in the Private file for another try.
        entryCount_ = 0;
        PlaceLoadedButtons();
        MsgBox(L"Privateのデータを読み込めませんでした。\r\n\r\n"
               L"データはそのまま次のファイルに残してあります。\r\n" +
                   host_.DataSets().File(stored::kPrivateFile),
               MB_OK | MB_ICONSTOP, host_.ExeName());
        return;
    }
    // Started afresh: 25 blank entries_, and the old file named so nothing seems lost.
    ShowBlankButtons();
    MsgBox(std::wstring(kRepairedText) + L"\r\n\r\n読み込めなかったデータは、次のファイルとして残してあります。\r\n" +
               prepared.keptAside,
           MB_OK | MB_ICONSTOP, host_.ExeName());
}

LRESULT EntryColumn::OnSizing(WPARAM edge, RECT* r) const {
    // Snap while dragging so the frame follows whole rows and keeps its width.
    ResizeDecision d = DecideResize(panel_.Tw(r->bottom - r->top), entryCount_, Mode());
    int rows = d.relayoutOnly ? visibleRows_ : std::max(1, d.newRowSetting);
    int h = panel_.Px(ComputeLayout(entryCount_, rows, Mode()).windowHeight);
    if (edge == WMSZ_TOP || edge == WMSZ_TOPLEFT || edge == WMSZ_TOPRIGHT) r->top = r->bottom - h;
    else r->bottom = r->top + h;
    if (edge == WMSZ_LEFT || edge == WMSZ_TOPLEFT || edge == WMSZ_BOTTOMLEFT)
        r->left = r->right - panel_.Px(panel::kWindowWidth);
    else r->right = r->left + panel_.Px(panel::kWindowWidth);
    return TRUE;
}

void EntryColumn::FocusEntry(int entry) {
    SetScrollValue(hotkey::ScrollToShow(entry, scrollValue_, visibleRows_, scrollMax_));
    PlaceEntryButtons();
    const int k = entry - firstButton_;
    if (k >= 0 && k < static_cast<int>(slots_.size())) ::SetFocus(slots_[k]->hwnd);
}

std::vector<Control*> EntryColumn::RingButtons() const {
    std::vector<Control*> shown;
    for (Control* c : {buttons_.edit, buttons_.mode, buttons_.prev, buttons_.next, buttons_.newLine})
        if (c && IsWindowVisible(c->hwnd)) shown.push_back(c);
    return shown;
}

std::optional<hotkey::FocusStop> EntryColumn::StopOf(HWND h) const {
    for (size_t k = 0; k < slots_.size(); ++k)
        if (slots_[k]->hwnd == h) return hotkey::FocusStop{true, firstButton_ + static_cast<int>(k)};
    const std::vector<Control*> buttons = RingButtons();
    for (size_t k = 0; k < buttons.size(); ++k)
        if (buttons[k]->hwnd == h) return hotkey::FocusStop{false, static_cast<int>(k)};
    return std::nullopt;
}

namespace {
std::optional<hotkey::RingKey> RingKeyOf(WPARAM vk) {
    using hotkey::RingKey;
    switch (vk) {
    case VK_TAB: return GetKeyState(VK_SHIFT) < 0 ? RingKey::Back : RingKey::Next;
    case VK_DOWN: return RingKey::Next;
    case VK_UP: return RingKey::Back;
    case VK_HOME: return RingKey::Home;
    case VK_END: return RingKey::End;
    case VK_PRIOR: return RingKey::PageUp;
    case VK_NEXT: return RingKey::PageDown;
    }
    return std::nullopt;
}
constexpr UINT_PTR kRingKeys = 1, kHolderKeys = 2;
bool TypesAhead(WPARAM c) { return c > L' ' && c != 0x7F; }  // Space pastes
}  // namespace

bool EntryColumn::OnKey(HWND from, WPARAM vk) {
    const auto key = RingKeyOf(vk);
    if (!key) return false;
    const std::vector<Control*> buttons = RingButtons();
    const int top = (scrollValue_ + panel::kRow - 1) / panel::kRow;
    const hotkey::FocusStop to = hotkey::RingMove(StopOf(from), *key, entryCount_, static_cast<int>(buttons.size()),
                                                  visibleRows_, top);
    if (to.isEntry) FocusEntry(to.index);
    else if (to.index < static_cast<int>(buttons.size())) buttons[static_cast<size_t>(to.index)]->SetFocus();
    return true;
}

void EntryColumn::WatchKeys(Control* c, bool focusHolder) {
    SetWindowSubclass(c->hwnd, &EntryColumn::RingKeyProc, focusHolder ? kHolderKeys : kRingKeys,
                      reinterpret_cast<DWORD_PTR>(this));
}

// Every stop of the walk, and the focus holder for the keys that enter the walk. Enter and
// Space act on the key's press, once however long it is held; the holder keeps its own.
LRESULT CALLBACK EntryColumn::RingKeyProc(HWND h, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id, DWORD_PTR self) {
    auto* column = reinterpret_cast<EntryColumn*>(self);
    const bool stop = id == kRingKeys;
    const auto acts = [stop](WPARAM vk) { return stop && (vk == VK_RETURN || vk == VK_SPACE || vk == VK_ESCAPE); };
    switch (msg) {
    case WM_GETDLGCODE:
        // The dialog keys would otherwise move among the panel's own controls or press nothing.
        if (auto* m = reinterpret_cast<const MSG*>(lp); m && m->message == WM_KEYDOWN && (RingKeyOf(m->wParam) || acts(m->wParam)))
            return DefSubclassProc(h, msg, wp, lp) | DLGC_WANTMESSAGE;
        // A letter is typed into the search, not taken as the access key of (&Z) or (&N).
        if (auto* m = reinterpret_cast<const MSG*>(lp); m && m->message == WM_CHAR && stop && TypesAhead(m->wParam))
            return DefSubclassProc(h, msg, wp, lp) | DLGC_WANTCHARS;
        break;
    case WM_KEYDOWN:
        if (column->OnKey(h, wp)) return 0;
        if (!acts(wp)) break;
        if (wp == VK_ESCAPE) column->links_.onEscape();
        else if (!(lp & (1 << 30))) column->Press(h);
        return 0;
    case WM_CHAR:
        if (wp == L'\t' || (stop && (wp == L'\r' || wp == L' ' || wp == 0x1B))) return 0;
        // Typing on the panel looks for an entry (Space pastes, above).
        if (stop && TypesAhead(wp) && column->links_.onTypeAhead) {
            column->links_.onTypeAhead(static_cast<wchar_t>(wp));
            return 0;
        }
        break;
    case WM_NCDESTROY:
        RemoveWindowSubclass(h, &EntryColumn::RingKeyProc, id);
        break;
    }
    return DefSubclassProc(h, msg, wp, lp);
}

void EntryColumn::Press(HWND h) {
    const auto at = StopOf(h);
    if (!at) return;
    if (at->isEntry) return links_.onEnterKey(at->index);
    links_.onButtonKey(RingButtons()[static_cast<size_t>(at->index)]);
}

void EntryColumn::ReadColourScheme() {
    systemColours_ = SchemeWantsSystemColours();
    // The frames behind the entries: white as designed, the window colour when the scheme says so.
    const COLORREF frame = systemColours_ ? GetSysColor(COLOR_WINDOW) : RGB(255, 255, 255);
    for (Control* c : {viewport_, column_}) SetWindowLongPtrW(c->hwnd, GWLP_USERDATA, static_cast<LONG_PTR>(frame));
    placed_ = {};
    // Entries drawn in the system colours go back to their own when the scheme does.
    for (Control* b : slots_) b->backColor = static_cast<int32_t>(0x8000000F);
    PlaceEntryButtons();
    RedrawWindow(panel_.hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}
