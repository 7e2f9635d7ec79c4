// The editing operations, as plain functions on an area value, and the undo history. Each returns
// whether the area changed; cells outside the area are left alone.
#pragma once

#include <string>
#include <vector>

#include "editor/area.h"

namespace editor {

// Cells from (c0, r0) to (c1, r1), both corners included, in any order.
struct CellRect {
    int c0 = 0, r0 = 0, c1 = 0, r1 = 0;
    int left() const { return c0 < c1 ? c0 : c1; }
    int right() const { return c0 < c1 ? c1 : c0; }
    int top() const { return r0 < r1 ? r0 : r1; }
    int bottom() const { return r0 < r1 ? r1 : r0; }
    int width() const { return right() - left() + 1; }
    int height() const { return bottom() - top() + 1; }
    bool contains(int c, int r) const { return c >= left() && c <= right() && r >= top() && r <= bottom(); }
};

inline bool InArea(int c, int r) { return c >= 0 && c < COLUMNS && r >= 0 && r < ROWS; }

// The empty cell, what the eraser draws and what a cut or a move leaves behind.
inline const mapc::Glyph EMPTY_CELL{0, 0};

bool Pencil(Area& a, int c, int r, const mapc::Glyph& g);
bool Erase(Area& a, int c, int r);
bool FillRect(Area& a, const CellRect& rect, const mapc::Glyph& g);
// Fills the cells joined to (c, r) by sides that hold what (c, r) holds.
bool FloodFill(Area& a, int c, int r, const mapc::Glyph& g);
mapc::Glyph Pick(const Area& a, int c, int r);

// Cells copied out of an area, by what they hold (so they paste into any area, whatever its legend).
struct Clip {
    int width = 0, height = 0;
    std::vector<mapc::Glyph> cells; // row by row
    bool empty() const { return cells.empty(); }
};
Clip Copy(const Area& a, const CellRect& rect);
// Copy, then the cells emptied.
bool Cut(Area& a, const CellRect& rect, Clip& out);
// The clip with its top-left cell at (c, r); what falls outside the area is dropped.
bool Paste(Area& a, const Clip& clip, int c, int r);
// The cells of `rect` moved by (dc, dr): what they leave is emptied, what they land on replaced.
bool Move(Area& a, const CellRect& rect, int dc, int dr);

// A blank column at `c`; the columns from c on move right and the last one falls off the end.
bool InsertColumn(Area& a, int c);
// Column `c` removed; the columns after it move left and the last column is repeated, so ground
// running to the end of the area still does.
bool DeleteColumn(Area& a, int c);

// Undo and redo without limit. Before each action (a click, a whole drag, a paste, a column, a
// header change) the area as it was is recorded; an action that changed nothing records nothing.
class History {
  public:
    // Records `before` when it differs from `now`; a new action forgets what could be redone.
    bool Record(const Area& before, const Area& now);
    bool Undo(Area& current);
    bool Redo(Area& current);
    size_t UndoSteps() const { return undo_.size(); }
    size_t RedoSteps() const { return redo_.size(); }

  private:
    std::vector<Area> undo_, redo_;
};

} // namespace editor
