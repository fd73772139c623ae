// A confirmed uninstall waits for the panel's next activation, which may come from another
// program: the About box can close without handing over to the panel (Wine's X focus, or the
// user already elsewhere).
#include <gtest/gtest.h>

#include "app/program.h"
#include "store/datafiles.h"
#include "store/settings.h"
#include "support/files.h"
#include "support/wait.h"
#include "win/app.h"

namespace {

using testsupport::RemoveTree;
using testsupport::WaitFor;

TEST(Uninstall, AnActivationFromAnotherProgramCarriesItOut) {
    const std::wstring name = ExeName(), dir = DataDirPath(DataRootPath(), name);
    DeleteSetting(name);
    RemoveTree(dir);
    SetMsgBoxHook([](const std::wstring&, UINT, const std::wstring&) { return IDNO; });
    STARTUPINFOW si{sizeof si};
    PROCESS_INFORMATION notepad{};
    wchar_t cmd[] = L"notepad.exe";
    ASSERT_TRUE(CreateProcessW(nullptr, cmd, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &notepad));
    HWND other = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (other = FindWindowW(L"Notepad", nullptr)) != nullptr; }, 10000));
    {
        Program p;
        ASSERT_TRUE(p.Start());
        const HWND panel = p.Panel().hwnd();
        ShowWindow(panel, SW_SHOWNORMAL);
        // The show's own activation may arrive late and take the foreground back: asked again
        // until notepad holds it.
        ASSERT_TRUE(WaitFor([&] { return GetForegroundWindow() == other || (SetForegroundWindow(other), false); }, 5000));
        p.State().uninstallRequest = 1;  // Yes in the About box, which has closed meanwhile
        SetForegroundWindow(panel);
        EXPECT_TRUE(WaitFor([&] { return !IsWindow(panel); }, 10000));
    }
    EXPECT_FALSE(IsFolder(dir));
    MSG m;
    PeekMessageW(&m, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);  // the program's end
    TerminateProcess(notepad.hProcess, 0);
    CloseHandle(notepad.hProcess);
    CloseHandle(notepad.hThread);
    SetMsgBoxHook(nullptr);
    DeleteSetting(name);
}

}  // namespace
