#include "e2e_desktop.h"

#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>
#include <wincrypt.h>

#include <algorithm>
#include <utility>

namespace e2e {

// ---- processes ------------------------------------------------------------------------

Process::~Process() { Kill(); }

Process::Process(Process&& o) noexcept
    : process_(std::exchange(o.process_, nullptr)), pid_(std::exchange(o.pid_, 0)) {}

Process& Process::operator=(Process&& o) noexcept {
    if (this != &o) {
        Kill();
        process_ = std::exchange(o.process_, nullptr);
        pid_ = std::exchange(o.pid_, 0);
    }
    return *this;
}

bool Process::Start(const std::wstring& exe, const std::wstring& args) {
    Kill();
    std::wstring cmd = L"\"" + exe + L"\"";
    if (!args.empty()) cmd += L" " + args;
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    // A bare name ("notepad.exe") is looked up on the search path like a command line does.
    bool bare = exe.find_first_of(L"\\/") == std::wstring::npos;
    if (!CreateProcessW(bare ? nullptr : exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0,
                        nullptr, nullptr, &si, &pi))
        return false;
    CloseHandle(pi.hThread);
    process_ = pi.hProcess;
    pid_ = pi.dwProcessId;
    return true;
}

bool Process::Running() const {
    return process_ && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT;
}

bool Process::WaitExit(int ms) {
    if (!process_) return true;
    return WaitForSingleObject(process_, static_cast<DWORD>(ms)) == WAIT_OBJECT_0;
}

DWORD Process::ExitCode() const {
    DWORD code = STILL_ACTIVE;
    if (process_) GetExitCodeProcess(process_, &code);
    return code;
}

void Process::Kill() {
    if (!process_) return;
    if (Running()) {
        TerminateProcess(process_, 99);
        WaitForSingleObject(process_, 5000);
    }
    CloseHandle(process_);
    process_ = nullptr;
    pid_ = 0;
}

void Process::Release() {
    if (process_) CloseHandle(process_);
    process_ = nullptr;
    pid_ = 0;
}

// ---- windows ----------------------------------------------------------------------------

std::wstring ClassOf(HWND h) {
    wchar_t buf[256] = {};
    int n = GetClassNameW(h, buf, 256);
    return std::wstring(buf, n > 0 ? static_cast<size_t>(n) : 0);
}

std::wstring TextOf(HWND h) {
    if (!h) return L"";
    DWORD_PTR len = 0;
    if (!SendMessageTimeoutW(h, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 3000, &len)) return L"";
    std::wstring buf(static_cast<size_t>(len) + 1, L'\0');
    DWORD_PTR got = 0;
    if (!SendMessageTimeoutW(h, WM_GETTEXT, buf.size(), reinterpret_cast<LPARAM>(buf.data()),
                             SMTO_ABORTIFHUNG, 3000, &got))
        return L"";
    buf.resize(std::min<size_t>(static_cast<size_t>(got), buf.size() - 1));
    return buf;
}

DWORD PidOf(HWND h) {
    DWORD pid = 0;
    GetWindowThreadProcessId(h, &pid);
    return pid;
}

RECT RectOf(HWND h) {
    RECT r{};
    GetWindowRect(h, &r);
    return r;
}

std::wstring RectText(const RECT& r) {
    return L"(" + std::to_wstring(r.left) + L"," + std::to_wstring(r.top) + L")-(" +
           std::to_wstring(r.right) + L"," + std::to_wstring(r.bottom) + L") " +
           std::to_wstring(r.right - r.left) + L"x" + std::to_wstring(r.bottom - r.top);
}

namespace {
struct TopQuery {
    std::wstring cls;
    DWORD pid;
    bool visibleOnly;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectTop(HWND h, LPARAM lp) {
    auto* q = reinterpret_cast<TopQuery*>(lp);
    if (q->visibleOnly && !IsWindowVisible(h)) return TRUE;
    if (q->pid && PidOf(h) != q->pid) return TRUE;
    if (!q->cls.empty() && ClassOf(h) != q->cls) return TRUE;
    q->found.push_back(h);
    return TRUE;
}

BOOL CALLBACK CollectChild(HWND h, LPARAM lp) {
    reinterpret_cast<std::vector<HWND>*>(lp)->push_back(h);
    return TRUE;
}
}  // namespace

std::vector<HWND> TopWindows(const std::wstring& cls, DWORD pid, bool visibleOnly) {
    TopQuery q{cls, pid, visibleOnly, {}};
    EnumWindows(CollectTop, reinterpret_cast<LPARAM>(&q));
    return q.found;
}

std::vector<HWND> Descendants(HWND parent) {
    std::vector<HWND> all;
    EnumChildWindows(parent, CollectChild, reinterpret_cast<LPARAM>(&all));
    return all;
}

HWND DescendantById(HWND parent, int id) {
    for (HWND h : Descendants(parent))
        if (GetDlgCtrlID(h) == id) return h;
    return nullptr;
}

int DpiOf(HWND h) {
    using Fn = UINT(WINAPI*)(HWND);
    static auto fn = reinterpret_cast<Fn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
    if (fn && h) {
        UINT d = fn(h);
        if (d) return static_cast<int>(d);
    }
    HDC dc = GetDC(nullptr);
    int d = GetDeviceCaps(dc, LOGPIXELSY);
    ReleaseDC(nullptr, dc);
    return d > 0 ? d : 96;
}

int TwipsToPx(int twips, int dpi) { return MulDiv(twips, dpi, 1440); }

// ---- input ------------------------------------------------------------------------------

bool ClickAt(int x, int y) {
    if (!SetCursorPos(x, y)) return false;
    // Under Wine a pointer motion still queued from before the jump can put the cursor
    // back for a moment; the button events therefore carry the position themselves.
    WaitFor([&] {
        POINT p{};
        GetCursorPos(&p);
        return p.x == x && p.y == y;
    }, 1000);
    Pause(100);
    const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    const DWORD ax = static_cast<DWORD>(MulDiv(x, 65536, w)), ay = static_cast<DWORD>(MulDiv(y, 65536, h));
    const DWORD at = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    mouse_event(at, ax, ay, 0, 0);
    Pause(60);
    mouse_event(at | MOUSEEVENTF_LEFTDOWN, ax, ay, 0, 0);
    Pause(60);
    mouse_event(at | MOUSEEVENTF_LEFTUP, ax, ay, 0, 0);
    Pause(60);
    return true;
}

bool ClickCentre(HWND h, std::wstring* why) {
    if (!h || !IsWindowVisible(h)) {
        if (why) *why = L"the window is not visible";
        return false;
    }
    RECT r = RectOf(h);
    POINT p{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    HWND at = WindowFromPoint(p);
    if (at != h && !IsChild(h, at)) {
        if (why)
            *why = L"another window lies on the centre of " + RectText(r) + L": class " +
                   ClassOf(at) + L" \"" + TextOf(at) + L"\"";
        return false;
    }
    return ClickAt(p.x, p.y);
}

void PressWithModifier(BYTE modifierVk, BYTE keyVk) {
    BYTE ms = static_cast<BYTE>(MapVirtualKeyW(modifierVk, MAPVK_VK_TO_VSC));
    BYTE ks = static_cast<BYTE>(MapVirtualKeyW(keyVk, MAPVK_VK_TO_VSC));
    keybd_event(modifierVk, ms, 0, 0);
    Pause(40);
    keybd_event(keyVk, ks, 0, 0);
    Pause(40);
    keybd_event(keyVk, ks, KEYEVENTF_KEYUP, 0);
    Pause(40);
    keybd_event(modifierVk, ms, KEYEVENTF_KEYUP, 0);
    Pause(40);
}

void PressKey(BYTE vk) {
    BYTE sc = static_cast<BYTE>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
    keybd_event(vk, sc, 0, 0);
    Pause(30);
    keybd_event(vk, sc, KEYEVENTF_KEYUP, 0);
    Pause(30);
}

bool TypeKeys(const std::wstring& text) {
    const BYTE shiftScan = static_cast<BYTE>(MapVirtualKeyW(VK_SHIFT, MAPVK_VK_TO_VSC));
    for (wchar_t c : text) {
        SHORT k = VkKeyScanW(c);
        if (k == -1) return false;
        const bool shift = (HIBYTE(k) & 1) != 0;
        if (shift) keybd_event(VK_SHIFT, shiftScan, 0, 0);
        PressKey(LOBYTE(k));
        if (shift) keybd_event(VK_SHIFT, shiftScan, KEYEVENTF_KEYUP, 0);
        Pause(20);
    }
    return true;
}

void TypeUnicodeKeys(const std::wstring& text) {
    for (wchar_t c : text) {
        INPUT in[2] = {};
        in[0].type = in[1].type = INPUT_KEYBOARD;
        in[0].ki.wScan = in[1].ki.wScan = c;
        in[0].ki.dwFlags = KEYEVENTF_UNICODE;
        in[1].ki.dwFlags = KEYEVENTF_UNICODE | KEYEVENTF_KEYUP;
        SendInput(2, in, sizeof(INPUT));
        Pause(30);
    }
}

bool SaveScreenshot(const std::wstring& path) {
    const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    HBITMAP bmp = CreateCompatibleBitmap(screen, w, h);
    HGDIOBJ old = SelectObject(mem, bmp);
    bool ok = BitBlt(mem, 0, 0, w, h, screen, 0, 0, SRCCOPY) != FALSE;
    SelectObject(mem, old);
    BITMAPINFOHEADER bi{};
    bi.biSize = sizeof bi;
    bi.biWidth = w;
    bi.biHeight = h;
    bi.biPlanes = 1;
    bi.biBitCount = 24;
    bi.biCompression = BI_RGB;
    const DWORD stride = (static_cast<DWORD>(w) * 3 + 3) & ~3u;
    std::string pixels(static_cast<size_t>(stride) * h, '\0');
    ok = ok && GetDIBits(mem, bmp, 0, static_cast<UINT>(h), pixels.data(),
                         reinterpret_cast<BITMAPINFO*>(&bi), DIB_RGB_COLORS) == h;
    DeleteObject(bmp);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    if (!ok) return false;
    BITMAPFILEHEADER fh{};
    fh.bfType = 0x4D42;  // "BM"
    fh.bfOffBits = sizeof fh + sizeof bi;
    fh.bfSize = fh.bfOffBits + static_cast<DWORD>(pixels.size());
    std::string file(reinterpret_cast<const char*>(&fh), sizeof fh);
    file.append(reinterpret_cast<const char*>(&bi), sizeof bi);
    file += pixels;
    return WriteFileBytes(path, file);
}

// ---- message boxes ----------------------------------------------------------------------

bool MessageBoxSeen::Has(int id) const {
    return std::find(buttons.begin(), buttons.end(), id) != buttons.end();
}

namespace {
MessageBoxSeen Describe(HWND box) {
    MessageBoxSeen seen;
    seen.hwnd = box;
    seen.title = TextOf(box);
    std::wstring longest;
    for (HWND c : Descendants(box)) {
        std::wstring cls = ClassOf(c);
        if (_wcsicmp(cls.c_str(), L"Button") == 0 && IsWindowVisible(c)) {
            seen.buttons.push_back(GetDlgCtrlID(c));
        } else if (_wcsicmp(cls.c_str(), L"Static") == 0) {
            std::wstring t = TextOf(c);
            // The message text sits in the static with id 0xFFFF.
            if (GetDlgCtrlID(c) == 0xFFFF) seen.text = t;
            if (t.size() > longest.size()) longest = t;
        }
    }
    if (seen.text.empty()) seen.text = longest;
    return seen;
}
}  // namespace

std::optional<MessageBoxSeen> FindMessageBox(const std::wstring& title, DWORD pid) {
    for (HWND h : TopWindows(L"#32770", pid))
        if (TextOf(h) == title) return Describe(h);
    return std::nullopt;
}

std::optional<MessageBoxSeen> WaitForMessageBox(const std::wstring& title, DWORD pid, int ms) {
    std::optional<MessageBoxSeen> seen;
    WaitFor([&] { return (seen = FindMessageBox(title, pid)).has_value(); }, ms);
    if (seen) {
        // The static text may be set a moment after the box shows.
        Pause(150);
        seen = Describe(seen->hwnd);
    }
    return seen;
}

std::vector<MessageBoxSeen> MessageBoxesOf(DWORD pid) {
    std::vector<MessageBoxSeen> all;
    for (HWND h : TopWindows(L"#32770", pid)) all.push_back(Describe(h));
    return all;
}

bool AnswerMessageBox(const MessageBoxSeen& box, int buttonId) {
    HWND b = GetDlgItem(box.hwnd, buttonId);
    auto gone = [&] { return !IsWindow(box.hwnd) || !IsWindowVisible(box.hwnd); };
    if (b) {
        DWORD_PTR r = 0;
        SendMessageTimeoutW(b, BM_CLICK, 0, 0, SMTO_ABORTIFHUNG, 3000, &r);
        if (WaitFor(gone, 3000)) return true;
    }
    // A button that did not take the click: tell the box directly, as its button would.
    PostMessageW(box.hwnd, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED), reinterpret_cast<LPARAM>(b));
    return WaitFor(gone, 3000);
}

// ---- clipboard --------------------------------------------------------------------------

namespace {
bool OpenClipboardPatiently() {
    return WaitFor([] { return OpenClipboard(nullptr) != FALSE; }, 3000);
}
}  // namespace

bool PutClipboardText(const std::wstring& text) {
    if (!OpenClipboardPatiently()) return false;
    bool ok = false;
    if (EmptyClipboard()) {
        size_t bytes = (text.size() + 1) * sizeof(wchar_t);
        if (HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, bytes)) {
            if (void* p = GlobalLock(mem)) {
                memcpy(p, text.c_str(), bytes);
                GlobalUnlock(mem);
                ok = SetClipboardData(CF_UNICODETEXT, mem) != nullptr;
            }
            if (!ok) GlobalFree(mem);
        }
    }
    CloseClipboard();
    return ok;
}

std::optional<std::wstring> ClipboardText() {
    if (!OpenClipboardPatiently()) return std::nullopt;
    std::optional<std::wstring> text;
    if (HANDLE h = GetClipboardData(CF_UNICODETEXT)) {
        if (auto* p = static_cast<const wchar_t*>(GlobalLock(h))) {
            text = std::wstring(p);
            GlobalUnlock(h);
        }
    }
    CloseClipboard();
    return text;
}

ClipboardHolder::~ClipboardHolder() { Release(); }

DWORD WINAPI ClipboardHolder::Run(void* self) {
    auto* me = static_cast<ClipboardHolder*>(self);
    me->gotIt_ = OpenClipboard(nullptr) != FALSE;
    SetEvent(me->opened_);
    if (me->gotIt_) {
        WaitForSingleObject(me->release_, static_cast<DWORD>(me->maxMs_));
        CloseClipboard();
    }
    return 0;
}

bool ClipboardHolder::Hold(int maxMs) {
    Release();
    maxMs_ = maxMs;
    opened_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    release_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    thread_ = CreateThread(nullptr, 0, Run, this, 0, nullptr);
    if (!thread_) return false;
    WaitForSingleObject(opened_, 5000);
    return gotIt_;
}

void ClipboardHolder::Release() {
    if (thread_) {
        SetEvent(release_);
        WaitForSingleObject(thread_, 5000);
        CloseHandle(thread_);
        thread_ = nullptr;
    }
    if (opened_) CloseHandle(opened_);
    if (release_) CloseHandle(release_);
    opened_ = release_ = nullptr;
}

// ---- Wine's notepad ---------------------------------------------------------------------

bool Notepad::Start(int left, int top, int width, int height, std::wstring* why) {
    Close();
    if (!proc_.Start(L"notepad.exe")) {
        if (why) *why = L"notepad.exe could not be started (error " + std::to_wstring(GetLastError()) + L")";
        return false;
    }
    bool up = WaitFor([&] {
        for (HWND w : TopWindows(L"Notepad", proc_.pid())) {
            for (HWND c : Descendants(w)) {
                if (_wcsicmp(ClassOf(c).c_str(), L"Edit") == 0 && IsWindowVisible(c)) {
                    main_ = w;
                    edit_ = c;
                    return true;
                }
            }
        }
        return false;
    }, 20000);
    if (!up) {
        if (why) *why = L"no notepad window with a text area within 20 s";
        return false;
    }
    SetWindowPos(main_, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    WaitFor([&] {
        RECT r = RectOf(main_);
        return r.left == left && r.top == top && r.right - r.left == width;
    }, 3000);
    return true;
}

void Notepad::SetText(const std::wstring& text) {
    DWORD_PTR r = 0;
    SendMessageTimeoutW(edit_, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()),
                        SMTO_ABORTIFHUNG, 3000, &r);
    SendMessageTimeoutW(edit_, EM_SETMODIFY, FALSE, 0, SMTO_ABORTIFHUNG, 3000, &r);
}

bool Notepad::ClickInto(std::wstring* why) {
    if (!ClickCentre(edit_, why)) return false;
    if (WaitFor([&] { return GetForegroundWindow() == main_; }, 3000)) return true;
    if (why) {
        HWND front = GetForegroundWindow();
        *why = L"notepad did not come to the front after the click; in front: " + ClassOf(front) +
               L" \"" + TextOf(front) + L"\"";
    }
    return false;
}

void Notepad::Leave() {
    proc_.Release();
    main_ = edit_ = nullptr;
}

void Notepad::Close() {
    if (!proc_.Running()) {
        proc_.Kill();
        main_ = edit_ = nullptr;
        return;
    }
    // Not modified: notepad then closes without asking to save.
    DWORD_PTR r = 0;
    if (edit_) SendMessageTimeoutW(edit_, EM_SETMODIFY, FALSE, 0, SMTO_ABORTIFHUNG, 2000, &r);
    if (main_) PostMessageW(main_, WM_CLOSE, 0, 0);
    proc_.WaitExit(8000);
    proc_.Kill();
    main_ = edit_ = nullptr;
}

// ---- files and settings -----------------------------------------------------------------

std::wstring WindowsDirectory() {
    wchar_t buf[MAX_PATH] = {};
    UINT n = GetWindowsDirectoryW(buf, MAX_PATH);
    std::wstring s(buf, n < MAX_PATH ? n : 0);
    while (!s.empty() && s.back() == L'\\') s.pop_back();
    return s;
}

std::wstring DesktopDirectory() {
    wchar_t buf[MAX_PATH] = {};
    if (SHGetFolderPathW(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, 0, buf) != S_OK) return L"";
    return buf;
}

std::optional<std::wstring> ReadUserSetting(const std::wstring& subkey, const std::wstring& value) {
    wchar_t buf[1024];
    DWORD size = sizeof buf;
    if (RegGetValueW(HKEY_CURRENT_USER, subkey.c_str(), value.c_str(), RRF_RT_REG_SZ, nullptr, buf,
                     &size) != ERROR_SUCCESS)
        return std::nullopt;
    return std::wstring(buf);
}

bool KeyExists(const std::wstring& subkey) {
    HKEY k;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, subkey.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS) return false;
    RegCloseKey(k);
    return true;
}

