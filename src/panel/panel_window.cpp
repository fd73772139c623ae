// The panel window: its menus and controls, activation, the grip and the messages.
#include "panel/panel_window.h"

#include <commctrl.h>

#include <algorithm>

#include "base/color.h"
#include "base/startup_marks.h"
#include "panel/paste_logic.h"
#include "panel/win_desktop.h"
#include "win/app.h"

namespace {

constexpr UINT kSampleTimer = 1;
constexpr UINT kActivateMsg = WM_APP + 1;   // OnActivated runs outside WM_ACTIVATE
// wtsapi32.h, not included for these three.
constexpr UINT kSessionChange = 0x02B1;       // WM_WTSSESSION_CHANGE
constexpr WPARAM kSessionLock = 0x7;          // WTS_SESSION_LOCK
constexpr DWORD kNotifyForThisSession = 0;    // NOTIFY_FOR_THIS_SESSION

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
    CreateControls();
    startup_marks::Mark("controls made");
    desktop_ = std::make_unique<WinDesktop>(hwnd_);
    engine_ = std::make_unique<PasteEngine>(*desktop_, static_cast<const IPasteChoices&>(*this));
    engine_->Panel = reinterpret_cast<uintptr_t>(hwnd_);
    engine_->Own = &host_.OwnWindows();
    engine_->Dpi = Dpi();
    engine_->ParkFocus = [this] { btnFocusHolder->SetFocus(); };
    OSVERSIONINFOW vi{};
    vi.dwOSVersionInfoSize = sizeof vi;
    using Fn = LONG(WINAPI*)(OSVERSIONINFOW*);
    auto fn = reinterpret_cast<Fn>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "RtlGetVersion")));
    if (fn && fn(&vi) == 0) {
        engine_->OsMajor = static_cast<int>(vi.dwMajorVersion);
        engine_->OsMinor = static_cast<int>(vi.dwMinorVersion);
    }
    RegisterDialogWindow(hwnd_);
    return true;
}

void PanelWindow::StartTimer() {
    SetTimer(hwnd_, kSampleTimer, 100, nullptr);
    // The session's lock closes a sealed Private; wtsapi32 is loaded only for this.
    using Register = BOOL(WINAPI*)(HWND, DWORD);
    if (HMODULE wts = LoadLibraryW(L"wtsapi32.dll"))
        if (auto reg = reinterpret_cast<Register>(reinterpret_cast<void*>(
                GetProcAddress(wts, "WTSRegisterSessionNotification"))))
            sessionNotified_ = reg(hwnd_, kNotifyForThisSession) != FALSE;
}

void PanelWindow::ApplyStoredMode(int storedMode) {
    PasteMode& mode = host_.Choices().mode;
    if (storedMode == 1) {
        mode = PasteMode::ThenTab;
        SetHeight(8555);
        btnPrev->SetVisible(true);
        btnNext->SetVisible(true);
        ShowMode(PasteMode::ThenTab);
        engine_->SetModePosition(1);
    } else if (storedMode == 2) {
        mode = PasteMode::ThenEnter;
        SetHeight(8555);
        btnNewLine->SetVisible(true);
        ShowMode(PasteMode::ThenEnter);
        engine_->SetModePosition(2);
    } else if (storedMode == 0) {
        mode = PasteMode::PasteOnly;
        SetHeight(8225);
        btnPrev->SetVisible(false);
        btnNext->SetVisible(false);
        ShowMode(PasteMode::PasteOnly);
        engine_->SetModePosition(0);
    }
    DrawTicks();
}

