// Start-up time of the panel against Wine's notepad, started the same way: from CreateProcess
// to a visible main window that has its child controls. Also the peak working set of each
// once it has settled. Prints figures, asserts nothing.
// usage: startup_probe_win [RUNS] [PROGRAM_EXE]   (default: 7 runs, ハリコ.exe beside this exe)
#include <windows.h>
#include <psapi.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

double NowMs() {
    LARGE_INTEGER f, c;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&c);
    return 1000.0 * static_cast<double>(c.QuadPart) / static_cast<double>(f.QuadPart);
}

// Wine hands our bytes to the terminal unchanged, so UTF-8 shows the Japanese names.
std::string Utf8(const std::wstring& w) {
    int n = WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
    std::string s(n > 0 ? static_cast<size_t>(n) : 0, '\0');
    if (n > 0) WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), s.data(), n, nullptr, nullptr);
    return s;
}

void Say(const std::string& line) {
    std::fputs((line + "\n").c_str(), stdout);
    std::fflush(stdout);
}

std::string Fixed(double v, int decimals) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*f", decimals, v);
    return buf;
}

std::wstring TextOf(HWND h) {
    wchar_t buf[512] = {};
    GetWindowTextW(h, buf, 512);
    return buf;
}

DWORD PidOf(HWND h) {
    DWORD pid = 0;
    GetWindowThreadProcessId(h, &pid);
    return pid;
}

struct Program {
    std::wstring label;  // as printed
    std::wstring exe;
    std::wstring windowClass;
    std::wstring caption;  // empty: any
};

struct Run {
    bool ok = false;
    double shownMs = 0;
    double createdMs = 0;  // the main window exists, perhaps still hidden
    double peakMiB = 0;
    std::string why;
};

// The main window counts as shown once it is visible and so is at least one of its controls:
// a window can be visible a moment before its children exist.
HWND ShownMainWindow(const Program& p, DWORD pid) {
    for (HWND w = nullptr; (w = FindWindowExW(nullptr, w, p.windowClass.c_str(), nullptr));) {
        if (PidOf(w) != pid || !IsWindowVisible(w)) continue;
        if (!p.caption.empty() && TextOf(w) != p.caption) continue;
        for (HWND c = nullptr; (c = FindWindowExW(w, c, nullptr, nullptr));)
            if (IsWindowVisible(c)) return w;
    }
    return nullptr;
}

bool MainWindowCreated(const Program& p, DWORD pid) {
    for (HWND w = nullptr; (w = FindWindowExW(nullptr, w, p.windowClass.c_str(), nullptr));)
        if (PidOf(w) == pid) return true;
    return false;
}

