// The button panel: entry buttons, scrolling, layout, resizing and the data sets.
#include "panel/panel_window.h"

#include <commctrl.h>

#include <algorithm>

#include "base/color.h"
#include "base/stored_names.h"
#include "store/datafiles.h"
#include "store/dataset_format.h"
#include "store/settings.h"
#include "win/app.h"
#include "win/scroll.h"

namespace {
constexpr int kButtonMargin = 2;            // spare entry buttons above and below the view
}  // namespace

// ---- the entry buttons ------------------------------------------------------------------

void PanelWindow::PlaceEntryButtons() {
    using namespace panel;
    // Only entry buttons inside the column (the first entry-count rows) can be seen, so only
    // those near the viewport get a real control.
    auto [first, end] = VisibleButtonRange(scrollValue_, visibleRows_, entryCount, kButtonMargin);
    int need = std::max(0, end - first);
    const Placed now{first, need, scrollValue_, entryCount, dataVersion_, visibleRows_};
    if (now == placed_) return;
    placed_ = now;
    while (static_cast<int>(slots_.size()) < need) {
        // Made where it goes, shown, with its caption: every call saved counts under Wine.
        const int k = static_cast<int>(slots_.size());
        const int i = first + k;
        const bool shown = i + 1 <= entryCount;
        Control* b = AddControl({.cls = L"BUTTON", .text = shown ? entries[i].caption : L"",
                                 .style = BS_OWNERDRAW | WS_VISIBLE | WS_TABSTOP, .left = kEntryLeft,
                                 .top = EntryButtonTop(i) - scrollValue_, .width = kEntryWidth,
                                 .height = kEntryHeight, .parent = buttonColumn->hwnd, .id = panel_ids::kFirstEntryButton + k,
                                 .onClick = [this, k] { OnEntryClick(firstButton_ + k); }});
        b->SetFont(kFixedFont, 9);
        SetWindowSubclass(b->hwnd, &PanelWindow::EntryKeyProc, static_cast<UINT_PTR>(k), reinterpret_cast<DWORD_PTR>(this));
        slots_.push_back(b);
    }
    firstButton_ = first;
    // Sealed, a Private text shows nowhere but where it is pasted.
    const bool captionOnlyTips = entriesSet == 2 && host_.DataSets().IsSealed();
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
        if (i + 1 <= entryCount) {
            caption = entries[i].caption;
            SetToolTip(b, captionOnlyTips ? caption : entries[i].text);
            if (auto v = ColorTextToValue(entries[i].colour)) colour = *v;
            if (systemColours_) colour = static_cast<int32_t>(0x8000000F);
        } else {
            SetToolTip(b, L"");
        }
        // A blank entry draws nothing but is named with its row, for a screen reader.
        const bool blank = caption.empty() && i < entryCount;
        if (blank) caption = L"空き " + std::to_wstring(i + 1);
        if (blank != static_cast<bool>(b->drawPicture))
            b->drawPicture = blank ? std::function<void(HDC, const RECT&, const Form&)>([](HDC, const RECT&, const Form&) {})
                                   : nullptr;
        bool repaint = colour != b->backColor || caption != b->Text();
        b->backColor = colour;
        b->SetText(caption);
        b->SetVisible(true);
        if (repaint && IsWindowVisible(b->hwnd)) InvalidateRect(b->hwnd, nullptr, FALSE);
    }
    // The column: as tall as its entries, but never a window taller than the viewport.
    int columnHeight = entryCount * kRow + kColumnTop - scrollValue_;
    int viewHeight = visibleRows_ * kRow + kColumnTop;
    buttonColumn->Move(buttonColumn->Left(), 0, kColumnWidth, std::clamp(columnHeight, 0, viewHeight));
}

void PanelWindow::SetScrollValue(int v) {
    v = std::clamp(v, 0, std::max(0, scrollMax_));
    if (v == scrollValue_) return;
    scrollValue_ = v;
    SetScrollPosition(scrollBar->hwnd, v);
    OnScrolled();
}

void PanelWindow::OnScroll(int code) {
    if (auto v = NextScrollValue(scrollBar->hwnd, code, scrollValue_, panel::kSmallChange, panel::kLargeChange, scrollMax_)) SetScrollValue(*v);
}

void PanelWindow::OnScrolled() {
    // The column moves up by the scroll value inside the fixed viewport.
    PlaceEntryButtons();
}

int16_t& PanelWindow::RowSettingOfTicked() { return host_.RowSetting(DataSet()); }

// ---- layout -----------------------------------------------------------------------------

bool PanelWindow::Gone() const { return closing_ || !hwnd_ || !IsWindow(hwnd_); }

