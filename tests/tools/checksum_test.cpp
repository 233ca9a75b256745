// The checksum: the calculator's cases, per-range padding through the range
// reader, the final XOR and display widths.
#include "tools/checksum.h"
#include "tools/input_ranges.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// The checksum of bytes with an ignore text, chunked by the range reader.
uint64_t SumOf(const std::vector<uint8_t>& bytes, int width, bool swap, std::string_view pad,
               std::string_view ignore = "") {
    tools::MemorySource source(bytes.data(), bytes.size());
    tools::RangeReader reader(source, tools::BuildIncludedRanges(ignore, bytes.size()),
                              bytes.size(), tools::RangeReader::ShortReads::Fail);
    tools::Checksum sum(width, swap, tools::ParseChecksumPad(pad));
    for (auto c = reader.Next(); c.status == c.Data; c = reader.Next())
        sum.AddChunk(c.bytes, c.size);
    return sum.Sum();
}

TEST(Checksum, CalculatorCases) {
    const std::vector<uint8_t> b123 = {1, 2, 3};
    const struct {
        std::vector<uint8_t> bytes;
        int width;
        bool swap;
        const char* pad;
        const char* ignore;
        const char* finalXor;
        const char* sum;   // shown in upper case
        const char* after; // after the final XOR
    } rows[] = {
        {b123, 2, false, "0", "", "", "0204", "0204"},
        {b123, 2, true, "0", "", "", "0402", "0402"},
        {b123, 2, false, "FF", "", "", "0104", "0104"}, // 0201 + FF03, carry dropped
        {{1, 2, 3, 4, 5}, 4, false, "00", "", "", "04030206", "04030206"},
        {{0xff, 0xff}, 1, false, "", "", "FF", "FE", "01"},
        {{0xff, 0xff}, 1, true, "", "", "", "FE", "FE"}, // swap means nothing for bytes
        {{1, 2, 3, 4}, 4, false, "", "", "-1", "04030201", "FBFCFDFE"},
        {{0xff, 0xff, 0xff, 0xff, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0},
         8,
         false,
         "",
         "",
         "",
         "0000000100000000",
         "0000000100000000"}, // carry into the high half
        {{0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 2, 0, 0, 0, 0, 0, 0, 0},
         8,
         false,
         "",
         "",
         "o7",
         "0000000000000001",
         "0000000000000006"}, // carry out of 64 bits dropped
        // Ignoring byte 2 of 01 02 03 04 05 leaves the pieces 01 02 and 04 05; under Two
        // Bytes with pad EE each odd piece gets its own pad byte.
        {{1, 2, 3, 4, 5}, 2, false, "EE", "2", "", "0705", "0705"},
        {{1, 2, 3, 4, 5}, 2, false, "EE", "1, 3", "", "CA09", "CA09"}, // 01, 03, 05 padded
        {{1, 2, 3}, 2, false, "1FF", "", "zz", "0104", "0104"}, // pad low byte; bad xor ignored
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(std::string("width ") + std::to_string(r.width) + " pad '" + r.pad +
                     "' ignore '" + r.ignore + "'");
        uint64_t sum = SumOf(r.bytes, r.width, r.swap, r.pad, r.ignore);
        EXPECT_EQ(tools::FormatChecksum(sum, r.width, true), r.sum);
        EXPECT_EQ(
            tools::FormatChecksum(sum ^ tools::ParseChecksumFinalXor(r.finalXor), r.width, true),
            r.after);
    }
}

TEST(Checksum, LongRunsMatchAUnitByUnitSum) {
    std::vector<uint8_t> bytes(100003);
    for (size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = uint8_t(i * 131 + (i >> 8));
    for (int width : {1, 2, 4, 8})
        for (bool swap : {false, true}) {
            uint64_t expected = 0;
            for (size_t i = 0; i < bytes.size(); i += size_t(width)) {
                uint64_t unit = 0;
                for (int k = 0; k < width; ++k) {
                    uint8_t b = i + size_t(k) < bytes.size() ? bytes[i + size_t(k)] : 0x5a;
                    int shift = swap ? 8 * (width - 1 - k) : 8 * k;
                    unit |= uint64_t(b) << shift;
                }
                expected += unit;
            }
            EXPECT_EQ(SumOf(bytes, width, swap, "5a"), expected)
                << "width " << width << " swap " << swap;
        }
}

TEST(Checksum, WidthTypesAndFormats) {
    EXPECT_EQ(tools::ChecksumWidthOfType(0), 1);
    EXPECT_EQ(tools::ChecksumWidthOfType(3), 8);
    EXPECT_EQ(tools::ChecksumWidthOfType(7), 4);
    EXPECT_EQ(tools::FormatChecksum(0x1234567890abcdefull, 2, false), "cdef");
    EXPECT_EQ(tools::FormatChecksum(0x1234567890abcdefull, 8, true), "1234567890ABCDEF");
}

} // namespace
