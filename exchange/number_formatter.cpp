#include "exchange/number_formatter.h"

#include "resources/ids.h"
#include "text/base64.h"
#include "text/hex_text.h"
#include "text/radix_text.h"

#include <algorithm>
#include <new>
#include <vector>

namespace exchange {

bool StripsNothing(const StripRules& r) {
    return r.linesFromStart == 0 && r.linesFromEnd == 0 && r.charsFromStart == 0 &&
           r.charsFromEnd == 0 && r.stripText.empty();
}

std::string ApplyStripRules(const std::string& text, const StripRules& rules) {
    if (StripsNothing(rules))
        return text;
    std::vector<std::string> lines;
    for (size_t start = 0;;) {
        const size_t end = text.find("\r\n", start);
        if (end == std::string::npos) {
            lines.push_back(text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    const int64_t count = static_cast<int64_t>(lines.size());
    const int64_t last = count - static_cast<int64_t>(rules.linesFromEnd);
    std::string out;
    for (int64_t i = rules.linesFromStart; i < last; ++i) {
        const std::string& line = lines[static_cast<size_t>(i)];
        const size_t n = line.size();
        if (n == 0)
            continue;
        const size_t s = std::min<size_t>(rules.charsFromStart, n);
        size_t e = n;
        if (rules.charsFromEnd > 0)
            e = n > rules.charsFromEnd ? std::max(s, n - rules.charsFromEnd) : s;
        std::string kept = line.substr(s, e - s);
        if (!kept.empty() && !rules.stripText.empty()) {
            std::string cleaned;
            size_t from = 0;
            for (size_t hit; (hit = kept.find(rules.stripText, from)) != std::string::npos;
                 from = hit + rules.stripText.size())
                cleaned.append(kept, from, hit - from);
            cleaned.append(kept, from, std::string::npos);
            kept = std::move(cleaned);
        }
        if (!kept.empty())
            out += kept + "\r\n";
    }
    return out;
}

Base64Outcome DecodeBase64Input(const std::string& text, bool asText, std::string& out) {
    if (text::CheckBase64(text) < 0)
        return Base64Outcome::Invalid;
    std::vector<uint8_t> bytes;
    try {
        bytes.resize(text.size() + 2);
    } catch (const std::bad_alloc&) {
        return Base64Outcome::NoMemory;
    }
    const int32_t n = text::DecodeBase64(text, bytes.data(), static_cast<int32_t>(bytes.size()));
    if (n < 0)
        return Base64Outcome::Invalid;
    if (asText) {
        const auto end = std::find(bytes.begin(), bytes.begin() + n, uint8_t{0});
        out.assign(bytes.begin(), end);
    } else {
        out.clear();
        text::FormatHexBytes(bytes.data(), n, out);
    }
    return Base64Outcome::Ok;
}

bool OkEnabled(const std::string& input, int separatorType, const std::string& otherField) {
    if (input.empty())
        return false;
    return separatorType != kSeparatorOther || otherField.size() == 1;
}

char SeparatorChar(int separatorType, const std::string& otherField) {
    switch (separatorType) {
    case 0:
        return ',';
    case 1:
        return ' ';
    case 2:
        return '\t';
    case 3:
        return ';';
    default:
        return otherField.empty() ? '\0' : otherField[0];
    }
}

FormatterResult FormatNumberText(const std::string& input, char separator, int numberSystem) {
    FormatterResult r;
    std::string t = input;
    if (separator != ' ' && separator != '\0')
        std::replace(t.begin(), t.end(), separator, ' ');
    if (text::CountHexTokens(t, false) <= 0) {
        r.message = ids::kMsgInvalidInput;
        return r;
    }
    struct Radix {
        int radix;
        const char* invalid;
        int message;
    };
    static const Radix kRadixes[] = {{10, "abcdefABCDEF", ids::kMsgInvalidDecimal},
                                     {8, "89abcdefABCDEF", ids::kMsgInvalidOctal},
                                     {2, "23456789abcdefABCDEF", ids::kMsgInvalidBinary}};
    if (numberSystem >= 1 && numberSystem <= 3) {
        const Radix& radix = kRadixes[numberSystem - 1];
        std::string hex;
        if (t.find_first_of(radix.invalid) != std::string::npos ||
            text::RadixTextToHex(radix.radix, text::JoinTokens(t), hex) <= 0) {
            r.message = radix.message;
            return r;
        }
        t = hex;
    }
    text::NormalizeHexText(t, r.list);
    return r;
}

} // namespace exchange
