#include "editor/text_editor_logic.h"

#include <algorithm>

namespace editor {

std::wstring TextEditorTitle(const std::wstring& caption) {
    std::wstring title = L"貼付データ用テキストエディタ";
    if (!caption.empty()) title += L"　　　　　ボタン「" + caption + L"」の貼付データの編集";
    return title;
}

TextEditorLayout LayoutTextEditor(int width, int height) {
    TextEditorLayout l{};
    l.width = std::max(width, kTextEditorMinWidth);
    l.height = std::max(height, kTextEditorMinHeight);
    const int W = l.width, H = l.height;
    l.textWidth = W - 90;
    l.textHeight = H - 2150;
    l.notesTop = H - 1900;
    l.resizableLeft = W - 4500;
    l.resizableTop = H - 750;
    l.saveLeft = W - 1800;
    l.saveTop = H - 1300;
    l.cancelLeft = W - 3600;
    l.cancelTop = H - 1300;
    l.imeLeft = W - 3600;
    l.imeTop = H - 1800;
    return l;
}

}  // namespace editor
