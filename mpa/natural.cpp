#include "mpa/natural.h"

#include <algorithm>
#include <cassert>

namespace mpa {

using limb::limb_t;

Natural Natural::FromBytes(const uint8_t* bytes, int64_t len) {
    Natural r;
    if (!bytes || len <= 0)
        return r;
    r.d_.resize(limb::LimbsForBytes(static_cast<size_t>(len)));
    limb::FromBytes(r.d_.data(), bytes, static_cast<size_t>(len));
    r.Normalize();
    return r;
}

void Natural::ToBytes(uint8_t* out, size_t len) const {
    limb::ToBytes(out, len, d_.data(), d_.size());
}

int32_t Natural::WriteMinimal(uint8_t* out) const {
    if (IsZero()) {
        out[0] = 0;
        return 1;
    }
    size_t len = ByteLength();
    ToBytes(out, len);
    return static_cast<int32_t>(len);
}

int Compare(const Natural& a, const Natural& b) {
    return limb::CmpN(a.d_.data(), a.d_.size(), b.d_.data(), b.d_.size());
}

Natural operator+(const Natural& a, const Natural& b) {
    const Natural& x = a.size() >= b.size() ? a : b;
    const Natural& y = a.size() >= b.size() ? b : a;
    Natural r;
    r.d_.resize(x.size() + 1);
    r.d_[x.size()] = limb::Add(r.d_.data(), x.d_.data(), x.size(), y.d_.data(), y.size());
    r.Normalize();
    return r;
}

Natural operator-(const Natural& a, const Natural& b) {
    assert(Compare(a, b) >= 0 && "negative difference");
    Natural r;
    r.d_.resize(a.size());
    limb::Sub(r.d_.data(), a.d_.data(), a.size(), b.d_.data(), b.size());
    r.Normalize();
    return r;
}

Natural operator*(const Natural& a, const Natural& b) {
    Natural r;
    if (a.IsZero() || b.IsZero())
        return r;
    r.d_.resize(a.size() + b.size());
    if (&a == &b || a.d_ == b.d_)
        limb::Sqr(r.d_.data(), a.d_.data(), a.size());
    else if (a.size() >= b.size())
        limb::Mul(r.d_.data(), a.d_.data(), a.size(), b.d_.data(), b.size());
    else
        limb::Mul(r.d_.data(), b.d_.data(), b.size(), a.d_.data(), a.size());
    r.Normalize();
    return r;
}

Natural operator>>(const Natural& a, size_t bits) {
    Natural r;
    size_t whole = bits / 64;
    if (whole >= a.size())
        return r;
    r.d_.assign(a.d_.begin() + static_cast<std::ptrdiff_t>(whole), a.d_.end());
    if (bits % 64)
        limb::RShift(r.d_.data(), r.d_.data(), r.size(), static_cast<unsigned>(bits % 64));
    r.Normalize();
    return r;
}

Natural operator<<(const Natural& a, size_t bits) {
    Natural r;
    if (a.IsZero())
        return r;
    size_t whole = bits / 64;
    r.d_.assign(whole + a.size() + 1, 0);
    std::copy(a.d_.begin(), a.d_.end(), r.d_.begin() + static_cast<std::ptrdiff_t>(whole));
    if (bits % 64)
        r.d_[whole + a.size()] = limb::LShift(r.d_.data() + whole, r.d_.data() + whole, a.size(),
                                              static_cast<unsigned>(bits % 64));
    r.Normalize();
    return r;
}

Natural Natural::LowBits(size_t bits) const {
    Natural r;
    size_t n = (bits + 63) / 64;
    r.d_.assign(d_.begin(), d_.begin() + static_cast<std::ptrdiff_t>(std::min(n, d_.size())));
    if (bits % 64 && r.size() == n)
        r.d_[n - 1] &= (limb_t{1} << (bits % 64)) - 1;
    r.Normalize();
    return r;
}

void DivMod(const Natural& a, const Natural& b, Natural* q, Natural* r) {
    assert(!b.IsZero() && "division by zero");
    if (Compare(a, b) < 0) {
        if (r)
            *r = a;
        if (q)
            *q = Natural();
        return;
    }
    Natural qq, rr;
    qq.d_.resize(a.size() - b.size() + 1);
    rr.d_.resize(b.size());
    limb::DivRem(qq.d_.data(), rr.d_.data(), a.d_.data(), a.size(), b.d_.data(), b.size());
    qq.Normalize();
    rr.Normalize();
    if (q)
        *q = std::move(qq);
    if (r)
        *r = std::move(rr);
}

Natural operator%(const Natural& a, const Natural& b) {
    Natural r;
    DivMod(a, b, nullptr, &r);
    return r;
}

Natural operator/(const Natural& a, const Natural& b) {
    Natural q;
    DivMod(a, b, &q, nullptr);
    return q;
}

namespace {

// b^e mod m through the word kernels' exponentiation; m must be non-zero.
Natural PowModWords(const Natural& b, const Natural& e, const Natural& m) {
    const size_t n = m.size();
    Natural base = Compare(b, m) < 0 ? b : b % m;
    std::vector<limb_t> bl(n, 0), r(n);
    std::copy(base.limbs().begin(), base.limbs().end(), bl.begin());
    const auto& el = e.limbs();
    limb::PowMod(r.data(), bl.data(), el.data(), el.size(), m.limbs().data(), n);
    return Natural::FromLimbs(std::move(r));
}

// b^e mod 2^t, t >= 1, by squaring and multiplying on the low t bits.
Natural PowModPowerOfTwo(const Natural& b, const Natural& e, size_t t) {
    Natural x = b.LowBits(t);
    // An even base vanishes once the exponent reaches t.
    if (!x.IsOdd() && (e.BitLength() > 64 || e.Low() >= t))
        return Natural();
    if (t <= 64) {
        const limb_t mask = t == 64 ? ~limb_t{0} : (limb_t{1} << t) - 1;
        limb_t xw = x.Low(), rw = 1;
        for (size_t i = e.BitLength(); i-- > 0;) {
            rw *= rw;
            if (e.Bit(i))
                rw *= xw;
        }
        return Natural(rw & mask);
    }
    Natural r(1);
    for (size_t i = e.BitLength(); i-- > 0;) {
        r = (r * r).LowBits(t);
        if (e.Bit(i))
            r = (r * x).LowBits(t);
    }
    return r.LowBits(t);
}

// The inverse of an odd m modulo 2^t: Newton's iteration doubles the correct
// low bits each step, starting from the inverse modulo 2^64.
Natural InversePowerOfTwo(const Natural& m, size_t t) {
    limb_t w = m.Low();
    limb_t inv = w;
    for (int i = 0; i < 6; ++i)
        inv *= 2 - w * inv;
    Natural x = Natural(inv).LowBits(t);
    const Natural one(1), two(2);
    for (size_t bits = 64; bits < t; bits *= 2) {
        // x = x (2 - m x) mod 2^t, written without a negative value.
        Natural mx = (m * x).LowBits(t);
        Natural factor = ((Natural(1) << t) + two - mx).LowBits(t);
        x = (x * factor).LowBits(t);
    }
    return x;
}

} // namespace

Natural PowMod(const Natural& b, const Natural& e, const Natural& m) {
    assert(!m.IsZero());
    if (m.IsOdd())
        return PowModWords(b, e, m);
    // An even m = 2^t mo: the power modulo the odd mo (Montgomery) and
    // modulo 2^t, joined by the Chinese remainder theorem:
    // x = x1 + mo ((x2 - x1) mo^-1 mod 2^t).
    const size_t t = m.TrailingZeros();
    const Natural mo = m >> t;
    if (e.IsZero())
        return m.IsOne() ? Natural() : Natural(1);
    Natural x2 = PowModPowerOfTwo(b, e, t);
    if (mo.IsOne())
        return x2;
    Natural x1 = PowModWords(b, e, mo);
    Natural diff = (x2 + (Natural(1) << t) - x1.LowBits(t)).LowBits(t);
    Natural h = (diff * InversePowerOfTwo(mo, t)).LowBits(t);
    return x1 + mo * h;
}

} // namespace mpa
