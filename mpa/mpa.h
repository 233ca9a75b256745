/* The arithmetic library's exported interface.
 *
 * A number is an unsigned big-endian byte string (pointer + signed 32-bit
 * length). Callers own every buffer; results are written to the start of the
 * output buffer and their length is returned. -1 means invalid arguments,
 * an impossible result or exhausted memory, unless a function says otherwise.
 * Output buffers may overlap inputs: results are computed before they are
 * written. Nothing allocated outlives a call.
 */
#ifndef ORDOVANE_MPA_MPA_H
#define ORDOVANE_MPA_MPA_H

#include <stdint.h>

#if defined(_WIN32)
#define MPA_API __declspec(dllexport)
#else
#define MPA_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Stores the provider handle used for random bytes; returns the previous one.
 * 0 means none: random bytes then come from the C library's rand(). */
MPA_API uint32_t MPA_SetCryptHandle(uint32_t handle);

/* Significant bits of a; 0 for zero or aLen <= 0. a must be valid. */
MPA_API int32_t MPA_BitCount(const uint8_t* a, int32_t aLen);

/* Writes ceil(nBits/8) random bytes (every bit random) and returns that
 * count; 0 when nBits <= 0 or outSize is too small. */
MPA_API int32_t MPA_GenRandomBits(uint8_t* out, int32_t outSize, int32_t nBits);

/* 1 if a > b, -1 if a < b, 0 if equal or an argument is invalid. */
MPA_API int32_t MPA_Compare(const uint8_t* a, int32_t aLen, const uint8_t* b, int32_t bLen);

/* Shifts within the width of aLen bytes; returns aLen or -1. */
MPA_API int32_t MPA_BitLshift(const uint8_t* a, int32_t aLen, int32_t shift, uint8_t* out,
                              int32_t outSize);
MPA_API int32_t MPA_BitRshift(const uint8_t* a, int32_t aLen, int32_t shift, uint8_t* out,
                              int32_t outSize);

/* Width operations: the result has max(aLen, bLen) bytes (aLen for NOT). */
MPA_API int32_t MPA_BitNot(const uint8_t* a, int32_t aLen, uint8_t* out, int32_t outSize);
MPA_API int32_t MPA_BitAnd(const uint8_t* a, int32_t aLen, const uint8_t* b, int32_t bLen,
                           uint8_t* out, int32_t outSize);
MPA_API int32_t MPA_BitOr(const uint8_t* a, int32_t aLen, const uint8_t* b, int32_t bLen,
                          uint8_t* out, int32_t outSize);
MPA_API int32_t MPA_BitXor(const uint8_t* a, int32_t aLen, const uint8_t* b, int32_t bLen,
                           uint8_t* out, int32_t outSize);

/* a + b in max(aLen, bLen) bytes; *carry receives the carry out of the top
 * byte (not written to out). carry must be valid. */
MPA_API int32_t MPA_Add(const uint8_t* a, int32_t aLen, const uint8_t* b, int32_t bLen,
                        uint8_t* out, int32_t outSize, int32_t* carry);

/* a - b without leading zero bytes; a zero difference has length 0 (except
 * that a zero minuend minus zero gives 00, length 1). -1 if a < b. */
MPA_API int32_t MPA_Subtract(const uint8_t* a, int32_t aLen, const uint8_t* b, int32_t bLen,
                             uint8_t* out, int32_t outSize);

/* a * b; outSize must be at least 2*aLen and 2*bLen. Zero is 00. */
MPA_API int32_t MPA_Multiply(const uint8_t* a, int32_t aLen, const uint8_t* b, int32_t bLen,
                             uint8_t* out, int32_t outSize);

/* Quotient and remainder. *quotientSize >= aLen and *remainderSize >= bLen on
 * entry; they receive the lengths. Returns 1 on success, 0 on failure. On
 * division by zero the remainder becomes 00 and the quotient is untouched. */
MPA_API int32_t MPA_Divide(const uint8_t* a, int32_t aLen, const uint8_t* b, int32_t bLen,
                           uint8_t* quotient, int32_t* quotientSize, uint8_t* remainder,
                           int32_t* remainderSize);

/* a mod m; outSize >= mLen; -1 also for m = 0. */
MPA_API int32_t MPA_Modular(const uint8_t* a, int32_t aLen, const uint8_t* m, int32_t mLen,
                            uint8_t* out, int32_t outSize);

/* x mod m with mu = floor(256^(2*mLen) / m). xLen <= 2*mLen, muLen >= mLen,
 * outSize >= mLen. When mLen >= xLen and x < m, x is returned unchanged. */
MPA_API int32_t MPA_BarrettReduction(const uint8_t* x, int32_t xLen, const uint8_t* m, int32_t mLen,
                                     const uint8_t* mu, int32_t muLen, uint8_t* out,
                                     int32_t outSize);

/* base^exponent mod m; base and m non-zero; outSize >= significant length of
 * m. A zero exponent gives 01 whatever m is. */
MPA_API int32_t MPA_ModPow(const uint8_t* base, int32_t baseLen, const uint8_t* exponent,
                           int32_t exponentLen, const uint8_t* m, int32_t mLen, uint8_t* out,
                           int32_t outSize);

/* Jacobi symbol (a/n) into *symbol; returns 1, or 0 when n is even or zero
 * (no symbol is defined then) or memory ran out. */
MPA_API int32_t MPA_Jacobi(const uint8_t* a, int32_t aLen, const uint8_t* n, int32_t nLen,
                           int32_t* symbol);

/* gcd(a, b) and coefficients x (a*x = gcd mod b) and y, both reduced modulo
 * b. a and b are used as work space. Returns the gcd's length or -1. */
MPA_API int32_t MPA_ExtEuclid(uint8_t* a, int32_t aLen, uint8_t* b, int32_t bLen, uint8_t* gcd,
                              int32_t gcdSize, uint8_t* x, int32_t* xSize, uint8_t* y,
                              int32_t* ySize);

/* gcd(a, b); a and b are used as work space. */
MPA_API int32_t MPA_Gcd(uint8_t* a, int32_t aLen, uint8_t* b, int32_t bLen, uint8_t* out,
                        int32_t outSize);

/* Inverse of a modulo m: its length, 0 when there is none, -1 for invalid
 * arguments. a and m are used as work space. */
MPA_API int32_t MPA_ModInverse(uint8_t* a, int32_t aLen, uint8_t* m, int32_t mLen, uint8_t* out,
                               int32_t outSize);

/* Probabilistic tests with `trials` random bases: 1 probably prime,
 * 0 composite (or 0, 1), -1 invalid arguments. */
MPA_API int32_t MPA_FermatTest(const uint8_t* n, int32_t nLen, int32_t trials);
MPA_API int32_t MPA_SolovayStrassenTest(const uint8_t* n, int32_t nLen, int32_t trials);
MPA_API int32_t MPA_MillerRabinTest(const uint8_t* n, int32_t nLen, int32_t trials);

/* A random probable prime above 1999 of ceil(nBits/8) bytes, exactly as drawn
 * (a leading 00 byte may stay). -1 for invalid arguments, and for nBits < 9,
 * where no candidate could ever be accepted. */
MPA_API int32_t MPA_MillerRabinSearch(int32_t nBits, int32_t trials, uint8_t* out, int32_t outSize);

#ifdef __cplusplus
}
#endif

#endif
