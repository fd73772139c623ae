// The clipboard as the user left it, walked through with notepad as the target and a
// clipboard reader of the driver's own that reads at every change, as clipboard history does.
#include "e2e_clipboard.h"

#include <algorithm>
#include <atomic>
#include <string>
#include <thread>

#include "e2e_backup.h"
#include "e2e_desktop.h"
#include "e2e_hariko.h"
#include "e2e_steps.h"
#include "panel/panel_ids.h"

namespace e2e {
namespace {

const std::wstring kAoki = L"青木　純", kAddress = L"〒100-0001\r\n東京都千代田区", kAccount = L"若葉銀行　本店 1234567";
const std::wstring kLink = L"https://example.jp/予約?id=42";
const std::string kOwnBytes("\x01\x00\xFFhariko", 9);

UINT Format(const wchar_t* name) { return RegisterClipboardFormatW(name); }
const UINT kOwnFormat = Format(L"HarikoE2E.Private");

// The user's clipboard: a link as text and a format only the test knows.
bool PutUserClipboard() {
    const std::string link(reinterpret_cast<const char*>(kLink.c_str()), (kLink.size() + 1) * sizeof(wchar_t));
    if (!OpenClipboard(nullptr)) return false;
    bool ok = EmptyClipboard();
    for (const auto& [id, bytes] : {std::pair{UINT(CF_UNICODETEXT), link}, std::pair{kOwnFormat, kOwnBytes}}) {
        HGLOBAL m = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
        if (void* p = m ? GlobalLock(m) : nullptr) memcpy(p, bytes.data(), bytes.size()), GlobalUnlock(m);
        ok = ok && m && SetClipboardData(id, m);
    }
    return CloseClipboard() && ok;
}

std::optional<std::string> ClipboardBytes(UINT id) {
    std::optional<std::string> out;
    if (!OpenClipboard(nullptr)) return out;
    if (HANDLE h = GetClipboardData(id))
        if (auto* p = static_cast<const char*>(GlobalLock(h))) out = std::string(p, GlobalSize(h)), GlobalUnlock(h);
    CloseClipboard();
    return out;
}

// The marks the clipboard carries, with their first four bytes.
std::wstring Marks() {
    std::wstring seen;
    for (const wchar_t* name : {L"ExcludeClipboardContentFromMonitorProcessing", L"CanIncludeInClipboardHistory",
                                L"CanUploadToCloudClipboard"})
        if (auto v = ClipboardBytes(Format(name))) seen += std::wstring(name) + L"=" + Hex(v->substr(0, 4)) + L" ";
    return seen;
}

// Reads the clipboard's text at every change, from a thread (and window) of its own.
class ClipboardReader {
public:
    ClipboardReader() : thread_([this] { Run(); }) { WaitFor([this] { return ready_.load(); }, 3000); }
    ~ClipboardReader() { Stop(); }
    // What it read at each change.
    std::wstring Stop() {
        if (thread_.joinable()) PostThreadMessageW(threadId_, WM_QUIT, 0, 0), thread_.join();
        return ready_ ? seen_ : L"(nothing: the reader could not listen)";
    }

