// The two generators without a window: a pseudo-random number of a chosen
// bit count, optionally seeded, and a random probable prime of a chosen bit
// length, both as hex byte lists, over MPA_GenRandomBits and
// MPA_MillerRabinSearch.
#pragma once

#include <cstdint>
#include <string>

namespace tools {

enum class SeedType { None = 0, Ascii = 1, Hex = 2 };

struct GeneratorResult {
    bool ok = false;
    int message = 0;  // string id when not ok and something must be said
    std::string list; // the number, "%02x " per byte, when ok
};

// The smallest bit counts the generators work with: a random number has at
// least one byte, and the prime search accepts no fewer than 9 bits (a
// one-byte prime cannot lie above its lower bound of 1999).
inline constexpr int kMinRandomBits = 8;
inline constexpr int kMinPrimeBits = 9;

// A random number of ceil(bits / 8) bytes, every bit random; bits below 8
// count as 8. The buffer (ceil(bits / 8) + 8 bytes, more when the seed is
// longer) starts with the seed's bytes, which the provider takes as extra
// seed input: a Hex Text seed as its hex byte list (2005 "Invalid
// initialization data." when it is not hexadecimal), an ASCII Text seed as
// the bytes of its text. An empty seed text seeds nothing.
//   GenerateRandomNumber(12, SeedType::None, "").list has 2 bytes
GeneratorResult GenerateRandomNumber(int bits, SeedType seedType, const std::string& seedText);

// The seed's buffer bytes as the generator places them (empty for None or an
// empty text); nothing when a Hex Text seed is not hexadecimal.
bool SeedBytes(SeedType seedType, const std::string& seedText, std::string& bytes);

// A random probable prime with testCount Miller-Rabin rounds, of
// ceil(bits / 8) bytes after bits is raised to at least 9.
GeneratorResult GenerateRandomPrime(int bits, int testCount);

} // namespace tools
