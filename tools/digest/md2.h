// MD2 (RFC 1319), one of the provider's digests. It has its own padding (n
// bytes of value n) and a running checksum block instead of a length field,
// so it shares only the block buffering with the other algorithms.
#pragma once

#include <cstdint>

namespace digest {

struct Md2Context {
    uint8_t state[16];
    uint8_t checksum[16];
    uint8_t buffer[16];
    uint32_t buffered;
};

// As Sha256Init .. Sha256Digest (sha256.h); a 16-byte digest.
int Md2Init(Md2Context* ctx);
int64_t Md2Update(Md2Context* ctx, const uint8_t* data, uint32_t len);
int Md2Final(Md2Context* ctx);
int Md2Digest(const Md2Context* ctx, uint8_t* out, uint32_t outLen);

} // namespace digest
