#pragma once
// "CSVから読み込む": what a CSV file will bring into the shown data set, before anything
// changes; the user appends it, replaces the set with it, or cancels. The panel is held up
// while it is open.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "base/own_windows.h"
#include "win/form.h"

namespace csv_preview {
// Control identifiers, for tests and the end-to-end driver.
enum ControlId { kLblFile = 7101, kLblSummary, kLblList, kListRows, kBtnAppend, kBtnReplace, kBtnCancel };
}  // namespace csv_preview

enum class CsvChoice { Append, Replace };

struct CsvPreviewLinks {
    HWND panel = nullptr;  // owner, held up while the dialog is open
    OwnWindowTable* own = nullptr;
    std::wstring fileName;
    size_t count = 0;
    int captionsCut = 0;
    int coloursDefaulted = 0;
    std::vector<std::wstring> firstLines;  // caption, tab, the text's first line; 10 at most
    // Called once the dialog has closed, for 後ろに追加 or 置き換え (never for キャンセル).
    std::function<void(CsvChoice)> chosen;
};

class CsvPreviewDialog : public Form {
public:
    explicit CsvPreviewDialog(CsvPreviewLinks links);
    ~CsvPreviewDialog() override;

    bool Open();
    void OnAppend() { Choose(CsvChoice::Append); }
    void OnReplace() { Choose(CsvChoice::Replace); }
    void OnCancel() { Close(); }

    Control* lblFile = nullptr;
    Control* lblSummary = nullptr;
    Control* lblList = nullptr;
    Control* listRows = nullptr;
    Control* btnAppend = nullptr;
    Control* btnReplace = nullptr;
    Control* btnCancel = nullptr;

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void CreateControls();
    void Choose(CsvChoice c);
    void Close();

    CsvPreviewLinks links_;
};