void DeleteUserKey(const std::wstring& subkey) { RegDeleteTreeW(HKEY_CURRENT_USER, subkey.c_str()); }

void DeleteUserValue(const std::wstring& subkey, const std::wstring& value) {
    HKEY k;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, subkey.c_str(), 0, KEY_SET_VALUE, &k) != ERROR_SUCCESS) return;
    RegDeleteValueW(k, value.c_str());
    RegCloseKey(k);
}

bool WriteUserSetting(const std::wstring& subkey, const std::wstring& value, const std::wstring& data) {
    return RegSetKeyValueW(HKEY_CURRENT_USER, subkey.c_str(), value.c_str(), REG_SZ, data.c_str(),
                           static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

std::optional<std::wstring> ReadMachineString(const std::wstring& subkey, const std::wstring& value) {
    wchar_t buf[1024];
    DWORD size = sizeof buf;
    if (RegGetValueW(HKEY_LOCAL_MACHINE, subkey.c_str(), value.c_str(), RRF_RT_REG_SZ, nullptr, buf,
                     &size) != ERROR_SUCCESS)
        return std::nullopt;
    return std::wstring(buf);
}

bool WriteMachineString(const std::wstring& subkey, const std::wstring& value, const std::wstring& data) {
    return RegSetKeyValueW(HKEY_LOCAL_MACHINE, subkey.c_str(), value.c_str(), REG_SZ, data.c_str(),
                           static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

bool MachineKeyExists(const std::wstring& subkey) {
    HKEY k;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, subkey.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS) return false;
    RegCloseKey(k);
    return true;
}

void DeleteMachineTree(const std::wstring& subkey) { RegDeleteTreeW(HKEY_LOCAL_MACHINE, subkey.c_str()); }

std::optional<std::string> Rc4(const std::string& data, const std::wstring& password) {
    HCRYPTPROV prov = 0;
    if (!CryptAcquireContextW(&prov, nullptr, MS_ENHANCED_PROV_W, PROV_RSA_FULL, CRYPT_VERIFYCONTEXT))
        return std::nullopt;
    std::optional<std::string> out;
    HCRYPTHASH hash = 0;
    HCRYPTKEY key = 0;
    const std::string pw = Cp932(password);
    if (CryptCreateHash(prov, CALG_MD5, 0, 0, &hash) &&
        CryptHashData(hash, reinterpret_cast<const BYTE*>(pw.data()), static_cast<DWORD>(pw.size()), 0) &&
        CryptDeriveKey(prov, CALG_RC4, hash, 128u << 16, &key)) {
        std::string buf = data;
        DWORD n = static_cast<DWORD>(buf.size());
        if (buf.empty() ||
            CryptEncrypt(key, 0, TRUE, 0, reinterpret_cast<BYTE*>(buf.data()), &n, static_cast<DWORD>(buf.size())))
            out = buf;
    }
    if (key) CryptDestroyKey(key);
    if (hash) CryptDestroyHash(hash);
    CryptReleaseContext(prov, 0);
    return out;
}

namespace {
// A shell link object with its file interface; both released by the destructor.
struct ShellLink {
    HRESULT init = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    IShellLinkW* link = nullptr;
    IPersistFile* file = nullptr;
    ShellLink() {
        if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                       reinterpret_cast<void**>(&link))))
            link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file));
    }
    ~ShellLink() {
        if (file) file->Release();
        if (link) link->Release();
        if (SUCCEEDED(init)) CoUninitialize();
    }
};
}  // namespace

