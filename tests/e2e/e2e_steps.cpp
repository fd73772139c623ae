#include "e2e_steps.h"

#include "e2e_desktop.h"
#include "panel/panel_ids.h"

namespace e2e {

int PanelHeightTwips(int rows, bool keyRow) { return rows * 280 + (keyRow ? 1890 : 1585); }

std::wstring Quote(const std::wstring& s) { return L"\"" + Shown(s) + L"\""; }

bool Stored(const Hariko& h, const std::wstring& key, const std::wstring& value, int ms) {
    return WaitFor([&] { return h.Setting(key) == value; }, ms);
}

std::wstring SettingText(const std::optional<std::wstring>& v) {
    return v ? Quote(*v) : L"(missing)";
}

std::wstring OpenBoxes(const Hariko& h) {
    std::wstring s;
    for (const MessageBoxSeen& b : MessageBoxesOf(h.pid()))
        s += L"; open box \"" + b.title + L"\": " + Shown(b.text);
    return s;
}

void DismissBoxes(Report& rep, const Hariko& h) {
    for (const MessageBoxSeen& b : MessageBoxesOf(h.pid())) {
        rep.Note(L"closing a box left open: \"" + b.title + L"\": " + Shown(b.text));
        AnswerMessageBox(b, b.buttons.empty() ? IDOK : b.buttons.front());
    }
}

// Under Wine a menu belongs to its process: GetMenuState from outside gives -1. Where the
// marks can be read they are checked; elsewhere the scenarios judge the mode and the data
// set by what they change (buttons shown, window height, files, stored settings).
void CheckTick(Report& rep, const Hariko& h, int id, bool expected, const std::wstring& what) {
    static bool noted = false;
    UINT state = GetMenuState(GetMenu(h.main()), static_cast<UINT>(id), MF_BYCOMMAND);
    if (state == static_cast<UINT>(-1)) {
        if (!noted)
            rep.Note(L"the panel's menu cannot be read from another process here (GetMenuState "
                     L"gives -1); check marks are judged by the buttons, heights, files and "
                     L"settings they govern");
        noted = true;
        return;
    }
    bool ticked = (state & MF_CHECKED) != 0;
    rep.Check(ticked == expected, what, ticked ? L"ticked" : L"not ticked");
}

bool Visible(const Hariko& h, int id) {
    HWND c = h.Control(id);
    return c && IsWindowVisible(c);
}

int ShownKeyRow(const Hariko& h) {
    bool c5 = Visible(h, panel_ids::kBtnPrev), c6 = Visible(h, panel_ids::kBtnNext),
         c7 = Visible(h, panel_ids::kBtnNewLine);
    if (!c5 && !c6 && !c7) return 0;
    if (c5 && c6 && !c7) return 1;
    if (!c5 && !c6 && c7) return 2;
    return -1;
}

std::wstring KeyRowText(const Hariko& h) {
    return std::wstring(L"前へ ") + (Visible(h, panel_ids::kBtnPrev) ? L"shown" : L"hidden") +
           L", 次へ " + (Visible(h, panel_ids::kBtnNext) ? L"shown" : L"hidden") + L", 改行 " +
           (Visible(h, panel_ids::kBtnNewLine) ? L"shown" : L"hidden") + L"; panel " +
           RectText(RectOf(h.main()));
}

std::wstring Captions(const Hariko& h) {
    std::wstring s;
    int n = 0;
    for (HWND b : h.VisibleEntryButtons()) {
        if (n++ == 4) break;
        s += (s.empty() ? L"buttons: " : L", ") + Quote(TextOf(b));
    }
    return s;
}

int OuterHeight(HWND h) {
    RECT r = RectOf(h);
    return r.bottom - r.top;
}
int OuterWidth(HWND h) {
    RECT r = RectOf(h);
    return r.right - r.left;
}

// The stored position is dropped so the panel comes up centred, clear of notepad.
bool PrepareInitialised(Report& rep, const std::wstring& exe) {
    Hariko h(exe);
    auto is = [&](const wchar_t* k, const wchar_t* v) { return h.Setting(k) == std::wstring(v); };
    bool clean = is(L"Type", L"1") && is(L"Mode", L"0") && is(L"PassMode", L"0") &&
                 is(L"Number1", L"25") && is(L"Number2", L"25") && is(L"Number3", L"25") && !is(L"SealedPrivate", L"1") &&
                 FileExists(h.DataFile(L"MyData_1.dat")) && FileExists(h.DataFile(L"MyData_2.dat")) &&
                 !FileExists(h.DataFile(L"MyData_2_2.dat")) && !FileExists(h.ShortcutPath());
    if (!clean) {
        h.WipeState();
        auto s = h.Start(IDNO);
        if (!s.ready) return rep.Check(false, L"set-up: a first start of the program", s.why);
        std::wstring why;
        if (!h.Close(&why)) return rep.Check(false, L"set-up: closing the program", why);
    }
    DeleteUserValue(h.SettingsKey(), L"Left");
    DeleteUserValue(h.SettingsKey(), L"Top");
    return true;
}

bool StartReady(Report& rep, Hariko& h) {
    auto s = h.Start(IDNO);
    if (s.welcome) rep.Note(L"the welcome box appeared although the program had run before");
    return rep.Check(s.ready, L"the program starts and its panel is ready", s.ready ? L"" : s.why);
}

void CloseProgram(Report& rep, Hariko& h) {
    DismissBoxes(rep, h);
    std::wstring why;
    rep.Check(h.Close(&why), L"the program ends after WM_CLOSE", why);
}

void Screenshot(Report& rep, const std::wstring& name) {
    wchar_t dir[MAX_PATH] = {};
    if (!GetEnvironmentVariableW(L"E2E_SHOTS", dir, MAX_PATH)) return;
    const std::wstring path = std::wstring(dir) + L"\\" + name + L".bmp";
    rep.Note(SaveScreenshot(path) ? L"screenshot " + path : L"no screenshot could be saved at " + path);
}

}  // namespace e2e
