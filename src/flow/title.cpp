// The logo at start-up and the title screen with its menu and scroller.
#include <string>

#include "flow/media.h"
#include "main/game.h"

const std::string welcome_text =
    "** Welcome To Pumko's Revenge The Witch of Sahrim! v1.2 ** "
    "Made with love by the Pumko team for everyone who likes a friendly fright."
    " ** Press ESC at any time to quit ** The story: An evil witch has turned you into a Pumko-Lantern! Now, "
    "you must find the 5 magic items, and jump into the Final cauldron To reverse the spell!! ** Game "
    "Options: F1=Reset  F2=Toggle Sound FX  F3=Toggle Music  Space=Pause (play only) ** Enjoy The Game! - "
    "Laterz... ** ";

static const char* const kMenu[3] = {"Start 1 player game", "Start 2 player game", "Quit game"};

void game_tag::show_logo() {
    if (music == 1) music_sound.Play(music_channel);
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
        if (KeyWasHit(162) || MouseWasHit(1) || JoyButtonHit(0, 0)) a = 0.0f;
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
    DrawImageFrame(sprite_sheet, float(game.scmx), float(game.scmy), 124);
    DrawImageFrame(sprite_sheet, float(game.scmx + 30), float(game.scmy), 125);
    DrawImageFrame(sprite_sheet, float(game.scmx + w + 52), float(game.scmy), 126);
    draw_shadow_text(game.scmx + 45, game.scmy - 10, 180, 150, 80, welcome_text, 0);
    game.scmy += game.scmys;
    game.scmx -= KeyIsDown(32) ? 4 : 2;
    if (game.scmx < -(w + 80)) game.scmx = 640;
    if (game.scmy <= 200) game.scmys = 1;
    if (game.scmy >= 220) game.scmys = -1;
}

void game_tag::title_screen() {
    cpflasher = 60;
    sound = soundset;
    MovePointer(0, 0);
    music_channel.SetVolume(1.0f);
    int selected = 0, cursor_x = 175, cursor_step = 0;

    while (true) {
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
            play_sfx(snd_fireball);
        }
        for (int i = 0; i < 3; ++i) {
            if (i == selected)
                draw_shadow_text(0, 275 + 40 * i, 255, 255, 0, kMenu[i], 1);
            else
                draw_shadow_text(0, 275 + 40 * i, 150, 150, 150, kMenu[i], 1);
        }
        DrawImageFrame(sprite_sheet, float(cursor_x), float(290 + 40 * selected), 123);

        display();
        update_scroller();
        key_inputs();

        cursor_x += cursor_step;
        if (cursor_x >= 195) cursor_step = -2;
        if (cursor_x <= 175) cursor_step = 2;

        if ((KeyWasHit(40) || JoyAxisY(0) == joy_down_value) && selected < 2) {
            selected += 1;
            MovePointer(0, 160 * selected);
            play_sfx(snd_fireball);
            while (JoyAxisY(0) == 1.0f) DelayMs(1);
        }
        if ((KeyWasHit(38) || JoyAxisY(0) == joy_up_value) && selected > 0) {
            selected -= 1;
            MovePointer(0, 160 * selected);
            play_sfx(snd_fireball);
            while (JoyAxisY(0) == -1.0f) DelayMs(1);
        }
        if (KeyWasHit(162) || JoyButtonHit(0, 0) || MouseWasHit(1)) break;
        if (KeyWasHit(27) || CloseRequested()) {
            state = STATE_QUIT;
            return;
        }
        present_frame();
    }

    if (selected == 2) {
        state = STATE_QUIT;
        return;
    }
    players = selected;
    state = STATE_INTRO;
    start_new();
    music_channel.SetVolume(0.4f);
    play_sfx(snd_hidden);
    FlushKeyboard();
    FlushPointer();
    while (JoyButtonDown(0, 0)) DelayMs(1);
}
