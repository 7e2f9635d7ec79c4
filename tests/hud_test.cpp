// What the heads-up display and the cauldron show, with the game's own media on the software back
// end: every text in its place and colour, the player's label blinking, the witch laughing in the
// corners, the item slots, and the cauldron's band, animation and touch.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/platform/headless/headless_platform.h"
#include "game/media.h"
#include "game/game.h"
#include "replay/playthrough.h"
#include "game/text.h"
#include "world/cauldron.h"
#include "flow/hud.h"

namespace {

struct Text {
    std::string text;
    int x, y;
    bool operator==(const Text&) const = default;
};
std::vector<Text> g_texts;
void observe(const std::string& text, int x, int y) { g_texts.push_back({text, x, y}); }

using Pixels = std::vector<uint8_t>;

class Hud : public ::testing::Test {
  protected:
    static HeadlessPlatform* platform;
    static void SetUpTestSuite() {
        platform = new HeadlessPlatform;
        EngineInit(platform);
        ASSERT_TRUE(PrepareHeadlessGame());
    }
    static void TearDownTestSuite() {
        EngineShutdown();
        delete platform;
    }
    void SetUp() override {
        game = game_tag{};
        game.state = STATE_PLAY;
        for (player_tag& p : player_slot) p = player_tag{};
        player_slot[0].lives = 3;
        specialfx_list.Clear();
        SetTransform(0, 1, 1);
        SetBlend(BLEND_MASK);
        text_observer = observe;
    }
    void TearDown() override {
        text_observer = nullptr;
        specialfx_list.Clear();
        game = game_tag{};
    }
    // One frame of the display on a black screen; returns the texts it wrote.
    static std::vector<Text> Display() {
        g_texts.clear();
        Cls();
        display();
        return g_texts;
    }
    static bool Shown(const std::vector<Text>& texts, const std::string& text) {
        for (const Text& t : texts)
            if (t.text == text) return true;
        return false;
    }
    static Pixels Region(int x, int y, int w, int h) {
        Pixels px(size_t(w) * size_t(h) * 3);
        ReadBackBuffer(x, y, w, h, px.data());
        return px;
    }
    static int CountColour(const Pixels& px, uint8_t r, uint8_t g, uint8_t b) {
        int n = 0;
        for (size_t i = 0; i + 2 < px.size(); i += 3) n += px[i] == r && px[i + 1] == g && px[i + 2] == b;
        return n;
    }
    // The picture of `frame` drawn alone at (x, y) under the given scale, as a region of w x h
    // around that point.
    static Pixels FrameAlone(int frame, int x, int y, float sx, float sy, int w, int h) {
        Cls();
        SetDrawScale(sx, sy);
        DrawImageFrame(sprite_sheet, float(x), float(y), frame);
        SetDrawScale(1, 1);
        return Region(x - w / 2, y - h / 2, w, h);
    }
};
HeadlessPlatform* Hud::platform = nullptr;

TEST_F(Hud, TextsInTheirPlacesAndColours) {
    player_tag& p = player_slot[0];
    p.score = 12345;
    p.magic = 42;
    game.topscore = 987654;
    const std::vector<Text> play = Display();
    // "Top: 987654" has 11 characters, "Magic: 42" 9: the fields move left by character counts.
    const std::vector<Text> expected = {{"1up:", 70, 2},    {"12345", 118, 2},          {"Top:", 310 - 4 * 11, 2},
                                        {"987654", 319, 2}, {"Magic:", 545 - 8 * 9, 2}, {"42", 548, 2},
                                        {"x3", 22, 452}};
    EXPECT_EQ(play, expected);
    EXPECT_GT(CountColour(Region(70, 2, 40, 24), 0, 255, 255), 20);  // the label in cyan
    EXPECT_GT(CountColour(Region(266, 2, 45, 24), 255, 255, 0), 20); // "Top:" in yellow
    EXPECT_GT(CountColour(Region(118, 2, 60, 24), 255, 255, 255), 20);
    EXPECT_GT(CountColour(Region(22, 452, 30, 26), 255, 255, 0), 10);

    // The second player's turn; on the title the right field shows the second player's score.
    game.curplayer = 1;
    player_slot[1].lives = 2;
    EXPECT_TRUE(Shown(Display(), "2up:"));
    game.curplayer = 0;
    game.state = STATE_TITLE;
    player_slot[1].score = 777;
    const std::vector<Text> title = Display();
    EXPECT_EQ(title[4], (Text{"2up:", 545 - 8 * 8, 2}));
    EXPECT_EQ(title[5], (Text{"777", 545 - 8 * 8 + 50, 2}));
    EXPECT_FALSE(Shown(title, "Magic:"));
}

// In play the label shows for 28 frames and hides for 32 of every 60; on the title it stays.
TEST_F(Hud, TheCurrentPlayersLabelBlinksInPlayOnly) {
    std::string seen;
    for (int i = 0; i < 120; ++i) seen += Shown(Display(), "1up:") ? '#' : '.';
    const std::string cycle = std::string(28, '#') + std::string(32, '.');
    EXPECT_EQ(seen, cycle + cycle);
    game.state = STATE_TITLE;
    game.cpflasher = 60; // as the title sets it on entry
    seen.clear();
    for (int i = 0; i < 70; ++i) seen += Shown(Display(), "1up:") ? '#' : '.';
    EXPECT_EQ(seen, "." + std::string(69, '#'));
}

// After a death the witch laughs in the corners, her face changing every 5 frames.
TEST_F(Hud, TheWitchLaughsInTheCornersEveryFiveFrames) {
    const Pixels calm = FrameAlone(98, 20, 28, 1.0f, 1.4f, 40, 56);
    const Pixels laughing = FrameAlone(111, 20, 28, 1.0f, 1.4f, 40, 56);
    ASSERT_NE(calm, laughing);
    auto faces = [&](int frames) {
        std::string seen;
        for (int i = 0; i < frames; ++i) {
            Display();
            const Pixels corner = Region(0, 0, 40, 56);
            seen += corner == calm ? 'c' : corner == laughing ? 'L' : '?';
        }
        return seen;
    };
    EXPECT_EQ(faces(10), std::string(10, 'c'));
    game.wlaugh = 1;
    EXPECT_EQ(faces(20), "ccccLLLLLcccccLLLLLc");
}

// Slot i, from the right, shows level 5 - i's item dark until it is collected, then lit.
TEST_F(Hud, TheItemSlotsLightUpAsTheItemsAreCollected) {
    // The middle of each slot: its neighbours' pictures, 30 px away, do not reach into it.
    auto slot = [](int i) { return Region(620 - 30 * i - 10, 440, 20, 42); };
    Display();
    std::vector<Pixels> dark;
    for (int i = 0; i < 5; ++i) dark.push_back(slot(i));
    player_slot[0].item[3] = 1; // level 2's
    Display();
    for (int i = 0; i < 5; ++i) {
        if (i == 3)
            EXPECT_NE(slot(i), dark[size_t(i)]);
        else
            EXPECT_EQ(slot(i), dark[size_t(i)]) << "slot " << i;
    }
    // The lit slot is the collected picture (frame 103) over its dark copy, the others the
    // uncollected pictures.
    Cls();
    SetColor(1, 1, 1);
    DrawImageFrame(sprite_sheet, 532, 462, 102);
    SetColor(255, 255, 255);
    DrawImageFrame(sprite_sheet, 530, 460, 103);
    EXPECT_EQ(Region(520, 440, 20, 42), [&] {
        Display();
        return slot(3);
    }());
}

// The cauldron scrolls with the world and is animated, tested and drawn only inside the band
// -40 < x < 680; its picture steps through frames 39, 40 and 41 every 12 frames.
TEST_F(Hud, TheCauldronsBandAndAnimation) {
    player_tag& p = player_slot[0];
    p.x = 100.0f;
    p.y = 100.0f;
    game.cauldy = 300;
    for (const int edge : {-40, 680}) {
        game.cauldx = edge + (edge < 0 ? 2 : -2);
        game.cauldft = 5;
        Cls();
        update_cauldron(edge < 0 ? -2 : 2);
        EXPECT_EQ(game.cauldx, edge);
        EXPECT_EQ(game.cauldft, 5) << "not animated at " << edge;
        EXPECT_EQ(CountColour(Region(0, 250, 640, 100), 0, 0, 0), 640 * 100) << "not drawn at " << edge;
    }
    const Pixels frames[3] = {FrameAlone(39, 320, 300, 1.6f, 1.2f, 64, 48),
                              FrameAlone(40, 320, 300, 1.6f, 1.2f, 64, 48),
                              FrameAlone(41, 320, 300, 1.6f, 1.2f, 64, 48)};
    game.cauldx = 320;
    game.cauldft = 0;
    game.cauldfc = 0;
    std::string seen;
    for (int i = 0; i < 40; ++i) {
        Cls();
        update_cauldron(0);
        const Pixels drawn = Region(320 - 32, 300 - 24, 64, 48);
        seen += drawn == frames[0] ? '0' : drawn == frames[1] ? '1' : drawn == frames[2] ? '2' : '?';
    }
    EXPECT_EQ(seen, std::string(11, '0') + std::string(12, '1') + std::string(12, '2') + std::string(5, '0'));
    EXPECT_EQ(game.state, STATE_PLAY);
}

// The hero jumping in ends the area: it is taken out of the world, a splash rises from the
// cauldron and the frame still draws it. The test is the hero's picture against the cauldron's
// first frame unscaled, so a hero beside the wider drawn pot is not taken.
TEST_F(Hud, TheHeroJumpingInEndsTheArea) {
    player_tag& p = player_slot[0];
    game.cauldx = 320;
    game.cauldy = 300;
    p.y = 300.0f;
    p.x = 320.0f - 35.0f; // overlapping the drawn pot, but not its unscaled frame
    update_cauldron(0);
    EXPECT_EQ(game.state, STATE_PLAY);
    p.x = 320.0f - 31.0f;
    Cls();
    update_cauldron(0);
    EXPECT_EQ(game.state, STATE_LEVELEND);
    EXPECT_EQ(p.x, 0.0f);
    ASSERT_EQ(specialfx_list.Count(), 1u);
    const specialfx_tag& splash = *specialfx_list.At(0);
    EXPECT_EQ(splash.typ, EFFECT_SPLASH);
    EXPECT_EQ(splash.x, 320.0f);
    EXPECT_EQ(splash.y, 300.0f - 42.0f);
    EXPECT_GT(640 * 100 - CountColour(Region(0, 250, 640, 100), 0, 0, 0), 500); // still drawn
}

} // namespace
