// The library's one piece of process state: the provider handle that
// decides where random bytes come from.
#include "mpa/random_source.h"
#include "mpa/mpa.h"

#include <atomic>
#include <cstdlib>

namespace mpa {
namespace {

// Relaxed atomics: no ordering is promised to callers, but a handle set on
// one thread while another draws is not undefined behaviour.
std::atomic<uint32_t> g_handle{0};
std::atomic<RandomFiller> g_filler{nullptr};

} // namespace

RandomFiller SetRandomFiller(RandomFiller filler) {
    return g_filler.exchange(filler, std::memory_order_relaxed);
}

uint32_t CurrentCryptHandle() {
    return g_handle.load(std::memory_order_relaxed);
}

void FillRandom(uint8_t* out, int32_t len) {
    if (len <= 0)
        return;
    uint32_t handle = CurrentCryptHandle();
    RandomFiller filler = g_filler.load(std::memory_order_relaxed);
    if (handle != 0 && filler) {
        // The provider's result is not examined: the bytes are used as they are.
        filler(handle, static_cast<uint32_t>(len), out);
        return;
    }
    for (int32_t i = 0; i < len; ++i)
        out[i] = static_cast<uint8_t>(std::rand() % 256);
}

} // namespace mpa

extern "C" {

uint32_t MPA_SetCryptHandle(uint32_t handle) {
    return mpa::g_handle.exchange(handle, std::memory_order_relaxed);
}

int32_t MPA_GenRandomBits(uint8_t* out, int32_t outSize, int32_t nBits) {
    if (nBits <= 0 || !out)
        return 0;
    const int64_t len = (static_cast<int64_t>(nBits) + 7) / 8;
    if (outSize < len)
        return 0;
    mpa::FillRandom(out, static_cast<int32_t>(len));
    return static_cast<int32_t>(len);
}

} // extern "C"
