#include "panel/win_desktop.h"

#include <cstring>
#include <iterator>
#include <string>
#include <vector>

#include "base/cp932.h"
#include "panel/clipboard_logic.h"
#include "panel/paste_logic.h"
#include "win/app.h"
#include "win/clipboard_copy.h"

namespace {
HWND Hwnd(uintptr_t h) { return reinterpret_cast<HWND>(h); }

}  // namespace

// The default IME window's commands (immdev.h).
constexpr WPARAM kImeGetOpen = 0x0005, kImeSetOpen = 0x0006;

// A host with its Japanese IME open takes typed characters into a composition and may
// reorder them: the target's IME is closed for the typing and put back as it was after.
class ImeClosedFor {
public:
    explicit ImeClosedFor(uintptr_t target) {
        using Fn = HWND(WINAPI*)(HWND);
        static const auto defaultImeWindow = reinterpret_cast<Fn>(reinterpret_cast<void*>(
            GetProcAddress(LoadLibraryW(L"imm32.dll"), "ImmGetDefaultIMEWnd")));
        if (!target || !defaultImeWindow) return;
        ime_ = defaultImeWindow(reinterpret_cast<HWND>(target));
        if (ime_) wasOpen_ = Control(kImeGetOpen, 0) != 0;
        if (wasOpen_) Control(kImeSetOpen, 0);
    }
    ~ImeClosedFor() {
        if (wasOpen_ && IsWindow(ime_)) Control(kImeSetOpen, 1);
    }
    ImeClosedFor(const ImeClosedFor&) = delete;
    ImeClosedFor& operator=(const ImeClosedFor&) = delete;

private:
    LRESULT Control(WPARAM what, LPARAM value) const {
        DWORD_PTR result = 0;
        // Another program's window: a hung one must not hang the panel.
        SendMessageTimeoutW(ime_, WM_IME_CONTROL, what, value, SMTO_ABORTIFHUNG, 500, &result);
        return static_cast<LRESULT>(result);
    }
    HWND ime_ = nullptr;
    bool wasOpen_ = false;
};

