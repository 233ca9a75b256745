// The primality tests of the edit box menu on an operand's bytes: Fermat,
// Solovay-Strassen, Miller-Rabin, or all three in turn, and the verdict's
// message with its icon.
#pragma once

#include <cstdint>
#include <vector>

namespace tools {

// The kinds, as the edit box names them.
enum class PrimalityKind { General = 1, Fermat = 2, SolovayStrassen = 3, MillerRabin = 4 };

struct PrimalityVerdict {
    int result = 0;     // the last test's result: > 0 probable prime, 0 composite, < 0 error
    int message = 0;    // string id 2008 .. 2013
    bool error = false; // shown with the error icon (2013), else information
};

// Runs the test(s) with rounds rounds each on the big-endian bytes. General
// runs Fermat, then Solovay-Strassen only when Fermat passed, then
// Miller-Rabin only when that passed.
//   RunPrimalityTest(Fermat, {0x61}, 8).message == 2009 (97 is prime)
PrimalityVerdict RunPrimalityTest(PrimalityKind kind, const std::vector<uint8_t>& bytes,
                                  int rounds);

} // namespace tools
