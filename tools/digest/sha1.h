// SHA-1 (FIPS 180-2), one of the provider's four digests, with the same four
// functions over a context record as the hash calculator's own algorithms.
#pragma once

#include <cstddef>
#include <cstdint>

namespace digest {

struct Sha1Context {
    uint32_t state[5];
    uint32_t countHigh; // bit count, high half first
    uint32_t countLow;
    uint8_t buffer[64];
    uint32_t buffered;
};

// As Sha256Init .. Sha256Digest (sha256.h); the digest is 20 bytes.
int Sha1Init(Sha1Context* ctx);
int64_t Sha1Update(Sha1Context* ctx, const uint8_t* data, uint32_t len);
int Sha1Final(Sha1Context* ctx);
int Sha1Digest(const Sha1Context* ctx, uint8_t* out, uint32_t outLen);

namespace detail {
void Sha1BlocksPortable(uint32_t* state, const uint8_t* blocks, size_t count);
void Sha1BlocksShaNi(uint32_t* state, const uint8_t* blocks, size_t count);
} // namespace detail

} // namespace digest
