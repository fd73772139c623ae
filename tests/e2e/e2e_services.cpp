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

// ---- 61 -----------------------------------------------------------------------------------

void ShortcutRenewedInPlace(Report& rep, const std::wstring& exe) {
    if (!PrepareInitialised(rep, exe)) return;
    Hariko h(exe);
    const std::wstring lnk = h.ShortcutPath(), old = WindowsDirectory() + L"\\notepad.exe";
    if (!rep.Check(WriteShortcut(lnk, old), L"set-up: a shortcut of the name on the desktop, to notepad.exe")) return;
    const std::string before = ReadFileBytes(lnk).value_or("");
    // Another program reads it (as a virus scanner or a file indexer does): it can be deleted
    // but no new file can take its name until that program lets go.
    HANDLE reader = CreateFileW(lnk.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, 0, nullptr);
    std::optional<MessageBoxSeen> box;
    auto take = [&](const MessageBoxSeen& b) { return b.title == L"ショートカットの作成" && (box = b, AnswerMessageBox(b, IDOK)); };
    auto s = h.Start(IDNO, 30000, take);
    if (rep.Check(s.ready, L"the program starts", s.why) && !box) {
        box = WaitForMessageBox(L"ショートカットの作成", h.pid(), 10000);
        if (box) AnswerMessageBox(*box, IDOK);
    }
    const std::wstring text = L"デスクトップの「ハリコ」のショートカットを更新できませんでした。\r\n\r\n"
                              L"以前のショートカットはそのまま残してあります。\r\n" + lnk;
    rep.Check(box && box->text == text, L"a shortcut that cannot be renewed: " + Quote(text), box ? Quote(box->text) : OpenBoxes(h));
    CloseHandle(reader);
    rep.Check(ReadFileBytes(lnk) == before, L"the old shortcut is still there, unchanged");
    std::wstring leftovers;
    for (const std::wstring& f : FolderEntries(DesktopDirectory()))
        if (f.size() > 4 && f.compare(f.size() - 4, 4, L".tmp") == 0) leftovers += f + L" ";
    rep.Check(leftovers.empty(), L"nothing of the attempt is left on the desktop", leftovers);
    CloseProgram(rep, h);
    DeleteFileW(lnk.c_str());
}

}  // namespace

const std::vector<Scenario>& serviceScenarios() {
    static const std::vector<Scenario> all = {
        {60, L"60. the help page of a copy named \"my copy\"", HelpPageOfACopy},
        {61, L"61. a desktop shortcut that cannot be renewed is kept", ShortcutRenewedInPlace},
    };
    return all;
}

}  // namespace e2e