namespace {
// An owner that renders slowly or never costs a read half a second, not a hang; the panel
// handles its events meanwhile.
ClipboardCopy::Pacing Pacing(SaveBudget& budget) {
    return {[&budget] { return budget.Allow(); }, [&budget](int ms) { budget.Took(ms); },
            [](HANDLE h, DWORD ms) {
                MsgWaitForMultipleObjectsEx(1, &h, ms, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
                ::DoEvents();
            }};
}

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
    WNDCLASSEXW wc{sizeof wc};
    wc.lpfnWndProc = ClipboardProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"HarikoClipboard";
    RegisterClassExW(&wc);  // once per process; later calls fail harmlessly
    clipboardWindow_ = CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                       wc.hInstance, nullptr);
    SetWindowLongPtrW(clipboardWindow_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    HANDLE token = nullptr;
    if (OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) {
        ownLevelKnown_ = ReadIntegrityLevel(token, ownLevel_);
        ownElevated_ = TokenIsElevated(token);
        CloseHandle(token);
    }
}

WinDesktop::~WinDesktop() {
    // A restore still waiting for a free clipboard gets a last try; a text still offered is
    // rendered as the window goes (WM_RENDERALLFORMATS), so the clipboard is never left empty.
    if (saved_) RestoreClipboard(true);
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

bool WinDesktop::OpenClipboardWithin(DWORD ms) {
    const DWORD start = GetTickCount();
    while (!OpenClipboard(clipboardWindow_)) {
        if (GetTickCount() - start >= ms) return false;
        ::Sleep(20);
    }
    return true;
}

bool WinDesktop::SetText(const std::wstring& text) {
    const size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, bytes);
    if (!mem) return false;
    if (void* p = GlobalLock(mem)) {
        std::memcpy(p, text.c_str(), bytes);
        GlobalUnlock(mem);
        if (SetClipboardData(CF_UNICODETEXT, mem)) return true;
    }
    GlobalFree(mem);  // the clipboard did not take it
    return false;
}

// The formats by which clipboard history, the cloud clipboard and clipboard tools know
// to leave the data alone, as password managers set them.
void WinDesktop::MarkPrivate() {
    for (const wchar_t* name : {L"ExcludeClipboardContentFromMonitorProcessing",
                                L"CanIncludeInClipboardHistory", L"CanUploadToCloudClipboard"}) {
        const UINT id = RegisterClipboardFormatW(name);
        HGLOBAL mem = id ? GlobalAlloc(GMEM_MOVEABLE, sizeof(DWORD)) : nullptr;
        if (!mem) continue;
        if (auto* p = static_cast<DWORD*>(GlobalLock(mem))) {
            *p = 0;
            GlobalUnlock(mem);
            if (SetClipboardData(id, mem)) continue;
        }
        GlobalFree(mem);
    }
}

ClipResult WinDesktop::PutTextOnClipboard(const std::wstring& text, bool privateText) {
    if (!OpenClipboardWithin(clipboardRetryMs_)) return ClipResult::Busy;
    ClipResult result = ClipResult::Failed;
    if (EmptyClipboard() && SetText(text)) {
        if (privateText) MarkPrivate();
        result = ClipResult::Ok;
        saved_.reset();
        offer_ = {};
    }
    CloseClipboard();
    return result;
}

std::wstring WinDesktop::ClipboardText() {
    if (!OpenClipboardWithin(clipboardRetryMs_)) return {};
    CloseClipboard();
    // Read by the same bounded worker as the save: an owner that never renders costs the
    // paste half a second and leaves the field empty, never a hang.
    ClipboardCopy copy;
    SaveBudget budget;
    if (!copy.TakeWithin(clipboardWindow_, Pacing(budget), CF_UNICODETEXT)) return {};
    return copy.UnicodeText();
}

fields::Moment WinDesktop::LocalNow() {
    SYSTEMTIME t{};
    GetLocalTime(&t);
    return {{t.wYear, t.wMonth, t.wDay}, t.wDayOfWeek, t.wHour, t.wMinute};
}

std::vector<std::pair<std::wstring, std::wstring>> WinDesktop::WindowsEras() {
    std::vector<std::pair<std::wstring, std::wstring>> values;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SYSTEM\\CurrentControlSet\\Control\\Nls\\Calendars\\Japanese\\Eras",
                      0, KEY_READ, &key) != ERROR_SUCCESS)
        return values;
    for (DWORD i = 0;; ++i) {
        wchar_t name[64];
        wchar_t data[128];
        DWORD nameLen = 64, dataBytes = sizeof data - sizeof(wchar_t), type = 0;
        const LONG r = RegEnumValueW(key, i, name, &nameLen, nullptr, &type, reinterpret_cast<BYTE*>(data), &dataBytes);
        if (r == ERROR_NO_MORE_ITEMS) break;
        if (r != ERROR_SUCCESS || type != REG_SZ) continue;
        data[dataBytes / sizeof(wchar_t)] = L'\0';
        values.emplace_back(std::wstring(name, nameLen), std::wstring(data));
    }
    RegCloseKey(key);
    return values;
}

ClipResult WinDesktop::SaveClipboard() {
    if (saved_) return ClipResult::Ok;
    if (!OpenClipboardWithin(clipboardRetryMs_)) return ClipResult::Busy;
    CloseClipboard();
    auto copy = std::make_unique<ClipboardCopy>();
    SaveBudget budget;
    if (!copy->TakeWithin(clipboardWindow_, Pacing(budget))) return ClipResult::Busy;
    saved_ = std::move(copy);
    return ClipResult::Ok;
}

