#include "win/form.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdlib>
#include <cwctype>
#include <utility>

#include "base/contrast.h"
#include "base/stored_names.h"
#include "base/twips.h"
#include "win/app.h"
#include "win/colour_scheme.h"

namespace {

const wchar_t kFrameClass[] = L"HarikoFrame";

// Frames forward what their children report to the window that owns the handlers.
LRESULT CALLBACK FrameProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    const auto* c = reinterpret_cast<const Control*>(GetWindowLongPtrW(h, 0));
    switch (msg) {
    case WM_PAINT:
        if (c && c->paint) {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(h, &ps);
            c->paint(dc, ps.rcPaint);
            EndPaint(h, &ps);
            return 0;
        }
        break;
    case WM_LBUTTONDOWN:
        if (c && c->onPress) {
            c->onPress({static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))});
            return 0;
        }
        break;
    case WM_COMMAND:
    case WM_DRAWITEM:
    case WM_VSCROLL:
    case WM_NOTIFY:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSCROLLBAR:
        return SendMessageW(GetAncestor(h, GA_ROOT), msg, wp, lp);
    case WM_ERASEBKGND: {
        RECT rc;
        GetClientRect(h, &rc);
        HBRUSH b = CreateSolidBrush(static_cast<COLORREF>(GetWindowLongPtrW(h, GWLP_USERDATA)));
        FillRect(reinterpret_cast<HDC>(wp), &rc, b);
        DeleteObject(b);
        return 1;
    }
    }
    return DefWindowProcW(h, msg, wp, lp);
}

void RegisterClasses(WNDPROC formProc) {
    static bool done = false;
    if (done) return;
    done = true;
    HINSTANCE inst = GetModuleHandleW(nullptr);
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = formProc;
    wc.hInstance = inst;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.hIcon = LoadIconW(inst, MAKEINTRESOURCEW(1));
    wc.hIconSm = static_cast<HICON>(LoadImageW(inst, MAKEINTRESOURCEW(1), IMAGE_ICON,
                                               GetSystemMetrics(SM_CXSMICON),
                                               GetSystemMetrics(SM_CYSMICON), 0));
    wc.lpszClassName = stored::kWindowClass;
    RegisterClassExW(&wc);

    WNDCLASSEXW fc{};
    fc.cbSize = sizeof fc;
    fc.style = CS_DBLCLKS;
    fc.lpfnWndProc = FrameProc;
    fc.cbWndExtra = sizeof(LONG_PTR);  // its Control
    fc.hInstance = inst;
    fc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    fc.lpszClassName = kFrameClass;
    RegisterClassExW(&fc);
}

}  // namespace

std::wstring WindowText(HWND h) {
    int n = GetWindowTextLengthW(h);
    std::wstring s(static_cast<size_t>(n) + 1, L'\0');
    n = GetWindowTextW(h, s.data(), n + 1);
    s.resize(static_cast<size_t>(n > 0 ? n : 0));
    return s;
}

void CentreOnWorkArea(HWND w, HWND nearWindow, SIZE size) {
    RECT r;
    GetWindowRect(w, &r);
    const bool resize = size.cx > 0 && size.cy > 0;
    const int width = resize ? size.cx : r.right - r.left, height = resize ? size.cy : r.bottom - r.top;
    int x = r.left, y = r.top;
    MONITORINFO mi{};
    mi.cbSize = sizeof mi;
    if (GetMonitorInfoW(MonitorFromWindow(nearWindow ? nearWindow : w, MONITOR_DEFAULTTONEAREST), &mi)) {
        x = std::max<int>(mi.rcWork.left, (mi.rcWork.left + mi.rcWork.right - width) / 2);
        y = std::max<int>(mi.rcWork.top, (mi.rcWork.top + mi.rcWork.bottom - height) / 2);
    }
    SetWindowPos(w, nullptr, x, y, width, height,
                 SWP_NOZORDER | SWP_NOACTIVATE | (resize ? 0 : SWP_NOSIZE));
}

