// Short-lived visual effects: after-images, brick pieces, magic, splashes, score pop-ups, sparkles.
#pragma once

#include <string>

struct specialfx_tag {
    float x = 0.0f, y = 0.0f;
    float xstp = 0.0f, ystp = 0.0f;
    float astp = 0.0f;
    int rstp = 0;
    int rotation = 0;
    float xscale = 0.0f, yscale = 0.0f;
    float alpha = 0.0f;
    int typ = 0;
    int clr = 0;
    int frametmr = 0;
    int framectr = 0;
    std::string point;

    static void Create(float x, float y, int rotation, int rstp, float xstp, float ystp, float astp, int typ, int clr);
    void update(int scroll);
    static void reset();

    bool operator==(const specialfx_tag&) const = default;
};
