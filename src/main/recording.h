// Input recordings of whole areas: what the automatic player found, kept in the repository and
// replayed by the tests to guard the game's behaviour frame by frame.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// One play frame's controls.
struct FrameInput {
    uint8_t dir = 0; // 0 none, 1 left, 2 right
    bool jump = false;
    bool fire = false;
    bool operator==(const FrameInput&) const = default;
};

struct Recording {
    int level = 1, area = 1;
    int32_t seed = 12345;
    std::vector<FrameInput> frames; // from the first play frame to the frame that reaches the cauldron
    uint32_t checksum = 0;          // GameChecksum() after the last frame
    int score = 0;                  // the hero's score after the last frame

    // Text form: a header, then one line per run of equal inputs ("R 12", "RJ 1", "N 3", "LJF 1").
    std::string ToText() const;
    static bool FromText(const std::string& text, Recording& out, std::string& error);
    bool Save(const std::string& path) const;
    static bool Load(const std::string& path, Recording& out, std::string& error);
};

// The seed every playthrough of an area starts from.
constexpr int32_t kPlaythroughSeed = 20261208;

// Sets the controls for the next play frame directly in the polled input state (no devices).
void ApplyFrameInput(const FrameInput& in, FrameInput& held);
