// Buffers for the fuzz programs: every input and output lives in a heap block
// of exactly its stated size, so AddressSanitizer reports the first byte read
// or written beyond it, and operands are drawn from the fuzzer's bytes.
#pragma once

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace fuzz {

// A heap block of exactly n bytes. For n = 0 the pointer is one past a
// 1-byte block: AddressSanitizer lets a zero-size block be written, but not
// the byte after a block, so any access is then reported.
class ExactBuffer {
public:
    explicit ExactBuffer(size_t n) : size_(n), block_(new uint8_t[n ? n : 1]) {
        std::memset(block_.get(), 0xA5, n ? n : 1);
    }
    ExactBuffer(const uint8_t* src, size_t n) : ExactBuffer(n) {
        if (n)
            std::memcpy(block_.get(), src, n);
    }
    explicit ExactBuffer(const std::vector<uint8_t>& src) : ExactBuffer(src.data(), src.size()) {}

    uint8_t* data() { return block_.get() + (size_ ? 0 : 1); }
    const uint8_t* data() const { return block_.get() + (size_ ? 0 : 1); }
    size_t size() const { return size_; }
    int32_t len() const { return static_cast<int32_t>(size_); }
    std::vector<uint8_t> Bytes(size_t n) const { return {data(), data() + n}; }

private:
    size_t size_;
    std::unique_ptr<uint8_t[]> block_;
};

// A length or capacity as a hostile caller might pass it: mostly a plain
// value up to maxPositive, sometimes zero, a negative number or an extreme.
inline int32_t HostileCount(FuzzedDataProvider& in, int32_t maxPositive) {
    switch (in.ConsumeIntegralInRange<int>(0, 15)) {
    case 0:
        return 0;
    case 1:
        return -1;
    case 2:
        return INT32_MIN;
    case 3:
        return in.ConsumeIntegralInRange<int32_t>(INT32_MIN, -1);
    default:
        return in.ConsumeIntegralInRange<int32_t>(1, maxPositive);
    }
}

// Bytes of an operand whose stated length is len: max(len, 0) bytes, fewer
// only when the fuzzer's input runs out.
inline std::vector<uint8_t> OperandBytes(FuzzedDataProvider& in, int32_t len) {
    return in.ConsumeBytes<uint8_t>(len > 0 ? static_cast<size_t>(len) : 0);
}

} // namespace fuzz
