// Wires the arithmetic library's random source to the platform provider, so
// that random numbers come from the provider handle a caller sets (as the
// program, the shared library and the CLI all do at start-up).
#pragma once

#include "mpa/random_source.h"
#include "platform/crypto/crypt_provider.h"

namespace platform {

// Inline on purpose: the random source lives in each module's own copy of
// the arithmetic library, so each module installs the filler into its copy.
inline void InstallProviderRandom() {
    mpa::SetRandomFiller([](uint32_t handle, uint32_t len, uint8_t* buffer) -> int {
        return platform::CryptGenRandom(handle, len, buffer) ? 1 : 0;
    });
}

} // namespace platform
