#include "platform/crypto/crypt_provider.h"

#include "platform/crypto/crypt_keys.h"
#include "platform/crypto/last_error.h"
#include "platform/crypto/provider_handles.h"

#include <cerrno>
#include <mutex>
#include <unordered_map>

#include <sys/random.h>

namespace platform {
namespace {

struct HandleTable {
    std::mutex lock;
    // Each open handle and the key container it is bound to, if any.
    std::unordered_map<HCRYPTPROV, std::optional<std::string>> open;
    HCRYPTPROV next = 0x1000;
};

HandleTable& table() {
    static HandleTable t;
    return t;
}

// Handles are never reused soon: a stale handle kept by a caller then fails
// instead of reaching someone else's provider.
HCRYPTPROV allocateHandle(HandleTable& t) {
    for (int tries = 0; tries < 1 << 20; ++tries) {
        HCRYPTPROV h = t.next++;
        if (t.next == 0)
            t.next = 0x1000;
        if (h != 0 && !t.open.count(h))
            return h;
    }
    return 0;
}

bool kernelRandom(uint8_t* buffer, uint32_t len) {
    uint32_t done = 0;
    while (done < len) {
        ssize_t n = getrandom(buffer + done, len - done, 0);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        done += static_cast<uint32_t>(n);
    }
    return true;
}

} // namespace

HCRYPTPROV AcquireRandomContext() {
    return crypto::OpenProviderHandle(std::nullopt);
}

bool CryptReleaseContext(HCRYPTPROV provider, uint32_t flags) {
    if (flags != 0) {
        SetLastError(NTE_BAD_FLAGS);
        return false;
    }
    HandleTable& t = table();
    std::lock_guard<std::mutex> guard(t.lock);
    if (t.open.erase(provider) != 1) {
        SetLastError(NTE_BAD_UID);
        return false;
    }
    return true;
}

bool IsProviderHandle(HCRYPTPROV provider) {
    HandleTable& t = table();
    std::lock_guard<std::mutex> guard(t.lock);
    return t.open.count(provider) == 1;
}

bool CryptGenRandom(HCRYPTPROV provider, uint32_t len, uint8_t* buffer) {
    if (!IsProviderHandle(provider) || (buffer == nullptr && len != 0))
        return false;
    return kernelRandom(buffer, len);
}

namespace crypto {

HCRYPTPROV OpenProviderHandle(std::optional<std::string> container) {
    HandleTable& t = table();
    std::lock_guard<std::mutex> guard(t.lock);
    HCRYPTPROV h = allocateHandle(t);
    if (h != 0)
        t.open.emplace(h, std::move(container));
    return h;
}

bool ProviderContainer(HCRYPTPROV provider, std::optional<std::string>* container) {
    HandleTable& t = table();
    std::lock_guard<std::mutex> guard(t.lock);
    auto it = t.open.find(provider);
    if (it == t.open.end())
        return false;
    *container = it->second;
    return true;
}

} // namespace crypto
} // namespace platform
