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
    l.text1Width = W - 90;
    l.text1Height = H - 2150;
    l.label1Top = H - 1900;
    l.label2Left = W - 4500;
    l.label2Top = H - 750;
    l.command1Left = W - 1800;
    l.command1Top = H - 1300;
    l.command2Left = W - 3600;
    l.command2Top = H - 1300;
    l.command3Left = W - 3600;
    l.command3Top = H - 1800;
    return l;
}

}  // namespace editor
