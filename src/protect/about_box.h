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
enum ControlId {
    kLblProgramName = 4101, kLblVersion, kLblMaker, kPicProgramIcon, kLblWww, kLblHelpLink, kLblUninstall, kBtnUninstall
};
constexpr int kBtnOk = IDOK;
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
    bool Open();
    void OnOk();
    void OnHelpLink();
    void OnIconClick();
    void OnUninstall();
    // True while one of its handlers runs (the fortune show runs inside OnIconClick).
    bool Busy() const { return busy_ > 0; }

    Control* lblProgramName = nullptr;
    Control* lblVersion = nullptr;
    Control* lblMaker = nullptr;
    Control* picProgramIcon = nullptr;  // a click draws the fortune
    Control* lblWww = nullptr;          // "WWW："
    Control* lblHelpLink = nullptr;     // the home-page link: our help page
    Control* lblUninstall = nullptr;    // 「name」のアンインストール :
    Control* btnUninstall = nullptr;
    Control* btnOk = nullptr;

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
