// The panel window: its menus and controls, activation, the grip and the messages.
#include "panel/panel_window.h"

#include <commctrl.h>

#include <algorithm>

#include "base/color.h"
#include "base/startup_marks.h"
#include "base/stored_names.h"
#include "panel/paste_side.h"
#include "panel/search_side.h"
#include "store/settings.h"
#include "win/app.h"

namespace {

constexpr UINT kSampleTimer = 1;
constexpr UINT kActivateMsg = WM_APP + 1;   // the reload runs outside WM_ACTIVATE
// wtsapi32.h, not included for these.
constexpr UINT kSessionChange = 0x02B1;       // WM_WTSSESSION_CHANGE
constexpr WPARAM kSessionLock = 0x7;          // WTS_SESSION_LOCK

// The key buttons show pictures: triangles for 前へ/次へ, a return arrow for 改行.
void DrawTriangle(HDC dc, const RECT& r, bool left) {
    int cx = (r.left + r.right) / 2, cy = (r.top + r.bottom) / 2;
    int h = std::max<int>(3, (r.bottom - r.top) / 3);
    POINT p[3];
    if (left) {
        p[0] = {cx - h / 2 - 1, cy};
        p[1] = {cx + h / 2, cy - h};
        p[2] = {cx + h / 2, cy + h};
    } else {
        p[0] = {cx + h / 2 + 1, cy};
        p[1] = {cx - h / 2, cy - h};
        p[2] = {cx - h / 2, cy + h};
    }
    HBRUSH b = CreateSolidBrush(RGB(255, 255, 255));
    HPEN pen = CreatePen(PS_SOLID, 1, RGB(255, 255, 255));
    HGDIOBJ ob = SelectObject(dc, b), op = SelectObject(dc, pen);
    Polygon(dc, p, 3);
    SelectObject(dc, ob);
    SelectObject(dc, op);
    DeleteObject(b);
    DeleteObject(pen);
}

void DrawReturnArrow(HDC dc, const RECT& r) {
    int cy = (r.top + r.bottom) / 2;
    int h = std::max<int>(3, (r.bottom - r.top) / 3);
    int right = (r.left + r.right) / 2 + 2 * h, left = (r.left + r.right) / 2 - 2 * h;
    int w = std::max(1, h / 3);
    HPEN pen = CreatePen(PS_SOLID, w, RGB(255, 255, 255));
    HBRUSH b = CreateSolidBrush(RGB(255, 255, 255));
    HGDIOBJ op = SelectObject(dc, pen), ob = SelectObject(dc, b);
    MoveToEx(dc, right, cy - h, nullptr);
    LineTo(dc, right, cy);
    LineTo(dc, left + h, cy);
    POINT p[3] = {{left, cy}, {left + h, cy - h}, {left + h, cy + h}};
    Polygon(dc, p, 3);
    SelectObject(dc, op);
    SelectObject(dc, ob);
    DeleteObject(pen);
    DeleteObject(b);
}

}  // namespace

PanelWindow::PanelWindow(IPanelHost& host) : host_(host) {}

PanelWindow::~PanelWindow() = default;

bool PanelWindow::Create() {
    menu_ = BuildMenu();
    DrawTicks();
    if (!CreateTopLevel(L"", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, WS_EX_TOPMOST, nullptr,
                        menu_, panel::kWindowWidth, 8225))
        return false;
    // Trimmed before the first paint, so the caption never shows boxes that then vanish.
    RemoveMinMaxBoxes(hwnd_);
    startup_marks::Mark("window created");
    HoldToolTips();
    auto gone = [this] { return Gone(); };
    column_ = std::make_unique<EntryColumn>(
        *this, host_, buttons_,
        EntryColumn::Links{.onEntry = [this](int entry) { paste_->OnEntryClick(entry, false); },
                           .onEnterKey = [this](int entry) { paste_->OnEntryClick(entry, true); },
                           .onButtonKey = [this](Control* c) { OnButtonKey(c); },
                           .onEscape = [this] { paste_->GiveFocusBack(); },
                           .onTypeAhead = [this](wchar_t c) { search_->TypeAhead(c); },
                           .gone = gone});
    paste_ = std::make_unique<PasteSide>(
        *this, host_, *column_,
        PasteSide::Links{.parkFocus = [this] { btnFocusHolder->SetFocus(); },
                         .closePrivate = [this] { LockPrivate(); },
                         .gone = gone,
                         .openSearch = [this] { search_->Open(); }});
    search_ = std::make_unique<SearchSide>(hwnd_, host_, *column_, *paste_, [this] { OnChoosePrivate(); });
    CreateControls();
    startup_marks::Mark("controls made");
    paste_->Create();
    TakeDialogKeys();
    return true;
}

