#include "editor/colour_chooser_logic.h"

#include <utility>

#include "base/color.h"

namespace editor {

int SwatchLeft(int i) { return 100 + 850 * (i % 8); }
int SwatchTop(int i) { return i < 8 ? 100 : 550; }

std::array<int32_t, kSwatches> SwatchColours(const std::vector<std::wstring>& records,
                                              std::array<int32_t, kSwatches> current) {
    for (size_t i = 0; i < current.size() && i < records.size(); ++i)
        if (auto v = ColorTextToValue(records[i])) current[i] = *v;
    return current;
}

int SwatchAfterKey(int i, int key) {
    constexpr int kPerRow = kSwatches / 2;
    const int col = i % kPerRow, row = i / kPerRow;
    switch (key) {
    case 0x25: return col > 0 ? i - 1 : i;                  // left
    case 0x27: return col < kPerRow - 1 ? i + 1 : i;        // right
    case 0x26: return row > 0 ? i - kPerRow : i;            // up
    case 0x28: return row < 1 ? i + kPerRow : i;            // down
    default: return i;
    }
}

}  // namespace editor

ColourDialog::ColourDialog(Dialog dialog, Translate translate, uint32_t recordSize, uintptr_t instance)
    : dialog_(std::move(dialog)), translate_(std::move(translate)) {
    record_.size = recordSize;
    record_.instance = instance;
    custom_.fill(0xFFFFFF);
}

int32_t ColourDialog::CustomColor(int index) const {
    if (index < 0 || index >= editor::kSwatches) return 0;
    return translate_ ? translate_(custom_[static_cast<size_t>(index)], 0) : custom_[static_cast<size_t>(index)];
}

void ColourDialog::SetCustomColor(int index, int32_t c) {
    if (index >= 0 && index < editor::kSwatches) custom_[static_cast<size_t>(index)] = c;
}

bool ColourDialog::ShowColorDialog(uintptr_t owner, uint32_t flags) {
    std::array<int32_t, editor::kSwatches> local = custom_;
    ColorDialogRecord r = record_;
    r.customColors = local.data();
    r.owner = owner;
    r.flags = flags;
    // The dialog takes plain RGB: a system colour starts it from the colour it stands for.
    if (translate_ && (r.color & 0x80000000)) r.color = translate_(r.color, 0);
    if (!dialog_ || !dialog_(r)) return false;
    for (size_t k = 0; k < local.size(); ++k) custom_[k] = translate_ ? translate_(local[k], 0) : local[k];
    record_.color = r.color;
    record_.owner = owner;
    record_.flags = flags;
    return true;
}
