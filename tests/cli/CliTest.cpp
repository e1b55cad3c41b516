// tevra-cli run as a user runs it: real files, exit codes, messages on stderr.
#include "Calibration.h"
#include "CliRunner.h"
#include "TempDir.h"

#include <gtest/gtest.h>

using tevra::test::cli;
using tevra::test::CliRun;
using tevra::test::TempDir;

namespace {

const std::string kDemo = std::string(TEVRA_SOURCE_DIR) + "/resources/demo/demo.bin";

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
