// tevra-cli run as a user runs it: real files, exit codes, messages on stderr.
#include "Calibration.h"
#include "CliRunner.h"
#include "TempDir.h"

#include <cstdio>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>

using tevra::test::cli;
using tevra::test::CliRun;
using tevra::test::TempDir;

namespace {

const std::string kDemo = std::string(TEVRA_SOURCE_DIR) + "/resources/demo/demo.bin";

// One S1, S2 or S3 record, its checksum computed here; intact false spoils it.
std::string record(char type, unsigned address, const std::string& data, bool intact = true) {
    const int addressBytes = type - '0' + 1;
    std::string body(1, static_cast<char>(addressBytes + data.size() + 1));
    for (int k = addressBytes - 1; k >= 0; --k)
        body += static_cast<char>(address >> (8 * k));
    body += data;
    unsigned sum = 0;
    for (unsigned char b : body)
        sum += b;
    body += static_cast<char>(~sum + (intact ? 0 : 1));
    std::string out = {'S', type};
    for (unsigned char b : body) {
        char hex[3];
        std::snprintf(hex, sizeof hex, "%02X", b);
        out += hex;
    }
    return out;
}

} // namespace

TEST(Cli, ExitCodesAndMessages) {
    TempDir dir;
    const struct {
        std::string args;
        int exitCode;
        std::string err;
    } cases[] = {
        {"", 2, "usage"},
        {"frobnicate", 2, "unknown command"},
        {"info", 2, "expected one IMAGE"},
        {"info " + dir.file("missing.bin"), 1, "Failed to load binary file!\n"},
        {"info " + dir.file("x.hex"), 1, "Failed to load binary file!\n"},
        {"convert " + kDemo + " " + dir.file("out.txt"), 2, "OUT must end in .bin or .s19"},
        {"convert " + kDemo + " " + dir.file("o.s19") + " --base XYZ", 2, "hexadecimal"},
        {"convert " + kDemo + " " + dir.file("o.s19") + " --base C100", 2, "at most C000"},
        {"dump " + kDemo, 2, "--json"},
        {"edit " + kDemo + " --entry Nope --add 1 -o " + dir.file("e.bin"), 1, "No entry named"},
        {"edit " + kDemo + " --entry \"Option Flags\" --add 1 -o " + dir.file("f.bin"), 1,
         "cannot be edited"},
        {"checksum " + kDemo + " --checksum 1000 --fixup C001 -o " + dir.file("c.bin"), 1,
         "inside the image"},
    };
    for (const auto& c : cases) {
        CliRun r = cli(c.args);
        EXPECT_EQ(r.exitCode, c.exitCode) << c.args;
        EXPECT_NE(r.err.find(c.err), std::string::npos) << c.args << "\n" << r.err;
    }
}

TEST(Cli, InfoAndDumpShowTheDemo) {
    CliRun info = cli("info " + kDemo);
    ASSERT_EQ(info.exitCode, 0) << info.err;
    EXPECT_NE(info.out.find("Base address:    C000"), std::string::npos);
    EXPECT_NE(info.out.find("Entries:         11"), std::string::npos);

    CliRun dump = cli("dump " + kDemo + " --json");
    ASSERT_EQ(dump.exitCode, 0) << dump.err;
    for (const char* piece :
         {"\"baseAddress\":49152", "\"imageLength\":16384", "\"name\":\"Spark Advance\"",
          "\"typeText\":\"Unsigned 8-Bit\"", "\"inImage\":true", "\"slope\":null",
          "\"rows\":8,\"columns\":8,\"signed\":false", "\"value\":6400", "\"byte\":11"})
        EXPECT_NE(dump.out.find(piece), std::string::npos) << piece;
}

TEST(Cli, DumpIsValidUtf8WhateverTheDefinitionFileHolds) {
    // A unit typed on Windows arrives as one code-page byte (B0 for degrees); text
    // that already is UTF-8 passes through.
    TempDir dir;
    TempDir::write(dir.file("cal.bin"), std::string(16, '\0'));
    TempDir::write(dir.file("cal.tbl"), "C000\nd\na\nC000 3 n Temp IN 0 256 X OUT 0 256 \xB0"
                                        "F NAME \xE2\x82\xAC\n");
    CliRun dump = cli("dump " + dir.file("cal.bin") + " --json");
    ASSERT_EQ(dump.exitCode, 0) << dump.err;
    EXPECT_NE(dump.out.find("\"yUnit\":\"\\u00b0F\""), std::string::npos) << dump.out;
    EXPECT_NE(dump.out.find("\"description\":\"\xE2\x82\xAC\""), std::string::npos) << dump.out;
}

