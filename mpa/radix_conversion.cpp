#include "mpa/radix_conversion.h"

#include "mpa/tuning.h"

#include <vector>

namespace mpa {
namespace {

using limb::limb_t;

constexpr limb_t kChunk = 10000000000000000000ull; // 10^19, the largest power below 2^64
constexpr size_t kChunkDigits = 19;

// 10^(19 * 2^k) for k = 0, 1, ... until the last one exceeds `limit`.
std::vector<Natural> PowersUpTo(size_t limitBits) {
    std::vector<Natural> powers{Natural(kChunk)};
    while (powers.back().BitLength() * 2 <= limitBits + 64)
        powers.push_back(powers.back() * powers.back());
    return powers;
}

// Appends v's digits, padded with leading zeros to `width` when width > 0,
// by one pass per 19 digits.
void ToDigitsBase(const Natural& v, size_t width, std::string& out) {
    std::vector<limb_t> n = v.limbs();
    size_t size = n.size();
    std::vector<limb_t> chunks;
    const limb::Divisor1 chunk(kChunk);
    while (size > 0) {
        chunks.push_back(limb::DivRem1(n.data(), n.data(), size, chunk));
        size = limb::Normalized(n.data(), size);
    }
    std::string digits;
    char buf[kChunkDigits];
    for (size_t i = chunks.size(); i-- > 0;) {
        limb_t c = chunks[i];
        for (size_t d = kChunkDigits; d-- > 0;) {
            buf[d] = static_cast<char>('0' + c % 10);
            c /= 10;
        }
        digits.append(buf, kChunkDigits);
    }
    size_t lead = digits.find_first_not_of('0');
    digits.erase(0, lead == std::string::npos ? digits.size() : lead);
    if (width > digits.size())
        out.append(width - digits.size(), '0');
    out += digits;
}

void ToDigits(const Natural& v, const std::vector<Natural>& powers, size_t k, size_t width,
              std::string& out) {
    if (v.size() < tuning::g_thresholds.radixRecursiveLimbs || v.size() < 2) {
        ToDigitsBase(v, width, out);
        return;
    }
    // The largest power not above v: then v / 10^(19 * 2^k) < 10^(19 * 2^k).
    while (k > 0 && Compare(powers[k], v) > 0)
        --k;
    if (Compare(powers[k], v) > 0) {
        ToDigitsBase(v, width, out);
        return;
    }
    const size_t lowDigits = kChunkDigits << k;
    Natural q, r;
    DivMod(v, powers[k], &q, &r);
    ToDigits(q, powers, k, width > lowDigits ? width - lowDigits : 0, out);
    ToDigits(r, powers, k, lowDigits, out);
}

// Horner's rule over chunks of 19 digits.
Natural FromDigitsBase(std::string_view digits) {
    std::vector<limb_t> n;
    n.reserve(digits.size() / kChunkDigits + 1);
    size_t head = digits.size() % kChunkDigits ? digits.size() % kChunkDigits : kChunkDigits;
    for (size_t at = 0; at < digits.size();) {
        size_t len = at == 0 ? head : kChunkDigits;
        limb_t value = 0, scale = 1;
        for (size_t i = 0; i < len; ++i) {
            value = value * 10 + static_cast<limb_t>(digits[at + i] - '0');
            scale *= 10;
        }
        limb_t carry = n.empty() ? value : 0;
        if (!n.empty()) {
            // n = n * scale + value
            carry = limb::Mul1(n.data(), n.data(), n.size(), scale);
            carry += limb::Add1(n.data(), n.data(), n.size(), value);
        }
        if (carry)
            n.push_back(carry);
        at += len;
    }
    return Natural::FromLimbs(std::move(n));
}

Natural FromDigits(std::string_view digits, const std::vector<Natural>& powers) {
    if (digits.size() < tuning::g_thresholds.radixRecursiveLimbs * kChunkDigits ||
        digits.size() <= kChunkDigits)
        return FromDigitsBase(digits);
    // Split off the largest block of 19 * 2^k digits shorter than the string.
    size_t k = 0;
    while (k + 1 < powers.size() && (kChunkDigits << (k + 1)) < digits.size())
        ++k;
    const size_t lowDigits = kChunkDigits << k;
    std::string_view high = digits.substr(0, digits.size() - lowDigits);
    std::string_view low = digits.substr(digits.size() - lowDigits);
    return FromDigits(high, powers) * powers[k] + FromDigits(low, powers);
}

} // namespace

std::string ToDecimalDigits(const Natural& v) {
    if (v.IsZero())
        return "0";
    std::string out;
    out.reserve(v.BitLength() * 30103 / 100000 + 2);
    std::vector<Natural> powers = PowersUpTo(v.BitLength());
    ToDigits(v, powers, powers.size() - 1, 0, out);
    return out;
}

Natural FromDecimalDigits(std::string_view digits) {
    // 10^d < 2^(3.33 d): powers up to about half the value suffice.
    std::vector<Natural> powers = PowersUpTo(digits.size() * 3322 / 1000 / 2 + 64);
    return FromDigits(digits, powers);
}

} // namespace mpa
