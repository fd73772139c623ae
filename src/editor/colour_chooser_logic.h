#pragma once
// The colour chooser without its window: the swatches read from Color.dat, their places,
// and ColourDialog, the colour dialog's record with its current and custom colours.
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace editor {

constexpr int kSwatches = 16;
constexpr int32_t kSwatchDesignColour = 0xFFFFFF;  // a swatch without a record stays white
int SwatchLeft(int i);  // 100 + 850 * (i mod 8)
int SwatchTop(int i);   // 100 for the top row, 550 for the bottom row
// The swatch an arrow key moves to from `i` (two rows of eight; the edges stop it); any
// other key leaves `i`.
int SwatchAfterKey(int i, int key);

// Colour.dat's records (one field each, "&H" text or decimal) over the current swatch colours:
// a missing record or one that does not convert leaves its swatch as it is; records after the
// 16th are ignored.
std::array<int32_t, kSwatches> SwatchColours(const std::vector<std::wstring>& records,
                                              std::array<int32_t, kSwatches> current);

}  // namespace editor

// The colour dialog's record, field by field, as the platform's dialog takes it.
struct ColorDialogRecord {
    uint32_t size = 0;             // the platform record's size in bytes
    uintptr_t owner = 0;
    uintptr_t instance = 0;
    int32_t color = 0;             // the dialog starts from this and leaves the chosen one here
    int32_t* customColors = nullptr;  // 16 colours the dialog shows and may change
    uint32_t flags = 0;
    intptr_t custData = 0;
    void* hook = nullptr;
    const wchar_t* templateName = nullptr;
};

// One right click's colour dialog: a current colour and 16 custom colours (white at creation).
class ColourDialog {
public:
    // `dialog` shows the platform's dialog and returns true for OK; `translate` is
    // ResolveOleColour (a system colour to its RGB value, -1 when that fails).
    using Dialog = std::function<bool(ColorDialogRecord&)>;
    using Translate = std::function<int32_t(int32_t colour, uintptr_t palette)>;
    ColourDialog(Dialog dialog, Translate translate, uint32_t recordSize, uintptr_t instance);

    bool ShowColorDialog(uintptr_t owner, uint32_t flags);
    int32_t Color() const { return record_.color; }
    void SetColor(int32_t c) { record_.color = c; }
    int32_t CustomColor(int index) const;        // 0 outside 0..15
    void SetCustomColor(int index, int32_t c);   // ignored outside 0..15
    uint8_t Red() const { return static_cast<uint8_t>(record_.color & 0xFF); }
    uint8_t Green() const { return static_cast<uint8_t>((record_.color & 0xFF00) / 0x100); }
    uint8_t Blue() const { return static_cast<uint8_t>((record_.color & 0xFF0000) / 0x10000); }

private:
    Dialog dialog_;
    Translate translate_;
    ColorDialogRecord record_;
    std::array<int32_t, editor::kSwatches> custom_;
};
