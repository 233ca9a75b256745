// The edit box's clipboard blobs ("Kestrune HEX-Data": count, bytes;
// "Kestrune HEX-Block": two counts, their product of bytes), as any other
// program may have put them there, against any limit.
#include "calculator/common/hex_edit_logic.h"
#include "fuzz_expect.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

using fuzz::Expect;

namespace {

uint64_t Le32(const uint8_t* p) {
    return uint64_t{p[0]} | uint64_t{p[1]} << 8 | uint64_t{p[2]} << 16 | uint64_t{p[3]} << 24;
}

// What a blob must give: the counted bytes when they are all there, at least
// one, and no more than the limit.
void Check(const std::optional<std::string>& got, const uint8_t* blob, size_t size, size_t header,
           uint64_t count, int limit) {
    const bool valid =
        count > 0 && size - header >= count && limit >= 0 && count <= static_cast<uint64_t>(limit);
    Expect(got.has_value() == valid, "blob accepted or refused wrongly");
    if (valid)
        Expect(got->size() == count && std::memcmp(got->data(), blob + header, count) == 0,
               "blob bytes");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2)
        return 0;
    // The limit: small ones, or the edit box's usual ones, or hostile ones.
    static const int kLimits[] = {0, 1, 3, 16, 255, 65536, -1, INT32_MAX};
    const int limit = kLimits[data[0] & 7];
    const uint8_t* blob = data + 1;
    const size_t n = size - 1;
    std::string_view text(reinterpret_cast<const char*>(blob), n);
    auto one = calculator::HexDataBytes(text, limit);
    if (n < 4)
        Expect(!one, "short data blob accepted");
    else
        Check(one, blob, n, 4, Le32(blob), limit);
    auto block = calculator::HexBlockBytes(text, limit);
    if (n < 8)
        Expect(!block, "short block blob accepted");
    else
        Check(block, blob, n, 8, Le32(blob) * Le32(blob + 4), limit);
    return 0;
}
