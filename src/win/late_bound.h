#pragma once
// Functions of DLLs that only some windows need (the colour dialog, the input method, the
// version resource, MIDI, the strong cipher's CNG, what screen readers ask for): loaded from the system folder when first used, so that the start
// of the program does not pay for loading them. Each fails as the real function would when its
// DLL cannot be loaded.
#include <windows.h>
#include <bcrypt.h>
#include <commdlg.h>
#include <imm.h>
#include <mmsystem.h>
#include <unknwn.h>

namespace late {
BOOL ChooseColorW(CHOOSECOLORW* cc);
BOOL GetOpenFileNameW(OPENFILENAMEW* ofn);
BOOL GetSaveFileNameW(OPENFILENAMEW* ofn);
LONG ImmGetCompositionStringW(HIMC ctx, DWORD index, LPVOID buffer, DWORD bytes);
BSTR SysAllocString(const OLECHAR* text);
HIMC ImmGetContext(HWND h);
BOOL ImmReleaseContext(HWND h, HIMC ctx);
BOOL ImmSetOpenStatus(HIMC ctx, BOOL open);
HRESULT OleTranslateColor(DWORD colour, HPALETTE palette, COLORREF* rgb);
DWORD GetFileVersionInfoSizeW(LPCWSTR file, LPDWORD handle);
BOOL GetFileVersionInfoW(LPCWSTR file, DWORD handle, DWORD size, LPVOID data);
BOOL VerQueryValueW(LPCVOID block, LPCWSTR sub, LPVOID* buffer, PUINT len);
MCIERROR mciSendStringW(LPCWSTR command, LPWSTR ret, UINT retSize, HWND callback);
HRESULT CreateStdAccessibleObject(HWND h, LONG object, REFIID iid, void** out);
LRESULT LresultFromObject(REFIID iid, WPARAM wp, IUnknown* object);
// CNG (bcrypt.dll): Wine loads its crypto library with it, which a start that shows Public
// need not wait for.
NTSTATUS BCryptOpenAlgorithmProvider(BCRYPT_ALG_HANDLE* alg, LPCWSTR id, LPCWSTR impl, ULONG flags);
NTSTATUS BCryptCloseAlgorithmProvider(BCRYPT_ALG_HANDLE alg, ULONG flags);
NTSTATUS BCryptSetProperty(BCRYPT_HANDLE h, LPCWSTR property, PUCHAR input, ULONG size, ULONG flags);
NTSTATUS BCryptGenerateSymmetricKey(BCRYPT_ALG_HANDLE alg, BCRYPT_KEY_HANDLE* key, PUCHAR object,
                                    ULONG objectSize, PUCHAR secret, ULONG secretSize, ULONG flags);
NTSTATUS BCryptDestroyKey(BCRYPT_KEY_HANDLE key);
NTSTATUS BCryptEncrypt(BCRYPT_KEY_HANDLE key, PUCHAR input, ULONG inputSize, VOID* padding, PUCHAR iv,
                       ULONG ivSize, PUCHAR output, ULONG outputSize, ULONG* result, ULONG flags);
NTSTATUS BCryptDecrypt(BCRYPT_KEY_HANDLE key, PUCHAR input, ULONG inputSize, VOID* padding, PUCHAR iv,
                       ULONG ivSize, PUCHAR output, ULONG outputSize, ULONG* result, ULONG flags);
NTSTATUS BCryptGenRandom(BCRYPT_ALG_HANDLE alg, PUCHAR buffer, ULONG size, ULONG flags);
NTSTATUS BCryptDeriveKeyPBKDF2(BCRYPT_ALG_HANDLE prf, PUCHAR password, ULONG passwordSize, PUCHAR salt,
                               ULONG saltSize, ULONGLONG iterations, PUCHAR key, ULONG keySize, ULONG flags);
}  // namespace late
