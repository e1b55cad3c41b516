// tevra-cli diff, lint and carry run as a user runs them: exit codes, the text
// and JSON reports, and the files they write.
#include "Calibration.h"
#include "CliRunner.h"
#include "TempDir.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

using tevra::Calibration;
using tevra::test::cli;
using tevra::test::CliRun;
using tevra::test::TempDir;

namespace {

const std::string kDemo = std::string(TEVRA_SOURCE_DIR) + "/resources/demo/demo";

// A copy of the demo (image and definitions) under a name, with bytes changed.
std::string demoCopy(const TempDir& dir, const std::string& name,
                     std::initializer_list<std::pair<int, int>> pokes = {}, bool withTbl = true) {
    const std::string bin = dir.file(name + ".bin");
    std::string bytes = TempDir::read(kDemo + ".bin");
    for (auto [address, v] : pokes)
        bytes[static_cast<std::size_t>(address - 0xC000)] = static_cast<char>(v);
    TempDir::write(bin, bytes);
    if (withTbl)
        std::filesystem::copy_file(kDemo + ".tbl", dir.file(name + ".tbl"));
    return bin;
}

} // namespace

TEST(DiffCli, ExitCodesFollowDiff) {
    TempDir dir;
    const std::string a = demoCopy(dir, "first");
    const std::string same = demoCopy(dir, "same");
    const std::string changed = demoCopy(dir, "changed", {{0xC300, 200}});
    struct Case {
        std::string args;
        int exitCode;
    };
    const Case cases[] = {
        {"diff " + a + " " + same, 0},
        {"diff " + a + " " + a + " --json", 0},
        {"diff " + a + " " + changed, 1},
        {"diff " + a, 2},
        {"diff " + a + " " + same + " --bogus", 2},
        {"diff " + a + " " + dir.file("missing.bin"), 2},
        {"diff " + a + " " + same + " --tbl " + dir.file("missing.tbl"), 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args);
        const CliRun r = cli(c.args);
        EXPECT_EQ(r.exitCode, c.exitCode) << r.err;
        if (c.exitCode == 0 && c.args.find("--json") == std::string::npos) {
            EXPECT_EQ(r.out, "");
        }
    }
}

TEST(DiffCli, TextShowsOneAlignedLinePerChange) {
    TempDir dir;
    const std::string a = demoCopy(dir, "first");
    const std::string b = demoCopy(dir, "second",
                                   {{0xC100 + 1 + 4 * 3 + 1, 52}, // Spark Advance point 3
                                    {0xC300, 200},                // Overboost Limit
                                    {0xC305, 2},                  // Transmission Type
                                    {0xC010, 0x01}});             // code
    const CliRun r = cli("diff " + a + " " + b);
    ASSERT_EQ(r.exitCode, 1) << r.err;
    EXPECT_EQ(r.out,
              "changed entries:\n"
              "  C100  Spark Advance      point 3  X 1600 RPM -> 1600 RPM   Y 25 deg -> 26 deg\n"
              "  C300  Overboost Limit    value    190 kPa -> 200 kPa\n"
              "  C305  Transmission Type  choice   01 A413 Automatic -> 02 A604 Automatic\n"
              "bytes outside entries:\n"
              "  C010  1 byte\n");
}