std::optional<std::wstring> ShortcutTarget(const std::wstring& lnkPath) {
    ShellLink s;
    if (!s.file || FAILED(s.file->Load(lnkPath.c_str(), STGM_READ))) return std::nullopt;
    wchar_t buf[MAX_PATH * 2] = {};
    if (FAILED(s.link->GetPath(buf, MAX_PATH * 2, nullptr, SLGP_RAWPATH))) return std::nullopt;
    return std::wstring(buf);
}

bool WriteShortcut(const std::wstring& lnkPath, const std::wstring& target) {
    ShellLink s;
    return s.file && SUCCEEDED(s.link->SetPath(target.c_str())) && SUCCEEDED(s.file->Save(lnkPath.c_str(), TRUE));
}

std::string Cp932(const std::wstring& s) {
    if (s.empty()) return {};
    int n = WideCharToMultiByte(932, 0, s.data(), static_cast<int>(s.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(932, 0, s.data(), static_cast<int>(s.size()), out.data(), n, nullptr, nullptr);
    return out;
}

std::wstring Hex(const std::string& bytes, size_t max) {
    static const wchar_t digits[] = L"0123456789ABCDEF";
    std::wstring out;
    for (size_t i = 0; i < bytes.size() && i < max; ++i) {
        auto b = static_cast<unsigned char>(bytes[i]);
        if (i) out += L' ';
        out += digits[b >> 4];
        out += digits[b & 15];
    }
    if (bytes.size() > max) out += L" ...";
    return out;
}

}  // namespace e2e
