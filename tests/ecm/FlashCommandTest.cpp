// tevra-cli flash against the emulator: exit codes, messages and the files it
// leaves behind.
#include "SimulatedEcm.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <sys/wait.h>

namespace tevra::test {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<unsigned char>;

struct CliRun {
    int exitCode = -1;
    std::string output; // stdout and stderr
};

CliRun runCli(const std::string& arguments) {
    CliRun run;
    // A hang-up must never hang the tool: a run that outlives the limit fails (exit 124).
    const std::string command =
        "timeout 120 " + std::string(TEVRA_CLI) + " " + arguments + " </dev/null 2>&1";
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return run;
    }
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, pipe) != nullptr) {
        run.output += buffer;
    }
    const int status = ::pclose(pipe);
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

Bytes readFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void writeFile(const fs::path& p, const Bytes& bytes) {
    std::ofstream(p, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

class FlashCommand : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() / ("tevra-flash-cli-" + std::to_string(::getpid()));
        fs::create_directories(dir);
        for (std::size_t i = 0; i < eeprom.size(); ++i) {
            eeprom[i] = static_cast<unsigned char>(i * 3 + 1);
        }
        // A raw image without definitions lands at the top of memory: FF00.
        for (std::size_t i = 0; i < image.size(); ++i) {
            image[i] = static_cast<unsigned char>(0xC3 ^ i);
        }
        writeFile(dir / "small.bin", image);
    }
    void TearDown() override { fs::remove_all(dir); }

    Bytes expectedAfterWrite() const {
        Bytes e = eeprom;
        std::copy(image.begin(), image.end(), e.end() - static_cast<long>(image.size()));
        return e;
    }

    fs::path dir;
    Bytes eeprom = Bytes(0x8000);
    Bytes image = Bytes(0x100);
};

TEST_F(FlashCommand, WriteVerifiesAndKeepsTheLastFlashCopy) {
    SimulatedEcm sim(eeprom);
    ASSERT_TRUE(sim.ok());
    const CliRun run = runCli("flash write " + sim.link() + " " + (dir / "small.bin").string() +
                              " --last " + (dir / "last.bin").string());
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_NE(run.output.find("Calibration matches memory contents."), std::string::npos);
    EXPECT_EQ(readFile(dir / "last.bin"), image);
    EXPECT_EQ(sim.stopAndSave(), expectedAfterWrite());
}

// Each memory byte holds its old value or the one the image meant to put there.
void expectOnlyAskedBytes(const Bytes& before, const Bytes& after, const Bytes& image) {
    ASSERT_EQ(after.size(), before.size());
    const std::size_t base = before.size() - image.size();
    for (std::size_t i = 0; i < after.size(); ++i) {
        const bool asked = i >= base && after[i] == image[i - base];
        ASSERT_TRUE(after[i] == before[i] || asked) << std::hex << "at " << 0x8000 + i << ": "
                                                    << int{after[i]} << ", was " << int{before[i]};
    }
}

TEST_F(FlashCommand, FailuresEndWithExitCodeOne) {
    struct Case {
        const char* name;
        const char* operation;
        std::vector<std::string> faults;
        const char* message;
    };
    // The editor's bytes after the bootload are counted from its probe (1-4);
    // a Differential Write then sends frame 5-8 and data 9 per changed byte.
    const Case cases[] = {
        {"locked eeprom", "write", {"--no-sdp"}, "Calibration DOES NOT match memory contents!"},
        {"echoing line", "write", {"--echo"}, "Could not connect to ECM!"},
        {"a memory byte reads back wrong", "write", {"--corrupt", "FF10"}, "Address = 0xFF10"},
        {"a lost acknowledgement", "write", {"--drop", "3"}, "Error while writing cal!"},
        {"the controller stalls", "write", {"--stall-after", "30"}, "Error while reading cal!"},
        {"the line hangs up", "write", {"--hangup-after", "40"}, "Error while reading cal!"},
        {"a lost acknowledgement", "diffwrite", {"--drop", "3"}, "Error while writing cal!"},
        {"a lost address byte", "diffwrite", {"--drop-received", "7"}, "DOES NOT match"},
        {"a lost data byte", "diffwrite", {"--drop-received", "9"}, "DOES NOT match"},
        {"a garbled count", "write", {"--garble-received", "6"}, "DOES NOT match"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.name) + " in " + c.operation);
        const bool differential = std::string(c.operation) == "diffwrite";
        Bytes last = image;
        if (differential) {
            for (std::size_t i : {0x10, 0x11, 0x80}) {
                last[i] ^= 0x5A; // as if the last flash had put other bytes there
            }
        }
        writeFile(dir / "last.bin", last);
        SimulatedEcm sim(eeprom, c.faults);
        ASSERT_TRUE(sim.ok());
        const CliRun run =
            runCli("flash " + std::string(c.operation) + " " + sim.link() + " " +
                   (dir / "small.bin").string() + " --last " + (dir / "last.bin").string());
        EXPECT_EQ(run.exitCode, 1) << run.output;
        EXPECT_NE(run.output.find(c.message), std::string::npos) << run.output;
        // A failed verify discards the copy; no connection leaves it alone.
        EXPECT_EQ(fs::exists(dir / "last.bin"), c.faults[0] == "--echo");
        expectOnlyAskedBytes(eeprom, sim.stopAndSave(), image);
    }
}

