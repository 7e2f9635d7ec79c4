// The logo at start-up and the title screen with its menu and scroller.
#include <string>

#include "game/media.h"
#include "game/game.h"
#include "game/text.h"
#include "flow/global_keys.h"
#include "flow/hud.h"
#include "flow/present_frame.h"
#include "flow/title.h"
#include "flow/states.h"

const std::string welcome_text =
    "** Welcome To Pumko's Revenge The Witch of Sahrim! v1.2 ** "
    "Made with love by the Pumko team for everyone who likes a friendly fright."
    " ** Press ESC at any time to quit ** The story: An evil witch has turned you into a Pumko-Lantern! Now, "
    "you must find the 5 magic items, and jump into the Final cauldron To reverse the spell!! ** Game "
    "Options: F1=Reset  F2=Toggle Sound FX  F3=Toggle Music  Space=Pause (play only) ** Enjoy The Game! - "
    "Laterz... ** ";

static const char* const kMenu[3] = {"Start 1 player game", "Start 2 player game", "Quit game"};

void show_logo() {
    // With the music off it is cued paused, so F3 can start it later.
    if (game.music == 1)
        music_sound.Play(music_channel);
    else
        music_sound.Cue(music_channel);
    DelayMs(1000);
    SetBlend(BLEND_ALPHA);
    float a = 1.0f;
    int n = 0;
    do {
        Cls();
        SetAlpha(a);
        DrawImageFrame(logo_image, 320, 220, 0);
        n += 1;
        if (n > 59) a -= 0.02f;
        show_frame_only();
        DelayMs(50);
        if (KeyWasHit(KEY_LCONTROL) || MouseWasHit(1) || JoyButtonHit(0, 0)) a = 0.0f;
    } while (a > 0.0f);
    Cls();
    show_frame_only();
    DelayMs(1000);
    FlushKeyboard();
    FlushPointer();
    SetAlpha(1.0f);
    SetBlend(BLEND_MASK);
}

void update_scroller() {
    const int w = TextWidthOf(welcome_text);
    DrawImageFrame(sprite_sheet, float(game.scmx), float(game.scmy), FRAME_SCROLLER_LEFT);
    DrawImageFrame(sprite_sheet, float(game.scmx + 30), float(game.scmy), FRAME_SCROLLER_PUMPKIN);
    DrawImageFrame(sprite_sheet, float(game.scmx + w + 52), float(game.scmy), FRAME_SCROLLER_RIGHT);
    draw_shadow_text(game.scmx + 45, game.scmy - 10, 180, 150, 80, welcome_text, 0);
    game.scmy += game.scmys;
    game.scmx -= KeyIsDown(KEY_SPACE) ? 4 : 2;
    if (game.scmx < -(w + 80)) game.scmx = 640;
    if (game.scmy <= 200) game.scmys = 1;
    if (game.scmy >= 220) game.scmys = -1;
}

namespace {
std::string demo_suffix(int n) { return ".0" + std::to_string(n); }

// Starts the next recording: the map of area 1.n from its start, sound muted, both scores kept.
bool start_demo() {
    if (PathKind("data\\demodata" + demo_suffix(demo_number)) != 1) return false;
    game.soundset = game.sound;
    game.sound = 0;
    demo_index = 0;
    demo_active = 1;
    demo_tag::Load(demo_suffix(demo_number));
    const int score1 = player_slot[0].score, score2 = player_slot[1].score;
    game.curplayer = 0;
    start_new();
    player_slot[0].score = score1;
    player_slot[1].score = score2;
    map_tag::reset();
    game.savesc = player_slot[0].score;
    // Only the map is the recording's: player 1's area stays as a new game leaves it, and picks
    // the backdrop and whether the witch's fireballs fly.
    const bool loaded = map_tag::Load(1, demo_number);
    demo_number = demo_number % 3 + 1;
    if (!loaded) {
        game.sound = game.soundset;
        demo_active = 0;
        return false;
    }
    map_tag::initialize();
    player_slot[0].rotation = 0;
    player_slot[0].update(); // as the intro does before the first play frame
    return true;
}

// One title frame of demo playback. Returns false when the demo has ended.
bool demo_frame() {
    play_game();
    player_slot[0].score = game.savesc;
    demo_index = (demo_index + 1) % DEMO_FRAMES;
    draw_shadow_text(175, 285, 255, 0, 0, "DEMO - Press JUMP to exit", 0);
    display();
    update_scroller();
    key_inputs();
    const bool died_or_done = game.state != STATE_TITLE;
    game.state = STATE_TITLE;
    // Escape quits at once, as the scroller says; so does closing the window.
    if (KeyWasHit(KEY_ESCAPE) || CloseRequested()) {
        game.state = STATE_QUIT;
        return false;
    }
    if (died_or_done || demo_frames[demo_index].direction == 3) return false;
    if (JoyButtonHit(0, 0) || KeyWasHit(KEY_LCONTROL) || MouseWasHit(1)) return false;
    return demo_active != 0;
}
} // namespace

