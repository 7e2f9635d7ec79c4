// The command line: every option read in both spellings, and every mistake refused with a reason.
#include <gtest/gtest.h>

#include <initializer_list>
#include <vector>

#include "main/options.h"

namespace {
ParseOutcome Parse(std::initializer_list<const char*> words, Options& out, std::string& error) {
    std::vector<const char*> argv{"pumko"};
    argv.insert(argv.end(), words);
    return ParseOptions(int(argv.size()), argv.data(), out, error);
}
} // namespace

TEST(Options, NoArgumentsLeaveEveryChoiceToTheSettings) {
    Options o;
    std::string error;
    ASSERT_EQ(Parse({}, o, error), ParseOutcome::Run);
    EXPECT_FALSE(o.fullscreen.has_value());
    EXPECT_FALSE(o.scale.has_value());
    EXPECT_FALSE(o.renderer.has_value());
    EXPECT_FALSE(o.show_fps || o.nosound || o.nomusic);
    EXPECT_TRUE(o.timedemo.empty() && o.config.empty() && o.data_dir.empty() && o.area.empty());
}

TEST(Options, EveryOptionIsRead) {
    Options o;
    std::string error;
    ASSERT_EQ(Parse({"--window", "--scale", "integer", "--renderer=soft", "--show-fps", "--timedemo", "1-1.txt",
                     "--config=my.cfg", "--nosound", "--nomusic", "--data-dir", "/tmp/d", "--area", "a.txt"},
                    o, error),
              ParseOutcome::Run)
        << error;
    EXPECT_EQ(o.fullscreen, false);
    EXPECT_EQ(o.scale, ScaleMode::Integer);
    EXPECT_EQ(o.renderer, RendererChoice::Soft);
    EXPECT_TRUE(o.show_fps && o.nosound && o.nomusic);
    EXPECT_EQ(o.timedemo, "1-1.txt");
    EXPECT_EQ(o.config, "my.cfg");
    EXPECT_EQ(o.data_dir, "/tmp/d");
    EXPECT_EQ(o.area, "a.txt");

    // The last of --window and --fullscreen wins; every scale and renderer name is known.
    ASSERT_EQ(Parse({"--window", "--fullscreen", "--scale=smooth", "--renderer", "gl"}, o, error), ParseOutcome::Run);
    EXPECT_EQ(o.fullscreen, true);
    EXPECT_EQ(o.scale, ScaleMode::Smooth);
    EXPECT_EQ(o.renderer, RendererChoice::OpenGl);
    ASSERT_EQ(Parse({"--scale", "sharp", "--renderer", "auto"}, o, error), ParseOutcome::Run);
    EXPECT_EQ(o.scale, ScaleMode::Sharp);
    EXPECT_EQ(o.renderer, RendererChoice::Auto);
}

TEST(Options, HelpAndVersionWinWhereverTheyStand) {
    Options o;
    std::string error;
    EXPECT_EQ(Parse({"--window", "--help"}, o, error), ParseOutcome::Help);
    EXPECT_EQ(Parse({"-h"}, o, error), ParseOutcome::Help);
    EXPECT_EQ(Parse({"--version", "--scale", "bogus"}, o, error), ParseOutcome::Version);
    const std::string help = HelpText();
    for (const char* name : {"--window", "--fullscreen", "--scale", "--renderer", "--show-fps", "--timedemo",
                             "--config", "--nosound", "--nomusic", "--data-dir", "--area", "--help", "--version"})
        EXPECT_NE(help.find(name), std::string::npos) << name;
    EXPECT_NE(help.find("Controls"), std::string::npos);
    for (size_t start = 0, end; start < help.size(); start = end + 1) {
        end = help.find('\n', start);
        EXPECT_LE(end - start, 79u) << help.substr(start, end - start);
    }
    EXPECT_EQ(VersionText().rfind("pumko ", 0), 0u);
}

TEST(Options, MistakesAreRefusedWithTheReason) {
    const struct {
        std::initializer_list<const char*> words;
        const char* reason;
    } cases[] = {
        {{"--bogus"}, "unknown option '--bogus'"},
        {{"-x"}, "unknown option '-x'"},
        {{"--"}, "unknown option '--'"},
        {{"play"}, "unexpected argument 'play'"},
        {{"--scale", "huge"}, "--scale takes sharp, integer or smooth, not 'huge'"},
        {{"--scale"}, "--scale needs a value (MODE)"},
        {{"--renderer=vulkan"}, "--renderer takes gl, soft or auto, not 'vulkan'"},
        {{"--window=yes"}, "--window takes no value"},
        {{"--area="}, "--area's file must not be empty"},
        {{"--data-dir"}, "--data-dir needs a value (DIR)"},
    };
    for (const auto& c : cases) {
        Options o;
        std::string error;
        EXPECT_EQ(Parse(c.words, o, error), ParseOutcome::Error) << *c.words.begin();
        EXPECT_EQ(error, c.reason);
    }
}

// A choice given twice: the last counts and a note says so; the same word twice needs no note.
// A huge word is quoted only in part.
TEST(Options, AChoiceGivenTwiceSaysWhichIsUsedAndHugeWordsAreCut) {
    Options o;
    std::string error;
    ASSERT_EQ(Parse({"--scale", "smooth", "--nosound", "--scale=integer", "--nosound"}, o, error), ParseOutcome::Run);
    EXPECT_EQ(o.scale, ScaleMode::Integer);
    ASSERT_EQ(o.notes.size(), 1u);
    EXPECT_EQ(o.notes[0], "--scale smooth and then --scale integer are given: the last, --scale integer, is used");
    ASSERT_EQ(Parse({"--window", "--fullscreen"}, o, error), ParseOutcome::Run);
    EXPECT_EQ(o.fullscreen, true);
    ASSERT_EQ(o.notes.size(), 1u);
    EXPECT_NE(o.notes[0].find("the last, --fullscreen, is used"), std::string::npos) << o.notes[0];
    ASSERT_EQ(Parse({"--area", "a.txt", "--area", "a.txt", "--window", "--window"}, o, error), ParseOutcome::Run);
    EXPECT_TRUE(o.notes.empty());

    const std::string huge(100000, 'h');
    ASSERT_EQ(Parse({huge.c_str()}, o, error), ParseOutcome::Error);
    EXPECT_EQ(error, "unexpected argument '" + std::string(80, 'h') + "...'");
    const std::string value = "--scale=" + huge;
    ASSERT_EQ(Parse({value.c_str()}, o, error), ParseOutcome::Error);
    EXPECT_LT(error.size(), 160u);
}
