// Pickups released from blocks: power-up (3), extra life (4), invincibility (5), fire power (6).
#pragma once

struct specialitem_tag {
    float x = 0.0f, y = 0.0f;
    float xstp = 0.0f, ystp = 0.0f;
    float yinc = 0.0f;
    int rstp = 0;
    int rotation = 0;
    int frame = 0;
    int framedly = 0;
    int framectr = 0;
    int typ = 0;

    static void Create(float x, float y, int typ);
    void update(int scroll);
    void collisions();

    bool operator==(const specialitem_tag&) const = default;
};