TEST(DiffCli, JsonAndTheDefinitionsOfAnotherFile) {
    TempDir dir;
    const std::string a = demoCopy(dir, "first");
    // B without definitions: without --tbl every entry of A is missing from B.
    const std::string b = demoCopy(dir, "second", {{0xC200 + 3, 41}}, false);
    const CliRun bare = cli("diff " + a + " " + b + " --json");
    EXPECT_EQ(bare.exitCode, 1);
    EXPECT_NE(bare.out.find("\"onlyInA\":[{\"name\":\"Spark Advance\""), std::string::npos)
        << bare.out;

    const CliRun r = cli("diff " + a + " " + b + " --json --tbl " + kDemo + ".tbl");
    ASSERT_EQ(r.exitCode, 1) << r.err;
    EXPECT_NE(r.out.find("\"same\":false"), std::string::npos);
    EXPECT_NE(r.out.find("{\"name\":\"Volumetric Efficiency\",\"type\":7,\"addressA\":49664,"
                         "\"addressB\":49664,\"changes\":[{\"kind\":\"cell\",\"column\":0,"
                         "\"row\":0,\"old\":{\"raw\":40},\"new\":{\"raw\":41}}]}"),
              std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("\"onlyInA\":[]"), std::string::npos);
    EXPECT_NE(r.out.find("\"bytesOutsideEntries\":[]"), std::string::npos);
}

TEST(LintCli, FindsMistakesAndExitsOne) {
    TempDir dir;
    const CliRun clean = cli("lint " + kDemo + ".bin");
    EXPECT_EQ(clean.exitCode, 0) << clean.out;
    EXPECT_EQ(clean.out, "");

    // The demo with two more entries: one overlapping the spark table, one
    // running past the end of the image.
    const std::string bin = demoCopy(dir, "messy");
    std::ofstream(dir.file("messy.tbl"), std::ios::app)
        << "C104 3 n Spark_Byte IN 0 256 X OUT 0 256 Y NAME Description\r\n"
        << "FFFF 4 n Last_Word IN 0 256 X OUT 0 256 Y NAME Description\r\n";
    const CliRun text = cli("lint " + bin);
    EXPECT_EQ(text.exitCode, 1);
    EXPECT_NE(text.out.find("C104  overlap       Spark Advance (C100-C128) overlaps Spark Byte "
                            "(C104-C104)"),
              std::string::npos)
        << text.out;
    EXPECT_NE(text.out.find("FFFF  outsideImage  Last Word (FFFF-10000) reaches outside the image"),
              std::string::npos)
        << text.out;
    const CliRun json = cli("lint " + bin + " --json");
    EXPECT_EQ(json.exitCode, 1);
    EXPECT_NE(json.out.find("{\"kind\":\"overlap\",\"address\":49412,\"names\":[\"Spark "
                            "Advance\",\"Spark Byte\"]"),
              std::string::npos)
        << json.out;

    EXPECT_EQ(cli("lint").exitCode, 2);
    EXPECT_EQ(cli("lint " + dir.file("missing.bin")).exitCode, 1);
}

TEST(CarryCli, WritesTheDefinitionsAndTheReport) {
    TempDir dir;
    const std::string bare = demoCopy(dir, "bare", {}, false);
    const CliRun r = cli("carry " + bare + " " + kDemo + ".bin -o " + dir.file("out.tbl") +
                         " --report " + dir.file("report.txt"));
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "10 of 11 entries carried, 10 entries in all\n");
    Calibration written;
    ASSERT_TRUE(written.LoadDefinitions(dir.file("out.tbl")));
    ASSERT_NE(written.FindByAddress(0xC260, nullptr), nullptr);
    EXPECT_EQ(written.FindByAddress(0xC260, nullptr)->name, "Knock Retard");
    const std::string report = TempDir::read(dir.file("report.txt"));
    EXPECT_NE(report.find("C260 <- C260 Knock Retard: score 1.00, code 1.00 (1 of 1 reference)"),
              std::string::npos)
        << report;

    // The lender must bring definitions; arguments are checked first.
    const std::string noDefinitions = demoCopy(dir, "plain", {}, false);
    EXPECT_EQ(cli("carry " + bare + " " + noDefinitions + " -o " + dir.file("x.tbl")).exitCode, 1);
    EXPECT_EQ(cli("carry " + bare + " " + kDemo + ".bin").exitCode, 2);
    EXPECT_EQ(cli("carry " + bare + " -o " + dir.file("x.tbl")).exitCode, 2);
}