void RemoveMinMaxBoxes(HWND w) {
    LONG_PTR style = GetWindowLongPtrW(w, GWL_STYLE);
    SetWindowLongPtrW(w, GWL_STYLE, style & ~static_cast<LONG_PTR>(WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
    HMENU sys = GetSystemMenu(w, FALSE);
    DeleteMenu(sys, SC_RESTORE, MF_BYCOMMAND);
    DeleteMenu(sys, SC_MINIMIZE, MF_BYCOMMAND);
    DeleteMenu(sys, SC_MAXIMIZE, MF_BYCOMMAND);
    DrawMenuBar(w);
}

int WindowDpi(HWND h) {
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    static auto fn = reinterpret_cast<GetDpiForWindowFn>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
    if (fn && h) {
        UINT d = fn(h);
        if (d) return static_cast<int>(d);
    }
    HDC dc = GetDC(nullptr);
    int d = GetDeviceCaps(dc, LOGPIXELSY);
    ReleaseDC(nullptr, dc);
    return d > 0 ? d : 96;
}

// Owner-drawn buttons get double clicks (the class has CS_DBLCLKS), which would swallow
// the second of two quick clicks: each press is a press. A plain window-procedure subclass:
// comctl32's subclassing looks its data up on every message, which under Wine is a server
// call each, and a panel of 25 buttons paid about 15 ms of its start for it.
static WNDPROC buttonProc = nullptr;  // every button of the program has the same one

static LRESULT CALLBACK EveryClickProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_LBUTTONDBLCLK) msg = WM_LBUTTONDOWN;
    return CallWindowProcW(buttonProc, h, msg, wp, lp);
}

static void MakeEveryClickCount(HWND button) {
    const auto proc = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(button, GWLP_WNDPROC));
    if (!buttonProc) buttonProc = proc;
    if (proc == buttonProc) SetWindowLongPtrW(button, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(EveryClickProc));
}

// ---- Control ----------------------------------------------------------------------------

void Control::Move(int left, int top, int width, int height) {
    // Reloads lay the panel out again and again; an unchanged control costs nothing.
    if (left == left_ && top == top_ && width == width_ && height == height_) return;
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    Place();
}

void Control::Place() {
    if (!hwnd || !form_) return;
    SetWindowPos(hwnd, nullptr, form_->Px(left_), form_->Px(top_), form_->Px(width_),
                 form_->Px(height_), SWP_NOZORDER | SWP_NOACTIVATE);
}

void Control::SetVisible(bool v) {
    // The control's own flag: IsWindowVisible says false for every control of a hidden window,
    // and showing each again would cost a window move apiece.
    const bool shown = (GetWindowLongW(hwnd, GWL_STYLE) & WS_VISIBLE) != 0;
    if (v == visible_ && shown == v) return;
    visible_ = v;
    ShowWindow(hwnd, v ? SW_SHOWNA : SW_HIDE);
}

void Control::SetText(const std::wstring& text) {
    if (Text() != text) SetWindowTextW(hwnd, text.c_str());
}

std::wstring Control::Text() const { return WindowText(hwnd); }

void Control::SetFont(const wchar_t* face, double points, bool bold) {
    fontFace_ = face;
    fontPoints_ = points;
    fontBold_ = bold;
    ApplyFont();
}

void Control::ApplyFont() {
    if (!form_ || fontFace_.empty()) return;
    HFONT f = form_->Font(fontFace_.c_str(), fontPoints_, fontBold_);
    // A control not on screen is drawn whole when it shows: no redraw asked for now.
    SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(f), IsWindowVisible(hwnd));
}

// ---- Form -------------------------------------------------------------------------------

Form::Form() { RegisterClasses(&Form::StaticProc); }

Form::~Form() {
    if (hwnd_) {
        EndLifeCycle();
        SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
        DestroyWindow(hwnd_);
    }
    ClearFonts();
}

void Form::Register(uintptr_t* slot) {
    ownSlot_ = slot;
    if (slot) *slot = reinterpret_cast<uintptr_t>(hwnd_);
}

void Form::HoldUp(HWND w) {
    if (!w) return;
    EnableWindow(w, FALSE);
    heldUp_.push_back(w);
}

void Form::ReleaseHeldUp() {
    for (HWND w : heldUp_) EnableWindow(w, TRUE);
    heldUp_.clear();
}

