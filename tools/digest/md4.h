// MD4 (RFC 1320), one of the provider's digests. It shares MD5's record,
// start values, padding and output; only the compression differs.
#pragma once

#include "tools/digest/md5.h"

#include <cstdint>

namespace digest {

using Md4Context = Md5Context;

// As Sha256Init .. Sha256Digest (sha256.h); a 16-byte digest.
int Md4Init(Md4Context* ctx);
int64_t Md4Update(Md4Context* ctx, const uint8_t* data, uint32_t len);
int Md4Final(Md4Context* ctx);
int Md4Digest(const Md4Context* ctx, uint8_t* out, uint32_t outLen);

} // namespace digest
