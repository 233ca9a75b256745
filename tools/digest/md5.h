// MD5 (RFC 1321), one of the provider's digests, with the same four functions
// over a context record as the hash calculator's own algorithms.
#pragma once

#include <cstdint>

namespace digest {

struct Md5Context {
    uint32_t state[4];
    uint32_t countLow; // bit count, low half first
    uint32_t countHigh;
    uint8_t buffer[64];
    uint32_t buffered;
};

// As Sha256Init .. Sha256Digest (sha256.h); a 16-byte digest, state words
// little-endian.
int Md5Init(Md5Context* ctx);
int64_t Md5Update(Md5Context* ctx, const uint8_t* data, uint32_t len);
int Md5Final(Md5Context* ctx);
int Md5Digest(const Md5Context* ctx, uint8_t* out, uint32_t outLen);

namespace detail {
// The start values and the little-endian output, shared with MD4.
int Md5Start(Md5Context* ctx);
int Md5Output(const Md5Context* ctx, uint8_t* out, uint32_t outLen);
} // namespace detail

} // namespace digest
