// The help menu from outside: what the About box shows, the once-per-run fortune, the help
// page opened through the shell's own association for .html, and the uninstall question.
#include "e2e_about.h"

#include <algorithm>

#include "e2e_desktop.h"
#include "e2e_steps.h"
#include "panel/fortune_screen.h"
#include "panel/panel_ids.h"
#include "protect/about_box.h"

namespace e2e {
namespace {

HWND Item(HWND w, int id) { return w ? DescendantById(w, id) : nullptr; }

bool Click(Report& rep, HWND w, const std::wstring& what) {
    std::wstring why;
    return rep.Check(ClickCentre(w, &why), L"a click on " + what, why);
}

HWND OpenAbout(Report& rep, Hariko& h) {
    h.Menu(panel_ids::kAbout);
    HWND w = nullptr;
    WaitFor([&] { return IsWindowVisible(Item(w = h.WindowCaptioned(L"バージョン情報"), about_box::kBtnUninstall)); }, 10000);
    rep.Check(w != nullptr, L"ﾍﾙﾌﾟ → ﾊﾞｰｼﾞｮﾝ情報 opens the About box", h.WindowList());
    return w;
}

std::wstring Uninstalling(const Hariko& h) { return L"「" + h.name() + L"」のアンインストール"; }

// After a confirmed uninstall: the panel closes and says everything is gone.
void Uninstalled(Report& rep, Hariko& h) {
    auto done = WaitForMessageBox(Uninstalling(h), h.pid(), 15000);
    rep.Check(done && done->text.find(L"すべて削除されました") != std::wstring::npos, L"the uninstall succeeds",
              done ? Quote(done->text) : h.WindowList());
    if (done) AnswerMessageBox(*done, IDOK);
    rep.Check(h.process().WaitExit(15000) && !FolderExists(h.DataDir()), L"the program ends; its data directory is gone");
    h.Close();
}

// ---- 50 -----------------------------------------------------------------------------------

void AboutAndFortune(Report& rep, const std::wstring& exe) {
    Hariko h(exe);
    if (!PrepareInitialised(rep, exe) || !StartReady(rep, h)) return;
    HWND about = OpenAbout(rep, h);
    if (!about) return CloseProgram(rep, h);
    rep.Check(IsWindowEnabled(h.main()) != FALSE, L"the panel stays enabled");
    const std::pair<int, std::wstring> texts[] = {
        {about_box::kLblProgramName, L"ハリコ"}, {about_box::kLblVersion, L"Version 2.0.2"},
        {about_box::kLblMaker, L"Copyright (C) ハリコの作者"}, {about_box::kLblWww, L"WWW："},
        {about_box::kLblHelpLink, L"ハリコの使い方 (help.html)"}, {about_box::kLblUninstall, L"「" + h.name() + L"」のアンインストール :"},
        {about_box::kBtnUninstall, L"uninstall"}, {IDOK, L"OK"}};
    std::wstring seen, want;
    for (const auto& [id, text] : texts) {
        seen += Quote(TextOf(Item(about, id))) + L" ";
        want += Quote(text) + L" ";
    }
    rep.Check(seen == want, L"it shows the title, \"Version 2.0.2\", the maker, the help link, the uninstall row and OK", seen);
    const RECT icon = RectOf(Item(about, about_box::kPicProgramIcon));
    SetCursorPos((icon.left + icon.right) / 2, (icon.top + icon.bottom) / 2);
    rep.Check(WaitFor([&] {
        for (HWND w : TopWindows(L"tooltips_class32", h.pid()))
            if (TextOf(w) == L"おみくじ") return true;
        return false;
    }, 5000), L"resting on the program icon shows the tool tip \"おみくじ\"");

    if (!Click(rep, Item(about, about_box::kPicProgramIcon), L"the program icon")) return CloseProgram(rep, h);
    HWND f = nullptr;
    WaitFor([&] { return (f = h.WindowCaptioned(L"　　おみくじ")) != nullptr; }, 10000);
    HWND button = Item(f, fortune::kBtnClose);
    bool shown = WaitFor([&] { return IsWindowVisible(button) && !IsWindow(about); }, 20000);
    const std::vector<std::wstring> got = {TextOf(Item(f, fortune::kLblHeadline)), TextOf(Item(f, fortune::kLblSecondLine)), TextOf(button)};
    const std::vector<std::vector<std::wstring>> fortunes = {
        {L"ラッキー !　(^-^)v", L"きっといいことがあるでしょう！", L"閉じる"}, {L"なかなか　(^o^)", L"", L"閉じる"},
        {L"まずまず　(^-^)", L"", L"閉じる"}, {L"んー　(^-^;", L"またネ!", L"終了"},
        {L"えーん!　(ToT)", L"パソコンの電源が落ちます!", L"ｼｬｯﾄﾀﾞｳﾝ"}};
    rep.Check(shown && std::find(fortunes.begin(), fortunes.end(), got) != fortunes.end(),
              L"the About box gives way to \"　　おみくじ\", which after the shuffle shows one of the five fortunes",
              Quote(got[0]) + L" " + Quote(got[1]) + L" " + Quote(got[2]) + L"; " + h.WindowList());

    if ((about = OpenAbout(rep, h)) && Click(rep, Item(about, about_box::kPicProgramIcon), L"the program icon again")) {
        auto box = WaitForMessageBox(L"おみくじ", h.pid(), 10000);
        rep.Check(box && box->text == L"おみくじは、一回だけです。  " && box->Has(IDOK),
                  L"a second fortune in the same run only says \"おみくじは、一回だけです。  \"", box ? Quote(box->text) : OpenBoxes(h));
        if (box) AnswerMessageBox(*box, IDOK);
        if (Click(rep, Item(about, IDOK), L"OK")) rep.Check(WaitFor([&] { return !IsWindow(about); }, 5000), L"OK closes the About box");
    }
    if (got[2] == L"終了") {
        DeleteUserValue(h.SettingsKey(), L"Left");
        Click(rep, button, L"\"終了\"");
        rep.Check(h.process().WaitExit(15000) && WaitFor([&] { return h.Setting(L"Left").has_value(); }, 3000),
                  L"\"終了\" ends the program through its closing (the position is stored)");
        if (!StartReady(rep, h)) return;
    } else if (got[2] == L"閉じる" && Click(rep, button, L"\"閉じる\"")) {
        rep.Check(WaitFor([&] { return !IsWindow(f); }, 5000) && h.process().Running(), L"\"閉じる\" closes only the fortune screen");
    }
    // ｼｬｯﾄﾀﾞｳﾝ is never pressed: it would end the Wine session. The uninstall then closes the
    // program with it on screen, and must not shut down; an open tune must not keep its file.
    if (ConfirmUninstall(rep, h, L"after the fortune")) Uninstalled(rep, h);
    else CloseProgram(rep, h);
}

// ---- 51 -----------------------------------------------------------------------------------

void HelpPage(Report& rep, const std::wstring& exe) {
    Hariko h(exe);
    const std::wstring classes = L"Software\\Classes\\";
    if (!rep.Check(!MachineKeyExists(classes + L".html"), L"set-up: this machine has nothing that opens .html")) return;
    if (!PrepareInitialised(rep, exe) || !StartReady(rep, h)) return;
    const std::wstring page = h.DataFile(L"help.html");
    h.Menu(panel_ids::kHelp);
    auto box = WaitForMessageBox(L"ハリコ", h.pid(), 10000);
    const std::wstring text = L"使い方のページを開けませんでした。\r\n\r\nブラウザで次のファイルを開いてください。\r\n" + page;
    rep.Check(box && box->text == text, L"with nothing to open it, 使い方 says where the page is: " + Quote(text),
              box ? Quote(box->text) : OpenBoxes(h));
    if (box) AnswerMessageBox(*box, IDOK);
    auto written = ReadFileBytes(page).value_or("");
    rep.Check(written.rfind("<!DOCTYPE html>", 0) == 0 && written.find(Utf8(L"<title>ハリコの使い方</title>")) != std::string::npos,
              L"our page is written beside the data", std::to_wstring(written.size()) + L" bytes");

    // A browser of our own: it writes down the file the shell asks it to open.
    const std::wstring opened = TempDirectory() + L"\\hariko-opened.txt";
    WriteMachineString(classes + L".html", L"", L"hariko_e2e_html");
    WriteMachineString(classes + L"hariko_e2e_html\\shell\\open\\command", L"",
                       L"C:\\windows\\system32\\cmd.exe /c echo %1> \"" + opened + L"\"");
    auto openedPage = [&] { return ReadFileBytes(opened) == Cp932(page) + "\r\n"; };
    DeleteFileW(opened.c_str());
    h.Menu(panel_ids::kHelp);
    rep.Check(WaitFor(openedPage, 10000), L"使い方 hands " + page + L" to the program that opens .html",
              Hex(ReadFileBytes(opened).value_or("(nothing)")));
    DeleteFileW(opened.c_str());
    HWND about = OpenAbout(rep, h);
    if (about && Click(rep, Item(about, about_box::kLblHelpLink), L"the help link"))
        rep.Check(WaitFor([&] { return openedPage() && !IsWindow(about); }, 10000),
                  L"the About box's link opens the same page, and the box closes");
    DeleteMachineTree(classes + L"hariko_e2e_html");
    DeleteMachineTree(classes + L".html");
    DeleteFileW(opened.c_str());

    // The uninstall takes the page with the rest.
    if (ConfirmUninstall(rep, h, L"uninstall")) Uninstalled(rep, h);
    else CloseProgram(rep, h);
}

}  // namespace

bool ConfirmUninstall(Report& rep, Hariko& h, const std::wstring& what) {
    HWND about = OpenAbout(rep, h);
    if (!about || !Click(rep, Item(about, about_box::kBtnUninstall), what + L": \"uninstall\"")) return false;
    auto box = WaitForMessageBox(Uninstalling(h), h.pid(), 10000);
    const std::wstring text = L"「" + h.name() + L"」が保存しているデータを削除します。\r\n「" + h.name() +
                              L"」の実行ファイルは手動で削除してください。\r\n\r\n"
                              L"データを残すには、先にﾒﾆｭｰ → ﾃﾞｰﾀｾｯﾄのﾊﾞｯｸｱｯﾌﾟ でバックアップしてください。\r\n\r\n"
                              L"よろしいですか？";
    if (!rep.Check(box && box->text == text && box->Has(IDYES) && box->Has(IDNO),
                   what + L": it asks " + Quote(text) + L" with Yes and No", box ? Quote(box->text) : OpenBoxes(h)))
        return false;
    // Enter by habit must not delete: いいえ is the default button.
    const LONG noStyle = GetWindowLongW(GetDlgItem(box->hwnd, IDNO), GWL_STYLE);
    rep.Check((noStyle & 0x0F) == BS_DEFPUSHBUTTON, what + L": いいえ is the default button");
    AnswerMessageBox(*box, IDYES);
    return rep.Check(WaitFor([&] { return !IsWindow(about); }, 5000), what + L": after Yes the About box closes");
}

const std::vector<Scenario>& aboutScenarios() {
    static const std::vector<Scenario> all = {
        {50, L"50. About box: texts and version, tool tip, the once-per-run fortune, uninstall after it", AboutAndFortune},
        {51, L"51. 使い方 and the About box's link open our help page; the uninstall takes it too", HelpPage},
    };
    return all;
}

}  // namespace e2e
