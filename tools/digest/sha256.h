// SHA-256 and SHA-224 (FIPS 180-2 with change notice 1) over the context
// record the hash calculator keeps: Init, Update, Final and Digest. SHA-224
// shares update and finish and differs in its start values and output length.
#pragma once

#include <cstddef>
#include <cstdint>

namespace digest {

struct Sha256Context {
    uint32_t state[8];
    uint32_t countHigh; // bit count, high half first
    uint32_t countLow;
    uint8_t buffer[64];
    uint32_t buffered; // bytes held in buffer
};

// Loads the start values and zeroes the counts. 1; 0 when ctx is nullptr.
int Sha256Init(Sha256Context* ctx);
int Sha224Init(Sha256Context* ctx);

// Absorbs len bytes. Returns len; 0 (nothing changes) when len is 0; -1 when
// ctx is nullptr, or data is nullptr with len > 0. Any chunking gives the
// digest of the concatenated bytes.
int64_t Sha256Update(Sha256Context* ctx, const uint8_t* data, uint32_t len);
int64_t Sha224Update(Sha256Context* ctx, const uint8_t* data, uint32_t len);

// Pads and processes the last block(s); the digest is then in the state.
// 1; 0 when ctx is nullptr.
int Sha256Final(Sha256Context* ctx);
int Sha224Final(Sha256Context* ctx);

// Writes the digest (32 or 28 bytes, state words big-endian) after Final and
// returns its length; 0, writing nothing, when ctx or out is nullptr or
// outLen is shorter. Sha224Digest(&c, buf, 27) == 0.
int Sha256Digest(const Sha256Context* ctx, uint8_t* out, uint32_t outLen);
int Sha224Digest(const Sha256Context* ctx, uint8_t* out, uint32_t outLen);

namespace detail {
// Compresses count 64-byte blocks into state: portable code and the SHA
// extensions (only when CpuHasShaExtensions()).
void Sha256BlocksPortable(uint32_t* state, const uint8_t* blocks, size_t count);
void Sha256BlocksShaNi(uint32_t* state, const uint8_t* blocks, size_t count);
// The 64 round constants, for the instruction-set paths.
const uint32_t* Sha256RoundConstants();
} // namespace detail

} // namespace digest
