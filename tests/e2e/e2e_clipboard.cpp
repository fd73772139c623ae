// The clipboard as the user left it, walked through with notepad as the target and a
// clipboard reader of the driver's own that reads at every change, as clipboard history does.
#include "e2e_clipboard.h"

#include <mutex>
#include <string>
#include <thread>

#include "e2e_desktop.h"
#include "e2e_hariko.h"
#include "e2e_steps.h"
#include "panel/form1_ids.h"

namespace e2e {
namespace {

const std::wstring kAoki = L"青木　純", kAddress = L"〒100-0001\r\n東京都千代田区";
const std::wstring kAccount = L"若葉銀行　本店 1234567";
const std::wstring kUserText = L"https://example.jp/予約?id=42";
const std::string kUserBytes = std::string("\x01\x00\xFFhariko", 9);
const wchar_t* const kMarks[] = {L"ExcludeClipboardContentFromMonitorProcessing",
                                 L"CanIncludeInClipboardHistory", L"CanUploadToCloudClipboard"};

std::string Records(const std::vector<std::pair<std::wstring, std::wstring>>& rows) {
    std::string s;
    for (const auto& [caption, text] : rows) s += "\"" + Cp932(caption) + "\",\"" + Cp932(text) + "\",\"&HFFFFFF\"\r\n";
    return s;
}

UINT OwnFormat() { return RegisterClipboardFormatW(L"HarikoE2E.Private"); }

// The user's clipboard: a link as text and a format only the test knows.
bool PutUserClipboard() {
    if (!OpenClipboard(nullptr)) return false;
    EmptyClipboard();
    bool ok = true;
    for (auto [id, bytes] : {std::pair{UINT(CF_UNICODETEXT), std::string(reinterpret_cast<const char*>(kUserText.c_str()),
                                                                         (kUserText.size() + 1) * 2)},
                             std::pair{OwnFormat(), kUserBytes}}) {
        HGLOBAL m = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
        if (void* p = m ? GlobalLock(m) : nullptr) {
            memcpy(p, bytes.data(), bytes.size());
            GlobalUnlock(m);
        }
        ok = ok && m && SetClipboardData(id, m);
    }
    CloseClipboard();
    return ok;
}

std::optional<std::string> ClipboardBytes(UINT id) {
    std::optional<std::string> out;
    if (!OpenClipboard(nullptr)) return out;
    if (HANDLE h = GetClipboardData(id)) {
        if (auto* p = static_cast<const char*>(GlobalLock(h))) {
            out = std::string(p, GlobalSize(h));
            GlobalUnlock(h);
        }
    }
    CloseClipboard();
    return out;
}

// Which of the three marks the clipboard carries, and whether the two counted ones hold 0.
std::wstring MarksOnClipboard() {
    std::wstring seen;
    for (const wchar_t* name : kMarks) {
        auto v = ClipboardBytes(RegisterClipboardFormatW(name));
        if (!v) continue;
        const bool zero = v->size() >= 4 && v->compare(0, 4, std::string(4, '\0')) == 0;
        seen += std::wstring(seen.empty() ? L"" : L", ") + name + (zero ? L"=0" : L"=?");
    }
    return seen;
}

// Reads the clipboard's text at every change, from a thread of its own.
class ClipboardReader {
public:
    ClipboardReader() {
        thread_ = std::thread([this] { Run(); });
        WaitFor([this] { return Ready(); }, 3000);
    }
    ~ClipboardReader() {
        if (window_) PostMessageW(window_, WM_CLOSE, 0, 0);
        thread_.join();
    }
    bool Ready() {
        std::lock_guard<std::mutex> l(m_);
        return window_ != nullptr;
    }
    std::wstring Seen() {
        std::lock_guard<std::mutex> l(m_);
        return seen_;
    }

private:
    void Run() {
        HWND w = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
        if (!w || !AddClipboardFormatListener(w)) return;
        {
            std::lock_guard<std::mutex> l(m_);
            window_ = w;
        }
        MSG msg;
        while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
            if (msg.message == WM_CLOSE) break;
            if (msg.message != WM_CLIPBOARDUPDATE) {
                DispatchMessageW(&msg);
                continue;
            }
            std::wstring got = L"(nothing)";
            if (OpenClipboard(w)) {
                if (HANDLE h = GetClipboardData(CF_UNICODETEXT))
                    if (auto* p = static_cast<const wchar_t*>(GlobalLock(h))) got = Quote(p), GlobalUnlock(h);
                CloseClipboard();
            }
            std::lock_guard<std::mutex> l(m_);
            seen_ += (seen_.empty() ? L"" : L" | ") + got;
        }
        RemoveClipboardFormatListener(w);
        DestroyWindow(w);
    }

