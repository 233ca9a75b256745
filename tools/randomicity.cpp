#include "tools/randomicity.h"

#include <algorithm>
#include <cstdio>

namespace tools {

RandomicityCounts CountRandomicity(const uint8_t* bytes, size_t count) {
    RandomicityCounts c;
    if (!bytes || count == 0)
        return c;
    c.bytes = static_cast<int32_t>(count);
    c.bits = static_cast<int32_t>(count * 8);
    int previous = -1;
    int32_t run = 0;
    auto closeRun = [&c](int bit, int32_t length) {
        if (bit == 1)
            c.longestOnes = std::max(c.longestOnes, length);
        else
            c.longestZeros = std::max(c.longestZeros, length);
    };
    for (size_t i = 0; i < count; ++i) {
        for (int b = 7; b >= 0; --b) {
            const int bit = (bytes[i] >> b) & 1;
            if (bit)
                ++c.ones;
            else
                ++c.zeros;
            if (previous < 0) {
                run = 1;
            } else if (bit == previous) {
                ++run;
            } else {
                // A finished run of 1 bits is a "10" place, of 0 bits a "01".
                if (previous == 1)
                    ++c.ones10;
                else
                    ++c.zeros01;
                closeRun(previous, run);
                run = 1;
            }
            previous = bit;
        }
    }
    // The final run counts for the longest runs only.
    closeRun(previous, run);
    c.onesPercent = c.ones * 100.0 / c.bits;
    c.zerosPercent = c.zeros * 100.0 / c.bits;
    return c;
}

std::string PercentText(double percent) {
    char buf[48];
    std::snprintf(buf, sizeof buf, "(%4.2f %%)", percent);
    return buf;
}

std::vector<std::pair<std::string, std::string>> RandomicityLines(const RandomicityCounts& c) {
    auto n = [](int32_t v) { return std::to_string(v); };
    return {
        {"Number of bytes:", n(c.bytes)},
        {"Number of bits:", n(c.bits)},
        {"Number of bit 1:", n(c.ones) + " " + PercentText(c.onesPercent)},
        {"Number of bit 0:", n(c.zeros) + " " + PercentText(c.zerosPercent)},
        {"Longest run of bit 1:", n(c.longestOnes)},
        {"Longest run of bit 0:", n(c.longestZeros)},
        {"Longest run of bits 10:", n(c.ones10)},
        {"Longest run of bits 01:", n(c.zeros01)},
    };
}

} // namespace tools
