// The area editor's screen run headless: the mouse draws, a play-test starts the real game with the
// hero at the column under the pointer and comes back on Escape, and the history made before the
// play-test still undoes and redoes; saves write what the area holds at that moment.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "editor/editor_screen.h"
#include "engine/engine.h"
#include "engine/platform/headless/headless_platform.h"
#include "game/game.h"
#include "game/kinds.h"

namespace fs = std::filesystem;

namespace {

std::string ReadText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), {});
}

// Row `r` of a saved source's map.
std::string MapRow(const std::string& text, int r) {
    std::istringstream in(text);
    std::string line;
    int row = 0;
    while (std::getline(in, line))
        if (!line.empty() && line[0] == '|' && row++ == r) return line.substr(1, 140);
    return "";
}

PlatformEvent Event(PlatformEvent::Type type, int code = 0, int x = 0, int y = 0) {
    PlatformEvent e{type};
    e.code = code;
    e.x = x;
    e.y = y;
    return e;
}

// Picture coordinates of a map cell's centre (the view at the start of the area) and of a palette entry.
int CellX(int c) { return c * 30 + 15; }
int CellY(int r) { return 36 + r * 30 + 15; }
int PaletteX(int i) { return 5 + i % 35 * 18 + 9; }
int PaletteY(int i) { return 398 + i / 35 * 18 + 9; }

} // namespace

TEST(EditorScreen, DrawPlayTestFromAColumnComeBackUndoRedoAndSave) {
    const fs::path dir = fs::temp_directory_path() / ("pumko_editor_" + std::to_string(getpid()));
    fs::create_directories(dir);
    const fs::path file = dir / "new.txt";
    editor::OpenedArea opened;
    std::vector<std::string> errors;
    ASSERT_TRUE(editor::OpenForEditing(file.string(), opened, errors));
    EXPECT_FALSE(opened.exists);

    HeadlessPlatform platform;
    EngineInit(&platform);
    enum Phase { Drawing, Testing, Back, Done } phase = Drawing;
    int played_at = -1, back_at = -1;
    float hero_x = 0, cell_x = 0, hero_y = 0;
    std::string undone, redone;
    std::string title_while_dirty;
    platform.OnFrame([&](int f) {
        auto at = [&](int delay, PlatformEvent e) { platform.At(f + delay, e); };
        switch (phase) {
        case Drawing:
            if (f == 5) {
                at(1, Event(PlatformEvent::MouseMove, 0, PaletteX(21), PaletteY(21))); // brick
                at(2, Event(PlatformEvent::MouseDown, 1, PaletteX(21), PaletteY(21)));
                at(3, Event(PlatformEvent::MouseUp, 1, PaletteX(21), PaletteY(21)));
                at(5, Event(PlatformEvent::MouseMove, 0, CellX(10), CellY(8)));
                at(6, Event(PlatformEvent::MouseDown, 1, CellX(10), CellY(8)));
                for (int c = 11; c <= 16; ++c) at(6 + c - 10, Event(PlatformEvent::MouseMove, 0, CellX(c), CellY(8)));
                at(14, Event(PlatformEvent::MouseUp, 1, CellX(16), CellY(8)));
                at(20, Event(PlatformEvent::MouseMove, 0, CellX(18), CellY(5)));
                platform.KeyPress(f + 22, 'T');
            }
            if (f == 20) title_while_dirty = AppTitle();
            if (game.state == STATE_PLAY && played_at < 0) {
                played_at = f;
                hero_x = current_player().x;
                hero_y = current_player().y;
                cell_x = map_cells[10 * 140 + 18].x;
                phase = Testing;
                platform.KeyPress(f + 30, KEY_ESCAPE);
            }
            break;
        case Testing:
            if (game.state != STATE_PLAY) {
                back_at = f;
                phase = Back;
                at(5, Event(PlatformEvent::KeyDown, KEY_LCONTROL));
                platform.KeyPress(f + 6, 'Z');
                platform.KeyPress(f + 8, 'S');
                platform.KeyPress(f + 10, 'Y');
                platform.KeyPress(f + 12, 'S');
                at(14, Event(PlatformEvent::KeyUp, KEY_LCONTROL));
            }
            break;
        case Back:
            if (f == back_at + 10) undone = ReadText(file);
            if (f == back_at + 14) redone = ReadText(file);
            if (f == back_at + 20) {
                at(1, Event(PlatformEvent::Close));
                phase = Done;
            }
            break;
        case Done: break;
        }
        ASSERT_LT(f, 5000) << "the editor never closed";
    });
    EXPECT_EQ(editor::RunEditor(opened, RunChoices{.report_missing_media = false}), 0);
    EngineShutdown();

    EXPECT_EQ(title_while_dirty, "Pumko area editor: new.txt *");
    // The hero stood on the ground at column 18, the world scrolled so it is the fourth on screen.
    ASSERT_GT(played_at, 0);
    EXPECT_NEAR(cell_x, 20 + 40 * 3, 4.0f);
    EXPECT_NEAR(hero_x, 20 + 40 * 3, 4.0f);
    EXPECT_NEAR(hero_y, 20 + 40 * 10, 8.0f);
    EXPECT_GT(back_at, played_at);
    // After the play-test: undone, the drag is gone as one step; redone, it is back.
    EXPECT_EQ(MapRow(undone, 8), std::string(140, ' '));
    EXPECT_EQ(MapRow(redone, 8).substr(9, 9), " BBBBBBB ");
    EXPECT_EQ(ReadText(file), redone);
    EXPECT_FALSE(fs::exists(editor::AutosavePath(file.string())));
    fs::remove_all(dir);
}

TEST(EditorScreen, FilesThatCannotBeEditedAreRefusedWithTheirReason) {
    const fs::path dir = fs::temp_directory_path() / ("pumko_editor_open_" + std::to_string(getpid()));
    fs::create_directories(dir);
    editor::OpenedArea opened;
    std::vector<std::string> errors;
    EXPECT_FALSE(editor::OpenForEditing(dir.string(), opened, errors));
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_NE(errors[0].find("is a folder"), std::string::npos);
    errors.clear();
    std::ofstream(dir / "bad.txt") << "area 1.1\n|short|\n";
    EXPECT_FALSE(editor::OpenForEditing((dir / "bad.txt").string(), opened, errors));
    ASSERT_FALSE(errors.empty());
    EXPECT_NE(errors[0].find("bad.txt:2: a map row must hold exactly 140 cells"), std::string::npos);
    // An autosave newer than its file is pointed out when the file opens.
    const std::string source = std::string(PUMKO_SOURCE_DIR) + "/assets/maps/1-1.txt";
    fs::copy_file(source, dir / "mine.txt");
    fs::last_write_time(dir / "mine.txt", fs::file_time_type::clock::now() - std::chrono::hours(1));
    std::ofstream(dir / "mine.txt.autosave") << "x";
    errors.clear();
    ASSERT_TRUE(editor::OpenForEditing((dir / "mine.txt").string(), opened, errors));
    EXPECT_TRUE(opened.exists);
    EXPECT_NE(opened.notice.find("mine.txt.autosave"), std::string::npos);
    fs::remove_all(dir);
}
