// The media catalogue: every picture, the font and every sound, loaded once at start-up.
#include "game/media.h"

#include "game/game.h"

#include <string>
#include <vector>

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

// Loads everything, in this order: the font, the pictures, then the sprite sheet cut into frames
// by drawing it into the back buffer and grabbing its cells, the ending sheet likewise, the music
// channel, the music and the effects.
std::vector<std::string> load_media() {
    std::vector<std::string> missing;
    auto picture = [&](const char* path) {
        TImage* image = LoadImageFile(path, -1);
        if (image == nullptr) missing.push_back(std::string(path) + ": the picture cannot be read");
        return image;
    };
    auto sound = [&](const std::string& path, int flags) {
        std::string why;
        TSound loaded = TSound::Load(path, flags, SoundLimits{}, &why);
        if (!loaded) missing.push_back(path + ": " + why);
        return loaded;
    };
    game_font = LoadFont("incbin::fonts\\plasdrip.ttf", 22, FONT_SMOOTH);
    if (game_font == nullptr) missing.push_back("incbin::fonts\\plasdrip.ttf: the font cannot be read");
    logo_image = picture("incbin::graphx\\vxlogo.png");
    backdrop1 = picture("incbin::graphx\\pumkosahrim02.png");
    backdrop2 = picture("incbin::graphx\\pumkosahrim03.png");
    backdrop3 = picture("incbin::graphx\\pumkosahrim04.png");
    SelectFont(game_font);
    MidHandleImage(logo_image);

    {
        TImage* sheet = picture("incbin::graphx\\pumkosahrim01.png");
        DrawImageFrame(sheet, 0, 0, 0);
        delete sheet;
    }
    SetAutoMidHandle(1);
    title_banner = CreateImage(275, 126, 1, -1);
    GrabImage(title_banner, 358, 330, 0);
    title_footer = CreateImage(354, 32, 1, -1);
    GrabImage(title_footer, 2, 408, 0);
    screen_copy = CreateImage(640, 480, 1, -1);
    sprite_sheet = CreateImage(40, 40, 127, -1);
    for (int k = 0; k < 127; ++k) GrabImage(sprite_sheet, 1 + 41 * (k % 15), 1 + 41 * (k / 15), k);
    SetAutoMidHandle(0);
    Cls();

    {
        TImage* sheet = picture("incbin::graphx\\pumko_02.png");
        DrawImageFrame(sheet, 0, 0, 0);
        delete sheet;
    }
    SetAutoMidHandle(1);
    ending_sheet = CreateImage(40, 40, 6, -1);
    for (int k = 0; k < 6; ++k) GrabImage(ending_sheet, 1 + 41 * k, 1, k);
    SetAutoMidHandle(0);

    music_channel = AllocChannel();
    music_sound = sound("data\\tilesong.ogg", 1);
    TSound* const effects[] = {&snd_boing,    &snd_jump,      &snd_magic,     &snd_bonk,      &snd_bash,
                               &snd_powerup,  &snd_popout,    &snd_runestone, &snd_extralife, &snd_invincible,
                               &snd_hidden,   &snd_fireball,  &snd_bonus,     &snd_wiskin,    &snd_splash,
                               &snd_pdeath1,  &snd_pdeath2,   &snd_witch,     &snd_edeath,    &snd_splat,
                               &snd_powerdwn, &snd_scorpshot, &snd_cannon,    &snd_hbthrow,   &snd_efireball};
    const char* const names[] = {"boing",     "jump",      "magic",      "bonk",     "bash",     "powerup", "popout",
                                 "runestone", "extralife", "invincible", "hidden",   "fireball", "bonus",   "wiskin",
                                 "splash",    "pdeath1",   "pdeath2",    "witch",    "edeath",   "splat",   "powerdwn",
                                 "scorpshot", "cannon",    "hbthrow",    "efireball"};
    for (size_t i = 0; i < 25; ++i) *effects[i] = sound(std::string("data\\") + names[i] + ".ogg", 0);
    return missing;
}
