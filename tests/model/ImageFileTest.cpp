// Image files and opening and saving whole calibrations.
#include "Calibration.h"
#include "SRecord.h"
#include "ScriptedPrompter.h"
#include "TempDir.h"

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/resource.h>

using namespace tevra;
using tevra::test::ScriptedPrompter;
using tevra::test::TempDir;

namespace {
std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string l; std::getline(in, l);)
        out.push_back(l);
    return out;
}

std::vector<std::uint8_t> pattern(std::size_t n) {
    std::vector<std::uint8_t> v(n);
    for (std::size_t i = 0; i < n; ++i)
        v[i] = static_cast<std::uint8_t>(i * 13 + (i >> 8));
    return v;
}
} // namespace

TEST(SRecordWriter, RecordsOf32BytesAndTheTerminator) {
    auto l = lines(SRecord::write(pattern(0x8000), 0x8000));
    ASSERT_EQ(l.size(), 1025u);
    EXPECT_EQ(l.front().substr(0, 8), "S1238000");
    EXPECT_EQ(l[1023].substr(0, 8), "S123FFE0");
    EXPECT_EQ(l.back(), "S9030000FC\r");

    l = lines(SRecord::write(std::vector<std::uint8_t>(20, 0xAB), 0xC000));
    ASSERT_EQ(l.size(), 2u);
    EXPECT_EQ(l[0].substr(0, 8), "S117C000");
    EXPECT_EQ(l[0].size(), 8u + 40 + 2 + 1);
}

