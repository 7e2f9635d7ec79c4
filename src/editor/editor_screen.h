// The area editor's screen (pumko --edit FILE): the area drawn with the game's own art, the
// toolbar, the palette, the overview strip, the live checks, saving and play-tests.
#pragma once

#include <string>
#include <vector>

#include "editor/area.h"
#include "flow/main_loop.h"

namespace editor {

// The file to edit, read before the display opens: an area source, or a new area when nothing is
// at `path` yet. False, with the reasons, when the file cannot be edited (not a source the game
// can read, or a compiled map).
struct OpenedArea {
    std::string path;
    Area area;
    bool exists = false;      // the file is there (a new area is written only when saved)
    std::string saved_text;   // the file's bytes as read
    std::string notice;       // shown when the editor opens (an autosave newer than the file...)
};
bool OpenForEditing(const std::string& path, OpenedArea& out, std::vector<std::string>& errors);

// Where the autosave of `path` goes: beside it.
std::string AutosavePath(const std::string& path);

// Runs the editor on the engine's platform until the player quits. Returns the exit code.
int RunEditor(OpenedArea opened, const RunChoices& choices);

} // namespace editor
