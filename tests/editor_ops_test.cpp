// The area editor's operations on an area value: reading and writing sources byte for byte, each
// tool, the clipboard, columns, undo and redo, and the live checks on the cells they name.
#include <gtest/gtest.h>

#include <fstream>
#include <set>

#include "editor/area.h"
#include "editor/checks.h"
#include "editor/edit_ops.h"
#include "editor/palette.h"
#include "game/kinds.h"

using namespace editor;

namespace {

std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), {});
}

Area Parsed(const std::string& text) {
    Area a;
    std::vector<std::string> errors;
    EXPECT_TRUE(ParseArea(text, "test", a, errors)) << (errors.empty() ? "" : errors[0]);
    return a;
}

const mapc::Glyph GROUND{TILE_GROUND, OBJECT_NONE};
const mapc::Glyph BRICK{TILE_BRICK, OBJECT_NONE};
const mapc::Glyph WALKER{TILE_EMPTY, OBJECT_WALKER_LEFT};

} // namespace

TEST(EditorArea, EveryShippedSourceIsWrittenBackByteForByte) {
    int sources = 0;
    for (int level = 1; level <= 5; ++level) {
        for (int area = 1; area <= 3; ++area) {
            const std::string path = std::string(PUMKO_SOURCE_DIR) + "/assets/maps/" + std::to_string(level) + "-" +
                                     std::to_string(area) + ".txt";
            const std::string text = ReadText(path);
            ASSERT_FALSE(text.empty()) << path;
            const Area a = Parsed(text);
            EXPECT_EQ(WriteArea(a), text) << path;
            // What the editor shows is what the game reads.
            mapc::Grid g;
            std::vector<std::string> errors;
            ASSERT_TRUE(mapc::parse_source(text, path, g, errors));
            const mapc::Grid mine = ToGrid(a);
            EXPECT_EQ(mine.tile1, g.tile1) << path;
            EXPECT_EQ(mine.tile2, g.tile2) << path;
            EXPECT_EQ(mine.lines, g.lines) << path;
            ++sources;
        }
    }
    EXPECT_EQ(sources, 15);
}

TEST(EditorArea, LayoutSurvivesEditsAndOddLineEndings) {
    Area a = BlankArea(1, 2);
    a.lines.insert(a.lines.begin() + 1, "# a comment kept where it is\r");
    for (int& l : a.row_line) ++l;
    ++a.area_line;
    a.row_rest[3] = "   ";
    a.final_newline = false;
    const std::string text = WriteArea(a);
    Area b = Parsed(text);
    EXPECT_EQ(WriteArea(b), text);
    Pencil(b, 10, 5, BRICK);
    const std::string edited = WriteArea(b);
    EXPECT_NE(edited.find("# a comment kept where it is\r\n"), std::string::npos);
    EXPECT_EQ(edited.back(), '|');
    EXPECT_NE(edited.find("|" + b.rows[3] + "|   \n"), std::string::npos);
    EXPECT_EQ(b.rows[5][10], 'B');
}

TEST(EditorArea, BlankAreaPassesTheCheckerAndCompiles) {
    for (int area = 1; area <= 3; ++area) {
        const Area a = BlankArea(2, area);
        std::vector<std::string> errors;
        mapc::Grid g;
        ASSERT_TRUE(mapc::parse_source(WriteArea(a), "blank", g, errors)) << errors[0];
        EXPECT_TRUE(mapc::check_grid(g, errors)) << errors[0];
        EXPECT_TRUE(CheckArea(a).empty());
    }
}

TEST(EditorArea, ACellWithNoCharacterGetsALegendLineOfItsOwn) {
    Area a = BlankArea(1, 3);
    const mapc::Glyph bush_magic{TILE_BUSH, OBJECT_MULTI_MAGIC};
    ASSERT_TRUE(Pencil(a, 20, 8, bush_magic));
    const char ch = a.rows[8][20];
    EXPECT_TRUE(SameGlyph(GlyphOf(a, ch), bush_magic));
    const std::string text = WriteArea(a);
    EXPECT_NE(text.find("legend " + std::string(1, ch) + " 1 29\n"), std::string::npos);
    // The same cell again reuses the character; the file reads back as the game would.
    Pencil(a, 21, 8, bush_magic);
    EXPECT_EQ(a.rows[8][21], ch);
    mapc::Grid g;
    std::vector<std::string> errors;
    ASSERT_TRUE(mapc::parse_source(WriteArea(a), "t", g, errors));
    EXPECT_EQ(g.t1(21, 8), TILE_BUSH);
    EXPECT_EQ(g.t2(21, 8), OBJECT_MULTI_MAGIC);
    // A file's own legend is used before a new line is made ("legend T 24 11" in area 1.3).
    Area lair = Parsed(ReadText(std::string(PUMKO_SOURCE_DIR) + "/assets/maps/1-3.txt"));
    const size_t lines = lair.lines.size();
    Pencil(lair, 30, 10, {TILE_LAIR_GROUND, OBJECT_SPRINGBOARD});
    EXPECT_EQ(lair.rows[10][30], 'T');
    EXPECT_EQ(lair.lines.size(), lines);
}

