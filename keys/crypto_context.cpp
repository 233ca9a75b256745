#include "keys/crypto_context.h"

#include "mpa/mpa.h"
#include "platform/crypto/crypt_keys.h"

namespace keys {

void RunFirstRunSetup(ProfileSettings& settings) {
    if (settings.GetInt(kSectionGeneral, kAlreadyRun, 0) != 0)
        return;
    platform::HCRYPTPROV h = 0;
    if (platform::CryptAcquireContextA(&h, kDefaultContainer, platform::MS_DEF_PROV_A,
                                       platform::PROV_RSA_FULL, 0) ||
        platform::CryptAcquireContextA(&h, kDefaultContainer, platform::MS_DEF_PROV_A,
                                       platform::PROV_RSA_FULL, platform::CRYPT_NEWKEYSET)) {
        platform::CryptReleaseContext(h, 0);
        settings.WriteString(kSectionContainerInfo, kCurrent, kDefaultContainer);
        settings.WriteString(kSectionContainerInfo, ItemValueName(0), kDefaultContainer);
    }
    settings.WriteInt(kSectionGeneral, kAlreadyRun, 1);
}

CryptoContext::~CryptoContext() {
    Release();
}

platform::HCRYPTPROV CryptoContext::Open(ProfileSettings& settings) {
    Release();
    const std::string current = settings.GetString(kSectionContainerInfo, kCurrent).value_or("");
    platform::HCRYPTPROV h = 0;
    // An empty name opens the login name's container, as the provider
    // defines it.
    if (platform::CryptAcquireContextA(&h, current.c_str(), platform::MS_DEF_PROV_A,
                                       platform::PROV_RSA_FULL, 0))
        handle_ = h;
    MPA_SetCryptHandle(handle_);
    return handle_;
}

void CryptoContext::Release() {
    if (handle_ == 0)
        return;
    MPA_SetCryptHandle(0);
    platform::CryptReleaseContext(handle_, 0);
    handle_ = 0;
}

} // namespace keys
