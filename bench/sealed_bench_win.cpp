// Cost of the sealed Private format under Wine: the key function alone (what unlocking
// costs), and sealing, writing and opening 5,000 entries beyond it. Prints figures, asserts
// nothing.  usage: sealed_bench_win RUNS
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "bench_clock.h"
#include "store/datafiles.h"
#include "store/dataset_format.h"
#include "store/sealed_file.h"

namespace {

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const int runs = argc > 1 ? std::max(1, _wtoi(argv[1])) : 5;
    std::vector<Entry> entries;
    for (int i = 0; i < 5000; ++i)
        entries.push_back({L"カード" + std::to_wstring(i), L"1234 5678 9012 " + std::to_wstring(i), L"&HFFFFFF"});
    const std::string plain = EncodeDataSet(entries, ColourForm::HexText).bytes;
    wchar_t tempDir[MAX_PATH];
    GetTempPathW(MAX_PATH, tempDir);
    const std::wstring path = std::wstring(tempDir) + L"hariko_sealed_bench.dat";

    std::vector<double> derive, seal, write, open;
    for (int r = 0; r < runs; ++r) {
        double t0 = NowMs();
        auto key = sealed::NewKey(L"benchpass");
        double t1 = NowMs();
        if (!key) {
            std::printf("error: no key from CNG\n");
            return 1;
        }
        auto bytes = sealed::Seal(*key, plain);
        double t2 = NowMs();
        bool written = sealed::WriteFile(path, *key, plain);
        double t3 = NowMs();
        auto back = bytes ? sealed::Open(*key, *bytes) : std::nullopt;
        double t4 = NowMs();
        if (!bytes || !written || back != plain) {
            std::printf("error: the round trip failed\n");
            return 1;
        }
        derive.push_back(t1 - t0);
        seal.push_back(t2 - t1);
        write.push_back(t3 - t2);
        open.push_back(t4 - t3);
    }
    DeleteFileW(path.c_str());
    std::printf("PBKDF2-HMAC-SHA256, %u iterations (unlock cost): median %.0f ms of %d runs\n",
                sealed::kIterations, Median(derive), runs);
    std::printf("5000 entries, %zu bytes: seal %.1f ms, seal and write the file %.1f ms, open %.1f ms (medians)\n",
                plain.size(), Median(seal), Median(write), Median(open));
    return 0;
}
