#pragma once
// Thin window base: positions in twips scaled by the window's DPI, controls that keep their
// twips geometry (re-placed when the DPI changes), tool tips, and message dispatch.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class Form;

// The faces of the program's windows: proportional for captions, labels and dialogs; fixed
// pitch for the entries (buttons and rows), so that "全角7/半角14" lines up.
inline constexpr wchar_t kUiFont[] = L"ＭＳ Ｐゴシック";
inline constexpr wchar_t kFixedFont[] = L"ＭＳ ゴシック";

std::wstring WindowText(HWND h);
// Puts w in the middle of the work area of the monitor nearWindow is on (w's own when null),
// never above or left of it: at `size` pixels when one is given, else at its current size.
void CentreOnWorkArea(HWND w, HWND nearWindow, SIZE size = {});
// For the windows that offer a size grip instead: no minimise or maximise box, and no
// Restore, Minimize or Maximize in the system menu.
void RemoveMinMaxBoxes(HWND w);

// One real Win32 control. Geometry is kept in twips relative to its container.
class Control {
public:
    HWND hwnd = nullptr;
    int id = 0;

    void Move(int left, int top, int width, int height);
    void SetLeft(int twips) { Move(twips, top_, width_, height_); }
    void SetTop(int twips) { Move(left_, twips, width_, height_); }
    void SetWidth(int twips) { Move(left_, top_, twips, height_); }
    void SetHeight(int twips) { Move(left_, top_, width_, twips); }
    int Left() const { return left_; }
    int Top() const { return top_; }
    int Width() const { return width_; }
    int Height() const { return height_; }

    void SetVisible(bool v);
    bool Visible() const { return visible_; }
    void SetEnabled(bool e) { EnableWindow(hwnd, e); }
    void SetText(const std::wstring& text);
    std::wstring Text() const;
    void SetFocus() { ::SetFocus(hwnd); }

    // Background of owner-drawn buttons: 0x00BBGGRR, or a system colour with the top bit set.
    int32_t backColor = static_cast<int32_t>(0x8000000F);
    std::wstring toolTip;
    // Font kept by description so it can be made again for another DPI.
    void SetFont(const wchar_t* face, double points, bool bold = false);
    // Optional drawing of a picture on an owner-drawn button (the key buttons' arrows).
    std::function<void(HDC, const RECT&, const Form&)> drawPicture;
    // An owner-drawn caption too wide for the button is drawn smaller rather than cut.
    bool shrinkToFit = false;

    // Handlers a window wires where it creates the control; Form's default message handling
    // calls them (BN_CLICKED / STN_CLICKED, BN_DOUBLECLICKED / STN_DBLCLK, EN_CHANGE).
    std::function<void()> onClick;
    std::function<void()> onDoubleClick;
    std::function<void()> onChange;
    // Frames only: drawing over their background beneath their children (`dirty` in pixels),
    // and a press of the left button on the frame itself (in pixels of the frame).
    std::function<void(HDC, const RECT& dirty)> paint;
    std::function<void(POINT)> onPress;

private:
    friend class Form;
    Form* form_ = nullptr;
    int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
    bool visible_ = true;
    std::wstring fontFace_;
    double fontPoints_ = 0;
    bool fontBold_ = false;
    void Place();
    void ApplyFont();
};

class Form {
public:
    Form();
    virtual ~Form();
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    HWND hwnd() const { return hwnd_; }
    int Dpi() const { return dpi_; }
    int Px(int twips) const;       // twips -> pixels at this window's DPI
    int Tw(int px) const;          // pixels -> twips

    // Outer bounds of the window, in twips (screen coordinates for a top-level window).
    int Left() const;
    int Top() const;
    int Width() const;
    int Height() const;
    void Move(int left, int top, int width, int height);
    void SetHeight(int twips);
    void SetWidth(int twips);
    int ScaleWidth() const;        // client area, in twips
    int ScaleHeight() const;
    void SetCaption(const std::wstring& text) { SetWindowTextW(hwnd_, text.c_str()); }
    bool Minimized() const { return IsIconic(hwnd_) != FALSE; }
    void MakeTopmost();
    // The size grip: the pointer jumps to the window's lower right corner and presses there,
    // so that the drag goes on as the platform's own resize.
    void DragFromCorner();

