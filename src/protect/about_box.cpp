#include "protect/about_box.h"

#include <vector>

#include "win/app.h"
#include "win/late_bound.h"

namespace {

constexpr int kInnerWidth = 4680, kInnerHeight = 3600;  // twips
constexpr int kLineTops[] = {1680, 2760};               // the etched lines

}  // namespace

namespace about_box {

std::wstring VersionLine(unsigned major, unsigned minor, unsigned revision) {
    return L"Version " + std::to_wstring(major) + L"." + std::to_wstring(minor) + L"." +
           std::to_wstring(revision);
}

std::wstring OwnVersionLine() {
    const std::wstring exe = ExePath();
    DWORD ignored = 0;
    DWORD size = late::GetFileVersionInfoSizeW(exe.c_str(), &ignored);
    std::vector<char> block(size);
    VS_FIXEDFILEINFO* info = nullptr;
    UINT len = 0;
    if (!size || !late::GetFileVersionInfoW(exe.c_str(), 0, size, block.data()) ||
        !late::VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&info), &len) || !info)
        return VersionLine(0, 0, 0);
    return VersionLine(HIWORD(info->dwFileVersionMS), LOWORD(info->dwFileVersionMS),
                       LOWORD(info->dwFileVersionLS));
}

std::wstring UninstallTitle(const std::wstring& exeName) { return L"「" + exeName + L"」のアンインストール"; }

std::wstring UninstallQuestion(const std::wstring& exeName) {
    return L"「" + exeName + L"」が保存しているデータを削除します。\r\n"
           L"「" + exeName + L"」の実行ファイルは手動で削除してください。\r\n\r\n"
           L"データを残すには、先にﾒﾆｭｰ → ﾃﾞｰﾀｾｯﾄのﾊﾞｯｸｱｯﾌﾟ でバックアップしてください。\r\n\r\n"
           L"よろしいですか？";
}

}  // namespace about_box

AboutBox::AboutBox(AboutBoxLinks links) : links_(std::move(links)) {}

AboutBox::~AboutBox() {
    if (icon_) DestroyIcon(icon_);
}

bool AboutBox::Open() {
    // A popup owned by the panel: when it closes Windows activates the panel, whose activation
    // acts on a confirmed uninstall.
    if (!CreateTopLevel(about_box::kCaption, WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN,
                        WS_EX_DLGMODALFRAME, links_.panel, nullptr, kInnerWidth, kInnerHeight))
        return false;
    CreateControls();
    // Not modal: the panel stays usable while it is open.
    OpenAsDialog({.owner = links_.panel, .slot = links_.own ? &links_.own->aboutBox : nullptr, .holdOwner = false,
                  .size = OuterSize(kInnerWidth, kInnerHeight)});
    ShowWindow(hwnd_, SW_SHOW);
    SetForegroundWindow(hwnd_);
    btnOk->SetFocus();
    return true;
}

void AboutBox::CreateControls() {
    using namespace about_box;
    const DWORD label = WS_VISIBLE | SS_NOPREFIX;
    lblProgramName = AddControl({.text = kProgramTitle, .style = label, .left = 1080, .top = 150, .width = 2805,
                                 .height = 240, .id = kLblProgramName});
    lblVersion = AddControl({.text = OwnVersionLine(), .style = label, .left = 1200, .top = 390,
                             .width = 3165, .height = 225, .id = kLblVersion});
    lblMaker = AddControl({.text = kMakerLine, .style = label, .left = 1200, .top = 630, .width = 3135,
                           .height = 255, .id = kLblMaker});
    picProgramIcon = AddControl({.style = WS_VISIBLE | SS_NOTIFY | SS_OWNERDRAW, .left = 360, .top = 240,
                                 .width = 480, .height = 480, .id = kPicProgramIcon,
                                 .onClick = [this] { OnIconClick(); }});
    btnOk = AddControl({.cls = L"BUTTON", .text = L"OK", .style = WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON,
                        .left = 2880, .top = 1080, .width = 1380, .height = 345, .id = kBtnOk,
                        .onClick = [this] { OnOk(); }});
    lblWww = AddControl({.text = L"WWW：", .style = label, .left = 585, .top = 1920, .width = 570,
                         .height = 240, .id = kLblWww});
    lblHelpLink = AddControl({.text = kHomePageCaption, .style = label | SS_NOTIFY, .left = 1155, .top = 1920,
                              .width = 3285, .height = 240, .id = kLblHelpLink, .onClick = [this] { OnHelpLink(); }});
    lblUninstall = AddControl({.text = L"「" + links_.exeName + L"」のアンインストール :",
                               .style = label | SS_RIGHT | SS_CENTERIMAGE, .left = 240, .top = 3000,
                               .width = 2415, .height = 375, .id = kLblUninstall});
    btnUninstall = AddControl({.cls = L"BUTTON", .text = L"uninstall", .style = WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON,
                               .left = 2880, .top = 3000, .width = 1335, .height = 375, .id = kBtnUninstall,
                               .onClick = [this] { OnUninstall(); }});
    lblProgramName->SetFont(kUiFont, 9.75, true);
    for (Control* c : {lblVersion, lblMaker}) c->SetFont(kUiFont, 9.75);
    for (Control* c : {btnOk, lblWww, lblHelpLink, lblUninstall, btnUninstall}) c->SetFont(kUiFont, 9);
    SetToolTip(picProgramIcon, kFortuneTip);
    iconPx_ = Px(480);
    icon_ = static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1), IMAGE_ICON,
                                          iconPx_, iconPx_, 0));
}

