// Operand text in every number system: reading a box's text into a hex byte
// list and showing it again must give the same list, and the token helpers
// must stay inside the buffers they are given.
#include "fuzz_buffers.h"

#include "text/hex_text.h"
#include "text/radix_text.h"

#include <cstdio>
#include <cstdlib>

namespace {

[[noreturn]] void Fail(const char* what) {
    std::fprintf(stderr, "operand text: %s\n", what);
    std::abort();
}

void Expect(bool ok, const char* what) {
    if (!ok)
        Fail(what);
}

// Hex byte lists as read back may differ only in letter case.
bool SameList(const std::string& a, const std::string& b) {
    return text::ApplyLetterCase(a, false) == text::ApplyLetterCase(b, false);
}

void BoxRoundTrip(text::NumberSystem system, std::string_view input, bool upper) {
    std::string list;
    text::HexListResult read = text::ToHexList(system, input, list);
    if (read.count <= 0)
        return;
    std::string shown;
    int32_t n = text::FromHexList(system, list, upper, shown);
    Expect(n == static_cast<int32_t>(shown.size()), "shown length");
    std::string again;
    text::HexListResult reread = text::ToHexList(system, shown, again);
    Expect(reread.count == read.count && SameList(list, again), "box text round trip");
}

void Tokens(std::string_view input, int32_t cap, int32_t index) {
    int32_t tokens = text::ParseHexBytes(input, nullptr, 0);
    fuzz::ExactBuffer out(cap > 0 ? static_cast<size_t>(cap) : 0);
    int32_t stored = text::ParseHexBytes(input, out.data(), cap);
    if (cap <= 0)
        Expect(stored == -1, "parse with no capacity");
    else
        Expect(stored == std::min(tokens, cap), "parse count");
    int32_t token = text::GetHexToken(input, index);
    Expect(token >= -1, "token value");
    int32_t counted = text::CountHexTokens(input, index & 1);
    if (counted > 0) {
        Expect(counted == tokens, "token count");
        std::string normal;
        int32_t bytes = text::NormalizeHexText(input, normal);
        Expect(bytes >= counted && normal.size() == 3 * static_cast<size_t>(bytes),
               "normalised length");
        std::string formatted;
        fuzz::ExactBuffer parsed(static_cast<size_t>(bytes));
        Expect(text::ParseHexBytes(normal, parsed.data(), bytes) == bytes, "normalised tokens");
        Expect(text::FormatHexBytes(parsed.data(), bytes, formatted) == 3 * bytes &&
                   SameList(formatted, normal),
               "format round trip");
    }
}

void Radix(int radix, std::string_view input) {
    std::string hex;
    if (text::RadixTextToHex(radix, input, hex) < 0)
        return;
    Expect(hex.size() % 2 == 0 && !hex.empty(), "radix hex length");
    std::string list;
    for (size_t i = 0; i < hex.size(); i += 2)
        list.append(hex, i, 2).push_back(' ');
    std::string digits;
    Expect(text::HexToRadixText(list, radix, digits) > 0, "radix back");
    std::string hex2;
    Expect(text::RadixTextToHex(radix, digits, hex2) > 0, "radix again");
    // Binary keeps every byte; the others are minimal, and "000" reads as 00.
    Expect(hex2 == hex, "radix round trip");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 3)
        return 0;
    const uint8_t mode = data[0];
    const int32_t cap = static_cast<int8_t>(data[1]);
    const int32_t index = static_cast<int8_t>(data[2]);
    std::string_view input(reinterpret_cast<const char*>(data + 3), size - 3);
    // The code of a system comes from the settings, so any int may arrive.
    const auto system = static_cast<text::NumberSystem>((mode & 7) == 7 ? -1 : (mode & 3));
    BoxRoundTrip(system, input, mode & 8);
    Tokens(input, cap, index);
    static const int kRadixes[] = {2, 8, 10, 16};
    Radix(kRadixes[(mode >> 4) & 3], text::JoinTokens(input));
    std::string grouped;
    text::GroupDigits(system, input, grouped);
    Expect(text::FindOneOf(input, "0123456789", index) < static_cast<int32_t>(input.size()),
           "find one of");
    return 0;
}
