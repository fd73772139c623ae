#include "protect/dialog_place.h"

void PlaceDialog(Form& form, HWND nearWindow, int clientWidth, int clientHeight) {
    HWND h = form.hwnd();
    RECT outer, client;
    GetWindowRect(h, &outer);
    GetClientRect(h, &client);
    const int width = form.Px(clientWidth) + (outer.right - outer.left) - client.right;
    const int height = form.Px(clientHeight) + (outer.bottom - outer.top) - client.bottom;
    int x = outer.left, y = outer.top;
    MONITORINFO mi{};
    mi.cbSize = sizeof mi;
    if (GetMonitorInfoW(MonitorFromWindow(nearWindow ? nearWindow : h, MONITOR_DEFAULTTONEAREST), &mi)) {
        x = (mi.rcWork.left + mi.rcWork.right - width) / 2;
        y = (mi.rcWork.top + mi.rcWork.bottom - height) / 2;
    }
    SetWindowPos(h, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}
