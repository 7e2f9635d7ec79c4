// The game states that make up a game: new game, area intro, the play frame, area end, the
// hero's death and game over.
#include <string>

#include "game/media.h"
#include "game/events.h"
#include "game/game.h"
#include "game/text.h"
#include "world/cauldron.h"
#include "flow/hud.h"
#include "flow/present_frame.h"
#include "flow/states.h"

static void update_all_cells(int scroll) {
    for (map_tag& cell : map_cells) cell.update(scroll);
}

static void update_all_effects(int scroll) {
    specialfx_list.ForEach([&](specialfx_tag& fx) { fx.update(scroll); });
}

static void wait_joystick_button_release() {
    wait_for_release([] { return JoyButtonDown(0, 0) != 0; });
}

// Each new level the witch's fireballs come 100 frames sooner, down to one every 200 frames.
static void quicken_witch() {
    game.fireballmaxtmr -= 100;
    if (game.fireballmaxtmr < 200) game.fireballmaxtmr = 200;
}

void count_scores() {
    if (demo_active != 0) return;
    for (const player_tag& p : player_slot)
        if (p.score > game.topscore) game.topscore = p.score;
}

// A game is over: back to the title with the scroller and the attract demo from their start.
static void back_to_title() {
    count_scores(); // a player's own area ends on its bonus, with no play frame after it
    game.state = STATE_TITLE;
    game.scmx = 640;
    game.scmy = 200;
    game.curplayer = 0;
    game.cpflasher = 0;
    demo_number = 1;
}

void destroy_all() {
    map_tag::reset();
    game.jump = 0;
    game.pumkdeath = DEATH_FALL;
    game.invincible = 0;
    game.cauldx = 0;
    game.cauldy = 0;
    game.fireballtmr = 0;
    fireball.state = 0;
    player_tag& p = current_player();
    p.ystp = 0.0f;
    p.yscale = 1.0f;
    elevator_list.Clear();
    specialfx_list.Clear();
    monster_list.Clear();
    specialitem_list.Clear();
}

void start_new() {
    destroy_all();
    game.pumkdeath = DEATH_FALL;
    game.invincible = 0;
    game.fbflashstp = 10;
    game.turbo = 0;
    game.fireballmaxtmr = 700;
    for (player_tag& p : player_slot) {
        p.score = 0;
        p.power = 0;
        p.magic = 0;
        p.lives = 3;
        p.level = 1;
        p.area = 1;
        for (int& it : p.item) it = 0;
    }
}

// A new game for one player (0) or two taking turns (1), from area 1.1, or from the player's own
// area when the run plays one, with the witch's pace of its level.
void start_game(int two_players) {
    game.players = two_players;
    game.state = STATE_INTRO;
    start_new();
    if (custom_area.level != 0) {
        for (player_tag& p : player_slot) {
            p.level = custom_area.level;
            p.area = custom_area.area;
        }
        for (int level = 1; level < custom_area.level; ++level) quicken_witch();
    }
    music_channel.SetVolume(0.4f);
    play_sfx(snd_hidden);
    FlushKeyboard();
    FlushPointer();
    wait_joystick_button_release();
}

