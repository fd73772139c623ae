// Panel figures: reload (LoadDataSet + LayoutPanel) for 25 and 5,000 entries, plain and
// Private; window handles and peak working set with 5,000 entries; paste overhead (click to
// last key event, fixed sleeps excluded). Prints figures, asserts nothing.
// Runs the real panel under its own executable name, so its data stays apart.
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <string>
#include <vector>

#include "app/program.h"
#include "panel/panel_window.h"
#include "panel/paste_logic.h"
#include "panel/win_desktop.h"
#include "store/file_cipher.h"
#include "store/datafiles.h"
#include "store/dataset_format.h"
#include "win/app.h"
#include "bench_clock.h"

namespace {

std::vector<Entry> Entries(int n) {
    std::vector<Entry> v;
    for (int i = 0; i < n; ++i)
        v.push_back({L"項目" + std::to_wstring(i), L"貼り付ける文章 " + std::to_wstring(i) + L"\r\n二行目",
                     L"16777215"});
    return v;
}

double Reload(PanelWindow& f, int rounds) {
    double best = 1e9;
    for (int r = 0; r < rounds; ++r) {
        double t0 = NowMs();
        f.LoadDataSet();
        f.LayoutPanel();
        best = std::min(best, NowMs() - t0);
    }
    return best;
}

void Report(const char* what, double ms) { std::printf("%-42s %8.3f ms\n", what, ms); }

// The real desktop, with the fixed sleeps counted so they can be taken off.
class TimingDesktop : public WinDesktop {
public:
    using WinDesktop::WinDesktop;
    double sleptMs = 0;
    void Sleep(int ms) override {
        double t0 = NowMs();
        WinDesktop::Sleep(ms);
        sleptMs += NowMs() - t0;
    }
};

// The choices of a first start: 標準ﾓｰﾄﾞ, no clipboard restore.
struct StandardChoices : IPasteChoices {
    PanelChoices choices;
    const PanelChoices& Choices() const override { return choices; }
    bool DataSetChosen() const override { return true; }
};

void PasteOverhead() {
    HWND target = CreateWindowExW(0, L"EDIT", L"target", WS_OVERLAPPEDWINDOW | WS_VISIBLE | ES_MULTILINE,
                                  0, 0, 300, 200, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    TimingDesktop desk(nullptr);
    const StandardChoices choices;
    PasteEngine engine(desk, choices);
    engine.KeepTarget(reinterpret_cast<uintptr_t>(target));
    double best = 1e9;
    for (int r = 0; r < 10; ++r) {
        desk.sleptMs = 0;
        double t0 = NowMs();
        engine.Submit({.text = L"青木　純"});
        double total = NowMs() - t0;
        best = std::min(best, total - desk.sleptMs);
        DoEvents();
    }
    Report("paste overhead (click to last key, no sleeps)", best);
    DestroyWindow(target);
}

}  // namespace

int wmain() {
    PasteOverhead();
    SetMsgBoxHook([](const std::wstring&, UINT, const std::wstring&) { return IDNO; });
    Program program;
    if (!program.Start()) {
        std::printf("panel did not start\n");
        return 1;
    }
    PanelWindow& f = program.Panel();
    ShowWindow(f.hwnd(), SW_SHOWNOACTIVATE);
    DoEvents();
    AppState& app = program.State();
    const int rounds = 20;
    for (int n : {25, 5000}) {
        WriteDataSetFile(app.DataFile(L"MyData_1.dat"), Entries(n), ColourForm::Decimal);
        f.ChooseDataSet(DataSet::Public);
        Report((std::string("reload Public, ") + std::to_string(n) + " entries").c_str(), Reload(f, rounds));
        // Private at rest, then loaded: reloads read the working copy.
        DeleteFileW(app.DataFile(L"MyData_2.dat").c_str());
        WriteDataSetFile(app.DataFile(L"MyData_2_2.dat"), Entries(n), ColourForm::Decimal);
        EncryptFileTo(app.DataFile(L"MyData_2_2.dat"), app.DataFile(L"MyData_2.dat"), app.password.privateKey);
        DeleteFileW(app.DataFile(L"MyData_2_2.dat").c_str());
        f.ChooseDataSet(DataSet::Private);
        double t0 = NowMs();
        f.LoadDataSet();
        f.LayoutPanel();
        Report((std::string("switch to Private (decrypt), ") + std::to_string(n)).c_str(), NowMs() - t0);
        Report((std::string("reload Private, ") + std::to_string(n) + " entries").c_str(), Reload(f, rounds));
        if (n == 5000) {
            PROCESS_MEMORY_COUNTERS pmc{};
            pmc.cb = sizeof pmc;
            GetProcessMemoryInfo(GetCurrentProcess(), &pmc, sizeof pmc);
            DWORD handles = 0;
            GetProcessHandleCount(GetCurrentProcess(), &handles);
            int children = 0;
            EnumChildWindows(f.hwnd(), [](HWND, LPARAM p) { ++*reinterpret_cast<int*>(p); return TRUE; },
                             reinterpret_cast<LPARAM>(&children));
            std::printf("%-42s %8d\n", "child windows of the panel, 5000 entries", children);
            std::printf("%-42s %8lu\n", "USER objects (windows etc.), 5000 entries",
                        GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS));
            std::printf("%-42s %8lu\n", "kernel handles", handles);
            std::printf("%-42s %8.2f MiB\n", "peak working set (incl. Wine's own)",
                        static_cast<double>(pmc.PeakWorkingSetSize) / (1024.0 * 1024.0));
        }
        f.ChooseDataSet(DataSet::Public);
        f.LoadDataSet();  // puts the working copy away
    }
    SendMessageW(f.hwnd(), WM_CLOSE, 0, 0);
    DoEvents();
    return 0;
}
