// The command line of tevra-ecm-sim: what it accepts and what it refuses.
#include "SimOptions.h"

#include <gtest/gtest.h>

namespace tevra::sim::test {
namespace {

using Args = std::vector<std::string>;

TEST(SimOptions, ParsesEveryOption) {
    const auto r = parseSimOptions({"--image",
                                    "in.bin",
                                    "--base",
                                    "C000",
                                    "--link",
                                    "/tmp/ecm",
                                    "--fast",
                                    "--save",
                                    "out.bin",
                                    "--verbose",
                                    "--drop",
                                    "7",
                                    "--stall-after",
                                    "9",
                                    "--hangup-after",
                                    "11",
                                    "--corrupt",
                                    "0xC123",
                                    "--no-sdp",
                                    "--echo",
                                    "--drop-received",
                                    "13",
                                    "--garble-received",
                                    "15"});
    ASSERT_TRUE(r.options) << r.error;
    const SimOptions& o = *r.options;
    EXPECT_EQ(o.imagePath, "in.bin");
    EXPECT_EQ(o.base, 0xC000);
    EXPECT_EQ(o.linkPath, "/tmp/ecm");
    EXPECT_TRUE(o.fast);
    EXPECT_EQ(o.savePath, "out.bin");
    EXPECT_TRUE(o.verbose);
    EXPECT_EQ(o.faults.dropByte, 7u);
    EXPECT_EQ(o.faults.stallAfter, 9u);
    EXPECT_EQ(o.faults.hangupAfter, 11u);
    EXPECT_EQ(o.faults.corruptAddress, 0xC123);
    EXPECT_TRUE(o.faults.noSdp);
    EXPECT_TRUE(o.faults.echoOnly);
    EXPECT_EQ(o.faults.dropReceived, 13u);
    EXPECT_EQ(o.faults.garbleReceived, 15u);
}

TEST(SimOptions, DefaultsToRealTimeWithoutFaults) {
    const auto r = parseSimOptions({"--image", "a.bin", "--link", "l"});
    ASSERT_TRUE(r.options);
    EXPECT_FALSE(r.options->fast);
    EXPECT_FALSE(r.options->base);
    EXPECT_FALSE(r.options->savePath);
    EXPECT_FALSE(r.options->faults.dropByte);
}

TEST(SimOptions, HelpAndVersionAnswerWithoutTheRequiredOptions) {
    for (const Args& args :
         {Args{"--help"}, Args{"-h"}, Args{"--version"}, Args{"--fast", "--version"}}) {
        const auto r = parseSimOptions(args);
        EXPECT_FALSE(r.options);
        EXPECT_TRUE(r.error.empty()) << r.error;
        EXPECT_NE(r.helpRequested, r.versionRequested) << args.back();
    }
}

TEST(SimOptions, RefusesBadCommandLines) {
    const struct {
        Args args;
        const char* error;
    } cases[] = {
        {{"--link", "l"}, "--image is required"},
        {{"--image", "a"}, "--link is required"},
        {{"--image", "a", "--link", "l", "--base", "12345"}, "hexadecimal"},
        {{"--image", "a", "--link", "l", "--base", "C0G0"}, "hexadecimal"},
        {{"--image", "a", "--link", "l", "--drop", "0"}, "from 1"},
        {{"--image", "a", "--link", "l", "--drop", "x"}, "byte count"},
        {{"--image", "a", "--link", "l", "--garble-received", "0"}, "from 1"},
        {{"--image", "a", "--link", "l", "--stall-after"}, "byte count"},
        {{"--image"}, "needs a path"},
        {{"--image", "a", "--link", "l", "--fast", "--realtime"}, "exclude"},
        {{"--image", "a", "--link", "l", "--speed"}, "unknown option --speed"},
    };
    for (const auto& c : cases) {
        const auto r = parseSimOptions(c.args);
        EXPECT_FALSE(r.options) << c.error;
        EXPECT_NE(r.error.find(c.error), std::string::npos) << r.error;
    }
}

} // namespace
} // namespace tevra::sim::test
