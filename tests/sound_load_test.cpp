// Loading sound files a player may have replaced: the game's own files pass the limits; files that
// ask for too many channels, too long a sound or too large a file, that lie about their length,
// change shape partway, are no sound at all, or never end (a FIFO) stay empty, with the reason.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "engine/engine.h"
#include "hostile_files.h"

namespace fs = std::filesystem;

namespace {
class SoundFiles : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("pumko_sound_" + std::to_string(getpid()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }
    std::string Put(const std::string& name, const std::string& bytes) {
        const std::string path = (dir_ / name).string();
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }
    fs::path dir_;
};

// The peak of this process's resident memory, in bytes.
int64_t PeakMemory() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0) return std::stoll(line.substr(6)) * 1024;
    return 0;
}

// A limit small enough for short test files: one second at 44100 Hz.
SoundLimits OneSecond() {
    SoundLimits limits;
    limits.max_frames = 44100;
    return limits;
}
} // namespace

TEST_F(SoundFiles, TheGamesOwnSoundsPassTheLimits) {
    int seen = 0;
    for (const auto& entry : fs::directory_iterator("data")) {
        if (entry.path().extension() != ".ogg") continue;
        std::string why;
        const TSound s = TSound::Load(entry.path().string(), 0, SoundLimits{}, &why);
        EXPECT_TRUE(s) << entry.path() << ": " << why;
        EXPECT_EQ(why, "") << entry.path();
        ++seen;
    }
    EXPECT_GE(seen, 20);
}

TEST_F(SoundFiles, AFileWithinTheLimitsLoadsWhole) {
    std::string why = "stale";
    const TSound s =
        TSound::Load(Put("ok.ogg", hostile::MakeOgg({.channels = 2, .seconds = 0.5})), 1, OneSecond(), &why);
    ASSERT_TRUE(s) << why;
    EXPECT_EQ(why, "");
    EXPECT_EQ(s.data->channels, 2);
    EXPECT_EQ(s.data->rate, 44100);
    EXPECT_NEAR(s.data->length, 22050, 2048);
    EXPECT_EQ(s.data->pcm16.size(), size_t(s.data->length) * 2);
    EXPECT_TRUE(s.data->loop);
}

TEST_F(SoundFiles, TooManyChannelsAreRefused) {
    std::string why;
    EXPECT_FALSE(TSound::Load(Put("eight.ogg", hostile::MakeOgg({.channels = 8})), 0, SoundLimits{}, &why));
    EXPECT_NE(why.find("8 channels"), std::string::npos) << why;
    // The limit itself: stereo passes at two, not at one.
    SoundLimits mono;
    mono.max_channels = 1;
    const std::string stereo = Put("stereo.ogg", hostile::MakeOgg({.channels = 2}));
    EXPECT_TRUE(TSound::Load(stereo, 0, SoundLimits{}, &why));
    EXPECT_FALSE(TSound::Load(stereo, 0, mono, &why));
}

TEST_F(SoundFiles, ASoundLongerThanTheLimitIsRefused) {
    std::string why;
    const std::string longer = Put("long.ogg", hostile::MakeOgg({.seconds = 1.5}));
    EXPECT_FALSE(TSound::Load(longer, 0, OneSecond(), &why));
    EXPECT_NE(why.find("longer than the 44100 sample frames"), std::string::npos) << why;
    SoundLimits two = OneSecond();
    two.max_frames *= 2;
    EXPECT_TRUE(TSound::Load(longer, 0, two, &why)) << why;

    // Pages that claim a tenth of what they hold: decoding itself stops at the limit.
    const std::string liar = Put("liar.ogg", hostile::MakeOgg({.total_frames = 44100 * 3, .granule_divisor = 10}));
    EXPECT_FALSE(TSound::Load(liar, 0, OneSecond(), &why));
    EXPECT_NE(why.find("longer than"), std::string::npos) << why;
}