void level_intro() {
    player_tag& p = current_player();
    const int level = p.level, area = p.area;
    if (area == 3) p.power = 0;
    if (level == 6 && area == 1) {
        game.state = STATE_ENDING;
        return;
    }
    game.item = 0;
    destroy_all();
    const bool loaded =
        custom_area.level != 0 ? map_tag::LoadResource(custom_area.resource) : map_tag::Load(level, area);
    if (!loaded) { // no area to play: the game ends, back to the title
        game.state = STATE_TITLE;
        game.scmx = 640;
        game.scmy = 200;
        game.curplayer = 0;
        return;
    }
    map_tag::initialize();

    Cls();
    display();
    show_frame_only();
    wait_ms(1000);

    // Title card, until 200 frames or a jump press.
    const std::string player_text = "** Player: " + std::to_string(game.curplayer + 1) + " **";
    const std::string level_text = "** Level: " + std::to_string(level) + "-" + std::to_string(area) + " **";
    int counter = 0;
    do {
        Cls();
        SetDrawScale(1.4f, 1.4f);
        SetBlend(BLEND_MASK);
        draw_shadow_text(220, 160, 0, 250, 250, player_text, 0);
        SetDrawScale(1, 1);
        draw_shadow_text(246, 240, 250, 250, 0, level_text, 0);
        display();
        counter += 1;
        if (KeyWasHit(KEY_LCONTROL) || MouseWasHit(1) || JoyButtonHit(0, 0)) counter = 200;
        present_frame();
    } while (counter < 200);

    // The area's first picture, faded in.
    Cls();
    update_all_cells(0);
    p.rotation = 0;
    p.update();
    GrabImage(screen_copy, 0, 0, 0);
    float a = 0.0f;
    do {
        Cls();
        SetAlpha(a);
        SetBlend(BLEND_ALPHA);
        DrawImageFrame(screen_copy, 320, 240, 0);
        SetAlpha(1);
        SetBlend(BLEND_MASK);
        display();
        a += 0.01f;
        present_frame();
    } while (a <= 0.9f);

    FlushKeyboard();
    FlushPointer();
    game.state = STATE_PLAY;
}

void play_game() {
    player_tag& p = current_player();
    draw_backdrop();
    const int s = player_tag::get_inputs();
    for (int i = 0; i < MAP_CELLS; ++i) {
        map_cells[i].update(s);
        fireball.collisions(i);
        p.collisions(i);
    }
    if (game.invincible != 0) {
        game.invincible -= 1;
        game.tracertmr += 1;
        if (game.tracertmr > 2) {
            game.tracertmr = 0;
            specialfx_tag::Create(p.x, p.y, p.rotation, 0, 0.0f, 0.0f, 0.03f, EFFECT_AFTERIMAGE, 0);
        }
    }
    specialfx_list.ForEach([&](specialfx_tag& fx) { fx.update(s); });
    specialitem_list.ForEach([&](specialitem_tag& it) {
        it.update(s);
        it.collisions();
    });
    elevator_list.ForEach([&](elevator_tag& e) {
        e.update(s);
        e.collisions(int(p.x), int(p.y));
    });
    monster_list.ForEach([&](monster_tag& m) {
        m.update(s);
        m.collisions();
    });
    p.update();
    fireball.update(s);
    update_cauldron(s);

    // The witch's fireballs sweep the third areas.
    if (p.area == 3) {
        game.fireballtmr += 1;
        if (game.fireballtmr >= game.fireballmaxtmr) {
            game.fireballtmr = 0;
            play_sfx(snd_efireball);
            report_event(GameEvent::WitchFireball);
            monster_tag::Create(680.0f, p.y, -2.0f, 0.0f, 1.0f, 2.0f, MONSTER_WITCH_FIREBALL);
        }
    }
    // Sparkles round a powered hero.
    if (p.power != 0 && game.invincible == 0) {
        const float r3 = float(RandomFloat(360, 0));
        const float r2 = float(RandomFloat(20, 0));
        const float r1 = float(RandomFloat(20, 0));
        specialfx_tag::Create(p.x - 10 + r1, p.y - 10 + r2, int(r3), 5, 0.0f, 0.0f, 0.03f, EFFECT_SPARKLE, 0);
    }
    if (p.magic > 99) {
        p.magic = 0;
        p.lives += 1;
        play_sfx(snd_extralife);
        report_event(GameEvent::ExtraLifeFromMagic);
    }
    if (p.score > game.topscore && demo_active == 0) game.topscore = p.score;
}

