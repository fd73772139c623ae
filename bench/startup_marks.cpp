// The sink of the start-up marks, linked only into the benchmark's own build of the program
// (target startup_marks: marks/ハリコ.exe), never into the shipped ハリコ.exe. It keeps the
// first moment of each mark, in ms since the process was created, and how often it came; when
// the start has ended ("after first show") it appends one line to startup-marks.txt beside the
// exe, with the processor time the process had used and the windows of its thread when the
// panel was painted, and the windows, GDI and USER objects once the start has ended:
//   process start=0.0 exe code=41.2 ... processor ms to painted=60.1 windows at paint=38 ...
// and every mark of that start in order to startup-trace.txt.
// tools/bench-startup.sh prints the medians of these lines.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "base/startup_marks.h"

namespace {

struct Seen {
    const char* what;
    double ms;
    int count;
};

std::vector<Seen>& Marks() {
    static std::vector<Seen> marks;
    return marks;
}

// Every mark in order, for startup-trace.txt (the last start's, overwritten each start).
std::vector<Seen>& Trace() {
    static std::vector<Seen> trace;
    return trace;
}

double MsSinceCreation() {
    FILETIME created, exited, kernel, user, now;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    GetSystemTimePreciseAsFileTime(&now);
    auto ticks = [](const FILETIME& f) {
        return static_cast<long long>((static_cast<unsigned long long>(f.dwHighDateTime) << 32) | f.dwLowDateTime);
    };
    return static_cast<double>(ticks(now) - ticks(created)) / 10000.0;
}

double CpuMs() {
    FILETIME created, exited, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    auto ms = [](const FILETIME& f) {
        return static_cast<double>((static_cast<unsigned long long>(f.dwHighDateTime) << 32) | f.dwLowDateTime) /
               10000.0;
    };
    return ms(kernel) + ms(user);
}

double cpuAtPaint = 0;  // processor time of the process when "painted" came
int windowsAtPaint = 0;  // windows of the thread then

BOOL CALLBACK CountChild(HWND, LPARAM n) {
    ++*reinterpret_cast<int*>(n);
    return TRUE;
}

BOOL CALLBACK CountTopLevel(HWND w, LPARAM n) {
    ++*reinterpret_cast<int*>(n);
    EnumChildWindows(w, CountChild, n);
    return TRUE;
}

std::wstring FileBesideExe(const wchar_t* name) {
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring path = self;
    return path.substr(0, path.find_last_of(L"\\/") + 1) + name;
}

int ThreadWindows() {
    int windows = 0;
    EnumThreadWindows(GetCurrentThreadId(), CountTopLevel, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

void Write() {
    const int windows = ThreadWindows();
    std::string line;
    char buf[128];
    for (const Seen& s : Marks()) {
        std::snprintf(buf, sizeof buf, "%s%s=%.1f", line.empty() ? "" : " ", s.what, s.ms);
        line += buf;
        // A mark that came more than once says how often: messages before the first paint.
        if (s.count > 1) {
            std::snprintf(buf, sizeof buf, " %s (times)=%d", s.what, s.count);
            line += buf;
        }
    }
    std::snprintf(buf, sizeof buf, " processor ms to painted=%.1f windows at paint=%d windows=%d gdi=%lu user=%lu\n",
                  cpuAtPaint, windowsAtPaint, windows,
                  GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS),
                  GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS));
    line += buf;
    DWORD put = 0;
    HANDLE f = CreateFileW(FileBesideExe(L"startup-marks.txt").c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                           OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f != INVALID_HANDLE_VALUE) {
        WriteFile(f, line.data(), static_cast<DWORD>(line.size()), &put, nullptr);
        CloseHandle(f);
    }
    std::string trace;
    for (const Seen& s : Trace()) {
        std::snprintf(buf, sizeof buf, "%8.1f %s\n", s.ms, s.what);
        trace += buf;
    }
    f = CreateFileW(FileBesideExe(L"startup-trace.txt").c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                    CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f != INVALID_HANDLE_VALUE) {
        WriteFile(f, trace.data(), static_cast<DWORD>(trace.size()), &put, nullptr);
        CloseHandle(f);
    }
}

bool written = false;

void Record(const char* what) {
    if (written) return;
    const double ms = MsSinceCreation();
    Trace().push_back({what, ms, 1});
    for (Seen& s : Marks()) {
        if (std::strcmp(s.what, what) == 0) {
            ++s.count;
            return;
        }
    }
    Marks().push_back({what, ms, 1});
    if (std::strcmp(what, "painted") == 0) {
        cpuAtPaint = CpuMs();
        windowsAtPaint = ThreadWindows();
    }
    if (std::strcmp(what, "after first show") == 0) {
        Write();
        written = true;
    }
}

// Runs while the C runtime starts, before wWinMain: the loader's work is done by then.
const bool installed = [] {
    Marks().push_back({"process start", 0.0, 1});
    startup_marks::sink = Record;
    Record("exe code");
    return true;
}();

}  // namespace
