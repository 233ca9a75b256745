// RIPEMD-160 (ISO/IEC 10118-3) over the context record the hash calculator
// keeps: bit count low half first, and the block kept as 16 words assembled
// little-endian from the input as it arrives.
#pragma once

#include <cstdint>

namespace digest {

struct Ripemd160Context {
    uint32_t state[5];
    uint32_t countLow; // bit count, low half first
    uint32_t countHigh;
    uint32_t block[16]; // little-endian words of the pending bytes
    uint32_t buffered;
};

// As Sha256Init .. Sha256Digest (sha256.h); a 20-byte digest, state words
// little-endian. Ripemd160Digest also clears the buffered count.
int Ripemd160Init(Ripemd160Context* ctx);
int64_t Ripemd160Update(Ripemd160Context* ctx, const uint8_t* data, uint32_t len);
int Ripemd160Final(Ripemd160Context* ctx);
int Ripemd160Digest(Ripemd160Context* ctx, uint8_t* out, uint32_t outLen);

} // namespace digest
