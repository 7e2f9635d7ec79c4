// Steps shared by the whole-game scenarios: starting a game, reaching play, ending a life or an
// area, events for the headless platform's script, and the top-score file.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>

#include "support/scenario.h"

namespace flow_test {

inline player_tag& hero() { return current_player(); }

inline bool InState(int s) { return game.state == s; }

// Skips the logo and starts a game of one or two players from the title screen.
inline void StartGame(Scenario& sc, int players = 1) {
    sc.When([&] { return game.state == 0 && sc.Frame() >= 3; }, [&] { sc.Press(KEY_LCONTROL); });
    sc.When([] { return InState(STATE_TITLE); },
            [&sc, players] {
                if (players == 2) sc.Press(KEY_DOWN);
                sc.Press(KEY_LCONTROL);
            });
}

// Waits for the play state (skipping the title card), then runs `act` once.
inline void InPlay(Scenario& sc, std::function<void()> act) {
    sc.When([] { return InState(STATE_INTRO); }, [&] { sc.Press(KEY_LCONTROL); });
    sc.When([] { return InState(STATE_PLAY); }, std::move(act));
}

// Drops the hero below the screen: the next play frame ends its life by a fall.
inline void Fall() {
    hero().y = 490.0f;
    hero().ystp = 8.0f;
}

// Puts the cauldron on screen with the hero in it (and clears the tiles, so nothing stands between).
inline void IntoCauldron() {
    map_tag::reset();
    game.cauldx = 300;
    game.cauldy = 400;
    hero().x = 300.0f;
    hero().y = 400.0f;
}

// Sends the game's first intro to area 5.3 and, once in play, into its cauldron with the level's
// item: the intro after the level end is the ending's.
inline void FinishTheLastLair(Scenario& sc) {
    sc.When([] { return InState(STATE_INTRO); },
            [] {
                hero().level = 5;
                hero().area = 3;
            });
    InPlay(sc, [] {
        game.item = 1;
        hero().item[0] = 1;
        IntoCauldron();
    });
}

inline int32_t ReadScoreFile(const std::filesystem::path& folder) {
    std::ifstream in(folder / "data" / "hiscore.dat", std::ios::binary);
    unsigned char b[4] = {0, 0, 0, 0};
    in.read(reinterpret_cast<char*>(b), 4);
    return int32_t(uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24);
}

inline PlatformEvent Event(PlatformEvent::Type type, int code = 0) {
    PlatformEvent ev{};
    ev.type = type;
    ev.code = code;
    return ev;
}

inline PlatformEvent Key(PlatformEvent::Type type, int code) { return Event(type, code); }

} // namespace flow_test