// A new message box of the process, answered with No (the welcome box's "no shortcut"), else
// Cancel, else OK. Returns its title, empty when there was none.
std::wstring AnswerMessageBox(DWORD pid, std::vector<HWND>& answered) {
    for (HWND w = nullptr; (w = FindWindowExW(nullptr, w, L"#32770", nullptr));) {
        if (PidOf(w) != pid || !IsWindowVisible(w)) continue;
        if (std::find(answered.begin(), answered.end(), w) != answered.end()) continue;
        answered.push_back(w);
        int button = GetDlgItem(w, IDNO) ? IDNO : GetDlgItem(w, IDCANCEL) ? IDCANCEL : IDOK;
        PostMessageW(w, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
        std::wstring title = TextOf(w);
        return title.empty() ? L"(untitled)" : title;
    }
    return L"";
}

Run StartAndClose(const Program& p) {
    Run run;
    std::wstring cmd = L"\"" + p.exe + L"\"";
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    const double t0 = NowMs();
    if (!CreateProcessW(p.exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
        run.why = "could not start (error " + std::to_string(GetLastError()) + ")";
        return run;
    }
    HWND main = nullptr;
    std::wstring boxes;
    std::vector<HWND> answered;
    for (;;) {
        if ((main = ShownMainWindow(p, pi.dwProcessId))) break;
        if (run.createdMs == 0 && MainWindowCreated(p, pi.dwProcessId)) run.createdMs = NowMs() - t0;
        std::wstring box = AnswerMessageBox(pi.dwProcessId, answered);
        if (!box.empty()) boxes += (boxes.empty() ? L"" : L", ") + box;
        if (WaitForSingleObject(pi.hProcess, 0) == WAIT_OBJECT_0) {
            run.why = "ended before its window showed";
            break;
        }
        if (NowMs() - t0 > 30000) {
            run.why = "no window within 30 s";
            break;
        }
        Sleep(1);
    }
    run.shownMs = NowMs() - t0;
    if (main && run.createdMs == 0) run.createdMs = run.shownMs;
    // A box in the way means this was not a plain start: the figure does not count.
    if (main && boxes.empty()) run.ok = true;
    if (!boxes.empty()) run.why = "message box on the way: " + Utf8(boxes);

    if (main) {
        WaitForInputIdle(pi.hProcess, 5000);
        Sleep(500);
        PROCESS_MEMORY_COUNTERS pmc{};
        pmc.cb = sizeof pmc;
        if (GetProcessMemoryInfo(pi.hProcess, &pmc, sizeof pmc))
            run.peakMiB = static_cast<double>(pmc.PeakWorkingSetSize) / (1024.0 * 1024.0);
        PostMessageW(main, WM_CLOSE, 0, 0);
    }
    // Every run must start with no instance left, or the next would be the refused second one.
    const double closeStart = NowMs();
    while (WaitForSingleObject(pi.hProcess, 50) == WAIT_TIMEOUT) {
        std::wstring box = AnswerMessageBox(pi.dwProcessId, answered);
        if (!box.empty()) run.why += (run.why.empty() ? "" : "; ") + std::string("box on closing: ") + Utf8(box);
        if (NowMs() - closeStart > 30000) {
            run.ok = false;
            run.why += (run.why.empty() ? "" : "; ") + std::string("still running 30 s after WM_CLOSE, ended by force");
            TerminateProcess(pi.hProcess, 1);
            WaitForSingleObject(pi.hProcess, 5000);
            break;
        }
    }
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return run;
}

double Median(std::vector<double> v) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

std::wstring ExeBeside(const std::wstring& file) {
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring dir = self;
    dir.resize(dir.find_last_of(L"\\/") + 1);
    return dir + file;
}

std::wstring StemOf(const std::wstring& path) {
    std::wstring name = path.substr(path.find_last_of(L"\\/") + 1);
    return name.substr(0, name.find_last_of(L'.'));
}

std::wstring StartupSetting(const std::wstring& name, const wchar_t* value) {
    std::wstring key = L"Software\\VB and VBA Program Settings\\" + name + L"\\Startup";
    wchar_t buf[64] = {};
    DWORD size = sizeof buf;
    if (RegGetValueW(HKEY_CURRENT_USER, key.c_str(), value, RRF_RT_REG_SZ, nullptr, buf, &size) != ERROR_SUCCESS)
        return L"";
    return buf;
}

bool DesktopShortcutExists(const std::wstring& name) {
    wchar_t desktop[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, 0, desktop))) return false;
    return GetFileAttributesW((std::wstring(desktop) + L"\\" + name + L".lnk").c_str()) != INVALID_FILE_ATTRIBUTES;
}

struct Figures {
    std::vector<double> shown, created, peak;
    int failed = 0;
};