void PanelWindow::LayoutPanel() {
    if (Gone()) return;
    {
        const int t = DataSet();
        int16_t setting = host_.RowSetting(t);
        visibleRows_ = static_cast<int16_t>(std::max<int>(1, setting));
        // Stored on every layout; the store is only written when the value changed.
        if (storedRows_[t] != setting) {
            SaveSetting(host_.ExeName(), stored::kSection, stored::RowsValue(t), std::to_wstring(setting));
            storedRows_[t] = setting;
        }
    }
    DoEvents();
    // A close among the pending messages: the window's size means nothing any more.
    if (Gone()) return;
    PanelLayout L = ComputeLayout(entryCount, visibleRows_, CurrentMode());
    // Laid out like this already (a reload of unchanged data): nothing on screen changes.
    layoutKept_ = haveLayout_ && L == lastLayout_ && (Minimized() || AtLaidOutSize());
    if (layoutKept_) {
        PlaceEntryButtons();
        layoutReady_ = true;
        return;
    }
    lastLayout_ = L;
    haveLayout_ = true;
    viewport->Move(L.frameLeft, 0, panel::kViewportWidth, L.viewportHeight);
    buttonColumn->SetLeft(L.frameLeft);
    scrollBar->SetHeight(L.scrollHeight);
    btnEdit->Move(L.editLeft, L.editTop, panel::kEditButtonWidth, panel::kEditButtonHeight);
    btnMode->Move(L.modeLeft, L.modeTop, L.modeWidth, panel::kModeButtonHeight);
    btnPrev->Move(L.prevLeft, L.keyRowTop, panel::kKeyButtonWidth, panel::kKeyButtonHeight);
    btnNext->Move(L.nextLeft, L.keyRowTop, panel::kKeyButtonWidth, panel::kKeyButtonHeight);
    btnNewLine->Move(L.newLineLeft, L.keyRowTop, panel::kNewLineWidth, panel::kKeyButtonHeight);
    btnPrev->SetVisible(L.showPrev);
    btnNext->SetVisible(L.showNext);
    btnNewLine->SetVisible(L.showNewLine);

    scrollMax_ = L.scrollMax;
    scrollValue_ = std::clamp(scrollValue_, 0, std::max(0, L.scrollMax));
    SetScrollBar(scrollBar->hwnd, scrollValue_, L.scrollMax, visibleRows_ * panel::kRow, true);
    scrollBar->SetVisible(L.scrollShown);

    if (!Minimized()) {
        // Setting the height raises OnResized, which finds the same row count.
        if (Height() != L.windowHeight) SetHeight(L.windowHeight);
        if (Width() != panel::kWindowWidth) SetWidth(panel::kWindowWidth);
    }
    PlaceEntryButtons();
    sizeGrip->Move(ScaleWidth() - panel::kGripSize, ScaleHeight() - panel::kGripSize,
                   panel::kGripSize, panel::kGripSize);
    layoutReady_ = true;
    // Moved controls repaint themselves; the form only needs its own background again.
    InvalidateRect(hwnd_, nullptr, TRUE);
}

// Compared in pixels: the twips of a layout seldom make whole pixels.
bool PanelWindow::AtLaidOutSize() const {
    return haveLayout_ && Px(Height()) == Px(lastLayout_.windowHeight) && Px(Width()) == Px(panel::kWindowWidth);
}

void PanelWindow::OnResized() {
    if (!layoutReady_ || Gone() || Minimized()) return;
    if (Width() != panel::kWindowWidth) SetWidth(panel::kWindowWidth);
    ResizeDecision d = DecideResize(Height(), entryCount, CurrentMode());
    if (d.relayoutOnly) {
        LayoutPanel();
        return;
    }
    host_.RowSetting(DataSet()) = static_cast<int16_t>(d.newRowSetting);
    LayoutPanel();
    // Nothing moved (the activation's resize of an unchanged panel): nothing to draw again.
    if (!layoutKept_) {
        sizeGrip->Move(ScaleWidth() - panel::kGripSize, ScaleHeight() - panel::kGripSize,
                       panel::kGripSize, panel::kGripSize);
        RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
    }
    DoEvents();
}

// ---- data sets --------------------------------------------------------------------------

namespace {
// Leaving Private seals its working copy first; when that fails the panel stays on Private
// and says why, or the plain copy would lie there unnoticed.
bool PrivateSealed(DataSetService& sets, int loadedSet, const std::wstring& exeName) {
    if (loadedSet != 2 || sets.PutWorkingCopyAway()) return true;
    MsgBox(L"Privateのデータを暗号化して保存できなかったため、Privateのままにしました。\r\n\r\n" + sets.SealFailure(),
           MB_OK | MB_ICONEXCLAMATION, exeName);
    return false;
}
}  // namespace

