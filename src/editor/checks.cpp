// Live checks over the map checker: its messages are read back for the cell each one names.
#include "editor/checks.h"

#include <cstdio>

namespace editor {

std::vector<Problem> CheckArea(const Area& a) {
    std::vector<std::string> messages;
    mapc::check_grid(ToGrid(a), messages);
    std::vector<Problem> problems;
    for (const std::string& m : messages) {
        Problem p;
        // "area L.A, cell (column C, row R): reason" or "area L.A: reason"
        int consumed = 0;
        const size_t cell = m.find("cell (column ");
        if (cell != std::string::npos &&
            std::sscanf(m.c_str() + cell, "cell (column %d, row %d): %n", &p.column, &p.row, &consumed) == 2 &&
            consumed > 0) {
            p.message = m.substr(cell + consumed);
        } else {
            p.column = p.row = -1;
            const size_t colon = m.find(": ");
            p.message = colon == std::string::npos ? m : m.substr(colon + 2);
        }
        problems.push_back(p);
    }
    return problems;
}

std::vector<const Problem*> ProblemsAt(const std::vector<Problem>& problems, int column, int row) {
    std::vector<const Problem*> out;
    for (const Problem& p : problems)
        if (p.column == column && p.row == row) out.push_back(&p);
    return out;
}

} // namespace editor
