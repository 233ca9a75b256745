#include "platform/crypto/crypt_provider.h"

#include "platform/crypto/crypt_keys.h"
#include "platform/crypto/handle_table.h"
#include "platform/crypto/last_error.h"
#include "platform/crypto/provider_handles.h"

#include <cerrno>

#include <sys/random.h>

namespace platform {
namespace {

// Each open provider handle and the key container it is bound to, if any.
crypto::HandleTable<std::optional<std::string>>& table() {
    static crypto::HandleTable<std::optional<std::string>> t(0x1000);
    return t;
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
    if (!table().Erase(provider)) {
        SetLastError(NTE_BAD_UID);
        return false;
    }
    return true;
}

bool IsProviderHandle(HCRYPTPROV provider) {
    return table().Contains(provider);
}

bool CryptGenRandom(HCRYPTPROV provider, uint32_t len, uint8_t* buffer) {
    if (!IsProviderHandle(provider) || (buffer == nullptr && len != 0))
        return false;
    return kernelRandom(buffer, len);
}

namespace crypto {

HCRYPTPROV OpenProviderHandle(std::optional<std::string> container) {
    return table().Add(std::move(container));
}

bool ProviderContainer(HCRYPTPROV provider, std::optional<std::string>* container) {
    std::optional<std::optional<std::string>> bound = table().Find(provider);
    if (!bound)
        return false;
    *container = std::move(*bound);
    return true;
}

} // namespace crypto
} // namespace platform
