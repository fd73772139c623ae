// 差し込みを使う: fields filled in at the click, walked through with notepad as the target.
#include <string>

#include "e2e_backup.h"
#include "e2e_desktop.h"
#include "e2e_hariko.h"
#include "e2e_steps.h"
#include "panel/panel_ids.h"

namespace e2e {

void FieldsFillIn(Report& rep, const std::wstring& exe) {
    const std::wstring kLetter = L"{和暦}（{曜日}）{カーソル}様", kCopy = L"[{クリップボード}]";
    if (!PrepareInitialised(rep, exe)) return;
    Hariko h(exe);
    if (!rep.Check(WriteFileBytes(h.DataFile(L"MyData_1.dat"), Records({{L"宛名", kLetter}, {L"控え", kCopy}})),
                   L"set-up: Public 宛名 and 控え with fields"))
        return;
    Notepad np;
    std::wstring why;
    if (!rep.Check(np.Start(0, 0, 500, 400, &why), L"notepad starts at the left", why) || !StartReady(rep, h)) return;

    h.Menu(panel_ids::kInsertFields);
    SYSTEMTIME t{};
    GetLocalTime(&t);
    const std::wstring today = L"令和" + std::to_wstring(t.wYear - 2018) + L"年" + std::to_wstring(t.wMonth) + L"月" +
                               std::to_wstring(t.wDay) + L"日（" + std::wstring(1, L"日月火水木金土"[t.wDayOfWeek]) + L"）";
    if (PasteAndSee(rep, h, np, L"差し込みを使う ticked", today + L"様", L"宛名")) {
        // The caret waits before 様: what the user types goes there.
        TypeKeys(L"a");
        std::wstring got;
        const bool there = WaitFor([&] { return (got = np.Text()) == today + L"a様"; }, 5000);
        rep.Check(there, L"a typed character lands at {カーソル}", L"notepad holds " + Quote(got));
    }
    rep.Check(PutClipboardText(L"控えの🌸"), L"the user's clipboard holds a text with an emoji");
    PasteAndSee(rep, h, np, L"{クリップボード}", L"[控えの🌸]", L"控え");
    CloseProgram(rep, h);
    rep.Check(Stored(h, L"InsertFields", L"1"), L"closing stores InsertFields = \"1\"", SettingText(h.Setting(L"InsertFields")));

    if (!StartReady(rep, h)) return;
    h.Menu(panel_ids::kInsertFields);
    PasteAndSee(rep, h, np, L"差し込みを使う unticked", kLetter, L"宛名");
    CloseProgram(rep, h);
    h.WipeState();
}

}  // namespace e2e