// With checksum fix-up on in the definition file beside the image, the
// controller gets the bytes a save would write: memory sums to FF after a
// write and after a Differential Write of an edit.
TEST_F(FlashCommand, WritesSendTheImageWithItsChecksumFixedUp) {
    std::ofstream(dir / "small.tbl") << "FF00\nSmall\nTevra\ninjectors 33.0\nboost 12.0\n"
                                        "map 2.0\nchecksum y FF20 FF21\n";
    SimulatedEcm sim(eeprom);
    ASSERT_TRUE(sim.ok());
    const std::string files =
        (dir / "small.bin").string() + " --last " + (dir / "last.bin").string();
    CliRun run = runCli("flash write " + sim.link() + " " + files);
    ASSERT_EQ(run.exitCode, 0) << run.output;
    Bytes edited = image;
    edited[0x40] ^= 0x11;
    writeFile(dir / "small.bin", edited);
    run = runCli("flash diffwrite " + sim.link() + " " + files);
    ASSERT_EQ(run.exitCode, 0) << run.output;

    const Bytes memory = sim.stopAndSave();
    const Bytes sent(memory.end() - 0x100, memory.end());
    unsigned sum = 0;
    for (unsigned char b : sent) {
        sum += b;
    }
    EXPECT_EQ(sum & 0xFF, 0xFFu);
    EXPECT_EQ(sent[0x40], edited[0x40]);
    EXPECT_EQ(sent[0x20], 0xFF); // the checksum byte
    EXPECT_EQ(readFile(dir / "last.bin"), sent);
}

// A raw image of 0xA0 bytes lands at FF60, in the middle of a page: every
// byte is programmed, with Verify off too.
TEST_F(FlashCommand, AnImageStartingMidPageIsWrittenWhole) {
    image.resize(0xA0);
    writeFile(dir / "small.bin", image);
    SimulatedEcm sim(eeprom);
    ASSERT_TRUE(sim.ok());
    const CliRun run =
        runCli("flash write " + sim.link() + " " + (dir / "small.bin").string() + " --no-verify");
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_EQ(sim.stopAndSave(), expectedAfterWrite());
}

TEST_F(FlashCommand, AnEmptyImageIsNeverFlashed) {
    writeFile(dir / "empty.bin", {});
    SimulatedEcm sim(eeprom);
    ASSERT_TRUE(sim.ok());
    const CliRun run = runCli("flash write " + sim.link() + " " + (dir / "empty.bin").string());
    EXPECT_EQ(run.exitCode, 1) << run.output;
    EXPECT_EQ(run.output.find("Calibration matches memory contents."), std::string::npos)
        << run.output;
    EXPECT_EQ(run.output.find("Power on ECM"), std::string::npos) << "the port was never opened";
    EXPECT_EQ(sim.stopAndSave(), eeprom);
}

TEST_F(FlashCommand, ReadWritesTheImageFile) {
    SimulatedEcm sim(eeprom);
    ASSERT_TRUE(sim.ok());
    const CliRun run = runCli("flash read " + sim.link() + " " + (dir / "dump.bin").string());
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_EQ(readFile(dir / "dump.bin"), Bytes(eeprom.begin() + 0x4000, eeprom.end()));
}

TEST(FlashCommandUsage, RejectsBadArgumentsWithExitCodeTwo) {
    for (const char* args : {"flash", "flash erase /dev/null x.bin", "flash read /dev/null x.txt",
                             "flash read /dev/null x.bin --speed 101",
                             "flash write /dev/null x.bin --verify --no-verify"}) {
        EXPECT_EQ(runCli(args).exitCode, 2) << args;
    }
}

} // namespace
} // namespace tevra::test
