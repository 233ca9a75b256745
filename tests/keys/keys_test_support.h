// Shared by the key container tests: the settings over a temporary registry
// and short calls into the provider.
#pragma once

#include "keys/profile_settings.h"
#include "platform/crypto/crypt_keys.h"
#include "support/temp_key_store.h"

#include <string>
#include <vector>

class KeysTest : public TempKeyStoreTest {
protected:
    keys::RegistryProfile settings_{
        [](const std::string& section) { return "Software\\Pellacor\\Ordovane\\" + section; }};

    static bool Exists(const std::string& name) {
        platform::HCRYPTPROV h = 0;
        if (!platform::CryptAcquireContextA(&h, name.c_str(), platform::MS_DEF_PROV_A,
                                            platform::PROV_RSA_FULL, 0))
            return false;
        platform::CryptReleaseContext(h, 0);
        return true;
    }

    // The public blob of a container's pair, empty when it has none.
    static std::vector<uint8_t> PublicBlob(const std::string& name, uint32_t keySpec) {
        platform::HCRYPTPROV h = 0;
        platform::HCRYPTKEY k = 0;
        std::vector<uint8_t> blob(1024);
        uint32_t len = static_cast<uint32_t>(blob.size());
        bool ok = platform::CryptAcquireContextA(&h, name.c_str(), platform::MS_DEF_PROV_A,
                                                 platform::PROV_RSA_FULL, 0) &&
                  platform::CryptGetUserKey(h, keySpec, &k) &&
                  platform::CryptExportKey(k, 0, platform::PUBLICKEYBLOB, 0, blob.data(), &len);
        if (k)
            platform::CryptDestroyKey(k);
        if (h)
            platform::CryptReleaseContext(h, 0);
        blob.resize(ok ? len : 0);
        return blob;
    }

    // A container with only the pairs asked for.
    static void MakeContainer(const std::string& name, bool exchange, bool signature,
                              uint32_t flags = platform::CRYPT_EXPORTABLE) {
        platform::HCRYPTPROV h = 0;
        platform::HCRYPTKEY k = 0;
        ASSERT_TRUE(platform::CryptAcquireContextA(&h, name.c_str(), platform::MS_DEF_PROV_A,
                                                   platform::PROV_RSA_FULL,
                                                   platform::CRYPT_NEWKEYSET));
        if (exchange) {
            ASSERT_TRUE(platform::CryptGenKey(h, platform::AT_KEYEXCHANGE, flags, &k));
            platform::CryptDestroyKey(k);
        }
        if (signature) {
            ASSERT_TRUE(platform::CryptGenKey(h, platform::AT_SIGNATURE, flags, &k));
            platform::CryptDestroyKey(k);
        }
        platform::CryptReleaseContext(h, 0);
    }
};
