#include "e2e_hariko.h"

#include "e2e_report.h"
#include "panel/panel_ids.h"

namespace e2e {

namespace {
const wchar_t kSettingsRoot[] = L"Software\\VB and VBA Program Settings\\";
const wchar_t kPanelClass[] = L"HarikoForm";
const wchar_t kEditorButtonCaption[] = L"設  定 / 編  集";
const wchar_t kWelcomeTitle[] = L"ようこそ!";

bool PlainName(const std::wstring& n) {
    return !n.empty() && n.find_first_of(L"\\/:*?\"<>|") == std::wstring::npos;
}
}  // namespace

std::wstring HandleDecimal(HWND h) {
    auto v = static_cast<int32_t>(static_cast<uint32_t>(reinterpret_cast<uintptr_t>(h)));
    return std::to_wstring(v);
}

Hariko::Hariko(std::wstring exePath) : exe_(std::move(exePath)) {
    size_t slash = exe_.find_last_of(L"\\/");
    name_ = slash == std::wstring::npos ? exe_ : exe_.substr(slash + 1);
    size_t dot = name_.find_last_of(L'.');
    if (dot != std::wstring::npos) name_.resize(dot);
}

std::wstring Hariko::DataDir() const { return WindowsDirectory() + L"\\Personal_Data\\" + name_; }

std::wstring Hariko::DataFile(const std::wstring& file) const { return DataDir() + L"\\" + file; }

std::wstring Hariko::SettingsKey() const { return kSettingsRoot + name_ + L"\\Startup"; }

std::wstring Hariko::AppSettingsKey() const { return kSettingsRoot + name_; }

std::optional<std::wstring> Hariko::Setting(const std::wstring& key) const {
    return ReadUserSetting(SettingsKey(), key);
}

bool Hariko::SetSetting(const std::wstring& key, const std::wstring& value) const {
    return WriteUserSetting(SettingsKey(), key, value);
}

std::wstring Hariko::ProgramDir() const {
    size_t slash = exe_.find_last_of(L"\\/");
    return slash == std::wstring::npos ? L"." : exe_.substr(0, slash);
}

std::wstring Hariko::BackupDir() const { return ProgramDir() + L"\\" + name_ + L"_BackupData"; }

std::wstring Hariko::ShortcutPath() const { return DesktopDirectory() + L"\\" + name_ + L".lnk"; }

void Hariko::WipeState() const {
    if (!PlainName(name_)) return;  // never anything but this program's own folder and key
    RemoveTree(DataDir());
    DeleteUserKey(kSettingsRoot + name_);
    DeleteFileW(ShortcutPath().c_str());
}

HWND Hariko::Control(int id) const { return main_ ? DescendantById(main_, id) : nullptr; }

std::vector<HWND> Hariko::VisibleEntryButtons() const {
    std::vector<HWND> out;
    if (!main_) return out;
    HWND frame2 = DescendantById(main_, panel_ids::kButtonColumn);
    if (!frame2) return out;
    for (HWND h : Descendants(frame2)) {
        int id = GetDlgCtrlID(h);
        if (id >= panel_ids::kFirstEntryButton && id < panel_ids::kFirstEntryButton + 1000 && IsWindowVisible(h))
            out.push_back(h);
    }
    return out;
}

HWND Hariko::EntryButton(const std::wstring& caption) const {
    for (HWND h : VisibleEntryButtons())
        if (TextOf(h) == caption) return h;
    return nullptr;
}

std::wstring Hariko::TargetField() const { return TextOf(Control(panel_ids::kEditTargetWindow)); }

void Hariko::Menu(int id) const { PostMessageW(main_, WM_COMMAND, MAKEWPARAM(id, 0), 0); }

bool Hariko::MenuDone(int id, int ms) const {
    DWORD_PTR r = 0;
    return SendMessageTimeoutW(main_, WM_COMMAND, MAKEWPARAM(id, 0), 0, SMTO_NORMAL, static_cast<UINT>(ms), &r) != 0;
}

std::wstring Hariko::FrontField() const { return TextOf(Control(panel_ids::kEditFrontWindow)); }

std::vector<HWND> Hariko::OtherWindows() const {
    std::vector<HWND> out;
    for (HWND w : TopWindows(L"", pid()))
        if (w != main_) out.push_back(w);
    return out;
}

HWND Hariko::WindowCaptioned(const std::wstring& caption) const {
    for (HWND w : OtherWindows())
        if (TextOf(w) == caption) return w;
    return nullptr;
}

std::wstring Hariko::WindowList() const {
    std::wstring s;
    for (HWND w : TopWindows(L"", pid()))
        s += (s.empty() ? L"" : L"; ") + ClassOf(w) + L" \"" + TextOf(w) + L"\"" +
             (IsWindowEnabled(w) ? L"" : L" (disabled)");
    return s.empty() ? L"no windows" : s;
}

bool Hariko::Ready() const {
    if (!main_ || !IsWindowVisible(main_)) return false;
    HWND c2 = Control(panel_ids::kBtnEdit);
    if (!c2 || !IsWindowVisible(c2) || TextOf(c2) != kEditorButtonCaption) return false;
    HWND first = Control(panel_ids::kFirstEntryButton);
    return first && IsWindowVisible(first) && Control(panel_ids::kEditTargetWindow) != nullptr;
}

Hariko::Started Hariko::Start(int welcomeAnswer, int ms, const BoxHandler& onBox) {
    Started result;
    main_ = nullptr;
    if (!proc_.Start(exe_)) {
        result.why = L"could not start " + exe_ + L" (error " + std::to_wstring(GetLastError()) + L")";
        return result;
    }
    const DWORD pid = proc_.pid();
    bool ok = WaitFor([&] {
        if (!proc_.Running()) {
            result.why = L"the process ended (exit code " + std::to_wstring(proc_.ExitCode()) +
                         L") before its panel was ready";
            return true;
        }
        for (const MessageBoxSeen& box : MessageBoxesOf(pid)) {
            if (box.title == kWelcomeTitle && !result.welcome) {
                Pause(150);  // let the box finish drawing its texts
                result.welcome = FindMessageBox(kWelcomeTitle, pid);
                if (result.welcome) AnswerMessageBox(*result.welcome, welcomeAnswer);
                continue;
            }
            if (box.title == kWelcomeTitle) continue;
            if (onBox) {
                Pause(150);  // as above: the texts come a moment after the box
                auto now = FindMessageBox(box.title, pid);
                if (!now) continue;
                if (onBox(*now)) {
                    result.boxes.push_back(*now);
                    continue;
                }
            }
            result.why = L"unexpected message box \"" + box.title + L"\": " + Shown(box.text);
            return true;
        }
        // The panel is the window of its class captioned with the executable name; the
        // program's dialogs share the class.
        main_ = nullptr;
        for (HWND w : TopWindows(kPanelClass, pid))
            if (TextOf(w) == name_) main_ = w;
        return Ready();
    }, ms);
    result.ready = ok && Ready();
    if (result.ready) {
        // The panel's first activation (it trims the frame, then reloads and lays out again)
        // runs just after the panel shows, and it lets messages run on the way: a close or
        // a resize arriving in that moment is taken half-way. A person never acts that fast.
        WaitFor([&] { return (GetWindowLongPtrW(main_, GWL_STYLE) & WS_MINIMIZEBOX) == 0; }, 3000);
        Pause(250);
    }
    if (!ok) result.why = L"no ready panel within " + std::to_wstring(ms / 1000) + L" s";
    return result;
}

bool Hariko::Close(std::wstring* why) {
    if (!proc_.Running()) {
        proc_.Kill();
        main_ = nullptr;
        return true;
    }
    if (main_) PostMessageW(main_, WM_CLOSE, 0, 0);
    bool ended = proc_.WaitExit(20000);
    if (!ended) {
        if (why) {
            *why = L"still running 20 s after WM_CLOSE";
            for (const MessageBoxSeen& b : MessageBoxesOf(proc_.pid()))
                *why += L"; box \"" + b.title + L"\": " + Shown(b.text);
        }
        proc_.Kill();
    }
    main_ = nullptr;
    return ended;
}

}  // namespace e2e
