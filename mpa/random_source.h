// Where the library's random bytes come from once a provider handle is set.
// The library itself knows no provider: the host that links it installs the
// platform's filler (CryptGenRandom) once at start-up.
#pragma once

#include <cstdint>

namespace mpa {

// Fills len bytes for the given provider handle; the result is not examined.
using RandomFiller = int (*)(uint32_t handle, uint32_t len, uint8_t* buffer);

// Installs the filler used while a handle is set; returns the previous one.
RandomFiller SetRandomFiller(RandomFiller filler);

// The current handle (what MPA_SetCryptHandle stored).
uint32_t CurrentCryptHandle();

// Fills out[0..len) from the provider when a handle and a filler are set,
// else one rand() byte at a time.
void FillRandom(uint8_t* out, int32_t len);

} // namespace mpa
