// The hero's one fireball, thrown with fire power.
#pragma once

struct fireball_tag {
    float x = 0.0f, y = 0.0f;
    float xstp = 0.0f, ystp = 0.0f;
    int rstp = 0;
    int rotation = 0;
    int frame = 0;
    int state = 0;

    static void Create(int x, int y);
    void update(int scroll);
    void collisions(int i);

    bool operator==(const fireball_tag&) const = default;
};
