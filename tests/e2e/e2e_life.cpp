// Scenarios of a whole life of the program: what it leaves on the desktop, on disk and in
// the settings from the first start to the uninstall, and what it shows on the way.
#include "e2e_life.h"

#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "e2e_about.h"
#include "e2e_desktop.h"
#include "e2e_editor.h"
#include "e2e_hariko.h"
#include "e2e_report.h"
#include "e2e_scenarios.h"
#include "e2e_steps.h"
#include "panel/panel_ids.h"

namespace e2e {
namespace {

// The program's built-in key: the decimal digits of its constant.
const std::wstring kDefaultPassword = L"47290315";
// Where older versions kept the Private password (HKEY_LOCAL_MACHINE; the typo is theirs).
const std::wstring kLegacyRoot = L"SYSTEM\\Curent_Control";
const std::wstring kBlank = L"&HFFFFFF";

// The password dialog's controls.
enum PasswordControl {
    kLblPrompt = 4001, kEditPassword, kBtnVerify, kBtnRegister, kBtnConfirm, kChkSwitchOff, kLblSwitchOff
};

const std::wstring kShimei = L"氏名";

// ---- files as the program writes them ---------------------------------------------------

std::string Field(const std::wstring& s) { return "\"" + Cp932(s) + "\""; }

struct Row {
    std::wstring caption, text, colour;
};

std::string ThreeFields(const std::vector<Row>& rows) {
    std::string s;
    for (const Row& r : rows) s += Field(r.caption) + "," + Field(r.text) + "," + Field(r.colour) + "\r\n";
    return s;
}

// The format of versions before 2.0.1: caption and text only.
std::string TwoFields(const std::vector<Row>& rows) {
    std::string s;
    for (const Row& r : rows) s += Field(r.caption) + "," + Field(r.text) + "\r\n";
    return s;
}

std::vector<Row> Whitened(std::vector<Row> rows) {
    for (Row& r : rows) r.colour = kBlank;
    return rows;
}

std::string PasswordFilePlain(const std::wstring& password) { return Field(password) + "\r\n"; }

std::optional<std::string> Decrypted(const std::wstring& path, const std::wstring& password) {
    auto bytes = ReadFileBytes(path);
    return bytes ? Rc4(*bytes, password) : std::nullopt;
}

bool WriteEncrypted(const std::wstring& path, const std::string& plain, const std::wstring& password) {
    auto cipher = Rc4(plain, password);
    return cipher && WriteFileBytes(path, *cipher);
}

std::wstring BytesText(const std::optional<std::string>& b) {
    return b ? std::to_wstring(b->size()) + L" bytes: " + Hex(*b) : L"no file";
}

// Private entries of our own, so what is checked after every re-key is not blank.
const std::vector<Row>& OurPrivateRows() {
    static const std::vector<Row> rows = {
        {L"銀行", L"若葉銀行　本店 1234567", L"&HC0FFC0"},
        {L"会員番号", L"A-0042-ﾊﾘｺ", L"&HFFFFC0"},
        {L"メモ", L"合言葉は「さくら」", L"&HC0C0FF"},
        {L"", L"", kBlank},
        {L"", L"", kBlank},
    };
    return rows;
}

bool SameText(const std::wstring& a, const std::wstring& b) {
    return CompareStringOrdinal(a.c_str(), -1, b.c_str(), -1, TRUE) == CSTR_EQUAL;
}

// ---- the program's windows ---------------------------------------------------------------

std::wstring ButtonsOf(const MessageBoxSeen& box) {
    std::wstring s;
    for (int id : box.buttons) {
        const wchar_t* n = id == IDOK ? L"OK" : id == IDCANCEL ? L"Cancel" : id == IDYES ? L"Yes"
                         : id == IDNO ? L"No" : L"?";
        s += (s.empty() ? L"" : L"+") + std::wstring(n);
    }
    return s;
}

// A box as a person reads it: its title, its text and its buttons. (Its icon is drawn by
// the other process from a handle of its own; it cannot be compared from here.)
void CheckBox(Report& rep, const std::optional<MessageBoxSeen>& box, const std::wstring& title,
              const std::wstring& text, const std::wstring& buttons, const std::wstring& what) {
    if (!rep.Check(box.has_value(), what + L": the box \"" + title + L"\" appears")) return;
    rep.Check(box->title == title && box->text == text,
              what + L": its text reads " + Quote(text), Quote(box->text));
    rep.Check(ButtonsOf(*box) == buttons, what + L": buttons " + buttons, ButtonsOf(*box));
}

// Answers the boxes that have the titles given, with the buttons given.
Hariko::BoxHandler Answer(std::vector<std::pair<std::wstring, int>> answers) {
    return [answers](const MessageBoxSeen& box) {
        for (const auto& [title, button] : answers)
            if (box.title == title) return AnswerMessageBox(box, button);
        return false;
    };
}

// The box of that title that start-up showed, if any.
std::optional<MessageBoxSeen> Seen(const Hariko::Started& s, const std::wstring& title) {
    for (const MessageBoxSeen& b : s.boxes)
        if (b.title == title) return b;
    return std::nullopt;
}

// What the password dialog shows in one of its modes.
struct DialogLook {
    std::wstring caption, prompt;
    int button = 0;             // the one visible of verify, register, confirm
    std::wstring buttonCaption;
    bool checkBox = false;      // the switch-off box with "パスワードは無効にします。"
    bool masked = true;         // typed characters shown as "*"
    int heightTwips = 0;
    bool operator==(const DialogLook&) const = default;
};

DialogLook LookOf(HWND d) {
    DialogLook l;
    l.caption = TextOf(d);
    l.prompt = TextOf(DescendantById(d, kLblPrompt));
    int shown = 0;
    for (int id : {kBtnVerify, kBtnRegister, kBtnConfirm}) {
        HWND b = DescendantById(d, id);
        if (b && IsWindowVisible(b)) {
            ++shown;
            l.button = id;
            l.buttonCaption = TextOf(b);
        }
    }
    if (shown != 1) l.button = -shown;
    HWND check = DescendantById(d, kChkSwitchOff), label = DescendantById(d, kLblSwitchOff);
    l.checkBox = check && IsWindowVisible(check) && label && IsWindowVisible(label) &&
                 TextOf(label) == L"パスワードは無効にします。";
    DWORD_PTR mask = 0;
    SendMessageTimeoutW(DescendantById(d, kEditPassword), EM_GETPASSWORDCHAR, 0, 0, SMTO_ABORTIFHUNG, 2000, &mask);
    l.masked = mask == L'*';
    const int px = OuterHeight(d), dpi = DpiOf(d);
    l.heightTwips = MulDiv(px, 1440, dpi);
    return l;
}

std::wstring Describe(const DialogLook& l) {
    const wchar_t* names[] = {L"O K button", L"first 登 録 button", L"second 登 録 button"};
    std::wstring button = l.button >= kBtnVerify ? names[l.button - kBtnVerify] : std::to_wstring(-l.button) + L" buttons";
    return Quote(l.caption) + L", " + Quote(l.prompt) + L", " + button + L" " + Quote(l.buttonCaption) +
           (l.checkBox ? L", check box shown" : L", no check box") + (l.masked ? L", masked" : L", plain") +
           L", " + std::to_wstring(l.heightTwips) + L" twips high";
}

DialogLook Verify(const std::wstring& prompt) {
    return {L"パスワードの確認", prompt, kBtnVerify, L"O K", false, true, 2025};
}
DialogLook Change() {
    return {L"パスワードの変更", L"現在のパスワードを入力してください。", kBtnVerify, L"O K", false, true, 2025};
}
DialogLook Registration(const std::wstring& prompt) {
    return {L"パスワードの登録", prompt, kBtnRegister, L"登 録", true, false, 2415};
}
DialogLook Confirmation() {
    return {L"パスワードの再確認", L"確認のため、もう一度パスワードを入力してください。", kBtnConfirm, L"登 録",
            false, true, 2025};
}

// Waits for the dialog to look as expected (it changes a moment after a click or a key).
// The height is compared to the pixel, which twips cannot always be.
bool CheckLook(Report& rep, HWND d, const DialogLook& want, const std::wstring& what) {
    auto matches = [&](const DialogLook& a) {
        DialogLook b = want;
        b.heightTwips = a.heightTwips;
        return a == b && MulDiv(std::abs(a.heightTwips - want.heightTwips), DpiOf(d), 1440) <= 1;
    };
    DialogLook seen;
    bool ok = WaitFor([&] { return matches(seen = LookOf(d)); }, 4000);
    return rep.Check(ok, what + L": " + Describe(want), Describe(seen));
}

HWND WaitDialog(const Hariko& h, const std::wstring& caption, int ms = 6000) {
    HWND d = nullptr;
    WaitFor([&] { return (d = h.WindowCaptioned(caption)) != nullptr && DescendantById(d, kEditPassword) != nullptr; }, ms);
    return d;
}

int TextLength(HWND edit) {
    DWORD_PTR n = 0;
    SendMessageTimeoutW(edit, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 2000, &n);
    return static_cast<int>(n);
}

// Clicks into the password box and types on the keyboard, as a person would.
bool TypePassword(Report& rep, HWND d, const std::wstring& text, const std::wstring& what) {
    HWND edit = DescendantById(d, kEditPassword);
    std::wstring why;
    if (!ClickCentre(edit, &why)) return rep.Check(false, what + L": a click into the password box", why);
    if (!WaitFor([&] { return GetForegroundWindow() == d; }, 3000))
        return rep.Check(false, what + L": the dialog is in front", L"in front: " + TextOf(GetForegroundWindow()));
    const int before = TextLength(edit);
    if (!TypeKeys(text)) return rep.Check(false, what + L": " + Quote(text) + L" can be typed on this keyboard");
    bool arrived = WaitFor([&] { return TextLength(edit) == before + static_cast<int>(text.size()); }, 3000);
    return rep.Check(arrived, what + L": " + Quote(text) + L" typed into the password box",
                     std::to_wstring(TextLength(edit)) + L" characters in the box");
}

bool Click(Report& rep, HWND d, int id, const std::wstring& what) {
    std::wstring why;
    return rep.Check(ClickCentre(DescendantById(d, id), &why), what, why);
}

bool DialogGone(Report& rep, const Hariko& h, HWND d, const std::wstring& what) {
    bool gone = WaitFor([&] { return !IsWindow(d) && IsWindowEnabled(h.main()); }, 8000);
    return rep.Check(gone, what, h.WindowList() + OpenBoxes(h));
}

// The program's message box that says `words`, answered with `button`.
bool AnswerBox(Report& rep, const Hariko& h, const std::wstring& words, int button, const std::wstring& what) {
    std::optional<MessageBoxSeen> box;
    const bool seen = WaitFor([&] {
        box = FindMessageBox(h.name(), h.pid());
        return box && box->text.find(words) != std::wstring::npos;
    }, 15000);
    return rep.Check(seen && AnswerMessageBox(*box, button), what + L": the box that says " + Quote(words), OpenBoxes(h));
}

// ﾒﾆｭｰ > Privateを強い暗号で守る with no password: the warning (はい), registration (typed as
// `typed`), the password once more (lower case), the confirmation.
bool SealFromNoPassword(Report& rep, const Hariko& h, const std::wstring& typed, const std::wstring& password) {
    h.Menu(panel_ids::kSealPrivate);
    AnswerBox(rep, h, L"二度と読めなくなります", IDYES, L"before sealing");
    HWND d = WaitDialog(h, L"パスワードの登録");
    if (!rep.Check(d != nullptr, L"the item with no password opens \"パスワードの登録\"", h.WindowList())) return false;
    TypePassword(rep, d, typed, L"registration");
    PressKey(VK_RETURN);
    TypePassword(rep, d, typed, L"confirmation");
    Click(rep, d, kBtnConfirm, L"a click on 登 録");
    d = WaitDialog(h, L"パスワードの確認");
    if (!rep.Check(d != nullptr, L"asked once more: \"パスワードの確認\"", h.WindowList())) return false;
    TypePassword(rep, d, password, L"asked once more");
    Click(rep, d, kBtnVerify, L"asked once more: a click on O K");
    AnswerBox(rep, h, L"強い暗号で守りました", IDOK, L"sealed");
    return DialogGone(rep, h, d, L"asked once more: the dialog closes");
}

// Left and Top of 1500 twips: the panel at the left, clear of dialogs centred on the screen.
void PanelAtLeft(const Hariko& h) {
    h.SetSetting(L"Left", L"1500");
    h.SetSetting(L"Top", L"1500");
}

// ---- 11 -----------------------------------------------------------------------------------

const std::wstring kShortcutTitle = L"ショートカットの作成";
const std::wstring kWelcomeTitle = L"ようこそ!";

// A start renews the shortcut only after its panel shows: waited for.
void CheckShortcutTarget(Report& rep, const Hariko& h, const std::wstring& what) {
    std::optional<std::wstring> target;
    bool ok = WaitFor([&] { return (target = ShortcutTarget(h.ShortcutPath())) && SameText(*target, h.exe()); }, 10000);
    rep.Check(ok, what + L": the shortcut starts " + h.exe(),
              target ? L"target " + Quote(*target) : L"no readable shortcut at " + h.ShortcutPath());
}

void FirstStartWithShortcut(Report& rep, const std::wstring& exe) {
    Hariko h(exe);
    h.WipeState();
    const std::wstring lnk = h.ShortcutPath(), tail = L"\\Desktop\\" + h.name() + L".lnk";
    rep.Check(lnk.size() > 9 + tail.size() && SameText(lnk.substr(0, 9), L"C:\\users\\") &&
                  SameText(lnk.substr(lnk.size() - tail.size()), tail),
              L"the desktop folder lies in the prefix: " + lnk);

    auto s = h.Start(IDYES, 30000, Answer({{kShortcutTitle, IDOK}}));
    rep.Check(s.welcome && s.welcome->Has(IDYES) && s.welcome->Has(IDNO),
              L"first start: the welcome box asks whether to make a shortcut (Yes and No)",
              s.welcome ? Quote(s.welcome->text) : L"no welcome box");
    CheckBox(rep, Seen(s, kShortcutTitle), kShortcutTitle,
             L"「" + h.name() + L"」のショートカットを　　　\r\n\r\nデスクトップに作成しました。", L"OK",
             L"after Yes");
    if (!rep.Check(s.ready, L"the panel is ready after the boxes", s.why)) return;
    rep.Check(FileExists(lnk), L"the shortcut exists: " + lnk);
    CheckShortcutTarget(rep, h, L"after Yes");
    rep.Check(h.EntryButton(kShimei) != nullptr, L"Public is loaded (\"氏名\" is shown)", Captions(h));
    std::wstring rows;
    for (const wchar_t* k : {L"Number1", L"Number2", L"Number3"}) rows += SettingText(h.Setting(k)) + L" ";
    rep.Check(rows == L"\"25\" \"25\" \"25\" ", L"Number1..3 = \"25\"", rows);
    CloseProgram(rep, h);

    // A later start finds the shortcut and makes it anew, pointing at this exe.
    rep.Check(WriteShortcut(lnk, WindowsDirectory() + L"\\notepad.exe") &&
                  SameText(ShortcutTarget(lnk).value_or(L""), WindowsDirectory() + L"\\notepad.exe"),
              L"set-up: the shortcut now points at notepad.exe");
    s = h.Start(IDNO);
    rep.Check(!s.welcome, L"a later start shows no welcome box");
    if (rep.Check(s.ready, L"the program starts again", s.why)) {
        CheckShortcutTarget(rep, h, L"a later start");
        CloseProgram(rep, h);
    }

    // The very first start with a shortcut of the name already there: greeting only.
    h.WipeState();
    rep.Check(WriteShortcut(lnk, WindowsDirectory() + L"\\notepad.exe"),
              L"set-up: clean state, but a shortcut of the name already on the desktop");
    s = h.Start(IDOK);
    CheckBox(rep, s.welcome, kWelcomeTitle, L"はじめまして「" + h.name() + L"」です。　　　\r\n\r\nかわいがってください。",
             L"OK", L"first start with a shortcut present");
    if (rep.Check(s.ready, L"the panel is ready after OK", s.why)) {
        CheckShortcutTarget(rep, h, L"first start with a shortcut present");
        CloseProgram(rep, h);
    }
    h.WipeState();
}

// ---- 12 -----------------------------------------------------------------------------------

void DocumentModeCentred(Report& rep, const std::wstring& exe) {
    if (!PrepareInitialised(rep, exe)) return;
    Hariko h(exe);
    const int rows = 12;
    h.SetSetting(L"Mode", L"2");
    h.SetSetting(L"Left", L"0");
    h.SetSetting(L"Top", L"3000");
    h.SetSetting(L"Number1", std::to_wstring(rows));
    if (!StartReady(rep, h)) return;
    HWND w = h.main();
    const int dpi = DpiOf(w);
    rep.Check(ShownKeyRow(h) == 2, L"stored Mode \"2\": 文書ﾓｰﾄﾞ, 改行 shown, 前へ and 次へ hidden", KeyRowText(h));
    const int height = TwipsToPx(PanelHeightTwips(rows, true), dpi);
    rep.Check(WaitFor([&] { return OuterHeight(w) == height; }, 3000),
              L"outer height is 12 rows × 280 + 1890 twips = " + std::to_wstring(height) + L" px",
              RectText(RectOf(w)));
    // Centred while the window still has its design size (1825 × 8225 twips); the layout
    // then changes only the height.
    const int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
    const int left = (sw - TwipsToPx(kPanelWidthTwips, dpi)) / 2, top = (sh - TwipsToPx(8225, dpi)) / 2;
    RECT r = RectOf(w);
    rep.Check(std::abs(r.left - left) <= 1 && std::abs(r.top - top) <= 1,
              L"stored Left \"0\": centred on the " + std::to_wstring(sw) + L"×" + std::to_wstring(sh) +
                  L" screen at " + std::to_wstring(left) + L", " + std::to_wstring(top) + L" px",
              RectText(r));
    CloseProgram(rep, h);
    rep.Check(Stored(h, L"Mode", L"2") && Stored(h, L"Number1", std::to_wstring(rows)),
              L"closing keeps Mode \"2\" and Number1 \"12\"",
              L"Mode " + SettingText(h.Setting(L"Mode")) + L", Number1 " + SettingText(h.Setting(L"Number1")));
    const int storedLeft = _wtoi(h.Setting(L"Left").value_or(L"").c_str());
    rep.Check(std::abs(TwipsToPx(storedLeft, dpi) - r.left) <= 1,
              L"and stores the centred position as Left", L"Left " + SettingText(h.Setting(L"Left")));
    // Back to the state the other scenarios start from.
    h.SetSetting(L"Mode", L"0");
    h.SetSetting(L"Number1", L"25");
}

// ---- 13 -----------------------------------------------------------------------------------

void PasswordLife(Report& rep, const std::wstring& exe) {
    if (!PrepareInitialised(rep, exe)) return;
    Hariko h(exe);
    PanelAtLeft(h);
    const std::wstring enc = h.DataFile(L"MyData_2.dat"), work = h.DataFile(L"MyData_2_2.dat"),
                       pwFile = h.DataFile(L"MyData_0.dat");
    const std::string mine = ThreeFields(OurPrivateRows());
    if (!rep.Check(WriteEncrypted(enc, mine, kDefaultPassword),
                   L"set-up: MyData_2.dat holds entries of our own under the built-in key"))
        return;
    RemoveTree(h.BackupDir());
    auto privateLoaded = [&] {
        return FileExists(work) && !FileExists(enc) && h.EntryButton(L"銀行") != nullptr;
    };
    auto files = [&] {
        return std::wstring(L"MyData_2.dat ") + (FileExists(enc) ? L"exists" : L"absent") + L", MyData_2_2.dat " +
               (FileExists(work) ? L"exists" : L"absent") + L"; " + Captions(h) + OpenBoxes(h);
    };
    auto passwordIs = [&](const std::wstring& pw, const std::wstring& what) {
        auto plain = Decrypted(pwFile, kDefaultPassword);
        rep.Check(plain == PasswordFilePlain(pw), what + L": the password file holds " + Quote(pw), BytesText(plain));
    };
    auto privateUnder = [&](const std::wstring& key, const std::wstring& what) {
        auto plain = Decrypted(enc, key);
        rep.Check(!FileExists(work) && plain == mine,
                  what + L": MyData_2.dat opens under " + Quote(key) + L" to our entries, no working copy",
                  BytesText(plain));
    };

    // Registration: password switched on, none set yet.
    if (!StartReady(rep, h)) return;
    h.Menu(panel_ids::kPrivate);
    HWND d = WaitDialog(h, L"パスワードの登録");
    if (!rep.Check(d != nullptr, L"choosing Private opens the dialog \"パスワードの登録\"", h.WindowList())) {
        CloseProgram(rep, h);
        return;
    }
    CheckLook(rep, d, Registration(L"パスワードの設定をしてください。"), L"registration");
    rep.Check(!IsWindowEnabled(h.main()), L"the panel is locked while the dialog is open");
    TypePassword(rep, d, L"Abc", L"registration");
    rep.Check(TextOf(DescendantById(d, kEditPassword)) == L"Abc", L"the new password is shown as typed: \"Abc\"",
              Quote(TextOf(DescendantById(d, kEditPassword))));
    Screenshot(rep, L"password-registration");
    PressKey(VK_RETURN);
    CheckLook(rep, d, Confirmation(), L"Enter");
    rep.Check(TextLength(DescendantById(d, kEditPassword)) == 0, L"the box is empty for the second entry");
    TypePassword(rep, d, L"Abc", L"confirmation");
    Click(rep, d, kBtnConfirm, L"a click on 登 録");
    DialogGone(rep, h, d, L"the dialog closes and the panel is unlocked");
    rep.Check(WaitFor(privateLoaded, 10000), L"Private loads with the new key: our entries are shown", files());
    passwordIs(L"abc", L"registered \"Abc\"");
    rep.Check(ReadFileBytes(work) == mine, L"the working copy holds our entries unchanged");
    CloseProgram(rep, h);
    privateUnder(L"abc", L"after closing");
    rep.Check(Stored(h, L"Type", L"1"), L"closing with Private loaded stores Type \"1\"",
              SettingText(h.Setting(L"Type")));

    // Verification on the next start: a wrong password, then the right one in capitals.
    if (!StartReady(rep, h)) return;
    const auto encBefore = ReadFileBytes(enc);
    h.Menu(panel_ids::kPrivate);
    d = WaitDialog(h, L"パスワードの確認");
    if (!rep.Check(d != nullptr, L"next start: choosing Private asks \"パスワードの確認\"", h.WindowList())) {
        CloseProgram(rep, h);
        return;
    }
    CheckLook(rep, d, Verify(L"パスワードを入力してください。"), L"verification");
    TypePassword(rep, d, L"abd", L"a wrong password");
    PressKey(VK_RETURN);
    CheckLook(rep, d, Verify(L"パスワードが違います。もう一度入力してください。"), L"wrong password");
    rep.Check(IsWindow(d) && TextLength(DescendantById(d, kEditPassword)) == 0, L"the dialog stays, its box emptied");
    rep.Check(ReadFileBytes(enc) == encBefore && !FileExists(work), L"nothing is decrypted", files());
    TypePassword(rep, d, L"ABC", L"the password in capitals");
    Click(rep, d, kBtnVerify, L"a click on O K");
    DialogGone(rep, h, d, L"the dialog closes");
    rep.Check(WaitFor(privateLoaded, 10000), L"Private loads: working copy only, our entries shown", files());

    // A change while Private is loaded; the first confirmation does not match.
    h.Menu(panel_ids::kPasswordChange);
    d = WaitDialog(h, L"パスワードの変更");
    if (!rep.Check(d != nullptr, L"menu Privateのﾊﾟｽﾜｰﾄ変更 opens \"パスワードの変更\"", h.WindowList())) {
        CloseProgram(rep, h);
        return;
    }
    CheckLook(rep, d, Change(), L"change");
    TypePassword(rep, d, L"aBc", L"the current password");
    PressKey(VK_RETURN);
    CheckLook(rep, d, Registration(L"新しいパスワードの設定をしてください。"), L"verified");
    TypePassword(rep, d, L"Neu5", L"the new password");
    Click(rep, d, kBtnRegister, L"a click on 登 録");
    CheckLook(rep, d, Confirmation(), L"first entry taken");
    TypePassword(rep, d, L"neu6", L"a confirmation that differs");
    PressKey(VK_RETURN);
    auto mismatch = WaitForMessageBox(L"パスワードの設定", h.pid(), 5000);
    CheckBox(rep, mismatch, L"パスワードの設定",
             L"パスワードが一致しませんでした。\r\n\r\n最初からパスワードの設定を行ってください。", L"OK",
             L"mismatch");
    if (mismatch) AnswerMessageBox(*mismatch, IDOK);
    CheckLook(rep, d, Confirmation(), L"after the mismatch the first entry is kept");
    TypePassword(rep, d, L"NEU5", L"the confirmation");
    PressKey(VK_RETURN);
    DialogGone(rep, h, d, L"the dialog closes");
    passwordIs(L"neu5", L"changed to \"Neu5\"");
    rep.Check(FileExists(work) && !FileExists(enc) && ReadFileBytes(work) == mine,
              L"Private stays loaded; nothing else on disk changed", files());
    CloseProgram(rep, h);
    privateUnder(L"neu5", L"after closing");

    // Switched off from Public through the check box, with a backup to be redone.
    CreateDirectoryW(h.BackupDir().c_str(), nullptr);
    WriteFileBytes(h.BackupDir() + L"\\MyData_0.dat", ReadFileBytes(pwFile).value_or(""));
    if (!StartReady(rep, h)) return;
    rep.Check(h.EntryButton(kShimei) != nullptr, L"the next start shows Public", Captions(h));
    h.Menu(panel_ids::kPasswordChange);
    d = WaitDialog(h, L"パスワードの変更");
    if (!rep.Check(d != nullptr, L"menu Privateのﾊﾟｽﾜｰﾄ変更 opens \"パスワードの変更\"", h.WindowList())) {
        CloseProgram(rep, h);
        return;
    }
    TypePassword(rep, d, L"neu5", L"the current password");
    Click(rep, d, kBtnVerify, L"a click on O K");
    CheckLook(rep, d, Registration(L"新しいパスワードの設定をしてください。"), L"verified");
    Click(rep, d, kChkSwitchOff, L"a click on the check box \"パスワードは無効にします。\"");
    auto notice = WaitForMessageBox(L"「" + h.name() + L"」のパスワードの変更", h.pid(), 8000);
    CheckBox(rep, notice, L"「" + h.name() + L"」のパスワードの変更",
             L"パスワードが変更されましたので、\r\n\r\n「" + h.name() + L"」のデータのバックアップをやり直してください。",
             L"OK", L"a backup holds the password file");
    if (notice) AnswerMessageBox(*notice, IDOK);
    DialogGone(rep, h, d, L"the dialog closes");
    passwordIs(L"", L"switched off");
    rep.Check(WaitFor(privateLoaded, 10000), L"Private is chosen and loads under the built-in key", files());
    CloseProgram(rep, h);
    privateUnder(kDefaultPassword, L"after closing");
    rep.Check(Stored(h, L"PassMode", L"1") && Stored(h, L"Type", L"1"),
              L"closing stores PassMode \"1\" and Type \"1\"",
              L"PassMode " + SettingText(h.Setting(L"PassMode")) + L", Type " + SettingText(h.Setting(L"Type")));
    RemoveTree(h.BackupDir());
    h.SetSetting(L"PassMode", L"0");
}

// ---- 14 -----------------------------------------------------------------------------------

const std::wstring kMigrationTitle = L"***** 重要！ ***** 必ずお読みください。 ******************";

void Migration(Report& rep, const std::wstring& exe) {
    Hariko h(exe);
    h.WipeState();
    DeleteMachineTree(kLegacyRoot);
    const std::wstring legacy = kLegacyRoot + L"\\Control\\" + h.name();
    const std::vector<Row> pub = {{L"氏名", L"青木　純", L""}, {L"会社名", L"若葉商会", L""}, {L"", L"", L""},
                                  {L"住所", L"東京都港区１－２－３", L""}};
    const std::vector<Row> priv = {{L"銀行", L"若葉銀行　本店 1234567", L""}, {L"", L"", L""},
                                   {L"メモ", L"合言葉は「さくら」", L""}};
    const std::vector<Row> kao = {{L"にこ", L"(^_^)", L""}, {L"ばんざい", L"＼(^o^)／", L""}, {L"", L"", L""}};
    CreateDirectoryW((WindowsDirectory() + L"\\Personal_Data").c_str(), nullptr);
    CreateDirectoryW(h.DataDir().c_str(), nullptr);
    bool ok = WriteFileBytes(h.DataFile(L"MyData_1.dat"), TwoFields(pub)) &&
              WriteFileBytes(h.DataFile(L"MyData_3.dat"), TwoFields(kao)) &&
              WriteEncrypted(h.DataFile(L"MyData_2.dat"), TwoFields(priv), kDefaultPassword) &&
              WriteMachineString(legacy, L"Pass", L"Secret");
    if (!rep.Check(ok, L"set-up: two-field data of an older version, legacy Pass \"Secret\", no settings")) return;
    const auto old1 = ReadFileBytes(h.DataFile(L"MyData_1.dat")), old2 = ReadFileBytes(h.DataFile(L"MyData_2.dat")),
               old3 = ReadFileBytes(h.DataFile(L"MyData_3.dat"));
    const std::wstring body =
        L"データのバックアップ機能実装に伴なり、セキュリティの向上のため\r\nデータ暗号化アルゴリズムを変更します。\r\n\r\n"
        L"データの整合性が失われますので、本バージョン(2.0.1)以前の" + h.name() + L"は\r\n"
        L"起動されることがないよう破棄されるようお願いいたします。\r\n\r\n";

    auto s = h.Start(IDNO, 30000, Answer({{kMigrationTitle, IDCANCEL}}));
    const auto box = Seen(s, kMigrationTitle);
    rep.Check(box && box->text.compare(0, body.size(), body) == 0,
              L"the box \"" + kMigrationTitle + L"\" announces the conversion", box ? Quote(box->text) : s.why);
    rep.Check(box && ButtonsOf(*box) == L"OK+Cancel", L"it offers OK and Cancel", box ? ButtonsOf(*box) : L"");
    if (box) rep.Note(L"its credit line: " + Quote(box->text.substr(body.size())));
    bool ended = h.process().WaitExit(15000);
    rep.Check(ended && !s.ready, L"Cancel ends the program without showing the panel", s.why);
    if (!ended) h.Close();
    rep.Check(ReadFileBytes(h.DataFile(L"MyData_1.dat")) == old1 && ReadFileBytes(h.DataFile(L"MyData_2.dat")) == old2 &&
                  ReadFileBytes(h.DataFile(L"MyData_3.dat")) == old3,
              L"MyData_1.dat, MyData_2.dat and MyData_3.dat are byte for byte as before");
    rep.Check(ReadMachineString(legacy, L"Pass") == std::wstring(L"Secret") && !h.Setting(L"Version"),
              L"the legacy password stays and no Version is stored",
              L"Pass " + SettingText(ReadMachineString(legacy, L"Pass")) + L", Version " + SettingText(h.Setting(L"Version")));

    const std::wstring doneText = L"データ暗号化と移行は、正常に終了しました。\r\n\r\n"
                                  L"データの整合性が失われますので、本バージョン(2.0.1)以前の" + h.name() + L"は\r\n"
                                  L"起動されることがないよう破棄されるようお願いいたします。\r\n\r\n";
    PanelAtLeft(h);  // taken before the conversion removes the settings
    s = h.Start(IDNO, 30000, Answer({{kMigrationTitle, IDOK}, {h.name(), IDOK}}));
    rep.Check(Seen(s, kMigrationTitle).has_value(), L"the next start asks again; answered OK");
    const auto done = Seen(s, h.name());
    rep.Check(done && done->text.compare(0, doneText.size(), doneText) == 0 &&
                  (!box || done->text.substr(doneText.size()) == box->text.substr(body.size())),
              L"the completion box, titled \"" + h.name() + L"\", says the conversion ended well",
              done ? Quote(done->text) : s.why);
    if (!rep.Check(s.ready, L"then the panel is ready", s.why)) return;
    rep.Check(ReadFileBytes(h.DataFile(L"MyData_1.dat")) == ThreeFields(Whitened(pub)),
              L"MyData_1.dat: the same 4 records, each with \"&HFFFFFF\"",
              BytesText(ReadFileBytes(h.DataFile(L"MyData_1.dat"))));
    rep.Check(ReadFileBytes(h.DataFile(L"MyData_3.dat")) == ThreeFields(Whitened(kao)),
              L"MyData_3.dat: the same 3 records, each with \"&HFFFFFF\"",
              BytesText(ReadFileBytes(h.DataFile(L"MyData_3.dat"))));
    auto priv2 = Decrypted(h.DataFile(L"MyData_2.dat"), L"secret");
    rep.Check(priv2 == ThreeFields(Whitened(priv)),
              L"MyData_2.dat opens under \"secret\" to the same 3 records with \"&HFFFFFF\"", BytesText(priv2));
    auto pw = Decrypted(h.DataFile(L"MyData_0.dat"), kDefaultPassword);
    rep.Check(pw == PasswordFilePlain(L"secret"), L"the password file holds \"secret\"", BytesText(pw));
    rep.Check(!MachineKeyExists(kLegacyRoot), L"the legacy key HKLM\\" + kLegacyRoot + L" is gone");
    rep.Check(h.Setting(L"Version") == std::wstring(L"201"), L"Version = \"201\"", SettingText(h.Setting(L"Version")));
    rep.Check(h.EntryButton(kShimei) != nullptr, L"the panel shows the converted Public", Captions(h));
    // The cancelled run stored "Type" on closing but never a row count, so this run is no
    // first run and reads the row settings as 0: one row is shown.
    rep.Note(L"rows after the conversion: Number1 " + SettingText(h.Setting(L"Number1")) + L", panel " +
             RectText(RectOf(h.main())));

    // The converted password opens the converted Private.
    h.Menu(panel_ids::kPrivate);
    HWND d = WaitDialog(h, L"パスワードの確認");
    if (rep.Check(d != nullptr, L"choosing Private asks for the password", h.WindowList())) {
        TypePassword(rep, d, L"Secret", L"the old password");
        PressKey(VK_RETURN);
        DialogGone(rep, h, d, L"it is accepted");
        const std::wstring work = h.DataFile(L"MyData_2_2.dat");
        bool loaded = WaitFor([&] { return h.EntryButton(L"銀行") && FileExists(work); }, 10000);
        rep.Check(loaded && ReadFileBytes(work) == ThreeFields(Whitened(priv)),
                  L"Private loads the converted entries", Captions(h) + OpenBoxes(h));
    }
    CloseProgram(rep, h);
    h.WipeState();
}

// ---- 15 -----------------------------------------------------------------------------------

void ClosingPositions(Report& rep, const std::wstring& exe) {
    if (!PrepareInitialised(rep, exe)) return;
    Hariko h(exe);
    PanelAtLeft(h);
    h.SetSetting(L"PassMode", L"1");  // Private opens without a password
    const std::wstring enc = h.DataFile(L"MyData_2.dat"), work = h.DataFile(L"MyData_2_2.dat");
    if (!StartReady(rep, h)) return;
    HWND w = h.main();
    const int dpi = DpiOf(w);
    const int at = TwipsToPx(1500, dpi);
    rep.Check(RectOf(w).left == at && RectOf(w).top == at, L"the stored position 1500, 1500 twips is taken",
              RectText(RectOf(w)));
    h.Menu(panel_ids::kPrivate);
    rep.Check(WaitFor([&] { return FileExists(work) && !FileExists(enc); }, 10000), L"Private is loaded");
    const int x1 = 200, y1 = 150;
    SetWindowPos(w, nullptr, x1, y1, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    WaitFor([&] { return RectOf(w).left == x1; }, 2000);
    CloseProgram(rep, h);
    const std::wstring left1 = std::to_wstring(MulDiv(x1, 1440, dpi)), top1 = std::to_wstring(MulDiv(y1, 1440, dpi));
    auto position = [&] { return L"Left " + SettingText(h.Setting(L"Left")) + L", Top " + SettingText(h.Setting(L"Top")); };
    rep.Check(Stored(h, L"Left", left1) && Stored(h, L"Top", top1),
              L"closing stores where the panel stood: Left " + left1 + L", Top " + top1, position());
    rep.Check(Stored(h, L"Type", L"1") && FileExists(enc) && !FileExists(work),
              L"closing with Private loaded stores Type \"1\" and leaves MyData_2.dat only",
              L"Type " + SettingText(h.Setting(L"Type")));

    if (!StartReady(rep, h)) return;
    w = h.main();
    rep.Check(RectOf(w).left == x1 && RectOf(w).top == y1, L"the next start puts the panel there", RectText(RectOf(w)));
    SetWindowPos(w, nullptr, 300, 300, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    WaitFor([&] { return RectOf(w).left == 300; }, 2000);
    RECT r = RectOf(w);
    ClickAt(r.left + 20, r.top + 8);  // its caption bar
    // The panel samples the window in front every 100 ms: the minimising acts on what it saw.
    bool front = WaitFor([&] { return GetForegroundWindow() == w && h.FrontField() == HandleDecimal(w); }, 3000);
    h.Menu(panel_ids::kMinimise);
    bool iconic = WaitFor([&] { return IsIconic(w) != FALSE; }, 3000);
    rep.Check(front && iconic, L"moved, then menu 最小化(&N): the panel is minimised", RectText(RectOf(w)));
    CloseProgram(rep, h);
    rep.Check(Stored(h, L"Left", left1) && Stored(h, L"Top", top1),
              L"closing while minimised keeps the stored position", position());
    h.SetSetting(L"PassMode", L"0");
}

// ---- 16 -----------------------------------------------------------------------------------

// Confirms the uninstall in the About box, and reads the box the program shows at the end.
std::optional<MessageBoxSeen> Uninstall(Report& rep, Hariko& h, const std::wstring& what) {
    std::optional<MessageBoxSeen> box;
    if (ConfirmUninstall(rep, h, what)) box = WaitForMessageBox(L"「" + h.name() + L"」のアンインストール", h.pid(), 15000);
    rep.Check(box.has_value(), what + L": the uninstall box appears", h.WindowList() + OpenBoxes(h));
    if (box) {
        AnswerMessageBox(*box, IDOK);
        bool ended = h.process().WaitExit(15000);
        rep.Check(ended, what + L": after OK the program ends");
        if (!ended) h.Close();
    } else {
        h.Close();
    }
    return box;
}

std::wstring Listing(const std::wstring& dir) {
    std::wstring s;
    for (const std::wstring& n : FolderEntries(dir)) s += (s.empty() ? L"" : L", ") + n;
    return FolderExists(dir) ? L"{" + s + L"}" : L"(no folder)";
}

void Uninstalls(Report& rep, const std::wstring& exe) {
    Hariko h(exe);
    const std::wstring root = WindowsDirectory() + L"\\Personal_Data";
    const std::wstring okText = L"「" + h.name() + L"」が保存しているデータはすべて削除されました。\r\n\r\n"
                                L"「" + h.name() + L"」の実行ファイルは手動で削除してください。";
    const std::wstring title = L"「" + h.name() + L"」のアンインストール";

    // Plain, with Private loaded and a backup beside the exe.
    if (!PrepareInitialised(rep, exe)) return;
    h.SetSetting(L"PassMode", L"1");
    CreateDirectoryW(h.BackupDir().c_str(), nullptr);
    const std::string backup = "\"backup\"\r\n";
    WriteFileBytes(h.BackupDir() + L"\\MyData_1.dat", backup);
    const bool alone = FolderEntries(root) == std::vector<std::wstring>{h.name()};
    if (!alone) rep.Note(L"the data root holds more than this program's folder: " + Listing(root));
    if (!StartReady(rep, h)) return;
    h.Menu(panel_ids::kPrivate);
    rep.Check(WaitFor([&] { return FileExists(h.DataFile(L"MyData_2_2.dat")); }, 10000), L"Private is loaded");
    auto box = Uninstall(rep, h, L"plain");
    CheckBox(rep, box, title, okText, L"OK", L"plain");
    rep.Check(!FolderExists(h.DataDir()), L"the data directory is gone", Listing(h.DataDir()));
    rep.Check(!KeyExists(h.AppSettingsKey()), L"no settings of " + Quote(h.name()) + L" remain");
    if (alone) rep.Check(!FolderExists(root), L"the data root, empty now, is gone", Listing(root));
    rep.Check(ReadFileBytes(h.BackupDir() + L"\\MyData_1.dat") == backup, L"the backup folder beside the exe survives",
              Listing(h.BackupDir()));
    RemoveTree(h.BackupDir());

    // A file of the user's own in the data directory keeps it.
    auto s = h.Start(IDNO);
    if (!rep.Check(s.ready, L"a fresh first start", s.why)) return;
    const std::string note = "memo";
    WriteFileBytes(h.DataFile(L"メモ.txt"), note);
    box = Uninstall(rep, h, L"extra file");
    CheckBox(rep, box, title,
             L"関連データがすべて削除できませんでした。\r\n\r\nもう一度、「" + h.name() + L"」を起動して、\r\n\r\n"
             L"バージョン情報の uninstall ボタンをクリックしてください。\r\n\r\n\r\n繰り返しこのメッセージが出るときは\r\n"
             L"開いているウィンドウをすべて閉じるか、再起動して\r\nもう一度、「" + h.name() +
             L"」を起動してバージョン情報の uninstall ボタンをクリックしてください。　",
             L"OK", L"extra file");
    rep.Check(FolderEntries(h.DataDir()) == std::vector<std::wstring>{L"メモ.txt"},
              L"the ten files are gone, the folder stays with the extra file", Listing(h.DataDir()));
    rep.Check(!KeyExists(h.AppSettingsKey()), L"the settings are removed all the same");
    RemoveTree(h.DataDir());

    // Another name's data in the same root.
    const std::wstring dir = TempDirectory() + L"\\hariko-e2e";
    CreateDirectoryW(dir.c_str(), nullptr);
    const std::wstring copyPath = dir + L"\\ハリコ三号.exe";
    if (!rep.Check(CopyFileW(exe.c_str(), copyPath.c_str(), FALSE) != FALSE, L"a copy of the exe as ハリコ三号.exe"))
        return;
    Hariko other(copyPath);
    other.WipeState();
    s = other.Start(IDNO);
    if (rep.Check(s.ready, L"the copy starts once", s.why)) CloseProgram(rep, other);
    s = h.Start(IDNO);
    if (rep.Check(s.ready, L"a fresh first start of " + Quote(h.name()), s.why)) {
        box = Uninstall(rep, h, L"another name's data");
        CheckBox(rep, box, title, okText, L"OK", L"another name's data");
        rep.Check(!FolderExists(h.DataDir()) && !KeyExists(h.AppSettingsKey()),
                  L"this program's data directory and settings are gone");
        rep.Check(FolderExists(root), L"the data root stays", Listing(root));
        rep.Check(FileExists(other.DataFile(L"MyData_1.dat")) && other.Setting(L"Number1") == std::wstring(L"25"),
                  L"the copy's data directory and settings stay", Listing(other.DataDir()));
    }
    other.WipeState();
    DeleteFileW(copyPath.c_str());
    RemoveDirectoryW(dir.c_str());
}

// ---- 17 -----------------------------------------------------------------------------------

void SealedPrivate(Report& rep, const std::wstring& exe) {
    if (!PrepareInitialised(rep, exe)) return;
    Hariko h(exe);
    PanelAtLeft(h);
    const std::wstring enc = h.DataFile(L"MyData_2.dat");
    const std::string mine = ThreeFields(OurPrivateRows());
    if (!rep.Check(WriteEncrypted(enc, mine, kDefaultPassword), L"set-up: our entries in Private, no password"))
        return;
    auto sealed = [&] { return ReadFileBytes(enc).value_or("").rfind("HRK-AES1", 0) == 0; };
    auto noEntryText = [&] {
        for (const std::wstring& n : FolderEntries(h.DataDir()))
            if (ReadFileBytes(h.DataFile(n)).value_or("").find(Cp932(L"若葉銀行")) != std::string::npos) return n;
        return std::wstring();
    };
    int shots = 0;
    auto answer = [&](const std::wstring& caption, const std::wstring& password, const std::wstring& what) {
        HWND d = WaitDialog(h, caption, 15000);
        if (!rep.Check(d != nullptr, what + L": the dialog " + Quote(caption), h.WindowList())) return false;
        TypePassword(rep, d, password, what);
        Screenshot(rep, L"sealed-" + std::to_wstring(++shots));
        Click(rep, d, kBtnVerify, what + L": a click on O K");
        return DialogGone(rep, h, d, what + L": the dialog closes");
    };

    // Ticked with no password: a warning, registration, then the verify form. いいえ changes nothing.
    if (!StartReady(rep, h)) return;
    h.Menu(panel_ids::kSealPrivate);
    AnswerBox(rep, h, L"二度と読めなくなります", IDNO, L"いいえ before sealing");
    rep.Check(HoldsFor([&] { return !h.WindowCaptioned(L"パスワードの登録"); }, 800), L"いいえ: no password is asked for");
    if (!SealFromNoPassword(rep, h, L"Abc", L"abc")) return CloseProgram(rep, h);
    rep.Check(WaitFor(sealed, 20000), L"MyData_2.dat is sealed (\"HRK-AES1\")", BytesText(ReadFileBytes(enc)));
    rep.Check(Decrypted(h.DataFile(L"MyData_0.dat"), kDefaultPassword) == PasswordFilePlain(L""),
              L"the password file holds the empty password");
    rep.Check(WaitFor([&] { return h.EntryButton(L"銀行") != nullptr; }, 10000), L"Private is shown", Captions(h));
    rep.Check(noEntryText().empty(), L"no file in the data directory holds an entry's text", noEntryText());
    CloseProgram(rep, h);
    rep.Check(sealed() && noEntryText().empty(), L"after closing: sealed, nothing readable", noEntryText());

    // The next start: a wrong password changes nothing, the right one opens.
    h.SetSetting(L"ClipClearSeconds", L"2");
    Notepad np;
    std::wstring why;
    if (!rep.Check(np.Start(700, 50, 400, 300, &why), L"notepad starts at the right", why) || !StartReady(rep, h)) return;
    const auto before = ReadFileBytes(enc);
    h.Menu(panel_ids::kPrivate);
    HWND d = WaitDialog(h, L"パスワードの確認");
    if (!rep.Check(d != nullptr, L"choosing Private asks \"パスワードの確認\"", h.WindowList())) return CloseProgram(rep, h);
    TypePassword(rep, d, L"abd", L"a wrong password");
    PressKey(VK_RETURN);
    rep.Check(WaitFor([&] { return TextOf(DescendantById(d, kLblPrompt)) == L"パスワードが違います。もう一度入力してください。"; },
                      20000),
              L"a wrong password is told", TextOf(DescendantById(d, kLblPrompt)));
    rep.Check(ReadFileBytes(enc) == before && noEntryText().empty(), L"and changes nothing");
    TypePassword(rep, d, L"ABC", L"the password in capitals");
    Click(rep, d, kBtnVerify, L"a click on O K");
    DialogGone(rep, h, d, L"the dialog closes");
    rep.Check(WaitFor([&] { return h.EntryButton(L"銀行") != nullptr; }, 20000), L"Private opens", Captions(h));
    if (HWND editor = OpenEditor(rep, h)) {
        rep.Check(noEntryText().empty(), L"the entry editor open: still no file holds an entry's text", noEntryText());
        CloseEditorBox(rep, h, editor);
    }
    if (PasteAndSee(rep, h, np, L"sealed Private", L"若葉銀行　本店 1234567", L"銀行")) {
        const bool cleared = WaitFor([&] { return !ClipboardText(); }, 15000);
        rep.Check(cleared, L"\"ClipClearSeconds\" = 2: then the clipboard is emptied", Quote(ClipboardText().value_or(L"")));
    }

    // Unticked: back to the RC4 format under the password.
    h.Menu(panel_ids::kSealPrivate);
    answer(L"パスワードの確認", L"abc", L"unticking");
    rep.Check(WaitFor([&] { return !sealed(); }, 20000), L"MyData_2.dat is no longer sealed");
    CloseProgram(rep, h);
    rep.Check(h.Setting(L"ClipClearSeconds") == std::wstring(L"2") && h.Setting(L"LockMinutes") == std::wstring(L"10"),
              L"closing stores ClipClearSeconds and LockMinutes", SettingText(h.Setting(L"LockMinutes")));
    rep.Check(Decrypted(enc, L"abc") == mine, L"MyData_2.dat opens under \"abc\" to our entries",
              BytesText(Decrypted(enc, L"abc")));
    rep.Check(Decrypted(h.DataFile(L"MyData_0.dat"), kDefaultPassword) == PasswordFilePlain(L"abc"),
              L"the password file holds \"abc\" again");
    h.SetSetting(L"PassMode", L"0");
    h.SetSetting(L"ClipClearSeconds", L"");
    h.SetSetting(L"LockMinutes", L"");
}

// ---- 18 -----------------------------------------------------------------------------------

// Sealed Private pasted by Ctrl+Alt+1. The session's lock closes it but leaves it chosen: the
// next Ctrl+Alt+1 asks for the password, and notepad gets the entry only once it was given.
void LockedPrivateByKeys(Report& rep, const std::wstring& exe) {
    if (!PrepareInitialised(rep, exe)) return;
    Hariko h(exe);
    PanelAtLeft(h);
    if (!rep.Check(WriteEncrypted(h.DataFile(L"MyData_2.dat"), ThreeFields(OurPrivateRows()), kDefaultPassword) &&
                       WriteEncrypted(h.DataFile(L"MyData_0.dat"), PasswordFilePlain(L""), kDefaultPassword),
                   L"set-up: our entries in Private, no password"))
        return;
    Notepad np;
    std::wstring why;
    if (!rep.Check(np.Start(700, 50, 400, 300, &why), L"notepad starts at the right", why) || !StartReady(rep, h)) return;
    auto ctrlAlt1 = [] {
        for (BYTE k : {BYTE(VK_CONTROL), BYTE(VK_MENU), BYTE('1')}) keybd_event(k, 0, 0, 0);
        for (BYTE k : {BYTE('1'), BYTE(VK_MENU), BYTE(VK_CONTROL)}) keybd_event(k, 0, KEYEVENTF_KEYUP, 0);
    };
    if (!SealFromNoPassword(rep, h, L"abc", L"abc")) return CloseProgram(rep, h);
    const std::wstring first = OurPrivateRows()[0].text;
    rep.Check(WaitFor([&] { return h.EntryButton(L"銀行") != nullptr; }, 20000), L"sealed Private is shown", Captions(h));
    h.Menu(panel_ids::kHotKeys);
    if (!rep.Check(np.ClickInto(&why), L"notepad in front", why)) return CloseProgram(rep, h);
    ctrlAlt1();
    rep.Check(WaitFor([&] { return np.Text() == first; }, 8000), L"Ctrl+Alt+1 pastes Private's entry 1", Quote(np.Text()));

    np.SetText(L"");
    PostMessageW(h.main(), 0x02B1 /* WM_WTSSESSION_CHANGE */, 0x7 /* WTS_SESSION_LOCK */, 0);
    rep.Check(WaitFor([&] { return h.EntryButton(L"Private（ロック中）") != nullptr && !h.EntryButton(L"銀行"); }, 8000),
              L"the session's lock: the panel shows the one entry \"Private（ロック中）\"", Captions(h));
    if (!rep.Check(np.ClickInto(&why), L"notepad in front again", why)) return CloseProgram(rep, h);
    ctrlAlt1();
    rep.Check(HoldsFor([&] { return np.Text().empty(); }, 1000), L"while the password is asked notepad gets nothing",
              Quote(np.Text()));
    HWND d = WaitDialog(h, L"パスワードの確認", 10000);
    if (!rep.Check(d != nullptr, L"Ctrl+Alt+1 while locked asks for the password", h.WindowList())) return CloseProgram(rep, h);
    rep.Check(TextOf(DescendantById(d, kLblPrompt)) == L"Private（強い暗号）のパスワードを入力してください。",
              L"the prompt names the strong cipher", TextOf(DescendantById(d, kLblPrompt)));
    TypePassword(rep, d, L"abc", L"the password");
    Click(rep, d, kBtnVerify, L"a click on O K");
    if (DialogGone(rep, h, d, L"the dialog closes"))
        rep.Check(WaitFor([&] { return np.Text() == first; }, 8000) && HoldsFor([&] { return np.Text() == first; }, 500),
                  L"the password given: entry 1 goes into notepad, once", Quote(np.Text()));
    CloseProgram(rep, h);
    h.WipeState();
}

}  // namespace

const std::vector<Scenario>& LifeScenarios() {
    static const std::vector<Scenario> all = {
        {11, L"11. first start answering Yes: the desktop shortcut; later starts renew it", FirstStartWithShortcut},
        {12, L"12. stored 文書ﾓｰﾄﾞ, 12 rows, Left 0: key row, height, centred", DocumentModeCentred},
        {13, L"13. the Private password: registered, verified, changed, switched off", PasswordLife},
        {14, L"14. data of an older version: Cancel, then the conversion", Migration},
        {15, L"15. closing stores the position, but not while minimised", ClosingPositions},
        {16, L"16. uninstall: plain, with a file of the user's, with another name's data", Uninstalls},
        {17, L"17. Privateを強い暗号で守る: sealed, asked for, unsealed", SealedPrivate},
        {18, L"18. sealed Private by Ctrl+Alt+1: the session's lock asks, notepad gets nothing until the password", LockedPrivateByKeys},
    };
    return all;
}

}  // namespace e2e
