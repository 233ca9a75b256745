// The randomicity counts of an operand's bits: ones and zeros, the longest
// runs of each, and how often a 1 is followed by a 0 and a 0 by a 1, with
// the texts the Statistical Results dialog and ordovane-cli stats show.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace tools {

struct RandomicityCounts {
    int32_t bytes = 0;
    int32_t bits = 0;
    int32_t ones = 0;
    int32_t zeros = 0;
    int32_t longestOnes = 0;  // longest run of 1 bits
    int32_t longestZeros = 0; // longest run of 0 bits
    int32_t ones10 = 0;       // places where a 1 is directly followed by a 0
    int32_t zeros01 = 0;      // places where a 0 is directly followed by a 1
    double onesPercent = 0;   // ones * 100 / bits (0 for no bits)
    double zerosPercent = 0;
};

// Counts over count bytes, each from its most significant bit down, the
// first byte first. No bytes give all zeros.
//   CountRandomicity({0x0F}) -> 8 bits, 4 ones, longest runs 4 and 4, 01 once
RandomicityCounts CountRandomicity(const uint8_t* bytes, size_t count);

// The dialog's lines in order, each label with its value text: "%i" for the
// counts, the two percentages as "(%4.2f %%)" after their counts.
//   {"Number of bit 1:", "4 (50.00 %)"}
std::vector<std::pair<std::string, std::string>> RandomicityLines(const RandomicityCounts& c);

// "(%4.2f %%)" of a percentage.
std::string PercentText(double percent);

} // namespace tools
