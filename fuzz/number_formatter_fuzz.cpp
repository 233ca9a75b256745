// The Number Formatter on pasted text: the strip rules, Base64 decoding in
// both forms, and Ok's conversion in every separator and number system.
#include "exchange/number_formatter.h"
#include "fuzz_expect.h"
#include "text/base64.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdio>
#include <cstdlib>

using fuzz::Expect;

namespace {

bool IsHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// "hh " groups: what both the decoder's byte form and Ok's result hold.
void ExpectByteList(const std::string& list) {
    Expect(list.size() % 3 == 0, "byte list length");
    for (size_t i = 0; i < list.size(); i += 3)
        Expect(IsHexDigit(list[i]) && IsHexDigit(list[i + 1]) && list[i + 2] == ' ',
               "byte list item");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    exchange::StripRules rules;
    rules.linesFromStart = in.ConsumeIntegralInRange<uint32_t>(0, 9999);
    rules.linesFromEnd = in.ConsumeIntegralInRange<uint32_t>(0, 9999);
    rules.charsFromStart = in.ConsumeIntegralInRange<uint32_t>(0, 999);
    rules.charsFromEnd = in.ConsumeIntegralInRange<uint32_t>(0, 999);
    rules.stripText = in.ConsumeRandomLengthString(8);
    const int separatorType = in.ConsumeIntegralInRange<int>(0, exchange::kSeparatorOther);
    const std::string other = in.ConsumeRandomLengthString(2);
    const int numberSystem = in.ConsumeIntegralInRange<int>(0, 3);
    const std::string text = in.ConsumeRemainingBytesAsString();

    const std::string stripped = exchange::ApplyStripRules(text, rules);
    if (exchange::StripsNothing(rules))
        Expect(stripped == text, "rules that strip nothing changed the text");
    else // removing the strip text may join a CR and an LF, so only the end is sure
        Expect(stripped.empty() || stripped.ends_with("\r\n"), "kept line without CR LF");
    Expect(stripped.size() <= text.size() + 2 * (text.size() + 1), "stripping made text grow");

    std::string decoded;
    const exchange::Base64Outcome asText = exchange::DecodeBase64Input(text, true, decoded);
    Expect(asText != exchange::Base64Outcome::Ok || decoded.find('\0') == std::string::npos,
           "decoded text holds a zero byte");
    const exchange::Base64Outcome asBytes = exchange::DecodeBase64Input(text, false, decoded);
    Expect(asBytes == asText, "text and byte decoding disagree on validity");
    if (asBytes == exchange::Base64Outcome::Ok)
        ExpectByteList(decoded);

    // The program's own encoding of any bytes decodes back to them.
    std::string encoded;
    const auto* bytes = reinterpret_cast<const uint8_t*>(text.data());
    if (!text.empty() && text::EncodeBase64(bytes, int32_t(text.size()), encoded) > 0) {
        Expect(exchange::DecodeBase64Input(encoded, false, decoded) == exchange::Base64Outcome::Ok,
               "own Base64 refused");
        Expect(decoded.size() == 3 * text.size(), "own Base64 byte count");
        for (size_t i = 0; i < text.size(); ++i)
            Expect(std::strtoul(decoded.substr(3 * i, 2).c_str(), nullptr, 16) == bytes[i],
                   "own Base64 round trip");
    }

    const bool okEnabled = exchange::OkEnabled(text, separatorType, other);
    Expect(!okEnabled || !text.empty(), "Ok enabled on empty input");
    if (!okEnabled)
        return 0;
    const exchange::FormatterResult r = exchange::FormatNumberText(
        text, exchange::SeparatorChar(separatorType, other), numberSystem);
    Expect(r.message == 0 || (r.message >= 2001 && r.message <= 2004), "message id");
    if (r.message == 0) {
        Expect(!r.list.empty(), "empty result without a message");
        ExpectByteList(r.list);
    }
    return 0;
}
