// The media catalogue: every picture, the font and every sound the game draws and plays, loaded
// once at start-up by load_media().
#pragma once

#include <string>
#include <vector>

#include "engine/engine.h"

extern TImage* logo_image;
extern TImage* backdrop1;
extern TImage* backdrop2;
extern TImage* backdrop3;
extern TImage* title_banner;
extern TImage* title_footer;
extern TImage* screen_copy;
extern TImage* sprite_sheet;
extern TImage* ending_sheet;
extern TImageFont* game_font;

extern TSound music_sound;
extern TChannel music_channel;
extern TSound snd_boing, snd_jump, snd_magic, snd_bonk, snd_bash, snd_powerup, snd_popout, snd_runestone, snd_extralife,
    snd_invincible, snd_hidden, snd_fireball, snd_bonus, snd_wiskin, snd_splash, snd_pdeath1, snd_pdeath2, snd_witch,
    snd_edeath, snd_splat, snd_powerdwn, snd_scorpshot, snd_cannon, snd_hbthrow, snd_efireball;

// Plays an effect on a free channel, only while effects are switched on (game.sound).
void play_sfx(const TSound& sound);
// Loads every picture, the font and every sound, once at start-up. Returns one line for each that
// could not be loaded ("data\\jump.ogg: missing"): the game plays on without it, silent or blank
// where it must be.
std::vector<std::string> load_media();