TEST(SRecordWriter, AgreesWithSrecCat) {
    if (std::system("command -v srec_cat >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "srec_cat is not installed";
    TempDir dir;
    const auto bytes = pattern(1000);
    TempDir::write(dir.file("a.s19"), SRecord::write(bytes, 0xC123));
    const std::string cmd = "srec_cat " + dir.file("a.s19") + " -offset -0xC123 -o " +
                            dir.file("a.bin") + " -binary 2>/dev/null";
    ASSERT_EQ(std::system(cmd.c_str()), 0);
    const std::string back = TempDir::read(dir.file("a.bin"));
    EXPECT_EQ(std::vector<std::uint8_t>(back.begin(), back.end()), bytes);
    // srec_cat checks every record checksum: --verbose would fail on a bad one.
    const std::string check =
        "srec_cat " + dir.file("a.s19") + " -o /dev/null 2>&1 | grep -qi checksum";
    EXPECT_NE(std::system(check.c_str()), 0);
}

TEST(SRecordReader, OrderCaseAndMalformedRecords) {
    // Out of order, lower-case hex, a gap (0xFF), and S9 ending the reading.
    auto img = SRecord::read("S1050010aabb00\r\nS1040008cc00\nS9030000FC\nS1040000dd00\n");
    EXPECT_EQ(img.baseAddress, 0x8);
    ASSERT_EQ(img.bytes.size(), 10u);
    EXPECT_EQ(img.bytes[0], 0xCC);
    EXPECT_EQ(img.bytes[1], 0xFF);
    EXPECT_EQ(img.bytes[8], 0xAA);
    EXPECT_EQ(img.bytes[9], 0xBB);

    // Count below 3, a line too short for its count, data past 0xFFFF: all safe.
    img = SRecord::read("S1020000\nS1FF1000AB\nS107FFFE11223344\n");
    EXPECT_EQ(img.baseAddress, 0x1000);
    ASSERT_EQ(img.bytes.size(), 0x10000u - 0x1000);
    EXPECT_EQ(img.bytes[0], 0xAB);
    EXPECT_EQ(img.bytes[0xFFFE - 0x1000], 0x11);
    EXPECT_EQ(img.bytes[0xFFFF - 0x1000], 0x22);

    EXPECT_FALSE(SRecord::read("S0030000FC\nhello\n").hasRecords);
}

TEST(OpenCalibration, ExtensionRules) {
    TempDir dir;
    const std::string bin(16, '\x01');
    const struct {
        std::string name;
        bool opens;
    } cases[] = {{"CAL.S19", true},    {"CAL.HEX", false}, {"ab.bin", true},
                 {"x.d/noext", false}, {"CAL.BIN", true},  {"cal.s19x", true}};
    for (const auto& c : cases) {
        const std::string path = dir.file(c.name);
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        TempDir::write(path, c.name.find(".S19") != std::string::npos ||
                                     c.name.find(".s19") != std::string::npos
                                 ? SRecord::write({1, 2}, 0xC000)
                                 : bin);
        ScriptedPrompter prompter;
        Calibration cal;
        cal.setPrompter(&prompter);
        EXPECT_EQ(cal.OpenCalibration(path), c.opens) << c.name;
        if (!c.opens) {
            EXPECT_EQ(prompter.texts(), std::vector<std::string>{"Failed to load binary file!"});
            EXPECT_FALSE(cal.hasImage());
        }
    }
    ScriptedPrompter quiet;
    Calibration cal;
    cal.setPrompter(&quiet);
    EXPECT_FALSE(cal.OpenCalibration(""));
    EXPECT_TRUE(quiet.shown.empty());
}

TEST(OpenCalibration, DefinitionsBesideTheImageOverrideTheS19Base) {
    TempDir dir;
    TempDir::write(dir.file("cal.s19"), SRecord::write(pattern(64), 0xC000));
    TempDir::write(dir.file("cal.TBL"), "8000\nd\na\n8010 3 n K\n");
    Calibration cal;
    ASSERT_TRUE(cal.OpenCalibration(dir.file("cal.s19")));
    EXPECT_EQ(cal.baseAddress, 0x8000);
    ASSERT_NE(cal.EntryAt(0), nullptr);
    EXPECT_EQ(cal.EntryAt(0)->GetX(0), pattern(64)[0x10]);
}

TEST(OpenCalibration, LibraryMatchIsOfferedAndCopied) {
    TempDir dir;
    const auto bytes = pattern(256);
    TempDir::write(dir.file("cal.bin"), std::string(bytes.begin(), bytes.end()));
    std::filesystem::create_directories(dir.file("Library"));
    Calibration maker;
    maker.SetImage(bytes);
    maker.NewEntry()->name = "From Library";
    ASSERT_TRUE(maker.SaveDefinitions(dir.file("Library/match.TBL")));
    TempDir::write(dir.file("Library/other.TBL"), "C000\nd\na\ncrc32 00000000\n");

    for (bool yes : {false, true}) {
        ScriptedPrompter prompter;
        prompter.answers = {yes};
        Calibration cal;
        cal.setPrompter(&prompter);
        cal.libraryFolder = dir.file("Library");
        ASSERT_TRUE(cal.OpenCalibration(dir.file("cal.bin")));
        ASSERT_EQ(prompter.shown.size(), 1u);
        EXPECT_EQ(prompter.shown[0].text, "No TBL found, but found library match. Load it?");
        EXPECT_EQ(prompter.shown[0].caption, "Load Library TBL");
        EXPECT_EQ(cal.entryCount(), yes ? 1 : 0);
        EXPECT_EQ(std::filesystem::exists(dir.file("cal.TBL")), yes);
    }
}

TEST(SaveCalibration, WritesOnlyWhatChangedAndKeepsFlagsOnFailure) {
    TempDir dir;
    ScriptedPrompter prompter;
    Calibration cal;
    cal.setPrompter(&prompter);
    cal.SetImage(pattern(64));
    cal.imagePath = dir.file("cal.bin");
    cal.checksumEnabled = true;
    cal.checksumAddress = 0xC000;
    cal.fixupAddress = 0xC001;

    cal.SetDefinitionsModified(true);
    EXPECT_TRUE(cal.SaveCalibration());
    EXPECT_TRUE(std::filesystem::exists(dir.file("cal.tbl")));
    EXPECT_FALSE(std::filesystem::exists(dir.file("cal.bin")));

    cal.SetDataModified(true);
    EXPECT_TRUE(cal.SaveCalibration());
    const std::string bin = TempDir::read(dir.file("cal.bin"));
    ASSERT_EQ(bin.size(), 64u);
    EXPECT_EQ(static_cast<std::uint8_t>(bin[0]), 0xFF); // the checksum step ran first
    const auto s19 = SRecord::read(TempDir::read(dir.file("cal.s19")));
    EXPECT_EQ(std::string(s19.bytes.begin(), s19.bytes.end()), bin);
    EXPECT_FALSE(cal.dataModified());

    // A disk that fills up part-way through every file: messages, the old files
    // intact, the flags still set. (A file-size limit fails writes even for root.)
    cal.SetImage(pattern(4096));
    cal.SetDataModified(true);
    cal.SetDefinitionsModified(true);
    rlimit old{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    auto previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = old;
    small.rlim_cur = 1000;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool saved = cal.SaveCalibration();
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, previous);
    EXPECT_FALSE(saved);
    EXPECT_EQ(prompter.texts(),
              (std::vector<std::string>{"Failed to save binary!", "Failed to save S19!"}));
    EXPECT_TRUE(cal.dataModified());
    EXPECT_FALSE(cal.definitionsModified()); // the small .tbl still fitted
    EXPECT_EQ(TempDir::read(dir.file("cal.bin")), bin);
    for (const auto& f : std::filesystem::directory_iterator(dir.path()))
        EXPECT_EQ(f.path().string().find('~'), std::string::npos) << "left behind: " << f.path();

    // A folder that does not exist: every part fails, with its message.
    prompter.shown.clear();
    cal.imagePath = dir.file("missing/cal.bin");
    cal.definitionPath.clear();
    cal.SetDefinitionsModified(true);
    EXPECT_FALSE(cal.SaveCalibration());
    EXPECT_EQ(prompter.texts(),
              (std::vector<std::string>{"Failed to save binary!", "Failed to save S19!",
                                        "Failed to save TBL!"}));
    EXPECT_TRUE(cal.dataModified());
    EXPECT_TRUE(cal.definitionsModified());
}

TEST(SaveCalibration, RefusesSRecordsWhoseAddressesWouldWrap) {
    // A 32 KB image under the base of a 16 KB definition file ends past 0xFFFF:
    // its S-records would wrap to 0x0000 and read back scrambled.
    TempDir dir;
    ScriptedPrompter prompter;
    Calibration cal;
    cal.setPrompter(&prompter);
    cal.SetImage(pattern(0x8000));
    cal.baseAddress = 0xC000;
    cal.imagePath = dir.file("cal.bin");
    cal.SetDataModified(true);
    EXPECT_FALSE(cal.SaveCalibration());
    EXPECT_EQ(prompter.texts(), std::vector<std::string>{"Failed to save S19!"});
    EXPECT_FALSE(std::filesystem::exists(dir.file("cal.s19")));
    EXPECT_EQ(TempDir::read(dir.file("cal.bin")).size(), 0x8000u);
    EXPECT_TRUE(cal.dataModified());

    // The same image at 0x8000 ends exactly at 0xFFFF and is written.
    prompter.shown.clear();
    cal.baseAddress = 0x8000;
    EXPECT_TRUE(cal.SaveCalibration());
    EXPECT_TRUE(prompter.shown.empty());
    EXPECT_EQ(SRecord::read(TempDir::read(dir.file("cal.s19"))).bytes, pattern(0x8000));
}
