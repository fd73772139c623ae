// e2e_driver <path of ハリコ.exe>            every scenario, then "N passed, M failed"
// e2e_driver --only 2,5 <path of ハリコ.exe> some of them
// e2e_driver --group life <path of ハリコ.exe> one group (panel, life, harden, backup, about, editor)
// e2e_driver --demo <path of ハリコ.exe>     one paste into notepad; both windows stay open
// With E2E_HOLD=seconds in the environment a failed check leaves the screen as it is for
// that long, so a screenshot can show what went wrong. With E2E_SHOTS=<folder> (a Windows
// path, e.g. Z:\tmp\shots) a few moments worth seeing are saved there as BMP files.
#include <windows.h>

#include <cstdio>
#include <set>
#include <string>

#include "e2e_desktop.h"
#include "e2e_report.h"
#include "e2e_scenarios.h"

namespace {

// ctest hands over a Unix path; Wine maps it to a drive of its own.
std::wstring WindowsPath(const std::wstring& arg) {
    if (arg.empty() || arg[0] != L'/') {
        wchar_t buf[MAX_PATH * 2];
        DWORD n = GetFullPathNameW(arg.c_str(), MAX_PATH * 2, buf, nullptr);
        return n && n < MAX_PATH * 2 ? std::wstring(buf, n) : arg;
    }
    using Fn = WCHAR*(CDECL*)(const char*);
    auto fn = reinterpret_cast<Fn>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_dos_file_name")));
    if (fn) {
        std::string unixPath = e2e::Utf8(arg);
        if (WCHAR* dos = fn(unixPath.c_str())) {
            std::wstring out(dos);
            HeapFree(GetProcessHeap(), 0, dos);
            return out;
        }
    }
    std::wstring out = L"Z:" + arg;
    for (wchar_t& c : out)
        if (c == L'/') c = L'\\';
    return out;
}

int Usage() {
    std::string groups;
    for (const e2e::Group& g : e2e::Groups()) groups += " " + e2e::Utf8(g.name);
    fprintf(stderr, "usage: e2e_driver [--demo | --only N[,N...] | --group NAME] <path of the program's exe>\n"
                    "groups:%s\n", groups.c_str());
    return 2;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    bool demo = false;
    std::set<int> only;
    std::wstring exeArg;
    for (int i = 1; i < argc; ++i) {
        std::wstring a = argv[i];
        if (a == L"--demo") {
            demo = true;
        } else if (a == L"--only" && i + 1 < argc) {
            std::wstring list = argv[++i];
            for (size_t p = 0; p < list.size();) {
                size_t q = list.find(L',', p);
                only.insert(_wtoi(list.substr(p, q - p).c_str()));
                p = q == std::wstring::npos ? list.size() : q + 1;
            }
        } else if (a == L"--group" && i + 1 < argc) {
            const std::wstring name = argv[++i];
            bool known = false;
            for (const e2e::Group& g : e2e::Groups()) {
                if (name != g.name) continue;
                known = true;
                for (const e2e::Scenario& s : g.scenarios) only.insert(s.number);
            }
            if (!known) return Usage();
        } else if (exeArg.empty()) {
            exeArg = a;
        }
        // Further arguments (the run script passes a screenshot path) are not ours.
    }
    if (exeArg.empty()) return Usage();
    const std::wstring exe = WindowsPath(exeArg);
    if (!e2e::FileExists(exe)) {
        fprintf(stderr, "no program at %s\n", e2e::Utf8(exe).c_str());
        return 2;
    }
    if (demo) return e2e::Demo(exe);

    e2e::Report rep;
    rep.Line(L"program under test: " + exe);
    const DWORD start = GetTickCount();
    for (const e2e::Scenario& s : e2e::Scenarios()) {
        if (!only.empty() && !only.count(s.number)) continue;
        const DWORD t0 = GetTickCount();
        rep.Scenario(s.title);
        s.run(rep, exe);
        wchar_t took[32];
        swprintf(took, 32, L"      (%.1f s)", (GetTickCount() - t0) / 1000.0);
        rep.Line(took);
    }
    e2e::CleanUp(exe);
    rep.Line(L"");
    rep.Line(L"total time " + std::to_wstring((GetTickCount() - start) / 1000) + L" s");
    rep.Line(std::to_wstring(rep.passed()) + L" passed, " + std::to_wstring(rep.failed()) + L" failed");
    return rep.failed() == 0 ? 0 : 1;
}
