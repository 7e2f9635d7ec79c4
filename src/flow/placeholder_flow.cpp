// Placeholders for the game-flow operations until they are written.
#include "flow/media.h"
#include "main/game.h"

void game_tag::show_logo() {}
void game_tag::title_screen() { state = STATE_QUIT; }
void game_tag::start_new() {}
void game_tag::level_intro() {}
void game_tag::play_game() {}
void game_tag::end_level() {}
void game_tag::pumko_death() {}
void game_tag::game_over() {}
void game_tag::draw_endbkgr() {}
void game_tag::the_ending() {}
void game_tag::update_cauldron(int) {}
void game_tag::display() {}
void game_tag::key_inputs() {}
void game_tag::destroy_all() {}
void draw_backdrop() {}
void update_scroller() {}
void topscore_file(int) {}
void present_frame() { ShowFrame(frame_sync != 0 ? 1 : -1); }
void show_frame_only() { ShowFrame(frame_sync != 0 ? 1 : -1); }
int RunGame() { return 0; }

void draw_shadow_text(int x, int y, int red, int green, int blue, const std::string& text, int centre) {
    if (centre != 0) x = 320 - TextWidthOf(text) / 2;
    SetColor(0, 0, 0);
    DrawString(text, float(x + 2), float(y + 2));
    SetColor(red, green, blue);
    DrawString(text, float(x), float(y));
    SetColor(255, 255, 255);
}