TEST(Cli, ConvertRoundTripsByteForByte) {
    TempDir dir;
    ASSERT_EQ(cli("convert " + kDemo + " " + dir.file("a.s19")).exitCode, 0);
    ASSERT_EQ(cli("convert " + dir.file("a.s19") + " " + dir.file("b.bin")).exitCode, 0);
    EXPECT_EQ(TempDir::read(dir.file("b.bin")), TempDir::read(kDemo));
    EXPECT_EQ(TempDir::read(dir.file("a.s19")).substr(0, 8), "S123C000");
    ASSERT_EQ(cli("convert " + kDemo + " " + dir.file("c.s19") + " --base 0x8000").exitCode, 0);
    EXPECT_EQ(TempDir::read(dir.file("c.s19")).substr(0, 8), "S1238000");
}

TEST(Cli, ChecksumAndEditWriteTheirResult) {
    TempDir dir;
    ASSERT_EQ(
        cli("checksum " + kDemo + " --checksum C010 --fixup C011 -o " + dir.file("c.bin")).exitCode,
        0);
    const std::string fixed = TempDir::read(dir.file("c.bin"));
    ASSERT_EQ(fixed.size(), 0x4000u);
    unsigned sum = 0;
    for (unsigned char b : fixed)
        sum += b;
    EXPECT_EQ(sum & 0xFF, 0xFFu);
    EXPECT_EQ(static_cast<unsigned char>(fixed[0x10]), 0xFF);

    ASSERT_EQ(
        cli("edit " + kDemo + " --entry \"spark advance\" --scale 100 50 -o " + dir.file("e.s19"))
            .exitCode,
        0);
    tevra::Calibration before, after;
    ASSERT_TRUE(before.OpenCalibration(kDemo));
    ASSERT_TRUE(after.LoadS19(dir.file("e.s19")));
    const auto* spark = before.FindByName("Spark Advance", nullptr);
    const int off = spark->address - 0xC000;
    for (int i = 0; i < spark->PointCount(); ++i)
        EXPECT_EQ(after.image()[off + 2 + 4 * i], before.image()[off + 2 + 4 * i] / 2);
    // The demo asks for its checksum on save: the S-records carry the fix-up too.
    ASSERT_TRUE(before.checksumEnabled);
    unsigned edited = 0;
    for (std::uint8_t b : after.image())
        edited += b;
    EXPECT_EQ(edited & 0xFF, 0xFFu);
}

TEST(Cli, NeverTurnsAFileItCouldNotReadIntoLess) {
    TempDir dir;
    const std::string first(32, '\x11'), second(32, '\x22');
    // The same bytes as S2 records, and as S1 records with old Mac line ends.
    TempDir::write(dir.file("s2.s19"), record('2', 0xC000, first) + "\r\n" +
                                           record('2', 0xC020, second) + "\r\nS804000000FB\r\n");
    TempDir::write(dir.file("cr.s19"),
                   record('1', 0xC000, first) + "\r" + record('1', 0xC020, second) + "\r");
    TempDir::write(dir.file("junk.s19"), "S00600004844521B\nnot an image\n");
    TempDir::write(dir.file("bad.s19"), record('1', 0xC000, first) + "\n" +
                                            record('1', 0xC020, second, false) + "\nS9030000FC\n");
    const std::string both = first + second;
    const std::string asked = "S19 checksum error in line 2. Load anyway?";
    const struct {
        std::string args;
        int exitCode;
        std::string err;
        std::string written; // what out.bin then holds; empty: it is not written
    } cases[] = {
        {"convert " + dir.file("s2.s19") + " OUT", 0, "", both},
        {"convert " + dir.file("cr.s19") + " OUT", 0, "", both},
        {"convert " + dir.file("junk.s19") + " OUT", 1, "Failed to load binary file!\n", ""},
        {"convert " + dir.file("bad.s19") + " OUT", 1, asked + " [no; --yes accepts]\n", ""},
        {"convert " + dir.file("bad.s19") + " OUT --yes", 0, asked + " [yes]\n", both},
        {"edit " + dir.file("bad.s19") + " --entry x --add 1 -o OUT", 1, asked, ""},
    };
    for (const auto& c : cases) {
        std::filesystem::remove(dir.file("out.bin"));
        std::string args = c.args;
        args.replace(args.find("OUT"), 3, dir.file("out.bin"));
        CliRun r = cli(args);
        EXPECT_EQ(r.exitCode, c.exitCode) << c.args << "\n" << r.err;
        EXPECT_NE(r.err.find(c.err), std::string::npos) << c.args << "\n" << r.err;
        EXPECT_EQ(std::filesystem::exists(dir.file("out.bin")), !c.written.empty()) << c.args;
        if (!c.written.empty()) {
            EXPECT_EQ(TempDir::read(dir.file("out.bin")), c.written) << c.args;
        }
    }
}

