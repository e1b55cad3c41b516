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

TEST_F(FlashCommand, FailuresEndWithExitCodeOne) {
    struct Case {
        const char* name;
        std::vector<std::string> faults;
        const char* extra;
        const char* message;
    };
    const Case cases[] = {
        {"locked eeprom", {"--no-sdp"}, "", "Calibration DOES NOT match memory contents!"},
        {"echoing line", {"--echo"}, "", "Could not connect to ECM!"},
        {"a memory byte reads back wrong", {"--corrupt", "FF10"}, "", "Address = 0xFF10"},
        {"a lost acknowledgement", {"--drop", "3"}, "", "Error while writing cal!"},
        {"the controller stalls", {"--stall-after", "30"}, "", "Error while reading cal!"},
        {"the line hangs up", {"--hangup-after", "40"}, "", "Error while reading cal!"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        writeFile(dir / "last.bin", image);
        SimulatedEcm sim(eeprom, c.faults);
        ASSERT_TRUE(sim.ok());
        const CliRun run = runCli("flash write " + sim.link() + " " + (dir / "small.bin").string() +
                                  " --last " + (dir / "last.bin").string() + c.extra);
        EXPECT_EQ(run.exitCode, 1) << run.output;
        EXPECT_NE(run.output.find(c.message), std::string::npos) << run.output;
        // A failed verify discards the copy; no connection leaves it alone.
        EXPECT_EQ(fs::exists(dir / "last.bin"), c.faults[0] == "--echo");
    }
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