void end_level() {
    player_tag& p = current_player();
    const int level = p.level, area = p.area;
    const int bonus = 1000 * level + 100 * (area - 1);

    // A lair left without its magic item rolls back to its start and begins again.
    if (area == 3 && game.item == 0) {
        do {
            Cls();
            update_all_cells(15);
            draw_shadow_text(0, 80, 0, 250, 0, "** You forgot the magic item! **", 1);
            draw_shadow_text(0, 160, 250, 250, 0, "** Go back and try again! **", 1);
            display();
            present_frame();
        } while (map_cells[0].x < 0.0f);
        game.state = STATE_INTRO;
        return;
    }

    const std::string complete = "** Level Complete! **";
    const std::string bonus_text = "** Bonus: " + std::to_string(bonus) + " **";

    // 1. Wait, then zoom the title in.
    {
        int n = 0, x = 25;
        float z = 3.0f, a = 0.1f;
        do {
            Cls();
            update_all_cells(0);
            update_all_effects(0);
            update_cauldron(0);
            display();
            if (n == 100) play_sfx(snd_wiskin);
            if (n > 100) {
                SetAlpha(a);
                SetDrawScale(z, z);
                SetBlend(BLEND_ALPHA);
                draw_shadow_text(x, 80, 250, 250, 0, complete, 0);
                SetBlend(BLEND_MASK);
                SetAlpha(1);
                SetDrawScale(1, 1);
                z -= 0.05f;
                a += 0.01f;
                x = int(float(x) + 4.2f);
                if (KeyWasHit(KEY_ESCAPE)) break;
            } else {
                n += 1;
            }
            present_frame();
        } while (z >= 1.2f);
    }
    // 2. Zoom the bonus in.
    play_sfx(snd_wiskin);
    {
        int x = 80;
        float z = 3.0f, a = 0.1f;
        do {
            Cls();
            update_all_cells(0);
            update_cauldron(0);
            display();
            SetDrawScale(1.2f, 1.2f);
            SetBlend(BLEND_MASK);
            draw_shadow_text(185, 80, 250, 250, 0, complete, 0);
            SetAlpha(a);
            SetDrawScale(z, z);
            SetBlend(BLEND_ALPHA);
            draw_shadow_text(x, 160, 255, 255, 255, bonus_text, 0);
            SetBlend(BLEND_MASK);
            SetAlpha(1);
            SetDrawScale(1, 1);
            z -= 0.05f;
            a += 0.01f;
            x = int(float(x) + 4.2f);
            if (KeyWasHit(KEY_ESCAPE)) break;
            present_frame();
        } while (z >= 1.0f);
    }
    // 3. Award the bonus, then take a still of the screen for the fade.
    play_sfx(snd_bonus);
    p.score += bonus;
    draw_shadow_text(230, 160, 255, 255, 0, bonus_text, 0);
    show_frame_only();
    Cls();
    update_all_cells(0);
    update_cauldron(0);
    SetBlend(BLEND_MASK);
    SetDrawScale(1.2f, 1.2f);
    draw_shadow_text(185, 80, 250, 250, 0, complete, 0);
    SetDrawScale(1, 1);
    draw_shadow_text(230, 160, 255, 255, 255, bonus_text, 0);
    GrabImage(screen_copy, 0, 0, 0);
    // 4. Fade out.
    {
        float a = 1.0f;
        do {
            Cls();
            SetAlpha(a);
            SetBlend(BLEND_ALPHA);
            DrawImageFrame(screen_copy, 320, 240, 0);
            SetAlpha(1);
            SetBlend(BLEND_MASK);
            display();
            a -= 0.01f;
            if (KeyWasHit(KEY_ESCAPE)) break;
            present_frame();
        } while (a > 0.0f);
    }
    // 5. On to the next area, or the next level; a player's own area is the whole game.
    if (custom_area.level != 0) {
        back_to_title();
        return;
    }
    p.area += 1;
    if (p.area > 3) {
        p.area = 1;
        p.level += 1;
        quicken_witch();
    }
    game.state = STATE_INTRO;
}

