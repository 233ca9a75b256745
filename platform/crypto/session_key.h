// Session keys as the base provider derives them from a hash value, and the
// one way the provider uses them: encrypting (or decrypting) a whole message
// at once, RC4 from the keystream's start, RC2 in CBC mode from a zero IV
// with PKCS#5 padding.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace platform::crypto {

inline constexpr uint32_t kAlgRc2 = 0x6602; // CALG_RC2
inline constexpr uint32_t kAlgRc4 = 0x6801; // CALG_RC4

// Derivation flags understood here (the CryptDeriveKey values).
inline constexpr uint32_t kDeriveExportable = 0x0001; // CRYPT_EXPORTABLE
inline constexpr uint32_t kDeriveCreateSalt = 0x0004; // CRYPT_CREATE_SALT
inline constexpr uint32_t kDeriveNoSalt = 0x0010;     // CRYPT_NO_SALT
inline constexpr uint32_t kBaseSessionKeyBits = 40;   // the base provider's default
inline constexpr uint32_t kBaseRc2EffectiveBits = 40; // fixed on the base provider

struct SessionKey {
    uint32_t algId = 0;            // kAlgRc2 or kAlgRc4
    std::vector<uint8_t> material; // what the cipher is keyed with: key bytes then salt
    uint32_t rc2EffectiveBits = 0; // RC2 only
    bool exportable = false;
};

// The key the base provider derives from hashValue for algId, with flags as
// CryptDeriveKey takes them: the upper 16 bits are the key length in bits (0
// for the default 40, else 40 to 128 in whole bytes). The key is the first
// length/8 bytes of the hash value. A 40-bit key gets 11 salt bytes: zeros,
// or hash bytes 5..15 with kDeriveCreateSalt, none with kDeriveNoSalt; other
// lengths get no salt. RC2 keeps 40 effective bits whatever the length.
// nullopt for another algorithm, a length out of range, unknown flag bits or a
// hash value too short for the key and its salt.
// DeriveBaseSessionKey(kAlgRc4, md5("abc"), kDeriveExportable)->material ==
// 90 01 50 98 3c followed by 11 zero bytes.
std::optional<SessionKey> DeriveBaseSessionKey(uint32_t algId, std::span<const uint8_t> hashValue,
                                               uint32_t flags);

// data encrypted as one final message: RC4 gives data's length, RC2 the
// length rounded up to whole 8-byte blocks (a full pad block when aligned).
std::vector<uint8_t> EncryptFinal(const SessionKey& key, std::span<const uint8_t> data);

// The inverse of EncryptFinal; false for RC2 data that is not whole blocks or
// whose padding is broken.
bool DecryptFinal(const SessionKey& key, std::span<const uint8_t> data, std::vector<uint8_t>* out);

} // namespace platform::crypto
