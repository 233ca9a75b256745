// A small value type over the word kernels, for the algorithms above them
// (gcd, roots, primality). Always normalised: no high zero limbs; zero is
// the empty vector. Allocation failure throws std::bad_alloc, which the
// exported functions turn into their failure result.
#pragma once

#include "mpa/guard.h"
#include "mpa/limb.h"

#include <cstdint>
#include <vector>

namespace mpa {

class Natural {
public:
    using limb_t = limb::limb_t;

    Natural() = default;
    explicit Natural(uint64_t v) {
        if (v)
            d_.push_back(v);
    }
    // Reads len big-endian bytes; len <= 0 or a null pointer gives zero.
    static Natural FromBytes(const uint8_t* bytes, int64_t len);
    // Takes a limb vector (high zero limbs allowed).
    static Natural FromLimbs(std::vector<limb_t> limbs) {
        Natural r;
        r.d_ = std::move(limbs);
        r.Normalize();
        return r;
    }

    bool IsZero() const { return d_.empty(); }
    bool IsOdd() const { return !d_.empty() && (d_[0] & 1); }
    bool IsOne() const { return d_.size() == 1 && d_[0] == 1; }
    uint64_t Low() const { return d_.empty() ? 0 : d_[0]; }
    size_t BitLength() const { return limb::BitLength(d_.data(), d_.size()); }
    bool Bit(size_t i) const { return i / 64 < d_.size() && ((d_[i / 64] >> (i % 64)) & 1); }
    // Number of trailing zero bits; 0 for zero.
    size_t TrailingZeros() const {
        for (size_t i = 0; i < d_.size(); ++i)
            if (d_[i])
                return i * 64 + static_cast<size_t>(__builtin_ctzll(d_[i]));
        return 0;
    }
    // Bytes without leading zeros; 0 for zero.
    size_t ByteLength() const { return (BitLength() + 7) / 8; }
    // Writes exactly len big-endian bytes (the value must fit).
    void ToBytes(uint8_t* out, size_t len) const;
    // Writes the value without leading zero bytes, zero as the single byte 00;
    // returns the length written.
    int32_t WriteMinimal(uint8_t* out) const;
    // Length WriteMinimal would write.
    int32_t MinimalLength() const { return IsZero() ? 1 : static_cast<int32_t>(ByteLength()); }

    const std::vector<limb_t>& limbs() const { return d_; }
    size_t size() const { return d_.size(); }

    friend int Compare(const Natural& a, const Natural& b);
    friend bool operator==(const Natural& a, const Natural& b) { return a.d_ == b.d_; }
    friend Natural operator+(const Natural& a, const Natural& b);
    // a - b for a >= b.
    friend Natural operator-(const Natural& a, const Natural& b);
    friend Natural operator*(const Natural& a, const Natural& b);
    friend Natural operator>>(const Natural& a, size_t bits);
    friend Natural operator<<(const Natural& a, size_t bits);
    // Quotient and remainder; b non-zero.
    friend void DivMod(const Natural& a, const Natural& b, Natural* q, Natural* r);
    friend Natural operator%(const Natural& a, const Natural& b);
    friend Natural operator/(const Natural& a, const Natural& b);
    // a mod 2^bits.
    Natural LowBits(size_t bits) const;
    // a mod d for a small divisor.
    uint64_t ModSmall(const limb::Divisor1& d) const { return limb::Mod1(d_.data(), d_.size(), d); }

private:
    void Normalize() { d_.resize(limb::Normalized(d_.data(), d_.size())); }
    std::vector<limb_t> d_;
};

int Compare(const Natural& a, const Natural& b);
void DivMod(const Natural& a, const Natural& b, Natural* q, Natural* r);

// b^e mod m for non-zero m (1 for e = 0 unless m = 1).
Natural PowMod(const Natural& b, const Natural& e, const Natural& m);

} // namespace mpa
