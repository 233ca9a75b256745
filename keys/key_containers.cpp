#include "keys/key_containers.h"

#include "platform/crypto/crypt_keys.h"
#include "platform/crypto/last_error.h"
#include "text/system_error.h"

#include <algorithm>
#include <cstdio>

namespace keys {
namespace {

constexpr char kItemPrefix[] = "Item";

// A message with the container name in place of its %s.
std::string WithName(const char* format, const std::string& name) {
    std::string text = format;
    size_t at = text.find("%s");
    if (at != std::string::npos)
        text.replace(at, 2, name);
    return text;
}

ContainerResult Failure() {
    ContainerResult r;
    r.error = platform::GetLastError();
    r.message = text::SystemErrorText(static_cast<int>(r.error));
    return r;
}

bool Open(const std::string& name, uint32_t flags, platform::HCRYPTPROV* h) {
    return platform::CryptAcquireContextA(h, name.c_str(), platform::MS_DEF_PROV_A,
                                          platform::PROV_RSA_FULL, flags);
}

// Leaves a pair of kind keySpec in the container: kept when there is one,
// generated (exportable) when the provider says it is missing.
bool EnsurePair(platform::HCRYPTPROV h, uint32_t keySpec) {
    platform::HCRYPTKEY key = 0;
    if (platform::CryptGetUserKey(h, keySpec, &key)) {
        platform::CryptDestroyKey(key);
        return true;
    }
    if (platform::GetLastError() != platform::NTE_NO_KEY)
        return false;
    if (!platform::CryptGenKey(h, keySpec, platform::CRYPT_EXPORTABLE, &key))
        return false;
    platform::CryptDestroyKey(key);
    return true;
}

bool EqualsFolded(const std::string& a, const std::string& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        auto fold = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
        return fold(x) == fold(y);
    });
}

} // namespace

std::string ItemValueName(size_t position) {
    char digits[2 * sizeof(size_t) + 1];
    std::snprintf(digits, sizeof digits, "%zx", position);
    return kItemPrefix + std::string(digits);
}

ContainerInfo ReadContainerInfo(ProfileSettings& settings) {
    ContainerInfo info;
    if (auto current = settings.GetString(kSectionContainerInfo, kCurrent))
        info.current = *current;
    for (size_t i = 0;; ++i) {
        auto item = settings.GetString(kSectionContainerInfo, ItemValueName(i));
        if (!item)
            break;
        info.items.push_back(std::move(*item));
    }
    return info;
}

bool WriteContainerInfo(ProfileSettings& settings, const std::vector<std::string>& items,
                        const std::string& current) {
    bool ok = settings.DeleteSection(kSectionContainerInfo);
    for (size_t i = 0; i < items.size(); ++i)
        if (!items[i].empty())
            ok = settings.WriteString(kSectionContainerInfo, ItemValueName(i), items[i]) && ok;
    if (!current.empty())
        ok = settings.WriteString(kSectionContainerInfo, kCurrent, current) && ok;
    return ok;
}

bool ContainerExists(const std::string& name) {
    platform::HCRYPTPROV h = 0;
    if (name.empty() || !Open(name, 0, &h))
        return false;
    platform::CryptReleaseContext(h, 0);
    return true;
}

ContainerResult CreateKeyContainer(const std::string& name) {
    ContainerResult r;
    platform::HCRYPTPROV h = 0;
    if (Open(name, 0, &h)) {
        r.outcome = ContainerOutcome::AlreadyCreated;
        r.message = WithName("The key container \"%s\" had already been created.", name);
    } else if (platform::GetLastError() == platform::NTE_KEYSET_ENTRY_BAD) {
        // Creating would only say it exists; the damage is what to report.
        return Failure();
    } else if (Open(name, platform::CRYPT_NEWKEYSET, &h)) {
        r.outcome = ContainerOutcome::Created;
        r.message = WithName("The key container \"%s\" has been created.", name);
    } else {
        return Failure();
    }
    // A pair that cannot be made is reported rather than announced as done.
    if (!EnsurePair(h, platform::AT_SIGNATURE) || !EnsurePair(h, platform::AT_KEYEXCHANGE))
        r = Failure();
    platform::CryptReleaseContext(h, 0);
    return r;
}

ContainerResult DeleteKeyContainer(const std::string& name) {
    platform::HCRYPTPROV h = 0;
    if (!Open(name, platform::CRYPT_DELETEKEYSET, &h))
        return Failure();
    ContainerResult r;
    r.outcome = ContainerOutcome::Deleted;
    r.message = WithName("The key container \"%s\" has been deleted.", name);
    return r;
}

std::string DeleteQuestion(const std::string& name) {
    return WithName("Do you really want to delete the key container \"%s\"?", name);
}

std::optional<size_t> FindInList(const std::vector<std::string>& list, const std::string& name) {
    for (size_t i = 0; i < list.size(); ++i)
        if (EqualsFolded(list[i], name))
            return i;
    return std::nullopt;
}

bool AddToList(std::vector<std::string>& list, const std::string& name) {
    if (FindInList(list, name))
        return false;
    list.insert(list.begin(), name);
    return true;
}

bool RemoveFromList(std::vector<std::string>& list, const std::string& name) {
    std::optional<size_t> at = FindInList(list, name);
    if (!at)
        return false;
    list.erase(list.begin() + static_cast<std::ptrdiff_t>(*at));
    return true;
}

} // namespace keys
