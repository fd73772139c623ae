#pragma once
// Control and menu identifiers of the panel, shared with the end-to-end driver.
namespace panel_ids {
enum ControlId {
    kFrame1 = 1000, kFrame2, kVScroll1, kCommand2, kCommand8, kCommand5, kCommand6, kCommand7,
    kCommand3, kCommand4, kText1, kText2, kText3, kText4, kImage1,
    kFirstEntryButton = 1100,  // reused entry buttons: 1100, 1101, ... (children of Frame2)
};
enum MenuId {
    kType1 = 100, kType2, kType3,
    kModeDef, kMode, kModeEnt,
    kPassEnabled, kPassUnEnabled, kPassChange,
    kExportData, kImportData, kNewApp, kCreateLink,
    kMinimum, kEnd, kHow, kVer,
    kClipRestore,
};
}  // namespace panel_ids
