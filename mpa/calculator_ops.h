// Operations of the arithmetic library that the calculator uses but the
// shared library does not export. Same number model as mpa.h.
#pragma once

#include <cstdint>

namespace mpa {

// floor(sqrt(a)); -1 when arguments are invalid or outSize cannot hold it.
int32_t SquareRoot(const uint8_t* a, int32_t aLen, uint8_t* out, int32_t outSize);

// Smallest number above a passing Miller-Rabin with `trials` bases; its
// length or -1. outSize must exceed aLen.
int32_t NextPrime(const uint8_t* a, int32_t aLen, uint8_t* out, int32_t outSize, int32_t trials);

// Largest number below a passing Miller-Rabin; its length or -1 (a <= 2).
// outSize must be at least aLen.
int32_t PrevPrime(const uint8_t* a, int32_t aLen, uint8_t* out, int32_t outSize, int32_t trials);

} // namespace mpa