void Form::OpenAsDialog(const DialogOpening& how) {
    CentreOnWorkArea(hwnd_, how.owner, how.size);
    MakeTopmost();
    Register(how.slot);
    if (how.holdOwner && how.owner && IsWindowEnabled(how.owner)) HoldUp(how.owner);
    if (how.dialogKeys) TakeDialogKeys();
    if (how.firstFocus) how.firstFocus->SetFocus();
}

void Form::TakeDialogKeys() {
    if (std::exchange(dialogKeys_, true)) return;
    RegisterDialogWindow(hwnd_);
}

void Form::EndLifeCycle() {
    ReleaseHeldUp();
    if (std::exchange(dialogKeys_, false)) UnregisterDialogWindow(hwnd_);
    if (ownSlot_ && hwnd_ && *ownSlot_ == reinterpret_cast<uintptr_t>(hwnd_)) *ownSlot_ = 0;
    ownSlot_ = nullptr;
}

int Form::Px(int twips) const { return TwipsToPixels(twips, dpi_); }
int Form::Tw(int px) const { return PixelsToTwips(px, dpi_); }

int Form::Left() const {
    RECT r;
    GetWindowRect(hwnd_, &r);
    return Tw(r.left);
}
int Form::Top() const {
    RECT r;
    GetWindowRect(hwnd_, &r);
    return Tw(r.top);
}
int Form::Width() const {
    RECT r;
    GetWindowRect(hwnd_, &r);
    return Tw(r.right - r.left);
}
int Form::Height() const {
    RECT r;
    GetWindowRect(hwnd_, &r);
    return Tw(r.bottom - r.top);
}

