// The editor's command line.
#include "StartOptions.h"

#include <gtest/gtest.h>

using namespace tevra;

TEST(StartOptions, ReadsEachFormAndRefusesTheRest) {
    const struct {
        std::vector<std::string> args;
        bool help, version;
        std::optional<std::string> folder;
        std::string error;
    } cases[] = {
        {{}, false, false, std::nullopt, ""},
        {{"--help"}, true, false, std::nullopt, ""},
        {{"-h"}, true, false, std::nullopt, ""},
        {{"--version"}, false, true, std::nullopt, ""},
        {{"--workdir", "/tmp/cals"}, false, false, "/tmp/cals", ""},
        {{"--workdir=/tmp/my cals"}, false, false, "/tmp/my cals", ""},
        {{"--workdir"}, false, false, std::nullopt, "--workdir needs a folder"},
        {{"--workdir", ""}, false, false, std::nullopt, "--workdir needs a folder"},
        {{"demo.bin"}, false, false, std::nullopt, "unknown option demo.bin"},
        {{"--workdir", "a", "--frob"}, false, false, "a", "unknown option --frob"},
    };
    for (const auto& c : cases) {
        const StartOptions o = parseStartOptions(c.args);
        const std::string label = c.args.empty() ? "(none)" : c.args.front();
        EXPECT_EQ(o.help, c.help) << label;
        EXPECT_EQ(o.version, c.version) << label;
        EXPECT_EQ(o.workFolder, c.folder) << label;
        EXPECT_EQ(o.error, c.error) << label;
    }
}
