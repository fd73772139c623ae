#pragma once
// The panel: the main window with the entry buttons, the paste engine's buttons and menus.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "base/own_windows.h"
#include "panel/panel_ids.h"
#include "panel/panel_logic.h"
#include "store/dataset_service.h"
#include "win/form.h"

class PasteEngine;
class WinDesktop;

// What the panel needs of the program around it; app/ implements it.
class IPanelHost {
public:
    virtual ~IPanelHost() = default;
    // Values of the run.
    virtual const std::wstring& ExeName() const = 0;
    virtual int16_t& RowSetting(int set) = 0;  // Number1..Number3 for data set 1..3
    virtual int32_t StartupDataSet() const = 0;  // 0 until the first-run set-up chose a set
    virtual bool UninstallRequested() const = 0;
    virtual const OwnWindowTable& OwnWindows() const = 0;
    virtual PanelChoices& Choices() = 0;
    virtual DataSetService& DataSets() = 0;
    // What the panel hands on.
    virtual void OpenEditor() = 0;                 // Command2
    virtual void OpenPasswordDialog() = 0;         // Private chosen while it is locked
    virtual bool PrivateKeyUnknown() const = 0;    // the password file could not be read
    virtual void MenuItem(panel_ids::MenuId id) = 0;   // items that open other windows
    virtual void QueryUnload() = 0;  // closing: settings stored, Private put away
    virtual void Unload() = 0;       // closing: the other windows, the uninstall
};

class PanelWindow : public Form {
public:
    explicit PanelWindow(IPanelHost& host);
    ~PanelWindow() override;

    // Creates the window, its menus and controls, hidden; false when that failed.
    bool Create();
    void StartTimer();

    // Parts of the start-up sequence that are the panel's own.
    void ApplyStoredMode(int storedMode);  // ticks, height, key buttons, mode position
    void SetFixedAppearance();             // captions, tool tips, colours, Text4 "0", width
    void StartupEnded();                   // activations may reload from now on
    void AfterFirstPaint();                // what the first paint did not need: hidden fields, tips
    // Inside the work area of the monitor nearest its place, with no more rows than fit.
    void KeepOnScreen();
    bool Closing() const { return closing_; }

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

    // Closing (the work is the host's)
    void Form_QueryUnload();
    void Form_Unload();
    void End_Click();

    // The choices of the menu (kept by the program); changing one draws its ticks again.
    using MenuId = panel_ids::MenuId;
    int DataSet() const { return host_.Choices().dataSet; }
    PasteMode CurrentMode() const { return host_.Choices().mode; }
    bool PasswordOn() const { return host_.Choices().passwordOn; }
    bool ClipRestore() const { return host_.Choices().clipRestore; }
    void ChooseDataSet(int set);  // ticks it; the caller loads it
    void SetPasswordOn(bool on);
    void SetClipRestore(bool on);
    void SetMenuEnabled(MenuId id, bool on);
    bool MenuEnabled(MenuId id) const;
    int16_t entryCount = 0;
    std::vector<std::wstring> captions, texts, colours;  // index 0 unused
    int textsSet = 0;  // the data set the lists were read from

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void CreateControls();
    HMENU BuildMenu();
    void DrawTicks();
    void ChooseMode(PasteMode mode);
    void OnMenu(MenuId id);
    void OnActivate(WPARAM wp, LPARAM lp);
    LRESULT OnSizing(WPARAM edge, RECT* r);
    void PlaceEntryButtons();
    void PlaceLoadedButtons();  // from the top, after a load
    void ShowBlankButtons();    // 25 blank entries in place of a set that could not be shown
    void ShowUnreadablePrivate(const DataSetService::Prepared& prepared);
    void SyncEngineFields();
    void KeyButton(int which);
    void OnScroll(int code);
    int ScrollValue() const { return scrollValue_; }
    void SetScrollValue(int v);
    int16_t& RowSettingOfTicked();
    void DrawGrip(HDC dc);
    bool Gone() const;  // closing, or the window is already destroyed
    bool AtLaidOutSize() const;  // the window has the size of the last layout

    IPanelHost& host_;
    HMENU menu_ = nullptr;
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
    // What is on screen, so that a reload of unchanged data changes nothing and costs little.
    struct Loaded {
        bool valid = false;
        int set = 0;
        std::string bytes;
        int16_t count = 0;
    } loaded_;
    unsigned dataVersion_ = 0;   // one more at every load that changed the entries
    struct Placed {
        int first = -1, need = -1, scroll = -1, count = -1;
        unsigned version = 0;
        int rows = -1;  // the viewport's rows bound the column's height
        bool operator==(const Placed&) const = default;
    } placed_;
    bool haveLayout_ = false;
    bool layoutKept_ = false;  // the last LayoutPanel found everything in place
    PanelLayout lastLayout_{};
    int scrollValue_ = 0;
    int scrollMax_ = 0;

    // Controls, by their form-design names.
    Control* Frame1 = nullptr;    // viewport: clips the column to the visible rows
    Control* Frame2 = nullptr;    // the column of entry buttons, moved by the scroll bar
    Control* VScroll1 = nullptr;  // scroll bar beside the viewport
    Control* Command2 = nullptr;  // 設  定 / 編  集: opens the entry editor
    Control* Command3 = nullptr;  // (&Z), off-screen focus holder: moves the panel aside
    Control* Command4 = nullptr;  // (&N), off-screen: minimises
    Control* Command5 = nullptr;  // 前へ: Shift+Tab, Delete to the target (懸賞ﾓｰﾄﾞ)
    Control* Command6 = nullptr;  // 次へ: Tab to the target (懸賞ﾓｰﾄﾞ)
    Control* Command7 = nullptr;  // 改行: Enter to the target (文書ﾓｰﾄﾞ)
    Control* Command8 = nullptr;  // mode button: cycles the paste mode
    Control* Image1 = nullptr;    // size grip
    // Made after the first paint (AfterFirstPaint).
    Control* Text1 = nullptr;     // hidden: the text to paste
    Control* Text2 = nullptr;     // hidden: title of the window in front at the last sample
    Control* Text3 = nullptr;     // hidden: that window's handle
    Control* Text4 = nullptr;     // hidden: the target window's handle, "0" for none
    // Entry buttons are reused while scrolling: slot k shows entry button firstButton_ + k.
    std::vector<Control*> slots_;
    int firstButton_ = 0;

    std::unique_ptr<WinDesktop> desktop_;
    std::unique_ptr<PasteEngine> engine_;
};
