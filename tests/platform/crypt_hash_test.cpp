// The provider's hash objects: digests of the four algorithms, the value's
// capacity rules, and handles that are not (or no longer) open.
#include "platform/crypto/crypt_hash.h"
#include "platform/crypto/last_error.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

constexpr uint32_t kBadUid = 0x80090001, kBadHash = 0x80090002, kBadAlgId = 0x80090008,
                   kBadFlags = 0x80090009, kBadType = 0x8009000A, kBadHashState = 0x8009000C,
                   kMoreData = 234;

std::string Hex(const uint8_t* p, uint32_t n) {
    std::string s;
    char buf[3];
    for (uint32_t i = 0; i < n; ++i) {
        std::snprintf(buf, sizeof buf, "%02x", p[i]);
        s += buf;
    }
    return s;
}

class CryptHash : public ::testing::Test {
protected:
    void SetUp() override { provider_ = platform::AcquireRandomContext(); }
    void TearDown() override { platform::CryptReleaseContext(provider_, 0); }
    platform::HCRYPTPROV provider_ = 0;
};

TEST_F(CryptHash, DigestsOfTheFourAlgorithmsInPieces) {
    struct {
        uint32_t algId;
        const char* digest; // of "abc"
    } const rows[] = {
        {platform::CALG_MD2, "da853b0d3f88d99b30283a69e6ded6bb"},
        {platform::CALG_MD4, "a448017aaf21d8525fc10ae87aa6729d"},
        {platform::CALG_MD5, "900150983cd24fb0d6963f7d28e17f72"},
        {platform::CALG_SHA1, "a9993e364706816aba3e25717850c26c9cd0d89d"},
    };
    for (const auto& row : rows) {
        platform::HCRYPTHASH h = 0;
        ASSERT_TRUE(platform::CryptCreateHash(provider_, row.algId, 0, 0, &h));
        ASSERT_NE(h, 0u);
        const uint8_t a[] = {'a'}, bc[] = {'b', 'c'};
        EXPECT_TRUE(platform::CryptHashData(h, a, 1, 0));
        EXPECT_TRUE(platform::CryptHashData(h, nullptr, 0, 0));
        EXPECT_TRUE(platform::CryptHashData(h, bc, 2, 0));
        uint8_t out[16384];
        uint32_t len = sizeof out;
        ASSERT_TRUE(platform::CryptGetHashParam(h, platform::HP_HASHVAL, out, &len, 0));
        EXPECT_EQ(Hex(out, len), row.digest);
        // Finished: the same value again, and no more data.
        uint32_t again = sizeof out;
        ASSERT_TRUE(platform::CryptGetHashParam(h, platform::HP_HASHVAL, out, &again, 0));
        EXPECT_EQ(Hex(out, again), row.digest);
        EXPECT_FALSE(platform::CryptHashData(h, a, 1, 0));
        EXPECT_EQ(platform::GetLastError(), kBadHashState);
        EXPECT_TRUE(platform::CryptDestroyHash(h));
    }
}

TEST_F(CryptHash, ValueCapacityIsCheckedAndTheLengthReturned) {
    platform::HCRYPTHASH h = 0;
    ASSERT_TRUE(platform::CryptCreateHash(provider_, platform::CALG_SHA1, 0, 0, &h));
    uint32_t len = 0;
    EXPECT_TRUE(platform::CryptGetHashParam(h, platform::HP_HASHVAL, nullptr, &len, 0));
    EXPECT_EQ(len, 20u);
    uint8_t out[20] = {};
    len = 19;
    EXPECT_FALSE(platform::CryptGetHashParam(h, platform::HP_HASHVAL, out, &len, 0));
    EXPECT_EQ(platform::GetLastError(), kMoreData);
    EXPECT_EQ(len, 20u);
    EXPECT_EQ(Hex(out, 20), std::string(40, '0')) << "a short buffer was written";
    const uint8_t abc[] = {'a', 'b', 'c'};
    EXPECT_TRUE(platform::CryptHashData(h, abc, 3, 0)) << "asking for the length finished it";
    ASSERT_TRUE(platform::CryptGetHashParam(h, platform::HP_HASHVAL, out, &len, 0));
    EXPECT_EQ(Hex(out, len), "a9993e364706816aba3e25717850c26c9cd0d89d");
    len = 4;
    ASSERT_TRUE(platform::CryptGetHashParam(h, platform::HP_HASHSIZE, out, &len, 0));
    EXPECT_EQ(Hex(out, len), "14000000");
    len = 4;
    ASSERT_TRUE(platform::CryptGetHashParam(h, platform::HP_ALGID, out, &len, 0));
    EXPECT_EQ(Hex(out, len), "04800000");
    EXPECT_FALSE(platform::CryptGetHashParam(h, 99, out, &len, 0));
    EXPECT_EQ(platform::GetLastError(), kBadType);
    EXPECT_FALSE(platform::CryptGetHashParam(h, platform::HP_HASHVAL, out, &len, 1));
    EXPECT_EQ(platform::GetLastError(), kBadFlags);
    EXPECT_TRUE(platform::CryptDestroyHash(h));
}

TEST_F(CryptHash, BadHandlesFailWithTheLastErrorSet) {
    platform::HCRYPTHASH h = 77;
    EXPECT_FALSE(platform::CryptCreateHash(provider_, 0x800c /* SHA-256 */, 0, 0, &h));
    EXPECT_EQ(platform::GetLastError(), kBadAlgId);
    EXPECT_EQ(h, 0u);
    h = 77;
    EXPECT_FALSE(platform::CryptCreateHash(0, platform::CALG_MD5, 0, 0, &h));
    EXPECT_EQ(platform::GetLastError(), kBadUid);
    EXPECT_EQ(h, 0u);

    ASSERT_TRUE(platform::CryptCreateHash(provider_, platform::CALG_MD5, 0, 0, &h));
    EXPECT_TRUE(platform::CryptDestroyHash(h));
    const uint8_t x = 1;
    uint8_t out[16];
    uint32_t len = sizeof out;
    for (platform::HCRYPTHASH stale : {h, platform::HCRYPTHASH{0}}) {
        platform::SetLastError(0);
        EXPECT_FALSE(platform::CryptHashData(stale, &x, 1, 0));
        EXPECT_EQ(platform::GetLastError(), kBadHash);
        platform::SetLastError(0);
        EXPECT_FALSE(platform::CryptGetHashParam(stale, platform::HP_HASHVAL, out, &len, 0));
        EXPECT_EQ(platform::GetLastError(), kBadHash);
        platform::SetLastError(0);
        EXPECT_FALSE(platform::CryptDestroyHash(stale));
        EXPECT_EQ(platform::GetLastError(), kBadHash);
    }
    // A new hash never gets the handle just released.
    platform::HCRYPTHASH next = 0;
    ASSERT_TRUE(platform::CryptCreateHash(provider_, platform::CALG_MD5, 0, 0, &next));
    EXPECT_NE(next, h);
    EXPECT_TRUE(platform::CryptDestroyHash(next));
}

} // namespace