void PanelWindow::SetFixedAppearance() {
    btnEdit->SetText(L"設  定 / 編  集");
    SetToolTip(btnEdit, L"データの設定と編集");
    for (Control* c : {btnPrev, btnNext, btnNewLine}) c->backColor = static_cast<int32_t>(0x80000002);
    engine_->ForgetTarget();
    MirrorEngineState();
    SetCaption(host_.ExeName());
    SetWidth(panel::kWindowWidth);
    SetToolTip(sizeGrip, L"ボタンの表示数が調整できます。");
    ReadColourScheme();
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
        host_.RowSetting(DataSet()) = static_cast<int16_t>(
            std::max(1, (workTwips - ResizeBase(CurrentMode())) / panel::kRow));
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
    AppendMenuW(m, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(m, MF_STRING, kNewCopy, L"新しい「ハリコ」の作成");
    AppendMenuW(m, MF_STRING, kDesktopShortcut, L"ﾃﾞｽｸﾄｯﾌﾟにｼｮｰﾄｶｯﾄの作成");
    AppendMenuW(m, MF_STRING, kHotKeys, L"ﾎｯﾄｷｰを使う");
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
    tick(kPublic, c.dataSet == 1);
    tick(kPrivate, c.dataSet == 2);
    tick(kKaomoji, c.dataSet == 3);
    tick(kPasteOnly, c.mode == PasteMode::PasteOnly);
    tick(kThenTab, c.mode == PasteMode::ThenTab);
    tick(kThenEnter, c.mode == PasteMode::ThenEnter);
    tick(kPasswordOn, c.passwordOn);
    tick(kPasswordOff, !c.passwordOn);
    tick(kClipRestore, c.clipRestore);
    tick(kInsertFields, c.insertFields);
    // No setting of its own: the format of MyData_2.dat says it.
    tick(kSealPrivate, host_.DataSets().IsSealed());
    tick(kHotKeys, c.hotKeys);
}

void PanelWindow::ChooseDataSet(int set) {
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

void PanelWindow::SetPasswordOn(bool on) {
    host_.Choices().passwordOn = on;
    DrawTicks();
}


void PanelWindow::SealStateChanged() {
    DrawTicks();
    loaded_.valid = false;
    LoadDataSet();
    LayoutPanel();
}

void PanelWindow::SetMenuEnabled(MenuId id, bool on) {
    EnableMenuItem(menu_, id, MF_BYCOMMAND | (on ? MF_ENABLED : MF_GRAYED));
}
bool PanelWindow::MenuEnabled(MenuId id) const {
    return (GetMenuState(menu_, id, MF_BYCOMMAND) & (MF_GRAYED | MF_DISABLED)) == 0;
}

void PanelWindow::CreateControls() {
    using namespace panel;
    viewport = AddFrame(0, 0, kViewportWidth, 25 * kRow + kColumnTop, nullptr, RGB(255, 255, 255), panel_ids::kViewport);
    buttonColumn = AddFrame(0, 0, kColumnWidth, 25 * kRow + kColumnTop, viewport->hwnd, RGB(255, 255, 255),
                            panel_ids::kButtonColumn);
    // Tab reaches the entries only when the dialog manager may look inside the column.
    for (Control* c : {viewport, buttonColumn})
        SetWindowLongPtrW(c->hwnd, GWL_EXSTYLE, GetWindowLongPtrW(c->hwnd, GWL_EXSTYLE) | WS_EX_CONTROLPARENT);
    scrollBar = AddControl({.cls = L"SCROLLBAR", .style = SBS_VERT, .left = kScrollLeft, .top = kScrollTop,
                            .width = kScrollWidth, .height = 25 * kRow, .id = panel_ids::kScrollBar});
    // The viewport is wider than the column and reaches under the scroll bar: the bar must lie
    // above it, or the frame takes the clicks meant for the arrows and the track.
    SetWindowPos(scrollBar->hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    auto button = [this](const wchar_t* text, DWORD style, int left, int top, int width, int height, int id,
                         void (PanelWindow::*click)()) {
        // The off-screen buttons keep their access keys but are no stops for Tab.
        const bool offScreen = id == panel_ids::kBtnFocusHolder || id == panel_ids::kBtnMinimise;
        return AddControl({.cls = L"BUTTON", .text = text, .style = style | (offScreen ? 0 : WS_TABSTOP), .left = left, .top = top,
                           .width = width, .height = height, .id = id, .onClick = [this, click] { (this->*click)(); }});
    };
    const DWORD push = WS_VISIBLE | BS_PUSHBUTTON;
    btnEdit = button(L"", push, kEntryLeft, 0, kEditButtonWidth, kEditButtonHeight, panel_ids::kBtnEdit,
                     &PanelWindow::OnEditClick);
    btnMode = button(L"", push, kEntryLeft, 0, kEntryWidth, kModeButtonHeight, panel_ids::kBtnMode,
                     &PanelWindow::OnCycleMode);
    btnPrev = button(L"前へ", BS_OWNERDRAW, kEntryLeft, 0, kKeyButtonWidth, kKeyButtonHeight, panel_ids::kBtnPrev,
                     &PanelWindow::OnPrevField);
    btnNext = button(L"次へ", BS_OWNERDRAW, 750, 0, kKeyButtonWidth, kKeyButtonHeight, panel_ids::kBtnNext,
                     &PanelWindow::OnNextField);
    btnNewLine = button(L"改行", BS_OWNERDRAW, kEntryLeft, 0, kNewLineWidth, kKeyButtonHeight, panel_ids::kBtnNewLine,
                        &PanelWindow::OnNewLine);
    btnPrev->drawPicture = [](HDC dc, const RECT& r, const Form&) { DrawTriangle(dc, r, true); };
    btnNext->drawPicture = [](HDC dc, const RECT& r, const Form&) { DrawTriangle(dc, r, false); };
    btnNewLine->drawPicture = [](HDC dc, const RECT& r, const Form&) { DrawReturnArrow(dc, r); };
    // Focus holder and minimise accelerator: real buttons outside the visible area.
    btnFocusHolder = button(L"(&Z)", push, 2040, 4200, 375, 375, panel_ids::kBtnFocusHolder, &PanelWindow::OnMoveAside);
    btnMinimise = button(L"(&N)", push, 2520, 4200, 375, 375, panel_ids::kBtnMinimise, &PanelWindow::OnMinimise);
    // The grip lies under the buttons it may overlap (as a picture under windowed controls),
    // so only its free corner shows.
    sizeGrip = AddControl({.style = WS_VISIBLE | WS_CLIPSIBLINGS | SS_NOTIFY | SS_OWNERDRAW, .width = kGripSize,
                           .height = kGripSize, .id = panel_ids::kSizeGrip, .onClick = [this] { OnGripPressed(); }});
    SetWindowPos(sizeGrip->hwnd, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    for (Control* c : {btnEdit, btnMode, btnFocusHolder, btnMinimise, btnPrev, btnNext, btnNewLine}) c->SetFont(kUiFont, 9);
    SetToolTip(btnPrev, paste::kPrevToolTip);
    SetToolTip(btnNext, paste::kNextToolTip);
    SetToolTip(btnNewLine, paste::kNewLineToolTip);
    ShowMode(PasteMode::PasteOnly);
}

void PanelWindow::AfterFirstPaint() {
    // The paste engine's fields lie outside the visible area: made once the panel shows.
    auto field = [this](int top, int id) {
        Control* c = AddControl({.cls = L"EDIT", .style = WS_VISIBLE | ES_AUTOHSCROLL, .left = 3000,
                                 .top = top, .width = 1000, .height = 300, .id = id});
        c->SetFont(kUiFont, 9);
        return c;
    };
    if (!editLastText) {
        editLastText = field(0, panel_ids::kEditLastText);
        editFrontTitle = field(400, panel_ids::kEditFrontTitle);
        editFrontWindow = field(800, panel_ids::kEditFrontWindow);
        editTargetWindow = field(1200, panel_ids::kEditTargetWindow);
        MirrorEngineState();
    }
    ReleaseToolTips();
}

void PanelWindow::DrawGrip(HDC dc) {
    RECT rc;
    GetClientRect(sizeGrip->hwnd, &rc);
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

// ---- window behaviour -------------------------------------------------------------------

void PanelWindow::OnActivated() {
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
    OnResized();
    DoEvents();
}

void PanelWindow::OnMinimise() {
    HWND h = reinterpret_cast<HWND>(engine_->FrontWindow().value_or(0));
    ShowWindow(h ? h : hwnd_, SW_SHOWMINIMIZED);
}

void PanelWindow::OnDoubleClick() { OnMinimise(); }
void PanelWindow::OnMinimiseItem() { OnMinimise(); }

void PanelWindow::OnMoveAside() {
    SetWindowPos(hwnd_, nullptr, Px(7665), Px(200), 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void PanelWindow::OnGripPressed() { DragFromCorner(); }

// ---- messages ---------------------------------------------------------------------------

void PanelWindow::OnMenu(MenuId id) {
    using namespace panel_ids;
    switch (id) {
    case kPublic: OnChoosePublic(); break;
    case kPrivate: OnChoosePrivate(); break;
    case kKaomoji: OnChooseKaomoji(); break;
    case kPasteOnly: OnPasteOnly(); break;
    case kThenTab: OnThenTab(); break;
    case kThenEnter: OnThenEnter(); break;
    case kClipRestore: SetClipRestore(!ClipRestore()); break;
    case kInsertFields: SetInsertFields(!host_.Choices().insertFields); break;
    case kHotKeys: SetHotKeys(!HotKeys(), true); break;
    case kMinimise: OnMinimiseItem(); break;
    case kExit: OnExitItem(); break;
    default: host_.MenuItem(id); break;  // the items that open other windows
    }
}

void PanelWindow::OnActivate(WPARAM wp, LPARAM lp) {
    if (LOWORD(wp) == WA_INACTIVE) return;
    // Runs when the panel comes back from another window of the program (and when it is first
    // shown), not when the user returns from another application. Nor when one of its own
    // message boxes closes: that reload could show the same message again, and again.
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

LRESULT PanelWindow::OnSizing(WPARAM edge, RECT* r) {
    // Snap while dragging so the frame follows whole rows and keeps its width.
    ResizeDecision d = DecideResize(Tw(r->bottom - r->top), entryCount, CurrentMode());
    int rows = d.relayoutOnly ? visibleRows_ : std::max(1, d.newRowSetting);
    int h = Px(ComputeLayout(entryCount, rows, CurrentMode()).windowHeight);
    if (edge == WMSZ_TOP || edge == WMSZ_TOPLEFT || edge == WMSZ_TOPRIGHT) r->top = r->bottom - h;
    else r->bottom = r->top + h;
    if (edge == WMSZ_LEFT || edge == WMSZ_TOPLEFT || edge == WMSZ_BOTTOMLEFT)
        r->left = r->right - Px(panel::kWindowWidth);
    else r->right = r->left + Px(panel::kWindowWidth);
    return TRUE;
}

LRESULT PanelWindow::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_TIMER:
        if (wp == kSampleTimer) OnSampleTimer();
        return 0;
    case WM_SETTINGCHANGE:
    case WM_SYSCOLORCHANGE:
        ReadColourScheme();
        break;
    case WM_HOTKEY:
        OnHotKey(static_cast<int>(wp));
        return 0;
    case WM_COMMAND:
        guard_.Clicked(GetTickCount());
        if (lp == 0) {  // the controls' clicks go to the handlers they were made with
            OnMenu(static_cast<MenuId>(LOWORD(wp)));
            return 0;
        }
        break;
    case WM_PAINT:
        startup_marks::Mark("first paint");
        break;
    case WM_DRAWITEM:
        if (auto* di = reinterpret_cast<const DRAWITEMSTRUCT*>(lp); sizeGrip && di->hwndItem == sizeGrip->hwnd)
            return DrawGrip(di->hDC), TRUE;
        else if (di->CtlID == panel_ids::kFirstEntryButton)
            startup_marks::Mark("first entry button drawn");
        break;
    case WM_VSCROLL:
        if (scrollBar && reinterpret_cast<HWND>(lp) == scrollBar->hwnd) OnScroll(LOWORD(wp));
        return 0;
    case WM_MOUSEWHEEL:
        if (scrollMax_ > 0)
            SetScrollValue(scrollValue_ - GET_WHEEL_DELTA_WPARAM(wp) / WHEEL_DELTA * panel::kSmallChange);
        return 0;
    case WM_SIZING:
        if (!layoutReady_) break;
        return OnSizing(wp, reinterpret_cast<RECT*>(lp));
    case WM_SIZE:
        // Showing the window reports the size the layout just set: nothing to do then.
        if (wp != SIZE_MINIMIZED && layoutReady_ && !AtLaidOutSize()) OnResized();
        return 0;
    case WM_LBUTTONDBLCLK:
        OnDoubleClick();
        return 0;
    case WM_ACTIVATEAPP:
        if (wp) activatedFromOtherApp_ = true;
        break;
    case WM_MOUSEACTIVATE:
        guard_.Clicked(GetTickCount());
        shiftAtActivation_ = LOWORD(lp) == HTCLIENT && (GetKeyState(VK_SHIFT) < 0 || GetAsyncKeyState(VK_SHIFT) < 0);
        shiftActivationTick_ = GetTickCount();
        break;
    case WM_ACTIVATE:
        OnActivate(wp, lp);
        break;
    case kActivateMsg:
        // Start-up loads the data itself; an activation before it ended would load without
        // the Private key.
        if (!closing_ && startupDone_) OnActivated();
        return 0;
    case WM_DPICHANGED:
        Form::HandleMessage(msg, wp, lp);  // controls and fonts at the new DPI
        if (engine_) engine_->Dpi = Dpi();
        haveLayout_ = false;
        if (layoutReady_) LayoutPanel();
        return 0;
    case WM_QUERYENDSESSION:
        return TRUE;
    case WM_ENDSESSION:
        // Windows is ending the session: the closing runs now, or the settings and the
        // Private working copy would stay as they are until the next start.
        if (!wp || closing_) return 0;
        [[fallthrough]];
    case WM_CLOSE:
        closing_ = true;
        OnClosing();
        OnClosed();
        return 0;
    case kSessionChange:
        if (wp == kSessionLock) guard_.SessionLocked();
        return 0;
    case WM_DESTROY:
        KillTimer(hwnd_, kSampleTimer);
        if (sessionNotified_) {
            using Unregister = BOOL(WINAPI*)(HWND);
            if (auto unreg = reinterpret_cast<Unregister>(reinterpret_cast<void*>(
                    GetProcAddress(GetModuleHandleW(L"wtsapi32.dll"), "WTSUnRegisterSessionNotification"))))
                unreg(hwnd_);
        }
        UnregisterHotKeys();
        PostQuitMessage(0);
        return 0;
    }
    return Form::HandleMessage(msg, wp, lp);
}

// ---- closing ----------------------------------------------------------------------------

void PanelWindow::OnClosing() { host_.QueryUnload(); }

void PanelWindow::OnClosed() {
    if (unloaded_) return;
    unloaded_ = true;
    closing_ = true;
    host_.Unload();
    DestroyWindow(hwnd_);
}

void PanelWindow::OnExitItem() {
    // The menu item unloads directly; the settings are stored on the way as for any close.
    OnClosing();
    OnClosed();
}
