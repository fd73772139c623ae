// The panel's menu items CSVに書き出す... and CSVから読み込む...: the shown data set to a CSV file
// for Excel, and a CSV file into the shown set after a preview.
#include "app/csv_import_logic.h"
#include "app/program.h"
#include "base/stored_names.h"
#include "base/wipe.h"
#include "protect/csv_preview_dialog.h"
#include "store/backup_service.h"
#include "store/file_cipher.h"
#include "win/app.h"
#include "win/file_dialogs.h"

namespace {

const wchar_t kExportTitle[] = L"CSVに書き出す";
const wchar_t kImportTitle[] = L"CSVから読み込む";
const wchar_t kUnchanged[] = L"\r\n\r\nデータは変更されていません。";

std::wstring CauseOf(unsigned long error) {
    const std::wstring text = ErrorCauseText(error);
    return text.empty() ? L"" : L"\r\n\r\n(" + text + L")";
}

}  // namespace

std::optional<std::string> Program::ShownSetBytes(const wchar_t* title) {
    const DataSet set = panel_->ChosenSet();
    std::optional<std::string> bytes;
    if (set == DataSet::Private && dataSets_.FileIsSealed()) bytes = dataSets_.UnlockedBytes();
    else if (set != DataSet::Private || (!keyUnknown_ && FileExists(dataSets_.PlainFile(DataSet::Private)))) bytes = ReadAllBytes(dataSets_.PlainFile(set));
    if (!bytes)
        MsgBox(set == DataSet::Private ? L"Privateが開いていないため、CSVの書き出しと読み込みはできません。\r\n\r\n"
                          L"ﾒﾆｭｰで「Private」を選んで開いてから、もう一度お試しください。"
                        : L"データのファイルを読み取れませんでした。\r\n\r\n" + dataSets_.PlainFile(set),
               MB_OK | MB_ICONEXCLAMATION, title);
    return bytes;
}

bool Program::WriteShownSet(const std::string& bytes) {
    const DataSet set = panel_->ChosenSet();
    // Private as the entry editor saves it: sealed at once, or the working copy that is
    // encrypted when Private is put away.
    if (set == DataSet::Private && dataSets_.FileIsSealed()) return dataSets_.SaveSealed(bytes);
    return WriteFileAtomic(dataSets_.PlainFile(set), bytes);
}

void Program::ExportCsv() {
    if (fileWorkRunning_) return;
    Running running(fileWorkRunning_);
    const DataSet set = panel_->ChosenSet();
    if (!ShownSetBytes(kExportTitle)) return;
    if (set == DataSet::Private && MsgBox(L"書き出すCSVファイルは暗号化されません。\r\n\r\nこのファイルを手にした人は誰でも、"
                           L"Privateの内容を読むことができます。\r\n\r\n書き出しますか？",
                           MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2, kExportTitle) != IDYES)
        return;
    SYSTEMTIME st;
    GetLocalTime(&st);
    const std::wstring path =
        AskSaveCsvPath(panel_->hwnd(), kExportTitle, CsvFileName(app_.exeName, set, st.wYear, st.wMonth, st.wDay));
    if (path.empty()) return;
    size_t count = 0;
    bool written = false;
    DWORD error = 0;
    {
        BusyCursor busy;
        std::optional<std::string> bytes = ShownSetBytes(kExportTitle);
        std::optional<std::string> csv;
        if (bytes) {
            const std::vector<Entry> entries = ParseDataSet(*bytes);
            count = entries.size();
            csv = EncodeCsv(entries);
            written = csv && WriteFileAtomic(path, *csv);
            error = GetLastError();
            wipe::Clear(*bytes);
        }
        if (csv) wipe::Clear(*csv);
    }
    if (!written) {
        MsgBox(L"CSVファイルを書き出せませんでした。\r\n\r\n" + path + CauseOf(error), MB_OK | MB_ICONSTOP, kExportTitle);
        return;
    }
    MsgBox(std::to_wstring(count) + L" 件をCSVファイルに書き出しました。\r\n\r\n" + path, MB_OK | MB_ICONINFORMATION,
           kExportTitle);
}

