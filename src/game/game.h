// The game controller and the global objects every part of the game works on.
#pragma once

#include <string>

#include "actors/effects.h"
#include "actors/fireball.h"
#include "actors/monster.h"
#include "actors/pickups.h"
#include "engine/engine.h"
#include "world/elevator.h"
#include "world/map.h"
#include "world/player.h"

// Game states (game.state).
enum {
    STATE_PLAY = 1,
    STATE_INTRO = 2,
    STATE_GAMEOVER = 3,
    STATE_LEVELEND = 4,
    STATE_DEATH = 5,
    STATE_TITLE = 6,
    STATE_QUIT = 7,
    STATE_ENDING = 8
};

struct game_tag {
    int state = 0;
    int topscore = 0;
    int players = 0;
    int curplayer = 0;
    int jump = 0;
    int tracertmr = 0;
    int invincible = 0;
    int fbflashstp = 0;
    int fbflashctr = 0;
    int turbo = 0;
    int sound = 0;
    int onplatform = 0;
    int cauldx = 0, cauldy = 0;
    int cauldfc = 0;
    int cauldft = 0;
    std::string setpoint;
    int curdir = 0;
    int fbshoot = 0;
    int cpflasher = 0;
    int pumkdeath = 0;
    int wlaugh = 0;
    int savesc = 0;
    int item = 0;
    int wltimer = 0;
    int scmx = 0, scmy = 0;
    int scmys = 0;
    int fireballtmr = 0;
    int fireballmaxtmr = 0;
    int autoturbo = 0;
    int music = 0;
    int soundset = 0;

    // Operations on the one controller (all work on the global `game`).
    void show_logo();
    void title_screen();
    void start_new();
    void start_game(int two_players);
    void level_intro();
    void play_game();
    void end_level();
    void pumko_death();
    void game_over();
    void draw_endbkgr();
    void the_ending();
    void update_cauldron(int scroll);
    void display();
    void key_inputs();
    void destroy_all();
    void load_media();

    bool operator==(const game_tag&) const = default;
};

// Global objects, created once at start-up and never replaced.
extern game_tag game;
extern player_tag player_slot[2];
extern map_tag map_cells[1680];
extern fireball_tag fireball;
extern TList<monster_tag> monster_list;
extern TList<specialfx_tag> specialfx_list;
extern TList<specialitem_tag> specialitem_list;
extern TList<elevator_tag> elevator_list;

// Fixed settings.
extern int frame_sync;
extern float joy_left_value, joy_right_value, joy_up_value, joy_down_value;

// A player's own area, played instead of the game's levels for a whole run: every game starts
// at it and ends, back at the title, when it is finished or the lives run out. `resource` names
// its compiled map among the embedded resources; level 0 means the run plays the game's levels.
struct custom_area_tag {
    int level = 0;
    int area = 0;
    std::string resource;
};
extern custom_area_tag custom_area;

// The player whose turn it is.
inline player_tag& current_player() { return player_slot[game.curplayer]; }

// Ends every frame of every screen loop: present, then wait while the application is suspended.
void present_frame();
// ShowFrame as present_frame's first step alone.
void show_frame_only();
// Waits while `held` is true: a pad button or axis not yet let go.
void wait_for_release(bool (*held)());
// Thrown where the game waits without drawing (while suspended, or for a pad to be let go) when
// the window is closed or the program is told to end: the program ends at once, through the
// shutdown steps, instead of after the wait.
struct QuitRequested {};

// Text with a black shadow 2 px right and down; centre != 0 centres it on x = 320.
void draw_shadow_text(int x, int y, int red, int green, int blue, const std::string& text, int centre);
// Optional observer of every text drawn with draw_shadow_text (screen checks in tests and tools).
extern void (*text_observer)(const std::string& text, int x, int y);
void draw_backdrop();
void update_scroller();
// Top score file: save = 0 loads, save = 1 writes.
void topscore_file(int save);

// The attract demo: recorded controls played back on the title screen after 200 idle frames.
struct demo_tag {
    int direction = 0; // 0 none, 1 left, 2 right, 3 end of the recording
    int jump = 0;
    int turbo = 0;

    static void Create();
    static void reset();
    static void save(const std::string& suffix);
    static void Load(const std::string& suffix);
};
constexpr int DEMO_FRAMES = 1000;
extern demo_tag demo_frames[DEMO_FRAMES];
extern int demo_index;  // playback position, and the title's idle counter
extern int demo_active; // 1 while a demo plays
extern int demo_number; // the recording the next demo plays: 1, 2 or 3
extern int demo_recording;
extern const int demo_record_enabled; // developer switch, fixed off
