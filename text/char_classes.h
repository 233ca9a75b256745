// Character classes and token walking of operand text: separators, hexadecimal
// digit values and trimming, shared by the codecs, the key-store file reader,
// the automation strings and the edit box.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace text {

// Space, tab, carriage return and line feed separate tokens everywhere.
inline constexpr std::string_view kSeparators = " \t\r\n";

constexpr bool IsSeparator(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// Value of a hexadecimal digit, -1 for any other character.
constexpr int HexDigitValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

constexpr std::string_view TrimLeft(std::string_view s) {
    size_t i = 0;
    while (i < s.size() && IsSeparator(s[i]))
        ++i;
    return s.substr(i);
}

constexpr std::string_view Trim(std::string_view s) {
    s = TrimLeft(s);
    size_t n = s.size();
    while (n > 0 && IsSeparator(s[n - 1]))
        --n;
    return s.substr(0, n);
}

// Calls f(token) for each maximal run of non-separator characters, in order;
// stops early and returns false when f returns false.
template <typename F> bool ForEachToken(std::string_view s, F&& f) {
    size_t i = 0;
    while (i < s.size()) {
        while (i < s.size() && IsSeparator(s[i]))
            ++i;
        size_t start = i;
        while (i < s.size() && !IsSeparator(s[i]))
            ++i;
        if (i > start && !f(s.substr(start, i - start)))
            return false;
    }
    return true;
}

} // namespace text
