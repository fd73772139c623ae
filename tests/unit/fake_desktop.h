#pragma once
// A desktop that records every call in order, for asserting exact event sequences.
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "panel/desktop.h"
#include "panel/panel_logic.h"

class FakeDesktop : public IDesktop {
public:
    struct Shown {
        std::wstring text, title;
        uint32_t flags;
    };

    // Everything asked and done, e.g. "front 500", "scan 17", "key 17 29 1", "sleep 50".
    std::vector<std::string> calls;
    std::vector<Shown> messages;
    std::wstring clipboard = L"(earlier clipboard text)";
    int clipboardWrites = 0;

    // Restoring: the target's process, and who asks for an offered text: a monitor at every
    // change, the target once the V key is let go. Requests are answered when events run.
    uint32_t targetProcess = 0, monitor = 0, targetAsks = 0;
    std::vector<std::wstring> received;  // what each request got ("" for nothing)
    std::vector<KeyInput> typed;
    int restoreBusy = 0, shiftHeldPolls = 0;  // answers of "held" before "free"
    std::function<void()> onEvents;  // runs once, at the next handling of events

    uintptr_t foreground = 0;
    std::map<uintptr_t, std::wstring> titles;
    std::set<uintptr_t> dead, elevated, refusesFront;
    ClipResult clipResult = ClipResult::Ok;
    int frontDelayPolls = 0;  // polls that still see the old window after BringToFront
    DeskRect rect;
    DeskPoint cursor;

    // Scan codes of a Japanese 106/109 keyboard for the keys the engine uses.
    static uint8_t RealScan(uint8_t vk) {
        switch (vk) {
            case 17: return 0x1D;
            case 86: return 0x2F;
            case 9: return 0x0F;
            case 13: return 0x1C;
            case 16: return 0x2A;
            case 46: return 0x53;
            default: return 0x7F;
        }
    }

    // The key events only, as "key VK SCAN FLAGS".
    std::vector<std::string> Keys() const { return Only("key "); }

    std::vector<std::string> Only(const std::string& prefix) const {
        std::vector<std::string> out;
        for (const auto& c : calls)
            if (c.rfind(prefix, 0) == 0) out.push_back(c);
        return out;
    }

