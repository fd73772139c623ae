// 差し込み on the paste path: how long a text of 100 fields (every kind, with a caret and a
// clipboard text) takes to fill in, and the one read of the registry's eras. Prints figures,
// asserts nothing.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "panel/insert_fields_logic.h"
#include "panel/win_desktop.h"
#include "bench_clock.h"

int wmain() {
    const wchar_t* kinds[] = {L"{日付}", L"{日付/}", L"{和暦}", L"{曜日}", L"{時刻}", L"{クリップボード}", L"{カーソル}"};
    std::wstring text;
    for (int i = 0; i < 100; ++i) text += std::wstring(kinds[i % 7]) + L"　様{宛名}";
    WinDesktop desk(nullptr);
    double t0 = NowMs();
    const auto eras = fields::WithWindowsEras(fields::OwnEras(), desk.WindowsEras());
    const double registryMs = NowMs() - t0;
    const std::wstring clip(200, L'控');
    const fields::Moment now = desk.LocalNow();
    std::vector<double> ms;
    size_t length = 0;
    for (int run = 0; run < 2000; ++run) {
        t0 = NowMs();
        length += fields::Fill(text, now, clip, eras).text.size();
        ms.push_back(NowMs() - t0);
    }
    std::sort(ms.begin(), ms.end());
    std::printf("eras read from the registry: %zu known, %.3f ms\n", eras.size(), registryMs);
    std::printf("100 fields (%zu units in, %zu out): median %.4f ms, 99th %.4f ms, max %.4f ms over %zu fills\n",
                text.size(), length / ms.size(), ms[ms.size() / 2], ms[ms.size() * 99 / 100], ms.back(), ms.size());
    return 0;
}
