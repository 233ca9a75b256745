// Where CryptDeriveKey reads a hash handle's value (internal): the provider's
// hashes live apart from its keys, so the key side asks through this one
// function pointer.
#pragma once

#include "platform/crypto/crypt_keys.h"
#include "platform/platform_api.h"

#include <cstdint>
#include <vector>

namespace platform::crypto {

// Fills *value with the finished hash value of hash and returns true; false
// (last error set) for an unknown handle.
using HashValueReader = bool (*)(HCRYPTHASH hash, std::vector<uint8_t>* value);

// Installs reader and returns the one it replaces.
PLATFORM_API HashValueReader SetHashValueReader(HashValueReader reader);

} // namespace platform::crypto
