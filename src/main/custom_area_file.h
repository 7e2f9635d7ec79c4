// A player's own area from a file (pumko --area FILE): a level source in the text format of the
// game's own areas, or a compiled map. Read and checked before the display opens, so a broken
// file is refused with the checker's reasons and never played half-loaded.
#pragma once

#include <string>
#include <vector>

// Reads and checks the file; on success hands its map to the game as an embedded resource and
// makes the run play it (custom_area). On failure returns false with one message per fault, each
// starting "FILE:LINE: " (or "FILE: " when no line applies). A compiled map plays as the area its
// file name ends with ("pumkosahrim2.3" plays as area 2.3), else as area 1.1.
bool LoadCustomArea(const std::string& path, std::vector<std::string>& errors);

// LoadCustomArea, with the messages printed on stderr. Returns false when the file is refused.
bool UseCustomArea(const std::string& path);
