#include "platform/crypto/key_blob.h"

namespace platform::crypto {
namespace {

void PutDword(std::vector<uint8_t>& out, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

uint32_t GetDword(std::span<const uint8_t> in, size_t at) {
    uint32_t v = 0;
    for (int i = 3; i >= 0; --i)
        v = (v << 8) | in[at + static_cast<size_t>(i)];
    return v;
}

void PutHeader(std::vector<uint8_t>& out, uint8_t type, uint32_t algId, uint32_t magic,
               const RsaKeyParts& key) {
    out.push_back(type);
    out.push_back(kBlobVersion);
    out.push_back(0);
    out.push_back(0);
    PutDword(out, algId);
    PutDword(out, magic);
    PutDword(out, key.bitLen);
    PutDword(out, key.publicExponent);
}

void Append(std::vector<uint8_t>& out, const std::vector<uint8_t>& field) {
    out.insert(out.end(), field.begin(), field.end());
}

} // namespace

bool HasBlobWidths(const RsaKeyParts& key) {
    if (key.bitLen == 0 || key.bitLen % 16 != 0)
        return false;
    const size_t full = key.bitLen / 8, half = key.bitLen / 16;
    return key.modulus.size() == full && key.privateExponent.size() == full &&
           key.prime1.size() == half && key.prime2.size() == half && key.exponent1.size() == half &&
           key.exponent2.size() == half && key.coefficient.size() == half;
}

size_t PublicBlobSize(uint32_t bitLen) {
    return kBlobHeaderSize + kRsaPubKeySize + bitLen / 8;
}

size_t PrivateBlobSize(uint32_t bitLen) {
    return kBlobHeaderSize + kRsaPubKeySize + 2 * (bitLen / 8) + 5 * (bitLen / 16);
}

std::vector<uint8_t> PublicKeyBlob(const RsaKeyParts& key, uint32_t algId) {
    std::vector<uint8_t> out;
    if (!HasBlobWidths(key))
        return out;
    out.reserve(PublicBlobSize(key.bitLen));
    PutHeader(out, kPublicKeyBlobType, algId, kMagicRsa1, key);
    Append(out, key.modulus);
    return out;
}

std::vector<uint8_t> PrivateKeyBlob(const RsaKeyParts& key, uint32_t algId) {
    std::vector<uint8_t> out;
    if (!HasBlobWidths(key))
        return out;
    out.reserve(PrivateBlobSize(key.bitLen));
    PutHeader(out, kPrivateKeyBlobType, algId, kMagicRsa2, key);
    for (const std::vector<uint8_t>* field :
         {&key.modulus, &key.prime1, &key.prime2, &key.exponent1, &key.exponent2, &key.coefficient,
          &key.privateExponent})
        Append(out, *field);
    return out;
}

std::optional<RsaKeyParts> ParsePrivateKeyBlob(std::span<const uint8_t> blob, uint32_t* algId) {
    if (blob.size() < kBlobHeaderSize + kRsaPubKeySize || blob[0] != kPrivateKeyBlobType ||
        blob[1] != kBlobVersion || blob[2] != 0 || blob[3] != 0 || GetDword(blob, 8) != kMagicRsa2)
        return std::nullopt;
    RsaKeyParts key;
    key.bitLen = GetDword(blob, 12);
    key.publicExponent = GetDword(blob, 16);
    // The width rule before the size: a huge bit length must not overflow
    // the expected size into a match.
    if (key.bitLen == 0 || key.bitLen % 16 != 0 || key.bitLen > (1u << 20) ||
        blob.size() != PrivateBlobSize(key.bitLen))
        return std::nullopt;
    const size_t full = key.bitLen / 8, half = key.bitLen / 16;
    size_t at = kBlobHeaderSize + kRsaPubKeySize;
    auto take = [&](std::vector<uint8_t>& field, size_t width) {
        field.assign(blob.begin() + static_cast<ptrdiff_t>(at),
                     blob.begin() + static_cast<ptrdiff_t>(at + width));
        at += width;
    };
    take(key.modulus, full);
    take(key.prime1, half);
    take(key.prime2, half);
    take(key.exponent1, half);
    take(key.exponent2, half);
    take(key.coefficient, half);
    take(key.privateExponent, full);
    if (algId)
        *algId = GetDword(blob, 4);
    return key;
}

} // namespace platform::crypto
