// The base provider's session keys and the two ciphers, against the vectors
// in tests/data/crypto (Windows output, RFC 2268, the usual RC4 vectors).
#include "platform/crypto/session_ciphers.h"
#include "platform/crypto/session_key.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace crypto = platform::crypto;

std::vector<uint8_t> Unhex(const std::string& hex) {
    std::vector<uint8_t> out;
    if (hex == "-")
        return out;
    for (size_t i = 0; i + 1 < hex.size(); i += 2)
        out.push_back(static_cast<uint8_t>(std::stoi(hex.substr(i, 2), nullptr, 16)));
    return out;
}

std::string Hex(const std::vector<uint8_t>& bytes) {
    static const char* digits = "0123456789abcdef";
    std::string s;
    for (uint8_t b : bytes) {
        s += digits[b >> 4];
        s += digits[b & 15];
    }
    return s;
}

// The data lines of a vector file, split into whitespace-separated fields.
std::vector<std::vector<std::string>> ReadVectors(const std::string& name) {
    std::ifstream in(std::string(ORDOVANE_SOURCE_DIR) + "/tests/data/crypto/" + name);
    EXPECT_TRUE(in.good()) << name;
    std::vector<std::vector<std::string>> rows;
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#')
            continue;
        std::istringstream fields(line);
        std::vector<std::string> row;
        for (std::string f; fields >> f;)
            row.push_back(f);
        rows.push_back(row);
    }
    return rows;
}

TEST(SessionKey, DerivedKeysEncryptAsTheBaseProviderDoes) {
    auto rows = ReadVectors("session_keys.txt");
    ASSERT_GE(rows.size(), 6u);
    for (const auto& row : rows) {
        ASSERT_EQ(row.size(), 5u);
        SCOPED_TRACE(row[0] + " " + row[1] + " " + row[2] + " " + row[3]);
        const uint32_t alg = row[0] == "rc2" ? crypto::kAlgRc2 : crypto::kAlgRc4;
        const uint32_t flags = static_cast<uint32_t>(std::stoul(row[2], nullptr, 16));
        auto key = crypto::DeriveBaseSessionKey(alg, Unhex(row[1]), flags);
        ASSERT_TRUE(key);
        const std::vector<uint8_t> message = Unhex(row[3]);
        std::vector<uint8_t> sealed = crypto::EncryptFinal(*key, message);
        EXPECT_EQ(Hex(sealed).substr(0, row[4].size()), row[4]);
        std::vector<uint8_t> opened;
        ASSERT_TRUE(crypto::DecryptFinal(*key, sealed, &opened));
        EXPECT_EQ(opened, message);
    }
}

TEST(SessionKey, BaseKeyIsFiveHashBytesAndElevenSaltBytes) {
    const std::vector<uint8_t> md5 = Unhex("900150983cd24fb0d6963f7d28e17f72");
    struct Case {
        uint32_t flags;
        const char* material; // nullptr: refused
    } cases[] = {
        {0x00000001, "900150983c0000000000000000000000"},
        {0x00280000, "900150983c0000000000000000000000"},
        {0x00000010, "900150983c"},                       // CRYPT_NO_SALT
        {0x00000004, "900150983cd24fb0d6963f7d28e17f72"}, // CRYPT_CREATE_SALT: salt from the hash
        {0x00380000, "900150983cd24f"},                   // 56 bits: no salt
        {0x00800000, "900150983cd24fb0d6963f7d28e17f72"},
        {0x00200000, nullptr}, // shorter than the base length
        {0x00880000, nullptr}, // longer than the hash
        {0x002c0000, nullptr}, // not whole bytes
        {0x00000002, nullptr}, // unknown flag
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.flags);
        auto key = crypto::DeriveBaseSessionKey(crypto::kAlgRc4, md5, c.flags);
        ASSERT_EQ(key.has_value(), c.material != nullptr);
        if (key) {
            EXPECT_EQ(Hex(key->material), c.material);
        }
    }
    EXPECT_FALSE(crypto::DeriveBaseSessionKey(0x6610, md5, 0)); // AES is not a base cipher
    EXPECT_FALSE(crypto::DeriveBaseSessionKey(crypto::kAlgRc2, Unhex("0102030405"),
                                              crypto::kDeriveCreateSalt));
}

TEST(SessionCiphers, PublishedVectors) {
    auto rows = ReadVectors("rc2_rc4.txt");
    ASSERT_GE(rows.size(), 11u);
    for (const auto& row : rows) {
        ASSERT_EQ(row.size(), 5u);
        SCOPED_TRACE(row[0] + " " + row[1] + " " + row[2]);
        std::vector<uint8_t> data = Unhex(row[3]);
        if (row[0] == "rc2") {
            crypto::Rc2Key key(Unhex(row[1]), static_cast<uint32_t>(std::stoul(row[2])));
            key.EncryptBlock(data.data());
            EXPECT_EQ(Hex(data), row[4]);
            key.DecryptBlock(data.data());
            EXPECT_EQ(Hex(data), row[3]);
        } else {
            crypto::Rc4Apply(Unhex(row[1]), data);
            EXPECT_EQ(Hex(data), row[4]);
        }
    }
}

TEST(SessionCiphers, Rc2CbcPadsEveryLengthAndRejectsBrokenPadding) {
    const crypto::Rc2Key key(Unhex("88bca90e90875a7f0f79c384627bafb2"), 40);
    const uint8_t iv[8] = {};
    for (size_t len = 0; len <= 17; ++len) {
        std::vector<uint8_t> data(len, 0x5a);
        std::vector<uint8_t> sealed = crypto::Rc2CbcEncrypt(key, iv, data);
        EXPECT_EQ(sealed.size(), (len / 8 + 1) * 8) << len;
        std::vector<uint8_t> opened;
        ASSERT_TRUE(crypto::Rc2CbcDecrypt(key, iv, sealed, &opened)) << len;
        EXPECT_EQ(opened, data);
    }
    std::vector<uint8_t> sealed = crypto::Rc2CbcEncrypt(key, iv, std::vector<uint8_t>(5, 1));
    std::vector<uint8_t> opened;
    sealed.back() ^= 0x80; // the last block decrypts to garbage padding
    EXPECT_FALSE(crypto::Rc2CbcDecrypt(key, iv, sealed, &opened));
    sealed.pop_back();
    EXPECT_FALSE(crypto::Rc2CbcDecrypt(key, iv, sealed, &opened)) << "not whole blocks";
}

} // namespace
