#include "panel/fortune_screen.h"

#include <mmsystem.h>

#include <cmath>
#include <random>

#include "panel/shutdown_win.h"
#include "win/app.h"
#include "win/late_bound.h"

using namespace fortune;

namespace {

constexpr COLORREF kPink = RGB(254, 195, 255), kPinkHeart = RGB(236, 120, 196);
constexpr COLORREF kWhite = RGB(255, 255, 255), kWhiteHeart = RGB(200, 200, 200);

struct Blossom {
    HBRUSH petal, heart;
};

// Five round petals about the middle of a square tile, and a darker heart.
void DrawBlossom(HDC dc, int x, int y, int size, const Blossom& b) {
    const double cx = x + size / 2.0, cy = y + size / 2.0;
    const double r = size * 0.2, d = size * 0.26, h = size * 0.09;
    SelectObject(dc, b.petal);
    for (int k = 0; k < 5; ++k) {
        const double a = (-90 + 72 * k) * 3.14159265358979 / 180;
        const double px = cx + d * std::cos(a), py = cy + d * std::sin(a);
        Ellipse(dc, static_cast<int>(std::lround(px - r)), static_cast<int>(std::lround(py - r)),
                static_cast<int>(std::lround(px + r)) + 1, static_cast<int>(std::lround(py + r)) + 1);
    }
    SelectObject(dc, b.heart);
    Ellipse(dc, static_cast<int>(std::lround(cx - h)), static_cast<int>(std::lround(cy - h)),
            static_cast<int>(std::lround(cx + h)) + 1, static_cast<int>(std::lround(cy + h)) + 1);
}

}  // namespace

FortuneScreen::FortuneScreen(FortuneScreenLinks links) : links_(std::move(links)) {
    if (!links_.mci) links_.mci = [](const std::wstring& c) { late::mciSendStringW(c.c_str(), nullptr, 0, nullptr); };
    if (!links_.pause) links_.pause = [](int ms) { Sleep(static_cast<DWORD>(ms)); };
    if (!links_.power) {
        winPower_ = std::make_unique<WinPower>();
        links_.power = winPower_.get();
    }
    black_ = CreateSolidBrush(RGB(0, 0, 0));
}

FortuneScreen::~FortuneScreen() {
    if (hwnd_) DestroyWindow(hwnd_);
    DeleteObject(black_);
}

