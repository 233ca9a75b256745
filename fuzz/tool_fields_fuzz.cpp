// The data tools' typed fields, as a user may fill them: the ignore-ranges
// text against any file size, the CRC coefficient list, and the hexadecimal
// and integer-literal fields of the CRC and checksum calculators.
#include "fuzz_expect.h"
#include "tools/checksum.h"
#include "tools/crc.h"
#include "tools/input_ranges.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>

using fuzz::Expect;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 8)
        return 0;
    uint64_t total = 0;
    std::memcpy(&total, data, 8);
    // Small sizes most of the time, so that ranges land inside the file.
    if (total & 1)
        total = (total >> 1) % 100000;
    const std::string_view text(reinterpret_cast<const char*>(data + 8), size - 8);

    // The included ranges: sorted, disjoint, non-empty, inside the file.
    const std::vector<tools::ByteRange> ranges = tools::BuildIncludedRanges(text, total);
    uint64_t end = 0;
    for (size_t i = 0; i < ranges.size(); ++i) {
        Expect(ranges[i].start < ranges[i].end, "empty range");
        Expect(ranges[i].end <= total, "range beyond the file");
        Expect(i == 0 || ranges[i].start > end, "ranges overlap or touch");
        end = ranges[i].end;
    }

    // The coefficient list: a result is a usable polynomial of order 16 or 32.
    for (bool reflected : {false, true}) {
        const tools::CrcPolynomial p = tools::ParseCrcCoefficients(text, reflected);
        if (p.outcome == tools::CrcPolynomial::Ok) {
            Expect(p.order == 16 || p.order == 32, "order");
            Expect(p.polynomial != 0, "polynomial");
            Expect(p.order == 32 || p.polynomial <= 0xffff, "16-bit polynomial");
            tools::CrcRegister crc(p.order, p.polynomial, reflected, tools::ParseHexField(text));
            crc.Update(data, size);
            Expect(p.order == 32 || crc.Value() <= 0xffff, "16-bit value");
        } else if (p.outcome == tools::CrcPolynomial::Message) {
            Expect(p.message != 0, "message without an id");
        }
    }

    // The checksum's fields never fail; only their values are used.
    tools::Checksum sum(tools::ChecksumWidthOfType(data[0] & 3), data[1] & 1,
                        tools::ParseChecksumPad(text));
    sum.AddChunk(data, size);
    (void)tools::FormatChecksum(sum.Sum() ^ tools::ParseChecksumFinalXor(text), sum.width(), true);
    return 0;
}
