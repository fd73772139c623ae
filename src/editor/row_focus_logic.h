#pragma once
// The entry editor's focus and view kept together: a key that moves the view moves the focus
// with it, a key that moves the focus brings its row into view, and a scroll takes the focus
// along, so the caret is never in a row off screen. Positions in twips, rows from 1.
#include <optional>
#include <utility>

namespace editor {

// The first and last rows shown whole at scroll `position` through a viewport `viewport` high.
std::pair<int, int> WholeRowsInView(int position, int viewport);
// The least scroll from `position` that shows the whole row.
int ScrollToKeep(int row, int position, int viewport, int maximum);
// The row nearest to `row` that is shown whole: where the focus goes when a scroll left its row.
int RowKeptInView(int row, int position, int viewport);

enum class RowKey { Up, Down, PageUp, PageDown, First, Last };  // Ctrl+Home, Ctrl+End
struct RowMove {
    int row = 0, position = 0;
    bool operator==(const RowMove&) const = default;
};
// Where the focus in `row` and the view go for the key; none when the focus stays. Up and
// Down go by CaptionKeyTarget's rule, the page keys move both by the rows shown, First and
// Last go to row 1 and the last entry.
std::optional<RowMove> MoveForKey(RowKey key, int row, int position, int viewport, int maximum, int entryCount,
                                  int shownRows);

}  // namespace editor
