// The four number systems an operand box can show, by the codes stored in the
// settings, and their radixes.
#pragma once

namespace text {

enum NumberSystem : int { Hexadecimal = 0, Decimal = 1, Octal = 2, Binary = 3 };

// 16, 10, 8 or 2; 0 for a code that is not a number system.
constexpr int RadixOf(NumberSystem system) {
    switch (system) {
    case Hexadecimal:
        return 16;
    case Decimal:
        return 10;
    case Octal:
        return 8;
    case Binary:
        return 2;
    }
    return 0;
}

// True for the four codes above.
constexpr bool IsNumberSystem(int code) {
    return code >= Hexadecimal && code <= Binary;
}

} // namespace text
