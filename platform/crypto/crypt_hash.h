// The provider's hash objects: MD2, MD4, MD5 and SHA-1 from the program's
// digest library, behind 32-bit hash handles of their own table (0 = none).
// A failing call returns false and sets the thread's last error
// (last_error.h): NTE_BAD_UID 0x80090001 (provider handle not open),
// NTE_BAD_HASH 0x80090002 (hash handle not open), NTE_BAD_KEY 0x80090003,
// NTE_BAD_ALGID 0x80090008, NTE_BAD_FLAGS 0x80090009, NTE_BAD_TYPE 0x8009000A,
// NTE_BAD_HASH_STATE 0x8009000C (data after the value was read),
// ERROR_MORE_DATA 234, ERROR_INVALID_PARAMETER 87.
#pragma once

#include "platform/crypto/crypt_provider.h"
#include "platform/platform_api.h"

#include <cstdint>
#include <vector>

namespace platform {

using HCRYPTHASH = uint32_t;

inline constexpr uint32_t CALG_MD2 = 0x8001;
inline constexpr uint32_t CALG_MD4 = 0x8002;
inline constexpr uint32_t CALG_MD5 = 0x8003;
inline constexpr uint32_t CALG_SHA1 = 0x8004;

inline constexpr uint32_t HP_ALGID = 0x0001;
inline constexpr uint32_t HP_HASHVAL = 0x0002;
inline constexpr uint32_t HP_HASHSIZE = 0x0004;

// Creates a hash object of algId (one of the four CALG_ above) on an open
// provider handle. hKey must be 0 and flags 0. On success *hash receives a
// nonzero handle; on failure *hash is set to 0 (when hash is not nullptr).
PLATFORM_API bool CryptCreateHash(HCRYPTPROV provider, uint32_t algId, uint32_t hKey,
                                  uint32_t flags, HCRYPTHASH* hash);

// Absorbs len bytes; any number of calls. data may be nullptr only for len 0;
// flags must be 0. Fails with NTE_BAD_HASH_STATE once the value was read.
PLATFORM_API bool CryptHashData(HCRYPTHASH hash, const uint8_t* data, uint32_t len, uint32_t flags);

// Reads a property: HP_HASHVAL (the digest; reading it finishes the hash, so
// later reads give the same value and data is refused; asking only for its
// length does not), HP_HASHSIZE and HP_ALGID (4-byte little-endian values). *dataLen is the
// buffer's capacity on entry and the value's length on return. data == nullptr asks only for the
// length (success). A capacity below the length fails with ERROR_MORE_DATA and sets *dataLen to the
// length; nothing is written. dataLen == nullptr fails with ERROR_INVALID_PARAMETER.
PLATFORM_API bool CryptGetHashParam(HCRYPTHASH hash, uint32_t param, uint8_t* data,
                                    uint32_t* dataLen, uint32_t flags);

// Releases the hash object; NTE_BAD_HASH for a handle that is not open.
PLATFORM_API bool CryptDestroyHash(HCRYPTHASH hash);

namespace crypto {
// The finished value of an open hash (finishing it, as HP_HASHVAL does), for
// the provider's key derivation. False, last error NTE_BAD_HASH, for a handle
// that is not open.
PLATFORM_API bool ReadHashValue(HCRYPTHASH hash, std::vector<uint8_t>* value);
} // namespace crypto

} // namespace platform
