// Speed and memory of the file cipher. Prints figures, asserts nothing.
// usage: cipher_bench_win PASSWORD FILE...   each FILE is encrypted into FILE.enc
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <string>

#include "store/file_cipher.h"

namespace {

double PeakWorkingSetMB() {
    PROCESS_MEMORY_COUNTERS pmc{};
    pmc.cb = sizeof pmc;
    if (!GetProcessMemoryInfo(GetCurrentProcess(), &pmc, sizeof pmc)) return -1;
    return pmc.PeakWorkingSetSize / 1e6;
}

std::wstring BaseName(const std::wstring& path) {
    size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) {
        std::fwprintf(stderr, L"usage: cipher_bench_win PASSWORD FILE...\n");
        return 2;
    }
    // The bench must never stop on a message box.
    FileCipher::ShowError = [](const std::wstring& text) { std::wprintf(L"error box: %ls\n", text.c_str()); };
    LARGE_INTEGER freq;
    QueryPerformanceFrequency(&freq);
    std::wprintf(L"peak working set before any run: %.1f MB\n", PeakWorkingSetMB());
    {
        // Loading the cryptographic provider costs memory once; keep it out of the figures.
        const std::wstring warm = std::wstring(argv[2]) + L".warm";
        const std::wstring warmOut = warm + L".enc";
        HANDLE h = CreateFileW(warm.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
        DeleteFileW(warmOut.c_str());
        EncryptFileTo(warm, warmOut, argv[1]);
        DeleteFileW(warm.c_str());
        DeleteFileW(warmOut.c_str());
    }
    std::wprintf(L"peak working set after the provider is loaded: %.1f MB\n", PeakWorkingSetMB());
    for (int i = 2; i < argc; ++i) {
        const std::wstring in = argv[i];
        const std::wstring out = in + L".enc";
        DeleteFileW(out.c_str());
        LARGE_INTEGER t0, t1;
        QueryPerformanceCounter(&t0);
        bool ok = EncryptFileTo(in, out, argv[1]);
        QueryPerformanceCounter(&t1);
        WIN32_FILE_ATTRIBUTE_DATA fa{};
        GetFileAttributesExW(in.c_str(), GetFileExInfoStandard, &fa);
        const double bytes = double(fa.nFileSizeHigh) * 4294967296.0 + fa.nFileSizeLow;
        const double seconds = double(t1.QuadPart - t0.QuadPart) / double(freq.QuadPart);
        std::wprintf(L"encrypt %ls: %.0f bytes in %.3f s = %.1f MB/s (%ls); peak working set %.1f MB\n",
                     BaseName(in).c_str(), bytes, seconds, bytes / 1e6 / seconds,
                     ok ? L"ok" : L"FAILED", PeakWorkingSetMB());
    }
    return 0;
}