    bool Listened() const { return ready_; }

private:
    void Run() {
        threadId_ = GetCurrentThreadId();
        HWND w = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
        ready_ = w && AddClipboardFormatListener(w);
        for (MSG msg; ready_ && GetMessageW(&msg, nullptr, 0, 0) > 0;) {
            if (msg.message != WM_CLIPBOARDUPDATE || !OpenClipboard(w)) continue;
            HANDLE h = GetClipboardData(CF_UNICODETEXT);
            auto* p = h ? static_cast<const wchar_t*>(GlobalLock(h)) : nullptr;
            seen_ += (seen_.empty() ? L"" : L" | ") + (p ? Quote(p) : L"(nothing)");
            if (p) GlobalUnlock(h);
            CloseClipboard();
        }
        if (w) DestroyWindow(w);
    }
    std::atomic<bool> ready_{false};
    std::atomic<DWORD> threadId_{0};
    std::wstring seen_;
    std::thread thread_;
};

// ---- 70 -----------------------------------------------------------------------------------

void ClipboardAsLeft(Report& rep, const std::wstring& exe) {
    if (!PrepareInitialised(rep, exe)) return;
    Hariko h(exe);
    const bool written = WriteFileBytes(h.DataFile(L"MyData_1.dat"), Records({{L"氏名", kAoki}, {L"住所", kAddress}})) &&
                         WriteFileBytes(h.DataFile(L"MyData_2.dat"),
                                        Rc4(Records({{L"口座", kAccount}, {L"メモ", L"控え"}}), L"47290315").value_or("")) &&
                         h.SetSetting(L"PassMode", L"1");
    if (!rep.Check(written, L"set-up: Public 氏名 and a two-line 住所, Private 口座 with its password off")) return;
    Notepad np;
    std::wstring why;
    if (!rep.Check(np.Start(0, 0, 500, 400, &why), L"notepad starts at the left", why) || !StartReady(rep, h)) return;

    // Unticked, as by default: the entry stays on the clipboard; Private's carries the marks.
    h.Menu(panel_ids::kPrivate);
    if (PasteAndSee(rep, h, np, L"Private", kAccount, L"口座"))
        rep.Check(Marks() == L"ExcludeClipboardContentFromMonitorProcessing=00 00 00 00 CanIncludeInClipboardHistory="
                             L"00 00 00 00 CanUploadToCloudClipboard=00 00 00 00 " && ClipboardText() == kAccount,
                  L"Private's text on the clipboard carries the three marks", Marks());
    h.Menu(panel_ids::kPublic);
    if (PasteAndSee(rep, h, np, L"Public", kAoki, L"氏名"))
        rep.Check(Marks().empty() && ClipboardText() == kAoki, L"Public's text carries none of them", Marks());

    h.Menu(panel_ids::kClipRestore);
    CloseProgram(rep, h);
    rep.Check(h.Setting(L"ClipRestore") == std::wstring(L"1"), L"ｸﾘｯﾌﾟﾎﾞｰﾄﾞを元に戻す ticked: closing stores ClipRestore = \"1\"",
              SettingText(h.Setting(L"ClipRestore")));
    // The next start reads it: the paste gives the user's clipboard back.
    if (!StartReady(rep, h) || !rep.Check(PutUserClipboard(), L"the user's clipboard: a link and a format of the test's own"))
        return;
    {
        ClipboardReader reader;  // reads the clipboard at every change
        PasteAndSee(rep, h, np, L"restoring, with the reader at work", kAoki, L"氏名");
        auto own = ClipboardBytes(kOwnFormat);
        rep.Check(WaitFor([&] { return ClipboardText() == kLink && (own = ClipboardBytes(kOwnFormat)) == kOwnBytes; }, 5000),
                  L"the link and the test's own format come back after the paste",
                  Quote(ClipboardText().value_or(L"(no text)")) + L", own format " + (own ? Hex(*own) : L"missing"));
        const std::wstring seen = reader.Stop();
        rep.Check(reader.Listened() && !seen.empty(), L"the reader read the clipboard at its changes meanwhile",
                  L"it read: " + seen);
    }
    const DWORD seq = GetClipboardSequenceNumber();
    PasteAndSee(rep, h, np, L"Shift+click types", kAddress, L"住所", true);
    rep.Check(GetClipboardSequenceNumber() == seq, L"Shift+click leaves the clipboard's sequence number as it was",
              std::to_wstring(seq) + L" -> " + std::to_wstring(GetClipboardSequenceNumber()));
    CloseProgram(rep, h);
    h.WipeState();  // the entries and settings of this scenario go with it
}

// ---- 71 -----------------------------------------------------------------------------------

// The first click after the start activates the panel with Shift held; then an empty clipboard,
// and one whose owner never answers when asked for its text.
void SilentOwner(Report& rep, const std::wstring& exe) {
    Hariko h(exe);
    Notepad np;
    std::wstring why, got;
    if (!PrepareInitialised(rep, exe) ||
        !rep.Check(WriteFileBytes(h.DataFile(L"MyData_1.dat"),
                                  Records({{L"氏名", kAoki}, {L"住所", kAddress}, {L"控え", L"控え:{クリップボード}"}})) &&
                       h.SetSetting(L"ClipRestore", L"1") && h.SetSetting(L"InsertFields", L"1") &&
                       np.Start(0, 0, 500, 400, &why),
                   L"set-up: 氏名, 住所 and a field, ｸﾘｯﾌﾟﾎﾞｰﾄﾞを元に戻す and 差し込みを使う ticked, notepad at the left", why) ||
        !StartReady(rep, h))
        return;
    const std::wstring want = HandleDecimal(np.window());
    auto aim = [&](const wchar_t* caption) {
        np.SetText(L"");
        HWND b = nullptr;
        rep.Check(np.ClickInto(&why) && WaitFor([&] { return h.TargetField() == want; }, 3000) &&
                      WaitFor([&] { return (b = h.EntryButton(caption)) != nullptr; }, 5000),
                  L"notepad in front as the target, the entry button shown", why + Captions(h));
        return b;
    };
    // On the button's left part, clear of where resting brings the panel forward; Shift goes
    // down once the pointer rests there (Wine takes the modifiers from X as it enters).
    const RECT panel = RectOf(h.main()), r = RectOf(aim(L"住所"));
    SetCursorPos(std::min((r.left + r.right) / 2, panel.left + 60), (r.top + r.bottom) / 2);
    Pause(300);
    const DWORD seq = GetClipboardSequenceNumber();
    const bool notepadInFront = GetForegroundWindow() == np.window();
    const BYTE scan = static_cast<BYTE>(MapVirtualKeyW(VK_SHIFT, MAPVK_VK_TO_VSC));
    keybd_event(VK_SHIFT, scan, 0, 0);
    for (DWORD button : {MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP}) Pause(60), mouse_event(button, 0, 0, 0, 0);
    Pause(300);
    keybd_event(VK_SHIFT, scan, KEYEVENTF_KEYUP, 0);
    const bool typed = notepadInFront && WaitFor([&] { return (got = np.Text()) == kAddress; }, 5000);
    rep.Check(typed && GetClipboardSequenceNumber() == seq,
              L"the very first click, with Shift held, activates the panel and types 住所, the clipboard untouched",
              Quote(got) + L", clipboard changes " + std::to_wstring(GetClipboardSequenceNumber() - seq));

    // Wine's emptying of the clipboard waits 5 s for an old owner's answer, ticked or not.
    auto paste = [&](const std::wstring& label, const wchar_t* caption = L"氏名", const std::wstring& want = kAoki) {
        const bool clicked = ClickCentre(aim(caption), &why);
        const DWORD start = GetTickCount();
        const bool pasted = clicked && WaitFor([&] { return (got = np.Text()) == want; }, 15000);
        rep.Check(pasted, label + L": the paste goes on, notepad holds " + want,
                  Quote(got) + L" after " + std::to_wstring(GetTickCount() - start) + L" ms" + OpenBoxes(h));
    };
    if (OpenClipboard(nullptr)) EmptyClipboard(), CloseClipboard();
    paste(L"over an empty clipboard");
    const bool empty = WaitFor([] { return CountClipboardFormats() == 0; }, 5000);
    rep.Check(empty, L"the empty clipboard comes back empty", std::to_wstring(CountClipboardFormats()) + L" formats");

    Process owner;  // built beside the program
    const UINT silent = Format(L"HarikoE2E.Silent");
    DWORD pid = 0;
    if (!rep.Check(owner.Start(exe.substr(0, exe.find_last_of(L"\\/") + 1) + L"e2e_silent_owner.exe") && WaitFor([&] {
                       GetWindowThreadProcessId(GetClipboardOwner(), &pid);
                       return pid == owner.pid() && IsClipboardFormatAvailable(silent);
                   }, 5000), L"a program that never answers a request for its text owns the clipboard"))
        return;
    paste(L"over the silent program's clipboard");
    const bool restored = WaitFor([&] {
        return !IsClipboardFormatAvailable(CF_UNICODETEXT) && ClipboardBytes(silent) == std::string("silent");
    }, 5000);
    rep.Check(restored && owner.Running(), L"its own format comes back; the text it never gave is left out");
    owner.Kill();
    // The field's read is bounded like the save: the field stays empty, nothing hangs.
    if (owner.Start(exe.substr(0, exe.find_last_of(L"\\/") + 1) + L"e2e_silent_owner.exe") &&
        WaitFor([&] { return IsClipboardFormatAvailable(silent); }, 5000))
        paste(L"{クリップボード} from the silent program", L"控え", L"控え:");
    owner.Kill();
    CloseProgram(rep, h);
    h.WipeState();
}

}  // namespace

void FieldsFillIn(Report& rep, const std::wstring& exe);  // e2e_fields.cpp

const std::vector<Scenario>& ClipboardScenarios() {
    static const std::vector<Scenario> all = {
        {70, L"70. restore after pasting with a clipboard reader at work; Private marked; Shift+click types", ClipboardAsLeft},
        {71, L"71. a Shift+click as the very first click types; an empty clipboard; an owner that never answers", SilentOwner},
        {76, L"76. 差し込みを使う: 和暦, 曜日 and the caret; the clipboard; unticked, the text as stored", FieldsFillIn},
    };
    return all;
}

}  // namespace e2e
