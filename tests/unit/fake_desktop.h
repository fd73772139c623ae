#pragma once
// A desktop that records every call in order, for asserting exact event sequences.
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "panel/desktop.h"

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
    bool clipboardPrivate = false;  // the last text put there carried the Private marks

    // The restore: the saved copy, what the target and a clipboard monitor ask for the
    // offered text (a request is answered at the next handling of events).
    std::map<uintptr_t, uint32_t> processOf;
    uint32_t monitor = 0;        // a monitor's process, asking at every change; 0: none
    uint32_t targetAsker = 0;    // the process that asks once the Ctrl+V arrived; 0: none
    std::vector<std::wstring> received;  // what each answered request got ("" for nothing)
    std::vector<RestoreResult> restoreResults;  // one per RestoreClipboard; then Restored
    ClipResult saveResult = ClipResult::Ok;
    std::vector<KeyInput> typed;
    int shiftHeldPolls = 0;

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
        // The V let go: the target pastes, asking for the offered text unless it was handed
        // over already (then the target just takes it).
        if (vk == 86 && flags == 3 && answer_) {
            if (rendered_) received.push_back(offered_);
            else if (targetAsker) asking_.push_back(targetAsker);
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
            clipboardPrivate = privateText;
            ++clipboardWrites;
        }
        return clipResult;
    }
    ClipResult SaveClipboard() override {
        calls.push_back("save");
        if (saveResult == ClipResult::Ok) saved_ = clipboard, holding_ = true;
        return saveResult;
    }
    bool HoldsSavedClipboard() override { return holding_; }
    ClipResult OfferTextOnClipboard(const std::wstring& text, bool privateText, RenderAnswer answer) override {
        calls.push_back(privateText ? "offer private" : "offer");
        if (clipResult != ClipResult::Ok) return clipResult;
        clipboard = L"(offered)";
        clipboardPrivate = privateText;
        offered_ = text;
        answer_ = std::move(answer);
        rendered_ = false;
        asking_.clear();
        if (monitor) asking_.push_back(monitor);
        return ClipResult::Ok;
    }
    RestoreResult RestoreClipboard(int retryMs) override {
        calls.push_back("restore " + std::to_string(retryMs));
        RestoreResult r = RestoreResult::Restored;
        if (!restoreResults.empty()) r = restoreResults.front(), restoreResults.erase(restoreResults.begin());
        if (r == RestoreResult::Restored && holding_) clipboard = saved_;
        if (r != RestoreResult::Busy) holding_ = false;
        return r;
    }
    uint32_t ProcessOf(uintptr_t h) override { return processOf.count(h) ? processOf[h] : 0; }
    bool ShiftDown() override {
        calls.push_back("shift?");
        return shiftHeldPolls-- > 0;
    }
    void TypeKeys(const std::vector<KeyInput>& keys) override {
        calls.push_back("type " + std::to_string(keys.size()));
        typed.insert(typed.end(), keys.begin(), keys.end());
    }
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
        for (uint32_t who : std::exchange(asking_, {})) {
            const bool given = answer_(who);
            calls.push_back("request " + std::to_string(who) + (given ? " given" : " refused"));
            received.push_back(given ? offered_ : L"");
            rendered_ = rendered_ || given;
        }
    }

    std::wstring saved_, offered_;
    bool holding_ = false, rendered_ = false;
    RenderAnswer answer_;
    std::vector<uint32_t> asking_;
    uintptr_t pendingFront_ = 0;
    int frontDelayLeft_ = 0;
};
