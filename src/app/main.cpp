// ハリコ: a narrow always-on-top panel whose buttons paste prepared texts into the
// window the user was working in.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include "app/program.h"
#include "base/startup_marks.h"
#include "win/app.h"

namespace {

// Shown without erasing first: the erase comes with the paint that follows at once, so each
// control is drawn once (under Wine each control's drawing reaches the display as it is done).
// A starter that asked for a show state (a shortcut set to start minimised) gets it, as the
// first ShowWindow gives it.
void ShowFirstTime(HWND panel) {
    STARTUPINFOW si{};
    si.cb = sizeof si;
    GetStartupInfoW(&si);
    const WORD asked = (si.dwFlags & STARTF_USESHOWWINDOW) ? si.wShowWindow : SW_SHOWNORMAL;
    if (asked != SW_SHOWNORMAL && asked != SW_SHOW && asked != SW_SHOWDEFAULT) {
        ShowWindow(panel, SW_SHOWNORMAL);
        return;
    }
    SetWindowPos(panel, nullptr, 0, 0, 0, 0,
                 SWP_SHOWWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_DEFERERASE);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    using startup_marks::Mark;
    Mark("main");
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_STANDARD_CLASSES | ICC_BAR_CLASSES | ICC_TAB_CLASSES};
    InitCommonControlsEx(&icc);
    HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    Mark("libraries ready");
    int rc = 0;
    {
        Program program;
        if (program.Start()) {
            HWND panel = program.Panel().hwnd();
            ShowFirstTime(panel);
            // Wine hands a window's pixels to the display when its thread waits: a wait that
            // ends at once takes the display's answer to the show before the paint, and puts
            // the painted panel on the screen after it, before the rest of the start.
            MsgWaitForMultipleObjectsEx(0, nullptr, 0, QS_ALLINPUT, 0);
            Mark("shown");
            RedrawWindow(panel, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
            Mark("painted");
            MsgWaitForMultipleObjectsEx(0, nullptr, 0, QS_ALLINPUT, 0);
            program.Panel().AfterFirstPaint();
            // The first activation's reload, then the work that waited for the first paint.
            DoEvents();
            program.AfterFirstShow();
            Mark("after first show");
        }
        // Also for a refused second instance or a cancelled conversion: the window never
        // shows, and the loop ends when it is gone.
        rc = RunMessageLoop();
    }
    if (SUCCEEDED(com)) CoUninitialize();
    return rc;
}