void Record(const Program& p, int index, Figures& f) {
    Run r = StartAndClose(p);
    std::string line = Utf8(p.label) + " run " + std::to_string(index) + ": ";
    if (r.ok) {
        f.shown.push_back(r.shownMs);
        f.created.push_back(r.createdMs);
        if (r.peakMiB > 0) f.peak.push_back(r.peakMiB);
        line += Fixed(r.shownMs, 1) + " ms to window (created at " + Fixed(r.createdMs, 1) +
                " ms), peak working set " + Fixed(r.peakMiB, 1) + " MiB";
        if (!r.why.empty()) line += " (" + r.why + ")";
    } else {
        ++f.failed;
        line += "not counted: " + r.why;
    }
    Say(line);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const int runs = argc > 1 ? std::max(1, _wtoi(argv[1])) : 7;
    Program panel{L"", argc > 2 ? argv[2] : ExeBeside(L"ハリコ.exe"), L"HarikoForm", L""};
    const std::wstring name = StemOf(panel.exe);
    panel.label = name + L".exe";
    panel.caption = name;
    wchar_t sys[MAX_PATH] = {};
    GetSystemDirectoryW(sys, MAX_PATH);
    const Program notepad{L"notepad.exe", std::wstring(sys) + L"\\notepad.exe", L"Notepad", L""};

    if (GetFileAttributesW(panel.exe.c_str()) == INVALID_FILE_ATTRIBUTES) {
        Say("missing: " + Utf8(panel.exe));
        return 1;
    }
    if (FindWindowW(L"HarikoForm", name.c_str())) {
        Say(Utf8(name) + " is already running: close it first (a second start would only be refused)");
        return 1;
    }

    // The first start of a fresh data folder writes every file and asks the welcome question;
    // one untimed start (answered with No) and close leaves the settings of a later start.
    Say("warm-up: one untimed start and close of each");
    const Program* both[] = {&panel, &notepad};
    for (const Program* p : both) {
        Run r = StartAndClose(*p);
        if (!r.why.empty()) Say("  " + Utf8(p->label) + ": " + r.why);
        if (!r.ok && r.why.find("message box") == std::string::npos) {
            Say("  " + Utf8(p->label) + " did not start: no figures");
            return 1;
        }
    }
    const std::wstring type = StartupSetting(name, L"Type");
    Say("settings \"Type\" = " + (type.empty() ? std::string("(missing: every start would be a first start)")
                                               : Utf8(type)));
    Say(std::string("desktop shortcut ") + Utf8(name) + ".lnk: " +
        (DesktopShortcutExists(name) ? "present (each start rewrites it)" : "absent"));

    // Alternating, so that load from other work on the machine falls on both alike.
    Figures fp, fn;
    for (int i = 1; i <= runs; ++i) {
        Record(panel, i, fp);
        Record(notepad, i, fn);
    }

    if (fp.shown.empty() || fn.shown.empty()) {
        Say("not enough runs counted for a comparison");
        return 1;
    }
    const double mp = Median(fp.shown), mn = Median(fn.shown);
    auto summary = [](const Program& p, const Figures& f, double median) {
        Say("start to window, " + Utf8(p.label) + ": median " + Fixed(median, 1) + " ms, best " +
            Fixed(*std::min_element(f.shown.begin(), f.shown.end()), 1) + " ms (" +
            std::to_string(f.shown.size()) + " runs counted" +
            (f.failed ? ", " + std::to_string(f.failed) + " not counted" : "") + ")");
        // Where the time goes: loading the process up to its window, then the program's own
        // start-up until the window shows.
        std::vector<double> after;
        for (size_t i = 0; i < f.shown.size(); ++i) after.push_back(f.shown[i] - f.created[i]);
        Say("  of which start to window created: median " + Fixed(Median(f.created), 1) +
            " ms; created to shown: median " + Fixed(Median(after), 1) + " ms");
    };
    summary(panel, fp, mp);
    summary(notepad, fn, mn);
    Say("ratio " + Utf8(panel.label) + " / notepad.exe (medians): " + Fixed(mp / mn, 2) +
        " (goal: at most 1.10)");
    if (!fp.peak.empty() && !fn.peak.empty())
        Say("peak working set after settling (median), incl. Wine's own libraries: " + Utf8(panel.label) +
            " " + Fixed(Median(fp.peak), 1) + " MiB, notepad.exe " + Fixed(Median(fn.peak), 1) +
            " MiB, ratio " + Fixed(Median(fp.peak) / Median(fn.peak), 2));
    else
        Say("peak working set: not reported by this system");
    return 0;
}
