// The cryptographic provider in place of the operating system's one: a table
// of 32-bit provider handles (0 = none) and random bytes from the kernel.
// A handle is bound to a key container (crypt_keys.h) or, from
// AcquireRandomContext, to none.
#pragma once

#include "platform/platform_api.h"

#include <cstdint>

namespace platform {

using HCRYPTPROV = uint32_t;

// A new provider handle that serves random bytes; 0 when the table is full.
PLATFORM_API HCRYPTPROV AcquireRandomContext();

// Closes a handle; false (last error NTE_BAD_UID or NTE_BAD_FLAGS) when it is
// not open or flags is not 0. Key handles taken from it stay usable.
PLATFORM_API bool CryptReleaseContext(HCRYPTPROV provider, uint32_t flags);

// True while the handle is open.
PLATFORM_API bool IsProviderHandle(HCRYPTPROV provider);

// Fills len bytes with operating-system randomness. False, leaving the buffer
// as it was, for an unknown handle or when the kernel refuses.
PLATFORM_API bool CryptGenRandom(HCRYPTPROV provider, uint32_t len, uint8_t* buffer);

} // namespace platform