bool FortuneScreen::Open() {
    if (!CreateTopLevel(kCaption, WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN, WS_EX_TOPMOST,
                        nullptr, nullptr, kInnerWidth, kInnerHeight))
        return false;
    RECT r{0, 0, Px(kInnerWidth), Px(kInnerHeight)};
    AdjustWindowRectEx(&r, static_cast<DWORD>(GetWindowLongPtrW(hwnd_, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongPtrW(hwnd_, GWL_EXSTYLE)));
    CreateControls();
    OpenAsDialog({.slot = links_.own ? &links_.own->fortuneScreen : nullptr, .holdOwner = false,
                  .size = {r.right - r.left, r.bottom - r.top}});
    if (!Step(0)) return true;
    pinkTiles_.set();
    whiteTiles_.reset();
    ShowWindow(hwnd_, SW_SHOW);
    SetForegroundWindow(hwnd_);
    UpdateWindow(hwnd_);

    links_.mci(kMciClose);
    Play(0);
    // Each tile blinks on or off at random about ten times a second; the window answers
    // between the passes.
    std::mt19937 rng(GetTickCount());
    for (int pass = 0; pass < 21; ++pass) {
        for (int i = 0; i < kTiles; ++i) pinkTiles_[static_cast<size_t>(i)] = (rng() & 1) != 0;
        RepaintMosaic();
        if (!Step(100)) return true;
    }
    pinkTiles_.reset();

    const Fortune f = FortuneFor(links_.number);
    switch (f.character) {
    case Character::Daikichi: DrawDaikichi(); break;
    case Character::Chukichi: DrawChukichi(); break;
    case Character::Kichi: DrawKichi(); break;
    case Character::Kyo: DrawKyo(); break;
    case Character::Daikyo: DrawDaikyo(); break;
    case Character::None: break;
    }
    if (f.character != Character::None) {
        lblHeadline->SetText(f.headline);
        lblSecondLine->SetText(f.secondLine);
        btnClose->SetText(f.button);
    }
    RepaintMosaic();
    if (!Step(0)) return true;
    btnClose->SetEnabled(true);
    btnClose->SetVisible(true);
    resultShown_ = true;
    if (!Step(0)) return true;
    links_.pause(1500);
    links_.mci(kMciClose);
    if (!Step(0)) return true;
    if (!f.tunes.empty()) {
        Play(f.tunes[0]);
        if (f.tunes.size() > 1) {
            links_.pause(5000);
            links_.mci(kMciClose);
            Play(f.tunes[1]);
        }
    }
    return true;
}

void FortuneScreen::CreateControls() {
    lblHeadline = AddControl({.style = WS_VISIBLE | SS_NOPREFIX, .left = 1080, .top = 3000, .width = 3015,
                              .height = 255, .id = kLblHeadline});
    lblSecondLine = AddControl({.style = WS_VISIBLE | SS_NOPREFIX, .left = 3000, .top = 3480, .width = 3015,
                                .height = 210, .id = kLblSecondLine});
    btnClose = AddControl({.cls = L"BUTTON", .text = kClose, .style = WS_TABSTOP | BS_PUSHBUTTON, .left = 4200,
                           .top = 3000, .width = 1575, .height = 375, .id = kBtnClose,
                           .onClick = [this] { OnCloseButton(); }});
    lblHeadline->SetFont(kUiFont, 11.25, true);
    lblSecondLine->SetFont(kUiFont, 9);
    btnClose->SetFont(kUiFont, 9);
}

void FortuneScreen::DrawDaikichi() { pinkTiles_ |= CharacterTiles(Character::Daikichi); }
void FortuneScreen::DrawChukichi() { pinkTiles_ |= CharacterTiles(Character::Chukichi); }
void FortuneScreen::DrawKichi() { pinkTiles_ |= CharacterTiles(Character::Kichi); }
void FortuneScreen::DrawKyo() { whiteTiles_ |= CharacterTiles(Character::Kyo); }
void FortuneScreen::DrawDaikyo() { whiteTiles_ |= CharacterTiles(Character::Daikyo); }

void FortuneScreen::Play(int tune) {
    links_.mci(MciOpen(links_.dataDir, tune));
    links_.mci(kMciPlay);
}

bool FortuneScreen::Step(int pauseMs) {
    if (pauseMs > 0) links_.pause(pauseMs);
    DoEvents();
    return hwnd_ != nullptr;
}

void FortuneScreen::OnCloseButton() {
    if (clicking_ || !hwnd_) return;
    clicking_ = true;
    const ButtonEffect effect = CloseButtonEffect(links_.number, *links_.power, links_.prepareShutdown);
    clicking_ = false;
    if (effect == ButtonEffect::KeepOpen) return;
    if (effect == ButtonEffect::EndProgram && links_.endProgram) links_.endProgram();
    if (hwnd_) DestroyWindow(hwnd_);
}

RECT FortuneScreen::MosaicRect() const {
    return {Px(kFrameLeft), Px(kFrameTop), Px(kFrameLeft + kColumns * kTile), Px(kFrameTop + kRows * kTile)};
}

void FortuneScreen::RepaintMosaic() {
    if (!hwnd_) return;
    RECT r = MosaicRect();
    InvalidateRect(hwnd_, &r, FALSE);
}

void FortuneScreen::Paint() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd_, &ps);
    const RECT area = MosaicRect();
    const int width = area.right - area.left, height = area.bottom - area.top;
    HDC mem = CreateCompatibleDC(dc);
    HBITMAP bmp = CreateCompatibleBitmap(dc, width, height);
    HGDIOBJ oldBmp = SelectObject(mem, bmp);
    RECT all{0, 0, width, height};
    FillRect(mem, &all, black_);
    HGDIOBJ oldPen = SelectObject(mem, GetStockObject(NULL_PEN));
    Blossom pink{CreateSolidBrush(kPink), CreateSolidBrush(kPinkHeart)};
    Blossom white{CreateSolidBrush(kWhite), CreateSolidBrush(kWhiteHeart)};
    HGDIOBJ oldBrush = SelectObject(mem, pink.petal);
    for (int i = 0; i < kTiles; ++i) {
        const int x = Px(TileLeft(i)), y = Px(TileTop(i)), size = Px(TileLeft(i) + kTile) - x;
        if (whiteTiles_[static_cast<size_t>(i)]) DrawBlossom(mem, x, y, size, white);
        if (pinkTiles_[static_cast<size_t>(i)]) DrawBlossom(mem, x, y, size, pink);
    }
    SelectObject(mem, oldBrush);
    SelectObject(mem, oldPen);
    for (HBRUSH b : {pink.petal, pink.heart, white.petal, white.heart}) DeleteObject(b);
    BitBlt(dc, area.left, area.top, width, height, mem, 0, 0, SRCCOPY);
    SelectObject(mem, oldBmp);
    DeleteObject(bmp);
    DeleteDC(mem);
    EndPaint(hwnd_, &ps);
}

LRESULT FortuneScreen::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_ERASEBKGND: {
        RECT r;
        GetClientRect(hwnd_, &r);
        FillRect(reinterpret_cast<HDC>(wp), &r, black_);
        return 1;
    }
    case WM_PAINT:
        Paint();
        return 0;
    case WM_CTLCOLORSTATIC: {
        HDC dc = reinterpret_cast<HDC>(wp);
        SetTextColor(dc, RGB(255, 255, 255));
        SetBkColor(dc, RGB(0, 0, 0));
        return reinterpret_cast<LRESULT>(black_);
    }
    case WM_SYSCOMMAND:
        // The user's close box acts like the button once the fortune is shown; before that
        // the fortune is unknown to them, so it only closes the window.
        if ((wp & 0xFFF0) == SC_CLOSE) {
            if (resultShown_) OnCloseButton();
            else DestroyWindow(hwnd_);
            return 0;
        }
        break;
    case WM_CLOSE:
        // The program closing (or anything but the user) closes the window without its effect.
        DestroyWindow(hwnd_);
        return 0;
    }
    return Form::HandleMessage(msg, wp, lp);
}
