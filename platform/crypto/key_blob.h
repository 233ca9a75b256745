// The published PUBLICKEYBLOB and PRIVATEKEYBLOB layouts of an RSA key pair:
// an 8-byte BLOBHEADER, the 12-byte RSAPUBKEY ("RSA1"/"RSA2", bit length,
// public exponent), then the key's integers little-endian at fixed widths.
// Plain layout only; encryption of a private blob is session_key's job.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace platform::crypto {

inline constexpr uint8_t kPublicKeyBlobType = 0x06;
inline constexpr uint8_t kPrivateKeyBlobType = 0x07;
inline constexpr uint8_t kBlobVersion = 2;
inline constexpr uint32_t kMagicRsa1 = 0x31415352; // "RSA1", public blob
inline constexpr uint32_t kMagicRsa2 = 0x32415352; // "RSA2", private blob
inline constexpr size_t kBlobHeaderSize = 8;
inline constexpr size_t kRsaPubKeySize = 12;

// An RSA key pair as the blobs carry it. Every integer is unsigned
// little-endian and exactly as wide as the blob stores it: modulus and
// privateExponent bitLen/8 bytes, the other five bitLen/16 bytes.
struct RsaKeyParts {
    uint32_t bitLen = 0;
    uint32_t publicExponent = 0;
    std::vector<uint8_t> modulus;         // n
    std::vector<uint8_t> prime1;          // p
    std::vector<uint8_t> prime2;          // q
    std::vector<uint8_t> exponent1;       // d mod (p-1)
    std::vector<uint8_t> exponent2;       // d mod (q-1)
    std::vector<uint8_t> coefficient;     // q^-1 mod p
    std::vector<uint8_t> privateExponent; // d
};

// True when bitLen is a positive multiple of 16 and every field has its width.
bool HasBlobWidths(const RsaKeyParts& key);

// Blob sizes for a modulus of bitLen bits (a multiple of 16): 148 and 596 at
// 1024 bits.
size_t PublicBlobSize(uint32_t bitLen);
size_t PrivateBlobSize(uint32_t bitLen);

// The PUBLICKEYBLOB of key labelled with algId (CALG_RSA_KEYX or
// CALG_RSA_SIGN); empty when key lacks its blob widths.
std::vector<uint8_t> PublicKeyBlob(const RsaKeyParts& key, uint32_t algId);

// The plain PRIVATEKEYBLOB of key labelled with algId; empty when key lacks
// its blob widths.
std::vector<uint8_t> PrivateKeyBlob(const RsaKeyParts& key, uint32_t algId);

// Reads a plain PRIVATEKEYBLOB: header type 7, version 2, magic "RSA2" and a
// length that matches the bit length exactly. *algId (when given) receives
// the header's ALG_ID. nullopt for anything else.
std::optional<RsaKeyParts> ParsePrivateKeyBlob(std::span<const uint8_t> blob,
                                               uint32_t* algId = nullptr);

} // namespace platform::crypto
