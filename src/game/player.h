// The two player records; the one in play is player_slot[game.curplayer], the hero.
#pragma once

struct player_tag {
    int score = 0;
    int lives = 0;
    int magic = 0;
    int level = 0;
    int area = 0;
    int power = 0;
    float x = 0.0f, y = 0.0f;
    float xstp = 0.0f;
    float ystp = 0.0f;
    float yscale = 0.0f;
    int state = 0;
    int rotation = 0;
    int item[5] = {0, 0, 0, 0, 0};

    static void Create();
    // Reads the controls, moves the hero and returns the frame's scroll step (0, -2 or -4).
    static int get_inputs();
    void update();
    void collisions(int index);

    bool operator==(const player_tag&) const = default;
};
