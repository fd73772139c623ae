// Entry editor figures: opening it from a click on 設定/編集 (rows loaded, laid out, shown, and
// row 1's boxes drawn on the screen) and closing it with a save, for 25, 1,000 and 5,000 entries
// and for 25 with one text of a million characters, beside one panel reload, one bare window
// creation and, in the same run, Wine's notepad started until its edit box is drawn; the
// editor's child windows. Prints figures, asserts nothing.
// Runs the real program under its own executable name, so its data stays apart.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "app/program.h"
#include "editor/editor_ids.h"
#include "panel/panel_ids.h"
#include "base/stored_names.h"
#include "store/datafiles.h"
#include "store/dataset_format.h"
#include "win/app.h"
#include "bench_clock.h"
#include "screen_probe.h"

namespace {

void Report(const std::string& what, double ms) { std::printf("%-46s %8.3f ms\n", what.c_str(), ms); }

// Child windows of w, all of them or the hidden ones only.
int Children(HWND w, bool hiddenOnly = false) {
    struct Count { bool hiddenOnly; int n; } c{hiddenOnly, 0};
    EnumChildWindows(w, [](HWND h, LPARAM p) {
        auto* c = reinterpret_cast<Count*>(p);
        c->n += !c->hiddenOnly || !(GetWindowLongW(h, GWL_STYLE) & WS_VISIBLE);
        return TRUE;
    }, reinterpret_cast<LPARAM>(&c));
    return c.n;
}

HWND Descendant(HWND w, int id) {
    struct Find { int id; HWND found; } f{id, nullptr};
    EnumChildWindows(w, [](HWND h, LPARAM p) {
        auto* f = reinterpret_cast<Find*>(p);
        if (GetDlgCtrlID(h) == f->id) f->found = h;
        return f->found ? FALSE : TRUE;
    }, reinterpret_cast<LPARAM>(&f));
    return f.found;
}

// Lets the thread handle what comes for up to `ms`: Wine puts a window's drawing on the screen
// while its thread waits for messages.
void Pump(double ms) {
    const double end = NowMs() + ms;
    do {
        DoEvents();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 1, QS_ALLINPUT);
    } while (NowMs() < end);
}

