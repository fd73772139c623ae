#pragma once
// The About box: title, version, maker, the help-page link, the fortune behind the program
// icon and the uninstall question. Shown without a modal loop; the panel stays enabled.
#include <windows.h>

#include <functional>
#include <string>

#include "base/own_windows.h"
#include "win/form.h"

namespace about_box {
// Control identifiers, for tests and the end-to-end driver.
enum ControlId { kLblTitle = 4101, kLblVersion, kLabel1, kPicIcon, kLabel2, kLblHP, kLabel4, kCommand1 };
constexpr int kCmdOK = IDOK;
inline const std::wstring kCaption = L"バージョン情報";
inline const std::wstring kFortuneTip = L"おみくじ";
inline const std::wstring kMakerLine = L"Copyright (C) ハリコの作者";
inline const std::wstring kHomePageCaption = L"ハリコの使い方 (help.html)";

// "Version 2.0.2" for 2.0.0.2: major, minor and the last (revision) number.
std::wstring VersionLine(unsigned major, unsigned minor, unsigned revision);
// The version line of the running executable, from its version resource.
std::wstring OwnVersionLine();

std::wstring UninstallTitle(const std::wstring& exeName);
std::wstring UninstallQuestion(const std::wstring& exeName);
}  // namespace about_box

// What the About box is handed by the program around it.
struct AboutBoxLinks {
    HWND panel = nullptr;  // owner; stays enabled
    OwnWindowTable* own = nullptr;
    std::wstring exeName;
    // The fortune: true when one was drawn and its screen shown (the About box then closes).
    std::function<bool()> drawFortune;
    // The confirmed uninstall: sets the request the panel acts on at its next activation.
    std::function<void()> requestUninstall;
    // The help page, owned by the given window.
    std::function<void(HWND owner)> openHelp;
};

class AboutBox : public Form {
public:
    explicit AboutBox(AboutBoxLinks links);
    ~AboutBox() override;

    // Creates the window, fills it and shows it.
    bool Form_Load();
    void cmdOK_Click();
    void lblHP_Click();
    void picIcon_Click();
    void Command1_Click();  // "uninstall"
    // True while one of its handlers runs (the fortune show runs inside picIcon_Click).
    bool Busy() const { return busy_ > 0; }

    Control* lblTitle = nullptr;
    Control* lblVersion = nullptr;
    Control* Label1 = nullptr;    // maker line
    Control* picIcon = nullptr;   // program icon; the fortune
    Control* Label2 = nullptr;    // "WWW："
    Control* lblHP = nullptr;     // the home-page link: our help page
    Control* Label4 = nullptr;    // 「name」のアンインストール :
    Control* Command1 = nullptr;  // uninstall
    Control* cmdOK = nullptr;

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void CreateControls();
    void Close();
    void Paint();

    AboutBoxLinks links_;
    HICON icon_ = nullptr;
    int iconPx_ = 0;
    int busy_ = 0;
};
