#include "platform/crypto/crypt_hash.h"

#include "platform/crypto/last_error.h"
#include "tools/digest/digests.h"

#include <cstring>
#include <memory>
#include <mutex>
#include <optional>
#include <unordered_map>

namespace platform {
namespace {

constexpr uint32_t kBadUid = 0x80090001;
constexpr uint32_t kBadHash = 0x80090002;
constexpr uint32_t kBadKey = 0x80090003;
constexpr uint32_t kBadAlgId = 0x80090008;
constexpr uint32_t kBadFlags = 0x80090009;
constexpr uint32_t kBadType = 0x8009000A;
constexpr uint32_t kBadHashState = 0x8009000C;
constexpr uint32_t kMoreData = 234;
constexpr uint32_t kInvalidParameter = 87;

struct HashObject {
    std::mutex lock; // one object may be fed from several threads
    uint32_t algId = 0;
    digest::Algorithm algorithm{};
    std::unique_ptr<digest::Hasher> hasher;
    std::optional<std::vector<uint8_t>> value; // set once finished
};

struct HashTable {
    std::mutex lock;
    std::unordered_map<HCRYPTHASH, std::shared_ptr<HashObject>> open;
    HCRYPTHASH next = 0x10000;
};

HashTable& Table() {
    static HashTable t;
    return t;
}

std::optional<digest::Algorithm> AlgorithmOf(uint32_t algId) {
    switch (algId) {
    case CALG_MD2:
        return digest::Algorithm::Md2;
    case CALG_MD4:
        return digest::Algorithm::Md4;
    case CALG_MD5:
        return digest::Algorithm::Md5;
    case CALG_SHA1:
        return digest::Algorithm::Sha1;
    default:
        return std::nullopt;
    }
}

bool Fail(uint32_t code) {
    SetLastError(code);
    return false;
}

// The object of an open handle; a stale handle gets nullptr.
std::shared_ptr<HashObject> Find(HCRYPTHASH hash) {
    HashTable& t = Table();
    std::lock_guard<std::mutex> guard(t.lock);
    auto it = t.open.find(hash);
    return it == t.open.end() ? nullptr : it->second;
}

const std::vector<uint8_t>& Finished(HashObject& h) {
    if (!h.value) {
        std::vector<uint8_t> v(static_cast<size_t>(digest::DigestSize(h.algorithm)));
        v.resize(static_cast<size_t>(h.hasher->Finish(v.data(), v.size())));
        h.value = std::move(v);
    }
    return *h.value;
}

bool CopyOut(const uint8_t* value, uint32_t len, uint8_t* data, uint32_t* dataLen) {
    if (data == nullptr) {
        *dataLen = len;
        return true;
    }
    if (*dataLen < len) {
        *dataLen = len;
        return Fail(kMoreData);
    }
    std::memcpy(data, value, len);
    *dataLen = len;
    return true;
}

} // namespace

bool CryptCreateHash(HCRYPTPROV provider, uint32_t algId, uint32_t hKey, uint32_t flags,
                     HCRYPTHASH* hash) {
    if (hash != nullptr)
        *hash = 0;
    if (hash == nullptr)
        return Fail(kInvalidParameter);
    if (!IsProviderHandle(provider))
        return Fail(kBadUid);
    std::optional<digest::Algorithm> algorithm = AlgorithmOf(algId);
    if (!algorithm)
        return Fail(kBadAlgId);
    if (hKey != 0)
        return Fail(kBadKey);
    if (flags != 0)
        return Fail(kBadFlags);

    auto object = std::make_shared<HashObject>();
    object->algId = algId;
    object->algorithm = *algorithm;
    object->hasher = digest::CreateHasher(*algorithm);

    HashTable& t = Table();
    std::lock_guard<std::mutex> guard(t.lock);
    // Handles are not reused soon, so a stale handle fails instead of
    // reaching someone else's hash.
    for (int tries = 0; tries < 1 << 20; ++tries) {
        HCRYPTHASH h = t.next++;
        if (t.next == 0)
            t.next = 0x10000;
        if (h != 0 && !t.open.count(h)) {
            t.open.emplace(h, std::move(object));
            *hash = h;
            return true;
        }
    }
    return Fail(kInvalidParameter);
}

bool CryptHashData(HCRYPTHASH hash, const uint8_t* data, uint32_t len, uint32_t flags) {
    std::shared_ptr<HashObject> h = Find(hash);
    if (!h)
        return Fail(kBadHash);
    if (flags != 0)
        return Fail(kBadFlags);
    if (data == nullptr && len != 0)
        return Fail(kInvalidParameter);
    std::lock_guard<std::mutex> guard(h->lock);
    if (h->value)
        return Fail(kBadHashState);
    h->hasher->Update(data, len);
    return true;
}

bool CryptGetHashParam(HCRYPTHASH hash, uint32_t param, uint8_t* data, uint32_t* dataLen,
                       uint32_t flags) {
    std::shared_ptr<HashObject> h = Find(hash);
    if (!h)
        return Fail(kBadHash);
    if (flags != 0)
        return Fail(kBadFlags);
    if (dataLen == nullptr)
        return Fail(kInvalidParameter);
    std::lock_guard<std::mutex> guard(h->lock);
    switch (param) {
    case HP_HASHVAL: {
        // Asking for the length, or offering too small a buffer, leaves the
        // hash open for more data; only reading the value finishes it.
        uint32_t size = static_cast<uint32_t>(digest::DigestSize(h->algorithm));
        if (data == nullptr) {
            *dataLen = size;
            return true;
        }
        if (*dataLen < size) {
            *dataLen = size;
            return Fail(kMoreData);
        }
        const std::vector<uint8_t>& v = Finished(*h);
        return CopyOut(v.data(), static_cast<uint32_t>(v.size()), data, dataLen);
    }
    case HP_HASHSIZE:
    case HP_ALGID: {
        uint32_t value =
            param == HP_ALGID ? h->algId : static_cast<uint32_t>(digest::DigestSize(h->algorithm));
        const uint8_t bytes[4] = {uint8_t(value), uint8_t(value >> 8), uint8_t(value >> 16),
                                  uint8_t(value >> 24)};
        return CopyOut(bytes, 4, data, dataLen);
    }
    default:
        return Fail(kBadType);
    }
}

bool CryptDestroyHash(HCRYPTHASH hash) {
    HashTable& t = Table();
    std::lock_guard<std::mutex> guard(t.lock);
    if (t.open.erase(hash) != 1)
        return Fail(kBadHash);
    return true;
}

namespace crypto {

bool ReadHashValue(HCRYPTHASH hash, std::vector<uint8_t>* value) {
    std::shared_ptr<HashObject> h = Find(hash);
    if (!h || value == nullptr)
        return Fail(kBadHash);
    std::lock_guard<std::mutex> guard(h->lock);
    *value = Finished(*h);
    return true;
}

} // namespace crypto

} // namespace platform
