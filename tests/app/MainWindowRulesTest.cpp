#include "MainWindowRules.h"

#include "Calibration.h"

#include <gtest/gtest.h>
#include <vector>

namespace tevra {
namespace {

TEST(MainWindowRules, ProposesTheBaseAddressFromTheImage) {
    struct Case {
        const char* path;
        std::size_t length;
        std::int32_t readerBase;
        std::int32_t expected;
    };
    const Case cases[] = {
        {"/c/a.bin", 0x4000, 0xC000, 0xC000}, {"/c/a.bin", 0x8000, 0xC000, 0x8000},
        {"/c/a.bin", 0x2000, 0xC000, 0xE000}, {"/c/a.S19", 0x4000, 0x9000, 0x9000},
        {"/c/a.s19", 0x2000, 0x8000, 0x8000}, {"/c/no-extension", 0x1000, 0xC000, 0xF000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        Calibration cal;
        cal.SetImage(std::vector<std::uint8_t>(c.length));
        cal.baseAddress = c.readerBase;
        EXPECT_EQ(proposedBaseAddress(c.path, cal), c.expected);
    }
}

TEST(MainWindowRules, MarksTheTitleOnceAndRemovesEveryMark) {
    EXPECT_EQ(titleWithMark("Tevra  /a.bin", true), "Tevra  /a.bin*");
    EXPECT_EQ(titleWithMark("Tevra  /a.bin*", true), "Tevra  /a.bin*");
    EXPECT_EQ(titleWithMark("Tevra  /a*b.bin*", false), "Tevra  /ab.bin");
    EXPECT_EQ(titleWithMark("Tevra  ", false), "Tevra  ");
}

} // namespace
} // namespace tevra
