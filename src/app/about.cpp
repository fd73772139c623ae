// The help menu: the About box with its fortune and uninstall question, and the help page.
#include <windows.h>

#include <chrono>
#include <random>

#include "app/program.h"
#include "panel/fortune_screen.h"
#include "protect/about_box.h"
#include "protect/help_page.h"
#include "protect/shell_open.h"
#include "win/app.h"

void Program::ShowAbout() {
    if (about_ && about_->hwnd()) {
        SetForegroundWindow(about_->hwnd());
        return;
    }
    // The fortune show runs inside the old box's click; that box object must outlive it.
    if (about_ && about_->Busy()) return;
    AboutBoxLinks links;
    links.panel = panel_->hwnd();
    links.own = &app_.own;
    links.exeName = app_.exeName;
    links.drawFortune = [this] { return DrawFortune(); };
    links.requestUninstall = [this] { app_.uninstallRequest = 1; };
    links.openHelp = [this](HWND owner) { OpenHelpPage(app_.dataDir, owner, OpenDocument); };
    about_ = std::make_unique<AboutBox>(std::move(links));
    if (!about_->Open()) about_.reset();
}

void Program::ShowHelp() { OpenHelpPage(app_.dataDir, panel_->hwnd(), OpenDocument); }

bool Program::DrawFortune() {
    if (app_.fortuneCount >= 1) {
        MsgBox(L"おみくじは、一回だけです。  ", MB_OK | MB_ICONINFORMATION, L"おみくじ");
        return false;
    }
    ++app_.fortuneCount;
    std::mt19937 rng(static_cast<unsigned>(std::chrono::steady_clock::now().time_since_epoch().count()));
    app_.fortuneNumber = fortune::FortuneNumberFrom(std::uniform_real_distribution<double>(0.0, 1.0)(rng));
    DoEvents();
    ShowFortune();
    return true;
}

FortuneScreenLinks Program::FortuneLinks() {
    FortuneScreenLinks links;
    links.own = &app_.own;
    links.dataDir = app_.dataDir;
    links.number = app_.fortuneNumber;
    // What closing would do first, so nothing is lost if Windows ends us without a word.
    links.prepareShutdown = [this] { StoreAtClosing(); };
    links.endProgram = [this] {
        if (panel_ && panel_->hwnd()) SendMessageW(panel_->hwnd(), WM_CLOSE, 0, 0);
    };
    return links;
}

void Program::ShowFortune() {
    if (fortuneScreen_) return;  // one fortune screen per run
    fortuneScreen_ = std::make_unique<FortuneScreen>(FortuneLinks());
    fortuneScreen_->Open();
}
