#include "panel/win_desktop.h"

#include <cstring>
#include <iterator>
#include <string>
#include <vector>

#include "base/cp932.h"
#include "panel/paste_logic.h"
#include "win/app.h"

namespace {
HWND Hwnd(uintptr_t h) { return reinterpret_cast<HWND>(h); }

// The last sub-authority of the token's mandatory label: 0x2000 medium, 0x3000 high...
bool ReadIntegrityLevel(HANDLE token, DWORD& level) {
    DWORD size = 0;
    GetTokenInformation(token, TokenIntegrityLevel, nullptr, 0, &size);
    if (size == 0) return false;
    std::vector<BYTE> buf(size);
    if (!GetTokenInformation(token, TokenIntegrityLevel, buf.data(), size, &size)) return false;
    PSID sid = reinterpret_cast<TOKEN_MANDATORY_LABEL*>(buf.data())->Label.Sid;
    if (!sid || !IsValidSid(sid)) return false;
    const UCHAR count = *GetSidSubAuthorityCount(sid);
    if (count == 0) return false;
    level = *GetSidSubAuthority(sid, count - 1);
    return true;
}

bool TokenIsElevated(HANDLE token) {
    TOKEN_ELEVATION e{};
    DWORD size = 0;
    return GetTokenInformation(token, TokenElevation, &e, sizeof e, &size) && e.TokenIsElevated;
}
}  // namespace

WinDesktop::WinDesktop(HWND owner) : owner_(owner) {
    clipboardWindow_ = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                       GetModuleHandleW(nullptr), nullptr);
    HANDLE token = nullptr;
    if (OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) {
        ownLevelKnown_ = ReadIntegrityLevel(token, ownLevel_);
        ownElevated_ = TokenIsElevated(token);
        CloseHandle(token);
    }
}

WinDesktop::~WinDesktop() {
    if (clipboardWindow_) DestroyWindow(clipboardWindow_);
}

uintptr_t WinDesktop::ForegroundWindow() {
    return reinterpret_cast<uintptr_t>(GetForegroundWindow());
}

std::wstring WinDesktop::WindowTitleAnsiCut(uintptr_t h) {
    // Read as Unicode and encode to 932 ourselves: GetWindowTextA would use the system's
    // ANSI page, and on a non-Japanese Windows the notice title would come back as "?".
    wchar_t buf[64] = {};
    const int n = GetWindowTextW(Hwnd(h), buf, static_cast<int>(std::size(buf)));
    if (n <= 0) return L"";
    const int bytes = WideCharToMultiByte(932, 0, buf, n, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0) return L"";
    std::string ansi(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(932, 0, buf, n, ansi.data(), bytes, nullptr, nullptr);
    return FromCp932(paste::CutTitleBytes932(ansi));
}

void WinDesktop::BringToFront(uintptr_t h) {
    SetForegroundWindow(Hwnd(h));
}

bool WinDesktop::IsWindowAlive(uintptr_t h) {
    return h != 0 && IsWindow(Hwnd(h));
}

bool WinDesktop::IsTargetElevatedAboveUs(uintptr_t h) {
    // Without integrity levels (before Vista) nothing blocks our input.
    if (!ownLevelKnown_) return false;
    DWORD pid = 0;
    GetWindowThreadProcessId(Hwnd(h), &pid);
    if (pid == 0 || pid == GetCurrentProcessId()) return false;

    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
    if (!process) {
        // Even this little is refused to a standard process only by a more privileged one.
        return GetLastError() == ERROR_ACCESS_DENIED && !ownElevated_;
    }
    HANDLE token = nullptr;
    bool above = false;
    if (OpenProcessToken(process, TOKEN_QUERY, &token)) {
        DWORD level = 0;
        if (ReadIntegrityLevel(token, level))
            above = level > ownLevel_;
        else
            above = TokenIsElevated(token) && !ownElevated_;
        CloseHandle(token);
    } else {
        // An elevated process's token is closed to a non-elevated caller.
        above = GetLastError() == ERROR_ACCESS_DENIED && !ownElevated_;
    }
    CloseHandle(process);
    return above;
}

uint8_t WinDesktop::ScanCode(uint8_t vk) {
    return static_cast<uint8_t>(MapVirtualKeyA(vk, 0) & 0xFF);
}

void WinDesktop::KeyEvent(uint8_t vk, uint8_t scan, uint32_t flags) {
    keybd_event(vk, scan, flags, 0);
}

void WinDesktop::MouseLeftUp(int x, int y) {
    mouse_event(MOUSEEVENTF_LEFTUP, static_cast<DWORD>(x), static_cast<DWORD>(y), 0, 0);
}

DeskRect WinDesktop::WindowRect(uintptr_t h) {
    RECT r{};
    GetWindowRect(Hwnd(h), &r);
    return {r.left, r.top, r.right, r.bottom};
}

DeskPoint WinDesktop::CursorPos() {
    POINT p{};
    GetCursorPos(&p);
    return {p.x, p.y};
}

ClipResult WinDesktop::PutTextOnClipboard(const std::wstring& text) {
    const DWORD start = GetTickCount();
    while (!OpenClipboard(clipboardWindow_)) {
        if (GetTickCount() - start >= clipboardRetryMs_) return ClipResult::Busy;
        ::Sleep(20);
    }
    ClipResult result = ClipResult::Failed;
    if (EmptyClipboard()) {
        const size_t bytes = (text.size() + 1) * sizeof(wchar_t);
        if (HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, bytes)) {
            if (void* p = GlobalLock(mem)) {
                std::memcpy(p, text.c_str(), bytes);
                GlobalUnlock(mem);
                if (SetClipboardData(CF_UNICODETEXT, mem)) result = ClipResult::Ok;
            }
            if (result != ClipResult::Ok) GlobalFree(mem);  // the clipboard did not take it
        }
    }
    CloseClipboard();
    return result;
}

void WinDesktop::Sleep(int ms) {
    ::Sleep(static_cast<DWORD>(ms < 0 ? 0 : ms));
}

void WinDesktop::DoEvents() {
    ::DoEvents();
}

int WinDesktop::Message(const std::wstring& text, const std::wstring& title, uint32_t flags) {
    return OwnedMsgBox(owner_, text, flags, title);
}
