#pragma once
// Waiting for what another thread, another process or a timer does: look again and again
// until a deadline, letting this thread's own messages run meanwhile. Never a fixed sleep
// before a check: a loaded machine makes any fixed time too short.
#include <windows.h>

#include <functional>

namespace testsupport {

// Runs this thread's messages for `ms`.
inline void Pause(int ms) {
    const DWORD start = GetTickCount();
    do {
        MSG m;
        while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&m);
            DispatchMessageW(&m);
        }
        Sleep(10);
    } while (static_cast<int>(GetTickCount() - start) < ms);
}

// Looks at `done` every 50 ms until it holds or `ms` have passed.
inline bool WaitFor(const std::function<bool()>& done, int ms) {
    const DWORD start = GetTickCount();
    for (;;) {
        if (done()) return true;
        if (static_cast<int>(GetTickCount() - start) >= ms) return done();
        Pause(50);
    }
}

// True when `ok` held at every look for `ms`: watching that something does not happen.
inline bool HoldsFor(const std::function<bool()>& ok, int ms) {
    return !WaitFor([&] { return !ok(); }, ms);
}

}  // namespace testsupport
