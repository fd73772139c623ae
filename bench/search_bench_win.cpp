// ｴﾝﾄﾘを探す over 5,000 entries in each of Public, Private and 顔文字: Ctrl+Alt+F to the box
// taking input (the first time every set is read and folded; later only what changed), and each
// keystroke's filter with the list's first screen drawn, then the whole list. Runs the real
// panel in this process under its own executable name. Prints figures, asserts nothing.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "app/program.h"
#include "base/stored_names.h"
#include "panel/panel_ids.h"
#include "panel/panel_window.h"
#include "store/datafiles.h"
#include "store/dataset_format.h"
#include "win/app.h"
#include "bench_clock.h"

namespace {

std::vector<Entry> Entries(const std::wstring& tag) {
    std::vector<Entry> v;
    for (int i = 0; i < 5000; ++i)
        v.push_back({tag + std::to_wstring(i) + (i % 7 == 0 ? L" アオキ" : L" ｻﾄｳ"),
                     L"東京都千代田区丸の内" + std::to_wstring(i) + L"-1\r\n2行目 ABC", L"16777215"});
    return v;
}

void CtrlAltF() {
    for (BYTE k : {BYTE(VK_CONTROL), BYTE(VK_MENU), BYTE('F')}) keybd_event(k, 0, 0, 0);
    for (BYTE k : {BYTE('F'), BYTE(VK_MENU), BYTE(VK_CONTROL)}) keybd_event(k, 0, KEYEVENTF_KEYUP, 0);
}

// From the key to the box holding the focus (one message at a time: the list's later lines,
// filled while nothing else waits, are not part of it); the window and its box, or none.
double OpenMs(HWND& search, HWND& box) {
    const double t0 = NowMs();
    CtrlAltF();
    while (NowMs() - t0 < 10000) {
        MSG m;
        if (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&m);
            DispatchMessageW(&m);
        }
        search = FindWindowW(stored::kWindowClass, L"ｴﾝﾄﾘを探す");
        box = search ? GetDlgItem(search, panel_ids::kEditSearch) : nullptr;
        if (box && IsWindowVisible(search) && GetFocus() == box) return NowMs() - t0;
    }
    return -1;
}

void Print(const char* what, std::vector<double> ms) {
    std::sort(ms.begin(), ms.end());
    std::printf("%-52s %8.1f ms (min %.1f, max %.1f, %zu runs)\n", what, ms[ms.size() / 2], ms.front(), ms.back(), ms.size());
}

}  // namespace

int wmain() {
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    SetMsgBoxHook([](const std::wstring&, UINT, const std::wstring&) { return IDNO; });
    Program program;
    if (!program.Start()) return std::printf("panel did not start\n"), 1;
    PanelWindow& f = program.Panel();
    AppState& app = program.State();
    WriteDataSetFile(app.DataFile(L"MyData_1.dat"), Entries(L"顧客"), ColourForm::Decimal);
    WriteDataSetFile(app.DataFile(L"MyData_3.dat"), Entries(L"顔"), ColourForm::Decimal);
    // Private open: no password, its working copy loaded by the panel.
    f.SetPasswordOn(false);
    f.OnChoosePrivate();
    WriteDataSetFile(app.DataFile(L"MyData_2_2.dat"), Entries(L"口座"), ColourForm::Decimal);
    f.SealStateChanged();
    f.AfterFirstPaint();  // the keys are registered once the panel has shown
    f.SetHotKeys(true, false);
    DoEvents();

    HWND search = nullptr, box = nullptr;
    std::printf("%-52s %8.1f ms\n", "first Ctrl+Alt+F to the box (15,000 entries folded)", OpenMs(search, box));
    if (!box) return std::printf("the search did not open\n"), 1;
    const HWND list = GetDlgItem(search, panel_ids::kListFound);
    std::vector<double> open, first, whole;
    const std::wstring keys[] = {L"あ", L"お", L"き", L"\b", L"\b", L"\b", L"2", L"行", L"目", L" ", L"ｱ", L"ｵ", L"ｷ"};
    for (int r = 0; r < 11; ++r) {
        for (const std::wstring& k : keys) {
            const double t0 = NowMs();
            SendMessageW(box, WM_CHAR, k[0], 0);
            UpdateWindow(list);
            first.push_back(NowMs() - t0);
            // The rest of the list, a chunk per timer tick: done when the count stays put.
            LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
            double last = NowMs();
            while (NowMs() - last < 100) {
                DoEvents();
                Sleep(1);
                if (const LRESULT n = SendMessageW(list, LB_GETCOUNT, 0, 0); n != count) count = n, last = NowMs();
            }
            whole.push_back(last - t0);
        }
        if (r == 0) std::printf("%-52s %8d lines\n", "lines for \"2行目 ｱｵｷ\"", static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0)));
        SendMessageW(box, WM_KEYDOWN, VK_ESCAPE, 0);
        DoEvents();
        open.push_back(OpenMs(search, box));
    }
    Print("Ctrl+Alt+F to the box taking input, median", open);
    Print("keystroke: filter and first screen drawn, median", first);
    Print("keystroke: the whole list filled, median", whole);
    std::printf("%-52s %8.1f ms\n", "keystroke: filter and first screen drawn, worst", *std::max_element(first.begin(), first.end()));
    std::printf("%-52s %8.1f ms\n", "keystroke: the whole list filled, worst", *std::max_element(whole.begin(), whole.end()));
    SendMessageW(f.hwnd(), WM_CLOSE, 0, 0);
    DoEvents();
    return 0;
}