void PanelWindow::StartTimer() { paste_->StartTimer(); }

void PanelWindow::ApplyStoredMode(int storedMode) {
    PasteMode& mode = host_.Choices().mode;
    if (storedMode == 1) {
        mode = PasteMode::ThenTab;
        SetHeight(8555);
        buttons_.prev->SetVisible(true);
        buttons_.next->SetVisible(true);
        ShowMode(PasteMode::ThenTab);
        paste_->Engine().SetModePosition(1);
    } else if (storedMode == 2) {
        mode = PasteMode::ThenEnter;
        SetHeight(8555);
        buttons_.newLine->SetVisible(true);
        ShowMode(PasteMode::ThenEnter);
        paste_->Engine().SetModePosition(2);
    } else if (storedMode == 0) {
        mode = PasteMode::PasteOnly;
        SetHeight(8225);
        buttons_.prev->SetVisible(false);
        buttons_.next->SetVisible(false);
        ShowMode(PasteMode::PasteOnly);
        paste_->Engine().SetModePosition(0);
    }
    DrawTicks();
}

void PanelWindow::SetFixedAppearance() {
    buttons_.edit->SetText(L"設  定 / 編  集");
    SetToolTip(buttons_.edit, L"データの設定と編集");
    for (Control* c : {buttons_.prev, buttons_.next, buttons_.newLine}) c->backColor = static_cast<int32_t>(0x80000002);
    paste_->Engine().ForgetTarget();
    SetCaption(host_.ExeName());
    SetWidth(panel::kWindowWidth);
    SetToolTip(buttons_.grip, L"ボタンの表示数が調整できます。");
    column_->ReadColourScheme();
}

