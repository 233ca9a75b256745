#include "platform/crypto/crypt_provider.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

TEST(CryptProvider, HandlesAreNonZeroDistinctAndClosable) {
    std::set<platform::HCRYPTPROV> seen;
    for (int i = 0; i < 100; ++i) {
        platform::HCRYPTPROV h = platform::AcquireRandomContext();
        ASSERT_NE(h, 0u);
        EXPECT_TRUE(seen.insert(h).second);
        EXPECT_TRUE(platform::IsProviderHandle(h));
    }
    for (platform::HCRYPTPROV h : seen) {
        EXPECT_FALSE(platform::CryptReleaseContext(h, 1)) << "flags must be 0";
        EXPECT_TRUE(platform::CryptReleaseContext(h, 0));
        EXPECT_FALSE(platform::CryptReleaseContext(h, 0)) << "closed twice";
        EXPECT_FALSE(platform::IsProviderHandle(h));
    }
}

TEST(CryptProvider, RandomBytesOnlyForOpenHandles) {
    platform::HCRYPTPROV h = platform::AcquireRandomContext();
    uint8_t a[64] = {}, b[64] = {};
    ASSERT_TRUE(platform::CryptGenRandom(h, sizeof a, a));
    ASSERT_TRUE(platform::CryptGenRandom(h, sizeof b, b));
    EXPECT_NE(std::string(a, a + 64), std::string(b, b + 64));
    EXPECT_TRUE(platform::CryptGenRandom(h, 0, nullptr));
    // Large requests are filled completely, not just the first kernel chunk.
    std::string big(1 << 20, '\0');
    ASSERT_TRUE(platform::CryptGenRandom(h, static_cast<uint32_t>(big.size()),
                                         reinterpret_cast<uint8_t*>(big.data())));
    EXPECT_NE(big.find_first_not_of('\0', big.size() - 64), std::string::npos);

    ASSERT_TRUE(platform::CryptReleaseContext(h, 0));
    uint8_t c[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    EXPECT_FALSE(platform::CryptGenRandom(h, sizeof c, c));
    EXPECT_FALSE(platform::CryptGenRandom(0, sizeof c, c));
    EXPECT_EQ(c[0], 1);
    EXPECT_EQ(c[7], 8);
}

} // namespace