    // What a control is made of, by named fields: AddControl({.cls = L"BUTTON", .text = L"OK",
    // .onClick = ...}); the handler is wired where the control is made.
    struct ControlDesc {
        const wchar_t* cls = L"STATIC";
        std::wstring text{};
        DWORD style = WS_VISIBLE;
        DWORD exStyle = 0;
        int left = 0, top = 0, width = 0, height = 0;  // twips, relative to the parent
        HWND parent = nullptr;                          // the form itself when null
        int id = 0;                                     // one is made up when 0
        std::function<void()> onClick{};
        std::function<void()> onDoubleClick{};
    };
    Control* AddControl(const ControlDesc& desc);
    // A white clipping container for other controls (forwards their notifications here).
    Control* AddFrame(int left, int top, int width, int height, HWND parent = nullptr,
                      COLORREF background = RGB(255, 255, 255), int id = 0);
    void SetToolTip(Control* c, const std::wstring& text);
    // A tip over a vertical strip of a frame (twips from its left edge), for what the frame
    // draws rather than a control of its own.
    void AddToolTipArea(Control* frame, int left, int width, const std::wstring& text);
    // A window that must show fast keeps its tips back (HoldToolTips) until it has been
    // painted: they are invisible until the pointer rests on a control anyway.
    void ReleaseToolTips();
    // The outer size, in pixels, of this window around a client area of the given twips.
    SIZE OuterSize(int clientWidth, int clientHeight) const;
    Control* FindControl(HWND h) const;
    Control* FindControl(int id) const;

    // Fonts by face and size in points (tenths allowed), made for the current DPI and cached.
    HFONT Font(const wchar_t* face, double points, bool bold = false);

    // Colour value as stored in files and settings -> COLORREF (system colours resolved).
    static COLORREF ResolveColor(int32_t value);

    // The window's life among the program's windows: its handle stands in its slot of the
    // own-window table while it exists, and the windows it holds up (those it is modal to) stay
    // disabled while it is open. Both are undone once, when the window is destroyed, or earlier
    // by ReleaseHeldUp (a closing window enables its owner first, so the owner is activated).
    void Register(uintptr_t* slot);
    void HoldUp(HWND w);
    void ReleaseHeldUp();

    // How a dialog of the program opens: topmost, centred on the work area of its owner's
    // monitor, in its slot of the own-window table, its owner held up while it is open, its
    // controls taking the dialog keys, the focus on its first control. The window's end undoes
    // all of it once.
    struct DialogOpening {
        HWND owner = nullptr;
        uintptr_t* slot = nullptr;
        bool holdOwner = true;  // an owner another window holds up already is left to that one
        SIZE size{};            // outer pixels; the current size when empty
        Control* firstFocus = nullptr;
        bool dialogKeys = true;  // false: the window handles Tab and Enter itself
    };
    void OpenAsDialog(const DialogOpening& how);
    // Tab, Enter and Alt+letter move among the controls as in a dialog, until the window ends.
    void TakeDialogKeys();

protected:
    bool CreateTopLevel(const std::wstring& caption, DWORD style, DWORD exStyle, HWND owner,
                        HMENU menu, int width, int height);
    virtual LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp);
    void HoldToolTips() { holdToolTips_ = true; }
    // Owner-drawn buttons: flat colour with a raised edge like a graphical button.
    void DrawColouredButton(const DRAWITEMSTRUCT& di, Control* c);

    HWND hwnd_ = nullptr;

private:
    static LRESULT CALLBACK StaticProc(HWND h, UINT msg, WPARAM wp, LPARAM lp);
    void OnDpiChanged(int dpi, const RECT* suggested);
    void ClearFonts();
    void EndLifeCycle();

    uintptr_t* ownSlot_ = nullptr;
    bool dialogKeys_ = false;  // registered for the dialog keys
    std::vector<HWND> heldUp_;
    int dpi_ = 96;
    int nextId_ = 5000;
    HWND lastFocus_ = nullptr;  // the child that had the focus when the window was left
    HWND toolTip_ = nullptr;   // made with the first tip that is sent
    bool holdToolTips_ = false;
    void SendToolTip(Control* c, bool registered);
    void MakeToolTipWindow();
    UINT_PTR areaTips_ = 0;  // tips over strips made so far
    std::vector<std::unique_ptr<Control>> controls_;
    struct CachedFont { std::wstring face; int tenths; bool bold; HFONT font; };
    std::vector<CachedFont> fonts_;
};

int WindowDpi(HWND h);