    std::thread thread_;
    std::mutex m_;
    HWND window_ = nullptr;
    std::wstring seen_;
};

// A click with Shift held. Wine takes the modifier keys from X whenever the pointer enters a
// window or the focus moves, which would drop a Shift pressed by keybd_event: the pointer
// first rests on the panel's top strip, which brings it forward (a click there could make
// the desktop the target for a moment), then on the button, and only then Shift goes down.
bool ShiftClick(const Hariko& h, HWND button, std::wstring* why) {
    const RECT panel = RectOf(h.main()), r = RectOf(button);
    SetCursorPos(panel.left + 60, panel.top + 10);
    if (!WaitFor([&] { return GetForegroundWindow() == h.main(); }, 3000)) {
        *why = L"the panel did not come forward under the pointer";
        return false;
    }
    SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    Pause(300);
    const BYTE scan = static_cast<BYTE>(MapVirtualKeyW(VK_SHIFT, MAPVK_VK_TO_VSC));
    keybd_event(VK_SHIFT, scan, 0, 0);
    Pause(60);
    mouse_event(MOUSEEVENTF_LEFTDOWN, 0, 0, 0, 0);
    Pause(60);
    mouse_event(MOUSEEVENTF_LEFTUP, 0, 0, 0, 0);
    Pause(300);  // still held after the click: the typing waits for it
    keybd_event(VK_SHIFT, scan, KEYEVENTF_KEYUP, 0);
    return true;
}

// Notepad to the front and taken as the target, then a click on the entry (Shift held when
// `typed`), and what notepad then holds.
bool ClickEntry(Report& rep, Hariko& h, Notepad& np, const std::wstring& caption, const std::wstring& expected,
                const std::wstring& label, bool typed = false) {
    np.SetText(L"");
    std::wstring why;
    if (!rep.Check(np.ClickInto(&why), label + L": notepad is in front", why)) return false;
    const std::wstring want = HandleDecimal(np.window());
    if (!rep.Check(WaitFor([&] { return h.TargetField() == want; }, 3000), label + L": notepad is the target"))
        return false;
    HWND b = nullptr;
    if (!rep.Check(WaitFor([&] { return (b = h.EntryButton(caption)) != nullptr; }, 5000),
                   label + L": the button " + Quote(caption) + L" is shown", Captions(h)))
        return false;
    const bool clicked = typed ? ShiftClick(h, b, &why) : ClickCentre(b, &why);
    if (!rep.Check(clicked, label + L": a click on " + Quote(caption), why)) return false;
    std::wstring got;
    if (WaitFor([&] { return (got = np.Text()) == expected; }, 5000)) {
        Pause(400);  // nothing more may follow
        got = np.Text();
    }
    return rep.Check(got == expected, label + L": notepad holds exactly " + Quote(expected),
                     L"notepad holds " + Quote(got) + OpenBoxes(h));
}

// ---- 60 -----------------------------------------------------------------------------------

void ClipboardAsLeft(Report& rep, const std::wstring& exe) {
    if (!PrepareInitialised(rep, exe)) return;
    Hariko h(exe);
    // Public with a two-line address; Private with an account, readable without a password.
    const bool written =
        WriteFileBytes(h.DataFile(L"MyData_1.dat"), Records({{L"氏名", kAoki}, {L"住所", kAddress}})) &&
        WriteFileBytes(h.DataFile(L"MyData_2.dat"),
                       Rc4(Records({{L"口座", kAccount}, {L"メモ", L"控え"}}), L"47290315").value_or("")) &&
        h.SetSetting(L"PassMode", L"1");
    if (!rep.Check(written, L"set-up: Public with 氏名 and 住所, Private with 口座, its password off")) return;
    Notepad np;
    std::wstring why;
    if (!rep.Check(np.Start(0, 0, 500, 400, &why), L"notepad starts at the left", why) || !StartReady(rep, h)) return;

    // Unticked (as by default): the entry stays on the clipboard; Private's carries the marks.
    h.Menu(form1::kType2);
    if (ClickEntry(rep, h, np, L"口座", kAccount, L"Private"))
        rep.Check(MarksOnClipboard() == L"ExcludeClipboardContentFromMonitorProcessing=0, "
                                        L"CanIncludeInClipboardHistory=0, CanUploadToCloudClipboard=0" &&
                      ClipboardText() == kAccount,
                  L"Private's text on the clipboard carries the three marks", MarksOnClipboard());
    h.Menu(form1::kType1);
    if (ClickEntry(rep, h, np, L"氏名", kAoki, L"Public"))
        rep.Check(MarksOnClipboard().empty() && ClipboardText() == kAoki, L"Public's text carries none of them",
                  MarksOnClipboard());

    // Ticked, and read back by the next start.
    h.Menu(form1::kClipRestore);
    CheckTick(rep, h, form1::kClipRestore, true, L"ｸﾘｯﾌﾟﾎﾞｰﾄﾞを元に戻す is ticked");
    CloseProgram(rep, h);
    rep.Check(h.Setting(L"ClipRestore") == std::wstring(L"1"), L"closing stores ClipRestore = \"1\"",
              SettingText(h.Setting(L"ClipRestore")));
    if (!StartReady(rep, h)) return;

    if (rep.Check(PutUserClipboard(), L"the user's clipboard: a link and a format of the test's own")) {
        ClipboardReader reader;
        rep.Check(reader.Ready(), L"a clipboard reader reads the clipboard at every change");
        ClickEntry(rep, h, np, L"氏名", kAoki, L"restore ticked, a reader at work");
        const bool back = WaitFor([&] {
            return ClipboardText() == kUserText && ClipboardBytes(OwnFormat()) == kUserBytes;
        }, 5000);
        auto own = ClipboardBytes(OwnFormat());
        rep.Check(back, L"the link and the test's own format come back after the paste",
                  L"text " + (ClipboardText() ? Quote(*ClipboardText()) : L"none") + L", own format " +
                      (own ? Hex(*own) : L"missing"));
        Pause(300);
        rep.Note(L"the reader saw: " + reader.Seen());
    }

    // Shift+click types: the clipboard is not touched.
    const DWORD seq = GetClipboardSequenceNumber();
    ClickEntry(rep, h, np, L"住所", kAddress, L"Shift+click", true);
    rep.Check(GetClipboardSequenceNumber() == seq, L"Shift+click leaves the clipboard's sequence number as it was",
              std::to_wstring(seq) + L" -> " + std::to_wstring(GetClipboardSequenceNumber()));
    CloseProgram(rep, h);
    np.Close();
    h.WipeState();  // the entries and settings of this scenario go with it
}

}  // namespace

const std::vector<Scenario>& ClipboardScenarios() {
    static const std::vector<Scenario> all = {
        {60, L"60. restore after pasting with a clipboard reader at work; Private marked; Shift+click types", ClipboardAsLeft},
    };
    return all;
}

}  // namespace e2e
