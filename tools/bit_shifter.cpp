#include "tools/bit_shifter.h"

#include <bit>
#include <cctype>
#include <cstdio>

namespace tools {

int FeedbackBit(uint32_t value, uint32_t taps) {
    return std::popcount(value & taps) & 1;
}

uint32_t ShiftRight(uint32_t value, ShiftType type) {
    switch (type) {
    case ShiftType::Rotate:
        return (value >> 1) | (value << 31);
    case ShiftType::Arithmetic:
        return (value >> 1) | (value & 0x80000000u);
    case ShiftType::Logical:
        return value >> 1;
    case ShiftType::Feedback:
        break;
    }
    return value;
}

uint32_t ShiftLeft(uint32_t value, ShiftType type, int feedbackBit) {
    switch (type) {
    case ShiftType::Rotate:
        return (value << 1) | (value >> 31);
    case ShiftType::Arithmetic:
    case ShiftType::Logical:
        return value << 1;
    case ShiftType::Feedback:
        return (value << 1) | static_cast<uint32_t>(feedbackBit & 1);
    }
    return value;
}

uint32_t ParseLoadValue(const std::string& text) {
    size_t i = 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i])))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X') &&
        i + 2 < text.size() && std::isxdigit(static_cast<unsigned char>(text[i + 2])))
        i += 2;
    uint64_t value = 0;
    bool overflow = false;
    for (; i < text.size() && std::isxdigit(static_cast<unsigned char>(text[i])); ++i) {
        const char c = static_cast<char>(std::tolower(static_cast<unsigned char>(text[i])));
        value = value * 16 + static_cast<uint64_t>(c <= '9' ? c - '0' : c - 'a' + 10);
        if (value > 0xFFFFFFFFu)
            overflow = true;
    }
    // An overflow saturates before the sign applies, as the C library's
    // unsigned conversion does.
    uint32_t result = overflow ? 0xFFFFFFFFu : static_cast<uint32_t>(value);
    return negative && !overflow ? 0u - result : result;
}

std::string ByteText(uint32_t value, int index, bool upperCase) {
    char buf[8];
    std::snprintf(buf, sizeof buf, upperCase ? "%02X" : "%02x",
                  static_cast<unsigned>((value >> (8 * index)) & 0xFF));
    return buf;
}

std::string WordText(uint32_t value, bool high, bool upperCase) {
    char buf[8];
    std::snprintf(buf, sizeof buf, upperCase ? "%04X" : "%04x",
                  static_cast<unsigned>(high ? value >> 16 : value & 0xFFFF));
    return buf;
}

std::string RegisterText(uint32_t value, bool upperCase) {
    return WordText(value, true, upperCase) + " " + WordText(value, false, upperCase);
}

} // namespace tools
