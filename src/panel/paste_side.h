#pragma once
// The panel's side of pasting: the paste engine and its desktop, every source of a paste
// request (entry buttons, key buttons, hotkeys, the focused panel), the step after each
// paste (the Private guard, the hidden fields), the hotkeys' registration and the session's
// lock.
#include <windows.h>

#include <functional>
#include <memory>
#include <vector>

#include "panel/hotkey_logic.h"
#include "panel/panel_host.h"
#include "panel/paste_logic.h"
#include "panel/private_guard_logic.h"
#include "panel/private_lock_logic.h"
#include "win/form.h"

class EntryColumn;
class WinDesktop;

class PasteSide : private IPasteChoices {
public:
    struct Links {
        std::function<void()> parkFocus;    // the keyboard focus to the panel's focus holder
        std::function<void()> closePrivate; // the idle or session lock: Private closes
        std::function<bool()> gone;         // the panel is closing or destroyed
        std::function<void()> openSearch;   // Ctrl+Alt+F: ｴﾝﾄﾘを探す
    };
    PasteSide(Form& panel, IPanelHost& host, EntryColumn& column, Links links);
    ~PasteSide() override;

    void Create();       // the engine, once the panel's window exists
    void StartTimer();       // the sampling
    // What the first screen does not need: the hidden fields, the hotkeys, the session's lock.
    void AfterFirstPaint();
    void Stop();         // the window goes: timers, keys and notifications given back

    // Sources of paste requests.
    void OnEntryClick(int entry, bool fromKeyboard);
    void OnKeyButton(KeyButtonId which);
    void OnHotKey(int id, DWORD postedAt);
    // The password dialog went (opened: Private was opened by it and is loaded): what waited
    // for the password runs now, or is dropped.
    void PasswordAnswered(bool opened);
    void OnSearchPaste(PasteRequest request);

    void OnTimer();
    void OnSessionLocked() { guard_.SessionLocked(); }
    void Used() { guard_.Clicked(GetTickCount()); }  // a click or key on the panel
    // A click that activates the panel: whether Shift was held then.
    void OnMouseActivate(bool inClient);
    void ForgetPrivateText() { engine_->ForgetPrivateText(); }

    // Registers or frees the keys; tellHeld names in a message the keys another program holds.
    void SetHotKeys(bool on, bool tellHeld);
    // The keys another program held are tried again, silently (at activation and once a minute).
    void RetryHotKeys();
    // Names in a message the keys that are not ours (once, after the start).
    void TellHeldHotKeys();
    void SetPrivateGuard(int clipClearSeconds, int lockMinutes) { guard_.Configure(clipClearSeconds, lockMinutes); }
    void GiveFocusBack();
    void KeepFrontAsTarget();  // the window in front, before the panel takes it
    void SetDpi(int dpi) { engine_->Dpi = dpi; }
    PasteEngine& Engine() { return *engine_; }

private:
    const PanelChoices& Choices() const override { return host_.Choices(); }
    bool DataSetChosen() const override { return host_.StartupDataSet() != 0; }
    void AfterPaste(const PasteDone& done);
    void MirrorEngineState();
    void GuardPrivate();
    void UnregisterHotKeys();
    void ShowPanelForKeys();
    // The hidden fields that show what the engine knows.
    void MakeFields();
    bool ShiftForClick();
    // While Private is locked a request asks for the password instead; true when it did.
    bool HeldByLock(const private_lock::Asked& asked);

    Form& panel_;
    IPanelHost& host_;
    EntryColumn& column_;
    Links links_;
    std::unique_ptr<WinDesktop> desktop_;
    std::unique_ptr<PasteEngine> engine_;
    private_guard::Guard guard_;
    unsigned guardTicks_ = 0;
    bool sessionNotified_ = false;  // registered for the session's lock
    bool painted_ = false;          // the first paint is done
    hotkey::KeyRegistrar keys_;
    hotkey::RepeatGate repeats_;
    private_lock::Gate lockGate_;
    // When a click activated the panel with Shift held: Wine takes the modifier keys anew as
    // the focus moves, so by the button's click Shift may read as up.
    DWORD shiftActivationTick_ = 0;
    bool shiftAtActivation_ = false;
    // Hidden, made after the first paint; window handles as decimal text.
    Control* editLastText_ = nullptr;
    Control* editFrontTitle_ = nullptr;
    Control* editFrontWindow_ = nullptr;
    Control* editTargetWindow_ = nullptr;  // "0" for none
};
