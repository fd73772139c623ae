// Public written to a CSV file and read back with 置き換え, judged by the file's bytes and the
// data file's; a Shift_JIS file from Excel appended, judged by the panel's buttons.
#include "e2e_csv.h"

#include <ctime>
#include <string>

#include "e2e_backup.h"
#include "e2e_desktop.h"
#include "e2e_hariko.h"
#include "e2e_steps.h"
#include "panel/panel_ids.h"
#include "protect/csv_preview_dialog.h"
#include "store/dataset_format.h"

namespace e2e {
namespace {

// The program's file dialog titled `title`: its name box is given `path`, then 保存 or 開く.
// Returns the name box's text as the dialog offered it.
std::wstring ChooseFile(Report& rep, const Hariko& h, const std::wstring& title, const std::wstring& path) {
    HWND dialog = nullptr, name = nullptr;
    WaitFor([&] {
        for (HWND d : TopWindows(L"#32770", h.pid()))
            for (HWND c : Descendants(d))
                if (TextOf(d) == title && ClassOf(c) == L"Edit" && IsWindowVisible(c)) {
                    dialog = d;
                    name = c;
                    return true;
                }
        return false;
    }, 10000);
    if (!rep.Check(name != nullptr, L"the file dialog \"" + title + L"\" opens", h.WindowList() + OpenBoxes(h))) return L"";
    const std::wstring offered = TextOf(name);
    SendMessageW(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
    rep.Check(WaitFor([&] { return !IsWindow(dialog); }, 5000), L"the file dialog takes " + Quote(path));
    return offered;
}

// The preview of a CSV file: its summary checked, then one of its buttons.
void Preview(Report& rep, const Hariko& h, const std::wstring& summary, int button, const std::wstring& what) {
    HWND d = nullptr;
    WaitFor([&] { return (d = h.WindowCaptioned(L"CSVから読み込む")) != nullptr; }, 10000);
    const std::wstring seen = d ? TextOf(DescendantById(d, csv_preview::kLblSummary)) : L"";
    if (!rep.Check(seen.rfind(summary, 0) == 0, L"the preview says " + Quote(summary), Quote(seen) + h.WindowList()))
        return;
    Screenshot(rep, L"csv-preview-" + std::to_wstring(GetDlgCtrlID(DescendantById(d, button))));
    PostMessageW(DescendantById(d, button), BM_CLICK, 0, 0);
    rep.Check(WaitFor([&] { return !IsWindow(d); }, 5000), what);
}

// ---- 100 ----------------------------------------------------------------------------------

void ExportAndImport(Report& rep, const std::wstring& exe) {
    if (!PrepareInitialised(rep, exe)) return;
    Hariko h(exe);
    std::vector<Entry> entries = InitialPublicEntries();
    entries[2] = {L"𠮷田", L"〒105-0011\r\n東京都港区芝公園4-2-8, 若葉ビル", L"&H8000000F"};
    const std::string before = EncodeDataSet(entries, ColourForm::HexText).bytes;
    const std::wstring dir = testsupport::FreshFolder(L"hariko_e2e_csv"), out = dir + L"\\public.csv", sjis = dir + L"\\excel.csv";
    if (!rep.Check(WriteFileBytes(h.DataFile(L"MyData_1.dat"), before), L"set-up: Public holds 𠮷田 with a comma and a line break") ||
        !StartAtLeft(rep, h))
        return;

    h.Menu(panel_ids::kExportCsv);
    const std::time_t now = std::time(nullptr);
    wchar_t today[16];
    std::wcsftime(today, 16, L"%Y%m%d", std::localtime(&now));
    const std::wstring offered = ChooseFile(rep, h, L"CSVに書き出す", out);
    rep.Check(offered == L"ハリコ_Public_" + std::wstring(today) + L".csv", L"the dialog offers the name of the set and the day",
              Quote(offered));
    Expect(rep, h, L"CSVに書き出す", L"25 件をCSVファイルに書き出しました。\r\n\r\n" + out, IDOK, L"export");
    const std::string csv = ReadFileBytes(out).value_or("");
    rep.Check(csv.rfind("\xEF\xBB\xBF" + Utf8(L"見出し,内容,色\r\n氏名,青木　純,#FFFFFF\r\n"), 0) == 0,
              L"the file starts with the UTF-8 mark, the header and 氏名", Hex(csv));

    h.Menu(panel_ids::kImportCsv);
    ChooseFile(rep, h, L"CSVから読み込む", out);
    Preview(rep, h, L"読み込む件数: 25 件\r\n見出しを切り詰めた数: 0 件　　色を白にした数: 0 件", csv_preview::kBtnReplace,
            L"置き換え");
    Expect(rep, h, L"CSVから読み込む", L"25 件を読み込みました。\r\n\r\n置き換える前のデータは、次のフォルダに残してあります。\r\n" +
           h.BackupDir() + L"_読込前_", IDOK, L"replaced", true);
    rep.Check(ReadFileBytes(h.DataFile(L"MyData_1.dat")) == before, L"MyData_1.dat is the same, byte for byte",
              Hex(ReadFileBytes(h.DataFile(L"MyData_1.dat")).value_or("")));
    // The copy kept before 置き換え, beside the program; removed, as no other run needs it.
    std::optional<std::string> kept;
    for (const std::wstring& f : FolderEntries(h.ProgramDir()))
        if (f.rfind(h.name() + L"_BackupData_読込前_", 0) == 0) {
            kept = ReadFileBytes(h.ProgramDir() + L"\\" + f + L"\\MyData_1.dat");
            RemoveTree(h.ProgramDir() + L"\\" + f);
        }
    rep.Check(kept == before, L"the folder kept before 置き換え holds MyData_1.dat as it was", Hex(kept.value_or("")));

    // Excel's "CSV (コンマ区切り)": Shift_JIS, one column, no header.
    WriteFileBytes(sjis, Cp932(L"お届け先\r\n\"請求先\r\n若葉商会　経理部\"\r\n"));
    h.Menu(panel_ids::kImportCsv);
    ChooseFile(rep, h, L"CSVから読み込む", sjis);
    Preview(rep, h, L"読み込む件数: 2 件", csv_preview::kBtnAppend, L"後ろに追加");
    Expect(rep, h, L"CSVから読み込む", L"2 件を後ろに追加しました。", IDOK, L"appended");
    rep.Check(WaitFor([&] { return h.EntryButton(L"お届け先") && h.EntryButton(L"請求先"); }, 5000),
              L"the panel shows お届け先 and 請求先", Captions(h));
    const DataSetContents after = ReadDataSet(ReadFileBytes(h.DataFile(L"MyData_1.dat")).value_or(""));
    rep.Check(after.entries.size() == 25 && after.entries[3].caption == L"お届け先" &&
                  after.entries[4].text == L"請求先\r\n若葉商会　経理部",
              L"they follow 𠮷田 in the data file, the rows stay 25");
    CloseProgram(rep, h);
    RemoveTree(dir);
}

}  // namespace

const std::vector<Scenario>& csvScenarios() {
    static const std::vector<Scenario> all = {
        {100, L"100. Public to CSV and back with 置き換え; a Shift_JIS file from Excel appended", ExportAndImport},
    };
    return all;
}

}  // namespace e2e
