// The media catalogue: every picture, the font and every sound, loaded once at start-up.
#include "flow/media.h"

#include "main/game.h"

TImage* logo_image = nullptr;
TImage* backdrop1 = nullptr;
TImage* backdrop2 = nullptr;
TImage* backdrop3 = nullptr;
TImage* title_banner = nullptr;
TImage* title_footer = nullptr;
TImage* screen_copy = nullptr;
TImage* sprite_sheet = nullptr;
TImage* ending_sheet = nullptr;
TImageFont* game_font = nullptr;

TSound music_sound;
TChannel music_channel;
TSound snd_boing, snd_jump, snd_magic, snd_bonk, snd_bash, snd_powerup, snd_popout, snd_runestone, snd_extralife,
    snd_invincible, snd_hidden, snd_fireball, snd_bonus, snd_wiskin, snd_splash, snd_pdeath1, snd_pdeath2, snd_witch,
    snd_edeath, snd_splat, snd_powerdwn, snd_scorpshot, snd_cannon, snd_hbthrow, snd_efireball;

void play_sfx(const TSound& sound) {
    if (game.sound != 0) sound.Play();
}

void game_tag::load_media() {
    // Placeholder until the art issue lands.
}