void PanelWindow::KeepOnScreen() {
    if (Gone() || Minimized()) return;
    RECT r;
    GetWindowRect(hwnd_, &r);
    MONITORINFO mi{};
    mi.cbSize = sizeof mi;
    if (!GetMonitorInfoW(MonitorFromRect(&r, MONITOR_DEFAULTTONEAREST), &mi)) return;
    const RECT& work = mi.rcWork;
    // A row count stored on a taller screen would put the buttons below this one.
    const int workTwips = Tw(work.bottom - work.top);
    if (Height() > workTwips) {
        host_.RowSetting(ChosenSet()) = static_cast<int16_t>(
            std::max(1, (workTwips - ResizeBase(host_.Choices().mode)) / panel::kRow));
        LayoutPanel();
        GetWindowRect(hwnd_, &r);
    }
    // A place on a monitor that is gone, or off every edge, comes back into view.
    const int w = r.right - r.left, h = r.bottom - r.top;
    const int x = std::clamp<int>(r.left, work.left, std::max<int>(work.left, work.right - w));
    const int y = std::clamp<int>(r.top, work.top, std::max<int>(work.top, work.bottom - h));
    if (x != r.left || y != r.top)
        SetWindowPos(hwnd_, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void PanelWindow::StartupEnded() {
    startupDone_ = true;
    firstActivate_ = true;  // the first showing runs the activation, whatever came before
}

void PanelWindow::LoadDataSet() {
    column_->LoadDataSet();
    if (search_) search_->SetsLoaded();
}
void PanelWindow::LayoutPanel() { column_->LayoutPanel(); }

// ---- window and controls ----------------------------------------------------------------

HMENU PanelWindow::BuildMenu() {
    HMENU bar = CreateMenu();
    HMENU m = CreatePopupMenu();
    using namespace panel_ids;
    AppendMenuW(m, MF_STRING, kPublic, L"Public");
    AppendMenuW(m, MF_STRING, kPrivate, L"Private");
    AppendMenuW(m, MF_STRING, kKaomoji, L"顔文字");
    AppendMenuW(m, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(m, MF_STRING, kPasteOnly, paste::kPasteOnlyCaption.c_str());
    AppendMenuW(m, MF_STRING, kThenTab, paste::kThenTabCaption.c_str());
    AppendMenuW(m, MF_STRING, kThenEnter, paste::kThenEnterCaption.c_str());
    AppendMenuW(m, MF_STRING, kClipRestore, paste::kClipRestoreCaption.c_str());
    AppendMenuW(m, MF_STRING, kInsertFields, paste::kInsertFieldsCaption.c_str());
    AppendMenuW(m, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(m, MF_STRING, kPasswordOn, L"Privateのﾊﾟｽﾜｰﾄﾞ有効");
    AppendMenuW(m, MF_STRING, kPasswordOff, L"Privateのﾊﾟｽﾜｰﾄﾞ無効");
    AppendMenuW(m, MF_STRING | MF_GRAYED, kPasswordChange, L"Privateのﾊﾟｽﾜｰﾄ変更");
    AppendMenuW(m, MF_STRING, kSealPrivate, L"Privateを強い暗号で守る");
    AppendMenuW(m, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(m, MF_STRING, kBackup, L"ﾃﾞｰﾀｾｯﾄのﾊﾞｯｸｱｯﾌﾟ");
    AppendMenuW(m, MF_STRING, kRestore, L"ﾃﾞｰﾀｾｯﾄの読込");
    AppendMenuW(m, MF_STRING, kExportCsv, L"CSVに書き出す...");
    AppendMenuW(m, MF_STRING, kImportCsv, L"CSVから読み込む...");
    AppendMenuW(m, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(m, MF_STRING, kNewCopy, L"新しい「ハリコ」の作成");
    AppendMenuW(m, MF_STRING, kDesktopShortcut, L"ﾃﾞｽｸﾄｯﾌﾟにｼｮｰﾄｶｯﾄの作成");
    AppendMenuW(m, MF_STRING, kHotKeys, L"ﾎｯﾄｷｰを使う");
    AppendMenuW(m, MF_STRING, kFindEntry, search::kMenuCaption.c_str());
    AppendMenuW(m, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(m, MF_STRING, kMinimise, L"最小化(&N)");
    AppendMenuW(m, MF_STRING, kExit, L"終　了(&X)");
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(m), L"ﾒﾆｭｰ");
    HMENU h = CreatePopupMenu();
    AppendMenuW(h, MF_STRING, kHelp, L"使い方");
    AppendMenuW(h, MF_STRING, kAbout, L"ﾊﾞｰｼﾞｮﾝ情報");
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(h), L"ﾍﾙﾌﾟ");
    return bar;
}

void PanelWindow::DrawTicks() {
    using namespace panel_ids;
    const PanelChoices& c = host_.Choices();
    auto tick = [this](MenuId id, bool on) {
        CheckMenuItem(menu_, id, MF_BYCOMMAND | (on ? MF_CHECKED : MF_UNCHECKED));
    };
    tick(kPublic, c.dataSet == DataSet::Public);
    tick(kPrivate, c.dataSet == DataSet::Private);
    tick(kKaomoji, c.dataSet == DataSet::Kaomoji);
    tick(kPasteOnly, c.mode == PasteMode::PasteOnly);
    tick(kThenTab, c.mode == PasteMode::ThenTab);
    tick(kThenEnter, c.mode == PasteMode::ThenEnter);
    tick(kPasswordOn, c.passwordOn);
    tick(kPasswordOff, !c.passwordOn);
    tick(kClipRestore, c.clipRestore);
    tick(kInsertFields, c.insertFields);
    // No setting of its own: the format of MyData_2.dat says it.
    tick(kSealPrivate, host_.DataSets().FileIsSealed());
    tick(kHotKeys, c.hotKeys);
}

void PanelWindow::ChooseDataSet(DataSet set) {
    host_.Choices().dataSet = set;
    DrawTicks();
}

void PanelWindow::SetClipRestore(bool on) {
    host_.Choices().clipRestore = on;
    DrawTicks();
}

void PanelWindow::SetInsertFields(bool on) {
    host_.Choices().insertFields = on;
    DrawTicks();
}

void PanelWindow::SetPasswordOn(bool on, bool store) {
    const bool changed = host_.Choices().passwordOn != on;
    host_.Choices().passwordOn = on;
    DrawTicks();
    // Stored at once: a run that ends now must not open Private without its password next time.
    if (changed && store)
        SaveSetting(host_.ExeName(), stored::kSection, stored::kPassMode, on ? L"0" : L"1");
}

void PanelWindow::SealStateChanged() {
    DrawTicks();
    column_->Invalidate();
    LoadDataSet();
    LayoutPanel();
}

void PanelWindow::SetMenuEnabled(MenuId id, bool on) {
    EnableMenuItem(menu_, id, MF_BYCOMMAND | (on ? MF_ENABLED : MF_GRAYED));
}

bool PanelWindow::MenuEnabled(MenuId id) const {
    return (GetMenuState(menu_, id, MF_BYCOMMAND) & (MF_GRAYED | MF_DISABLED)) == 0;
}

void PanelWindow::SetHotKeys(bool on, bool tellHeld) {
    paste_->SetHotKeys(on, tellHeld);
    DrawTicks();
}

void PanelWindow::TellHeldHotKeys() { paste_->TellHeldHotKeys(); }

void PanelWindow::SetPrivateGuard(int clipClearSeconds, int lockMinutes) {
    paste_->SetPrivateGuard(clipClearSeconds, lockMinutes);
}

void PanelWindow::CreateControls() {
    using namespace panel;
    column_->CreateControls();
    auto button = [this](const wchar_t* text, DWORD style, int left, int top, int width, int height, int id,
                         std::function<void()> click) {
        // The off-screen buttons keep their access keys but are no stops for Tab.
        const bool offScreen = id == panel_ids::kBtnFocusHolder || id == panel_ids::kBtnMinimise;
        return AddControl({.cls = L"BUTTON", .text = text, .style = style | (offScreen ? 0 : WS_TABSTOP), .left = left, .top = top,
                           .width = width, .height = height, .id = id, .onClick = std::move(click)});
    };
    const DWORD push = WS_VISIBLE | BS_PUSHBUTTON;
    PanelButtons& b = buttons_;
    b.edit = button(L"", push, kEntryLeft, 0, kEditButtonWidth, kEditButtonHeight, panel_ids::kBtnEdit,
                    [this] { OnEditClick(); });
    b.mode = button(L"", push, kEntryLeft, 0, kEntryWidth, kModeButtonHeight, panel_ids::kBtnMode,
                    [this] { OnCycleMode(); });
    b.prev = button(L"前へ", BS_OWNERDRAW, kEntryLeft, 0, kKeyButtonWidth, kKeyButtonHeight, panel_ids::kBtnPrev,
                    [this] { paste_->OnKeyButton(KeyButtonId::Prev); });
    b.next = button(L"次へ", BS_OWNERDRAW, 750, 0, kKeyButtonWidth, kKeyButtonHeight, panel_ids::kBtnNext,
                    [this] { paste_->OnKeyButton(KeyButtonId::Next); });
    b.newLine = button(L"改行", BS_OWNERDRAW, kEntryLeft, 0, kNewLineWidth, kKeyButtonHeight, panel_ids::kBtnNewLine,
                       [this] { paste_->OnKeyButton(KeyButtonId::NewLine); });
    b.prev->drawPicture = [](HDC dc, const RECT& r, const Form&) { DrawTriangle(dc, r, true); };
    b.next->drawPicture = [](HDC dc, const RECT& r, const Form&) { DrawTriangle(dc, r, false); };
    b.newLine->drawPicture = [](HDC dc, const RECT& r, const Form&) { DrawReturnArrow(dc, r); };
    // Focus holder and minimise accelerator: real buttons outside the visible area.
    btnFocusHolder = button(L"(&Z)", push, 2040, 4200, 375, 375, panel_ids::kBtnFocusHolder, [this] { OnMoveAside(); });
    btnMinimise = button(L"(&N)", push, 2520, 4200, 375, 375, panel_ids::kBtnMinimise, [this] { OnMinimise(); });
    // The grip lies under the buttons it may overlap (as a picture under windowed controls),
    // so only its free corner shows.
    b.grip = AddControl({.style = WS_VISIBLE | WS_CLIPSIBLINGS | SS_NOTIFY | SS_OWNERDRAW, .width = kGripSize,
                         .height = kGripSize, .id = panel_ids::kSizeGrip, .onClick = [this] { DragFromCorner(); }});
    SetWindowPos(b.grip->hwnd, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    for (Control* c : {b.edit, b.mode, btnFocusHolder, btnMinimise, b.prev, b.next, b.newLine}) c->SetFont(kUiFont, 9);
    for (Control* c : {b.edit, b.mode, b.prev, b.next, b.newLine}) column_->WatchKeys(c, false);
    column_->WatchKeys(btnFocusHolder, true);
    SetToolTip(b.prev, paste::kPrevToolTip);
    SetToolTip(b.next, paste::kNextToolTip);
    SetToolTip(b.newLine, paste::kNewLineToolTip);
    ShowMode(PasteMode::PasteOnly);
}

void PanelWindow::AfterFirstPaint() {
    paste_->AfterFirstPaint();
    ReleaseToolTips();
}

void PanelWindow::DrawGrip(HDC dc) {
    RECT rc;
    GetClientRect(buttons_.grip->hwnd, &rc);
    FillRect(dc, &rc, GetSysColorBrush(COLOR_BTNFACE));
    // Dots in the lower right triangle, like the grip of a status bar.
    int step = std::max(3, Px(60));
    int dot = std::max(2, step * 2 / 3);
    HBRUSH light = GetSysColorBrush(COLOR_BTNHIGHLIGHT), dark = GetSysColorBrush(COLOR_BTNSHADOW);
    for (int row = 0; row < 4; ++row) {
        for (int col = 3 - row; col < 4; ++col) {
            int x = rc.right - (4 - col) * step - 1, y = rc.bottom - (4 - row) * step - 1;
            RECT d1{x + 1, y + 1, x + 1 + dot, y + 1 + dot};
            FillRect(dc, &d1, light);
            RECT d0{x, y, x + dot, y + dot};
            FillRect(dc, &d0, dark);
        }
    }
}

// ---- the paste mode ---------------------------------------------------------------------

void PanelWindow::OnCycleMode() {
    ChooseMode(paste_->Engine().AdvanceModePosition());
    ParkFocus();
}

void PanelWindow::ParkFocus() {
    if (!pressedByKey_) btnFocusHolder->SetFocus();
}

void PanelWindow::OnButtonKey(Control* c) {
    // Pressed from the keyboard, a button keeps the focus: the next key goes on from it.
    pressedByKey_ = true;
    if (c->onClick && IsWindowEnabled(c->hwnd)) c->onClick();
    pressedByKey_ = false;
}

// A mode that was chosen already leaves the buttons as they are; the panel still reloads.
void PanelWindow::ChooseMode(PasteMode mode) {
    if (host_.Choices().ChooseMode(mode)) {
        DrawTicks();
        // Only what the new mode does not show is hidden here; the layout shows the rest.
        if (mode != PasteMode::ThenTab) {
            buttons_.prev->SetVisible(false);
            buttons_.next->SetVisible(false);
        }
        if (mode != PasteMode::ThenEnter) buttons_.newLine->SetVisible(false);
        ShowMode(mode);
    }
    LoadDataSet();
    LayoutPanel();
}

void PanelWindow::ShowMode(PasteMode mode) {
    SetToolTip(buttons_.mode, paste::ModeToolTip(mode));
    buttons_.mode->SetText(mode == PasteMode::ThenTab     ? paste::kThenTabCaption
                           : mode == PasteMode::ThenEnter ? paste::kThenEnterCaption
                                                          : paste::kPasteOnlyCaption);
}

// ---- data sets --------------------------------------------------------------------------

namespace {
// Leaving Private seals its working copy first; when that fails the panel stays on Private
// and says why, or the plain copy would lie there unnoticed.
bool PrivateSealed(DataSetService& sets, DataSet loadedSet, const std::wstring& exeName) {
    if (loadedSet != DataSet::Private || sets.PutWorkingCopyAway()) return true;
    MsgBox(L"Privateのデータを暗号化して保存できなかったため、Privateのままにしました。\r\n\r\n" + sets.SealFailure(),
           MB_OK | MB_ICONEXCLAMATION, exeName);
    return false;
}
}  // namespace

// Private's last pasted text goes with it (the key buttons put nothing of it back), and so
// does every line of it in the search.
void PanelWindow::LeavePrivate() {
    if (ChosenSet() != DataSet::Private) return;
    paste_->ForgetPrivateText();
    search_->PrivateClosed();
}

void PanelWindow::OnChoosePublic() { ChooseOpenSet(DataSet::Public); }
void PanelWindow::OnChooseKaomoji() { ChooseOpenSet(DataSet::Kaomoji); }

void PanelWindow::ChooseOpenSet(DataSet set) {
    if (!PrivateSealed(host_.DataSets(), ChosenSet(), host_.ExeName())) return;
    LeavePrivate();
    column_->LayoutNotReady();
    ChooseDataSet(set);
    LoadDataSet();
    LayoutPanel();
}

void PanelWindow::OnChoosePrivate() {
    column_->LayoutNotReady();
    if (ChosenSet() == DataSet::Private && !column_->Locked()) return;
    if (PasswordOn() || host_.PrivateKeyUnknown() || host_.DataSets().FileIsSealed()) {
        // The password first: the program opens and loads Private once it was given.
        host_.OpenPasswordDialog([this](bool opened) { paste_->PasswordAnswered(opened); });
        return;
    }
    ChooseDataSet(DataSet::Private);
    LoadDataSet();
    LayoutPanel();
}

void PanelWindow::LockPrivate() {
    search_->PrivateClosed();  // no Private line stays on screen
    host_.DataSets().Lock();
    LoadDataSet();
    LayoutPanel();
}

void PanelWindow::OnEditClick() {
    ParkFocus();
    host_.OpenEditor();
}

// ---- window behaviour -------------------------------------------------------------------

void PanelWindow::ReloadOnReturn() {
    RemoveMinMaxBoxes(hwnd_);
    // An open dialog or editor of the program stays in front of the panel.
    for (uintptr_t h : host_.OwnWindows().KeptInFrontOfPanel()) {
        if (h && IsWindow(reinterpret_cast<HWND>(h)) && IsWindowVisible(reinterpret_cast<HWND>(h)))
            SetForegroundWindow(reinterpret_cast<HWND>(h));
    }
    if (host_.UninstallRequested()) {
        PostMessageW(hwnd_, WM_CLOSE, 0, 0);
        return;
    }
    LoadDataSet();
    if (Gone()) return;
    LayoutPanel();
    DoEvents();
    if (Gone()) return;
    column_->OnResized();
    DoEvents();
}

void PanelWindow::OnMinimise() {
    HWND h = reinterpret_cast<HWND>(paste_->Engine().FrontWindow().value_or(0));
    ShowWindow(h ? h : hwnd_, SW_SHOWMINIMIZED);
}

void PanelWindow::OnMoveAside() {
    SetWindowPos(hwnd_, nullptr, Px(7665), Px(200), 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool PanelWindow::Gone() const { return closing_ || !hwnd_ || !IsWindow(hwnd_); }

// ---- messages ---------------------------------------------------------------------------

void PanelWindow::OnMenu(MenuId id) {
    using namespace panel_ids;
    switch (id) {
    case kPublic: OnChoosePublic(); break;
    case kPrivate: OnChoosePrivate(); break;
    case kKaomoji: OnChooseKaomoji(); break;
    case kPasteOnly: ChooseMode(PasteMode::PasteOnly); break;
    case kThenTab: ChooseMode(PasteMode::ThenTab); break;
    case kThenEnter: ChooseMode(PasteMode::ThenEnter); break;
    case kClipRestore: SetClipRestore(!host_.Choices().clipRestore); break;
    case kInsertFields: SetInsertFields(!host_.Choices().insertFields); break;
    case kHotKeys: SetHotKeys(!host_.Choices().hotKeys, true); break;
    case kFindEntry: search_->Open(); break;
    case kMinimise: OnMinimise(); break;
    case kExit: OnClose(); break;
    default: host_.MenuItem(id); break;  // the items that open other windows
    }
}

void PanelWindow::OnActivate(WPARAM wp, LPARAM lp) {
    if (LOWORD(wp) == WA_INACTIVE) return;
    paste_->RetryHotKeys();
    // Reloads when the panel comes back from another window of the program (and when it is
    // first shown), not when the user returns from another application. Nor when one of its
    // own message boxes closes: that reload could show the same message again, and again.
    // The window left behind says where the user came from; the flag of WM_ACTIVATEAPP only
    // when it is gone (every window of ours gets that message, not this one).
    DWORD pid = 0;
    if (lp) GetWindowThreadProcessId(reinterpret_cast<HWND>(lp), &pid);
    const bool fromOtherApp = pid ? pid != GetCurrentProcessId() : activatedFromOtherApp_;
    activatedFromOtherApp_ = false;
    // A confirmed uninstall is carried out at the next activation, wherever the user comes from:
    // the About box may have closed while the panel was not the window it handed over to.
    if (firstActivate_ || host_.UninstallRequested() || (!fromOtherApp && !MessageBoxOpen()))
        PostMessageW(hwnd_, kActivateMsg, 0, 0);
    firstActivate_ = false;
}

bool PanelWindow::OnInputMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    result = 0;
    switch (msg) {
    case WM_TIMER:
        if (wp == kSampleTimer) paste_->OnTimer();
        return true;
    case WM_HOTKEY:
        paste_->OnHotKey(static_cast<int>(wp), static_cast<DWORD>(GetMessageTime()));
        return true;
    case WM_COMMAND:
        paste_->Used();
        if (lp != 0) return false;  // the controls' clicks go to the handlers they were made with
        OnMenu(static_cast<MenuId>(LOWORD(wp)));
        return true;
    case WM_VSCROLL:
        column_->OnScroll(LOWORD(wp));
        return true;
    case WM_MOUSEWHEEL:
        column_->OnWheel(GET_WHEEL_DELTA_WPARAM(wp));
        return true;
    case WM_LBUTTONDBLCLK:
        OnMinimise();
        return true;
    case WM_KEYDOWN:  // the panel itself has the focus: the walk's keys enter the column
        return column_->OnKey(nullptr, wp);
    case WM_MOUSEACTIVATE:
        paste_->OnMouseActivate(LOWORD(lp) == HTCLIENT);
        return false;
    case kSessionChange:
        if (wp == kSessionLock) paste_->OnSessionLocked();
        return true;
    }
    return false;
}

bool PanelWindow::OnLifeMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    result = 0;
    switch (msg) {
    case WM_SIZING:
        if (!column_->LayoutReady()) return false;
        result = column_->OnSizing(wp, reinterpret_cast<RECT*>(lp));
        return true;
    case WM_SIZE:
        // Showing the window reports the size the layout just set: nothing to do then.
        if (wp != SIZE_MINIMIZED && column_->LayoutReady() && !column_->AtLaidOutSize()) column_->OnResized();
        return true;
    case WM_ACTIVATEAPP:
        if (wp) activatedFromOtherApp_ = true;
        return false;
    case WM_ACTIVATE:
        OnActivate(wp, lp);
        return false;
    case kActivateMsg:
        // Start-up loads the data itself; an activation before it ended would load without
        // the Private key.
        if (!closing_ && startupDone_) ReloadOnReturn();
        return true;
    case WM_DPICHANGED:
        Form::HandleMessage(msg, wp, lp);  // controls and fonts at the new DPI
        paste_->SetDpi(Dpi());
        column_->ForgetLayout();
        if (column_->LayoutReady()) LayoutPanel();
        return true;
    case WM_QUERYENDSESSION:
        result = TRUE;
        return true;
    case WM_ENDSESSION:
        // Windows is ending the session: the closing runs now, or the settings and the
        // Private working copy would stay as they are until the next start.
        if (wp && !closing_) OnClose();
        return true;
    case WM_CLOSE:
        OnClose();
        return true;
    case WM_DESTROY:
        paste_->Stop();
        PostQuitMessage(0);
        return true;
    }
    return false;
}

LRESULT PanelWindow::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    LRESULT result = 0;
    switch (msg) {
    case WM_SETTINGCHANGE:
    case WM_SYSCOLORCHANGE:
        column_->ReadColourScheme();
        break;
    case WM_PAINT:
        startup_marks::Mark("first paint");
        break;
    case WM_DRAWITEM:
        if (auto* di = reinterpret_cast<const DRAWITEMSTRUCT*>(lp); buttons_.grip && di->hwndItem == buttons_.grip->hwnd)
            return DrawGrip(di->hDC), TRUE;
        else if (di->CtlID == panel_ids::kFirstEntryButton)
            startup_marks::Mark("first entry button drawn");
        break;
    default:
        if (OnInputMessage(msg, wp, lp, result) || OnLifeMessage(msg, wp, lp, result)) return result;
    }
    return Form::HandleMessage(msg, wp, lp);
}

// ---- closing ----------------------------------------------------------------------------

// Every way of closing (the menu, the window's close box, the session's end): the settings
// are stored and the other windows closed once.
void PanelWindow::OnClose() {
    closing_ = true;
    if (closed_) return;
    host_.StoreAtClosing();
    if (closed_) return;
    closed_ = true;
    host_.CloseOthers();
    DestroyWindow(hwnd_);
}