// The music replaced by two hours of near silence (a small file): refused without decoding it,
// so the memory it would have taken (1.2 GB decoded) is never asked for.
TEST_F(SoundFiles, HoursOfMusicInASmallFileCostNoMemory) {
    const std::string bytes =
        hostile::MakeOgg({.channels = 2, .amplitude = 0.0f, .total_frames = int64_t(2) * 3600 * 44100});
    ASSERT_LT(bytes.size(), size_t(1) << 20);
    const std::string path = Put("tilesong.ogg", bytes);
    const int64_t before = PeakMemory();
    std::string why;
    EXPECT_FALSE(TSound::Load(path, 1, SoundLimits{}, &why));
    EXPECT_NE(why.find("longer than"), std::string::npos) << why;
    EXPECT_LT(PeakMemory() - before, int64_t(64) << 20);

    // The same length with pages claiming a hundredth of it: decoded up to the limit, no further
    // (ten minutes of stereo are 106 MB).
    const std::string liar =
        Put("liar.ogg",
            hostile::MakeOgg(
                {.channels = 2, .amplitude = 0.0f, .total_frames = int64_t(2) * 3600 * 44100, .granule_divisor = 100}));
    EXPECT_FALSE(TSound::Load(liar, 1, SoundLimits{}, &why));
    EXPECT_LT(PeakMemory() - before, int64_t(240) << 20);
}

// Two files joined into one, mono then stereo: the stereo part can never be read as mono.
TEST_F(SoundFiles, PartsThatChangeChannelsAreRefused) {
    const std::string chained =
        hostile::MakeOgg({.channels = 1, .serial = 1}) + hostile::MakeOgg({.channels = 2, .serial = 2});
    std::string why;
    EXPECT_FALSE(TSound::Load(Put("chained.ogg", chained), 0, SoundLimits{}, &why));
    EXPECT_EQ(why, "its parts differ in channels or rate");
}

TEST_F(SoundFiles, FilesThatAreNoSoundSayWhy) {
    std::string why;
    EXPECT_FALSE(TSound::Load(Put("text.ogg", "not a sound at all"), 0, SoundLimits{}, &why));
    EXPECT_EQ(why, "not an Ogg Vorbis file");
    EXPECT_FALSE(TSound::Load(Put("empty.ogg", ""), 0, SoundLimits{}, &why));
    EXPECT_EQ(why, "empty");
    EXPECT_FALSE(TSound::Load((dir_ / "absent.ogg").string(), 0, SoundLimits{}, &why));
    EXPECT_EQ(why, "missing");
    EXPECT_FALSE(TSound::Load(dir_.string(), 0, SoundLimits{}, &why));
    EXPECT_EQ(why, "not a regular file");

    // A file far larger than any sound is never read (sparse: it takes no room on the disk).
    const std::string huge = Put("huge.ogg", hostile::MakeOgg({}));
    fs::resize_file(huge, uint64_t(1) << 36);
    const int64_t before = PeakMemory();
    EXPECT_FALSE(TSound::Load(huge, 0, SoundLimits{}, &why));
    EXPECT_NE(why.find("68719476736 bytes"), std::string::npos) << why;
    EXPECT_LT(PeakMemory() - before, int64_t(16) << 20);
}

// A FIFO in place of a sound file: nothing waits for a writer that never comes.
TEST_F(SoundFiles, AFifoIsRefusedAtOnce) {
    const std::string fifo = (dir_ / "jump.ogg").string();
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    std::string why;
    bool loaded = true;
    EXPECT_TRUE(hostile::FinishesWithin(5.0, fifo, [&] { loaded = bool(TSound::Load(fifo, 0, SoundLimits{}, &why)); }));
    EXPECT_FALSE(loaded);
    EXPECT_EQ(why, "not a regular file");
}

// A host that shows its first picture before the music is whole: the long sound comes back in
// part, every step adds to it, and at the end it holds the same samples as a whole load; short
// sounds are whole at once.
TEST_F(SoundFiles, ALongSoundDecodedInStepsEndsAsTheWholeSound) {
    const TSound whole = TSound::Load("data/tilesong.ogg", 1);
    SetDeferredSoundDecoding(true);
    const TSound part = TSound::Load("data/tilesong.ogg", 1);
    const TSound effect = TSound::Load("data/jump.ogg", 0);
    SetDeferredSoundDecoding(false);
    ASSERT_TRUE(whole && part && effect);
    const TSound effect_whole = TSound::Load("data/jump.ogg", 0);
    EXPECT_EQ(effect.data->pcm16, effect_whole.data->pcm16);
    EXPECT_GT(part.data->length, 0);
    EXPECT_LT(part.data->length, whole.data->length / 10);
    int steps = 0, last = part.data->length;
    while (DecodeDeferredSounds(44100)) {
        EXPECT_GT(part.data->length, last);
        last = part.data->length;
        ++steps;
    }
    EXPECT_GT(steps, 10);
    EXPECT_FALSE(DecodeDeferredSounds(44100));
    EXPECT_EQ(part.data->length, whole.data->length);
    EXPECT_TRUE(part.data->pcm16 == whole.data->pcm16);
    EXPECT_EQ(part.data->loop, whole.data->loop);
}
