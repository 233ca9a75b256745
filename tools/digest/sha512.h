// SHA-512 and SHA-384 (FIPS 180-2) over the context record the hash
// calculator keeps. The record holds each 64-bit word as its high 32-bit half
// followed by its low half; messages stay below 2^64 bits.
#pragma once

#include <cstddef>
#include <cstdint>

namespace digest {

struct Sha512Context {
    uint32_t state[16]; // 8 words, each high half then low half
    uint32_t countHigh; // bit count, high half first
    uint32_t countLow;
    uint8_t buffer[128];
    uint32_t buffered;
};

// As Sha256Init .. Sha256Digest (sha256.h); digests of 64 and 48 bytes.
int Sha512Init(Sha512Context* ctx);
int Sha384Init(Sha512Context* ctx);
int64_t Sha512Update(Sha512Context* ctx, const uint8_t* data, uint32_t len);
int64_t Sha384Update(Sha512Context* ctx, const uint8_t* data, uint32_t len);
int Sha512Final(Sha512Context* ctx);
int Sha384Final(Sha512Context* ctx);
int Sha512Digest(const Sha512Context* ctx, uint8_t* out, uint32_t outLen);
int Sha384Digest(const Sha512Context* ctx, uint8_t* out, uint32_t outLen);

} // namespace digest