void PanelWindow::OnChoosePublic() {
    if (!PrivateSealed(host_.DataSets(), DataSet(), host_.ExeName())) return;
    layoutReady_ = false;
    ChooseDataSet(1);
    LoadDataSet();
    LayoutPanel();
}

void PanelWindow::OnChooseKaomoji() {
    if (!PrivateSealed(host_.DataSets(), DataSet(), host_.ExeName())) return;
    layoutReady_ = false;
    ChooseDataSet(3);
    LoadDataSet();
    LayoutPanel();
}

void PanelWindow::OnChoosePrivate() {
    layoutReady_ = false;
    if (DataSet() == 2) return;
    if (PasswordOn() || host_.PrivateKeyUnknown() || host_.DataSets().IsSealed()) {
        // Locked: the password dialog ticks Private; the panel loads it when active again.
        host_.OpenPasswordDialog();
        return;
    }
    ChooseDataSet(2);
    LoadDataSet();
    LayoutPanel();
}

void PanelWindow::OnEditClick() {
    btnFocusHolder->SetFocus();
    host_.OpenEditor();
}

void PanelWindow::LoadDataSet() {
    if (!hwnd_) return;
    BusyCursor busy;
    // Pending messages run in the middle of a load; a menu choice or an activation among them
    // may start a newer load. The older one then stops, or it would show the set it began with.
    const unsigned generation = ++loadGeneration_;
    auto superseded = [&] { return generation != loadGeneration_ || Gone(); };
    entryCount = 0;
    const int set = DataSet();
    DataSetService::Prepared prepared = host_.DataSets().Prepare(set);
    DoEvents();
    if (superseded()) return;

    if (prepared.unreadable && !prepared.asideFailed) {
        // The files of Private are only touched while Private is the loaded set; a working
        // copy made while another set is loaded would later be taken for the real one.
        host_.DataSets().RepairPrivate();
    }
    std::vector<Entry> read;
    if (!prepared.unreadable) {
        auto bytes = prepared.bytes ? std::move(prepared.bytes)
                     : prepared.locked ? std::optional<std::string>(std::string())
                                       : ReadAllBytes(prepared.file);
        if (bytes && loaded_.valid && loaded_.set == set && loaded_.bytes == *bytes) {
            // The same entries as last time: the buttons show them (placing finds nothing to
            // do unless an interrupted load left them behind).
            entryCount = loaded_.count;
            PlaceEntryButtons();
            return;
        }
        loaded_.valid = bytes.has_value();
        loaded_.set = set;
        loaded_.bytes = bytes ? std::move(*bytes) : std::string();
        read = ParseDataSet(loaded_.bytes);
    } else {
        loaded_.valid = false;
    }
    ++dataVersion_;
    entryCount = static_cast<int16_t>(std::min<size_t>(read.size(), 32767));
    loaded_.count = entryCount;
    read.resize(static_cast<size_t>(entryCount));
    entries = std::move(read);
    entriesSet = set;
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

void PanelWindow::PlaceLoadedButtons() {
    scrollValue_ = std::clamp(scrollValue_, 0, std::max(0, entryCount * panel::kRow));
    PlaceEntryButtons();
}

void PanelWindow::ShowBlankButtons() {
    entryCount = 25;
    entries.assign(25, Entry{L"", L"", L"&HFFFFFF"});
    PlaceLoadedButtons();
}

namespace {
const wchar_t kRepairedText[] = L"データの複合化で不具合を生じました。\r\n\r\n"
                                L"Privateのデータは初期化されましたので、\r\n"
                                L"お手数ですがもう一度データを入力してください。　　　　　";
}  // namespace

void PanelWindow::ShowUnreadablePrivate(const DataSetService::Prepared& prepared) {
    if (prepared.asideFailed) {
        // Nothing was changed; the entries stay in the Private file for another try.
        entryCount = 0;
        PlaceLoadedButtons();
        MsgBox(L"Privateのデータを読み込めませんでした。\r\n\r\n"
               L"データはそのまま次のファイルに残してあります。\r\n" +
                   host_.DataSets().File(stored::kPrivateFile),
               MB_OK | MB_ICONSTOP, host_.ExeName());
        return;
    }
    // Started afresh: 25 blank entries, and the old file named so nothing seems lost.
    ShowBlankButtons();
    MsgBox(std::wstring(kRepairedText) + L"\r\n\r\n読み込めなかったデータは、次のファイルとして残してあります。\r\n" +
               prepared.keptAside,
           MB_OK | MB_ICONSTOP, host_.ExeName());
}