void pumko_death() {
    player_tag& p = current_player();
    report_event(GameEvent::Death, game.pumkdeath);
    p.power = 0;
    p.magic = 0;
    if (p.level >= 1 && p.level <= 5) p.item[5 - p.level] = 0;
    int r = p.rotation;

    switch (game.pumkdeath) {
    case DEATH_FALL: { // fell off the screen: spin and shrink, then splat
        play_sfx(snd_pdeath1);
        float z = 8.0f;
        do {
            Cls();
            SetTransform(float(r), z, z);
            DrawImageFrame(sprite_sheet, 320, 240, FRAME_HERO);
            SetTransform(0, 1, 1);
            display();
            z -= 0.1f;
            r += 5;
            present_frame();
        } while (z >= 0.2f);
        play_sfx(snd_splash);
        float a = 1.0f;
        do {
            Cls();
            SetAlpha(a);
            SetBlend(BLEND_ALPHA);
            SetTransform(float(r), z, z);
            DrawImageFrame(sprite_sheet, 320, 240, FRAME_HERO_SPLAT);
            SetTransform(0, 1, 1);
            SetAlpha(1);
            display();
            a -= 0.01f;
            z += 0.02f;
            r -= 2;
            present_frame();
        } while (a >= 0.1f);
        break;
    }
    case DEATH_MONSTER: { // caught: the hero narrows to nothing while rising
        play_sfx(snd_pdeath2);
        float w = 1.0f;
        do {
            Cls();
            update_all_cells(0);
            SetBlend(BLEND_MASK);
            SetTransform(0, w, 1.0f);
            DrawImageFrame(sprite_sheet, p.x, p.y, FRAME_HERO);
            SetTransform(0, 1, 1);
            display();
            w -= 0.02f;
            p.y -= 5.0f;
            present_frame();
        } while (w > 0.0f);
        break;
    }
    case DEATH_LIQUID: // liquid: the splash plays out over the map
        for (int i = 0; i < 150; ++i) {
            Cls();
            update_all_cells(0);
            display();
            update_all_effects(0);
            present_frame();
        }
        break;
    default: break;
    }

    game.wlaugh = 1;
    play_sfx(snd_witch);
    for (int i = 0; i < 100; ++i) {
        Cls();
        display();
        present_frame();
    }
    game.wlaugh = 0;

    p.lives -= 1;
    p.power = 0;
    game.state = p.lives <= 0 ? STATE_GAMEOVER : STATE_INTRO;
    if (game.players != 0 && game.state != STATE_GAMEOVER) {
        const int before = game.curplayer;
        if (player_slot[0].lives > 0 && player_slot[1].lives > 0) game.curplayer += 1;
        if (game.curplayer > 1) game.curplayer = 0;
        if (game.curplayer != before) report_event(GameEvent::TurnPassed);
    }
    FlushKeyboard();
    FlushPointer();
    wait_joystick_button_release();
    destroy_all();
}

void game_over() {
    const std::string player_text = "** Player: " + std::to_string(game.curplayer + 1) + " **";
    for (int i = 0; i < 200; ++i) {
        Cls();
        SetDrawScale(1.4f, 1.4f);
        SetBlend(BLEND_MASK);
        draw_shadow_text(205, 120, 0, 250, 250, player_text, 0);
        SetDrawScale(1.8f, 1.8f);
        draw_shadow_text(160, 200, 0, 250, 0, "** Game Over **", 0);
        SetDrawScale(1, 1);
        display();
        present_frame();
    }
    GrabImage(screen_copy, 0, 0, 0);
    float z = 1.0f;
    int r = 0;
    do {
        Cls();
        SetBlend(BLEND_MASK);
        SetTransform(float(r), z, z);
        DrawImageFrame(screen_copy, 320, 240, 0);
        SetTransform(0, 1, 1);
        r += 2;
        z -= 0.01f;
        present_frame();
    } while (z >= 0.0f);

    if (game.players != 0) { // the first of two players is out: the other goes on alone
        game.players = 0;
        game.state = STATE_INTRO;
        game.curplayer = player_slot[0].lives == 0 ? 1 : 0;
    } else {
        back_to_title();
    }
    FlushKeyboard();
    wait_joystick_button_release();
}
