// tevra-cli scan and crossid run as a user runs them.
#include "Calibration.h"
#include "CliRunner.h"
#include "TempDir.h"

#include <filesystem>
#include <gtest/gtest.h>

using tevra::Calibration;
using tevra::EntryType;
using tevra::test::cli;
using tevra::test::CliRun;
using tevra::test::TempDir;

namespace {

const std::string kDemo = std::string(TEVRA_SOURCE_DIR) + "/resources/demo/demo";

// The demo image alone, as an unknown calibration arrives.
std::string bareDemo(const TempDir& dir) {
    std::filesystem::copy_file(kDemo + ".bin", dir.file("bare.bin"));
    return dir.file("bare.bin");
}

// The definitions a command wrote, read back.
struct Written {
    Calibration cal;
    explicit Written(const std::string& tbl) { EXPECT_TRUE(cal.LoadDefinitions(tbl)); }
    const tevra::CalEntry* at(std::int32_t a) const { return cal.FindByAddress(a, nullptr); }
};

} // namespace

TEST(ScanCli, ScanWritesTheTablesTheCodeAddresses) {
    TempDir dir;
    const std::string image = bareDemo(dir);
    CliRun r = cli("scan " + image + " -o " + dir.file("found.tbl"));
    ASSERT_EQ(r.exitCode, 0) << r.err;
    Written w(dir.file("found.tbl"));
    EXPECT_EQ(w.cal.baseAddress, 0xC000);
    ASSERT_NE(w.at(0xC140), nullptr);
    EXPECT_EQ(w.at(0xC140)->type, EntryType::Unsigned16Table);
    EXPECT_EQ(w.at(0xC140)->name, "TC140 16-Bit Table");
    EXPECT_NE(w.at(0xC260), nullptr);
}

TEST(ScanCli, BaseMovesTheCalibrationBeforeTheScan) {
    // A bare image read at 0x8000: the code's C1xx operands now lie past its end.
    TempDir dir;
    const std::string image = bareDemo(dir);
    CliRun bare = cli("scan " + image + " --base 8000 -o " + dir.file("bare8000.tbl"));
    ASSERT_EQ(bare.exitCode, 0) << bare.err;
    Written w(dir.file("bare8000.tbl"));
    EXPECT_EQ(w.cal.baseAddress, 0x8000);
    EXPECT_EQ(w.cal.FindByAddress(0xC100, nullptr), nullptr);

    // With its definition file the entries keep their offsets and move along.
    std::filesystem::copy_file(kDemo + ".bin", dir.file("known.bin"));
    std::filesystem::copy_file(kDemo + ".tbl", dir.file("known.tbl"));
    CliRun known = cli("scan " + dir.file("known.bin") + " --base 8000 -o " + dir.file("m.tbl"));
    ASSERT_EQ(known.exitCode, 0) << known.err;
    Written moved(dir.file("m.tbl"));
    ASSERT_NE(moved.at(0x8100), nullptr);
    EXPECT_EQ(moved.at(0x8100)->name, "Spark Advance");
}

TEST(ScanCli, CrossidLendsTheKnownNamesAboveTheQuality) {
    // Quality 100 asks for a score above 1.0, which not even an identical table at
    // the same address reaches; the constants pass has its own fixed bar.
    for (const int quality : {50, 100}) {
        SCOPED_TRACE(quality);
        TempDir dir;
        const std::string image = bareDemo(dir);
        CliRun r = cli("crossid " + image + " " + kDemo + ".bin --quality " +
                       std::to_string(quality) + " -o " + dir.file("x.tbl"));
        ASSERT_EQ(r.exitCode, 0) << r.err;
        Written w(dir.file("x.tbl"));
        ASSERT_NE(w.at(0xC180), nullptr);
        EXPECT_EQ(w.at(0xC180)->name, quality == 50 ? "Coolant Correction" : "TC180 Signed Table");
        ASSERT_NE(w.at(0xC302), nullptr);
        EXPECT_EQ(w.at(0xC302)->name, "Rev Limit");
        EXPECT_EQ(w.at(0xC302)->type, EntryType::Constant16);
    }
}

TEST(ScanCli, ExitCodesAndMessages) {
    TempDir dir;
    const std::string image = bareDemo(dir);
    const std::string out = " -o " + dir.file("o.tbl");
    const struct {
        std::string args;
        int exitCode;
        std::string err;
    } cases[] = {
        {"crossid " + image + " " + dir.file("missing.bin") + out, 1,
         "Failed to load binary file!\n"},
        {"scan " + dir.file("missing.bin") + out, 1, "Failed to load binary file!\n"},
        {"scan " + image + " -o " + dir.file("no/such/dir/o.tbl"), 1, "Failed to save TBL!\n"},
        {"scan " + image, 2, "expected IMAGE -o OUT.tbl"},
        {"scan " + image + " --base 10000" + out, 2, "--base"},
        {"scan " + image + " --base C001" + out, 2, "at most C000"},
        {"scan " + image + " --base C0G0" + out, 2, "hexadecimal"},
        {"crossid " + image + out, 2, "expected IMAGE OTHER"},
        {"crossid " + image + " " + image + " --quality 101" + out, 2, "--quality"},
        {"crossid " + image + " " + image + " --quality 2.5" + out, 2, "--quality"},
    };
    for (const auto& c : cases) {
        CliRun r = cli(c.args);
        EXPECT_EQ(r.exitCode, c.exitCode) << c.args;
        if (c.exitCode == 1)
            EXPECT_EQ(r.err, c.err) << c.args;
        else
            EXPECT_NE(r.err.find(c.err), std::string::npos) << c.args << "\n" << r.err;
    }
    // A failed cross-identification writes nothing.
    EXPECT_FALSE(std::filesystem::exists(dir.file("o.tbl")));
}
