#pragma once
// Typing into the editors' text boxes: what the data file cannot hold never gets in (typed,
// pasted or composed by the input method), a caption stays within its width (全角7/半角14),
// and the user is told why with a beep and a short balloon under the box.
#include <windows.h>

#include <functional>
#include <string>

// A balloon under a text box that says why the input was refused; it goes after a few
// seconds or at the next key.
class InputHint {
public:
    explicit InputHint(HWND owner);
    ~InputHint();
    InputHint(const InputHint&) = delete;
    InputHint& operator=(const InputHint&) = delete;

    void Show(HWND box, const std::wstring& text);
    void Hide();
    HWND hwnd() const { return tip_; }
    const std::wstring& Text() const { return text_; }

    // Replaceable so tests can count beeps.
    static std::function<void()> Beep;

private:
    HWND tip_ = nullptr;
    std::wstring text_;
};

enum class BoxKind {
    Caption,  // one line, at most 14 wide (editor::CaptionWidth), Enter does nothing
    Text,     // several lines
    Keys,     // takes nothing special: only its keys are reported (the focus holder)
};

struct BoxEvents {
    std::function<bool(UINT key)> keyDown;                 // before the box; true: handled, the box skips it
    std::function<void(wchar_t typed, bool atEnd)> keyPress;  // a character the box takes
    std::function<void()> click;                           // after the box took the click
    std::function<void()> doubleClick;
    std::function<void()> focus;                           // the box got the focus
    std::function<void(bool back)> tab;                    // Tab or Shift+Tab, instead of a tab character
    std::function<std::wstring()> name;                    // what a screen reader calls the box, when set
};

// Subclasses `box`; the events live as long as the box.
void AttachBox(HWND box, BoxKind kind, InputHint* hint, BoxEvents events);

// The hints, for tests and the end-to-end driver as well.
std::wstring UnstorableHint(wchar_t c);
extern const wchar_t kCaptionLimitHint[];
extern const wchar_t kLongTextHint[];  // typed into a box that shows only a long text's start
