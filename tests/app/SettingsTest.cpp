#include "Settings.h"

#include "TempDir.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace tevra {
namespace {

struct ParseCase {
    const char* what;
    const char* text;
    Settings expected;
};

Settings make(std::string path, bool reload, bool hide, int speed) {
    Settings s;
    s.lastPath = std::move(path);
    s.reloadLast = reload;
    s.hideMouse = hide;
    s.flashSpeed = speed;
    return s;
}

TEST(Settings, ParsesTheFourLinesAndKeepsDefaultsForWhatDoesNotMatch) {
    const ParseCase cases[] = {
        {"empty file", "", make("", true, false, 100)},
        {"LF", "/cals/a.bin\nreload_last n\nhide_mouse y\nflash_speed 42\n",
         make("/cals/a.bin", false, true, 42)},
        {"CR LF", "C:\\cals\\stock.bin\r\nreload_last n\r\nhide_mouse y\r\nflash_speed 7\r\n",
         make("C:\\cals\\stock.bin", false, true, 7)},
        {"CR alone (old Mac editors)", "/cals/a.bin\rreload_last n\rhide_mouse y\rflash_speed 3\r",
         make("/cals/a.bin", false, true, 3)},
        {"one line, no line end", "/cals/a.bin", make("/cals/a.bin", true, false, 100)},
        {"empty first line", "\nreload_last y\nhide_mouse n\nflash_speed 100\n",
         make("", true, false, 100)},
        {"capital Y reads as no", "p\nreload_last Y\nhide_mouse Y\nflash_speed 5\n",
         make("p", false, false, 5)},
        {"blank run before the value", "p\nreload_last \t n\nhide_mouse   y\nflash_speed   +9\n",
         make("p", false, true, 9)},
        {"a key that does not match leaves its line to the next",
         "p\nhide_mouse y\nreload_last n\nflash_speed x\n", make("p", true, true, 100)},
        {"missing key line", "p\nreload_last n\nflash_speed 5\n", make("p", false, false, 5)},
        {"junk in a key's place", "p\ngarbage\nhide_mouse y\nflash_speed 5\n",
         make("p", true, false, 100)},
        {"key without value", "p\nreload_last\nhide_mouse \nflash_speed\n",
         make("p", true, false, 100)},
        {"speed above range", "p\nreload_last y\nhide_mouse n\nflash_speed 250\n",
         make("p", true, false, 100)},
        {"speed below range", "p\nreload_last y\nhide_mouse n\nflash_speed -3\n",
         make("p", true, false, 0)},
        {"speed beyond int", "p\nreload_last y\nhide_mouse n\nflash_speed 99999999999\n",
         make("p", true, false, 100)},
        {"path with blanks kept whole", "/my cals/stock 2.bin \n",
         make("/my cals/stock 2.bin ", true, false, 100)},
    };
    for (const ParseCase& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(Settings::parse(c.text), c.expected);
    }
}

TEST(Settings, ReadsPortLinesAndKeepsUnknownExtraLines) {
    const Settings s = Settings::parse("p\nreload_last y\nhide_mouse n\nflash_speed 100\n"
                                       "port1 /dev/ttyUSB0\r\nport3 /dev/ttyS1\nfuture_key 1\n");
    EXPECT_EQ(s.ports.devices[0], "/dev/ttyUSB0");
    EXPECT_EQ(s.ports.devices[1], "");
    EXPECT_EQ(s.ports.devices[2], "/dev/ttyS1");
    ASSERT_EQ(s.extraLines.size(), 1u);
    EXPECT_EQ(s.extraLines[0], "future_key 1");
}

// The window's size lines follow the port lines; a file without them reads as
// before and opens the window at its classic size.
TEST(Settings, ReadsAndWritesTheWindowSize) {
    struct Case {
        const char* what;
        const char* extra;
        int width, height;
        bool maximized;
    };
    const Case cases[] = {
        {"none", "", 0, 0, false},
        {"size and state", "window_size 1200 900\nwindow_maximized y\n", 1200, 900, true},
        {"after the ports", "port1 /dev/ttyS0\nwindow_size 800 600\n", 800, 600, false},
        {"not two numbers", "window_size 800\nwindow_size 8x0 600\n", 0, 0, false},
        {"negative", "window_size -800 600\n", 0, 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Settings s = Settings::parse(
            std::string("p\nreload_last y\nhide_mouse n\nflash_speed 100\n") + c.extra);
        EXPECT_EQ(s.windowWidth, c.width);
        EXPECT_EQ(s.windowHeight, c.height);
        EXPECT_EQ(s.windowMaximized, c.maximized);
        EXPECT_EQ(Settings::parse(s.format()), s);
    }
    Settings s = make("p", true, false, 100);
    s.windowWidth = 1024;
    s.windowHeight = 700;
    s.extraLines = {"future_key 1"};
    EXPECT_EQ(s.format(), "p\nreload_last y\nhide_mouse n\nflash_speed 100\n"
                          "window_size 1024 700\nwindow_maximized n\nfuture_key 1\n");
}

TEST(Settings, FormatsWhatParseReadsBack) {
    Settings s = make("/cals/stock.bin", false, true, 37);
    s.ports.devices[1] = "/dev/ttyUSB1";
    s.extraLines = {"future_key 1"};
    EXPECT_EQ(s.format(), "/cals/stock.bin\nreload_last n\nhide_mouse y\nflash_speed 37\n"
                          "port2 /dev/ttyUSB1\nfuture_key 1\n");
    EXPECT_EQ(Settings::parse(s.format()), s);
    EXPECT_EQ(Settings().format(), "\nreload_last y\nhide_mouse n\nflash_speed 100\n");
}

TEST(Settings, KeepsTheValuesViewOnALineAfterTheOthers) {
    EXPECT_FALSE(Settings::parse("p\nreload_last y\nhide_mouse n\nflash_speed 100\n").valuesView);
    for (const char* text : {"p\nreload_last y\nhide_mouse n\nflash_speed 100\nvalues_view y\n",
                             "p\nreload_last y\nhide_mouse n\nflash_speed 100\nport1 /dev/ttyS0\n"
                             "values_view y\r\n"}) {
        SCOPED_TRACE(text);
        const Settings s = Settings::parse(text);
        EXPECT_TRUE(s.valuesView);
        EXPECT_TRUE(s.extraLines.empty());
    }
    EXPECT_FALSE(Settings::parse("p\nreload_last y\nhide_mouse n\nflash_speed 1\nvalues_view n\n")
                     .valuesView);
    Settings s = make("/c/a.bin", true, false, 100);
    s.valuesView = true;
    s.ports.devices[0] = "/dev/ttyS0";
    s.extraLines = {"future_key 1"};
    EXPECT_EQ(s.format(), "/c/a.bin\nreload_last y\nhide_mouse n\nflash_speed 100\n"
                          "port1 /dev/ttyS0\nvalues_view y\nfuture_key 1\n");
    EXPECT_EQ(Settings::parse(s.format()), s);
}

TEST(Settings, SavesAndLoadsThroughTheFile) {
    test::TempDir dir;
    const std::string path = dir.file("Config.cfg");
    EXPECT_FALSE(Settings::load(path).has_value());

    const Settings s = make(dir.file("a.bin"), false, false, 12);
    ASSERT_TRUE(s.save(path));
    EXPECT_EQ(Settings::load(path), s);
}

TEST(Settings, LoadRefusesWhatIsNoRegularFileOfSaneSize) {
    // A folder aborted the editor at start, a FIFO hung it, a device fed it without end.
    test::TempDir dir;
    namespace fs = std::filesystem;
    fs::create_directories(dir.file("folder"));
    ASSERT_EQ(::mkfifo(dir.file("fifo").c_str(), 0600), 0);
    fs::create_symlink("/dev/zero", dir.file("zero"));
    test::TempDir::write(dir.file("huge"), "");
    fs::resize_file(dir.file("huge"), (16u << 20) + 1);
    const struct {
        std::string path, problem;
    } cases[] = {
        {dir.file("missing"), ""},
        {dir.file("folder"), "\"" + dir.file("folder") + "\" is a folder, not a file."},
        {dir.file("fifo"), "\"" + dir.file("fifo") + "\" is not a regular file."},
        {dir.file("zero"), "\"" + dir.file("zero") + "\" is not a regular file."},
        {dir.file("huge"), "\"" + dir.file("huge") +
                               "\" is larger than 16 MB, more than any file of its kind holds."},
    };
    for (const auto& c : cases) {
        std::string problem = "unset";
        EXPECT_FALSE(Settings::load(c.path, &problem).has_value()) << c.path;
        EXPECT_EQ(problem, c.problem);
    }
}

TEST(Settings, SaveIntoAMissingFolderFailsAndReportsIt) {
    test::TempDir dir;
    EXPECT_FALSE(Settings().save(dir.file("no such folder/Config.cfg")));
}

} // namespace
} // namespace tevra
