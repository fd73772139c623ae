#pragma once
// The multi-line text editor without its window: its title and its layout (twips).
#include <string>

namespace editor {

constexpr int kTextEditorMinWidth = 8805;
constexpr int kTextEditorMinHeight = 7400;

// "貼付データ用テキストエディタ", followed by the button's caption when it has one.
std::wstring TextEditorTitle(const std::wstring& caption);

struct TextEditorLayout {
    int width, height;  // raised to the minimums; no snapping, no maximum
    int textWidth, textHeight;
    int notesTop, resizableLeft, resizableTop;
    int saveLeft, saveTop;  // 更　新
    int cancelLeft, cancelTop;  // キャンセル
    int imeLeft, imeTop;  // 日本語ｵﾝ/ｵﾌ
};
TextEditorLayout LayoutTextEditor(int width, int height);

}  // namespace editor
