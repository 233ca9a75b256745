// Key containers through the provider's calls: open, create and delete a
// container, its exchange and signature RSA key pairs, session keys derived
// from a hash, and export in the PUBLICKEYBLOB / PRIVATEKEYBLOB layouts.
// Key handles are 32-bit values from their own table (0 = none). Every
// failure returns false and sets the last error (last_error.h) to an NTE_
// code below or, for a file failure, to the errno value.
#pragma once

#include "platform/crypto/crypt_hash.h"
#include "platform/crypto/crypt_provider.h"
#include "platform/platform_api.h"

#include <cstdint>
#include <string>
#include <vector>

namespace platform {

using HCRYPTKEY = uint32_t;

inline constexpr char MS_DEF_PROV_A[] = "Microsoft Base Cryptographic Provider v1.0";
inline constexpr uint32_t PROV_RSA_FULL = 1;

// CryptAcquireContextA flags.
inline constexpr uint32_t CRYPT_NEWKEYSET = 0x8;
inline constexpr uint32_t CRYPT_DELETEKEYSET = 0x10;
inline constexpr uint32_t CRYPT_VERIFYCONTEXT = 0xF0000000;

// Key pair kinds and algorithms.
inline constexpr uint32_t AT_KEYEXCHANGE = 1;
inline constexpr uint32_t AT_SIGNATURE = 2;
inline constexpr uint32_t CALG_RSA_KEYX = 0xA400;
inline constexpr uint32_t CALG_RSA_SIGN = 0x2400;
inline constexpr uint32_t CALG_RC2 = 0x6602;
inline constexpr uint32_t CALG_RC4 = 0x6801;

// CryptGenKey / CryptDeriveKey flags; the upper 16 bits carry a key length.
inline constexpr uint32_t CRYPT_EXPORTABLE = 0x1;
inline constexpr uint32_t CRYPT_CREATE_SALT = 0x4;
inline constexpr uint32_t CRYPT_NO_SALT = 0x10;

// Blob types.
inline constexpr uint32_t PUBLICKEYBLOB = 0x6;
inline constexpr uint32_t PRIVATEKEYBLOB = 0x7;

// Error codes.
inline constexpr uint32_t ERROR_MORE_DATA = 234;
inline constexpr uint32_t NTE_BAD_UID = 0x80090001;
inline constexpr uint32_t NTE_BAD_HASH = 0x80090002;
inline constexpr uint32_t NTE_BAD_KEY = 0x80090003;
inline constexpr uint32_t NTE_BAD_DATA = 0x80090005;
inline constexpr uint32_t NTE_BAD_ALGID = 0x80090008;
inline constexpr uint32_t NTE_BAD_FLAGS = 0x80090009;
inline constexpr uint32_t NTE_BAD_TYPE = 0x8009000A;
inline constexpr uint32_t NTE_BAD_KEY_STATE = 0x8009000B;
inline constexpr uint32_t NTE_NO_KEY = 0x8009000D;
inline constexpr uint32_t NTE_NO_MEMORY = 0x8009000E;
inline constexpr uint32_t NTE_EXISTS = 0x8009000F;
inline constexpr uint32_t NTE_BAD_PROV_TYPE = 0x80090014;
inline constexpr uint32_t NTE_BAD_KEYSET = 0x80090016;
inline constexpr uint32_t NTE_KEYSET_NOT_DEF = 0x80090019;
inline constexpr uint32_t NTE_KEYSET_ENTRY_BAD = 0x8009001A;
inline constexpr uint32_t NTE_BAD_KEYSET_PARAM = 0x8009001F;
inline constexpr uint32_t NTE_FAIL = 0x80090020;

// Opens (flags 0), creates (CRYPT_NEWKEYSET) or deletes (CRYPT_DELETEKEYSET)
// the container named container; CRYPT_VERIFYCONTEXT gives a handle without
// a container (random bytes and hashes only). provider must be null or
// MS_DEF_PROV_A (else NTE_KEYSET_NOT_DEF), type PROV_RSA_FULL (else
// NTE_BAD_PROV_TYPE). A null or empty name means the user's login name.
// On success *phProv is the new handle, or 0 after a delete. Failures:
// NTE_BAD_KEYSET (no such container), NTE_EXISTS (creating one that is
// there), NTE_KEYSET_ENTRY_BAD (its file is damaged; it is left as it is),
// NTE_BAD_KEYSET_PARAM (name too long), NTE_BAD_FLAGS, or an errno value.
// CryptAcquireContextA(&h, "Default Container", MS_DEF_PROV_A, PROV_RSA_FULL, 0).
PLATFORM_API bool CryptAcquireContextA(HCRYPTPROV* phProv, const char* container,
                                       const char* provider, uint32_t provType, uint32_t flags);

// A handle to the container's pair of kind keySpec (AT_KEYEXCHANGE or
// AT_SIGNATURE) as the store holds it now; NTE_NO_KEY when the pair is
// missing, NTE_BAD_UID for a handle without a container.
PLATFORM_API bool CryptGetUserKey(HCRYPTPROV hProv, uint32_t keySpec, HCRYPTKEY* phUserKey);

// Generates the pair of kind algId (AT_KEYEXCHANGE / CALG_RSA_KEYX or
// AT_SIGNATURE / CALG_RSA_SIGN), replacing any pair of that kind, and stores
// it. The upper 16 bits of flags give the modulus length (0: 1024 bits, else
// 512 to 4096 in multiples of 16); the public exponent is 65537.
// CRYPT_EXPORTABLE lets its private blob be exported; without it
// CryptExportKey refuses PRIVATEKEYBLOB.
PLATFORM_API bool CryptGenKey(HCRYPTPROV hProv, uint32_t algId, uint32_t flags, HCRYPTKEY* phKey);

// An RC2 or RC4 session key derived from the value of hash hBaseData (which
// this finishes, as reading HP_HASHVAL does) as the base provider derives it
// (session_key.h): 40 bits and 11 zero salt bytes unless flags say
// otherwise. NTE_BAD_ALGID, NTE_BAD_FLAGS, NTE_BAD_HASH.
PLATFORM_API bool CryptDeriveKey(HCRYPTPROV hProv, uint32_t algId, HCRYPTHASH hBaseData,
                                 uint32_t flags, HCRYPTKEY* phKey);

// Writes the blob of a pair into pbData (capacity *pdwDataLen) and sets
// *pdwDataLen to its length. PUBLICKEYBLOB takes no export key
// (NTE_BAD_KEY otherwise); PRIVATEKEYBLOB needs an exportable pair
// (NTE_BAD_KEY_STATE) and is encrypted after its 8-byte header with the
// session key hExpKey when one is given. pbData null: only the length.
// Too small a capacity: ERROR_MORE_DATA with the needed length in *pdwDataLen.
PLATFORM_API bool CryptExportKey(HCRYPTKEY hKey, HCRYPTKEY hExpKey, uint32_t blobType,
                                 uint32_t flags, uint8_t* pbData, uint32_t* pdwDataLen);

// Releases a key handle; NTE_BAD_KEY when it is not open.
PLATFORM_API bool CryptDestroyKey(HCRYPTKEY hKey);

// The names of all containers, sorted by their bytes. When a container file
// cannot be read as one, the others are still listed and the call fails with
// NTE_KEYSET_ENTRY_BAD.
PLATFORM_API bool EnumKeyContainers(std::vector<std::string>* names);

} // namespace platform
