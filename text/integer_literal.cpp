#include "text/integer_literal.h"

#include "text/char_classes.h"

namespace text {

std::optional<int64_t> ParseIntegerLiteral(std::string_view text, NumberSystem defaultSystem) {
    if (!IsNumberSystem(defaultSystem))
        return std::nullopt;
    std::string_view s = Trim(text);
    bool negative = false;
    if (!s.empty() && (s[0] == '-' || s[0] == '+')) {
        negative = s[0] == '-';
        s = TrimLeft(s.substr(1));
    }

    NumberSystem system = defaultSystem;
    if (s.size() >= 2) {
        if (s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
            system = Hexadecimal;
            s.remove_prefix(2);
        } else if (s[0] == 'o' || s[0] == 'O') {
            system = Octal;
            s.remove_prefix(1);
        }
    }
    if (s.size() > 1) {
        size_t skip = 0;
        while (skip < s.size() && (s[skip] == '0' || IsSeparator(s[skip])))
            ++skip;
        s.remove_prefix(skip);
    }

    const unsigned radix = static_cast<unsigned>(RadixOf(system));
    uint64_t value = 0;
    for (char c : s) {
        int d = HexDigitValue(c);
        if (d < 0 || static_cast<unsigned>(d) >= radix)
            return std::nullopt;
        value = value * radix + static_cast<unsigned>(d);
    }
    if (negative)
        value = ~value + 1;
    return static_cast<int64_t>(value);
}

} // namespace text
