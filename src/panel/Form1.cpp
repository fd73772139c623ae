#include "panel/Form1.h"

#include <commctrl.h>

#include <algorithm>

#include "base/color.h"
#include "panel/app_state.h"
#include "panel/loader_logic.h"
#include "panel/paste_logic.h"
#include "panel/win_desktop.h"
#include "protect/Form4.h"
#include "protect/clsCryptFile.h"
#include "store/datafiles.h"
#include "store/dataset_format.h"
#include "store/settings.h"
#include "win/app.h"

namespace {

constexpr UINT kTimer1 = 1;
constexpr UINT kActivateMsg = WM_APP + 1;   // Form_Activate runs outside WM_ACTIVATE
constexpr UINT kUninstallRequestMsg = form1::kUninstallRequestMsg;
constexpr int kButtonMargin = 2;            // spare entry buttons above and below the view
const wchar_t kUiFont[] = L"ＭＳ Ｐゴシック";
const wchar_t kEntryFont[] = L"ＭＳ ゴシック";
const wchar_t kStartup[] = L"Startup";

Form1* g_main = nullptr;

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

Form1& MainForm() { return *g_main; }

Form1::Form1() {
    g_main = this;
    captions.assign(1, L"");
    texts.assign(1, L"");
    colours.assign(1, L"");
}

Form1::~Form1() {
    if (instanceMutex_) CloseHandle(instanceMutex_);
    g_main = nullptr;
}

// ---- window and controls ----------------------------------------------------------------

HMENU Form1::BuildMenu() {
    HMENU bar = CreateMenu();
    HMENU m = CreatePopupMenu();
    AppendMenuW(m, MF_STRING | MF_CHECKED, kType1, L"Public");
    AppendMenuW(m, MF_STRING, kType2, L"Private");
    AppendMenuW(m, MF_STRING, kType3, L"顔文字");
    AppendMenuW(m, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(m, MF_STRING | MF_CHECKED, kModeDef, paste::kModeDefCaption.c_str());
    AppendMenuW(m, MF_STRING, kMode, paste::kModeCaption.c_str());
    AppendMenuW(m, MF_STRING, kModeEnt, paste::kModeEntCaption.c_str());
    AppendMenuW(m, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(m, MF_STRING | MF_CHECKED, kPassEnabled, L"Privateのﾊﾟｽﾜｰﾄﾞ有効");
    AppendMenuW(m, MF_STRING, kPassUnEnabled, L"Privateのﾊﾟｽﾜｰﾄﾞ無効");
    AppendMenuW(m, MF_STRING | MF_GRAYED, kPassChange, L"Privateのﾊﾟｽﾜｰﾄ変更");
    AppendMenuW(m, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(m, MF_STRING, kExportData, L"ﾃﾞｰﾀｾｯﾄのﾊﾞｯｸｱｯﾌﾟ");
    AppendMenuW(m, MF_STRING, kImportData, L"ﾃﾞｰﾀｾｯﾄの読込");
    AppendMenuW(m, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(m, MF_STRING, kNewApp, L"新しい「ハリコ」の作成");
    AppendMenuW(m, MF_STRING, kCreateLink, L"ﾃﾞｽｸﾄｯﾌﾟにｼｮｰﾄｶｯﾄの作成");
    AppendMenuW(m, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(m, MF_STRING, kMinimum, L"最小化(&N)");
    AppendMenuW(m, MF_STRING, kEnd, L"終　了(&X)");
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(m), L"ﾒﾆｭｰ");
    HMENU h = CreatePopupMenu();
    AppendMenuW(h, MF_STRING, kHow, L"使い方");
    AppendMenuW(h, MF_STRING, kVer, L"ﾊﾞｰｼﾞｮﾝ情報");
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(h), L"ﾍﾙﾌﾟ");
    return bar;
}

bool Form1::Checked(MenuId id) const {
    return (GetMenuState(menu_, id, MF_BYCOMMAND) & MF_CHECKED) != 0;
}
void Form1::SetChecked(MenuId id, bool on) {
    CheckMenuItem(menu_, id, MF_BYCOMMAND | (on ? MF_CHECKED : MF_UNCHECKED));
}
void Form1::SetMenuEnabled(MenuId id, bool on) {
    EnableMenuItem(menu_, id, MF_BYCOMMAND | (on ? MF_ENABLED : MF_GRAYED));
}
bool Form1::MenuEnabled(MenuId id) const {
    return (GetMenuState(menu_, id, MF_BYCOMMAND) & (MF_GRAYED | MF_DISABLED)) == 0;
}

PasteMode Form1::CurrentMode() const {
    if (Checked(kMode)) return PasteMode::Kensho;
    if (Checked(kModeEnt)) return PasteMode::Bunsho;
    return PasteMode::Def;
}

int Form1::TickedDataSet() const {
    if (Checked(kType1)) return 1;
    if (Checked(kType2)) return 2;
    if (Checked(kType3)) return 3;
    return 0;
}

void Form1::CreateControls() {
    using namespace panel;
    Frame1 = AddFrame(0, 0, kFrame1Width, 25 * kRow + kColumnTop, nullptr, RGB(255, 255, 255), form1::kFrame1);
    Frame2 = AddFrame(0, 0, kFrame2Width, 25 * kRow + kColumnTop, Frame1->hwnd, RGB(255, 255, 255), form1::kFrame2);
    VScroll1 = AddControl(L"SCROLLBAR", L"", SBS_VERT, 0, kScrollLeft, kScrollTop, kScrollWidth,
                          25 * kRow, nullptr, form1::kVScroll1);
    Command2 = AddControl(L"BUTTON", L"", WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0, kEntryLeft,
                          0, kCommand2Width, kCommand2Height, nullptr, form1::kCommand2);
    Command8 = AddControl(L"BUTTON", L"", WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0, kEntryLeft,
                          0, kEntryWidth, kCommand8Height, nullptr, form1::kCommand8);
    Command5 = AddControl(L"BUTTON", L"前へ", WS_TABSTOP | BS_OWNERDRAW, 0, kEntryLeft, 0,
                          kKeyButtonWidth, kKeyButtonHeight, nullptr, form1::kCommand5);
    Command6 = AddControl(L"BUTTON", L"次へ", WS_TABSTOP | BS_OWNERDRAW, 0, 750, 0,
                          kKeyButtonWidth, kKeyButtonHeight, nullptr, form1::kCommand6);
    Command7 = AddControl(L"BUTTON", L"改行", WS_TABSTOP | BS_OWNERDRAW, 0, kEntryLeft, 0,
                          kCommand7Width, kKeyButtonHeight, nullptr, form1::kCommand7);
    Command5->drawPicture = [](HDC dc, const RECT& r, const Form&) { DrawTriangle(dc, r, true); };
    Command6->drawPicture = [](HDC dc, const RECT& r, const Form&) { DrawTriangle(dc, r, false); };
    Command7->drawPicture = [](HDC dc, const RECT& r, const Form&) { DrawReturnArrow(dc, r); };
    // Focus holder and minimise accelerator: real buttons outside the visible area.
    Command3 = AddControl(L"BUTTON", L"(&Z)", WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0, 2040,
                          4200, 375, 375, nullptr, form1::kCommand3);
    Command4 = AddControl(L"BUTTON", L"(&N)", WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0, 2520,
                          4200, 375, 375, nullptr, form1::kCommand4);
    Text1 = AddControl(L"EDIT", L"", WS_VISIBLE | ES_AUTOHSCROLL, 0, 3000, 0, 1000, 300, nullptr, form1::kText1);
    Text2 = AddControl(L"EDIT", L"", WS_VISIBLE | ES_AUTOHSCROLL, 0, 3000, 400, 1000, 300, nullptr, form1::kText2);
    Text3 = AddControl(L"EDIT", L"", WS_VISIBLE | ES_AUTOHSCROLL, 0, 3000, 800, 1000, 300, nullptr, form1::kText3);
    Text4 = AddControl(L"EDIT", L"0", WS_VISIBLE | ES_AUTOHSCROLL, 0, 3000, 1200, 1000, 300, nullptr, form1::kText4);
    // The grip lies under the buttons it may overlap (as a picture under windowed controls),
    // so only its free corner shows.
    Image1 = AddControl(L"STATIC", L"", WS_VISIBLE | WS_CLIPSIBLINGS | SS_NOTIFY | SS_OWNERDRAW, 0, 0, 0,
                        kGripSize, kGripSize, nullptr, form1::kImage1);
    SetWindowPos(Image1->hwnd, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    for (Control* c : {Command2, Command8, Command3, Command4, Text1, Text2, Text3, Text4})
        c->SetFont(kUiFont, 9);
    for (Control* c : {Command5, Command6, Command7}) c->SetFont(kUiFont, 9);
    SetToolTip(Command5, paste::kCommand5ToolTip);
    SetToolTip(Command6, paste::kCommand6ToolTip);
    SetToolTip(Command7, paste::kCommand7ToolTip);
    SetToolTip(Command8, paste::ModeToolTip(PasteMode::Def));
}

void Form1::DrawGrip(HDC dc) {
    RECT rc;
    GetClientRect(Image1->hwnd, &rc);
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

// ---- the entry buttons ------------------------------------------------------------------

void Form1::PlaceEntryButtons() {
    using namespace panel;
    // Only entry buttons inside the column (the first entry-count rows) can be seen, so only
    // those near the viewport get a real control.
    auto [first, end] = VisibleButtonRange(scrollValue_, visibleRows_, entryCount, kButtonMargin);
    int need = std::max(0, end - first);
    while (static_cast<int>(slots_.size()) < need) {
        Control* b = AddControl(L"BUTTON", L"", BS_OWNERDRAW, 0, kEntryLeft, 0, kEntryWidth,
                                kEntryHeight, Frame2->hwnd,
                                form1::kFirstEntryButton + static_cast<int>(slots_.size()));
        b->SetFont(kEntryFont, 9);
        slots_.push_back(b);
    }
    firstButton_ = first;
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
        if (i + 1 <= entryCount && entryCount > 1) {
            caption = captions[i + 1];
            SetToolTip(b, texts[i + 1]);
            if (auto v = ColorTextToValue(colours[i + 1])) colour = *v;
        } else {
            SetToolTip(b, L"");
        }
        bool repaint = colour != b->backColor || caption != b->Text();
        b->backColor = colour;
        b->SetText(caption);
        b->SetVisible(true);
        if (repaint) InvalidateRect(b->hwnd, nullptr, FALSE);
    }
    // The column: as tall as its entries, but never a window taller than the viewport.
    int columnHeight = entryCount * kRow + kColumnTop - scrollValue_;
    int viewHeight = visibleRows_ * kRow + kColumnTop;
    Frame2->Move(Frame2->Left(), 0, kFrame2Width, std::clamp(columnHeight, 0, viewHeight));
}

void Form1::SetScrollValue(int v) {
    v = std::clamp(v, 0, std::max(0, scrollMax_));
    if (v == scrollValue_) return;
    scrollValue_ = v;
    SCROLLINFO si{sizeof si, SIF_POS, 0, 0, 0, v, 0};
    SetScrollInfo(VScroll1->hwnd, SB_CTL, &si, TRUE);
    VScroll1_Change();
}

void Form1::OnScroll(int code) {
    SCROLLINFO si{};
    si.cbSize = sizeof si;
    si.fMask = SIF_ALL;
    GetScrollInfo(VScroll1->hwnd, SB_CTL, &si);
    int v = scrollValue_;
    switch (code) {
    case SB_LINEUP: v -= panel::kSmallChange; break;
    case SB_LINEDOWN: v += panel::kSmallChange; break;
    case SB_PAGEUP: v -= panel::kLargeChange; break;
    case SB_PAGEDOWN: v += panel::kLargeChange; break;
    case SB_TOP: v = 0; break;
    case SB_BOTTOM: v = scrollMax_; break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: v = si.nTrackPos; break;
    default: return;
    }
    SetScrollValue(v);
}

void Form1::VScroll1_Change() {
    // The column moves up by the scroll value inside the fixed viewport.
    PlaceEntryButtons();
}

int16_t& Form1::RowSettingOfTicked() {
    static int16_t none = 0;
    int t = TickedDataSet();
    return t ? App().number[t] : none;
}

// ---- paste engine wiring ----------------------------------------------------------------

void Form1::SyncEngineFields() {
    Text1->SetText(engine_->Text1);
    Text2->SetText(engine_->Text2);
    Text3->SetText(engine_->Text3);
    Text4->SetText(engine_->Text4);
}

void Form1::Timer1_Timer() {
    engine_->Mode = CurrentMode();
    engine_->StartupDataSet = App().startupDataSet;
    engine_->Timer1_Timer();
    SyncEngineFields();
}

void Form1::Command1_Click(int index) {
    engine_->Mode = CurrentMode();
    engine_->Command1_Click(index, entryCount, texts);
    SyncEngineFields();
}

void Form1::Command5_Click() {
    engine_->KeyButton(KeyButtonId::Command5);
    SyncEngineFields();
}
void Form1::Command6_Click() {
    engine_->KeyButton(KeyButtonId::Command6);
    SyncEngineFields();
}
void Form1::Command7_Click() {
    engine_->KeyButton(KeyButtonId::Command7);
    SyncEngineFields();
}

void Form1::Command8_Click() {
    switch (engine_->AdvanceModePosition()) {
    case PasteMode::Def: Mode_Def_Click(); break;
    case PasteMode::Kensho: Mode_Click(); break;
    case PasteMode::Bunsho: Mode_Ent_Click(); break;
    }
    modePosition_ = static_cast<int16_t>(engine_->ModeSwitchPosition);
    Command3->SetFocus();
}

void Form1::Mode_Def_Click() {
    if (!Checked(kModeDef)) {
        SetChecked(kModeDef, true);
        SetChecked(kMode, false);
        SetChecked(kModeEnt, false);
        Command5->SetVisible(false);
        Command6->SetVisible(false);
        Command7->SetVisible(false);
        SetToolTip(Command8, paste::ModeToolTip(PasteMode::Def));
    }
    engine_->Mode = CurrentMode();
    LoadDataSet();
    LayoutPanel();
}

void Form1::Mode_Click() {
    if (!Checked(kMode)) {
        SetChecked(kMode, true);
        SetChecked(kModeEnt, false);
        SetChecked(kModeDef, false);
        Command7->SetVisible(false);
        SetToolTip(Command8, paste::ModeToolTip(PasteMode::Kensho));
    }
    engine_->Mode = CurrentMode();
    LoadDataSet();
    LayoutPanel();
}

void Form1::Mode_Ent_Click() {
    if (!Checked(kModeEnt)) {
        SetChecked(kMode, false);
        SetChecked(kModeEnt, true);
        SetChecked(kModeDef, false);
        Command5->SetVisible(false);
        Command6->SetVisible(false);
        SetToolTip(Command8, paste::ModeToolTip(PasteMode::Bunsho));
    }
    engine_->Mode = CurrentMode();
    LoadDataSet();
    LayoutPanel();
}

// ---- layout -----------------------------------------------------------------------------

bool Form1::Gone() const { return closing_ || !hwnd_ || !IsWindow(hwnd_); }

void Form1::LayoutPanel() {
    if (Gone()) return;
    int t = TickedDataSet();
    if (t) {
        int16_t setting = App().number[t];
        visibleRows_ = static_cast<int16_t>(std::max<int>(1, setting));
        // Stored on every layout; the store is only written when the value changed.
        if (storedRows_[t] != setting) {
            SaveSetting(App().exeName, kStartup, L"Number" + std::to_wstring(t),
                        std::to_wstring(setting));
            storedRows_[t] = setting;
        }
    }
    DoEvents();
    // A close among the pending messages: the window's size means nothing any more.
    if (Gone()) return;
    PanelLayout L = ComputeLayout(entryCount, visibleRows_, CurrentMode());
    Frame1->Move(L.frameLeft, 0, panel::kFrame1Width, L.frame1Height);
    Frame2->SetLeft(L.frameLeft);
    VScroll1->SetHeight(L.vscrollHeight);
    Command2->Move(L.cmd2Left, L.cmd2Top, panel::kCommand2Width, panel::kCommand2Height);
    Command8->Move(L.cmd8Left, L.cmd8Top, L.cmd8Width, panel::kCommand8Height);
    Command5->Move(L.cmd5Left, L.keyRowTop, panel::kKeyButtonWidth, panel::kKeyButtonHeight);
    Command6->Move(L.cmd6Left, L.keyRowTop, panel::kKeyButtonWidth, panel::kKeyButtonHeight);
    Command7->Move(L.cmd7Left, L.keyRowTop, panel::kCommand7Width, panel::kKeyButtonHeight);
    Command5->SetVisible(L.show5);
    Command6->SetVisible(L.show6);
    Command7->SetVisible(L.show7);

    scrollMax_ = L.vscrollMax;
    SCROLLINFO si{};
    si.cbSize = sizeof si;
    si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL;
    int page = visibleRows_ * panel::kRow;
    si.nMin = 0;
    si.nMax = std::max(0, L.vscrollMax) + page - 1;
    si.nPage = static_cast<UINT>(page);
    scrollValue_ = std::clamp(scrollValue_, 0, std::max(0, L.vscrollMax));
    si.nPos = scrollValue_;
    SetScrollInfo(VScroll1->hwnd, SB_CTL, &si, TRUE);
    VScroll1->SetVisible(L.scrollShown);

    if (!Minimized()) {
        // Setting the height raises Form_Resize, which finds the same row count.
        if (Height() != L.windowHeight) SetHeight(L.windowHeight);
        if (Width() != panel::kWindowWidth) SetWidth(panel::kWindowWidth);
    }
    PlaceEntryButtons();
    Image1->Move(ScaleWidth() - panel::kGripSize, ScaleHeight() - panel::kGripSize,
                 panel::kGripSize, panel::kGripSize);
    layoutReady_ = true;
    // Moved controls repaint themselves; the form only needs its own background again.
    InvalidateRect(hwnd_, nullptr, TRUE);
}

void Form1::Form_Resize() {
    if (!layoutReady_ || Gone() || Minimized()) return;
    if (Width() != panel::kWindowWidth) SetWidth(panel::kWindowWidth);
    ResizeDecision d = DecideResize(Height(), entryCount, CurrentMode());
    if (d.relayoutOnly) {
        LayoutPanel();
        return;
    }
    int t = TickedDataSet();
    if (t) App().number[t] = static_cast<int16_t>(d.newRowSetting);
    LayoutPanel();
    Image1->Move(ScaleWidth() - panel::kGripSize, ScaleHeight() - panel::kGripSize,
                 panel::kGripSize, panel::kGripSize);
    RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
    DoEvents();
}

// ---- data sets --------------------------------------------------------------------------

void Form1::Type1_Click() {
    layoutReady_ = false;
    SetChecked(kType1, true);
    SetChecked(kType2, false);
    SetChecked(kType3, false);
    LoadDataSet();
    LayoutPanel();
}

void Form1::Type3_Click() {
    layoutReady_ = false;
    SetChecked(kType3, true);
    SetChecked(kType1, false);
    SetChecked(kType2, false);
    LoadDataSet();
    LayoutPanel();
}

void Form1::Type2_Click() {
    layoutReady_ = false;
    if (Checked(kType2)) return;
    if (!Checked(kPassUnEnabled)) {
        // Locked: the password dialog ticks Private; the panel loads it when active again.
        ShowPasswordDialog();
        return;
    }
    SetChecked(kType1, false);
    SetChecked(kType2, true);
    SetChecked(kType3, false);
    LoadDataSet();
    LayoutPanel();
}

void Form1::Command2_Click() {
    Command3->SetFocus();
    ShowPlaceholder(L"データの設定と編集");
}

void Form1::ShowPlaceholder(const wchar_t* what) {
    MsgBox(std::wstring(L"「") + what + L"」は、このバージョンではまだ使えません。",
           MB_OK | MB_ICONINFORMATION);
}

void Form1::ShowPasswordDialog() { ShowForm4(); }

// Encrypts the Private working copy back into MyData_2.dat. The working copy is deleted only
// once the encrypted file exists, so a failed encryption never loses the entries.
void Form1::PutWorkingCopyAway() {
    const std::wstring work = App().DataFile(L"MyData_2_2.dat");
    const std::wstring enc = App().DataFile(L"MyData_2.dat");
    // Without a key (before start-up has read the password file) nothing is put away.
    if (!FileExists(work) || App().privateKey.empty()) return;
    EncryptFileTo(work, enc, App().privateKey);
    if (FileExists(enc)) DeleteFileW(work.c_str());
}

// A Private file that does not decrypt to records (another key) is moved aside under a name
// that says so, never overwritten, before the panel starts Private afresh.
bool Form1::KeepUndecryptableAside() {
    const std::wstring enc = App().DataFile(L"MyData_2.dat");
    SYSTEMTIME st;
    GetLocalTime(&st);
    wchar_t stamp[32];
    swprintf(stamp, 32, L"%04u%02u%02u-%02u%02u%02u", st.wYear, st.wMonth, st.wDay, st.wHour,
             st.wMinute, st.wSecond);
    for (int n = 0; n < 1000; ++n) {
        std::wstring aside = App().DataFile(L"MyData_2_復号できません_") + stamp +
                             (n ? L"_" + std::to_wstring(n) : L"") + L".dat";
        if (MoveFileW(enc.c_str(), aside.c_str())) return true;
        if (GetLastError() != ERROR_ALREADY_EXISTS && GetLastError() != ERROR_FILE_EXISTS) break;
    }
    return false;
}

void Form1::LoadDataSet() {
    if (!hwnd_) return;
    BusyCursor busy;
    // Pending messages run in the middle of a load; a menu choice or an activation among them
    // may start a newer load. The older one then stops, or it would show the set it began with.
    const unsigned generation = ++loadGeneration_;
    auto superseded = [&] { return generation != loadGeneration_ || Gone(); };
    entryCount = 0;
    const std::wstring work = App().DataFile(L"MyData_2_2.dat");
    const std::wstring enc = App().DataFile(L"MyData_2.dat");
    std::wstring file;
    bool privateTicked = false;
    bool undecryptable = false;
    if (Checked(kType2)) {
        privateTicked = true;
        bool fresh = !FileExists(work) && !App().privateKey.empty() &&
                     DecryptFileTo(enc, work, App().privateKey);
        if (fresh) {
            auto bytes = ReadAllBytes(work);
            if (!bytes || !IsWellFormedDataSet(*bytes)) {
                // Wrong key or damaged file: keep the encrypted file, drop the garbage.
                DeleteFileW(work.c_str());
                KeepUndecryptableAside();
                undecryptable = true;
            } else {
                DeleteFileW(enc.c_str());
            }
        } else if (FileExists(work)) {
            DeleteFileW(enc.c_str());
        }
        DoEvents();
        file = work;
    } else {
        PutWorkingCopyAway();
        DoEvents();
        file = App().DataFile(Checked(kType3) ? L"MyData_3.dat" : L"MyData_1.dat");
    }
    if (superseded()) return;

    std::vector<Entry> entries = undecryptable ? std::vector<Entry>(1) : ReadDataSetFile(file);
    entryCount = static_cast<int16_t>(std::min<size_t>(entries.size(), 32767));
    captions.assign(1, L"");
    texts.assign(1, L"");
    colours.assign(1, L"");
    for (int k = 0; k < entryCount; ++k) {
        captions.push_back(entries[k].caption);
        texts.push_back(entries[k].text);
        colours.push_back(entries[k].colour);
    }
    DoEvents();
    if (superseded()) return;

    // One record means a failed decryption of Private: start it afresh with 25 blank rows.
    // The files of Private are only touched while Private is the loaded set; a working copy
    // made while another set is loaded would later be taken for the real one.
    if (entryCount == 1) {
        // The file steps run back to back so that no other load sees them half done.
        if (privateTicked) {
            DeleteFileW(work.c_str());
            WriteDataSetFile(work, BlankEntries(25), ColourForm::HexText);
        }
        DoEvents();
        if (superseded()) return;
        entryCount = 25;
        captions.assign(26, L"");
        texts.assign(26, L"");
        colours.assign(26, L"&HFFFFFF");
        MsgBox(L"データの複合化で不具合を生じました。\r\n\r\n"
               L"Privateのデータは初期化されましたので、\r\n"
               L"お手数ですがもう一度データを入力してください。　　　　　",
               MB_OK | MB_ICONSTOP, App().exeName);
        if (superseded()) return;
    }
    scrollValue_ = std::clamp(scrollValue_, 0, std::max(0, entryCount * panel::kRow));
    PlaceEntryButtons();
}

// ---- window behaviour -------------------------------------------------------------------

void Form1::Form_Activate() {
    LONG_PTR style = GetWindowLongPtrW(hwnd_, GWL_STYLE);
    style &= ~static_cast<LONG_PTR>(WS_MINIMIZEBOX);
    style &= ~static_cast<LONG_PTR>(WS_MAXIMIZEBOX);
    SetWindowLongPtrW(hwnd_, GWL_STYLE, style);
    HMENU sys = GetSystemMenu(hwnd_, FALSE);
    DeleteMenu(sys, SC_RESTORE, MF_BYCOMMAND);
    DeleteMenu(sys, SC_MINIMIZE, MF_BYCOMMAND);
    DeleteMenu(sys, SC_MAXIMIZE, MF_BYCOMMAND);
    DeleteMenu(sys, 5, MF_BYPOSITION);
    DrawMenuBar(hwnd_);

    const OwnWindowTable& own = OwnWindows();
    for (uintptr_t h : {own.Form2, own.Form4, own.Form5, own.Form6, own.Form7, own.Form8}) {
        if (h && IsWindow(reinterpret_cast<HWND>(h)) && IsWindowVisible(reinterpret_cast<HWND>(h)))
            SetForegroundWindow(reinterpret_cast<HWND>(h));
    }
    if (App().uninstallRequest == 1) {
        PostMessageW(hwnd_, WM_CLOSE, 0, 0);
        return;
    }
    LoadDataSet();
    if (Gone()) return;
    LayoutPanel();
    DoEvents();
    if (Gone()) return;
    Form_Resize();
    DoEvents();
}

void Form1::Command4_Click() {
    HWND h = reinterpret_cast<HWND>(paste::TextToHandle(engine_->Text3));
    ShowWindow(h ? h : hwnd_, SW_SHOWMINIMIZED);
}

void Form1::Form_DblClick() { Command4_Click(); }
void Form1::Minimum_Click() { Command4_Click(); }

void Form1::Command3_Click() {
    SetWindowPos(hwnd_, nullptr, Px(7665), Px(200), 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Form1::Image1_MouseDown() {
    RECT r;
    GetWindowRect(hwnd_, &r);
    SetCursorPos(r.right - 1, r.bottom - 1);
    mouse_event(MOUSEEVENTF_LEFTUP, r.right - 1, r.bottom - 1, 0, 0);
    mouse_event(MOUSEEVENTF_LEFTDOWN, r.right - 1, r.bottom - 1, 0, 0);
}

// ---- messages ---------------------------------------------------------------------------

LRESULT Form1::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_TIMER:
        if (wp == kTimer1) Timer1_Timer();
        return 0;
    case WM_COMMAND: {
        int id = LOWORD(wp);
        if (lp == 0) {  // menu
            switch (id) {
            case kType1: Type1_Click(); break;
            case kType2: Type2_Click(); break;
            case kType3: Type3_Click(); break;
            case kModeDef: Mode_Def_Click(); break;
            case kMode: Mode_Click(); break;
            case kModeEnt: Mode_Ent_Click(); break;
            case kPassEnabled: Pass_Enabled_Click(); break;
            case kPassUnEnabled: Pass_UnEnabled_Click(); break;
            case kPassChange: Pass_Change_Click(); break;
            case kMinimum: Minimum_Click(); break;
            case kEnd: End_Click(); break;
            case kExportData: ShowPlaceholder(L"ﾃﾞｰﾀｾｯﾄのﾊﾞｯｸｱｯﾌﾟ"); break;
            case kImportData: ShowPlaceholder(L"ﾃﾞｰﾀｾｯﾄの読込"); break;
            case kNewApp: ShowPlaceholder(L"新しい「ハリコ」の作成"); break;
            case kCreateLink: ShowPlaceholder(L"ﾃﾞｽｸﾄｯﾌﾟにｼｮｰﾄｶｯﾄの作成"); break;
            case kHow: ShowPlaceholder(L"使い方"); break;
            case kVer: ShowPlaceholder(L"ﾊﾞｰｼﾞｮﾝ情報"); break;
            }
            return 0;
        }
        HWND ctl = reinterpret_cast<HWND>(lp);
        int code = HIWORD(wp);
        if (code == BN_CLICKED || code == STN_CLICKED) {
            if (Image1 && ctl == Image1->hwnd) { Image1_MouseDown(); return 0; }
            for (size_t k = 0; k < slots_.size(); ++k) {
                if (slots_[k]->hwnd == ctl) {
                    Command1_Click(firstButton_ + static_cast<int>(k));
                    return 0;
                }
            }
            if (ctl == Command2->hwnd) Command2_Click();
            else if (ctl == Command3->hwnd) Command3_Click();
            else if (ctl == Command4->hwnd) Command4_Click();
            else if (ctl == Command5->hwnd) Command5_Click();
            else if (ctl == Command6->hwnd) Command6_Click();
            else if (ctl == Command7->hwnd) Command7_Click();
            else if (ctl == Command8->hwnd) Command8_Click();
        }
        return 0;
    }
    case WM_DRAWITEM: {
        auto* di = reinterpret_cast<const DRAWITEMSTRUCT*>(lp);
        if (Image1 && di->hwndItem == Image1->hwnd) {
            DrawGrip(di->hDC);
            return TRUE;
        }
        break;
    }
    case WM_VSCROLL:
        if (VScroll1 && reinterpret_cast<HWND>(lp) == VScroll1->hwnd) OnScroll(LOWORD(wp));
        return 0;
    case WM_MOUSEWHEEL: {
        if (scrollMax_ > 0) {
            int notches = GET_WHEEL_DELTA_WPARAM(wp) / WHEEL_DELTA;
            SetScrollValue(scrollValue_ - notches * panel::kSmallChange);
        }
        return 0;
    }
    case WM_SIZING: {
        // Snap while dragging so the frame follows whole rows and keeps its width.
        if (!layoutReady_) break;
        auto* r = reinterpret_cast<RECT*>(lp);
        ResizeDecision d = DecideResize(Tw(r->bottom - r->top), entryCount, CurrentMode());
        int rows = d.relayoutOnly ? visibleRows_ : std::max(1, d.newRowSetting);
        int h = Px(ComputeLayout(entryCount, rows, CurrentMode()).windowHeight);
        if (wp == WMSZ_TOP || wp == WMSZ_TOPLEFT || wp == WMSZ_TOPRIGHT) r->top = r->bottom - h;
        else r->bottom = r->top + h;
        if (wp == WMSZ_LEFT || wp == WMSZ_TOPLEFT || wp == WMSZ_BOTTOMLEFT)
            r->left = r->right - Px(panel::kWindowWidth);
        else r->right = r->left + Px(panel::kWindowWidth);
        return TRUE;
    }
    case WM_SIZE:
        if (wp != SIZE_MINIMIZED && layoutReady_) Form_Resize();
        return 0;
    case WM_LBUTTONDBLCLK:
        Form_DblClick();
        return 0;
    case WM_ACTIVATEAPP:
        if (wp) activatedFromOtherApp_ = true;
        break;
    case WM_ACTIVATE:
        if (LOWORD(wp) != WA_INACTIVE) {
            // Runs when the panel comes back from another window of the program (and when it
            // is first shown), not when the user returns from another application.
            bool fromOtherApp = activatedFromOtherApp_;
            activatedFromOtherApp_ = false;
            if (firstActivate_ || !fromOtherApp) PostMessageW(hwnd_, kActivateMsg, 0, 0);
            firstActivate_ = false;
        }
        break;
    case kUninstallRequestMsg:
        // What the About box's uninstall confirmation does: the next activation closes.
        // wParam 1 also plays the About box closing, which activates the panel again.
        App().uninstallRequest = 1;
        if (wp == 1) PostMessageW(hwnd_, kActivateMsg, 0, 0);
        return 0;
    case kActivateMsg:
        // Start-up loads the data itself; an activation before it ended would load without
        // the Private key.
        if (!closing_ && startupDone_) Form_Activate();
        return 0;
    case WM_DPICHANGED: {
        LRESULT r = Form::HandleMessage(msg, wp, lp);
        if (engine_) engine_->Dpi = Dpi();
        if (layoutReady_) LayoutPanel();
        return r;
    }
    case WM_CLOSE:
        closing_ = true;
        Form_QueryUnload();
        Form_Unload();
        return 0;
    case WM_DESTROY:
        KillTimer(hwnd_, kTimer1);
        PostQuitMessage(0);
        return 0;
    }
    return Form::HandleMessage(msg, wp, lp);
}
