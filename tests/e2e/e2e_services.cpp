// Restore, copies, shortcuts, the help page and the uninstall, where they went wrong before:
// each message must say what really happened, and nothing may be lost on the way.
#include "e2e_services.h"

#include "e2e_about.h"
#include "e2e_desktop.h"
#include "e2e_hariko.h"
#include "e2e_steps.h"
#include "panel/form1_ids.h"
#include "protect/frmAbout.h"

namespace e2e {
namespace {

// ---- 60 -----------------------------------------------------------------------------------

void HelpPageOfACopy(Report& rep, const std::wstring& exe) {
    const std::wstring copyPath = Hariko(exe).ProgramDir() + L"\\my copy.exe";
    Hariko h(copyPath);
    if (!rep.Check(CopyFileW(exe.c_str(), copyPath.c_str(), FALSE) != FALSE, L"set-up: the program copied as \"my copy.exe\"") ||
        !PrepareInitialised(rep, copyPath) || !StartReady(rep, h))
        return;
    const std::wstring classes = L"Software\\Classes\\";
    const std::wstring opened = TempDirectory() + L"\\hariko-opened.txt";
    WriteMachineString(classes + L".html", L"", L"hariko_e2e_html");
    WriteMachineString(classes + L"hariko_e2e_html\\shell\\open\\command", L"",
                       L"C:\\windows\\system32\\cmd.exe /c echo %1> \"" + opened + L"\"");
    DeleteFileW(opened.c_str());
    // A file whose name is the page's path up to its space: the path must not be cut there.
    const std::wstring stray = WindowsDirectory() + L"\\Personal_Data\\my";
    WriteFileBytes(stray, "not a program");
    h.Menu(form1::kHow);
    const std::wstring page = h.DataFile(L"help.html");
    rep.Check(WaitFor([&] { return ReadFileBytes(opened) == Cp932(page) + "\r\n"; }, 10000), L"使い方 of \"my copy\" hands " + page + L" to the program that opens .html",
              Hex(ReadFileBytes(opened).value_or("(nothing)")) + OpenBoxes(h));
    DeleteMachineTree(classes + L"hariko_e2e_html");
    DeleteMachineTree(classes + L".html");
    DeleteFileW(opened.c_str());
    DeleteFileW(stray.c_str());
    CloseProgram(rep, h);
    h.WipeState();
    DeleteFileW(copyPath.c_str());
}

}  // namespace

const std::vector<Scenario>& serviceScenarios() {
    static const std::vector<Scenario> all = {
        {60, L"60. the help page of a copy named \"my copy\"", HelpPageOfACopy},
    };
    return all;
}

}  // namespace e2e
