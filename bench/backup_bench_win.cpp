// Time of a backup and of a restore (reading the backup's password and the all-or-nothing
// copy-in), without the fixed pauses and message boxes of the menu flows, for data sets of
// 25 and 5,000 entries. Prints figures, asserts nothing.
// usage: backup_bench_win [RUNS]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "store/backup_service.h"
#include "store/file_cipher.h"
#include "store/datafiles.h"
#include "store/dataset_format.h"
#include "store/passwordfile.h"
#include "support/files.h"

namespace {

using testsupport::RemoveTree;

std::vector<Entry> Entries(int n) {
    std::vector<Entry> e;
    for (int i = 1; i <= n; ++i)
        e.push_back({L"項目" + std::to_wstring(i), L"東京都港区芝公園４－２－８ 若葉ビル" + std::to_wstring(i) + L"号室",
                     L"&HFFFFFF"});
    return e;
}

bool MakeDataDir(const std::wstring& dir, int entries) {
    CreateDirectoryW(dir.c_str(), nullptr);
    const std::string rows = EncodeDataSet(Entries(entries), ColourForm::HexText).bytes;
    const std::wstring plain = dir + L"\\MyData_2_2.dat";
    bool ok = WriteFileAtomic(dir + L"\\MyData_1.dat", rows) && WriteFileAtomic(dir + L"\\MyData_3.dat", rows) &&
              WriteFileAtomic(plain, rows) && EncryptFileTo(plain, dir + L"\\MyData_2.dat", L"benchpass") &&
              WritePasswordFile(dir, L"benchpass", 0, [] {}, [](int) {}) &&
              WriteFileAtomic(dir + L"\\Color.dat", InitialColorDatBytes());
    DeleteFileW(plain.c_str());
    return ok;
}

double Seconds(const LARGE_INTEGER& a, const LARGE_INTEGER& b) {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return double(b.QuadPart - a.QuadPart) / double(f.QuadPart);
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const int runs = argc > 1 ? std::max(1, _wtoi(argv[1])) : 9;
    FileCipher::ShowError = [](const std::wstring& t) { std::wprintf(L"error box: %ls\n", t.c_str()); };
    const std::wstring root = testsupport::FreshFolder(L"hariko_backup_bench");
    const std::wstring backup = root + L"\\ハリコ_BackupData";
    for (int entries : {25, 5000}) {
        const std::wstring data = root + L"\\data";
        RemoveTree(data);
        RemoveTree(backup);
        if (!MakeDataDir(data, entries)) {
            std::wprintf(L"could not prepare the data directory for %d entries\n", entries);
            return 1;
        }
        WIN32_FILE_ATTRIBUTE_DATA a{};
        GetFileAttributesExW((data + L"\\MyData_1.dat").c_str(), GetFileExInfoStandard, &a);
        std::vector<double> backups, restores;
        bool ok = true;
        for (int i = 0; i < runs; ++i) {
            LARGE_INTEGER t0, t1, t2;
            QueryPerformanceCounter(&t0);
            ok = MakeBackup(data, backup).ok && ok;
            QueryPerformanceCounter(&t1);
            ok = ReadBackupPassword(backup) == std::wstring(L"benchpass") && RestoreBackup(backup, data).ok && ok;
            QueryPerformanceCounter(&t2);
            backups.push_back(Seconds(t0, t1));
            restores.push_back(Seconds(t1, t2));
        }
        std::wprintf(L"%5d entries per data set (MyData_1.dat %lu bytes): backup %.1f ms, restore %.1f ms "
                     L"(median of %d; %ls)\n",
                     entries, a.nFileSizeLow, Median(backups) * 1000, Median(restores) * 1000, runs,
                     ok ? L"all ok" : L"SOME FAILED");
    }
    RemoveTree(root);
    return 0;
}
