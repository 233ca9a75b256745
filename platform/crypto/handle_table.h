// A table of 32-bit handles (0 = none) to objects of the provider (internal):
// one per kind of handle, safe to use from any thread. Handles are not reused
// soon, so a stale handle kept by a caller fails instead of reaching someone
// else's object.
#pragma once

#include <cstdint>
#include <mutex>
#include <optional>
#include <unordered_map>
#include <utility>

namespace platform::crypto {

template <typename T> class HandleTable {
public:
    // Handles count up from first (nonzero), wrapping back to it.
    explicit HandleTable(uint32_t first) : first_(first), next_(first) {}

    // A new handle to value; 0 when no handle is free.
    uint32_t Add(T value) {
        std::lock_guard<std::mutex> guard(lock_);
        for (int tries = 0; tries < 1 << 20; ++tries) {
            uint32_t h = next_++;
            if (next_ == 0)
                next_ = first_;
            if (h != 0 && !open_.count(h)) {
                open_.emplace(h, std::move(value));
                return h;
            }
        }
        return 0;
    }

    // A copy of the object of h; nullopt when h is not open.
    std::optional<T> Find(uint32_t h) const {
        std::lock_guard<std::mutex> guard(lock_);
        auto it = open_.find(h);
        if (it == open_.end())
            return std::nullopt;
        return it->second;
    }

    bool Contains(uint32_t h) const {
        std::lock_guard<std::mutex> guard(lock_);
        return open_.count(h) == 1;
    }

    // Closes h; false when it was not open.
    bool Erase(uint32_t h) {
        std::lock_guard<std::mutex> guard(lock_);
        return open_.erase(h) == 1;
    }

private:
    mutable std::mutex lock_;
    std::unordered_map<uint32_t, T> open_;
    const uint32_t first_;
    uint32_t next_;
};

} // namespace platform::crypto