TEST(EditorArea, LevelAndAreaAreSetInTheHeader) {
    Area a = BlankArea(1, 3);
    SetLevelArea(a, 4, 3);
    const std::string text = WriteArea(a);
    EXPECT_NE(text.find("\narea 4.3\n"), std::string::npos);
    mapc::Grid g;
    std::vector<std::string> errors;
    ASSERT_TRUE(mapc::parse_source(text, "t", g, errors));
    EXPECT_EQ(g.level, 4);
    // The magic item ('&') follows the level.
    EXPECT_EQ(g.t2(70, 10), level_item_object(4));
    EXPECT_TRUE(CheckArea(a).empty());
}

TEST(EditorTools, PencilEraserPickAndRectangle) {
    Area a = BlankArea(1, 1);
    EXPECT_TRUE(Pencil(a, 5, 5, BRICK));
    EXPECT_FALSE(Pencil(a, 5, 5, BRICK)); // already so
    EXPECT_FALSE(Pencil(a, 140, 5, BRICK));
    EXPECT_FALSE(Pencil(a, -1, 5, BRICK));
    EXPECT_TRUE(SameGlyph(Pick(a, 5, 5), BRICK));
    EXPECT_TRUE(Erase(a, 5, 5));
    EXPECT_EQ(a.rows[5][5], ' ');
    EXPECT_TRUE(FillRect(a, {12, 7, 10, 6}, GROUND)); // corners in any order
    int ground = 0;
    for (int r = 0; r < ROWS; ++r)
        for (int c = 0; c < COLUMNS; ++c) ground += r < 10 && a.rows[r][c] == '#';
    EXPECT_EQ(ground, 6);
    EXPECT_EQ(a.rows[6][10], '#');
    EXPECT_EQ(a.rows[7][12], '#');
    EXPECT_EQ(a.rows[7][13], ' ');
}

TEST(EditorTools, FloodFillStaysInsideItsRegion) {
    Area a = BlankArea(1, 1);
    // A box of bricks from column 20 to 24, rows 3 to 7; fill inside, then outside.
    FillRect(a, {20, 3, 24, 7}, BRICK);
    FillRect(a, {21, 4, 23, 6}, mapc::Glyph{});
    EXPECT_TRUE(FloodFill(a, 22, 5, GROUND));
    for (int r = 4; r <= 6; ++r)
        for (int c = 21; c <= 23; ++c) EXPECT_EQ(a.rows[r][c], '#');
    EXPECT_EQ(a.rows[5][25], ' ');
    EXPECT_FALSE(FloodFill(a, 22, 5, GROUND));
    // The bottom ground is joined to itself only: filling it with water leaves the box.
    EXPECT_TRUE(FloodFill(a, 0, 11, {TILE_WATER, OBJECT_NONE}));
    EXPECT_EQ(a.rows[11][139], '~');
    EXPECT_EQ(a.rows[10][50], ' ');
    EXPECT_EQ(a.rows[5][22], '#');
}

TEST(EditorTools, CopyCutPasteAndMove) {
    Area a = BlankArea(1, 1);
    Pencil(a, 30, 4, BRICK);
    Pencil(a, 31, 5, WALKER);
    const Clip clip = Copy(a, {30, 4, 31, 5});
    ASSERT_EQ(clip.width, 2);
    ASSERT_EQ(clip.height, 2);
    EXPECT_TRUE(Paste(a, clip, 60, 2));
    EXPECT_EQ(a.rows[2][60], 'B');
    EXPECT_EQ(a.rows[3][61], 'w');
    EXPECT_FALSE(Paste(a, clip, 60, 2));
    // Pasted at the edge: the part outside is dropped.
    EXPECT_TRUE(Paste(a, clip, 139, 11));
    EXPECT_EQ(a.rows[11][139], 'B');
    Clip cut;
    EXPECT_TRUE(Cut(a, {30, 4, 31, 5}, cut));
    EXPECT_EQ(a.rows[4][30], ' ');
    EXPECT_EQ(a.rows[5][31], ' ');
    EXPECT_EQ(cut.cells.size(), 4u);
    // A move empties what it leaves and replaces what it lands on, overlapping itself.
    EXPECT_TRUE(Move(a, {60, 2, 61, 3}, 1, 1));
    EXPECT_EQ(a.rows[2][60], ' ');
    EXPECT_EQ(a.rows[3][61], 'B');
    EXPECT_EQ(a.rows[4][62], 'w');
    EXPECT_EQ(a.rows[3][62], ' ');
}

