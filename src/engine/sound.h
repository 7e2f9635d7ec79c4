// Sounds and channels. Both are small value handles: an empty TSound (a failed load) and a
// stale or zero TChannel are harmless, every operation on them does nothing.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// A decoded sample held in memory for the life of the program.
struct SoundData {
    std::vector<int16_t> pcm16; // interleaved when stereo
    std::vector<uint8_t> pcm8;  // 8-bit unsigned data (the mixer accepts it; the game has none)
    int channels = 1;
    int rate = 44100;
    int length = 0; // in sample frames
    bool loop = false;
};

struct TChannel {
    uint32_t handle = 0; // low 12 bits: slot 1..4095 (0 = none); the bits above: generation

    void Stop() const;
    void SetPaused(int flag) const;
    void SetVolume(float volume) const;
    void SetPan(float pan) const;
    void SetDepth(float depth) const;
    void SetRate(float rate) const;
    bool Playing() const;
};

struct TSound {
    std::shared_ptr<const SoundData> data;

    explicit operator bool() const { return bool(data); }
    // Loads and decodes an Ogg Vorbis file completely; flags bit 1 = loop. Empty on failure.
    static TSound Load(const std::string& path, int flags);
    // Starts the sound from its beginning, 20 ms from now. With no channel a fresh automatic
    // channel is used (released when the sound ends); with a kept channel, whatever it played
    // stops and the channel's last requested settings carry over.
    TChannel Play(TChannel channel = TChannel{}) const;
    TChannel Cue(TChannel channel = TChannel{}) const; // as Play, but starts paused
};

// Takes a free channel slot without starting anything.
TChannel AllocChannel();
