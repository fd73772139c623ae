// Time of a CSV export and of an import with 置き換え and with 後ろに追加, beyond the dialogs
// and boxes of the menu flows, for data sets of 25 and 5,000 entries. Prints figures, asserts
// nothing. usage: csv_bench_win [RUNS]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "app/csv_import_logic.h"
#include "store/backup_service.h"
#include "store/csv_format.h"
#include "store/datafiles.h"
#include "support/files.h"

namespace {

std::vector<Entry> Entries(int n) {
    std::vector<Entry> e;
    for (int i = 1; i <= n; ++i)
        e.push_back({L"項目" + std::to_wstring(i),
                     L"〒105-0011\r\n東京都港区芝公園４－２－８, 若葉ビル" + std::to_wstring(i) + L"号室", L"16777215"});
    return e;
}

double Ms(const LARGE_INTEGER& a, const LARGE_INTEGER& b) {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return 1000.0 * double(b.QuadPart - a.QuadPart) / double(f.QuadPart);
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

bool Export(const std::wstring& data, const std::wstring& csv) {
    const auto bytes = ReadAllBytes(data);
    const auto out = bytes ? EncodeCsv(ParseDataSet(*bytes)) : std::nullopt;
    return out && WriteFileAtomic(csv, *out);
}

bool Import(const std::wstring& data, const std::wstring& csv, const std::wstring& backupDir, bool replace) {
    const auto bytes = ReadAllBytes(csv), now = ReadAllBytes(data);
    if (!bytes || !now) return false;
    const CsvImport im = EntriesFromCsv(*bytes);
    const DataSetContents contents = ReadDataSet(*now);
    const MergedSet m = replace ? Replaced(contents, im.entries) : Appended(contents, im.entries);
    const EncodeResult e = EncodeDataSet(m.entries, ColourForm::Decimal, m.asRead);
    return e.ok && (!replace || KeepBeforeReplace(backupDir, L"MyData_1.dat", *now).ok) && WriteFileAtomic(data, e.bytes);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const int runs = argc > 1 ? std::max(1, _wtoi(argv[1])) : 9;
    const std::wstring root = testsupport::FreshFolder(L"hariko_csv_bench");
    const std::wstring data = root + L"\\MyData_1.dat", csv = root + L"\\set.csv", backup = root + L"\\ハリコ_BackupData";
    for (int n : {25, 5000}) {
        const std::string original = EncodeDataSet(Entries(n), ColourForm::Decimal).bytes;
        std::vector<double> exports, replaces, appends;
        bool ok = true, same = true;
        for (int i = 0; i < runs; ++i) {
            ok = WriteFileAtomic(data, original) && ok;
            LARGE_INTEGER t0, t1, t2, t3;
            QueryPerformanceCounter(&t0);
            ok = Export(data, csv) && ok;
            QueryPerformanceCounter(&t1);
            ok = Import(data, csv, backup, true) && ok;
            QueryPerformanceCounter(&t2);
            same = same && ReadAllBytes(data) == original;
            ok = Import(data, csv, backup, false) && ok;
            QueryPerformanceCounter(&t3);
            exports.push_back(Ms(t0, t1));
            replaces.push_back(Ms(t1, t2));
            appends.push_back(Ms(t2, t3));
        }
        WIN32_FILE_ATTRIBUTE_DATA a{};
        GetFileAttributesExW(csv.c_str(), GetFileExInfoStandard, &a);
        std::wprintf(L"%5d entries (CSV %lu bytes): export %.1f ms, import replacing %.1f ms (with the kept copy), "
                     L"appending %.1f ms (median of %d; %ls; round trip %ls)\n",
                     n, a.nFileSizeLow, Median(exports), Median(replaces), Median(appends), runs,
                     ok ? L"all ok" : L"SOME FAILED", same ? L"byte for byte" : L"DIFFERENT");
    }
    testsupport::RemoveTree(root);
    return 0;
}
