#pragma once
// Steps and looks that several scenarios share: starting and closing the program, the
// panel's shape, texts as reports show them.
#include <windows.h>

#include <optional>
#include <string>

#include "e2e_hariko.h"
#include "e2e_report.h"

namespace e2e {

// Outer height of the panel: rows of 280 twips plus the fixed parts, 305 more with the row
// of key buttons (懸賞ﾓｰﾄﾞ and 文書ﾓｰﾄﾞ).
int PanelHeightTwips(int rows, bool keyRow);
constexpr int kPanelWidthTwips = 1825;

std::wstring Quote(const std::wstring& s);
// A setting as the program stores it, waited for (what it stores on closing or on a timer).
bool Stored(const Hariko& h, const std::wstring& key, const std::wstring& value, int ms = 3000);
std::wstring SettingText(const std::optional<std::wstring>& v);
// "; open box ..." for every box the program shows, for reports.
std::wstring OpenBoxes(const Hariko& h);
// Boxes left open by a failed step would block every later step: report and close them.
void DismissBoxes(Report& rep, const Hariko& h);
// Reads a menu check mark where the platform lets another process do so (not under Wine).
void CheckTick(Report& rep, const Hariko& h, int id, bool expected, const std::wstring& what);

bool Visible(const Hariko& h, int id);
// Which key buttons are shown: 0 none (標準ﾓｰﾄﾞ), 1 前へ/次へ (懸賞ﾓｰﾄﾞ), 2 改行 (文書ﾓｰﾄﾞ), -1 a mix.
int ShownKeyRow(const Hariko& h);
std::wstring KeyRowText(const Hariko& h);
// The first captions of the column as shown, for reports.
std::wstring Captions(const Hariko& h);
int OuterHeight(HWND h);
int OuterWidth(HWND h);

// A state in which the program has run once (welcome answered with No) and was closed:
// Public, 標準ﾓｰﾄﾞ, 25 rows everywhere, Private at rest, no stored position.
bool PrepareInitialised(Report& rep, const std::wstring& exe);
bool StartReady(Report& rep, Hariko& h);
void CloseProgram(Report& rep, Hariko& h);
// The screen saved as <name>.bmp in the folder E2E_SHOTS names, when it names one.
void Screenshot(Report& rep, const std::wstring& name);

}  // namespace e2e
