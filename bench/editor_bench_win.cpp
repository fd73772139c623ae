// Entry editor figures: opening it from the panel (rows loaded, laid out, shown) and closing
// it with a save, for 25 and 5,000 entries and for 25 with one text of a million characters,
// beside one panel reload and one bare window creation; the editor's child windows. Prints
// figures, asserts nothing.
// Runs the real program under its own executable name, so its data stays apart.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "app/program.h"
#include "base/stored_names.h"
#include "store/datafiles.h"
#include "store/dataset_format.h"
#include "win/app.h"
#include "bench_clock.h"

namespace {

void Report(const std::string& what, double ms) { std::printf("%-46s %8.3f ms\n", what.c_str(), ms); }

int Children(HWND w) {
    int n = 0;
    EnumChildWindows(w, [](HWND, LPARAM p) { ++*reinterpret_cast<int*>(p); return TRUE; }, reinterpret_cast<LPARAM>(&n));
    return n;
}

// A top-level window of the program's class with nothing in it, owned by the panel: created,
// shown and made active as the editor is, then destroyed.
void BareWindow(double& open, double& destroy, HWND owner) {
    double t0 = NowMs();
    HWND w = CreateWindowExW(0, stored::kWindowClass, L"bench", WS_OVERLAPPEDWINDOW, 0, 0, 600, 600, owner, nullptr,
                             GetModuleHandleW(nullptr), nullptr);
    ShowWindow(w, SW_SHOW);
    SetForegroundWindow(w);
    DoEvents();
    open = std::min(open, NowMs() - t0);
    t0 = NowMs();
    DestroyWindow(w);
    DoEvents();
    destroy = std::min(destroy, NowMs() - t0);
}

}  // namespace

int wmain() {
    SetMsgBoxHook([](const std::wstring&, UINT, const std::wstring&) { return IDNO; });
    Program program;
    if (!program.Start()) {
        std::printf("panel did not start\n");
        return 1;
    }
    PanelWindow& panel = program.Panel();
    ShowWindow(panel.hwnd(), SW_SHOWNOACTIVATE);
    DoEvents();
    AppState& app = program.State();
    const int rounds = 10;
    double bare = 1e9, bareDestroy = 1e9;
    for (int r = 0; r < rounds; ++r) BareWindow(bare, bareDestroy, panel.hwnd());
    Report("bare top-level window, created and shown", bare);
    Report("bare top-level window, destroyed", bareDestroy);
    struct Case {
        int entries;
        size_t longText;  // characters of entry 1's text, on one line; 0 for a short text
        std::string name;
    };
    for (const Case& c : {Case{25, 0, "25 entries"}, Case{5000, 0, "5000 entries"},
                          Case{25, 1 << 20, "25 entries, one text of 1 M characters"}}) {
        const int n = c.entries;
        std::vector<Entry> entries;
        for (int i = 0; i < n; ++i)
            entries.push_back({L"項目" + std::to_wstring(i), L"貼り付ける文章\r\n二行目", L"16777215"});
        if (c.longText) entries[0].text = std::wstring(c.longText, L'あ');
        WriteDataSetFile(app.DataFile(stored::kPublicFile), entries, ColourForm::Decimal);
        double reload = 1e9, open = 1e9, load = 1e9, close = 1e9;
        int children = 0;
        for (int r = 0; r < (c.longText ? 3 : rounds); ++r) {
            double t0 = NowMs();
            panel.LoadDataSet();
            panel.LayoutPanel();
            reload = std::min(reload, NowMs() - t0);

            t0 = NowMs();
            program.OpenEditor();
            load = std::min(load, NowMs() - t0);
            DoEvents();
            open = std::min(open, NowMs() - t0);
            HWND editor = reinterpret_cast<HWND>(app.own.entryEditor);
            if (!editor) {
                std::printf("the editor did not open\n");
                return 1;
            }
            children = Children(editor);
            t0 = NowMs();
            SendMessageW(editor, WM_CLOSE, 0, 0);
            DoEvents();
            close = std::min(close, NowMs() - t0);
        }
        const std::string& count = c.name;
        Report("panel reload, " + count, reload);
        Report("editor open, until shown (no painting), " + count, load);
        Report("editor open, painted, " + count, open);
        // Includes Wine's wait (2 s) for a window manager to withdraw the window; the test
        // display has none.
        Report("editor close with the save, " + count, close);
        std::printf("%-46s %8.2f\n", ("ratio open / (reload + bare window), " + count).c_str(), open / (reload + bare));
        std::printf("%-46s %8d\n", ("child windows of the editor, " + count).c_str(), children);
    }
    SendMessageW(panel.hwnd(), WM_CLOSE, 0, 0);
    DoEvents();
    return 0;
}
