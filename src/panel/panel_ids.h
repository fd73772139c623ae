#pragma once
// Control and menu identifiers of the panel, shared with the end-to-end driver. The values
// are what tests and tools find the controls by: they never change.
namespace panel_ids {
enum ControlId {
    kViewport = 1000, kButtonColumn = 1001, kScrollBar = 1002,
    kBtnEdit = 1003, kBtnMode = 1004, kBtnPrev = 1005, kBtnNext = 1006, kBtnNewLine = 1007,
    kBtnFocusHolder = 1008, kBtnMinimise = 1009,
    // The hidden fields: the last entry's text, the front window's title and handle, the target.
    kEditLastText = 1010, kEditFrontTitle = 1011, kEditFrontWindow = 1012, kEditTargetWindow = 1013,
    kSizeGrip = 1014,
    kFirstEntryButton = 1100,  // reused entry buttons: 1100, 1101, ... (children of the column)
    kEditSearch = 1200, kListFound = 1201,  // the search window's box and list
};
enum MenuId {
    kPublic = 100, kPrivate = 101, kKaomoji = 102,
    kPasteOnly = 103, kThenTab = 104, kThenEnter = 105,
    kPasswordOn = 106, kPasswordOff = 107, kPasswordChange = 108,
    kBackup = 109, kRestore = 110, kNewCopy = 111, kDesktopShortcut = 112,
    kMinimise = 113, kExit = 114, kHelp = 115, kAbout = 116,
    kClipRestore = 117,
    kInsertFields = 122,
    kSealPrivate = 130,  // Privateを強い暗号で守る
    kHotKeys = 125,
    kExportCsv = 140, kImportCsv = 141,  // CSVに書き出す..., CSVから読み込む...
    kFindEntry = 145,                    // ｴﾝﾄﾘを探す...
};
}  // namespace panel_ids
