#include "tools/checksum.h"

#include "text/integer_literal.h"
#include "tools/input_ranges.h"

#include <bit>
#include <cctype>
#include <cstdio>
#include <cstring>

namespace tools {
namespace {

std::string_view Trim(std::string_view s) {
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front())))
        s.remove_prefix(1);
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back())))
        s.remove_suffix(1);
    return s;
}

// Whole units of one width and byte order; simple loops the compiler
// vectorises.
template <class Unit, bool kSwap> uint64_t SumUnits(const uint8_t* p, size_t units) {
    uint64_t sum = 0;
    for (size_t i = 0; i < units; ++i) {
        Unit u;
        std::memcpy(&u, p + i * sizeof(Unit), sizeof(Unit));
        if constexpr (kSwap && sizeof(Unit) == 2)
            u = __builtin_bswap16(u);
        else if constexpr (kSwap && sizeof(Unit) == 4)
            u = __builtin_bswap32(u);
        else if constexpr (kSwap && sizeof(Unit) == 8)
            u = __builtin_bswap64(u);
        sum += u;
    }
    return sum;
}

template <class Unit> uint64_t SumUnits(const uint8_t* p, size_t units, bool swap) {
    return swap ? SumUnits<Unit, true>(p, units) : SumUnits<Unit, false>(p, units);
}

} // namespace

Checksum::Checksum(int width, bool swap, uint8_t pad)
    : width_(width == 1 || width == 2 || width == 8 ? width : 4), swap_(swap && width != 1),
      pad_(pad) {}

void Checksum::AddChunk(const uint8_t* data, size_t len) {
    static_assert(std::endian::native == std::endian::little);
    size_t whole = len / size_t(width_);
    switch (width_) {
    case 1:
        sum_ += SumUnits<uint8_t>(data, whole, false);
        break;
    case 2:
        sum_ += SumUnits<uint16_t>(data, whole, swap_);
        break;
    case 4:
        sum_ += SumUnits<uint32_t>(data, whole, swap_);
        break;
    default:
        sum_ += SumUnits<uint64_t>(data, whole, swap_);
        break;
    }
    size_t rest = len - whole * size_t(width_);
    if (rest != 0) {
        uint8_t unit[8];
        std::memset(unit, pad_, sizeof unit);
        std::memcpy(unit, data + whole * size_t(width_), rest);
        switch (width_) {
        case 2:
            sum_ += SumUnits<uint16_t>(unit, 1, swap_);
            break;
        case 4:
            sum_ += SumUnits<uint32_t>(unit, 1, swap_);
            break;
        default:
            sum_ += SumUnits<uint64_t>(unit, 1, swap_);
            break;
        }
    }
}

int ChecksumWidthOfType(int widthType) {
    switch (widthType) {
    case 0:
        return 1;
    case 1:
        return 2;
    case 3:
        return 8;
    default:
        return 4;
    }
}

uint8_t ParseChecksumPad(std::string_view text) {
    std::string_view s = Trim(text);
    return s.empty() ? 0 : uint8_t(ParseHexField(s));
}

uint64_t ParseChecksumFinalXor(std::string_view text) {
    std::string_view s = Trim(text);
    if (s.empty())
        return 0;
    std::optional<int64_t> v = text::ParseIntegerLiteral(s, text::Hexadecimal);
    return v ? uint64_t(*v) : 0;
}

std::string FormatChecksum(uint64_t value, int width, bool upperCase) {
    char buf[24];
    int digits = 2 * width;
    if (width < 8)
        value &= (uint64_t(1) << (8 * width)) - 1;
    std::snprintf(buf, sizeof buf, upperCase ? "%0*llX" : "%0*llx", digits,
                  static_cast<unsigned long long>(value));
    return buf;
}

} // namespace tools
