#include "tools/generators.h"

#include "mpa/mpa.h"
#include "resources/ids.h"
#include "text/hex_text.h"

#include <algorithm>
#include <new>
#include <vector>

namespace tools {

bool SeedBytes(SeedType seedType, const std::string& seedText, std::string& bytes) {
    bytes.clear();
    if (seedType == SeedType::None || seedText.empty())
        return true;
    if (seedType == SeedType::Ascii) {
        bytes = seedText;
        return true;
    }
    if (text::CountHexTokens(seedText, false) <= 0)
        return false;
    std::string list;
    const int32_t count = text::NormalizeHexText(seedText, list);
    if (count <= 0)
        return false;
    bytes.resize(static_cast<size_t>(count));
    text::ParseHexBytes(list, reinterpret_cast<uint8_t*>(bytes.data()), count);
    return true;
}

GeneratorResult GenerateRandomNumber(int bits, SeedType seedType, const std::string& seedText) {
    GeneratorResult r;
    bits = std::max(bits, kMinRandomBits);
    std::string seed;
    if (!SeedBytes(seedType, seedText, seed)) {
        r.message = ids::kMsgInvalidSeed;
        return r;
    }
    const int64_t produced = (static_cast<int64_t>(bits) + 7) / 8;
    int64_t length = produced + 8;
    if (static_cast<int64_t>(seed.size()) > length)
        length = static_cast<int64_t>(seed.size()) + 8;
    std::vector<uint8_t> buffer;
    try {
        buffer.assign(static_cast<size_t>(length), 0);
    } catch (const std::bad_alloc&) {
        r.message = ids::kMsgOutOfMemory;
        return r;
    }
    std::copy(seed.begin(), seed.end(), buffer.begin());
    const int32_t count =
        MPA_GenRandomBits(buffer.data(), static_cast<int32_t>(buffer.size()), bits);
    if (count <= 0)
        return r;
    text::FormatHexBytes(buffer.data(), count, r.list);
    r.ok = true;
    return r;
}

GeneratorResult GenerateRandomPrime(int bits, int testCount) {
    GeneratorResult r;
    bits = std::max(bits, kMinPrimeBits);
    std::vector<uint8_t> buffer;
    try {
        buffer.assign(static_cast<size_t>((bits + 7) / 8), 0);
    } catch (const std::bad_alloc&) {
        r.message = ids::kMsgOutOfMemory;
        return r;
    }
    const int32_t count =
        MPA_MillerRabinSearch(bits, testCount, buffer.data(), static_cast<int32_t>(buffer.size()));
    if (count <= 0)
        return r;
    text::FormatHexBytes(buffer.data(), count, r.list);
    r.ok = true;
    return r;
}

} // namespace tools
