// The CRC value calculator's engine: the coefficient parser with its
// messages, and a 16- or 32-bit CRC register in normal or bit-reflected
// order that gives exactly the calculator's results (the initial value is
// loaded unmasked, also for order 16) at the speed of slicing tables or of
// carry-less multiplication folding where the CPU has it.
#pragma once

#include "resources/ids.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace tools {

// String ids of the CRC calculator's messages.
using ids::kMsgCrcCannotOpen;
using ids::kMsgCrcCoefficientOrder;
using ids::kMsgCrcMsbNotSet;
using ids::kMsgCrcNeedFile;
using ids::kMsgCrcNeedMessage;
using ids::kMsgCrcNeedPolynomial;
using ids::kMsgCrcOrderRange;

struct CrcPolynomial {
    enum Outcome {
        Ok,      // order and polynomial are set
        Message, // show message; nothing starts
        Nothing, // the list holds only the order: nothing starts, nothing is shown
    };
    Outcome outcome = Nothing;
    int message = 0;
    int order = 0;           // 16 or 32
    uint32_t polynomial = 0; // without its top term, in the chosen bit order
};

// Reads the coefficient text ("16,15,2,0"): exponents from high to low, the
// first one the order (16 or 32); each further exponent d sets bit d, or bit
// order - d - 1 when reflected. Pieces are split at commas and read as
// decimal integers up to the first non-digit (no digits read as 0).
// ParseCrcCoefficients("16,15,2,0", false) == {Ok, 0, 16, 0x8005}; with
// reflected, 0xa001. "16" alone gives Nothing; "8,2" gives Message 2027.
CrcPolynomial ParseCrcCoefficients(std::string_view text, bool reflected);

// The coefficient text of a polynomial given in normal bit order ("16,15,2,0"
// for order 16 and 0x8005): the inverse of ParseCrcCoefficients.
std::string CrcCoefficientText(int order, uint32_t normalPolynomial);

// Which implementation runs the register. All give identical results.
enum class CrcMethod {
    Bytewise, // one table lookup per byte, as the calculator describes it
    Sliced,   // eight table lookups per eight bytes, portable
    Folded,   // carry-less multiplication folding (Sliced where the CPU lacks it)
    Best,     // Folded, unless fast paths are off (ORDOVANE_NO_FAST_PATHS=1): Sliced
};

class CrcRegister {
public:
    // order 16 or 32, polynomial as ParseCrcCoefficients gives it, the
    // initial register value as loaded (not masked, also for order 16).
    CrcRegister(int order, uint32_t polynomial, bool reflected, uint32_t initial);

    // Feeds bytes in order; any chunking gives the same result.
    void Update(const uint8_t* data, size_t len, CrcMethod method = CrcMethod::Best);

    // The register before the final XOR, masked to 16 bits for order 16
    // (the "Hex Byte CRC" field).
    uint32_t Value() const;

    // Value() XOR the final XOR value (masked to 16 bits for order 16).
    uint32_t WithFinalXor(uint32_t finalXor) const;

    int order() const { return order_; }

private:
    int order_;
    bool reflected_;
    // The register in a 32-bit form every method shares: reflected registers
    // as they are (16-bit reflected ones behave as 32-bit registers whose
    // polynomial has no upper bits, so unmasked initial bits shift down as in
    // the calculator); normal 16-bit registers are kept in the upper half
    // with the polynomial shifted to match, since their upper bits never
    // reach the result.
    uint32_t state_;
    std::shared_ptr<const struct CrcTables> tables_;
};

// The final XOR field's value: empty text (after trimming) means none (0).
uint32_t ParseCrcFinalXor(std::string_view text);

// A result as the calculator shows it: "%04x" / "%08x", or upper case.
std::string FormatCrc(uint32_t value, int order, bool upperCase);

} // namespace tools
