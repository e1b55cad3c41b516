// Image files and opening and saving whole calibrations.
#include "Calibration.h"
#include "SRecord.h"
#include "ScriptedPrompter.h"
#include "TempDir.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/stat.h>
#ifndef _WIN32
#include <sys/resource.h>
#endif

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

    // Count below 3, a line too short for its count (its last pair is the
    // checksum, not data), data past 0xFFFF: all safe.
    img = SRecord::read("S1020000\nS1FF1000ABCD\nS107FFFE11223344\n");
    EXPECT_EQ(img.baseAddress, 0x1000);
    ASSERT_EQ(img.bytes.size(), 0x10000u - 0x1000);
    EXPECT_EQ(img.bytes[0], 0xAB);
    EXPECT_EQ(img.bytes[1], 0xFF);
    EXPECT_EQ(img.bytes[0xFFFE - 0x1000], 0x11);
    EXPECT_EQ(img.bytes[0xFFFF - 0x1000], 0x22);

    EXPECT_FALSE(SRecord::read("S0030000FC\nhello\n").hasRecords);
}

namespace {
// One record, its checksum computed here rather than by the code under test.
std::string record(char type, std::uint32_t address, const std::vector<std::uint8_t>& data) {
    const int addressBytes = type - '0' + 1;
    std::vector<std::uint8_t> body{static_cast<std::uint8_t>(addressBytes + data.size() + 1)};
    for (int k = addressBytes - 1; k >= 0; --k)
        body.push_back(static_cast<std::uint8_t>(address >> (8 * k)));
    body.insert(body.end(), data.begin(), data.end());
    unsigned sum = 0;
    for (std::uint8_t b : body)
        sum += b;
    body.push_back(static_cast<std::uint8_t>(~sum));
    std::string out = {'S', type};
    char hex[3];
    for (std::uint8_t b : body) {
        std::snprintf(hex, sizeof hex, "%02X", b);
        out += hex;
    }
    return out;
}
} // namespace

TEST(SRecordReader, LineEndsRecordTypesAndDamagedRecords) {
    const std::vector<std::uint8_t> a{1, 2, 3, 4}, b{5, 6};
    const std::string s1a = record('1', 0xC000, a), s1b = record('1', 0xC004, b);
    std::string badSum = s1b;
    badSum.back() = badSum.back() == '0' ? '1' : '0';
    const struct {
        const char* what;
        std::string text;
        std::int32_t base;
        std::vector<std::uint8_t> bytes;
        int damagedLine;
    } cases[] = {
        {"LF", s1a + "\n" + s1b + "\nS9030000FC\n", 0xC000, {1, 2, 3, 4, 5, 6}, 0},
        {"CR LF", s1a + "\r\n" + s1b + "\r\n", 0xC000, {1, 2, 3, 4, 5, 6}, 0},
        {"CR alone", s1a + "\r" + s1b + "\rS9030000FC\r", 0xC000, {1, 2, 3, 4, 5, 6}, 0},
        {"no end at all", s1a + "\r" + s1b, 0xC000, {1, 2, 3, 4, 5, 6}, 0},
        {"S2",
         "S0030000FC\n" + record('2', 0x00C000, a) + "\n" + record('2', 0x00C004, b) +
             "\nS804000000FB\n",
         0xC000,
         {1, 2, 3, 4, 5, 6},
         0},
        {"S3",
         record('3', 0x0000C004, b) + "\r\n" + record('3', 0x0000C000, a) +
             "\r\nS70500000000FA\r\n",
         0xC000,
         {1, 2, 3, 4, 5, 6},
         0},
        {"S3 reaching past FFFF", record('3', 0xFFFE, a), 0xFFFE, {1, 2}, 0},
        {"S2 and S3 outside 0000-FFFF",
         record('2', 0x10000, a) + "\n" + record('3', 0x1C000, a),
         0,
         {},
         0},
        {"wrong checksum in line 3", s1a + "\n\n" + badSum + "\n", 0xC000, {1, 2, 3, 4, 5, 6}, 3},
        {"line cut short: the last pair is the checksum",
         s1a + "\n" + s1b.substr(0, 12),
         0xC000,
         {1, 2, 3, 4, 5},
         2},
        {"count too small for the address", "S1020000\n" + s1a, 0xC000, {1, 2, 3, 4}, 1},
        {"UTF-16",
         std::string("S\0"
                     "1\0"
                     "0\0"
                     "5\0",
                     8),
         0,
         {},
         0},
    };
    for (const auto& c : cases) {
        const SRecord::Image img = SRecord::read(c.text);
        EXPECT_EQ(img.bytes, c.bytes) << c.what;
        if (!c.bytes.empty()) {
            EXPECT_EQ(img.baseAddress, c.base) << c.what;
        }
        EXPECT_EQ(img.firstDamagedLine, c.damagedLine) << c.what;
    }
}