void Form::Move(int left, int top, int width, int height) {
    SetWindowPos(hwnd_, nullptr, Px(left), Px(top), Px(width), Px(height),
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

void Form::SetHeight(int twips) {
    RECT r;
    GetWindowRect(hwnd_, &r);
    // Twips seldom make whole pixels: the height the window already has is left alone.
    if (r.bottom - r.top == Px(twips)) return;
    SetWindowPos(hwnd_, nullptr, 0, 0, r.right - r.left, Px(twips),
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOMOVE);
}

void Form::SetWidth(int twips) {
    RECT r;
    GetWindowRect(hwnd_, &r);
    if (r.right - r.left == Px(twips)) return;
    SetWindowPos(hwnd_, nullptr, 0, 0, Px(twips), r.bottom - r.top,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOMOVE);
}

int Form::ScaleWidth() const {
    RECT r;
    GetClientRect(hwnd_, &r);
    return Tw(r.right);
}

int Form::ScaleHeight() const {
    RECT r;
    GetClientRect(hwnd_, &r);
    return Tw(r.bottom);
}

void Form::MakeTopmost() {
    SetWindowPos(hwnd_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void Form::DragFromCorner() {
    RECT r;
    GetWindowRect(hwnd_, &r);
    SetCursorPos(r.right - 1, r.bottom - 1);
    mouse_event(MOUSEEVENTF_LEFTUP, r.right - 1, r.bottom - 1, 0, 0);
    mouse_event(MOUSEEVENTF_LEFTDOWN, r.right - 1, r.bottom - 1, 0, 0);
}

bool Form::CreateTopLevel(const std::wstring& caption, DWORD style, DWORD exStyle, HWND owner,
                          HMENU menu, int width, int height) {
    dpi_ = WindowDpi(nullptr);
    hwnd_ = CreateWindowExW(exStyle, stored::kWindowClass, caption.c_str(), style, CW_USEDEFAULT,
                            CW_USEDEFAULT, Px(width), Px(height), owner, menu,
                            GetModuleHandleW(nullptr), this);
    if (!hwnd_) return false;
    int d = WindowDpi(hwnd_);
    if (d != dpi_) {
        dpi_ = d;
        SetWindowPos(hwnd_, nullptr, 0, 0, Px(width), Px(height),
                     SWP_NOZORDER | SWP_NOMOVE | SWP_NOACTIVATE);
    }
    return true;
}

Control* Form::AddControl(const ControlDesc& d) {
    auto c = std::make_unique<Control>();
    c->form_ = this;
    c->id = d.id ? d.id : nextId_++;
    c->left_ = d.left;
    c->top_ = d.top;
    c->width_ = d.width;
    c->height_ = d.height;
    c->visible_ = (d.style & WS_VISIBLE) != 0;
    c->onClick = d.onClick;
    c->onDoubleClick = d.onDoubleClick;
    c->hwnd = CreateWindowExW(d.exStyle, d.cls, d.text.c_str(), d.style | WS_CHILD, Px(d.left), Px(d.top),
                              Px(d.width), Px(d.height), d.parent ? d.parent : hwnd_,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(c->id)),
                              GetModuleHandleW(nullptr), nullptr);
    SendMessageW(c->hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)),
                 FALSE);
    if (lstrcmpiW(d.cls, L"BUTTON") == 0 && (d.style & BS_TYPEMASK) == BS_OWNERDRAW)
        MakeEveryClickCount(c->hwnd);
    controls_.push_back(std::move(c));
    return controls_.back().get();
}

Control* Form::AddFrame(int left, int top, int width, int height, HWND parent,
                        COLORREF background, int id) {
    Control* c = AddControl({.cls = kFrameClass, .style = WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS,
                             .left = left, .top = top, .width = width, .height = height, .parent = parent,
                             .id = id});
    SetWindowLongPtrW(c->hwnd, GWLP_USERDATA, static_cast<LONG_PTR>(background));
    SetWindowLongPtrW(c->hwnd, 0, reinterpret_cast<LONG_PTR>(c));
    return c;
}

void Form::SetToolTip(Control* c, const std::wstring& text) {
    if (!c || c->toolTip == text) return;
    const bool registered = toolTip_ && !holdToolTips_ && !c->toolTip.empty();
    c->toolTip = text;
    if (!holdToolTips_) SendToolTip(c, registered);
}

void Form::ReleaseToolTips() {
    if (!holdToolTips_) return;
    holdToolTips_ = false;
    for (auto& c : controls_)
        if (!c->toolTip.empty()) SendToolTip(c.get(), false);
}

void Form::MakeToolTipWindow() {
    // Made with the first tip: a window without tips has no tool tip window.
    if (toolTip_) return;
    toolTip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd_, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
    SendMessageW(toolTip_, TTM_SETMAXTIPWIDTH, 0, 400);
}

void Form::AddToolTipArea(Control* frame, int left, int width, const std::wstring& text) {
    MakeToolTipWindow();
    TTTOOLINFOW ti{};
    ti.cbSize = sizeof ti;
    ti.uFlags = TTF_SUBCLASS;
    ti.hwnd = frame->hwnd;
    ti.uId = ++areaTips_;
    ti.rect = {Px(left), 0, Px(left + width), 0x7FFF};  // the whole height, however far it scrolls
    ti.lpszText = const_cast<wchar_t*>(text.c_str());  // copied by the tool tip
    SendMessageW(toolTip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
}

void Form::SendToolTip(Control* c, bool registered) {
    MakeToolTipWindow();
    TTTOOLINFOW ti{};
    ti.cbSize = sizeof ti;
    ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    ti.hwnd = hwnd_;
    ti.uId = reinterpret_cast<UINT_PTR>(c->hwnd);
    ti.lpszText = const_cast<wchar_t*>(c->toolTip.c_str());
    if (c->toolTip.empty()) {
        if (registered) SendMessageW(toolTip_, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
        return;
    }
    SendMessageW(toolTip_, registered ? TTM_UPDATETIPTEXTW : TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
}

SIZE Form::OuterSize(int clientWidth, int clientHeight) const {
    RECT outer, client;
    GetWindowRect(hwnd_, &outer);
    GetClientRect(hwnd_, &client);
    return {Px(clientWidth) + (outer.right - outer.left) - client.right,
            Px(clientHeight) + (outer.bottom - outer.top) - client.bottom};
}

Control* Form::FindControl(HWND h) const {
    for (auto& c : controls_)
        if (c->hwnd == h) return c.get();
    return nullptr;
}

Control* Form::FindControl(int id) const {
    for (auto& c : controls_)
        if (c->id == id) return c.get();
    return nullptr;
}

HFONT Form::Font(const wchar_t* face, double points, bool bold) {
    int tenths = static_cast<int>(points * 10 + 0.5);
    for (auto& f : fonts_)
        if (f.face == face && f.tenths == tenths && f.bold == bold) return f.font;
    LOGFONTW lf{};
    lf.lfHeight = -MulDiv(tenths, dpi_, 720);
    lf.lfWeight = bold ? FW_BOLD : FW_NORMAL;
    lf.lfCharSet = SHIFTJIS_CHARSET;
    lf.lfQuality = DEFAULT_QUALITY;
    lstrcpynW(lf.lfFaceName, face, LF_FACESIZE);
    HFONT font = CreateFontIndirectW(&lf);
    fonts_.push_back({face, tenths, bold, font});
    return font;
}

void Form::ClearFonts() {
    for (auto& f : fonts_) DeleteObject(f.font);
    fonts_.clear();
}

COLORREF Form::ResolveColor(int32_t value) {
    uint32_t v = static_cast<uint32_t>(value);
    if (v & 0x80000000u) return GetSysColor(static_cast<int>(v & 0xFF));
    return static_cast<COLORREF>(v & 0x00FFFFFF);
}

namespace {
// The font at the largest size down to two thirds of its own at which text fits width; null
// when it fits as it is. The caller deletes it.
HFONT FontThatFits(HDC dc, HFONT font, const std::wstring& text, int width) {
    SIZE size{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    LOGFONTW lf{};
    if (size.cx <= width || !GetObjectW(font, sizeof lf, &lf) || lf.lfHeight == 0) return nullptr;
    const int sign = lf.lfHeight < 0 ? -1 : 1, full = std::abs(lf.lfHeight);
    HFONT fits = nullptr;
    for (int h = full - 1; h >= full * 2 / 3; --h) {
        if (fits) DeleteObject(fits);
        lf.lfHeight = sign * h;
        lf.lfWidth = 0;
        fits = CreateFontIndirectW(&lf);
        HGDIOBJ was = SelectObject(dc, fits);
        GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
        SelectObject(dc, was);
        if (size.cx <= width) break;
    }
    return fits;
}
}  // namespace

void Form::DrawColouredButton(const DRAWITEMSTRUCT& di, Control* c) {
    HDC dc = di.hDC;
    RECT rc = di.rcItem;
    bool pressed = (di.itemState & ODS_SELECTED) != 0;
    bool disabled = (di.itemState & ODS_DISABLED) != 0;
    HBRUSH b = CreateSolidBrush(ResolveColor(c ? c->backColor : static_cast<int32_t>(0x8000000F)));
    FillRect(dc, &rc, b);
    DeleteObject(b);
    DrawEdge(dc, &rc, pressed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
    RECT inner = rc;
    InflateRect(&inner, -2, -2);
    if (pressed) OffsetRect(&inner, 1, 1);
    if (c && c->drawPicture) {
        c->drawPicture(dc, inner, *this);
    } else {
        const std::wstring text = WindowText(di.hwndItem);
        SetBkMode(dc, TRANSPARENT);
        // On a colour of the user's own the caption is black or white, whichever reads better;
        // on a system colour it is the system's text colour, as high contrast expects.
        const int32_t back = c ? c->backColor : static_cast<int32_t>(0x8000000F);
        const bool ownColour = (static_cast<uint32_t>(back) & 0x80000000u) == 0;
        SetTextColor(dc, disabled    ? GetSysColor(COLOR_GRAYTEXT)
                         : ownColour ? contrast::CaptionColourOn(ResolveColor(back))
                                     : GetSysColor(COLOR_BTNTEXT));
        const HFONT font = reinterpret_cast<HFONT>(SendMessageW(di.hwndItem, WM_GETFONT, 0, 0));
        HGDIOBJ old = SelectObject(dc, font);
        HFONT smaller = c && c->shrinkToFit ? FontThatFits(dc, font, text, inner.right - inner.left) : nullptr;
        if (smaller) SelectObject(dc, smaller);
        DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &inner,
                  DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOPREFIX);
        SelectObject(dc, old);
        if (smaller) DeleteObject(smaller);
    }
    if ((di.itemState & ODS_FOCUS) && !(di.itemState & ODS_NOFOCUSRECT)) {
        RECT f = rc;
        InflateRect(&f, -3, -3);
        DrawFocusRect(dc, &f);
        // In a high-contrast scheme the dotted mark is easy to miss: a solid border as well.
        if (SchemeWantsSystemColours())
            for (int i = 0; i < 2; ++i, InflateRect(&rc, -1, -1)) FrameRect(dc, &rc, GetSysColorBrush(COLOR_HIGHLIGHT));
    }
}

void Form::OnDpiChanged(int dpi, const RECT* suggested) {
    dpi_ = dpi;
    ClearFonts();
    if (suggested)
        SetWindowPos(hwnd_, nullptr, suggested->left, suggested->top,
                     suggested->right - suggested->left, suggested->bottom - suggested->top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    for (auto& c : controls_) {
        c->Place();
        c->ApplyFont();
    }
    InvalidateRect(hwnd_, nullptr, TRUE);
}

LRESULT Form::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_ACTIVATE:
        // The control that had the focus gets it back when the window is activated again,
        // as in a dialog: Enter and Space then act on it.
        if (LOWORD(wp) == WA_INACTIVE) {
            HWND f = GetFocus();
            if (f && IsChild(hwnd_, f)) lastFocus_ = f;
        }
        break;
    case WM_SETFOCUS:
        if (lastFocus_ && IsWindow(lastFocus_) && IsChild(hwnd_, lastFocus_) && IsWindowVisible(lastFocus_) &&
            IsWindowEnabled(lastFocus_)) {
            ::SetFocus(lastFocus_);
            return 0;
        }
        break;
    case DM_GETDEFID: {
        // Enter presses the focused push button, as in a dialog (the dialog key routing asks
        // for the default button here).
        HWND f = GetFocus();
        wchar_t cls[16] = L"";
        if (f && IsChild(hwnd_, f) && GetClassNameW(f, cls, 16) && lstrcmpiW(cls, L"BUTTON") == 0) {
            LONG type = GetWindowLongW(f, GWL_STYLE) & BS_TYPEMASK;
            if (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON || type == BS_OWNERDRAW)
                return MAKELRESULT(GetDlgCtrlID(f), DC_HASDEFID);
        }
        return 0;
    }
    case WM_COMMAND:
        if (lp) {
            Control* c = FindControl(reinterpret_cast<HWND>(lp));
            if (!c) break;
            const wchar_t cls0 = [&] {
                wchar_t name[16] = L"";
                GetClassNameW(c->hwnd, name, 16);
                return static_cast<wchar_t>(towupper(name[0]));
            }();
            const int code = HIWORD(wp);
            // The notification codes overlap between classes: STN_CLICKED is BN_CLICKED (0),
            // STN_DBLCLK is 1, BN_DOUBLECLICKED is 5, EN_CHANGE is 0x300.
            if (code == BN_CLICKED && c->onClick) c->onClick();
            else if (((cls0 == L'S' && code == STN_DBLCLK) || (cls0 == L'B' && code == BN_DOUBLECLICKED)) &&
                     c->onDoubleClick)
                c->onDoubleClick();
            else if (cls0 == L'E' && code == EN_CHANGE && c->onChange)
                c->onChange();
            return 0;
        }
        break;
    case WM_DPICHANGED:
        OnDpiChanged(HIWORD(wp), reinterpret_cast<const RECT*>(lp));
        return 0;
    case WM_DRAWITEM: {
        auto* di = reinterpret_cast<const DRAWITEMSTRUCT*>(lp);
        if (di->CtlType == ODT_BUTTON) {
            DrawColouredButton(*di, FindControl(di->hwndItem));
            return TRUE;
        }
        break;
    }
    }
    return DefWindowProcW(hwnd_, msg, wp, lp);
}

LRESULT CALLBACK Form::StaticProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE) {
        auto* cs = reinterpret_cast<CREATESTRUCTW*>(lp);
        auto* self = static_cast<Form*>(cs->lpCreateParams);
        self->hwnd_ = h;
        SetWindowLongPtrW(h, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<Form*>(GetWindowLongPtrW(h, GWLP_USERDATA));
    if (!self) return DefWindowProcW(h, msg, wp, lp);
    LRESULT r = self->HandleMessage(msg, wp, lp);
    if (msg == WM_DESTROY) self->EndLifeCycle();
    if (msg == WM_NCDESTROY) {
        SetWindowLongPtrW(h, GWLP_USERDATA, 0);
        self->hwnd_ = nullptr;
    }
    return r;
}
