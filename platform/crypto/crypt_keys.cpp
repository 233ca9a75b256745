#include "platform/crypto/crypt_keys.h"

#include "platform/crypto/handle_table.h"
#include "platform/crypto/key_blob.h"
#include "platform/crypto/key_store.h"
#include "platform/crypto/last_error.h"
#include "platform/crypto/provider_handles.h"
#include "platform/crypto/rsa_keys.h"
#include "platform/crypto/session_key.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <variant>

#include <pwd.h>
#include <unistd.h>

namespace platform {
namespace {

using crypto::KeySpec;
using crypto::StoreResult;
using crypto::StoreStatus;

// A key handle holds a copy of what it stands for: a user pair as the store
// held it when the handle was made, or a derived session key.
struct UserPair {
    KeySpec kind;
    crypto::StoredPair pair;
};
using KeyObject = std::variant<UserPair, crypto::SessionKey>;

// Key handles count from apart from provider handles, to catch mix-ups.
crypto::HandleTable<KeyObject>& keys() {
    static crypto::HandleTable<KeyObject> t(0x40000000);
    return t;
}

bool Fail(uint32_t code) {
    SetLastError(code);
    return false;
}

// The store's answer as the last error.
bool FailStore(const StoreResult& r) {
    switch (r.status) {
    case StoreStatus::Ok:
        return true;
    case StoreStatus::NotFound:
        return Fail(NTE_BAD_KEYSET);
    case StoreStatus::Exists:
        return Fail(NTE_EXISTS);
    case StoreStatus::Damaged:
        return Fail(NTE_KEYSET_ENTRY_BAD);
    case StoreStatus::BadName:
        return Fail(NTE_BAD_KEYSET_PARAM);
    case StoreStatus::Io:
        return Fail(static_cast<uint32_t>(r.osError));
    }
    return Fail(NTE_FAIL);
}

std::string LoginName() {
    struct passwd pw;
    struct passwd* found = nullptr;
    char buf[4096];
    if (getpwuid_r(getuid(), &pw, buf, sizeof buf, &found) == 0 && found && found->pw_name &&
        *found->pw_name)
        return found->pw_name;
    const char* user = std::getenv("USER");
    return user && *user ? user : "default";
}

// The container a provider handle is bound to; false (last error set) for a
// closed handle or one without a container.
bool ContainerOf(HCRYPTPROV hProv, std::string* name) {
    std::optional<std::string> bound;
    if (!crypto::ProviderContainer(hProv, &bound) || !bound)
        return Fail(NTE_BAD_UID);
    *name = std::move(*bound);
    return true;
}

std::optional<KeySpec> SpecOf(uint32_t keySpecOrAlg) {
    if (keySpecOrAlg == AT_KEYEXCHANGE || keySpecOrAlg == CALG_RSA_KEYX)
        return KeySpec::Exchange;
    if (keySpecOrAlg == AT_SIGNATURE || keySpecOrAlg == CALG_RSA_SIGN)
        return KeySpec::Signature;
    return std::nullopt;
}

bool Output(const std::vector<uint8_t>& blob, uint8_t* pbData, uint32_t* pdwDataLen) {
    const uint32_t capacity = *pdwDataLen;
    *pdwDataLen = static_cast<uint32_t>(blob.size());
    if (pbData == nullptr)
        return true;
    if (capacity < blob.size())
        return Fail(ERROR_MORE_DATA);
    std::memcpy(pbData, blob.data(), blob.size());
    return true;
}

} // namespace

bool CryptAcquireContextA(HCRYPTPROV* phProv, const char* container, const char* provider,
                          uint32_t provType, uint32_t flags) {
    if (phProv == nullptr)
        return Fail(EINVAL);
    if (provider != nullptr && std::strcmp(provider, MS_DEF_PROV_A) != 0)
        return Fail(NTE_KEYSET_NOT_DEF);
    if (provType != PROV_RSA_FULL)
        return Fail(NTE_BAD_PROV_TYPE);
    if (flags == CRYPT_VERIFYCONTEXT) {
        HCRYPTPROV h = crypto::OpenProviderHandle(std::nullopt);
        if (h == 0)
            return Fail(NTE_NO_MEMORY);
        *phProv = h;
        return true;
    }
    if (flags != 0 && flags != CRYPT_NEWKEYSET && flags != CRYPT_DELETEKEYSET)
        return Fail(NTE_BAD_FLAGS);
    const std::string name = container && *container ? container : LoginName();
    if (flags == CRYPT_DELETEKEYSET) {
        if (!FailStore(crypto::DeleteContainer(name)))
            return false;
        *phProv = 0;
        return true;
    }
    if (flags == CRYPT_NEWKEYSET) {
        if (!FailStore(crypto::CreateContainer(name)))
            return false;
    } else {
        // Opening checks the whole file, so a damaged container is reported
        // here rather than at the first key.
        crypto::Container c;
        if (!FailStore(crypto::LoadContainer(name, &c)))
            return false;
    }
    HCRYPTPROV h = crypto::OpenProviderHandle(name);
    if (h == 0)
        return Fail(NTE_NO_MEMORY);
    *phProv = h;
    return true;
}

bool CryptGetUserKey(HCRYPTPROV hProv, uint32_t keySpec, HCRYPTKEY* phUserKey) {
    std::string name;
    if (!ContainerOf(hProv, &name))
        return false;
    if (phUserKey == nullptr)
        return Fail(EINVAL);
    if (keySpec != AT_KEYEXCHANGE && keySpec != AT_SIGNATURE)
        return Fail(NTE_NO_KEY);
    crypto::Container c;
    if (!FailStore(crypto::LoadContainer(name, &c)))
        return false;
    const KeySpec kind = *SpecOf(keySpec);
    std::optional<crypto::StoredPair>& pair = kind == KeySpec::Exchange ? c.exchange : c.signature;
    if (!pair)
        return Fail(NTE_NO_KEY);
    HCRYPTKEY h = keys().Add(UserPair{kind, std::move(*pair)});
    if (h == 0)
        return Fail(NTE_NO_MEMORY);
    *phUserKey = h;
    return true;
}

bool CryptGenKey(HCRYPTPROV hProv, uint32_t algId, uint32_t flags, HCRYPTKEY* phKey) {
    std::string name;
    if (!ContainerOf(hProv, &name))
        return false;
    if (phKey == nullptr)
        return Fail(EINVAL);
    std::optional<KeySpec> kind = SpecOf(algId);
    if (!kind)
        return Fail(NTE_BAD_ALGID);
    uint32_t bits = flags >> 16;
    if (bits == 0)
        bits = crypto::kDefaultRsaBits;
    if ((flags & 0xffff & ~CRYPT_EXPORTABLE) != 0 || bits < 512 || bits > 4096 || bits % 16 != 0)
        return Fail(NTE_BAD_FLAGS);
    // Generated before the store is locked: other processes wait only for
    // the write.
    std::optional<crypto::RsaKeyParts> key =
        crypto::GenerateRsaKey(bits, crypto::kDefaultPublicExponent);
    if (!key)
        return Fail(NTE_FAIL);
    crypto::StoredPair pair{(flags & CRYPT_EXPORTABLE) != 0, std::move(*key)};
    if (!FailStore(crypto::PutPair(name, *kind, pair)))
        return false;
    HCRYPTKEY h = keys().Add(UserPair{*kind, std::move(pair)});
    if (h == 0)
        return Fail(NTE_NO_MEMORY);
    *phKey = h;
    return true;
}

bool CryptDeriveKey(HCRYPTPROV hProv, uint32_t algId, HCRYPTHASH hBaseData, uint32_t flags,
                    HCRYPTKEY* phKey) {
    if (!IsProviderHandle(hProv))
        return Fail(NTE_BAD_UID);
    if (phKey == nullptr)
        return Fail(EINVAL);
    if (algId != CALG_RC2 && algId != CALG_RC4)
        return Fail(NTE_BAD_ALGID);
    std::vector<uint8_t> value;
    if (!crypto::ReadHashValue(hBaseData, &value))
        return false;
    std::optional<crypto::SessionKey> key = crypto::DeriveBaseSessionKey(algId, value, flags);
    if (!key)
        return Fail(NTE_BAD_FLAGS);
    HCRYPTKEY h = keys().Add(std::move(*key));
    if (h == 0)
        return Fail(NTE_NO_MEMORY);
    *phKey = h;
    return true;
}

bool CryptExportKey(HCRYPTKEY hKey, HCRYPTKEY hExpKey, uint32_t blobType, uint32_t flags,
                    uint8_t* pbData, uint32_t* pdwDataLen) {
    if (pdwDataLen == nullptr)
        return Fail(EINVAL);
    std::optional<KeyObject> key = keys().Find(hKey);
    if (!key)
        return Fail(NTE_BAD_KEY);
    if (flags != 0)
        return Fail(NTE_BAD_FLAGS);
    const UserPair* user = std::get_if<UserPair>(&*key);
    if (user == nullptr)
        return Fail(NTE_BAD_TYPE); // session keys are not exported
    const uint32_t algId = crypto::PairAlgId(user->kind);
    if (blobType == PUBLICKEYBLOB) {
        if (hExpKey != 0)
            return Fail(NTE_BAD_KEY);
        return Output(crypto::PublicKeyBlob(user->pair.key, algId), pbData, pdwDataLen);
    }
    if (blobType != PRIVATEKEYBLOB)
        return Fail(NTE_BAD_TYPE);
    if (!user->pair.exportable)
        return Fail(NTE_BAD_KEY_STATE);
    std::vector<uint8_t> blob = crypto::PrivateKeyBlob(user->pair.key, algId);
    if (hExpKey != 0) {
        std::optional<KeyObject> exp = keys().Find(hExpKey);
        if (!exp)
            return Fail(NTE_BAD_KEY);
        const crypto::SessionKey* session = std::get_if<crypto::SessionKey>(&*exp);
        if (session == nullptr)
            return Fail(NTE_BAD_KEY);
        // The header stays readable; everything after it is encrypted.
        std::vector<uint8_t> body(blob.begin() + crypto::kBlobHeaderSize, blob.end());
        std::vector<uint8_t> sealed = crypto::EncryptFinal(*session, body);
        blob.resize(crypto::kBlobHeaderSize);
        blob.insert(blob.end(), sealed.begin(), sealed.end());
    }
    return Output(blob, pbData, pdwDataLen);
}

bool EnumKeyContainers(std::vector<std::string>* names) {
    if (names == nullptr)
        return Fail(EINVAL);
    size_t damaged = 0;
    if (!FailStore(crypto::ListContainers(names, &damaged)))
        return false;
    return damaged == 0 || Fail(NTE_KEYSET_ENTRY_BAD);
}

bool CryptDestroyKey(HCRYPTKEY hKey) {
    return keys().Erase(hKey) || Fail(NTE_BAD_KEY);
}

} // namespace platform
