#pragma once
// Functions of DLLs that only some windows need (the colour dialog, the input method, the
// version resource, MIDI): loaded from the system folder when first used, so that the start
// of the program does not pay for loading them. Each fails as the real function would when its
// DLL cannot be loaded.
#include <windows.h>
#include <commdlg.h>
#include <imm.h>
#include <mmsystem.h>

namespace late {
BOOL ChooseColorW(CHOOSECOLORW* cc);
HIMC ImmGetContext(HWND h);
BOOL ImmReleaseContext(HWND h, HIMC ctx);
BOOL ImmSetOpenStatus(HIMC ctx, BOOL open);
HRESULT OleTranslateColor(DWORD colour, HPALETTE palette, COLORREF* rgb);
DWORD GetFileVersionInfoSizeW(LPCWSTR file, LPDWORD handle);
BOOL GetFileVersionInfoW(LPCWSTR file, DWORD handle, DWORD size, LPVOID data);
BOOL VerQueryValueW(LPCVOID block, LPCWSTR sub, LPVOID* buffer, PUINT len);
MCIERROR mciSendStringW(LPCWSTR command, LPWSTR ret, UINT retSize, HWND callback);
}  // namespace late
