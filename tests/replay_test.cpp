// Regression playthroughs: every recording in assets/recordings, found by the automatic player,
// replayed through the real main loop from the title to the end of its last level-end screen.
// Every checkpoint must match: the whole game state, field by field, and the drawn picture. A
// change to the game's behaviour or art shows here, named by frame and field (a differing picture
// is saved under build/replay-failures/); a deliberate one re-records (make prove) and says why.
#include <gtest/gtest.h>

#include <iostream>

#include "replay/playthrough.h"
#include "replay/replay.h"

#ifndef PUMKO_SOURCE_DIR
#error "PUMKO_SOURCE_DIR must name the source tree"
#endif

namespace {
std::string RecordingsDir() { return std::string(PUMKO_SOURCE_DIR) + "/assets/recordings"; }

std::vector<std::string> RecordingNames() {
    std::vector<std::string> errors, names;
    for (const NamedRecording& n : LoadRecordings(RecordingsDir(), errors)) names.push_back(n.name);
    for (const std::string& e : errors) names.push_back("unreadable: " + e);
    return names;
}

std::string Differences(const EventCounts& recorded, const EventCounts& replayed) {
    std::string out;
    EventCounts all = recorded;
    for (const auto& [kind, count] : replayed) all[kind] += 0;
    for (const auto& [kind, unused] : all) {
        const int a = CountOf(recorded, kind), b = CountOf(replayed, kind);
        if (a != b) out += " " + kind + " " + std::to_string(a) + " -> " + std::to_string(b);
    }
    return out;
}
} // namespace

class Replay : public ::testing::TestWithParam<std::string> {};

TEST_P(Replay, MatchesEveryCheckpoint) {
    const std::string name = GetParam();
    ASSERT_EQ(name.rfind("unreadable: ", 0), std::string::npos) << name;
    Recording rec;
    std::string error;
    ASSERT_TRUE(Recording::Load(RecordingsDir() + "/" + name + ".txt", rec, error)) << error;
    ASSERT_EQ(rec.digest_layout, StateDigestLayoutId())
        << "the game state gained or lost fields since " << name << " was recorded: re-record with make prove";
    ASSERT_FALSE(rec.checks.empty()) << name << " has no checkpoints";
    EXPECT_EQ(rec.witch, WitchInterval(rec.level)) << name << " does not meet the witch at its level's pace";

    const ReplayResult r = ReplayRecording(rec, name, true, std::string(PUMKO_BINARY_DIR) + "/replay-failures");
    EXPECT_EQ(r.first_difference, "") << name << " first differs at " << r.first_difference;
    EXPECT_EQ(r.frames_played, rec.frames.size()) << name;
    EXPECT_TRUE(r.reached_cauldron) << name << ": the last recorded frame does not reach the cauldron";
    EXPECT_EQ(Differences(rec.events, r.events), "") << name << ": events (recorded -> replayed)";
}

INSTANTIATE_TEST_SUITE_P(Recordings, Replay, ::testing::ValuesIn(RecordingNames()), [](const auto& info) {
    std::string id;
    for (char c : info.param) id += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    return id;
});

// The recordings between them show every required kind of event (their replays above confirm the
// counts). The report is printed in full.
TEST(ReplayCoverage, EveryRequiredEventHappens) {
    std::vector<std::string> errors, missing;
    const std::vector<NamedRecording> recordings = LoadRecordings(RecordingsDir(), errors);
    EXPECT_TRUE(errors.empty()) << errors.front();
    const std::string report = CoverageReport(recordings, missing);
    std::cout << report;
    std::string list;
    for (const std::string& m : missing) list += " " + m;
    EXPECT_TRUE(missing.empty()) << "never happen in any recording:" << list;
}

// Replays in one process (the browser's runner, the automatic player) start afresh each time: a
// run that ended in an intro must not seed the next one before its own title.
TEST(Replay, TwoInOneProcessBothMatch) {
    for (const char* name : {"1-1", "1-2-shells"}) {
        Recording rec;
        std::string error;
        ASSERT_TRUE(Recording::Load(RecordingsDir() + "/" + name + ".txt", rec, error)) << error;
        const ReplayResult r = ReplayRecording(rec, name, true);
        EXPECT_EQ(r.first_difference, "") << name;
    }
}
