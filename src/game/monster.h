// Every enemy: twelve behaviours chosen by typ, each with at most one projectile in flight.
#pragma once

struct monster_tag {
    float x = 0.0f, y = 0.0f;
    float sx = 0.0f, sy = 0.0f;
    float xstp = 0.0f, ystp = 0.0f;
    float ctr1 = 0.0f;
    int rotation = 0;
    int rstp = 0;
    float xscale = 0.0f, yscale = 0.0f;
    int frame = 0;
    int framectr = 0;
    int frametmr = 0;
    int typ = 0;
    int deathtmr = 0;
    int state = 0;
    int entered = 0;
    int projectile = 0;
    float px = 0.0f, py = 0.0f;
    float pxstp = 0.0f, pystp = 0.0f;
    int prstp = 0;
    int pframe = 0;

    static void Create(float x, float y, float xstp, float ystp, float xscale, float yscale, int typ);
    void update(int scroll);
    void collisions();
    static void bscollisions(int x, int y, int frame);

    bool operator==(const monster_tag&) const = default;
};
