// Lifts: horizontal ones start when first landed on, vertical ones travel up and down.
#pragma once

struct elevator_tag {
    float x = 0.0f, y = 0.0f;
    float xstp = 0.0f, ystp = 0.0f;
    float xscale = 0.0f;
    int typ = 0;
    int frame = 0;
    int distctr = 0;
    int dstp = 0;

    static void Create(float x, float y, int wide, int typ);
    void update(int scroll);
    void collisions(int px, int py);

    bool operator==(const elevator_tag&) const = default;
};
