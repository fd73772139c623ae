// The program under test seen from outside: its process, its panel, its password dialog and
// the message boxes it shows.
#include <cstdio>

#include "panel/panel_ids.h"
#include "stress.h"

namespace stress {

namespace {

std::wstring TextOf(HWND h) {
    wchar_t buf[2048] = {};
    // WM_GETTEXT with a time limit: the program may be busy in its file work.
    DWORD_PTR got = 0;
    if (!SendMessageTimeoutW(h, WM_GETTEXT, 2048, reinterpret_cast<LPARAM>(buf), SMTO_ABORTIFHUNG,
                             1000, &got))
        return L"";
    return buf;
}

std::wstring ClassOf(HWND h) {
    wchar_t buf[256] = {};
    GetClassNameW(h, buf, 256);
    return buf;
}

struct TopQuery {
    DWORD pid;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectTop(HWND h, LPARAM lp) {
    auto* q = reinterpret_cast<TopQuery*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(h, &pid);
    if (pid == q->pid && IsWindowVisible(h)) q->found.push_back(h);
    return TRUE;
}

std::vector<HWND> TopWindowsOf(DWORD pid) {
    TopQuery q{pid, {}};
    EnumWindows(CollectTop, reinterpret_cast<LPARAM>(&q));
    return q.found;
}

BOOL CALLBACK CollectChild(HWND h, LPARAM lp) {
    reinterpret_cast<std::vector<HWND>*>(lp)->push_back(h);
    return TRUE;
}

std::vector<HWND> Children(HWND parent) {
    std::vector<HWND> all;
    EnumChildWindows(parent, CollectChild, reinterpret_cast<LPARAM>(&all));
    return all;
}

HWND ChildById(HWND parent, int id) {
    for (HWND h : Children(parent))
        if (GetDlgCtrlID(h) == id) return h;
    return nullptr;
}

LARGE_INTEGER Frequency() {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
}

}  // namespace

double Now() {
    static const LARGE_INTEGER freq = Frequency();
    static LARGE_INTEGER start = [] {
        LARGE_INTEGER s;
        QueryPerformanceCounter(&s);
        return s;
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart - start.QuadPart) * 1000.0 / static_cast<double>(freq.QuadPart);
}

void Pause(int ms) { Sleep(static_cast<DWORD>(ms)); }

namespace {
FILE* g_log = nullptr;
}

void SetLog(const std::wstring& path) {
    if (g_log) fclose(g_log);
    g_log = _wfopen(path.c_str(), L"wb");
}

void Out(const std::wstring& line) {
    std::wstring text = line + L"\n";
    int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<size_t>(n > 0 ? n : 0), '\0');
    if (n > 0)
        WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(), n, nullptr, nullptr);
    fwrite(bytes.data(), 1, bytes.size(), stdout);
    fflush(stdout);
    if (g_log) {
        fwrite(bytes.data(), 1, bytes.size(), g_log);
        fflush(g_log);
    }
}

bool Program::Start() {
    Close();
    boxes_.clear();
    answered_.clear();
    std::wstring dir = exe_.substr(0, exe_.find_last_of(L'\\'));
    std::wstring cmd = L"\"" + exe_ + L"\"";
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    startedAt_ = Now();
    if (!CreateProcessW(exe_.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        dir.empty() ? nullptr : dir.c_str(), &si, &pi))
        return false;
    CloseHandle(pi.hThread);
    process_ = pi.hProcess;
    pid_ = pi.dwProcessId;
    return true;
}

HWND Program::Panel() {
    if (panel_ && IsWindow(panel_)) return panel_;
    panel_ = nullptr;
    for (HWND h : TopWindowsOf(pid_)) {
        if (ClassOf(h) != L"HarikoForm") continue;
        // The caption is set during start-up; the window shows only when start-up is over.
        wchar_t caption[256] = {};
        GetWindowTextW(h, caption, 256);
        if (name_ != caption) continue;
        HWND editor = ChildById(h, panel_ids::kBtnEdit);
        if (editor && IsWindowVisible(editor) && !TextOf(editor).empty()) {
            panel_ = h;
            break;
        }
    }
    return panel_;
}

bool Program::Running() const {
    return process_ && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT;
}

bool Program::Kill() {
    if (!Running()) return false;
    bool killed = TerminateProcess(process_, 9) != FALSE;
    WaitForSingleObject(process_, 10000);
    return killed;
}

bool Program::WaitExit(int ms) {
    return !process_ || WaitForSingleObject(process_, static_cast<DWORD>(ms)) == WAIT_OBJECT_0;
}

void Program::Close() {
    if (process_) {
        if (Running()) Kill();
        CloseHandle(process_);
    }
    process_ = nullptr;
    pid_ = 0;
    panel_ = nullptr;
}

void Program::AnswerBoxes() {
    if (!pid_) return;
    for (HWND box : TopWindowsOf(pid_)) {
        if (ClassOf(box) != L"#32770") continue;
        bool seen = false;
        for (HWND a : answered_) seen = seen || a == box;
        if (seen) continue;
        // The static text may be set a moment after the box shows.
        Pause(50);
        BoxSeen b;
        b.title = TextOf(box);
        HWND button = nullptr;
        for (HWND c : Children(box)) {
            std::wstring cls = ClassOf(c);
            if (_wcsicmp(cls.c_str(), L"Button") == 0 && IsWindowVisible(c) && !button) button = c;
            if (_wcsicmp(cls.c_str(), L"Static") == 0 && GetDlgCtrlID(c) == 0xFFFF) b.text = TextOf(c);
        }
        boxes_.push_back(b);
        answered_.push_back(box);
        if (button) PostMessageW(button, BM_CLICK, 0, 0);
        else PostMessageW(box, WM_CLOSE, 0, 0);
    }
}

HWND Program::Dialog() {
    for (HWND h : TopWindowsOf(pid_)) {
        if (h == panel_ || ClassOf(h) != L"HarikoForm") continue;
        if (ChildById(h, 4002)) return h;  // the password dialog's password box
    }
    return nullptr;
}

HWND Program::DialogControl(int id) {
    HWND d = Dialog();
    return d ? ChildById(d, id) : nullptr;
}

bool Program::ControlVisible(int id) {
    HWND c = DialogControl(id);
    return c && IsWindowVisible(c);
}

bool Program::SetDialogText(const std::wstring& text) {
    HWND edit = DialogControl(4002);
    DWORD_PTR r = 0;
    return edit && SendMessageTimeoutW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()),
                                       SMTO_ABORTIFHUNG, 2000, &r);
}

bool Program::ClickDialog(int id) {
    // Posted, so the driver goes on while the click's work runs.
    HWND b = DialogControl(id);
    return b && PostMessageW(b, BM_CLICK, 0, 0);
}

bool Program::PostPanelCommand(int id) {
    return panel_ && PostMessageW(panel_, WM_COMMAND, MAKEWPARAM(id, 0), 0);
}

}  // namespace stress
