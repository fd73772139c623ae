#include "win/app.h"

#include <vector>

const wchar_t kProgramTitle[] = L"ハリコ";

namespace {
MsgBoxHook g_msgBoxHook = nullptr;
int g_openBoxes = 0;
std::vector<HWND> g_dialogWindows;
}

void RegisterDialogWindow(HWND hwnd) { g_dialogWindows.push_back(hwnd); }

void UnregisterDialogWindow(HWND hwnd) {
    std::erase(g_dialogWindows, hwnd);
}

bool RouteDialogMessage(MSG* msg) {
    if (msg->message < WM_KEYFIRST || msg->message > WM_KEYLAST) return false;
    for (HWND w : g_dialogWindows) {
        if ((msg->hwnd == w || IsChild(w, msg->hwnd)) && IsDialogMessageW(w, msg)) return true;
    }
    return false;
}

int RunMessageLoop() {
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (RouteDialogMessage(&msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
}

void SetMsgBoxHook(MsgBoxHook hook) { g_msgBoxHook = hook; }

std::wstring ExePath() {
    std::vector<wchar_t> buf(MAX_PATH);
    for (;;) {
        DWORD n = GetModuleFileNameW(nullptr, buf.data(), static_cast<DWORD>(buf.size()));
        if (n == 0) return L"";
        if (n < buf.size()) return std::wstring(buf.data(), n);
        buf.resize(buf.size() * 2);
    }
}

std::wstring ExeName() {
    std::wstring p = ExePath();
    size_t slash = p.find_last_of(L"\\/");
    std::wstring name = slash == std::wstring::npos ? p : p.substr(slash + 1);
    size_t dot = name.find_last_of(L'.');
    return dot == std::wstring::npos ? name : name.substr(0, dot);
}

std::wstring ProgramDir() {
    std::wstring p = ExePath();
    size_t slash = p.find_last_of(L"\\/");
    return slash == std::wstring::npos ? L"." : p.substr(0, slash);
}

std::wstring WindowsDir() {
    wchar_t buf[MAX_PATH + 1];
    UINT n = GetWindowsDirectoryW(buf, MAX_PATH + 1);
    if (n == 0 || n > MAX_PATH) return L"C:\\Windows";
    std::wstring s(buf, n);
    while (s.size() > 3 && s.back() == L'\\') s.pop_back();
    return s;
}

double OsVersionNumber() {
    // GetVersionEx lies to programs without a matching manifest entry; ntdll does not.
    using RtlGetVersionFn = LONG(WINAPI*)(OSVERSIONINFOW*);
    OSVERSIONINFOW vi{};
    vi.dwOSVersionInfoSize = sizeof vi;
    if (HMODULE ntdll = GetModuleHandleW(L"ntdll.dll")) {
        auto fn = reinterpret_cast<RtlGetVersionFn>(
            reinterpret_cast<void*>(GetProcAddress(ntdll, "RtlGetVersion")));
        if (fn && fn(&vi) == 0) {
            double minor = vi.dwMinorVersion;
            while (minor >= 1.0) minor /= 10.0;
            return vi.dwMajorVersion + minor;
        }
    }
    return 5.1;
}

bool FileCarriesName(const std::wstring& path) {
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileW(path.c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) return false;
    FindClose(h);
    const size_t slash = path.find_last_of(L"\\/");
    const std::wstring name = slash == std::wstring::npos ? path : path.substr(slash + 1);
    return CompareStringOrdinal(fd.cFileName, -1, name.c_str(), static_cast<int>(name.size()), TRUE) == CSTR_EQUAL;
}

int MsgBox(const std::wstring& text, UINT flags, const std::wstring& title) {
    if (g_msgBoxHook) return g_msgBoxHook(text, flags, title);
    HWND owner = GetActiveWindow();
    if (owner && !IsWindowEnabled(owner)) owner = nullptr;
    if (!owner) flags |= MB_TOPMOST | MB_SETFOREGROUND;
    return OwnedMsgBox(owner, text, flags, title);
}

int OwnedMsgBox(HWND owner, const std::wstring& text, UINT flags, const std::wstring& title) {
    ++g_openBoxes;
    int r = MessageBoxW(owner, text.c_str(), title.c_str(), flags);
    --g_openBoxes;
    return r;
}

bool MessageBoxOpen() { return g_openBoxes > 0; }

void RunWhileMessagesRun(const std::function<void()>& work) {
    auto run = [](LPVOID p) -> DWORD {
        (*static_cast<const std::function<void()>*>(p))();
        return 0;
    };
    HANDLE worker = CreateThread(nullptr, 0, run, const_cast<std::function<void()>*>(&work), 0, nullptr);
    if (!worker) return work();
    while (MsgWaitForMultipleObjectsEx(1, &worker, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE) == WAIT_OBJECT_0 + 1)
        DoEvents();
    WaitForSingleObject(worker, INFINITE);  // whatever ended the wait, work's locals outlive it
    CloseHandle(worker);
}

void DoEvents() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        if (RouteDialogMessage(&msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

BusyCursor::BusyCursor() : old_(SetCursor(LoadCursorW(nullptr, IDC_WAIT))) {}
BusyCursor::~BusyCursor() { SetCursor(old_ ? old_ : LoadCursorW(nullptr, IDC_ARROW)); }

void PressImeToggle() {
    const BYTE alt = static_cast<BYTE>(MapVirtualKeyW(VK_MENU, MAPVK_VK_TO_VSC));
    const BYTE kanji = static_cast<BYTE>(MapVirtualKeyW(VK_KANJI, MAPVK_VK_TO_VSC));
    keybd_event(VK_MENU, alt, 0, 0);
    keybd_event(VK_KANJI, kanji, 0, 0);
    keybd_event(VK_KANJI, kanji, KEYEVENTF_KEYUP, 0);
    keybd_event(VK_MENU, alt, KEYEVENTF_KEYUP, 0);
}
