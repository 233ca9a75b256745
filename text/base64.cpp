#include "text/base64.h"

#include "text/char_classes.h"

#include <array>
#include <climits>
#include <new>

namespace text {
namespace {

constexpr int kGroupsPerLine = 18; // 72 characters

constexpr std::array<int8_t, 256> MakeReverseTable() {
    std::array<int8_t, 256> table{};
    table.fill(-1);
    for (size_t i = 0; i < kBase64Alphabet.size(); ++i)
        table[static_cast<unsigned char>(kBase64Alphabet[i])] = static_cast<int8_t>(i);
    return table;
}

constexpr std::array<int8_t, 256> kReverse = MakeReverseTable();

} // namespace

int32_t EncodeBase64(const uint8_t* bytes, int32_t count, std::string& out) try {
    out.clear();
    if (count < 0 || (bytes == nullptr && count > 0))
        return -1;
    const int64_t groups = count / 3;
    const int64_t size = groups * 4 + (groups / kGroupsPerLine + 1) * 2 + (count % 3 ? 4 : 0);
    if (size > INT32_MAX)
        return -1;
    out.reserve(static_cast<size_t>(size));
    auto put = [&](uint32_t bits, int chars) {
        for (int i = 0; i < chars; ++i)
            out += kBase64Alphabet[(bits >> (18 - 6 * i)) & 63];
    };
    const uint8_t* p = bytes;
    for (int64_t g = 1; g <= groups; ++g, p += 3) {
        put(uint32_t{p[0]} << 16 | uint32_t{p[1]} << 8 | p[2], 4);
        if (g % kGroupsPerLine == 0)
            out += "\r\n";
    }
    // Always ended, even straight after a full line: readers of the export
    // files rely on this layout.
    out += "\r\n";
    if (count % 3 == 1) {
        put(uint32_t{p[0]} << 16, 2);
        out += "==";
    } else if (count % 3 == 2) {
        put(uint32_t{p[0]} << 16 | uint32_t{p[1]} << 8, 3);
        out += '=';
    }
    return static_cast<int32_t>(out.size());
} catch (const std::bad_alloc&) {
    out.clear();
    return -1;
}

int32_t DecodeBase64(std::string_view text, uint8_t* out, int32_t capacity) {
    if (out == nullptr || capacity < 0 || static_cast<size_t>(capacity) < text.size())
        return -1;
    uint32_t acc = 0;
    int pending = 0;
    int32_t written = 0;
    for (char c : text) {
        if (IsSeparator(c))
            continue;
        if (c == '=')
            break;
        int v = kReverse[static_cast<unsigned char>(c)];
        if (v < 0)
            return -1;
        acc = (acc << 6 | static_cast<uint32_t>(v)) & 0xfff;
        pending += 6;
        if (pending >= 8) {
            pending -= 8;
            out[written++] = static_cast<uint8_t>(acc >> pending);
        }
    }
    return written;
}

int32_t CheckBase64(std::string_view text) {
    if (text.size() > INT32_MAX)
        return -1;
    for (char c : text)
        if (kReverse[static_cast<unsigned char>(c)] < 0 && c != '=' && !IsSeparator(c))
            return -1;
    return static_cast<int32_t>(text.size());
}

} // namespace text
