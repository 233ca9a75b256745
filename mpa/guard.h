// One guard for every exported function: nothing escapes the C interface.
#pragma once

#include <cstdint>

namespace mpa {

// Runs fn; when it throws (memory exhausted, an internal step failing) the
// function returns its documented failure value instead.
template <class Fn> int32_t Guarded(int32_t failure, Fn&& fn) noexcept {
    try {
        return fn();
    } catch (...) {
        return failure;
    }
}

} // namespace mpa
