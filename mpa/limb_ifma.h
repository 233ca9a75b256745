// Products and Montgomery arithmetic on 52-bit digits for x86-64 processors
// with AVX-512 IFMA: vpmadd52luq/vpmadd52huq multiply eight pairs of 52-bit
// digits per instruction, several times the throughput of mulx on 64-bit
// limbs. Chosen at run time (see cpu_features.cpp); the 64-bit products of
// limb_mul.cpp and Montgomery reducer of limb_powm.cpp are the portable twins.
#pragma once

#include "mpa/limb.h"

namespace mpa::limb::ifma {

// Whether this build has the kernels at all (x86-64 with GCC or Clang).
bool Available();

// The widest modulus or factor (in 64-bit limbs) on this path: beyond, the
// redundant digits could overflow their 64-bit lanes. The narrowest is in tuning.h.
constexpr size_t kMaxLimbs = 512;

// r[0..an+bn) = a b, an <= kMaxLimbs; r apart from a and b.
void Mul(limb_t* r, const limb_t* a, size_t an, const limb_t* b, size_t bn);

// Test hook: carries the 8 nv redundant 64-bit lanes (their value below
// 2^(416 nv)) into 52-bit digits, as every product does at its end.
void NormalizeDigits(uint64_t* lanes, size_t nv);

// Residues modulo an odd m of mn limbs, held as k digits of 52 bits in rows of
// size() words (k rounded up to whole 512-bit vectors, the rest zero), in
// Montgomery form x R mod m with R = 2^(52k) > 4m. Products are "almost"
// reduced: below 2m, which keeps every input of the next product below 2m.
// Only to be used when the CPU has AVX-512F and IFMA.
class Montgomery52 {
public:
    Montgomery52(const limb_t* m, size_t mn);
    size_t size() const { return stride_; }
    // r = a R mod m for a < m of mn limbs.
    void ToDomain(limb_t* r, const limb_t* a);
    // r (mn limbs) = a / R mod m, fully reduced.
    void FromDomain(limb_t* r, const limb_t* a);
    // r = a b / R mod 2m; r may be a or b.
    void MulMod(limb_t* r, const limb_t* a, const limb_t* b);
    void SqrMod(limb_t* r, const limb_t* a) { MulMod(r, a, a); }

    using Kernel = void (*)(uint64_t* r, const uint64_t* a, const uint64_t* b, const uint64_t* m,
                            uint64_t k0, size_t k, size_t nv);

private:
    const limb_t* m_;
    size_t mn_, k_, nv_, stride_;
    uint64_t k0_;         // -m^-1 mod 2^52
    AlignedLimbs digits_; // m in 52-bit digits
    Kernel kernel_;
};

} // namespace mpa::limb::ifma