void Program::ImportCsv() {
    if (fileWorkRunning_) return;
    if (csvPreview_ && csvPreview_->hwnd()) {
        SetForegroundWindow(csvPreview_->hwnd());
        return;
    }
    Running running(fileWorkRunning_);
    if (!ShownSetBytes(kImportTitle)) return;
    const std::wstring path = AskOpenCsvPath(panel_->hwnd(), kImportTitle);
    if (path.empty()) return;
    const std::wstring name = path.substr(path.find_last_of(L"\\/") + 1);
    const std::optional<std::string> bytes = ReadAllBytes(path);
    if (!bytes) {
        MsgBox(path + L"\r\n\r\nを読み取れませんでした。" + CauseOf(GetLastError()) + kUnchanged, MB_OK | MB_ICONSTOP,
               kImportTitle);
        return;
    }
    CsvImport im;
    {
        BusyCursor busy;
        im = EntriesFromCsv(*bytes);
    }
    if (im.fault != CsvFault::None) {
        MsgBox(name + L"\r\n\r\nはCSVとして読み込めません。\r\n\r\n" + std::to_wstring(im.line) + L" 行目: " +
                   CsvFaultText(im.fault) + kUnchanged,
               MB_OK | MB_ICONSTOP, kImportTitle);
        return;
    }
    CsvPreviewLinks links;
    links.panel = panel_->hwnd();
    links.own = &app_.own;
    links.fileName = name;
    links.count = im.entries.size();
    links.captionsCut = im.captionsCut;
    links.coloursDefaulted = im.coloursDefaulted;
    for (size_t i = 0; i < im.entries.size() && i < 10; ++i) links.firstLines.push_back(PreviewLine(im.entries[i]));
    links.chosen = [this](CsvChoice c) { ApplyCsvImport(c); };
    csvImported_ = std::move(im.entries);
    csvPreview_ = std::make_unique<CsvPreviewDialog>(std::move(links));
    if (!csvPreview_->Open()) csvPreview_.reset();
}

void Program::ApplyCsvImport(CsvChoice choice) {
    if (fileWorkRunning_) return;
    Running running(fileWorkRunning_);
    const std::vector<Entry> imported = std::move(csvImported_);
    csvImported_.clear();
    std::optional<std::string> now = ShownSetBytes(kImportTitle);
    if (!now) return;
    const DataSet set = panel_->ChosenSet();
    const bool replace = choice == CsvChoice::Replace;
    FileWorkResult kept;
    bool written = false;
    {
        BusyCursor busy;
        const DataSetContents contents = ReadDataSet(*now);
        MergedSet merged = replace ? Replaced(contents, imported) : Appended(contents, imported);
        // A Private file of one record is taken for one that did not decrypt: a blank row more.
        if (set == DataSet::Private && merged.entries.size() == 1) {
            merged.entries.push_back(BlankEntries(1)[0]);
            merged.asRead.push_back(nullptr);
        }
        EncodeResult e = EncodeDataSet(merged.entries, ColourForm::Decimal, merged.asRead);
        if (replace) {
            // Private's copy stays encrypted: as it stands when sealed, else under the Private key.
            std::optional<std::string> keep = now;
            if (set == DataSet::Private) {
                keep = dataSets_.FileIsSealed() ? ReadAllBytes(dataSets_.File(stored::kPrivateFile))
                                            : CipherBytes(*now, app_.password.privateKey, true);
            }
            kept = keep ? KeepBeforeReplace(app_.BackupDir(), stored::DataFileName(StoredNumber(set)), *keep) : FileWorkResult{};
        }
        written = e.ok && (!replace || kept.ok) && WriteShownSet(e.bytes);
        wipe::Clear(e.bytes);
        wipe::Clear(*now);
    }
    if (replace && !kept.ok) {
        MsgBox(L"置き換える前のデータを残せなかったため、読み込みを中止しました。\r\n\r\n" + kept.failedPath +
                   CauseOf(kept.error) + kUnchanged,
               MB_OK | MB_ICONSTOP, kImportTitle);
        return;
    }
    if (!written) {
        MsgBox(L"データを書き込めませんでした。\r\n\r\n" + dataSets_.PlainFile(set) + kUnchanged, MB_OK | MB_ICONSTOP,
               kImportTitle);
        return;
    }
    panel_->LoadDataSet();
    panel_->LayoutPanel();
    const std::wstring count = std::to_wstring(imported.size()) + L" 件";
    MsgBox(replace ? count + L"を読み込みました。\r\n\r\n置き換える前のデータは、次のフォルダに残してあります。\r\n" + kept.keptIn
                   : count + L"を後ろに追加しました。",
           MB_OK | MB_ICONINFORMATION, kImportTitle);
}
