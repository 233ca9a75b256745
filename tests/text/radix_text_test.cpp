// Digit strings <-> bytes: edge vectors, and decimal/octal/binary conversion of
// random operands compared with GMP.
#include "text/hex_text.h"
#include "text/radix_text.h"

#include <gmp.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace text {
namespace {

TEST(RadixTextToHex, Vectors) {
    struct Case {
        int radix;
        const char* digits;
        int32_t length;
        const char* hex;
    };
    const Case cases[] = {
        {10, "0255", 2, "ff"},
        {10, "256", 4, "0100"},
        {10, "0", 2, "00"},
        {10, "0000000000000000000000000", 2, "00"},
        {10, "18446744073709551615", 16, "ffffffffffffffff"},
        {10, "18446744073709551616", 18, "010000000000000000"},
        {8, "377", 2, "ff"},
        {8, "0", 2, "00"},
        {8, "1000000000000000000000", 16, "8000000000000000"}, // 8^21
        {2, "0000000000000001", 4, "0001"},
        {2, "100000000", 4, "0100"},
        {2, "0", 2, "00"},
        {2, "00000000", 2, "00"},
        {2, "11111111", 2, "ff"},
    };
    for (const Case& c : cases) {
        std::string out = "x";
        EXPECT_EQ(RadixTextToHex(c.radix, c.digits, out), c.length)
            << "radix " << c.radix << " " << c.digits;
        EXPECT_EQ(out, c.hex) << "radix " << c.radix << " " << c.digits;
    }
}

TEST(RadixTextToHex, RejectsWhatIsNotADigitString) {
    struct Case {
        int radix;
        const char* digits;
    };
    const Case cases[] = {{10, ""},    {16, "12"}, {3, "12"}, {10, "12a"},
                          {10, "1 2"}, {8, "8"},   {2, "2"},  {10, "-1"}};
    for (const Case& c : cases) {
        std::string out = "keep";
        EXPECT_EQ(RadixTextToHex(c.radix, c.digits, out), -1) << c.radix << " " << c.digits;
        EXPECT_EQ(out, "keep");
    }
}

TEST(HexToRadixText, Vectors) {
    struct Case {
        const char* list;
        int radix;
        const char* digits; // nullptr: -1
    };
    const Case cases[] = {
        {"00 ", 10, "000"},     {"00 00 ", 10, "0"},
        {"00 ", 8, "000"},      {"00 00 00 ", 8, "0"},
        {"00 0F ", 10, "15"},   {"00 0F ", 2, "0000000000001111"},
        {"00 ", 2, "00000000"}, {"ff ", 8, "377"},
        {"1FF", 10, "255"},     {"01 00 00 00 00 00 00 00 00 ", 10, "18446744073709551616"},
        {"", 10, nullptr},      {" \n", 2, nullptr},
        {"12 ", 16, nullptr},   {"12 ", 0, nullptr},
    };
    for (const Case& c : cases) {
        std::string out = "keep";
        int32_t n = HexToRadixText(c.list, c.radix, out);
        if (c.digits == nullptr) {
            EXPECT_EQ(n, -1) << c.list << " radix " << c.radix;
            EXPECT_EQ(out, "keep");
        } else {
            EXPECT_EQ(n, static_cast<int32_t>(std::strlen(c.digits)));
            EXPECT_EQ(out, c.digits) << c.list << " radix " << c.radix;
        }
    }
}

// GMP as the reference.
class Gmp {
public:
    Gmp() { mpz_init(z_); }
    ~Gmp() { mpz_clear(z_); }
    Gmp(const Gmp&) = delete;
    Gmp& operator=(const Gmp&) = delete;

    void SetBytes(const std::vector<uint8_t>& b) { mpz_import(z_, b.size(), 1, 1, 1, 0, b.data()); }
    void SetDigits(const std::string& s, int base) {
        ASSERT_EQ(mpz_set_str(z_, s.c_str(), base), 0);
    }

