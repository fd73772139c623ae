#pragma once
// The panel: the main window with the entry buttons, the paste engine's buttons and menus.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "base/own_windows.h"
#include "panel/panel_ids.h"
#include "panel/panel_logic.h"
#include "panel/private_guard_logic.h"
#include "store/dataset_format.h"
#include "store/dataset_service.h"
#include "win/form.h"

class PasteEngine;
enum class KeyButtonId;
class WinDesktop;

// What the panel needs of the program around it; app/ implements it.
class IPanelHost {
public:
    virtual ~IPanelHost() = default;
    // Values of the run.
    virtual const std::wstring& ExeName() const = 0;
    virtual int16_t& RowSetting(int set) = 0;  // rows shown for data set 1..3
    virtual int32_t StartupDataSet() const = 0;  // 0 until the first-run set-up chose a set
    virtual bool UninstallRequested() const = 0;
    virtual const OwnWindowTable& OwnWindows() const = 0;
    virtual PanelChoices& Choices() = 0;
    virtual DataSetService& DataSets() = 0;
    // What the panel hands on.
    virtual void OpenEditor() = 0;                 // the 設  定 / 編  集 button
    virtual void OpenPasswordDialog() = 0;         // Private chosen while it is locked
    virtual bool PrivateKeyUnknown() const = 0;    // the password file could not be read
    virtual void MenuItem(panel_ids::MenuId id) = 0;   // items that open other windows
    virtual void QueryUnload() = 0;  // closing: settings stored, Private put away
    virtual void Unload() = 0;       // closing: the other windows, the uninstall
};

class PanelWindow : public Form, private IPasteChoices {
public:
    explicit PanelWindow(IPanelHost& host);
    ~PanelWindow() override;

    // Creates the window, its menus and controls, hidden; false when that failed.
    bool Create();
    void StartTimer();

    // Parts of the start-up sequence that are the panel's own.
    void ApplyStoredMode(int storedMode);  // ticks, height, key buttons, mode position
    void SetFixedAppearance();             // captions, tool tips, colours, no target, width
    void StartupEnded();                   // activations may reload from now on
    void AfterFirstPaint();                // what the first paint did not need: hidden fields, tips
    // Inside the work area of the monitor nearest its place, with no more rows than fit.
    void KeepOnScreen();
    bool Closing() const { return closing_; }

    // Button panel
    void LoadDataSet();
    void LayoutPanel();
    void OnResized();
    void OnScrolled();
    void OnChoosePublic();
    void OnChoosePrivate();
    void OnChooseKaomoji();
    void OnEditClick();

    // Paste engine
    void OnEntryClick(int slot);
    void OnPrevField();
    void OnNextField();
    void OnNewLine();
    void OnCycleMode();
    void OnPasteOnly();
    void OnThenTab();
    void OnThenEnter();
    void OnSampleTimer();
    void GuardPrivate();  // the timer's part: the clipboard cleared, Private closed

    // Window behaviour
    void OnActivated();
    void OnDoubleClick();
    void OnMoveAside();
    void OnMinimise();
    void OnGripPressed();
    void OnMinimiseItem();

    // Closing (the work is the host's)
    void OnClosing();
    void OnClosed();
    void OnExitItem();

