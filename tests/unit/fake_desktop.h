#pragma once
// A desktop that records every call in order, for asserting exact event sequences.
#include <cstdint>
#include <map>
#include <set>
#include <string>
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
    ClipResult PutTextOnClipboard(const std::wstring& text) override {
        calls.push_back("clipboard");
        if (clipResult == ClipResult::Ok) {
            clipboard = text;
            ++clipboardWrites;
        }
        return clipResult;
    }
    void Sleep(int ms) override { calls.push_back("sleep " + std::to_string(ms)); }
    void DoEvents() override { calls.push_back("doevents"); }
    int Message(const std::wstring& text, const std::wstring& title, uint32_t flags) override {
        calls.push_back("message");
        messages.push_back({text, title, flags});
        return 1;  // IDOK
    }

private:
    uintptr_t pendingFront_ = 0;
    int frontDelayLeft_ = 0;
};
