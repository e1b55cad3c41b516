// Saving whole files: nothing left behind, links kept.
#include "AtomicFile.h"

#include "TempDir.h"

#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <random>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace tevra;
using tevra::test::TempDir;
namespace fs = std::filesystem;

namespace {
std::vector<std::string> namesIn(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(folder))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}
} // namespace

TEST(AtomicFile, KilledSavesLeaveNothingBehind) {
    // Children save a file large enough that a kill often lands mid-write; each is
    // killed at a random moment. Afterwards, and after one more save, the folder
    // holds the target alone, and it is one whole version.
    TempDir dir;
    const std::string target = dir.file("cal.bin");
    const std::string old(1 << 20, 'o'), fresh(1 << 20, 'n');
    ASSERT_TRUE(AtomicFile::write(target, old));
    std::mt19937 rng(12345);
    for (int round = 0; round < 40; ++round) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            for (;;)
                (void)AtomicFile::write(target, fresh);
        }
        ::usleep(std::uniform_int_distribution<useconds_t>(0, 20000)(rng));
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);
    }
    const std::string now = TempDir::read(target);
    EXPECT_TRUE(now == old || now == fresh);
    ASSERT_TRUE(AtomicFile::write(target, old));
    EXPECT_EQ(namesIn(dir.path()), std::vector<std::string>{"cal.bin"});
}

TEST(AtomicFile, RemovesOnlyItsOwnStaleTemporariesOfTheSameTarget) {
    TempDir dir;
    const std::vector<std::string> stale{"cal.bin.0a1b2c~", "cal.bin.ffffff~"};
    const std::vector<std::string> kept{"cal.bin.1234567~", "cal.bin.backup~",  "cal.bin~",
                                        "cal.s19.0a1b2c~",  "xcal.bin.0a1b2c~", "cal.bin.0A1B2C~",
                                        "cal.bin.locked~"};
    for (const auto& n : stale)
        TempDir::write(dir.file(n), "left by a killed save");
    for (const auto& n : kept)
        TempDir::write(dir.file(n), "someone else's");
    // A temporary whose save is still running holds its lock: it stays.
    const std::string running = dir.file("cal.bin.00beef~");
    TempDir::write(running, "being written");
    const int fd = ::open(running.c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::flock(fd, LOCK_EX), 0);

    ASSERT_TRUE(AtomicFile::write(dir.file("cal.bin"), "new"));
    ::close(fd);
    std::vector<std::string> expected = kept;
    expected.push_back("cal.bin");
    expected.push_back("cal.bin.00beef~");
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(namesIn(dir.path()), expected);
    EXPECT_EQ(TempDir::read(dir.file("cal.bin")), "new");
}

TEST(AtomicFile, SavingThroughASymbolicLinkReplacesTheFileItPointsTo) {
    TempDir dir;
    fs::create_directories(dir.file("real"));
    fs::create_directories(dir.file("links"));
    TempDir::write(dir.file("real/cal.bin"), "old");
    const struct {
        const char* link;
        std::string pointsTo;
    } cases[] = {
        {"links/absolute.bin", dir.file("real/cal.bin")},
        {"links/relative.bin", "../real/cal.bin"},
        {"links/chain.bin", "absolute.bin"},
        {"links/new.bin", "../real/not-yet.bin"}, // a link to a file not yet there
    };
    for (const auto& c : cases) {
        fs::create_symlink(c.pointsTo, dir.file(c.link));
        ASSERT_TRUE(AtomicFile::write(dir.file(c.link), c.link)) << c.link;
        EXPECT_TRUE(fs::is_symlink(dir.file(c.link))) << c.link;
        EXPECT_EQ(fs::read_symlink(dir.file(c.link)), c.pointsTo) << c.link;
        EXPECT_EQ(TempDir::read(dir.file(c.link)), c.link);
    }
    EXPECT_EQ(TempDir::read(dir.file("real/cal.bin")), "links/chain.bin");
    EXPECT_EQ(TempDir::read(dir.file("real/not-yet.bin")), "links/new.bin");
    EXPECT_EQ(namesIn(dir.file("real")), (std::vector<std::string>{"cal.bin", "not-yet.bin"}));

    fs::create_symlink("loop.bin", dir.file("links/loop.bin"));
    std::string error;
    EXPECT_FALSE(AtomicFile::write(dir.file("links/loop.bin"), "x", &error));
    EXPECT_NE(error.find("loop.bin"), std::string::npos) << error;
}