void title_screen() {
    game.cpflasher = 60;
    game.sound = game.soundset;
    MovePointer(0, 0);
    music_channel.SetVolume(1.0f);
    int selected = 0, cursor_x = 175, cursor_step = 0;

    demo_index = 0;
    while (true) {
        if (demo_active != 0) {
            Cls();
            const bool playing = demo_frame();
            present_frame();
            if (!playing) {
                // Back to the menu, or out of the program: the effects the demo muted are the
                // player's again (the next entry restores them too).
                demo_active = 0;
                game.sound = game.soundset;
                FlushKeyboard();
                FlushPointer();
                return;
            }
            continue;
        }
        Cls();
        SetAlpha(1.0f);
        SetBlend(BLEND_MASK);
        SetColor(100, 100, 255);
        DrawImageFrame(backdrop1, 0, 0, 0);
        SetColor(255, 255, 255);
        DrawImageFrame(title_banner, 320, 100, 0);
        DrawImageFrame(title_footer, 265, 460, 0);

        // The hidden pointer's band picks the entry: 0-159, 160-319, 320 and below.
        int m = PointerY() / 160;
        if (m < 0) m = 0;
        if (m > 2) m = 2;
        if (m != selected) {
            selected = m;
            demo_index = 0;
            play_sfx(snd_fireball);
        }
        for (int i = 0; i < 3; ++i) {
            if (i == selected)
                draw_shadow_text(0, 275 + 40 * i, 255, 255, 0, kMenu[i], 1);
            else
                draw_shadow_text(0, 275 + 40 * i, 150, 150, 150, kMenu[i], 1);
        }
        DrawImageFrame(sprite_sheet, float(cursor_x), float(290 + 40 * selected), FRAME_CURSOR);

        display();
        update_scroller();
        key_inputs();

        cursor_x += cursor_step;
        if (cursor_x >= 195) cursor_step = -2;
        if (cursor_x <= 175) cursor_step = 2;

        if ((KeyWasHit(KEY_DOWN) || JoyAxisY(0) == joy_down_value) && selected < 2) {
            selected += 1;
            demo_index = 0;
            MovePointer(0, 160 * selected);
            play_sfx(snd_fireball);
            wait_for_release([] { return JoyAxisY(0) == 1.0f; });
        }
        if ((KeyWasHit(KEY_UP) || JoyAxisY(0) == joy_up_value) && selected > 0) {
            selected -= 1;
            demo_index = 0;
            MovePointer(0, 160 * selected);
            play_sfx(snd_fireball);
            wait_for_release([] { return JoyAxisY(0) == -1.0f; });
        }
        if (KeyWasHit(KEY_LCONTROL) || JoyButtonHit(0, 0) || MouseWasHit(1)) break;
        if (KeyWasHit(KEY_ESCAPE) || CloseRequested()) {
            game.state = STATE_QUIT;
            return;
        }
        // After 200 frames without a menu move the attract demo starts.
        demo_index += 1;
        if (demo_index > 200 && !start_demo()) demo_index = 0;
        present_frame();
    }

    if (selected == 2) {
        game.state = STATE_QUIT;
        return;
    }
    start_game(selected);
}
