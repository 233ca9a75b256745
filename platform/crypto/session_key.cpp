#include "platform/crypto/session_key.h"

#include "platform/crypto/session_ciphers.h"

namespace platform::crypto {
namespace {

constexpr size_t kBaseSaltBytes = 11;
constexpr uint32_t kKnownFlags = kDeriveExportable | kDeriveCreateSalt | kDeriveNoSalt;
constexpr uint8_t kZeroIv[8] = {};

} // namespace

std::optional<SessionKey> DeriveBaseSessionKey(uint32_t algId, std::span<const uint8_t> hashValue,
                                               uint32_t flags) {
    if (algId != kAlgRc2 && algId != kAlgRc4)
        return std::nullopt;
    uint32_t bits = flags >> 16;
    if (bits == 0)
        bits = kBaseSessionKeyBits;
    if (bits < kBaseSessionKeyBits || bits > 128 || bits % 8 != 0 ||
        (flags & 0xffff & ~kKnownFlags) != 0)
        return std::nullopt;
    const size_t keyBytes = bits / 8;
    // Only the base length carries salt: zeros unless asked to take it from
    // the hash, none when asked for no salt.
    size_t saltBytes = 0;
    if (bits == kBaseSessionKeyBits && !(flags & kDeriveNoSalt))
        saltBytes = kBaseSaltBytes;
    const bool saltFromHash = saltBytes > 0 && (flags & kDeriveCreateSalt);
    if (hashValue.size() < keyBytes + (saltFromHash ? saltBytes : 0))
        return std::nullopt;
    SessionKey key;
    key.algId = algId;
    key.exportable = (flags & kDeriveExportable) != 0;
    key.material.assign(hashValue.begin(), hashValue.begin() + static_cast<ptrdiff_t>(keyBytes));
    if (saltFromHash)
        key.material.insert(key.material.end(),
                            hashValue.begin() + static_cast<ptrdiff_t>(keyBytes),
                            hashValue.begin() + static_cast<ptrdiff_t>(keyBytes + saltBytes));
    else
        key.material.resize(keyBytes + saltBytes, 0);
    if (algId == kAlgRc2)
        key.rc2EffectiveBits = kBaseRc2EffectiveBits;
    return key;
}

std::vector<uint8_t> EncryptFinal(const SessionKey& key, std::span<const uint8_t> data) {
    if (key.algId == kAlgRc4) {
        std::vector<uint8_t> out(data.begin(), data.end());
        Rc4Apply(key.material, out);
        return out;
    }
    return Rc2CbcEncrypt(Rc2Key(key.material, key.rc2EffectiveBits), kZeroIv, data);
}

bool DecryptFinal(const SessionKey& key, std::span<const uint8_t> data, std::vector<uint8_t>* out) {
    if (key.algId == kAlgRc4) {
        out->assign(data.begin(), data.end());
        Rc4Apply(key.material, *out);
        return true;
    }
    return Rc2CbcDecrypt(Rc2Key(key.material, key.rc2EffectiveBits), kZeroIv, data, out);
}

} // namespace platform::crypto