// Wine's notepad started as the start-up probe starts it, until its edit box is drawn on the
// screen, then closed; 0 when it did not show.
double NotepadStart() {
    wchar_t sys[MAX_PATH] = {};
    GetSystemDirectoryW(sys, MAX_PATH);
    const std::wstring exe = std::wstring(sys) + L"\\notepad.exe";
    std::wstring cmd = L"\"" + exe + L"\"";
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    const double t0 = NowMs();
    if (!CreateProcessW(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return 0;
    double ms = 0, lastLook = -4;
    HWND main = nullptr;
    while (NowMs() - t0 < 30000 && WaitForSingleObject(pi.hProcess, 0) == WAIT_TIMEOUT) {
        for (HWND w = nullptr; !main && (w = FindWindowExW(nullptr, w, L"Notepad", nullptr));) {
            DWORD pid = 0;
            GetWindowThreadProcessId(w, &pid);
            if (pid == pi.dwProcessId) main = w;
        }
        HWND edit = main ? EditBox(main) : nullptr;
        if (edit && NowMs() - t0 - lastLook >= 4) {
            lastLook = NowMs() - t0;
            if (DrawnOnScreen(edit)) {
                ms = NowMs() - t0;
                break;
            }
        }
        Sleep(2);
    }
    if (main) PostMessageW(main, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(pi.hProcess, 30000) == WAIT_TIMEOUT) TerminateProcess(pi.hProcess, 1);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return ms;
}

double Median(std::vector<double> v) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
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
    const int rounds = 7;
    double bare = 1e9, bareDestroy = 1e9;
    for (int r = 0; r < rounds; ++r) BareWindow(bare, bareDestroy, panel.hwnd());
    Report("bare top-level window, created and shown", bare);
    Report("bare top-level window, destroyed", bareDestroy);
    struct Case {
        int entries;
        size_t longText;  // characters of entry 1's text, on one line; 0 for a short text
        std::string name;
    };
    const HWND btnEdit = Descendant(panel.hwnd(), panel_ids::kBtnEdit);
    for (const Case& c : {Case{25, 0, "25 entries"}, Case{1000, 0, "1000 entries"}, Case{5000, 0, "5000 entries"},
                          Case{25, 1 << 20, "25 entries, one text of 1 M characters"}}) {
        const int n = c.entries;
        std::vector<Entry> entries;
        for (int i = 0; i < n; ++i)
            entries.push_back({L"項目" + std::to_wstring(i), L"貼り付ける文章\r\n二行目", L"16777215"});
        if (c.longText) entries[0].text = std::wstring(c.longText, L'あ');
        WriteDataSetFile(app.DataFile(stored::kPublicFile), entries, ColourForm::Decimal);
        double reload = 1e9, open = 1e9, load = 1e9, close = 1e9;
        std::vector<double> onScreen, notepad;
        int children = 0, hidden = 0;
        for (int r = 0; r < (c.longText ? 3 : rounds); ++r) {
            // Alternating with the editor, so that other work on the machine falls on both alike.
            if (!c.longText) notepad.push_back(NotepadStart());
            double t0 = NowMs();
            panel.LoadDataSet();
            panel.LayoutPanel();
            reload = std::min(reload, NowMs() - t0);

            t0 = NowMs();
            SendMessageW(btnEdit, BM_CLICK, 0, 0);
            load = std::min(load, NowMs() - t0);
            DoEvents();
            open = std::min(open, NowMs() - t0);
            HWND editor = reinterpret_cast<HWND>(app.own.entryEditor);
            if (!editor) {
                std::printf("the editor did not open\n");
                return 1;
            }
            // Row 1's text box (the widest of its boxes) as the screen shows it.
            const HWND box = Descendant(editor, entry_editor::RowControlId(0, entry_editor::kTextBox));
            while (box && !DrawnOnScreen(box) && NowMs() - t0 < 10000) Pump(4);
            onScreen.push_back(NowMs() - t0);
            children = Children(editor);
            hidden = Children(editor, true);
            if (r == 0) {
                Pump(300);  // settled, to compare builds by their pixels
                SaveBmp(CaptureWindow(editor), L"editor-shot-" + std::to_wstring(n) + (c.longText ? L"-long" : L"") + L".bmp");
            }
            t0 = NowMs();
            SendMessageW(editor, WM_CLOSE, 0, 0);
            DoEvents();
            close = std::min(close, NowMs() - t0);
        }
        const std::string& count = c.name;
        Report("panel reload, " + count, reload);
        Report("editor open, until shown (no painting), " + count, load);
        Report("editor open, painted, " + count, open);
        Report("editor open, row 1 on screen (median), " + count, Median(onScreen));
        // Includes Wine's wait (2 s) for a window manager to withdraw the window; the test
        // display has none.
        Report("editor close with the save, " + count, close);
        std::printf("%-46s %8.2f\n", ("ratio open / (reload + bare window), " + count).c_str(), open / (reload + bare));
        if (!notepad.empty()) {
            Report("notepad start, edit box on screen (median), " + count, Median(notepad));
            std::printf("%-46s %8.2f\n", ("editor open against notepad's start, " + count).c_str(),
                        Median(onScreen) / Median(notepad));
            // Drawn but perhaps not yet put on the screen: in this process the screen is only
            // read between the editor's messages.
            std::printf("%-46s %8.2f\n", ("editor open painted against notepad's start, " + count).c_str(),
                        open / Median(notepad));
        }
        std::printf("%-46s %8d\n", ("child windows of the editor, " + count).c_str(), children);
        std::printf("%-46s %8d\n", ("hidden child windows of the editor, " + count).c_str(), hidden);
    }
    SendMessageW(panel.hwnd(), WM_CLOSE, 0, 0);
    DoEvents();
    return 0;
}
