// Base64 (with the program's '*' for value 63) and the integer literals of
// the data tools' parameter fields. Decoding writes into a block of exactly
// the capacity it is given; encoding and decoding round-trip.
#include "fuzz_buffers.h"
#include "fuzz_expect.h"

#include "text/base64.h"
#include "text/integer_literal.h"

#include <cstdio>
#include <cstdlib>

using fuzz::Expect;

namespace {

void Base64(std::string_view input, int32_t capacityCut) {
    const int32_t need = static_cast<int32_t>(input.size());
    const int32_t cap = std::max(need - capacityCut, 0);
    fuzz::ExactBuffer out(static_cast<size_t>(cap));
    int32_t n = text::DecodeBase64(input, out.data(), cap);
    int32_t checked = text::CheckBase64(input);
    if (cap < need)
        Expect(n == -1, "decode below the text's size");
    if (n < 0)
        return;
    Expect(n <= cap, "decoded beyond capacity");
    std::string encoded;
    Expect(text::EncodeBase64(out.data(), n, encoded) >= 2, "encode");
    Expect(text::CheckBase64(encoded) == static_cast<int32_t>(encoded.size()), "encoded checks");
    fuzz::ExactBuffer back(encoded.size());
    int32_t m = text::DecodeBase64(encoded, back.data(), static_cast<int32_t>(encoded.size()));
    Expect(m == n && std::equal(out.data(), out.data() + n, back.data()), "round trip");
    // A text that decoded holds only alphabet characters and separators
    // before its first '='; what follows may be anything.
    if (input.find('=') == std::string_view::npos)
        Expect(checked == need, "decodable text fails the check");
}

void Literal(std::string_view input, int system) {
    auto value = text::ParseIntegerLiteral(input, static_cast<text::NumberSystem>(system));
    if (!text::IsNumberSystem(system))
        Expect(!value, "unknown system accepted");
    if (!value || system != text::Decimal)
        return;
    // A decimal value reads back from its own decimal text.
    std::string again = std::to_string(*value);
    auto reread = text::ParseIntegerLiteral(again, text::Decimal);
    Expect(reread && *reread == *value, "literal round trip");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1)
        return 0;
    std::string_view input(reinterpret_cast<const char*>(data + 1), size - 1);
    Base64(input, data[0] & 3);
    Literal(input, static_cast<int>(data[0] >> 5) - 1); // -1 .. 6
    return 0;
}