TEST(Cli, EveryPathItReadsMustBeARegularFileOfSaneSize) {
    // A folder aborted the tool, a FIFO hung it, a device fed it without end.
    TempDir dir;
    namespace fs = std::filesystem;
    fs::create_directories(dir.file("folder.bin"));
    ASSERT_EQ(::mkfifo(dir.file("fifo.s19").c_str(), 0600), 0);
    ASSERT_EQ(::mkfifo(dir.file("fifo").c_str(), 0600), 0);
    fs::create_symlink("/dev/zero", dir.file("zero.bin"));
    TempDir::write(dir.file("huge.s19"), "");
    fs::resize_file(dir.file("huge.s19"), (16u << 20) + 1);
    fs::copy_file(kDemo, dir.file("cal.bin"));
    fs::create_directories(dir.file("cal.tbl"));
    const std::string notAFile = "\" is not a regular file.\n";
    const struct {
        std::string args;
        std::string err;
    } cases[] = {
        {"info " + dir.file("folder.bin"),
         dir.file("folder.bin") + "\" is a folder, not a file.\n"},
        {"info " + dir.file("fifo.s19"), dir.file("fifo.s19") + notAFile},
        {"info " + dir.file("zero.bin"), dir.file("zero.bin") + notAFile},
        {"convert " + dir.file("huge.s19") + " " + dir.file("o.bin"),
         dir.file("huge.s19") + "\" is larger than 16 MB, more than any file of its kind holds."},
        {"info " + dir.file("cal.bin"), dir.file("cal.tbl") + "\" is a folder, not a file.\n"},
        {"info " + kDemo + " --library " + dir.file("fifo"),
         dir.file("fifo") + "\" is not a folder."},
#ifdef TEVRA_HAVE_ECM
        {"flash write " + dir.file("no-port") + " " + kDemo + " --last " + dir.file("folder.bin"),
         dir.file("folder.bin") + "\" is a folder, not a file.\n"},
        {"flash write " + dir.file("no-port") + " " + kDemo + " --last " + dir.file("fifo"),
         dir.file("fifo") + notAFile},
        {"flash write " + dir.file("no-port") + " " + kDemo + " --last /dev/null",
         "/dev/null" + notAFile},
#endif
    };
    for (const auto& c : cases) {
        CliRun r = cli(c.args);
        EXPECT_EQ(r.exitCode, 1) << c.args << "\n" << r.err;
        EXPECT_NE(r.err.find(c.err), std::string::npos) << c.args << "\n" << r.err;
        EXPECT_EQ(r.err.find("Power on ECM"), std::string::npos) << c.args;
    }
}

TEST(Cli, AFileSizeLimitGivesTheSaveMessageAndLeavesNothing) {
    // Under a file-size limit a write fails (a full disk does the same); the tool
    // says so instead of dying of SIGXFSZ, and the old file stays whole.
    TempDir dir;
    TempDir::write(dir.file("out.s19"), "old");
    CliRun r = cli("convert " + kDemo + " " + dir.file("out.s19"), "ulimit -f 8");
    EXPECT_EQ(r.exitCode, 1) << r.err;
    EXPECT_EQ(r.err, "Failed to save S19!\n");
    EXPECT_EQ(TempDir::read(dir.file("out.s19")), "old");
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dir.path()))
        names.push_back(e.path().filename().string());
    EXPECT_EQ(names, std::vector<std::string>{"out.s19"});
}
