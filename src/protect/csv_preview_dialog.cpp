#include "protect/csv_preview_dialog.h"

#include "win/app.h"

namespace {
constexpr int kClientWidth = 7800, kClientHeight = 4740;
std::wstring Count(size_t n) { return std::to_wstring(n) + L" 件"; }
}  // namespace

CsvPreviewDialog::CsvPreviewDialog(CsvPreviewLinks links) : links_(std::move(links)) {}

CsvPreviewDialog::~CsvPreviewDialog() = default;

bool CsvPreviewDialog::Open() {
    if (!CreateTopLevel(L"CSVから読み込む", WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU, 0, links_.panel, nullptr,
                        kClientWidth, kClientHeight))
        return false;
    CreateControls();
    OpenAsDialog({.owner = links_.panel, .slot = links_.own ? &links_.own->csvPreview : nullptr,
                  .size = OuterSize(kClientWidth, kClientHeight)});
    ShowWindow(hwnd_, SW_SHOW);
    SetForegroundWindow(hwnd_);
    btnCancel->SetFocus();
    return true;
}

void CsvPreviewDialog::CreateControls() {
    using namespace csv_preview;
    const DWORD label = WS_VISIBLE | SS_NOPREFIX | SS_ENDELLIPSIS;
    lblFile = AddControl({.text = L"ファイル: " + links_.fileName, .style = label, .left = 240, .top = 240,
                          .width = 7320, .height = 255, .id = kLblFile});
    lblSummary = AddControl({.text = L"読み込む件数: " + Count(links_.count) + L"\r\n見出しを切り詰めた数: " +
                                     Count(links_.captionsCut) + L"　　色を白にした数: " + Count(links_.coloursDefaulted),
                             .style = WS_VISIBLE | SS_NOPREFIX, .left = 240, .top = 555, .width = 7320, .height = 495,
                             .id = kLblSummary});
    lblList = AddControl({.text = L"最初の " + Count(links_.firstLines.size()) + L"（見出しと、内容の1行目）",
                          .style = label, .left = 240, .top = 1170, .width = 7320, .height = 255, .id = kLblList});
    listRows = AddControl({.cls = L"LISTBOX",
                           .style = WS_VISIBLE | WS_VSCROLL | LBS_NOINTEGRALHEIGHT | LBS_USETABSTOPS | LBS_NOSEL,
                           .exStyle = WS_EX_CLIENTEDGE, .left = 240, .top = 1440, .width = 7320, .height = 2460,
                           .id = kListRows});
    auto button = [this](const wchar_t* text, int left, int id, DWORD kind, std::function<void()> onClick) {
        Control* b = AddControl({.cls = L"BUTTON", .text = text, .style = WS_VISIBLE | WS_TABSTOP | kind, .left = left,
                                 .top = 4080, .width = 1620, .height = 420, .id = id, .onClick = std::move(onClick)});
        b->SetFont(kUiFont, 9);
        return b;
    };
    btnAppend = button(L"後ろに追加", 1140, kBtnAppend, BS_PUSHBUTTON, [this] { OnAppend(); });
    btnReplace = button(L"置き換え", 3000, kBtnReplace, BS_PUSHBUTTON, [this] { OnReplace(); });
    btnCancel = button(L"キャンセル", 4860, kBtnCancel, BS_DEFPUSHBUTTON, [this] { OnCancel(); });
    for (Control* c : {lblFile, lblSummary, lblList}) c->SetFont(kUiFont, 9);
    listRows->SetFont(kFixedFont, 9);
    int tab = 72;  // dialog units: past a caption of 全角7
    SendMessageW(listRows->hwnd, LB_SETTABSTOPS, 1, reinterpret_cast<LPARAM>(&tab));
    for (const std::wstring& line : links_.firstLines)
        SendMessageW(listRows->hwnd, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
}

void CsvPreviewDialog::Choose(CsvChoice c) {
    const auto chosen = links_.chosen;  // the caller may open the next dialog in our place
    Close();
    if (chosen) chosen(c);
}

void CsvPreviewDialog::Close() {
    ReleaseHeldUp();  // before the window goes, so that the panel is activated
    if (hwnd_) DestroyWindow(hwnd_);
}

LRESULT CsvPreviewDialog::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_COMMAND:
        // Enter presses the focused button (キャンセル unless the user moved); Esc cancels.
        if (lp == 0 && LOWORD(wp) == IDOK) {
            const HWND f = GetFocus();
            if (f == btnAppend->hwnd) OnAppend();
            else if (f == btnReplace->hwnd) OnReplace();
            else OnCancel();
            return 0;
        }
        if (lp == 0 && LOWORD(wp) == IDCANCEL) return OnCancel(), 0;
        break;
    case WM_CLOSE:
        Close();
        return 0;
    }
    return Form::HandleMessage(msg, wp, lp);
}
