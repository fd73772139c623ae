// ハリコ: a narrow always-on-top panel whose buttons paste prepared texts into the
// window the user was working in.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include "panel/Form1.h"
#include "win/app.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_STANDARD_CLASSES | ICC_BAR_CLASSES | ICC_TAB_CLASSES};
    InitCommonControlsEx(&icc);
    HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    int rc = 0;
    {
        Form1 form;
        if (form.Form_Load()) {
            ShowWindow(form.hwnd(), SW_SHOWNORMAL);
            UpdateWindow(form.hwnd());
            rc = RunMessageLoop();
        } else {
            // Refused second instance or cancelled conversion: the window never shows; the
            // loop ends when the window is gone.
            rc = RunMessageLoop();
        }
    }
    if (SUCCEEDED(com)) CoUninitialize();
    return rc;
}