    std::string Digits(int base) const {
        std::string s(mpz_sizeinbase(z_, base) + 2, '\0');
        mpz_get_str(s.data(), base, z_);
        s.resize(std::strlen(s.c_str()));
        return s;
    }
    // Minimal big-endian bytes, at least width bytes (zero padded on the left).
    std::string Hex(size_t width = 1) const {
        std::string h = Digits(16);
        size_t size = std::max(2 * width, h.size() + h.size() % 2);
        return std::string(size - h.size(), '0') + h;
    }

private:
    mpz_t z_;
};

std::string HexList(const std::vector<uint8_t>& bytes) {
    std::string list;
    FormatHexBytes(bytes.data(), static_cast<int32_t>(bytes.size()), list);
    return list;
}

std::string RandomDigits(std::mt19937_64& rng, size_t n, int radix) {
    std::string s(n, '0');
    for (char& c : s)
        c = static_cast<char>('0' + rng() % radix);
    return s;
}

constexpr uint64_t kSeed = 0x0d0a2024;

// Byte lengths around word edges and a few hundred bytes; leading zero bytes,
// all-ones and single-bit values.
std::vector<std::vector<uint8_t>> Operands(std::mt19937_64& rng) {
    std::vector<std::vector<uint8_t>> ops;
    for (size_t len :
         {1, 2, 7, 8, 9, 15, 16, 17, 23, 24, 25, 31, 32, 33, 63, 64, 65, 100, 255, 256, 300}) {
        for (int kind = 0; kind < 6; ++kind) {
            std::vector<uint8_t> b(len);
            for (uint8_t& x : b)
                x = static_cast<uint8_t>(rng());
            if (kind == 1)
                std::fill(b.begin(), b.begin() + static_cast<long>(rng() % len + 1), 0);
            if (kind == 2)
                std::fill(b.begin(), b.end(), 0xff);
            if (kind == 3) {
                std::fill(b.begin(), b.end(), 0);
                b[rng() % len] = 1;
            }
            if (kind == 4)
                std::fill(b.begin(), b.end(), 0);
            ops.push_back(b);
        }
    }
    return ops;
}

TEST(RadixConversion, BytesToDigitsMatchesGmp) {
    std::printf("RadixConversion seed %#llx\n", static_cast<unsigned long long>(kSeed));
    std::mt19937_64 rng(kSeed);
    for (const auto& bytes : Operands(rng)) {
        const std::string list = HexList(bytes);
        SCOPED_TRACE(list);
        Gmp ref;
        ref.SetBytes(bytes);
        for (int radix : {10, 8}) {
            std::string expected = ref.Digits(radix);
            if (bytes.size() == 1 && bytes[0] == 0)
                expected = "000";
            std::string out;
            EXPECT_EQ(HexToRadixText(list, radix, out), static_cast<int32_t>(expected.size()));
            EXPECT_EQ(out, expected) << "radix " << radix;
        }
        std::string bin = ref.Digits(2);
        if (bin == "0")
            bin.clear();
        bin.insert(0, bytes.size() * 8 - bin.size(), '0');
        std::string out;
        HexToRadixText(list, 2, out);
        EXPECT_EQ(out, bin);
    }
}

TEST(RadixConversion, DigitsToBytesMatchesGmp) {
    std::printf("RadixConversion seed %#llx\n", static_cast<unsigned long long>(kSeed + 1));
    std::mt19937_64 rng(kSeed + 1);
    // Lengths around whole words of digits (19 decimal, 21 octal, 8 binary).
    for (size_t n = 1; n <= 130; ++n) {
        for (int radix : {10, 8, 2}) {
            for (int leadingZeros : {0, 1, 25}) {
                std::string digits = std::string(static_cast<size_t>(leadingZeros), '0') +
                                     RandomDigits(rng, n, radix);
                SCOPED_TRACE(testing::Message() << "radix " << radix << " digits " << digits);
                Gmp ref;
                ref.SetDigits(digits, radix);
                // Binary keeps ceil(n/8) bytes; the others are minimal.
                std::string expected = ref.Hex(radix == 2 ? (digits.size() + 7) / 8 : 1);
                std::string out;
                EXPECT_EQ(RadixTextToHex(radix, digits, out),
                          static_cast<int32_t>(expected.size()));
                EXPECT_EQ(out, expected);
            }
        }
    }
}

// A hundred thousand decimal digits both ways (the word loops make this quick;
// only the results are checked here).
TEST(RadixConversion, HundredThousandDecimalDigits) {
    std::mt19937_64 rng(kSeed + 2);
    std::string digits = RandomDigits(rng, 100000, 10);
    digits[0] = '7';
    Gmp ref;
    ref.SetDigits(digits, 10);

    std::string hex;
    ASSERT_GT(RadixTextToHex(10, digits, hex), 0);
    EXPECT_EQ(hex, ref.Hex());

    std::string list, back;
    ASSERT_GT(NormalizeHexText(hex, list), 0);
    ASSERT_EQ(HexToRadixText(list, 10, back), 100000);
    EXPECT_TRUE(back == digits) << "decimal digits differ after the round trip";
}

TEST(RadixConversion, LongOctal) {
    std::mt19937_64 rng(kSeed + 3);
    std::string digits = RandomDigits(rng, 30000, 8);
    digits[0] = '1';
    Gmp ref;
    ref.SetDigits(digits, 8);
    std::string hex, list, back;
    ASSERT_GT(RadixTextToHex(8, digits, hex), 0);
    EXPECT_EQ(hex, ref.Hex());
    NormalizeHexText(hex, list);
    HexToRadixText(list, 8, back);
    EXPECT_TRUE(back == digits);
}

} // namespace
} // namespace text
