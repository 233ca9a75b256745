// The row kernels that have more than one implementation: the portable C++
// ones, always built, and the x86-64 BMI2/ADX ones. limb.h's wrappers call
// whichever set cpu_features.cpp selected at load time.
#pragma once

#include "mpa/limb.h"

namespace mpa::limb {

namespace portable {
limb_t Mul1(limb_t* r, const limb_t* a, size_t n, limb_t b);
limb_t AddMul1(limb_t* r, const limb_t* a, size_t n, limb_t b);
limb_t SubMul1(limb_t* r, const limb_t* a, size_t n, limb_t b);
void RedcRows(limb_t* t, const limb_t* m, size_t n, limb_t minv);
void SqrDiagonal(limb_t* r, const limb_t* a, size_t n);
void MulBasecase(limb_t* r, const limb_t* a, size_t an, const limb_t* b, size_t bn);
void Mul4x4(limb_t* r, const limb_t* a, const limb_t* b);
} // namespace portable

namespace adx {
// Whether this build has the kernels at all (x86-64 with GCC or Clang).
bool Available();
// Same contracts as limb.h; only to be called when the CPU has BMI2 and ADX.
limb_t Mul1(limb_t* r, const limb_t* a, size_t n, limb_t b);
limb_t AddMul1(limb_t* r, const limb_t* a, size_t n, limb_t b);
limb_t SubMul1(limb_t* r, const limb_t* a, size_t n, limb_t b);
void RedcRows(limb_t* t, const limb_t* m, size_t n, limb_t minv);
void SqrDiagonal(limb_t* r, const limb_t* a, size_t n);
void MulBasecase(limb_t* r, const limb_t* a, size_t an, const limb_t* b, size_t bn);
void Mul4x4(limb_t* r, const limb_t* a, const limb_t* b);
} // namespace adx

} // namespace mpa::limb