void AboutBox::Close() {
    if (hwnd_) DestroyWindow(hwnd_);
}

void AboutBox::OnOk() { Close(); }

void AboutBox::OnHelpLink() {
    ++busy_;
    if (links_.openHelp) links_.openHelp(hwnd_);
    --busy_;
    Close();
}

void AboutBox::OnIconClick() {
    ++busy_;
    bool drawn = links_.drawFortune && links_.drawFortune();
    --busy_;
    if (drawn) Close();
}

void AboutBox::OnUninstall() {
    ++busy_;
    // Deleting data: an Enter pressed by habit must not confirm it.
    int answer = MsgBox(about_box::UninstallQuestion(links_.exeName), MB_YESNO | MB_ICONEXCLAMATION | MB_DEFBUTTON2,
                        about_box::UninstallTitle(links_.exeName));
    --busy_;
    if (answer != IDYES) return;
    if (links_.requestUninstall) links_.requestUninstall();
    Close();
}

void AboutBox::Paint() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd_, &ps);
    HBRUSH shadow = GetSysColorBrush(COLOR_BTNSHADOW), light = GetSysColorBrush(COLOR_BTNHIGHLIGHT);
    for (int top : kLineTops) {
        RECT a{Px(240), Px(top), Px(kInnerWidth - 240), Px(top) + 1};
        FillRect(dc, &a, shadow);
        OffsetRect(&a, 0, 1);
        FillRect(dc, &a, light);
    }
    EndPaint(hwnd_, &ps);
}

LRESULT AboutBox::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_COMMAND:
        if (!lp && (LOWORD(wp) == IDOK || LOWORD(wp) == IDCANCEL)) {  // Enter, Esc
            OnOk();
            return 0;
        }
        break;
    case WM_PAINT:
        Paint();
        return 0;
    case WM_DRAWITEM: {
        auto* di = reinterpret_cast<const DRAWITEMSTRUCT*>(lp);
        if (picProgramIcon && di->hwndItem == picProgramIcon->hwnd) {
            FillRect(di->hDC, &di->rcItem, GetSysColorBrush(COLOR_BTNFACE));
            if (icon_) DrawIconEx(di->hDC, 0, 0, icon_, iconPx_, iconPx_, 0, nullptr, DI_NORMAL);
            return TRUE;
        }
        break;
    }
    case WM_CTLCOLORSTATIC:
        if (lblHelpLink && reinterpret_cast<HWND>(lp) == lblHelpLink->hwnd) {
            HDC dc = reinterpret_cast<HDC>(wp);
            SetTextColor(dc, RGB(0, 0, 255));
            SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
            return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
        }
        break;
    case WM_SETCURSOR:
        if (lblHelpLink && reinterpret_cast<HWND>(wp) == lblHelpLink->hwnd) {
            SetCursor(LoadCursorW(nullptr, IDC_HAND));
            return TRUE;
        }
        break;
    }
    return Form::HandleMessage(msg, wp, lp);
}
