#include "editor/colour_chooser.h"

#include <commctrl.h>
#include <commdlg.h>

#include <algorithm>

#include "base/color.h"
#include "base/stored_names.h"
#include "editor/entry_editor.h"
#include "editor/ole_colour.h"
#include "store/datafiles.h"
#include "win/app.h"
#include "win/late_bound.h"

namespace {

constexpr int kClientWidth = 7050, kClientHeight = 1485;
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;

LRESULT CALLBACK SwatchProc(HWND h, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id, DWORD_PTR data) {
    auto* form = reinterpret_cast<ColourChooser*>(data);
    const int index = static_cast<int>(id);
    switch (msg) {
    case WM_LBUTTONDOWN:
        form->OnSwatchPressed(index, 1);
        return 0;
    case WM_RBUTTONDOWN:
        form->OnSwatchPressed(index, 2);
        return 0;
    case WM_MBUTTONDOWN:
        form->OnSwatchPressed(index, 4);
        return 0;
    case WM_NCDESTROY:
        RemoveWindowSubclass(h, SwatchProc, id);
        break;
    }
    return DefSubclassProc(h, msg, wp, lp);
}

// The swatch's name, drawn nowhere: its colour for a screen reader.
std::wstring SwatchName(int index, int32_t colour) {
    const COLORREF c = Form::ResolveColor(colour);
    return L"色見本 " + std::to_wstring(index + 1) + L": 赤 " + std::to_wstring(GetRValue(c)) + L" 緑 " +
           std::to_wstring(GetGValue(c)) + L" 青 " + std::to_wstring(GetBValue(c));
}

}  // namespace

ColourDialog::Dialog ColourChooser::SystemDialog = [](ColorDialogRecord& r) {
    COLORREF custom[editor::kSwatches];
    for (int k = 0; k < editor::kSwatches; ++k) custom[k] = static_cast<COLORREF>(r.customColors[k]);
    CHOOSECOLORW cc{};
    cc.lStructSize = r.size;
    cc.hwndOwner = reinterpret_cast<HWND>(r.owner);
    cc.hInstance = reinterpret_cast<HWND>(r.instance);
    cc.rgbResult = static_cast<COLORREF>(r.color);
    cc.lpCustColors = custom;
    cc.Flags = r.flags;
    cc.lCustData = r.custData;
    cc.lpTemplateName = r.templateName;
    const bool ok = late::ChooseColorW(&cc) != FALSE;
    if (ok) {
        r.color = static_cast<int32_t>(cc.rgbResult);
        for (int k = 0; k < editor::kSwatches; ++k) r.customColors[k] = static_cast<int32_t>(custom[k]);
    }
    return ok;
};

ColourChooser::ColourChooser(EntryEditor& editor) : editor_(editor) {}

ColourChooser::~ColourChooser() = default;

bool ColourChooser::Open() {
    const EditorLinks& links = editor_.Links();
    if (!CreateTopLevel(L"ボタン色の選択", kStyle, 0, editor_.hwnd(), nullptr, kClientWidth, kClientHeight))
        return false;
    // The panel is the entry editor's to let go (it is held up already); only the entry
    // editor is this window's. The client area has the fixed size; the frame comes around it.
    if (links.panel) EnableWindow(links.panel, FALSE);
    OpenAsDialog({.owner = editor_.hwnd(), .slot = links.own ? &links.own->colourChooser : nullptr,
                  .size = OuterSize(kClientWidth, kClientHeight), .dialogKeys = false});
    customColours.fill(0xFFFFFF);

    std::vector<std::wstring> records;
    if (auto bytes = ReadAllBytes(links.dataDir + L"\\" + stored::kColourFile)) records = ParseOneFieldRecords(*bytes);
    std::array<int32_t, editor::kSwatches> colours;
    colours.fill(editor::kSwatchDesignColour);
    colours = editor::SwatchColours(records, colours);
    for (int i = 0; i < editor::kSwatches; ++i) {
        swatches[i] = AddControl({.style = WS_VISIBLE | SS_OWNERDRAW | SS_NOTIFY | WS_BORDER, .left = editor::SwatchLeft(i),
                                  .top = editor::SwatchTop(i), .width = 800, .height = 400,
                                  .id = colour_chooser::kSwatch + i});
        swatches[i]->backColor = colours[static_cast<size_t>(i)];
        swatches[i]->SetText(SwatchName(i, swatches[i]->backColor));
        SetWindowSubclass(swatches[i]->hwnd, SwatchProc, static_cast<UINT_PTR>(i), reinterpret_cast<DWORD_PTR>(this));
    }
    lblHowTo = AddControl({.text = L"色見本を左クリックでボタン色の選択、右クリックでカスタム色の生成。",
                           .style = WS_VISIBLE | SS_NOPREFIX, .left = 135, .top = 1200, .width = 6800, .height = 255,
                           .id = colour_chooser::kLblHowTo});
    lblHowTo->SetFont(kUiFont, 9);
    ShowWindow(hwnd_, SW_SHOW);
    SetForegroundWindow(hwnd_);
    return true;
}

