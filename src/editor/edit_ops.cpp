// The editing operations and the undo history.
#include "editor/edit_ops.h"

#include <utility>

namespace editor {

namespace {

bool Put(Area& a, int c, int r, const mapc::Glyph& g) {
    if (!InArea(c, r)) return false;
    if (SameGlyph(GlyphOf(a, a.rows[r][c]), g)) return false;
    const char ch = CharFor(a, g);
    if (ch == '\0') return false;
    a.rows[r][c] = ch;
    return true;
}

} // namespace

bool Pencil(Area& a, int c, int r, const mapc::Glyph& g) { return Put(a, c, r, g); }

bool Erase(Area& a, int c, int r) { return Put(a, c, r, EMPTY_CELL); }

bool FillRect(Area& a, const CellRect& rect, const mapc::Glyph& g) {
    bool changed = false;
    for (int r = rect.top(); r <= rect.bottom(); ++r)
        for (int c = rect.left(); c <= rect.right(); ++c) changed |= Put(a, c, r, g);
    return changed;
}

bool FloodFill(Area& a, int c, int r, const mapc::Glyph& g) {
    if (!InArea(c, r)) return false;
    const mapc::Glyph from = GlyphOf(a, a.rows[r][c]);
    if (SameGlyph(from, g)) return false;
    std::vector<std::pair<int, int>> todo = {{c, r}};
    bool changed = false;
    while (!todo.empty()) {
        const auto [x, y] = todo.back();
        todo.pop_back();
        if (!InArea(x, y) || !SameGlyph(GlyphOf(a, a.rows[y][x]), from)) continue;
        if (!Put(a, x, y, g)) return changed; // no character left for it
        changed = true;
        todo.insert(todo.end(), {{x + 1, y}, {x - 1, y}, {x, y + 1}, {x, y - 1}});
    }
    return changed;
}

mapc::Glyph Pick(const Area& a, int c, int r) { return InArea(c, r) ? GlyphOf(a, a.rows[r][c]) : EMPTY_CELL; }

Clip Copy(const Area& a, const CellRect& rect) {
    Clip clip;
    for (int r = rect.top(); r <= rect.bottom(); ++r)
        for (int c = rect.left(); c <= rect.right(); ++c)
            if (InArea(c, r)) clip.cells.push_back(GlyphOf(a, a.rows[r][c]));
    if (!clip.cells.empty()) {
        // Only the part inside the area is copied.
        const int l = std::max(rect.left(), 0), rt = std::min(rect.right(), COLUMNS - 1);
        const int t = std::max(rect.top(), 0), b = std::min(rect.bottom(), ROWS - 1);
        clip.width = rt - l + 1;
        clip.height = b - t + 1;
    }
    return clip;
}

bool Cut(Area& a, const CellRect& rect, Clip& out) {
    out = Copy(a, rect);
    return FillRect(a, rect, EMPTY_CELL);
}

bool Paste(Area& a, const Clip& clip, int c, int r) {
    bool changed = false;
    for (int y = 0; y < clip.height; ++y)
        for (int x = 0; x < clip.width; ++x) changed |= Put(a, c + x, r + y, clip.cells[y * clip.width + x]);
    return changed;
}

bool Move(Area& a, const CellRect& rect, int dc, int dr) {
    if (dc == 0 && dr == 0) return false;
    Clip clip;
    Cut(a, rect, clip);
    Paste(a, clip, std::max(rect.left(), 0) + dc, std::max(rect.top(), 0) + dr);
    return true;
}

bool InsertColumn(Area& a, int c) {
    if (c < 0 || c >= COLUMNS) return false;
    const char blank = CharFor(a, EMPTY_CELL);
    for (std::string& row : a.rows) {
        row.insert(row.begin() + c, blank);
        row.pop_back();
    }
    return true;
}

bool DeleteColumn(Area& a, int c) {
    if (c < 0 || c >= COLUMNS) return false;
    for (std::string& row : a.rows) {
        row.erase(row.begin() + c);
        row.push_back(row.back());
    }
    return true;
}

bool History::Record(const Area& before, const Area& now) {
    if (before == now) return false;
    undo_.push_back(before);
    redo_.clear();
    return true;
}

bool History::Undo(Area& current) {
    if (undo_.empty()) return false;
    redo_.push_back(std::move(current));
    current = std::move(undo_.back());
    undo_.pop_back();
    return true;
}

bool History::Redo(Area& current) {
    if (redo_.empty()) return false;
    undo_.push_back(std::move(current));
    current = std::move(redo_.back());
    redo_.pop_back();
    return true;
}

} // namespace editor
