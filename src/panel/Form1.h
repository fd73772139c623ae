#pragma once
// The panel: the main window with the entry buttons, the paste engine's buttons and menus.
#include <memory>
#include <string>
#include <vector>

#include "panel/form1_ids.h"
#include "panel/panel_logic.h"
#include "win/form.h"

class PasteEngine;
class WinDesktop;

class Form1 : public Form {
public:
    Form1();
    ~Form1() override;

    // Creates the window and runs the start-up sequence; false when this instance must end.
    bool Form_Load();

    // Button panel
    void LoadDataSet();
    void LayoutPanel();
    void Form_Resize();
    void VScroll1_Change();
    void Type1_Click();
    void Type2_Click();
    void Type3_Click();
    void Command2_Click();

    // Paste engine
    void Command1_Click(int index);
    void Command5_Click();
    void Command6_Click();
    void Command7_Click();
    void Command8_Click();
    void Mode_Def_Click();
    void Mode_Click();
    void Mode_Ent_Click();
    void Timer1_Timer();

    // Window behaviour
    void Form_Activate();
    void Form_DblClick();
    void Command3_Click();
    void Command4_Click();
    void Image1_MouseDown();
    void Minimum_Click();

    // Password menu items
    void Pass_Enabled_Click();
    void Pass_UnEnabled_Click();
    void Pass_Change_Click();

    // Closing
    void Form_QueryUnload();
    void Form_Unload();
    void End_Click();

    // Menu state used by other windows.
    using MenuId = form1::MenuId;
    static constexpr MenuId kType1 = form1::kType1, kType2 = form1::kType2, kType3 = form1::kType3,
        kModeDef = form1::kModeDef, kMode = form1::kMode, kModeEnt = form1::kModeEnt,
        kPassEnabled = form1::kPassEnabled, kPassUnEnabled = form1::kPassUnEnabled,
        kPassChange = form1::kPassChange, kExportData = form1::kExportData,
        kImportData = form1::kImportData, kNewApp = form1::kNewApp,
        kCreateLink = form1::kCreateLink, kMinimum = form1::kMinimum, kEnd = form1::kEnd,
        kHow = form1::kHow, kVer = form1::kVer;
    bool Checked(MenuId id) const;
    void SetChecked(MenuId id, bool on);
    void SetMenuEnabled(MenuId id, bool on);
    bool MenuEnabled(MenuId id) const;

    PasteMode CurrentMode() const;
    int TickedDataSet() const;  // 1..3, 0 when none
    int16_t entryCount = 0;
    std::vector<std::wstring> captions, texts, colours;  // index 0 unused

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void CreateControls();
    HMENU BuildMenu();
    void PlaceEntryButtons();
    void SyncEngineFields();
    void ShowPlaceholder(const wchar_t* what);
    void ShowPasswordDialog();
    void PutWorkingCopyAway();
    bool KeepUndecryptableAside();
    void OnScroll(int code);
    int ScrollValue() const { return scrollValue_; }
    void SetScrollValue(int v);
    int16_t& RowSettingOfTicked();
    void DrawGrip(HDC dc);
    void StartupSequence();
    bool Gone() const;  // closing, or the window is already destroyed
    bool RefuseSecondInstance();
    void CloseOnlyThisInstance();

    HMENU menu_ = nullptr;
    HANDLE instanceMutex_ = nullptr;
    bool layoutReady_ = false;
    bool activatedFromOtherApp_ = false;
    bool firstActivate_ = true;
    bool startupDone_ = false;
    bool closing_ = false;
    bool unloaded_ = false;
    int16_t visibleRows_ = 1;
    unsigned loadGeneration_ = 0;
    int storedRows_[4] = {-99999, -99999, -99999, -99999};  // last row settings written
    int16_t modePosition_ = 0;
    int scrollValue_ = 0;
    int scrollMax_ = 0;

    // Controls (names as in the form design)
    Control* Frame1 = nullptr;
    Control* Frame2 = nullptr;
    Control* VScroll1 = nullptr;
    Control* Command2 = nullptr;
    Control* Command3 = nullptr;
    Control* Command4 = nullptr;
    Control* Command5 = nullptr;
    Control* Command6 = nullptr;
    Control* Command7 = nullptr;
    Control* Command8 = nullptr;
    Control* Image1 = nullptr;
    Control* Text1 = nullptr;
    Control* Text2 = nullptr;
    Control* Text3 = nullptr;
    Control* Text4 = nullptr;
    // Entry buttons are reused while scrolling: slot k shows entry button firstButton_ + k.
    std::vector<Control*> slots_;
    int firstButton_ = 0;

    std::unique_ptr<WinDesktop> desktop_;
    std::unique_ptr<PasteEngine> engine_;
};

Form1& MainForm();
