// Streams: little-endian integers and the end-of-data rule, embedded resources and their
// prefix, the game's backslash paths, path kinds, empty streams, and fatal I/O errors.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "engine/stream.h"

namespace fs = std::filesystem;

namespace {
// A scratch folder that is also the working folder while a test runs, so relative game paths
// resolve inside it.
class StreamFiles : public ::testing::Test {
  protected:
    void SetUp() override {
        old_ = fs::current_path();
        dir_ = fs::temp_directory_path() / ("pumko_stream_" + std::to_string(getpid()));
        fs::remove_all(dir_);
        fs::create_directories(dir_ / "data");
        fs::current_path(dir_);
    }
    void TearDown() override {
        fs::current_path(old_);
        fs::remove_all(dir_);
    }
    static void Put(const std::string& path, const std::string& bytes) {
        std::ofstream(path, std::ios::binary) << bytes;
    }
    static std::string Get(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    fs::path old_, dir_;
};

// A device that never makes progress.
class StuckIO : public TIO {
  public:
    bool Eof() override { return false; }
    int64_t Pos() override { return 0; }
    int64_t Size() override { return 8; }
    int64_t Seek(int64_t) override { return 0; }
    void Flush() override {}
    void Close() override {}
    int64_t Read(void*, int64_t) override { return 0; }
    int64_t Write(const void*, int64_t) override { return 0; }
};
} // namespace

TEST_F(StreamFiles, IntegersAreLittleEndianAndReadZeroPastTheEnd) {
    Put("data/one.dat", std::string("\x01\x00\x00\x00", 4));
    TStream s = OpenRead("data\\one.dat"); // the game's separator
    ASSERT_TRUE(s);
    EXPECT_EQ(s.ReadInt(), 1);
    EXPECT_TRUE(s.Eof());
    EXPECT_EQ(s.ReadInt(), 0);
    s.Close();
    s.Close(); // again: nothing

    // Only two bytes left: they land in the low positions.
    Put("short.dat", std::string("\x34\x12", 2));
    TStream t = OpenRead("short.dat");
    EXPECT_EQ(t.ReadInt(), 0x1234);

    TStream w = OpenWrite("data\\neg.dat");
    ASSERT_TRUE(w);
    w.WriteInt(-1);
    w.WriteInt(0x01020304);
    w.WriteShort(0xBEEF);
    w.WriteByte(0x7F);
    EXPECT_EQ(w.Size(), 11);
    w.Close();
    EXPECT_EQ(Get("data/neg.dat"), std::string("\xFF\xFF\xFF\xFF\x04\x03\x02\x01\xEF\xBE\x7F", 11));

    TStream r = OpenRead("data/neg.dat");
    EXPECT_EQ(r.ReadInt(), -1);
    EXPECT_EQ(r.ReadInt(), 0x01020304);
    EXPECT_EQ(r.ReadShort(), 0xBEEF);
    EXPECT_EQ(r.ReadByte(), 0x7F);
}

TEST_F(StreamFiles, OpenModesAndMissingFiles) {
    EXPECT_FALSE(OpenRead("data\\missing.dat"));
    EXPECT_FALSE(OpenWrite("nofolder/x.dat"));
    EXPECT_FALSE(OpenRead("data")); // a folder is not a readable file

    Put("f.dat", "abcdefgh");
    TStream w = OpenWrite("f.dat"); // truncates
    EXPECT_EQ(w.Size(), 0);
    w.Close();
    EXPECT_EQ(Get("f.dat"), "");

    // Read and write on one stream, with a seek in between.
    Put("rw.dat", std::string("\x05\x00\x00\x00\x00\x00\x00\x00", 8));
    TStream rw = OpenStream("rw.dat", true, true);
    ASSERT_TRUE(rw);
    EXPECT_EQ(rw.ReadInt(), 5);
    rw.WriteInt(9);
    rw.Seek(0);
    rw.WriteInt(7);
    rw.Close();
    EXPECT_EQ(Get("rw.dat"), std::string("\x07\x00\x00\x00\x09\x00\x00\x00", 8));

    EXPECT_EQ(ReadWhole("rw.dat").size(), 8u);
    EXPECT_EQ(ReadWhole("missing"), "");
}

TEST_F(StreamFiles, PathKinds) {
    Put("data/hiscore.dat", "x");
    EXPECT_EQ(PathKind("data\\hiscore.dat"), 1);
    EXPECT_EQ(PathKind("data"), 2);
    EXPECT_EQ(PathKind("data\\"), 2);
    EXPECT_EQ(PathKind("/"), 2);
    EXPECT_EQ(PathKind("data\\nothing.dat"), 0);
    EXPECT_EQ(PathKind(""), 0);
    EXPECT_EQ(HostPath("maps\\a\\b.1"), "maps/a/b.1");
}

TEST(Embedded, PrefixIgnoresCaseNameDoesNotAndFirstRegistrationWins) {
    static const uint8_t first[] = {0x2A, 0, 0, 0, 0x07};
    static const uint8_t second[] = {0x63, 0, 0, 0};
    EXPECT_EQ(RegisterEmbedded("maps\\test_first.1", first, sizeof first), 1);
    EXPECT_EQ(RegisterEmbedded("maps\\test_first.1", second, sizeof second), 0);

    TStream s = OpenRead("INCBIN::maps\\test_first.1");
    ASSERT_TRUE(s);
    EXPECT_EQ(s.Size(), 5);
    EXPECT_EQ(s.ReadInt(), 42);
    EXPECT_EQ(s.ReadInt(), 7); // one byte left
    EXPECT_TRUE(s.Eof());
    EXPECT_TRUE(OpenRead("incbin::maps\\test_first.1"));
    EXPECT_FALSE(OpenRead("incbin::MAPS\\test_first.1"));
    EXPECT_FALSE(OpenRead("incbin::maps\\not_there.1"));
    EXPECT_FALSE(OpenWrite("incbin::maps\\test_first.1"));
    EXPECT_FALSE(OpenRead("other::maps\\test_first.1"));

    // Served in place: the lookup hands back the registered bytes themselves.
    const uint8_t* bytes = nullptr;
    int64_t size = 0;
    ASSERT_TRUE(FindEmbedded("maps\\test_first.1", &bytes, &size));
    EXPECT_EQ(bytes, first);
    EXPECT_EQ(size, 5);
    EXPECT_EQ(ReadWhole("incbin::maps\\test_first.1"), std::string("\x2A\0\0\0\x07", 5));

    // A memory stream refuses writes and clamps seeks.
    EXPECT_EQ(s.Write(first, 1), 0);
    EXPECT_EQ(s.Seek(100), 5);
}

TEST(EmptyStream, EveryOperationIsHarmless) {
    TStream s = OpenRead("incbin::never registered");
    ASSERT_FALSE(s);
    uint8_t buf[4] = {1, 2, 3, 4};
    EXPECT_EQ(s.ReadInt(), 0);
    EXPECT_EQ(s.ReadByte(), 0);
    EXPECT_EQ(s.Read(buf, 4), 0);
    EXPECT_EQ(s.Write(buf, 4), 0);
    s.WriteInt(5);
    s.ReadBytes(buf, 4);
    EXPECT_EQ(buf[0], 1);
    EXPECT_EQ(s.Pos(), 0);
    EXPECT_EQ(s.Size(), 0);
    EXPECT_TRUE(s.Eof());
    s.Seek(3);
    s.Flush();
    s.Close();
}

TEST(StreamErrors, NoProgressEndsTheProgram) {
    TStream s(std::make_shared<StuckIO>());
    EXPECT_EXIT(s.ReadInt(), ::testing::ExitedWithCode(1), "stream read error");
    EXPECT_EXIT(s.WriteInt(1), ::testing::ExitedWithCode(1), "stream write error");
}