TEST(SRecordReader, ReadsTheS2AndS3RecordsSrecCatWrites) {
    if (std::system("command -v srec_cat >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "srec_cat is not installed";
    TempDir dir;
    const auto bytes = pattern(0x4000);
    TempDir::write(dir.file("a.bin"), std::string(bytes.begin(), bytes.end()));
    for (int width : {3, 4}) {
        const std::string out = dir.file("a" + std::to_string(width) + ".s19");
        const std::string cmd = "srec_cat " + dir.file("a.bin") + " -binary -offset 0xC000 -o " +
                                out + " -motorola -address-length=" + std::to_string(width);
        ASSERT_EQ(std::system(cmd.c_str()), 0);
        const std::string text = TempDir::read(out);
        ASSERT_EQ(text.find("\nS1"), std::string::npos) << "no S1 records expected";
        const SRecord::Image img = SRecord::read(text);
        EXPECT_EQ(img.baseAddress, 0xC000) << width;
        EXPECT_EQ(img.bytes, bytes) << width;
        EXPECT_EQ(img.firstDamagedLine, 0) << width;
    }
}

TEST(OpenCalibration, FilesThatYieldNoDataOrDamagedRecords) {
    TempDir dir;
    const std::vector<std::uint8_t> a{1, 2, 3, 4};
    std::string bad = record('1', 0xC004, {5, 6});
    bad.back() = bad.back() == '0' ? '1' : '0';
    const std::string noData = "Failed to load binary file!";
    const std::string asked = "S19 checksum error in line 2. Load anyway?";
    const struct {
        const char* name;
        std::string content;
        std::deque<bool> answers;
        std::vector<std::uint8_t> bytes; // empty: the open fails
        std::vector<std::string> shown;
    } cases[] = {
        {"s2.s19", record('2', 0xC000, a) + "\r\nS804000000FB\r\n", {}, a, {}},
        {"s3.s19", record('3', 0xC000, a) + "\rS70500000000FA\r", {}, a, {}},
        {"header.s19", "S00600004844521B\nS9030000FC\n", {}, {}, {noData}},
        {"junk.s19", "just some text\n", {}, {}, {noData}},
        {"utf16.s19",
         std::string("S\0"
                     "1\0"
                     "0\0"
                     "7\0",
                     8),
         {},
         {},
         {noData}},
        {"empty.bin", "", {}, {}, {noData}},
        {"declined.s19", record('1', 0xC000, a) + "\n" + bad + "\n", {false}, {}, {asked, noData}},
        {"accepted.s19",
         record('1', 0xC000, a) + "\n" + bad + "\n",
         {true},
         {1, 2, 3, 4, 5, 6},
         {asked}},
    };
    for (const auto& c : cases) {
        TempDir::write(dir.file(c.name), c.content);
        ScriptedPrompter prompter;
        prompter.answers = c.answers;
        Calibration cal;
        cal.setPrompter(&prompter);
        EXPECT_EQ(cal.OpenCalibration(dir.file(c.name)), !c.bytes.empty()) << c.name;
        EXPECT_EQ(cal.image(), c.bytes) << c.name;
        EXPECT_EQ(prompter.texts(), c.shown) << c.name;
        for (const auto& shown : prompter.shown) {
            if (shown.question) {
                EXPECT_EQ(shown.caption, "Warning");
            }
        }
    }
}

// Named pipes and device files are POSIX only.
#ifndef _WIN32
TEST(OpenCalibration, RefusesWhatIsNoRegularFileOfSaneSize) {
    // A folder, a FIFO (reading it would wait for ever), a device (/dev/zero never
    // ends) or a huge file, as the image, as the definition file beside it, or in
    // the library: a message naming it, never a hang or a read without end.
    TempDir dir;
    namespace fs = std::filesystem;
    const std::string image = SRecord::write(pattern(64), 0xC000);
    auto folder = [](const std::string& p) { fs::create_directories(p); };
    auto fifo = [](const std::string& p) { ASSERT_EQ(::mkfifo(p.c_str(), 0600), 0); };
    auto device = [](const std::string& p) { fs::create_symlink("/dev/zero", p); };
    auto huge = [](const std::string& p) {
        TempDir::write(p, "");
        fs::resize_file(p, (16u << 20) + 1); // sparse: no disk space taken
    };
    auto bigBinary = [](const std::string& p) { TempDir::write(p, std::string(0x10001, '\0')); };
    const std::string notAFile = "\" is not a regular file.";
    const std::string tooLarge16 = "\" is larger than 16 MB, more than any file of its kind holds.";
    const std::string loadFailed = "Failed to load binary file!";
    const struct {
        const char* what;
        std::string odd; // the path made odd, under the case's own folder
        std::function<void(const std::string&)> make;
        bool opens;
        std::string problem; // follows the quoted path
        bool alsoLoadMessage;
    } cases[] = {
        {"folder as image", "cal.s19", folder, false, "\" is a folder, not a file.", true},
        {"FIFO as image", "cal.s19", fifo, false, notAFile, true},
        {"device as image", "cal.bin", device, false, notAFile, true},
        {"huge S-record file", "cal.s19", huge, false, tooLarge16, true},
        {"binary past 64 KB", "cal.bin", bigBinary, false,
         "\" is larger than 64 KB, more than any file of its kind holds.", true},
        {"folder as definitions", "cal.tbl", folder, false, "\" is a folder, not a file.", false},
        {"FIFO as definitions", "cal.tbl", fifo, false, notAFile, false},
        {"device as definitions", "cal.TBL", device, false, notAFile, false},
        {"huge definitions", "cal.tbl", huge, false, tooLarge16, false},
        {"FIFO in the library", "Library/a.TBL", fifo, true, notAFile, false},
        {"huge file in the library", "Library/b.TBL", huge, true, tooLarge16, false},
    };
    int n = 0;
    for (const auto& c : cases) {
        const std::string folderOfCase = dir.file(std::to_string(n++));
        fs::create_directories(folderOfCase + "/Library");
        const std::string odd = folderOfCase + "/" + c.odd;
        c.make(odd);
        const std::string imagePath = folderOfCase + "/cal.s19";
        if (!fs::exists(fs::symlink_status(imagePath)))
            TempDir::write(imagePath, image);
        ScriptedPrompter prompter;
        Calibration cal;
        cal.setPrompter(&prompter);
        cal.libraryFolder = folderOfCase + "/Library";
        const std::string opened = c.odd.rfind("cal.bin", 0) == 0 ? odd : imagePath;
        EXPECT_EQ(cal.OpenCalibration(opened), c.opens) << c.what;
        std::vector<std::string> expected{"\"" + odd + c.problem};
        if (c.alsoLoadMessage)
            expected.push_back(loadFailed);
        EXPECT_EQ(prompter.texts(), expected) << c.what;
        EXPECT_EQ(cal.hasImage(), c.opens) << c.what;
    }
}
#endif

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

#ifndef _WIN32
    // The file-size limit that stands in for a full disk is POSIX only.
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
#endif

    // A folder that does not exist: every part fails, with its message.
    prompter.shown.clear();
    cal.imagePath = dir.file("missing/cal.bin");
    cal.definitionPath.clear();
    cal.SetDataModified(true);
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