ClipResult WinDesktop::OfferTextOnClipboard(const std::wstring& text, bool privateText, RenderAnswer answer) {
    if (!OpenClipboardWithin(clipboardRetryMs_)) return ClipResult::Busy;
    ClipResult result = ClipResult::Failed;
    if (EmptyClipboard()) {
        // Set before the data exists: whoever reads it asks this window (WM_RENDERFORMAT).
        SetClipboardData(CF_UNICODETEXT, nullptr);
        if (IsClipboardFormatAvailable(CF_UNICODETEXT)) {
            if (privateText) MarkPrivate();
            offer_ = {true, text, privateText, std::move(answer)};
            result = ClipResult::Ok;
        }
    }
    CloseClipboard();
    return result;
}

void WinDesktop::RenderOffer(bool whenAsked) {
    if (!offer_.active) return;
    if (whenAsked) {
        // The clipboard is open by the reader; its window tells which process asks.
        DWORD pid = 0;
        if (HWND reader = GetOpenClipboardWindow()) GetWindowThreadProcessId(reader, &pid);
        if (!offer_.answer || !offer_.answer(pid)) return;
        SetText(offer_.text);
        return;
    }
    // The window goes with the text not yet handed over: it goes on the clipboard for good.
    if (!OpenClipboard(clipboardWindow_)) return;
    if (GetClipboardOwner() == clipboardWindow_) SetText(offer_.text);
    CloseClipboard();
}

RestoreResult WinDesktop::RestoreClipboard(bool wait) {
    if (!saved_) return RestoreResult::Restored;
    if (!OpenClipboardWithin(wait ? clipboardRetryMs_ : 0)) return RestoreResult::Busy;
    RestoreResult result = RestoreResult::Restored;
    if (GetClipboardOwner() != clipboardWindow_) {
        // Copied anew meanwhile (by the user, or a program): that is what stays.
        result = RestoreResult::NotOurs;
    } else if (saved_->WasEmpty()) {
        // The user's clipboard was empty: so it is again.
        EmptyClipboard();
    } else if (saved_->Empty()) {
        // Nothing could be saved: the text stays, with no need of us to render it.
        if (offer_.active) SetText(offer_.text);
        result = RestoreResult::KeptText;
    } else if (!EmptyClipboard()) {
        CloseClipboard();
        return RestoreResult::Busy;  // nothing changed: the copy waits for another try
    } else if (saved_->PutBack() == 0) {
        // Not one format went back: the text rather than an empty clipboard.
        SetText(offer_.text);
        if (offer_.privateText) MarkPrivate();
        result = RestoreResult::KeptText;
    }
    offer_ = {};
    CloseClipboard();
    saved_.reset();
    return result;
}

uint32_t WinDesktop::ProcessOf(uintptr_t h) {
    DWORD pid = 0;
    GetWindowThreadProcessId(Hwnd(h), &pid);
    return pid;
}

bool WinDesktop::ShiftDown() { return (GetAsyncKeyState(VK_SHIFT) & 0x8000) != 0; }

bool WinDesktop::ModifiersDown() {
    return (GetAsyncKeyState(VK_CONTROL) & 0x8000) != 0 || (GetAsyncKeyState(VK_MENU) & 0x8000) != 0;
}

void WinDesktop::CloseImeFor(uintptr_t window) { ime_ = std::make_unique<ImeClosedFor>(window); }
void WinDesktop::ReopenIme() { ime_.reset(); }

uint32_t WinDesktop::ClipboardSequence() { return GetClipboardSequenceNumber(); }