    // The choices of the menu (kept by the program); changing one draws its ticks again.
    using MenuId = panel_ids::MenuId;
    int DataSet() const { return host_.Choices().dataSet; }
    PasteMode CurrentMode() const { return host_.Choices().mode; }
    bool PasswordOn() const { return host_.Choices().passwordOn; }
    bool ClipRestore() const { return host_.Choices().clipRestore; }
    bool HotKeys() const { return host_.Choices().hotKeys; }
    // Registers or frees the keys; tellHeld names in a message the keys another program holds.
    void SetHotKeys(bool on, bool tellHeld);
    void ChooseDataSet(int set);  // ticks it; the caller loads it
    void SetPasswordOn(bool on);
    // Private was sealed or unsealed: the tick, the tool tips and the entries again.
    void SealStateChanged();
    void SetClipRestore(bool on);
    // While Private is sealed: a pasted text's seconds on the clipboard, the idle minutes
    // before Private closes (0: never).
    void SetPrivateGuard(int clipClearSeconds, int lockMinutes);
    void SetInsertFields(bool on);
    void SetMenuEnabled(MenuId id, bool on);
    bool MenuEnabled(MenuId id) const;
    int16_t entryCount = 0;  // the entries shown: the first entryCount of entries
    std::vector<Entry> entries;
    int entriesSet = 0;  // the data set the entries were read from

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void CreateControls();
    HMENU BuildMenu();
    void DrawTicks();
    // A mode from the menu or the mode button: ticks and key buttons, then a reload.
    void ChooseMode(PasteMode mode);
    // The mode button says its mode, which also names it for a screen reader.
    void ShowMode(PasteMode mode);
    void OnMenu(MenuId id);
    void OnActivate(WPARAM wp, LPARAM lp);
    LRESULT OnSizing(WPARAM edge, RECT* r);
    void PlaceEntryButtons();
    void PlaceLoadedButtons();  // from the top, after a load
    void ShowBlankButtons();    // 25 blank entries in place of a set that could not be shown
    void ShowUnreadablePrivate(const DataSetService::Prepared& prepared);
    // The hidden fields show what the paste engine knows; filled here only.
    void MirrorEngineState();
    void KeyButton(KeyButtonId which);
    // The keys: a paste from a Ctrl+Alt key, the panel brought forward, the walk over its buttons.
    void OnHotKey(int id);
    void PasteFromKey(int entry);
    void ShowPanelForKeys();
    void UnregisterHotKeys();
    // High contrast, or a scheme with light window text: frames and entries in system colours.
    void ReadColourScheme();
    void FocusEntry(int entry);
    void WalkFocus(int step, int entry);  // from the entry, one stop on
    void GiveFocusBack();
    static LRESULT CALLBACK EntryKeyProc(HWND h, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR slot, DWORD_PTR self);
    // IPasteChoices: the engine reads the program's choices when it needs them.
    const PanelChoices& Choices() const override { return host_.Choices(); }
    bool DataSetChosen() const override { return host_.StartupDataSet() != 0; }
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
    // When a click activated the panel with Shift held: Wine takes the modifier keys anew as
    // the focus moves, so by the button's click Shift may read as up.
    DWORD shiftActivationTick_ = 0;
    bool shiftAtActivation_ = false;
    bool firstActivate_ = true;
    bool startupDone_ = false;
    bool closing_ = false;
    bool unloaded_ = false;
    int16_t visibleRows_ = 1;
    unsigned loadGeneration_ = 0;
    int storedRows_[4] = {-99999, -99999, -99999, -99999};  // last row settings written
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

    Control* viewport = nullptr;      // clips the column to the visible rows
    Control* buttonColumn = nullptr;  // the entry buttons, moved by the scroll bar
    Control* scrollBar = nullptr;
    Control* btnEdit = nullptr;
    Control* btnFocusHolder = nullptr;  // (&Z), off-screen: moves the panel aside
    Control* btnMinimise = nullptr;     // (&N), off-screen
    Control* btnPrev = nullptr;         // Shift+Tab, Delete to the target (懸賞ﾓｰﾄﾞ)
    Control* btnNext = nullptr;         // Tab to the target (懸賞ﾓｰﾄﾞ)
    Control* btnNewLine = nullptr;      // Enter to the target (文書ﾓｰﾄﾞ)
    Control* btnMode = nullptr;         // cycles the paste mode
    Control* sizeGrip = nullptr;
    // Hidden, made after the first paint (AfterFirstPaint); window handles as decimal text.
    Control* editLastText = nullptr;
    bool lastFromPrivate_ = false;  // the last entry pasted was Private's: not mirrored
    private_guard::Guard guard_;
    unsigned guardTicks_ = 0;
    bool sessionNotified_ = false;  // registered for the session's lock
    // After a paste or a key button: tells the guard what the clipboard holds now.
    void NoteClipboard(uint32_t sequenceBefore, bool fromPrivate);
    Control* editFrontTitle = nullptr;
    Control* editFrontWindow = nullptr;
    Control* editTargetWindow = nullptr;  // "0" for none
    // Entry buttons are reused while scrolling: slot k shows entry button firstButton_ + k.
    std::vector<Control*> slots_;
    int firstButton_ = 0;

    bool systemColours_ = false;
    std::vector<int> heldKeys_;  // registration ids of the keys that are ours now
    std::unique_ptr<WinDesktop> desktop_;
    std::unique_ptr<PasteEngine> engine_;
};
