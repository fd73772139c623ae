#include "protect/help_page.h"

#include "store/datafiles.h"
#include "win/app.h"

std::optional<std::string> HelpPageBytes() {
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC res = FindResourceW(module, MAKEINTRESOURCEW(201), MAKEINTRESOURCEW(23));  // IDR_HELP_PAGE, RT_HTML
    if (!res) return std::nullopt;
    HGLOBAL loaded = LoadResource(module, res);
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data) return std::nullopt;
    return std::string(static_cast<const char*>(data), SizeofResource(module, res));
}

bool OpenHelpPage(const std::wstring& dir, HWND owner, const OpenDocumentFn& open) {
    const std::wstring path = dir + L"\\" + kHelpFileName;
    auto bytes = HelpPageBytes();
    if (!bytes || !WriteFileAtomic(path, *bytes)) {
        MsgBox(L"使い方のページを書き出せませんでした。\r\n\r\n" + path, MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    if (open && open(path, SW_SHOWNORMAL, owner)) return true;
    MsgBox(L"使い方のページを開けませんでした。\r\n\r\nブラウザで次のファイルを開いてください。\r\n" + path,
           MB_OK | MB_ICONEXCLAMATION);
    return false;
}
