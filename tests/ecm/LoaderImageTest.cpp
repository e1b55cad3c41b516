#include "loader/LoaderImage.h"

#include <gtest/gtest.h>

namespace tevra::test {
namespace {

// The bootstrap stores 256 bytes at 0x0000 after the 0xFF; the loader keeps its
// variables at 0xF7.. and its stack at the top, so it must end before 0xF7.
TEST(LoaderImage, SyncByteThenLoaderBelowItsVariables) {
    EXPECT_EQ(kBootloaderImage.size(), 257u);
    EXPECT_EQ(kBootloaderImage[0], 0xFF);
    EXPECT_EQ(kBootloaderImage[1], 0x0F); // SEI: the probe expects this at 0x0000
    for (std::size_t i = 1 + 0xF7; i < kBootloaderImage.size(); ++i) {
        EXPECT_EQ(kBootloaderImage[i], 0x00) << "byte " << i;
    }
}

} // namespace
} // namespace tevra::test
