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
    int text1Width, text1Height;
    int label1Top, label2Left, label2Top;
    int command1Left, command1Top;  // 更　新
    int command2Left, command2Top;  // キャンセル
    int command3Left, command3Top;  // 日本語ｵﾝ/ｵﾌ
};
TextEditorLayout LayoutTextEditor(int width, int height);

}  // namespace editor
