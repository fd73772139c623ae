// Shift+click typing: how long a 1,000-character entry takes to arrive, from the first key
// event to the last character in the target's text area: in Wine's notepad, and in a plain
// edit box of another process. For comparison, notepad's own handling of the same characters
// sent to it as WM_CHAR messages, no input involved. Prints figures, asserts nothing.
// typing_bench_win.exe --edit is the edit box's process.
#include <windows.h>

#include <cstdio>
#include <string>

#include "panel/clipboard_logic.h"
#include "panel/win_desktop.h"
#include "bench_clock.h"

namespace {

struct Target {
    PROCESS_INFORMATION pi{};
    HWND top = nullptr, edit = nullptr;
};

// Starts the program and finds its visible window with an edit box (the window itself may be one).
bool Start(std::wstring cmd, const wchar_t* cls, Target& t) {
    STARTUPINFOW si{sizeof si};
    if (!CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &t.pi)) return false;
    for (int i = 0; i < 200 && !t.edit; ++i, Sleep(100)) {
        t.top = FindWindowW(cls, nullptr);
        if (t.top) t.edit = _wcsicmp(cls, L"Edit") == 0 ? t.top : FindWindowExW(t.top, nullptr, L"Edit", nullptr);
    }
    return t.edit != nullptr;
}

LRESULT TextLength(HWND edit) {
    DWORD_PTR n = 0;
    SendMessageTimeoutW(edit, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 2000, &n);
    return static_cast<LRESULT>(n);
}

// Milliseconds from the start until the edit box holds `units` UTF-16 units (or 60 s).
template <class Send>
double Arrival(const Target& t, LRESULT units, Send send) {
    SendMessageTimeoutW(t.edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""), SMTO_ABORTIFHUNG, 2000, nullptr);
    SetForegroundWindow(t.top);
    for (int i = 0; i < 100 && GetForegroundWindow() != t.top; ++i) Sleep(20);
    Sleep(300);
    const double t0 = NowMs();
    send();
    while (TextLength(t.edit) < units && NowMs() - t0 < 60000) Sleep(5);
    return NowMs() - t0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc > 1 && std::wstring(argv[1]) == L"--edit") {
        CreateWindowExW(0, L"EDIT", L"", WS_OVERLAPPEDWINDOW | WS_VISIBLE | ES_MULTILINE | ES_AUTOVSCROLL, 520, 0, 500,
                        400, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        for (MSG m; GetMessageW(&m, nullptr, 0, 0) > 0;) TranslateMessage(&m), DispatchMessageW(&m);
        return 0;
    }
    // Japanese text with a line break after every 49 characters, as an address or a letter has.
    const std::wstring sample = L"東京都千代田区丸の内一丁目二番三号　若葉商会ビル七階 Wakaba Shokai Co., Ltd.";
    std::wstring text;
    while (text.size() < 1000) text += text.size() % 50 == 49 ? L'\n' : sample[text.size() % sample.size()];
    const auto keys = typing::Plan(text);
    const auto units = static_cast<LRESULT>(text.size() + 20);  // each LF arrives as CR LF

    Target notepad, box;
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    if (!Start(L"notepad.exe", L"Notepad", notepad) || !Start(L"\"" + std::wstring(self) + L"\" --edit", L"Edit", box)) {
        std::printf("the targets did not start\n");
        return 1;
    }
    WinDesktop desk(nullptr);
    std::printf("typing 1000 characters into notepad          %9.1f ms\n",
                Arrival(notepad, units, [&] { desk.TypeKeys(keys); }));
    std::printf("typing 1000 characters into a plain edit box %9.1f ms\n",
                Arrival(box, units, [&] { desk.TypeKeys(keys); }));
    std::printf("notepad taking 1000 WM_CHAR, no input        %9.1f ms\n", Arrival(notepad, 1000, [&] {
                    for (int i = 0; i < 1000; ++i) SendMessageW(notepad.edit, WM_CHAR, L'a' + i % 26, 1);
                }));
    for (Target* t : {&notepad, &box}) {
        TerminateProcess(t->pi.hProcess, 0);
        CloseHandle(t->pi.hThread);
        CloseHandle(t->pi.hProcess);
    }
    return 0;
}
