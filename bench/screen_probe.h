// What the display shows of a window, read from the screen's pixels: the start-up probe and
// the editor bench wait for a control to be drawn, not merely visible.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

// A rectangle of the screen as the display shows it, 0x00RRGGBB per pixel.
struct Shot {
    int w = 0, h = 0;
    std::vector<DWORD> px;
};

inline Shot Capture(const RECT& r) {
    Shot shot;
    if (r.right <= r.left || r.bottom <= r.top) return shot;
    const int w = r.right - r.left, h = r.bottom - r.top;
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    if (HBITMAP bmp = CreateDIBSection(mem, &bi, DIB_RGB_COLORS, &bits, nullptr, 0)) {
        HGDIOBJ old = SelectObject(mem, bmp);
        if (BitBlt(mem, 0, 0, w, h, screen, r.left, r.top, SRCCOPY)) {
            GdiFlush();
            const auto* px = static_cast<const DWORD*>(bits);
            shot = {w, h, std::vector<DWORD>(px, px + static_cast<size_t>(w) * h)};
        }
        SelectObject(mem, old);
        DeleteObject(bmp);
    }
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    return shot;
}

inline Shot CaptureWindow(HWND w) {
    RECT r{};
    GetWindowRect(w, &r);
    return Capture(r);
}

// The control's rectangle as the screen shows it: drawn once it holds light pixels (a face, an
// edit box) and some dark ones (a caption, a sunken edge). Before, it shows the black desktop
// or a plain face.
inline bool DrawnOnScreen(HWND control) {
    const Shot shot = CaptureWindow(control);
    if (shot.px.empty()) return false;
    int light = 0, dark = 0;
    for (DWORD c : shot.px) {
        const int luma = (((c >> 16) & 0xFF) * 3 + ((c >> 8) & 0xFF) * 6 + (c & 0xFF)) / 10;
        if (luma > 160) ++light;
        else if (luma < 80) ++dark;
    }
    return light * 10 >= static_cast<int>(shot.px.size()) * 3 && dark >= 10;
}

// A 24-bit BMP, to look at what the first frame showed.
inline void SaveBmp(const Shot& shot, const std::wstring& path) {
    if (shot.px.empty()) return;
    const int stride = (shot.w * 3 + 3) & ~3;
    BITMAPFILEHEADER fh{};
    BITMAPINFOHEADER ih{};
    ih.biSize = sizeof ih;
    ih.biWidth = shot.w;
    ih.biHeight = -shot.h;
    ih.biPlanes = 1;
    ih.biBitCount = 24;
    ih.biCompression = BI_RGB;
    fh.bfType = 0x4D42;
    fh.bfOffBits = sizeof fh + sizeof ih;
    fh.bfSize = fh.bfOffBits + static_cast<DWORD>(stride * shot.h);
    std::string data(reinterpret_cast<const char*>(&fh), sizeof fh);
    data.append(reinterpret_cast<const char*>(&ih), sizeof ih);
    std::string row(static_cast<size_t>(stride), '\0');
    for (int y = 0; y < shot.h; ++y) {
        for (int x = 0; x < shot.w; ++x) {
            const DWORD c = shot.px[static_cast<size_t>(y) * shot.w + x];
            row[x * 3] = static_cast<char>(c & 0xFF);
            row[x * 3 + 1] = static_cast<char>((c >> 8) & 0xFF);
            row[x * 3 + 2] = static_cast<char>((c >> 16) & 0xFF);
        }
        data += row;
    }
    HANDLE f = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE) return;
    DWORD put = 0;
    WriteFile(f, data.data(), static_cast<DWORD>(data.size()), &put, nullptr);
    CloseHandle(f);
}

// Notepad's edit box, once it is visible.
inline HWND EditBox(HWND notepad) {
    HWND edit = FindWindowExW(notepad, nullptr, L"Edit", nullptr);
    return edit && IsWindowVisible(edit) ? edit : nullptr;
}
