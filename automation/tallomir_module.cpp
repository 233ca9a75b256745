// Module set-up of libtallomir.so. The exported MPA_ functions come from the
// mpa library linked in; here the module wires the library's random source to
// the platform provider, as the program does at start-up.
#include "mpa/random_source.h"
#include "platform/crypto/crypt_provider.h"

namespace {

int providerFiller(uint32_t handle, uint32_t len, uint8_t* buffer) {
    return platform::CryptGenRandom(handle, len, buffer) ? 1 : 0;
}

[[maybe_unused]] const bool filler_installed = (mpa::SetRandomFiller(&providerFiller), true);

} // namespace