    uintptr_t ForegroundWindow() override {
        calls.push_back("foreground");
        if (pendingFront_ != 0) {
            if (frontDelayLeft_ > 0) {
                --frontDelayLeft_;
            } else {
                foreground = pendingFront_;
                pendingFront_ = 0;
            }
        }
        return foreground;
    }
    std::wstring WindowTitleAnsiCut(uintptr_t h) override {
        calls.push_back("title " + std::to_string(h));
        auto it = titles.find(h);
        return it == titles.end() ? std::wstring() : it->second;
    }
    void BringToFront(uintptr_t h) override {
        calls.push_back("front " + std::to_string(h));
        if (dead.count(h) || refusesFront.count(h)) return;
        if (frontDelayPolls > 0) {
            pendingFront_ = h;
            frontDelayLeft_ = frontDelayPolls;
        } else {
            foreground = h;
        }
    }
    bool IsWindowAlive(uintptr_t h) override {
        calls.push_back("alive " + std::to_string(h));
        return !dead.count(h);
    }
    bool IsTargetElevatedAboveUs(uintptr_t h) override {
        calls.push_back("elevated " + std::to_string(h));
        return elevated.count(h) != 0;
    }
    uint8_t ScanCode(uint8_t vk) override {
        calls.push_back("scan " + std::to_string(vk));
        return RealScan(vk);
    }
    void KeyEvent(uint8_t vk, uint8_t scan, uint32_t flags) override {
        calls.push_back("key " + std::to_string(vk) + " " + std::to_string(scan) + " " +
                        std::to_string(flags));
        // The V let go: the target pastes; a text handed over already it just takes.
        if (vk == 86 && flags == 3 && answer_) {
            if (rendered_) received.push_back(offered_);
            else if (targetAsks) asking_.push_back(targetAsks);
        }
    }
    void MouseLeftUp(int x, int y) override {
        calls.push_back("mouseup " + std::to_string(x) + " " + std::to_string(y));
    }
    DeskRect WindowRect(uintptr_t h) override {
        calls.push_back("rect " + std::to_string(h));
        return rect;
    }
    DeskPoint CursorPos() override {
        calls.push_back("cursor");
        return cursor;
    }
    ClipResult PutTextOnClipboard(const std::wstring& text, bool privateText) override {
        calls.push_back(privateText ? "clipboard private" : "clipboard");
        if (clipResult == ClipResult::Ok) {
            clipboard = text;
            ++clipboardWrites;
            saved_.reset();
        }
        return clipResult;
    }
    ClipResult SaveClipboard() override {
        calls.push_back("save");
        return saved_ = clipboard, ClipResult::Ok;
    }
    bool HoldsSavedClipboard() override { return saved_.has_value(); }
    ClipResult OfferTextOnClipboard(const std::wstring& text, bool privateText, RenderAnswer answer) override {
        calls.push_back(privateText ? "offer private" : "offer");
        clipboard = L"(offered)";
        offered_ = text;
        answer_ = std::move(answer);
        rendered_ = false;
        asking_.assign(monitor ? 1 : 0, monitor);
        return ClipResult::Ok;
    }
    RestoreResult RestoreClipboard(bool wait) override {
        calls.push_back(wait ? "restore" : "restore once");
        if (restoreBusy-- > 0) return RestoreResult::Busy;
        if (saved_) clipboard = *std::exchange(saved_, std::nullopt);
        return RestoreResult::Restored;
    }
    uint32_t ProcessOf(uintptr_t) override { return targetProcess; }
    fields::Moment now{{2026, 12, 7}, 1, 9, 5};
    std::vector<std::pair<std::wstring, std::wstring>> eraValues;
    std::wstring ClipboardText() override {
        calls.push_back("read clipboard");
        return clipboard;
    }
    fields::Moment LocalNow() override { return now; }
    std::vector<std::pair<std::wstring, std::wstring>> WindowsEras() override { return eraValues; }
    int modifierHeldPolls = 0;
    bool ModifiersDown() override { return modifierHeldPolls-- > 0; }
    void CloseImeFor(uintptr_t) override {}
    void ReopenIme() override {}
    uint32_t ClipboardSequence() override { return static_cast<uint32_t>(clipboardWrites); }
    // A standard edit control has the focus in the target: where its caret was put.
    bool editFocused = false;
    int caretUnitsBack = -1;
    bool PlaceCaretInEdit(uintptr_t, int unitsBack) override {
        if (editFocused) caretUnitsBack = unitsBack;
        return editFocused;
    }
    bool ShiftDown() override {
        calls.push_back("shift?");
        return shiftHeldPolls-- > 0;
    }
    void TypeKeys(const std::vector<KeyInput>& keys) override {
        calls.push_back("type " + std::to_string(keys.size()));
        typed.insert(typed.end(), keys.begin(), keys.end());
    }
    void WaitKeysTaken(uintptr_t, size_t keys, int) override { calls.push_back("taken " + std::to_string(keys)); }
    void WaitEvents(int ms) override {
        calls.push_back("wait " + std::to_string(ms));
        Answer();
    }
    void Sleep(int ms) override { calls.push_back("sleep " + std::to_string(ms)); }
    void DoEvents() override {
        calls.push_back("doevents");
        Answer();
    }
    int Message(const std::wstring& text, const std::wstring& title, uint32_t flags) override {
        calls.push_back("message");
        messages.push_back({text, title, flags});
        return 1;  // IDOK
    }

private:
    void Answer() {
        if (auto f = std::exchange(onEvents, nullptr)) f();
        for (uint32_t who : std::exchange(asking_, {})) {
            const bool given = answer_(who);
            calls.push_back("request " + std::to_string(who) + (given ? " given" : " refused"));
            received.push_back(given ? offered_ : L"");
            rendered_ = rendered_ || given;
        }
    }

    std::optional<std::wstring> saved_;
    std::wstring offered_;
    bool rendered_ = false;
    RenderAnswer answer_;
    std::vector<uint32_t> asking_;
    uintptr_t pendingFront_ = 0;
    int frontDelayLeft_ = 0;
};

// The program's choices as a test sets them.
struct FakeChoices : IPasteChoices {
    PanelChoices choices;
    bool dataSetChosen = true;
    const PanelChoices& Choices() const override { return choices; }
    bool DataSetChosen() const override { return dataSetChosen; }
};
