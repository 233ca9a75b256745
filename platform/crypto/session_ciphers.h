// The two session-key ciphers of the provider: RC4 (a stream cipher) and RC2
// (RFC 2268, 64-bit blocks, an effective key length apart from the key's own
// length). Plain functions over bytes; which key and which mode the provider
// uses is session_key's business.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

namespace platform::crypto {

// XORs data in place with the RC4 keystream of key from its first byte.
// key must hold 1 to 256 bytes; with an empty key data is left as it is.
// Rc4Apply({"Key"}, "Plaintext") gives bb f3 16 e8 d9 40 af 0a d3.
void Rc4Apply(std::span<const uint8_t> key, std::span<uint8_t> data);

// An RC2 key schedule: 64 16-bit round keys from key (1 to 128 bytes) and
// effectiveBits (1 to 1024), RFC 2268 section 2.
class Rc2Key {
public:
    Rc2Key(std::span<const uint8_t> key, uint32_t effectiveBits);

    // One 8-byte block, in place.
    void EncryptBlock(uint8_t block[8]) const;
    void DecryptBlock(uint8_t block[8]) const;

private:
    std::array<uint16_t, 64> k_{};
};

// RC2 in CBC mode from iv with PKCS#5 padding (1 to 8 pad bytes, each equal to
// the pad length): the result is data's length rounded up to the next whole
// block, a full extra block when data is block-aligned.
std::vector<uint8_t> Rc2CbcEncrypt(const Rc2Key& key, const uint8_t iv[8],
                                   std::span<const uint8_t> data);

// The inverse; false when data is not whole blocks or the padding is not a
// valid PKCS#5 tail (*out is then unspecified).
bool Rc2CbcDecrypt(const Rc2Key& key, const uint8_t iv[8], std::span<const uint8_t> data,
                   std::vector<uint8_t>* out);

} // namespace platform::crypto
