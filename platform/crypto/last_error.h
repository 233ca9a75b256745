// The calling thread's last error, as the provider's calls leave it: an NTE_
// code of crypt_keys.h for a provider refusal, or the errno value of a file
// operation that failed. text::SystemErrorText turns either into a message.
#pragma once

#include "platform/platform_api.h"

#include <cstdint>

namespace platform {

// The code the last failing call of this thread set; 0 when none has failed.
PLATFORM_API uint32_t GetLastError();

// Sets the calling thread's last error to code.
PLATFORM_API void SetLastError(uint32_t code);

} // namespace platform
