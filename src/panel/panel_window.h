#pragma once
// The panel: the main window. It makes its controls and menus and hands the work to its
// entry column (the buttons, scrolling and layout) and its paste side (every way of pasting).
#include <cstdint>
#include <memory>
#include <string>

#include "panel/entry_column.h"
#include "panel/panel_host.h"
#include "panel/panel_ids.h"
#include "panel/panel_logic.h"
#include "win/form.h"

class PasteSide;
class SearchSide;

class PanelWindow : public Form {
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

    void LoadDataSet();
    void LayoutPanel();
    void OnChoosePublic();
    void OnChoosePrivate();
    void OnChooseKaomoji();
    void ChooseOpenSet(DataSet set);  // Public or 顔文字: no password
    // The idle or session lock: Private stays chosen, its key and entries are forgotten.
    void LockPrivate();

    // The choices of the menu (kept by the program); changing one draws its ticks again.
    using MenuId = panel_ids::MenuId;
    DataSet ChosenSet() const { return host_.Choices().dataSet; }
    bool PasswordOn() const { return host_.Choices().passwordOn; }
    // Registers or frees the keys; tellHeld names in a message the keys another program holds.
    void SetHotKeys(bool on, bool tellHeld);
    void TellHeldHotKeys();  // the keys another program held at the start, named once
    void ChooseDataSet(DataSet set);  // ticks it; the caller loads it
    // store: written to the settings at once when it changed (start-up only reads it).
    void SetPasswordOn(bool on, bool store = true);
    // Private was sealed or unsealed: the tick, the tool tips and the entries again.
    void SealStateChanged();
    void SetClipRestore(bool on);
    // While Private is sealed: a pasted text's seconds on the clipboard, the idle minutes
    // before Private closes (0: never).
    void SetPrivateGuard(int clipClearSeconds, int lockMinutes);
    void SetInsertFields(bool on);
    void SetMenuEnabled(MenuId id, bool on);
    bool MenuEnabled(MenuId id) const;

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void CreateControls();
    HMENU BuildMenu();
    void DrawTicks();
    void OnMenu(MenuId id);
    // A mode from the menu or the mode button: ticks and key buttons, then a reload.
    void ChooseMode(PasteMode mode);
    // The mode button says its mode, which also names it for a screen reader.
    void ShowMode(PasteMode mode);
    void OnCycleMode();
    void OnEditClick();
    // After a click the focus goes to the off-screen holder; after a key press it stays.
    void ParkFocus();
    void OnButtonKey(Control* c);
    // The window is activated; runs the reload outside WM_ACTIVATE when the user came back
    // from another window of the program.
    void OnActivate(WPARAM wp, LPARAM lp);
    void ReloadOnReturn();
    void LeavePrivate();  // before another set is chosen
    void OnMinimise();
    void OnMoveAside();
    void OnClose();
    void DrawGrip(HDC dc);
    bool Gone() const;  // closing, or the window is already destroyed
    // Groups of messages, each answered by one of these; false: not handled.
    bool OnInputMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);
    bool OnLifeMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);

    IPanelHost& host_;
    HMENU menu_ = nullptr;
    bool activatedFromOtherApp_ = false;
    bool firstActivate_ = true;
    bool startupDone_ = false;
    bool closing_ = false;
    bool closed_ = false;
    bool pressedByKey_ = false;

    // 設定/編集, the mode button, 前へ (Shift+Tab, Delete), 次へ (Tab), 改行 (Enter), the grip.
    PanelButtons buttons_;
    Control* btnFocusHolder = nullptr;  // (&Z), off-screen: moves the panel aside
    Control* btnMinimise = nullptr;     // (&N), off-screen

    std::unique_ptr<EntryColumn> column_;
    std::unique_ptr<PasteSide> paste_;
    std::unique_ptr<SearchSide> search_;
};
