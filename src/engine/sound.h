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

// What a sound file may ask for before it is refused. The longest sound of the game is its music,
// a loop of about five minutes in stereo at 44100 Hz; effects last a second or two.
struct SoundLimits {
    int64_t max_file_bytes = int64_t(48) << 20;
    int64_t max_frames = int64_t(10) * 60 * 44100; // ten minutes at 44100 Hz
    int max_channels = 2;
    int max_rate = 192000;
};

struct TSound {
    std::shared_ptr<const SoundData> data;

    explicit operator bool() const { return bool(data); }
    // Loads and decodes an Ogg Vorbis file completely; flags bit 1 = loop. Empty on failure.
    static TSound Load(const std::string& path, int flags);
    // As Load, refusing a file beyond `limits` before more than they allow is read or decoded.
    // When the sound stays empty, `why` (if given) says why, in words for the player.
    static TSound Load(const std::string& path, int flags, const SoundLimits& limits, std::string* why);
    // Starts the sound from its beginning, 20 ms from now. With no channel a fresh automatic
    // channel is used (released when the sound ends); with a kept channel, whatever it played
    // stops and the channel's last requested settings carry over.
    TChannel Play(TChannel channel = TChannel{}) const;
    TChannel Cue(TChannel channel = TChannel{}) const; // as Play, but starts paused
};

// Long sounds (the music) loaded while this is on are decoded only in part at once, the rest a
// little at a time by DecodeDeferredSounds, so a host can show its first picture sooner. Only
// for hosts whose mixer runs on the thread that loads: the sound grows while it may be playing.
void SetDeferredSoundDecoding(bool on);
// Decodes up to `frames` more sample frames of the sounds loaded in part; false once all are
// whole. A fault found this late ends the sound where it is, said on stderr.
bool DecodeDeferredSounds(int frames);

// Takes a free channel slot without starting anything.
TChannel AllocChannel();