void ColourChooser::OnSwatchPressed(int index, int button) {
    if (closed_ || index < 0 || index >= editor::kSwatches) return;
    Control* swatch = swatches[index];
    if (button == 1) {
        editor_.Session().chosenColour = ColorValueToDecimalText(swatch->backColor);
        Close();
    } else if (button == 2) {
        ColourDialog dialog(SystemDialog, ResolveOleColour, sizeof(CHOOSECOLORW),
                            reinterpret_cast<uintptr_t>(GetModuleHandleW(nullptr)));
        dialog.SetColor(swatch->backColor);
        for (int k = 0; k < editor::kSwatches; ++k) dialog.SetCustomColor(k, customColours[static_cast<size_t>(k)]);
        if (dialog.ShowColorDialog(reinterpret_cast<uintptr_t>(hwnd_), CC_RGBINIT | CC_FULLOPEN)) {
            swatch->backColor = dialog.Color();
            for (int k = 0; k < editor::kSwatches; ++k) customColours[static_cast<size_t>(k)] = dialog.CustomColor(k);
            swatch->SetText(SwatchName(index, swatch->backColor));
            InvalidateRect(swatch->hwnd, nullptr, TRUE);
        }
    }
}

void ColourChooser::OnKey(UINT key) {
    if (key == VK_RETURN || key == VK_SPACE) {
        OnSwatchPressed(current_, 1);
    } else if (key == VK_ESCAPE) {
        Close();  // nothing chosen: the row keeps its colour
    } else {
        const int next = editor::SwatchAfterKey(current_, static_cast<int>(key));
        if (next == current_) return;
        const int was = current_;
        current_ = next;
        for (int i : {was, next}) InvalidateRect(swatches[i]->hwnd, nullptr, FALSE);
    }
}

void ColourChooser::OnClosing() {
    std::vector<int32_t> colours;
    for (Control* c : swatches)
        if (c) colours.push_back(c->backColor);
    if (colours.size() == editor::kSwatches)
        WriteFileAtomic(editor_.Links().dataDir + L"\\" + stored::kColourFile, EncodeColorDat(colours));
    // The panel stays held up: the entry editor is still open over it.
    ReleaseHeldUp();
}

void ColourChooser::Close() {
    if (closed_ || !hwnd_) return;
    closed_ = true;
    OnClosing();
    DestroyWindow(hwnd_);
}

LRESULT ColourChooser::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_DRAWITEM: {
        auto* di = reinterpret_cast<const DRAWITEMSTRUCT*>(lp);
        Control* c = FindControl(di->hwndItem);
        if (c) {
            HBRUSH b = CreateSolidBrush(ResolveColor(c->backColor));
            FillRect(di->hDC, &di->rcItem, b);
            DeleteObject(b);
            if (c == swatches[current_]) {
                RECT r = di->rcItem;
                InflateRect(&r, -2, -2);
                DrawFocusRect(di->hDC, &r);
            }
            return TRUE;
        }
        break;
    }
    case WM_KEYDOWN:
        OnKey(static_cast<UINT>(wp));
        return 0;
    case WM_CLOSE:
        Close();
        return 0;
    }
    return Form::HandleMessage(msg, wp, lp);
}
