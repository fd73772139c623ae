#include "editor/row_focus_logic.h"

#include <algorithm>

#include "editor/entry_editor_logic.h"

namespace editor {

std::pair<int, int> WholeRowsInView(int position, int viewport) {
    const int first = (std::max(0, position) + kRowStep - 1) / kRowStep + 1;
    const int last = (std::max(0, position) + viewport - kRowHeight) / kRowStep + 1;
    return {first, std::max(first, last)};
}

int ScrollToKeep(int row, int position, int viewport, int maximum) {
    const int top = (row - 1) * kRowStep;
    if (top < position) position = top;
    else if (top + kRowHeight > position + viewport) position = top + kRowHeight - viewport;
    return std::clamp(position, 0, std::max(0, maximum));
}

int RowKeptInView(int row, int position, int viewport) {
    const auto [first, last] = WholeRowsInView(position, viewport);
    return std::clamp(row, first, last);
}

std::optional<RowMove> MoveForKey(RowKey key, int row, int position, int viewport, int maximum, int entryCount,
                                  int shownRows) {
    const int lastEntry = std::max(1, entryCount);
    const int page = std::max(1, (viewport - (kRowHeight - kRowStep)) / kRowStep);
    int to = row;
    switch (key) {
    case RowKey::Up:
    case RowKey::Down:
        to = CaptionKeyTarget(key == RowKey::Up ? 38 : 40, row, entryCount, shownRows);
        if (!to) return std::nullopt;
        break;
    case RowKey::First: return RowMove{1, 0};
    case RowKey::Last: to = lastEntry; break;
    case RowKey::PageDown:
        to = std::min(std::max(lastEntry, row), row + page);
        position = std::min(position + page * kRowStep, std::max(0, maximum));
        break;
    case RowKey::PageUp:
        to = std::max(1, row - page);
        position = std::max(0, position - page * kRowStep);
        break;
    }
    return RowMove{to, ScrollToKeep(to, position, viewport, maximum)};
}

}  // namespace editor
