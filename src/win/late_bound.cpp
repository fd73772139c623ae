#include "win/late_bound.h"

#include <string>

namespace {

// From the system folder by full path: never a DLL of that name planted beside the program.
FARPROC Find(const wchar_t* dll, const char* name) {
    wchar_t dir[MAX_PATH] = L"";
    UINT n = GetSystemDirectoryW(dir, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return nullptr;
    HMODULE m = LoadLibraryW((std::wstring(dir, n) + L"\\" + dll).c_str());
    return m ? GetProcAddress(m, name) : nullptr;
}

template <typename Fn>
Fn Get(const wchar_t* dll, const char* name) {
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(Find(dll, name)));
}

}  // namespace

namespace late {

BOOL ChooseColorW(CHOOSECOLORW* cc) {
    static auto fn = Get<BOOL(WINAPI*)(CHOOSECOLORW*)>(L"comdlg32.dll", "ChooseColorW");
    return fn ? fn(cc) : FALSE;
}

BOOL GetOpenFileNameW(OPENFILENAMEW* ofn) {
    static auto fn = Get<BOOL(WINAPI*)(OPENFILENAMEW*)>(L"comdlg32.dll", "GetOpenFileNameW");
    return fn ? fn(ofn) : FALSE;
}

BOOL GetSaveFileNameW(OPENFILENAMEW* ofn) {
    static auto fn = Get<BOOL(WINAPI*)(OPENFILENAMEW*)>(L"comdlg32.dll", "GetSaveFileNameW");
    return fn ? fn(ofn) : FALSE;
}

LONG ImmGetCompositionStringW(HIMC ctx, DWORD index, LPVOID buffer, DWORD bytes) {
    static auto fn = Get<LONG(WINAPI*)(HIMC, DWORD, LPVOID, DWORD)>(L"imm32.dll", "ImmGetCompositionStringW");
    return fn ? fn(ctx, index, buffer, bytes) : IMM_ERROR_GENERAL;
}

BSTR SysAllocString(const OLECHAR* text) {
    static auto fn = Get<BSTR(WINAPI*)(const OLECHAR*)>(L"oleaut32.dll", "SysAllocString");
    return fn ? fn(text) : nullptr;
}

HIMC ImmGetContext(HWND h) {
    static auto fn = Get<HIMC(WINAPI*)(HWND)>(L"imm32.dll", "ImmGetContext");
    return fn ? fn(h) : nullptr;
}

BOOL ImmReleaseContext(HWND h, HIMC ctx) {
    static auto fn = Get<BOOL(WINAPI*)(HWND, HIMC)>(L"imm32.dll", "ImmReleaseContext");
    return fn ? fn(h, ctx) : FALSE;
}

BOOL ImmSetOpenStatus(HIMC ctx, BOOL open) {
    static auto fn = Get<BOOL(WINAPI*)(HIMC, BOOL)>(L"imm32.dll", "ImmSetOpenStatus");
    return fn ? fn(ctx, open) : FALSE;
}

HRESULT OleTranslateColor(DWORD colour, HPALETTE palette, COLORREF* rgb) {
    static auto fn = Get<HRESULT(WINAPI*)(DWORD, HPALETTE, COLORREF*)>(L"oleaut32.dll", "OleTranslateColor");
    return fn ? fn(colour, palette, rgb) : E_FAIL;
}

DWORD GetFileVersionInfoSizeW(LPCWSTR file, LPDWORD handle) {
    static auto fn = Get<DWORD(WINAPI*)(LPCWSTR, LPDWORD)>(L"version.dll", "GetFileVersionInfoSizeW");
    return fn ? fn(file, handle) : 0;
}

BOOL GetFileVersionInfoW(LPCWSTR file, DWORD handle, DWORD size, LPVOID data) {
    static auto fn = Get<BOOL(WINAPI*)(LPCWSTR, DWORD, DWORD, LPVOID)>(L"version.dll", "GetFileVersionInfoW");
    return fn ? fn(file, handle, size, data) : FALSE;
}

BOOL VerQueryValueW(LPCVOID block, LPCWSTR sub, LPVOID* buffer, PUINT len) {
    static auto fn = Get<BOOL(WINAPI*)(LPCVOID, LPCWSTR, LPVOID*, PUINT)>(L"version.dll", "VerQueryValueW");
    return fn ? fn(block, sub, buffer, len) : FALSE;
}

MCIERROR mciSendStringW(LPCWSTR command, LPWSTR ret, UINT retSize, HWND callback) {
    static auto fn = Get<MCIERROR(WINAPI*)(LPCWSTR, LPWSTR, UINT, HWND)>(L"winmm.dll", "mciSendStringW");
    return fn ? fn(command, ret, retSize, callback) : MCIERR_INTERNAL;
}

HRESULT CreateStdAccessibleObject(HWND h, LONG object, REFIID iid, void** out) {
    static auto fn = Get<HRESULT(WINAPI*)(HWND, LONG, REFIID, void**)>(L"oleacc.dll", "CreateStdAccessibleObject");
    return fn ? fn(h, object, iid, out) : E_FAIL;
}

LRESULT LresultFromObject(REFIID iid, WPARAM wp, IUnknown* object) {
    static auto fn = Get<LRESULT(WINAPI*)(REFIID, WPARAM, IUnknown*)>(L"oleacc.dll", "LresultFromObject");
    return fn ? fn(iid, wp, object) : E_FAIL;
}

// The status a missing bcrypt.dll gives: STATUS_DLL_NOT_FOUND.
constexpr NTSTATUS kNoCng = static_cast<NTSTATUS>(0xC0000135L);

#define HARIKO_CNG(name, params, args)                                                  \
    NTSTATUS name params {                                                              \
        static auto fn = Get<NTSTATUS(WINAPI*) params>(L"bcrypt.dll", #name);           \
        return fn ? fn args : kNoCng;                                                   \
    }

HARIKO_CNG(BCryptOpenAlgorithmProvider, (BCRYPT_ALG_HANDLE* alg, LPCWSTR id, LPCWSTR impl, ULONG flags),
           (alg, id, impl, flags))
HARIKO_CNG(BCryptCloseAlgorithmProvider, (BCRYPT_ALG_HANDLE alg, ULONG flags), (alg, flags))
HARIKO_CNG(BCryptSetProperty, (BCRYPT_HANDLE h, LPCWSTR property, PUCHAR input, ULONG size, ULONG flags),
           (h, property, input, size, flags))
HARIKO_CNG(BCryptGenerateSymmetricKey,
           (BCRYPT_ALG_HANDLE alg, BCRYPT_KEY_HANDLE* key, PUCHAR object, ULONG objectSize, PUCHAR secret,
            ULONG secretSize, ULONG flags),
           (alg, key, object, objectSize, secret, secretSize, flags))
HARIKO_CNG(BCryptDestroyKey, (BCRYPT_KEY_HANDLE key), (key))
HARIKO_CNG(BCryptEncrypt,
           (BCRYPT_KEY_HANDLE key, PUCHAR input, ULONG inputSize, VOID* padding, PUCHAR iv, ULONG ivSize,
            PUCHAR output, ULONG outputSize, ULONG* result, ULONG flags),
           (key, input, inputSize, padding, iv, ivSize, output, outputSize, result, flags))
HARIKO_CNG(BCryptDecrypt,
           (BCRYPT_KEY_HANDLE key, PUCHAR input, ULONG inputSize, VOID* padding, PUCHAR iv, ULONG ivSize,
            PUCHAR output, ULONG outputSize, ULONG* result, ULONG flags),
           (key, input, inputSize, padding, iv, ivSize, output, outputSize, result, flags))
HARIKO_CNG(BCryptGenRandom, (BCRYPT_ALG_HANDLE alg, PUCHAR buffer, ULONG size, ULONG flags), (alg, buffer, size, flags))
HARIKO_CNG(BCryptDeriveKeyPBKDF2,
           (BCRYPT_ALG_HANDLE prf, PUCHAR password, ULONG passwordSize, PUCHAR salt, ULONG saltSize,
            ULONGLONG iterations, PUCHAR key, ULONG keySize, ULONG flags),
           (prf, password, passwordSize, salt, saltSize, iterations, key, keySize, flags))
#undef HARIKO_CNG

}  // namespace late
