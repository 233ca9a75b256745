// The CRC register: the calculator's cases (tests/data/tools/crc_cases.tsv),
// and every implementation against the calculator's own table-and-step
// algorithm, written out here once more, on random data and parameters.
#include "tools/crc.h"
#include "tools/input_ranges.h"

#include "text/hex_text.h"

#include <gtest/gtest.h>

#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::vector<std::string> Fields(const std::string& line) {
    std::vector<std::string> out;
    std::istringstream in(line);
    for (std::string f; std::getline(in, f, '\t');)
        out.push_back(f == "<empty>" ? "" : f);
    return out;
}

TEST(Crc, CalculatorCases) {
    std::ifstream in(std::string(TEST_DATA_DIR) + "/tools/crc_cases.tsv");
    std::string line;
    int rows = 0;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#')
            continue;
        std::vector<std::string> f = Fields(line);
        ASSERT_EQ(f.size(), 6u) << line;
        SCOPED_TRACE(line);
        bool reflected = f[1] == "1";
        std::string message = f[4];
        if (message.starts_with("hex:")) {
            std::string list = message.substr(4);
            std::vector<uint8_t> bytes(list.size());
            bytes.resize(size_t(text::ParseHexBytes(list, bytes.data(), int32_t(bytes.size()))));
            message.assign(bytes.begin(), bytes.end());
        }
        tools::CrcPolynomial p = tools::ParseCrcCoefficients(f[0], reflected);
        std::string got;
        if (p.outcome == tools::CrcPolynomial::Message) {
            got = "msg " + std::to_string(p.message);
        } else if (p.outcome == tools::CrcPolynomial::Nothing) {
            got = "nothing";
        } else {
            tools::CrcRegister crc(p.order, p.polynomial, reflected, tools::ParseHexField(f[2]));
            crc.Update(reinterpret_cast<const uint8_t*>(message.data()), message.size());
            got = tools::FormatCrc(crc.Value(), p.order, true) + " " +
                  tools::FormatCrc(crc.WithFinalXor(tools::ParseCrcFinalXor(f[3])), p.order, true);
        }
        EXPECT_EQ(got, f[5]);
        ++rows;
    }
    EXPECT_GE(rows, 20);
}

TEST(Crc, PolynomialsAndTheirText) {
    tools::CrcPolynomial p = tools::ParseCrcCoefficients("16,15,2,0", false);
    EXPECT_EQ(p.polynomial, 0x8005u);
    EXPECT_EQ(tools::ParseCrcCoefficients("16,15,2,0", true).polynomial, 0xa001u);
    EXPECT_EQ(tools::CrcCoefficientText(16, 0x8005), "16,15,2,0");
    EXPECT_EQ(
        tools::ParseCrcCoefficients(tools::CrcCoefficientText(32, 0x04c11db7), false).polynomial,
        0x04c11db7u);
    EXPECT_EQ(tools::FormatCrc(0xbeef, 16, false), "beef");
    EXPECT_EQ(tools::FormatCrc(0xbeef, 32, true), "0000BEEF");
}

// The calculator's algorithm exactly as it is described: the raw register,
// its table per order and bit order, then the mask for order 16.
uint32_t LiteralCrc(int order, uint32_t poly, bool reflected, uint32_t initial, const uint8_t* data,
                    size_t len) {
    uint32_t table[256];
    for (uint32_t i = 0; i < 256; ++i) {
        uint32_t r = 0;
        if (reflected) {
            uint32_t v = i;
            for (int k = 0; k < 8; ++k, v >>= 1)
                r = ((r ^ v) & 1) ? (r >> 1) ^ poly : r >> 1;
        } else {
            uint32_t top = order == 16 ? 0x8000u : 0x80000000u;
            uint32_t v = i << (order - 8);
            for (int k = 0; k < 8; ++k, v <<= 1)
                r = ((r ^ v) & top) ? (r << 1) ^ poly : r << 1;
        }
        table[i] = r;
    }
    uint32_t r = initial;
    int s = order == 16 ? 8 : 24;
    for (size_t i = 0; i < len; ++i)
        r = reflected ? (r >> 8) ^ table[(r ^ data[i]) & 0xff]
                      : (r << 8) ^ table[((r >> s) ^ data[i]) & 0xff];
    return order == 16 ? r & 0xffff : r;
}

TEST(Crc, EveryMethodMatchesTheCalculatorsAlgorithm) {
    unsigned seed = std::random_device{}();
    std::mt19937 rng(seed);
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::vector<uint8_t> data(20000);
    for (uint8_t& b : data)
        b = uint8_t(rng());
    const tools::CrcMethod methods[] = {tools::CrcMethod::Bytewise, tools::CrcMethod::Sliced,
                                        tools::CrcMethod::Folded, tools::CrcMethod::Best};
    for (int round = 0; round < 200; ++round) {
        int order = round % 2 ? 16 : 32;
        bool reflected = (round / 2) % 2;
        uint32_t poly = uint32_t(rng()) | 1;
        if (order == 16)
            poly &= 0xffff;
        uint32_t initial = uint32_t(rng()); // upper bits kept for order 16 too
        size_t offset = rng() % 16;
        size_t len = round < 20 ? size_t(round) * 13 : rng() % (data.size() - 16);
        uint32_t expected = LiteralCrc(order, poly, reflected, initial, data.data() + offset, len);
        for (tools::CrcMethod m : methods) {
            tools::CrcRegister crc(order, poly, reflected, initial);
            crc.Update(data.data() + offset, len, m);
            EXPECT_EQ(crc.Value(), expected)
                << "method " << int(m) << " order " << order << " reflected " << reflected
                << " poly " << poly << " init " << initial << " len " << len;
        }
        // Chunked, with the methods taking turns, as a run's steps would.
        tools::CrcRegister crc(order, poly, reflected, initial);
        for (size_t done = 0, k = 0; done < len; ++k) {
            size_t n = std::min<size_t>(len - done, rng() % 300);
            crc.Update(data.data() + offset + done, n, methods[k % 4]);
            done += n;
        }
        EXPECT_EQ(crc.Value(), expected) << "chunked, len " << len;
    }
}

} // namespace
