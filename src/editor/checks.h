// Live checks: the map checker's own rules and messages, on the cells they name.
#pragma once

#include <string>
#include <vector>

#include "editor/area.h"

namespace editor {

struct Problem {
    int column = -1, row = -1; // -1 for a fault of the whole area (no start, no cauldron...)
    std::string message;       // the checker's message, without the area and cell prefix
};

// Every broken rule of the area, as the game would refuse it.
std::vector<Problem> CheckArea(const Area& a);

// The problems of one cell.
std::vector<const Problem*> ProblemsAt(const std::vector<Problem>& problems, int column, int row);

} // namespace editor
