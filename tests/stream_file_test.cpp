// Streams over files a player may have replaced or that fail under the game: FIFOs and devices
// are not read, a file larger than a whole-file read allows is refused unread, and a write that
// fails only when the buffered bytes reach the file is told at close.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "engine/stream.h"
#include "hostile_files.h"

namespace fs = std::filesystem;

namespace {
class StreamHostile : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("pumko_stream_hostile_" + std::to_string(getpid()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }
    std::string Path(const std::string& name) const { return (dir_ / name).string(); }
    fs::path dir_;
};
} // namespace

TEST_F(StreamHostile, AFifoIsNeitherWaitedForNorRead) {
    const std::string fifo = Path("demodata.01");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    bool opened = true;
    EXPECT_TRUE(hostile::FinishesWithin(5.0, fifo, [&] { opened = bool(OpenRead(fifo)); }));
    EXPECT_FALSE(opened);
    std::string why;
    EXPECT_TRUE(hostile::FinishesWithin(5.0, fifo, [&] { ReadWhole(fifo, kReadWholeLimit, &why); }));
    EXPECT_EQ(why, "not a regular file");
    // Writing to a FIFO nobody reads fails at once too.
    EXPECT_TRUE(hostile::FinishesWithin(5.0, fifo, [&] { opened = bool(OpenWrite(fifo)); }));
    EXPECT_FALSE(opened);

    // A device that never ends is not read either; one that swallows writes takes them.
    EXPECT_FALSE(OpenRead("/dev/zero"));
    EXPECT_EQ(ReadWhole("/dev/zero", kReadWholeLimit, &why), "");
    EXPECT_EQ(why, "not a regular file");
    TStream null = OpenWrite("/dev/null");
    ASSERT_TRUE(null);
    null.WriteInt(1);
    EXPECT_TRUE(null.Close());
}

TEST_F(StreamHostile, AWholeFileReadHasALimit) {
    std::ofstream(Path("ten.dat"), std::ios::binary) << "0123456789";
    std::string why = "stale";
    EXPECT_EQ(ReadWhole(Path("ten.dat"), 10, &why), "0123456789");
    EXPECT_EQ(ReadWhole(Path("ten.dat"), 9, &why), "");
    EXPECT_EQ(why, "10 bytes, more than the 9 a file may have");
    EXPECT_EQ(ReadWhole(Path("absent.dat"), 9, &why), "");
    EXPECT_EQ(why, "missing");

    // Sixty-four gigabytes of nothing (sparse) with the default limit: refused, never allocated.
    fs::resize_file(Path("ten.dat"), uint64_t(1) << 36);
    EXPECT_EQ(ReadWhole(Path("ten.dat"), kReadWholeLimit, &why), "");
    EXPECT_NE(why.find("68719476736 bytes"), std::string::npos) << why;
}

TEST_F(StreamHostile, AWriteThatFailsAtCloseIsTold) {
    // A few bytes stay in the C buffer until the close, where the full device refuses them.
    ::testing::internal::CaptureStderr();
    TStream full = OpenWrite("/dev/full");
    ASSERT_TRUE(full);
    full.WriteInt(1234);
    EXPECT_EQ(full.Failure(), "");
    EXPECT_FALSE(full.Close());
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "pumko: could not write /dev/full (No space left on device)\n");
    EXPECT_TRUE(full.Close()); // closed already: nothing more to tell

    // The buffer flushed by someone else first (as a capture of stderr does, or exit): the
    // error is still told at the close.
    TStream early = OpenWrite("/dev/full");
    early.WriteInt(1234);
    std::fflush(nullptr);
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(early.Close());
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "pumko: could not write /dev/full (Input/output error)\n");

    // A stream dropped without a close tells it too.
    ::testing::internal::CaptureStderr();
    {
        TStream dropped = OpenWrite("/dev/full");
        dropped.WriteByte(1);
    }
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "pumko: could not write /dev/full (No space left on device)\n");

    // A write that went well tells nothing.
    TStream fine = OpenWrite(Path("fine.dat"));
    fine.WriteInt(1);
    ::testing::internal::CaptureStderr();
    EXPECT_TRUE(fine.Close());
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(fs::file_size(Path("fine.dat")), 4u);
}

// More than the C buffer holds: the write itself fails, which ends the program with the reason.
TEST(StreamHostileDeath, AWriteThatFailsAtOnceNamesTheFile) {
    std::vector<char> big(size_t(1) << 20, 'x');
    EXPECT_EXIT(
        {
            TStream full = OpenWrite("/dev/full");
            full.WriteBytes(big.data(), int64_t(big.size()));
        },
        ::testing::ExitedWithCode(1), "stream write error: could not write /dev/full \\(No space left on device\\)");
}
