// ハリコ: a narrow always-on-top panel whose buttons paste prepared texts into the
// window the user was working in.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include "app/program.h"
#include "win/app.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_STANDARD_CLASSES | ICC_BAR_CLASSES | ICC_TAB_CLASSES};
    InitCommonControlsEx(&icc);
    HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    int rc = 0;
    {
        Program program;
        if (program.Start()) {
            HWND panel = program.Panel().hwnd();
            ShowWindow(panel, SW_SHOWNORMAL);
            RedrawWindow(panel, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
            program.AfterFirstShow();
        }
        // Also for a refused second instance or a cancelled conversion: the window never
        // shows, and the loop ends when it is gone.
        rc = RunMessageLoop();
    }
    if (SUCCEEDED(com)) CoUninitialize();
    return rc;
}
