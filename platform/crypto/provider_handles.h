// The provider handle table shared by the provider's files (internal): a
// handle is bound to one key container, or to none for a context that serves
// only random bytes and hashes.
#pragma once

#include "platform/crypto/crypt_provider.h"

#include <optional>
#include <string>

namespace platform::crypto {

// A new handle bound to container (nullopt: no container); 0 when the table
// is full.
HCRYPTPROV OpenProviderHandle(std::optional<std::string> container);

// False when provider is not open; else *container receives its binding.
bool ProviderContainer(HCRYPTPROV provider, std::optional<std::string>* container);

} // namespace platform::crypto
