// Start-up time of the panel against Wine's notepad, started the same way: from CreateProcess
// to the moment a user can click, that is the panel's first entry button (氏名 in a new data
// set) drawn on the screen, against notepad's edit box drawn on the screen. "Drawn" is read
// from the screen's pixels: the control's rectangle shows both light and dark pixels (face and
// caption, or edit box and its sunken edge), where before it showed the black desktop.
// Beside it the older figures: the control visible (IsWindowVisible) and the main window
// visible with any visible child. Also the peak working set of each once it has settled.
// Prints figures, asserts nothing.
// usage: startup_probe_win [RUNS] [PROGRAM_EXE...]   (default: 11 runs, ハリコ.exe beside this exe)
// Several programs (builds to compare) are started in turn with notepad, each run of each.
#include <windows.h>
#include <psapi.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench_clock.h"
#include "screen_probe.h"

namespace {

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

// The panel's entry buttons sit in the column, a frame inside the viewport frame; the first one
// is the highest on the screen.
HWND FirstEntryButton(HWND panel) {
    HWND best = nullptr;
    LONG bestTop = 0;
    for (HWND view = nullptr; (view = FindWindowExW(panel, view, L"HarikoFrame", nullptr));)
        for (HWND column = nullptr; (column = FindWindowExW(view, column, L"HarikoFrame", nullptr));)
            for (HWND b = nullptr; (b = FindWindowExW(column, b, L"Button", nullptr));) {
                if (!IsWindowVisible(b)) continue;
                RECT r;
                GetWindowRect(b, &r);
                if (!best || r.top < bestTop) best = b, bestTop = r.top;
            }
    return best;
}

struct Program {
    std::wstring label;  // as printed
    std::wstring exe;
    std::wstring windowClass;
    std::wstring caption;  // empty: any
    HWND (*clickable)(HWND main);  // the control a user waits for, once it is visible
};

struct Run {
    bool ok = false;
    double createdMs = 0;   // the main window exists, perhaps still hidden
    double childMs = 0;     // visible with a visible child (the older figure)
    double visibleMs = 0;   // the control is visible
    double screenMs = 0;    // the control is drawn on the screen
    double peakMiB = 0;
    Shot first, settled;    // the main window when the control came on screen, and once settled
    std::string why;
};

// The main window of the process, visible with at least one visible control: a window can be
// visible a moment before its children exist.
HWND ShownMainWindow(const Program& p, DWORD pid) {
    for (HWND w = nullptr; (w = FindWindowExW(nullptr, w, p.windowClass.c_str(), nullptr));) {
        if (PidOf(w) != pid || !IsWindowVisible(w)) continue;
        if (!p.caption.empty() && TextOf(w) != p.caption) continue;
        for (HWND c = nullptr; (c = FindWindowExW(w, c, nullptr, nullptr));)
            if (IsWindowVisible(c)) return w;
    }
    return nullptr;
}

// Pixels that differ between two shots of the same window; all of them when the sizes differ.
// A blinking caret makes up to a few dozen.
int Differing(const Shot& a, const Shot& b) {
    if (a.w != b.w || a.h != b.h) return static_cast<int>(std::max(a.px.size(), b.px.size()));
    int n = 0;
    for (size_t i = 0; i < a.px.size(); ++i) n += (a.px[i] & 0xFFFFFF) != (b.px[i] & 0xFFFFFF);
    return n;
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
    HWND main = nullptr, control = nullptr;
    std::wstring boxes;
    std::vector<HWND> answered;
    // Every look costs the display server or Wine's server some work, as the program's own start
    // does: the windows every 2 ms, each only until found, the screen every 4 ms, message boxes
    // every 20 ms. Looking faster slows the many-windowed panel more than notepad.
    double lastLook = -4, lastBoxLook = 0;
    for (;;) {
        const double now = NowMs() - t0;
        if (run.createdMs == 0 && MainWindowCreated(p, pi.dwProcessId)) run.createdMs = now;
        if (run.createdMs > 0 && !main && (main = ShownMainWindow(p, pi.dwProcessId))) run.childMs = now;
        if (main && !control && (control = p.clickable(main))) run.visibleMs = now;
        if (control && now - lastLook >= 4) {
            lastLook = now;
            if (DrawnOnScreen(control)) {
                run.screenMs = NowMs() - t0;  // after the look: never too early
                run.first = CaptureWindow(main);
                break;
            }
        }
        if (now - lastBoxLook >= 20) {
            lastBoxLook = now;
            std::wstring box = AnswerMessageBox(pi.dwProcessId, answered);
            if (!box.empty()) boxes += (boxes.empty() ? L"" : L", ") + box;
        }
        if (WaitForSingleObject(pi.hProcess, 0) == WAIT_OBJECT_0) {
            run.why = "ended before its window showed";
            break;
        }
        if (NowMs() - t0 > 30000) {
            run.why = main ? "window, but its control not drawn within 30 s" : "no window within 30 s";
            break;
        }
        Sleep(2);
    }
    if (run.createdMs == 0) run.createdMs = run.childMs;
    // A box in the way means this was not a plain start: the figure does not count.
    if (run.screenMs > 0 && boxes.empty()) run.ok = true;
    if (!boxes.empty()) run.why = "message box on the way: " + Utf8(boxes);

    if (main) {
        WaitForInputIdle(pi.hProcess, 5000);
        Sleep(500);
        run.settled = CaptureWindow(main);
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

constexpr int kCaretPixels = 40;  // a first frame this close to the settled one counts as it

struct Figures {
    std::vector<double> created, child, visible, screen, peak;
    int failed = 0;
    int sameFirstFrame = 0;  // runs whose first frame on screen was already the settled window
};

// The shots of the last counted run of program `number` go beside the probe as
// startup-shot-<number>-first.bmp and -settled.bmp.
void Record(const Program& p, int number, int index, Figures& f) {
    Run r = StartAndClose(p);
    std::string line = Utf8(p.label) + " run " + std::to_string(index) + ": ";
    if (r.ok) {
        f.created.push_back(r.createdMs);
        f.child.push_back(r.childMs);
        f.visible.push_back(r.visibleMs);
        f.screen.push_back(r.screenMs);
        if (r.peakMiB > 0) f.peak.push_back(r.peakMiB);
        const int differing = Differing(r.first, r.settled);
        f.sameFirstFrame += differing <= kCaretPixels;
        const std::wstring shots = ExeBeside(L"startup-shot-" + std::to_wstring(number));
        SaveBmp(r.first, shots + L"-first.bmp");
        SaveBmp(r.settled, shots + L"-settled.bmp");
        line += Fixed(r.screenMs, 1) + " ms to its control on screen (visible at " + Fixed(r.visibleMs, 1) +
                ", window with a child at " + Fixed(r.childMs, 1) + ", created at " + Fixed(r.createdMs, 1) +
                " ms), first frame " + std::to_string(differing) + " pixels off the settled window" +
                ", peak working set " + Fixed(r.peakMiB, 1) + " MiB";
        if (!r.why.empty()) line += " (" + r.why + ")";
    } else {
        ++f.failed;
        line += "not counted: " + r.why;
    }
    Say(line);
}

}  // namespace

// "marks\ハリコ.exe" for a program among others, else "ハリコ.exe".
std::wstring LabelOf(const std::wstring& path, bool withFolder) {
    const size_t file = path.find_last_of(L"\\/");
    if (!withFolder || file == std::wstring::npos || file == 0) return path.substr(file + 1);
    const size_t folder = path.find_last_of(L"\\/", file - 1);
    return path.substr(folder == std::wstring::npos ? 0 : folder + 1);
}

int wmain(int argc, wchar_t** argv) {
    const int runs = argc > 1 ? std::max(1, _wtoi(argv[1])) : 11;
    std::vector<Program> panels;
    for (int i = 2; i < argc || (i == 2 && panels.empty()); ++i) {
        const std::wstring exe = i < argc ? argv[i] : ExeBeside(L"ハリコ.exe");
        panels.push_back({LabelOf(exe, argc > 3), exe, L"HarikoForm", StemOf(exe), FirstEntryButton});
    }
    wchar_t sys[MAX_PATH] = {};
    GetSystemDirectoryW(sys, MAX_PATH);
    const Program notepad{L"notepad.exe", std::wstring(sys) + L"\\notepad.exe", L"Notepad", L"", EditBox};

    for (const Program& panel : panels) {
        if (GetFileAttributesW(panel.exe.c_str()) == INVALID_FILE_ATTRIBUTES) {
            Say("missing: " + Utf8(panel.exe));
            return 1;
        }
        if (FindWindowW(L"HarikoForm", panel.caption.c_str())) {
            Say(Utf8(panel.caption) + " is already running: close it first (a second start would only be refused)");
            return 1;
        }
    }

    // The first start of a fresh data folder writes every file and asks the welcome question;
    // one untimed start (answered with No) and close leaves the settings of a later start.
    Say("warm-up: one untimed start and close of each");
    std::vector<const Program*> all;
    for (const Program& panel : panels) all.push_back(&panel);
    all.push_back(&notepad);
    for (const Program* p : all) {
        Run r = StartAndClose(*p);
        if (!r.why.empty()) Say("  " + Utf8(p->label) + ": " + r.why);
        if (!r.ok && r.why.find("message box") == std::string::npos) {
            Say("  " + Utf8(p->label) + " did not start: no figures");
            return 1;
        }
    }
    for (const Program& panel : panels) {
        const std::wstring& name = panel.caption;
        const std::wstring type = StartupSetting(name, L"Type");
        Say(Utf8(name) + ": settings \"Type\" = " +
            (type.empty() ? std::string("(missing: every start would be a first start)") : Utf8(type)) +
            ", desktop shortcut " + Utf8(name) + ".lnk " +
            (DesktopShortcutExists(name) ? "present (each start rewrites it)" : "absent"));
    }

    // Alternating, so that load from other work on the machine falls on all alike.
    std::vector<Figures> figures(all.size());
    for (int i = 1; i <= runs; ++i)
        for (size_t k = 0; k < all.size(); ++k) Record(*all[k], static_cast<int>(k + 1), i, figures[k]);

    const Figures& fn = figures.back();
    for (const Figures& f : figures)
        if (f.screen.empty()) {
            Say("not enough runs counted for a comparison");
            return 1;
        }
    auto summary = [](const Program& p, const Figures& f, const char* control) {
        Say(Utf8(p.label) + ", start to " + control + " on screen: median " + Fixed(Median(f.screen), 1) +
            " ms, best " + Fixed(*std::min_element(f.screen.begin(), f.screen.end()), 1) + " ms (" +
            std::to_string(f.screen.size()) + " runs counted" +
            (f.failed ? ", " + std::to_string(f.failed) + " not counted" : "") + ")");
        Say("  medians: window created " + Fixed(Median(f.created), 1) + " ms, window with a child visible " +
            Fixed(Median(f.child), 1) + " ms, " + control + " visible " + Fixed(Median(f.visible), 1) + " ms");
        Say("  first frame on screen already the settled window (but for a caret) in " +
            std::to_string(f.sameFirstFrame) + " of " + std::to_string(f.screen.size()) + " runs");
    };
    for (size_t k = 0; k + 1 < all.size(); ++k) summary(*all[k], figures[k], "first entry button");
    summary(notepad, fn, "edit box");
    for (size_t k = 0; k + 1 < all.size(); ++k) {
        const Figures& fp = figures[k];
        Say("ratio " + Utf8(all[k]->label) + " / notepad.exe, medians to the control on screen: " +
            Fixed(Median(fp.screen) / Median(fn.screen), 2) + " (goal: at most 1.10)");
        Say("  older figure, window with a child visible: " + Fixed(Median(fp.child) / Median(fn.child), 2) +
            "; control visible: " + Fixed(Median(fp.visible) / Median(fn.visible), 2));
        if (!fp.peak.empty() && !fn.peak.empty())
            Say("  peak working set after settling (median), incl. Wine's own libraries: " + Fixed(Median(fp.peak), 1) +
                " MiB, notepad.exe " + Fixed(Median(fn.peak), 1) + " MiB, ratio " +
                Fixed(Median(fp.peak) / Median(fn.peak), 2));
    }
    return 0;
}
