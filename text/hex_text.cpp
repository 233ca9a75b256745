#include "text/hex_text.h"

#include "text/char_classes.h"
#include "text/radix_text.h"

#include <array>
#include <climits>
#include <new>
#include <utility>

namespace text {

int32_t FindOneOf(std::string_view text, std::string_view set, int32_t start) {
    if (start < 0 || set.empty() || static_cast<size_t>(start) >= text.size())
        return -1;
    size_t at = text.find_first_of(set, static_cast<size_t>(start));
    return at == std::string_view::npos || at > INT32_MAX ? -1 : static_cast<int32_t>(at);
}

int32_t FormatHexBytes(const uint8_t* bytes, int32_t count, std::string& out) {
    if (count == 0) {
        out.clear();
        return 0;
    }
    if (count < 0 || bytes == nullptr || count > INT32_MAX / 3)
        return -1;
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string list(static_cast<size_t>(count) * 3, ' ');
    for (int32_t i = 0; i < count; ++i) {
        list[3 * i] = kDigits[bytes[i] >> 4];
        list[3 * i + 1] = kDigits[bytes[i] & 15];
    }
    out = std::move(list);
    return count * 3;
}

namespace {

// Each character's class in one lookup, as a token walk does it on long
// lists: the digit's value, kSep for a separator, kOther for anything else.
constexpr uint8_t kSep = 0x10, kOther = 0x20;
constexpr auto kHexClass = [] {
    std::array<uint8_t, 256> t{};
    for (int c = 0; c < 256; ++c) {
        const int d = HexDigitValue(static_cast<char>(c));
        t[static_cast<size_t>(c)] = d >= 0                              ? static_cast<uint8_t>(d)
                                    : IsSeparator(static_cast<char>(c)) ? kSep
                                                                        : kOther;
    }
    return t;
}();

} // namespace

int32_t ParseHexBytes(std::string_view text, uint8_t* out, int32_t capacity) {
    if (out != nullptr && capacity <= 0)
        return -1;
    const int32_t limit = out != nullptr ? capacity : INT32_MAX;
    int32_t stored = 0;
    const size_t n = text.size();
    size_t i = 0;
    while (i < n && stored < limit) {
        uint8_t c = kHexClass[static_cast<unsigned char>(text[i])];
        if (c == kSep) {
            ++i;
            continue;
        }
        // A token: its leading digits, the lowest byte kept.
        unsigned value = 0;
        bool digits = true;
        for (; i < n && (c = kHexClass[static_cast<unsigned char>(text[i])]) != kSep; ++i) {
            digits = digits && c < 16;
            if (digits)
                value = ((value << 4) | c) & 0xff;
        }
        if (out != nullptr)
            out[stored] = static_cast<uint8_t>(value);
        ++stored;
    }
    return stored;
}

int32_t GetHexToken(std::string_view text, int32_t index) {
    if (index < 0)
        return -1;
    int32_t result = -1;
    int32_t at = 0;
    ForEachToken(text, [&](std::string_view token) {
        if (at++ < index)
            return true;
        uint64_t value = 0;
        for (char c : token) {
            int d = HexDigitValue(c);
            if (d < 0)
                break;
            value = (value << 4) | static_cast<unsigned>(d);
            if (value > INT32_MAX) {
                value = INT32_MAX;
                break;
            }
        }
        result = static_cast<int32_t>(value);
        return false;
    });
    return result;
}

int32_t CountHexTokens(std::string_view text, bool bytesOnly) {
    int32_t count = 0;
    bool valid = ForEachToken(Trim(text), [&](std::string_view token) {
        if (bytesOnly && token.size() > 2)
            return false;
        for (char c : token)
            if (HexDigitValue(c) < 0)
                return false;
        return ++count < INT32_MAX;
    });
    return valid ? count : -1;
}

int32_t NormalizeHexText(std::string_view text, std::string& out) {
    std::string list;
    list.reserve(text.size() + text.size() / 2 + 3);
    ForEachToken(Trim(text), [&](std::string_view token) {
        if (token.size() % 2 != 0) {
            list += '0';
            list += token[0];
            list += ' ';
            token.remove_prefix(1);
        }
        for (size_t i = 0; i < token.size(); i += 2) {
            list.append(token.substr(i, 2));
            list += ' ';
        }
        return true;
    });
    size_t bytes = list.size() / 3;
    if (bytes > INT32_MAX)
        return -1;
    out = std::move(list);
    return static_cast<int32_t>(bytes);
}

std::string JoinTokens(std::string_view text) {
    std::string joined;
    joined.reserve(text.size());
    ForEachToken(text, [&](std::string_view token) {
        joined.append(token);
        return true;
    });
    return joined;
}

int32_t GroupDigits(NumberSystem system, std::string_view text, std::string& out) {
    if (system == Hexadecimal)
        return NormalizeHexText(text, out);
    if (!IsNumberSystem(system))
        return -1;
    const size_t size = system == Binary ? 4 : 3;
    std::string digits = JoinTokens(text);
    size_t groups = (digits.size() + size - 1) / size;
    if (groups > INT32_MAX)
        return -1;
    std::string grouped;
    grouped.reserve(digits.size() + groups);
    // Only the leftmost group may be short.
    size_t first = digits.size() - (groups - 1) * size;
    for (size_t at = 0; at < digits.size();) {
        size_t len = at == 0 ? first : size;
        grouped.append(digits, at, len);
        grouped += ' ';
        at += len;
    }
    out = std::move(grouped);
    return static_cast<int32_t>(groups);
}

std::string ApplyLetterCase(std::string_view text, bool upperCase) {
    std::string result(text);
    for (char& c : result) {
        if (upperCase && c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
        else if (!upperCase && c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return result;
}

HexListResult ToHexList(NumberSystem system, std::string_view text, std::string& list) try {
    if (!IsNumberSystem(system))
        return {-1, 0};
    text = TrimLeft(text);
    if (text.empty())
        return {0, 0};
    int32_t tokens = CountHexTokens(text, false);
    if (tokens == 0)
        return {0, 0};
    if (tokens < 0)
        return {-1, kMsgInvalidInput};

    std::string hex;
    if (system == Hexadecimal) {
        hex.assign(text);
    } else {
        static constexpr std::string_view kBeyondRadix[] = {"", "abcdefABCDEF", "89abcdefABCDEF",
                                                            "23456789abcdefABCDEF"};
        static constexpr int kMessage[] = {0, kMsgInvalidDecimal, kMsgInvalidOctal,
                                           kMsgInvalidBinary};
        const HexListResult invalid{-1, kMessage[system]};
        if (FindOneOf(text, kBeyondRadix[system], 0) >= 0)
            return invalid;
        if (RadixTextToHex(RadixOf(system), JoinTokens(text), hex) <= 0)
            return invalid;
    }
    std::string normalized;
    int32_t count = NormalizeHexText(hex, normalized);
    if (count < 0)
        return {-1, 0};
    list = std::move(normalized);
    return {count, 0};
} catch (const std::bad_alloc&) {
    return {-1, kMsgOutOfMemory};
}

int32_t FromHexList(NumberSystem system, std::string_view list, bool upperCase,
                    std::string& out) try {
    if (!IsNumberSystem(system))
        return -1;
    std::string shown;
    if (system == Hexadecimal) {
        shown = ApplyLetterCase(list, upperCase);
    } else if (ParseHexBytes(list, nullptr, 0) > 0) {
        std::string digits;
        if (HexToRadixText(list, RadixOf(system), digits) < 0)
            return -1;
        if (GroupDigits(system, digits, shown) < 0)
            return -1;
    }
    if (shown.size() > INT32_MAX)
        return -1;
    out = std::move(shown);
    return static_cast<int32_t>(out.size());
} catch (const std::bad_alloc&) {
    return -1;
}

} // namespace text