TEST(EditorTools, InsertAndDeleteColumn) {
    Area a = BlankArea(1, 1);
    Pencil(a, 50, 3, BRICK);
    Pencil(a, 139, 3, WALKER);
    EXPECT_TRUE(InsertColumn(a, 50));
    EXPECT_EQ(a.rows[3][50], ' ');
    EXPECT_EQ(a.rows[3][51], 'B');
    EXPECT_EQ(a.rows[11][50], ' '); // a blank column, ground included
    EXPECT_EQ(a.rows[10][135], 'C');
    EXPECT_EQ(a.rows[3][139], ' '); // the last column fell off
    for (const std::string& row : a.rows) EXPECT_EQ(row.size(), size_t(COLUMNS));
    EXPECT_TRUE(DeleteColumn(a, 50));
    EXPECT_EQ(a.rows[3][50], 'B');
    EXPECT_EQ(a.rows[10][134], 'C');
    EXPECT_EQ(a.rows[11][139], '#'); // the last column repeats
    EXPECT_FALSE(DeleteColumn(a, 140));
    EXPECT_FALSE(InsertColumn(a, -1));
}

TEST(EditorHistory, UndoAndRedoStepByStepWithoutLimit) {
    Area a = BlankArea(1, 1);
    History h;
    const Area start = a;
    // A drag of 100 cells is one step.
    Area before = a;
    for (int c = 8; c < 108; ++c) Pencil(a, c, 9, GROUND);
    EXPECT_TRUE(h.Record(before, a));
    const Area dragged = a;
    // A thousand more single steps.
    size_t recorded = 1;
    for (int i = 0; i < 1000; ++i) {
        before = a;
        Pencil(a, 8 + i % 100, 2 + i / 100 % 7, i % 3 ? BRICK : WALKER);
        recorded += h.Record(before, a);
    }
    EXPECT_FALSE(h.Record(a, a)); // nothing changed, nothing recorded
    EXPECT_EQ(h.UndoSteps(), recorded);
    EXPECT_GT(recorded, 600u);
    while (h.UndoSteps() > 1) h.Undo(a);
    EXPECT_EQ(a, dragged);
    EXPECT_TRUE(h.Undo(a));
    EXPECT_EQ(a, start);
    EXPECT_FALSE(h.Undo(a));
    EXPECT_TRUE(h.Redo(a));
    EXPECT_EQ(a, dragged);
    // A new action forgets the redo steps.
    before = a;
    Pencil(a, 3, 3, BRICK);
    h.Record(before, a);
    EXPECT_EQ(h.RedoSteps(), 0u);
    EXPECT_FALSE(h.Redo(a));
}

TEST(EditorHistory, UndoTakesBackTheLegendLineAnEditAdded) {
    Area a = BlankArea(1, 1);
    History h;
    const Area before = a;
    Pencil(a, 20, 9, {TILE_FENCE, OBJECT_POWER_UP});
    h.Record(before, a);
    h.Undo(a);
    EXPECT_EQ(WriteArea(a), WriteArea(before));
}

TEST(EditorChecks, TheCheckersMessagesOnTheCellsTheyName) {
    Area a = BlankArea(1, 1);
    Pencil(a, 20, 10, {TILE_EMPTY, OBJECT_START}); // a second start, and outside columns 1 to 7
    Pencil(a, 40, 9, {TILE_LAVA, OBJECT_NONE});    // lava outside a third area
    Pencil(a, 50, 0, {TILE_EMPTY, OBJECT_LIFT_HORIZONTAL});
    Erase(a, 134, 10); // no cauldron
    const std::vector<Problem> problems = CheckArea(a);
    auto at = [&](int c, int r) {
        std::string all;
        for (const Problem* p : ProblemsAt(problems, c, r)) all += p->message + ";";
        return all;
    };
    EXPECT_EQ(at(20, 10), "a second player start;the player start must lie in columns 1 to 7;");
    EXPECT_EQ(at(40, 9), "base tile 95 belongs in third areas only;");
    EXPECT_EQ(at(50, 0), "a horizontal lift (12) in row 0 would move up and down;");
    EXPECT_EQ(at(-1, -1), "no cauldron;");
    EXPECT_EQ(at(2, 10), "");
    // Every message of the checker is kept, none invented.
    std::vector<std::string> messages;
    mapc::check_grid(ToGrid(a), messages);
    EXPECT_EQ(problems.size(), messages.size());
}

TEST(EditorPalette, EveryEntryIsACellTheCheckerKnowsAndHasAName) {
    const std::vector<PaletteEntry> palette = Palette(3);
    std::set<std::string> names;
    for (const PaletteEntry& e : palette) {
        Area a = BlankArea(3, 3);
        Erase(a, 70, 10); // the blank lair's item
        Pencil(a, 60, 5, e.glyph);
        for (const Problem& p : CheckArea(a))
            EXPECT_EQ(p.message.find("not one the game knows"), std::string::npos) << e.name;
        EXPECT_TRUE(names.insert(e.name).second) << e.name;
        EXPECT_EQ(CellName(e.glyph, 3), e.name);
    }
    EXPECT_GE(palette.size(), 70u);
}