bool WinDesktop::PlaceCaretInEdit(uintptr_t window, int unitsBack) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (unitsBack < 0 || !GetGUIThreadInfo(GetWindowThreadProcessId(Hwnd(window), nullptr), &info) ||
        !info.hwndFocus)
        return false;
    wchar_t cls[16] = {};
    GetClassNameW(info.hwndFocus, cls, 16);
    if (_wcsicmp(cls, L"Edit") != 0) return false;
    // The paste's keys first: a sent message would be answered before them.
    WaitKeysTaken(reinterpret_cast<uintptr_t>(info.hwndFocus), 8, 1000);
    DWORD_PTR end = 0;
    DWORD selEnd = 0;
    if (!SendMessageTimeoutW(info.hwndFocus, EM_GETSEL, 0, reinterpret_cast<LPARAM>(nullptr), SMTO_ABORTIFHUNG, 500, &end))
        return false;
    selEnd = HIWORD(end);
    // Beyond 65,535 the packed answer is cut: only the pointer form is exact there, and that
    // cannot cross processes; the caret then stays at the end.
    if (selEnd == 0xFFFF) return false;
    if (static_cast<int>(selEnd) < unitsBack) return true;
    const WPARAM at = selEnd - static_cast<DWORD>(unitsBack);
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(info.hwndFocus, EM_SETSEL, at, static_cast<LPARAM>(at), SMTO_ABORTIFHUNG, 500, &ignored);
    return true;
}

void WinDesktop::TypeKeys(const std::vector<KeyInput>& keys) {
    std::vector<INPUT> inputs;
    inputs.reserve(keys.size());
    for (const KeyInput& k : keys) {
        INPUT in{};
        in.type = INPUT_KEYBOARD;
        if (k.vk) {
            in.ki.wVk = k.vk;
            in.ki.wScan = static_cast<WORD>(MapVirtualKeyW(k.vk, MAPVK_VK_TO_VSC));
            in.ki.dwFlags = k.up ? KEYEVENTF_KEYUP : 0;
        } else {
            in.ki.wScan = k.unit;
            in.ki.dwFlags = KEYEVENTF_UNICODE | (k.up ? KEYEVENTF_KEYUP : 0);
        }
        inputs.push_back(in);
    }
    // One call: nothing the user types can come between, least of all inside a surrogate pair.
    if (!inputs.empty()) SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

void WinDesktop::WaitKeysTaken(uintptr_t window, size_t keys, int ms) {
    // A program takes its input one message at a time, each key as a press, a character and
    // a release; a message sent to it is answered only when it next looks for one. So once
    // it has answered as many as it had messages to take, it has taken them all (and the
    // answers come at once when it had nothing left).
    const DWORD start = GetTickCount();
    for (size_t asked = 0; asked < keys * 3 / 2 + 2; ++asked) {
        const DWORD waited = GetTickCount() - start;
        if (waited >= static_cast<DWORD>(ms)) return;
        DWORD_PTR ignored = 0;
        if (!SendMessageTimeoutW(Hwnd(window), WM_NULL, 0, 0, SMTO_ABORTIFHUNG, static_cast<DWORD>(ms) - waited,
                                 &ignored))
            return;
    }
}

LRESULT CALLBACK WinDesktop::ClipboardProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto* self = reinterpret_cast<WinDesktop*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    switch (msg) {
        case WM_RENDERFORMAT:
            if (self && wp == CF_UNICODETEXT) self->RenderOffer(true);
            return 0;
        case WM_RENDERALLFORMATS:
            if (self) self->RenderOffer(false);
            return 0;
        case WM_DESTROYCLIPBOARD:
            // Emptied by another program: nothing of ours is offered any more.
            if (self && GetOpenClipboardWindow() != hwnd) self->offer_.active = false;
            return 0;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

void WinDesktop::Sleep(int ms) {
    ::Sleep(static_cast<DWORD>(ms < 0 ? 0 : ms));
}

void WinDesktop::DoEvents() {
    ::DoEvents();
}

void WinDesktop::WaitEvents(int ms) {
    const DWORD start = GetTickCount();
    for (DWORD waited = 0; waited < static_cast<DWORD>(ms); waited = GetTickCount() - start) {
        MsgWaitForMultipleObjectsEx(0, nullptr, static_cast<DWORD>(ms) - waited, QS_ALLINPUT,
                                    MWMO_INPUTAVAILABLE);
        ::DoEvents();
    }
}

int WinDesktop::Message(const std::wstring& text, const std::wstring& title, uint32_t flags) {
    return OwnedMsgBox(owner_, text, flags, title);
}
