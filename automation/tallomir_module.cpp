// Module set-up of libtallomir.so. The exported MPA_ functions come from the
// mpa library linked in; here the module wires the library's random source to
// the platform provider, as the program does at start-up.
#include "platform/crypto/provider_random.h"

namespace {

[[maybe_unused]] const bool filler_installed = (platform::InstallProviderRandom(), true);

} // namespace
