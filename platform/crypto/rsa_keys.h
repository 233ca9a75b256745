// RSA key pairs from OpenSSL's libcrypto, handed over in the blobs' field
// form, and the arithmetic check that a stored pair is still a key pair.
#pragma once

#include "platform/crypto/key_blob.h"

#include <cstdint>
#include <optional>

namespace platform::crypto {

inline constexpr uint32_t kDefaultRsaBits = 1024;
inline constexpr uint32_t kDefaultPublicExponent = 65537;

// A new key pair with a modulus of exactly bits bits (a multiple of 16, 512
// to 4096) and public exponent e (odd, at least 3); nullopt when the library
// refuses or the arguments are out of range. The fields come at their blob
// widths. GenerateRsaKey(1024, 65537)->modulus.size() == 128.
std::optional<RsaKeyParts> GenerateRsaKey(uint32_t bits, uint32_t e);

// True when key has its blob widths and its numbers belong together:
// n = p*q, d*e = 1 mod lcm(p-1, q-1), the two exponents are d mod (p-1) and
// d mod (q-1), and the coefficient is q^-1 mod p. A damaged store entry fails.
bool IsConsistentRsaKey(const RsaKeyParts& key);

} // namespace platform::crypto
