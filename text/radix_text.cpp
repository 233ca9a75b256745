#include "text/radix_text.h"

#include "mpa/natural.h"
#include "mpa/radix_conversion.h"
#include "text/hex_text.h"

#include <algorithm>
#include <climits>
#include <new>
#include <utility>
#include <vector>

namespace text {
namespace {

// Decimal and octal digit strings are handled a word at a time: a word takes the
// largest power of the radix below 2^64 (10^19, 8^21), so one pass over the
// word array consumes or yields that many digits at once. The words are little
// endian; an empty array is zero.
using Word = uint64_t;
using Wide = unsigned __int128;
using Words = std::vector<Word>;

struct WordRadix {
    Word power; // radix^digits
    int digits;
};

constexpr WordRadix WordRadixOf(int radix) {
    return radix == 10 ? WordRadix{10000000000000000000ull, 19} : WordRadix{Word{1} << 63, 21};
}

// n = n * m + a.
void MulAdd(Words& n, Word m, Word a) {
    Word carry = a;
    for (Word& w : n) {
        Wide t = static_cast<Wide>(w) * m + carry;
        w = static_cast<Word>(t);
        carry = static_cast<Word>(t >> 64);
    }
    if (carry != 0)
        n.push_back(carry);
}

// n = n / d, returning n mod d; the top zero words are dropped.
Word DivRem(Words& n, Word d) {
    Word rem = 0;
    for (size_t i = n.size(); i-- > 0;) {
        Wide cur = (static_cast<Wide>(rem) << 64) | n[i];
        n[i] = static_cast<Word>(cur / d);
        rem = static_cast<Word>(cur % d);
    }
    while (!n.empty() && n.back() == 0)
        n.pop_back();
    return rem;
}

// Value of digits[0..len) in radix, no overflow since len <= WordRadix::digits.
Word ChunkValue(std::string_view chunk, int radix) {
    Word v = 0;
    for (char c : chunk)
        v = v * static_cast<Word>(radix) + static_cast<Word>(c - '0');
    return v;
}

Word PowerOf(int radix, size_t exponent) {
    Word p = 1;
    while (exponent-- > 0)
        p *= static_cast<Word>(radix);
    return p;
}

bool AllDigitsOf(std::string_view digits, int radix) {
    for (char c : digits)
        if (c < '0' || c >= '0' + radix)
            return false;
    return true;
}

constexpr char kHexDigits[] = "0123456789abcdef";

void AppendHexByte(std::string& out, unsigned byte) {
    out += kHexDigits[byte >> 4];
    out += kHexDigits[byte & 15];
}

std::string BinaryToHex(std::string_view digits) {
    std::string hex;
    hex.reserve((digits.size() + 7) / 8 * 2);
    // The leftmost byte takes the digits left over by whole bytes from the right.
    size_t head = digits.size() % 8 == 0 ? 8 : digits.size() % 8;
    for (size_t at = 0; at < digits.size();) {
        size_t len = at == 0 ? head : 8;
        AppendHexByte(hex, static_cast<unsigned>(ChunkValue(digits.substr(at, len), 2)));
        at += len;
    }
    return hex;
}

// The minimal byte string of the value, zero being the single byte 00.
// Long decimal strings go through the arithmetic's divide-and-conquer
// conversion; the word loop stays for octal.
std::string DecimalToHex(std::string_view digits) {
    const mpa::Natural n = mpa::FromDecimalDigits(digits);
    const size_t length = n.ByteLength();
    if (length == 0)
        return "00";
    std::vector<uint8_t> bytes(length);
    n.ToBytes(bytes.data(), length);
    std::string hex;
    hex.reserve(length * 2);
    for (uint8_t byte : bytes)
        AppendHexByte(hex, byte);
    return hex;
}

std::string WordRadixToHex(std::string_view digits, int radix) {
    if (radix == 10)
        return DecimalToHex(digits);
    const WordRadix wr = WordRadixOf(radix);
    const size_t step = static_cast<size_t>(wr.digits);
    Words n;
    n.reserve(digits.size() / step + 1);
    size_t head = digits.size() % step == 0 ? step : digits.size() % step;
    for (size_t at = 0; at < digits.size();) {
        size_t len = at == 0 ? head : step;
        MulAdd(n, len == step ? wr.power : PowerOf(radix, len),
               ChunkValue(digits.substr(at, len), radix));
        at += len;
    }
    std::string hex;
    hex.reserve(n.size() * 16 + 2);
    bool leading = true;
    for (size_t i = n.size(); i-- > 0;) {
        for (int shift = 56; shift >= 0; shift -= 8) {
            unsigned byte = static_cast<unsigned>(n[i] >> shift) & 0xff;
            if (leading && byte == 0)
                continue;
            leading = false;
            AppendHexByte(hex, byte);
        }
    }
    if (hex.empty())
        hex = "00";
    return hex;
}

std::string BytesToBinary(const std::vector<uint8_t>& bytes) {
    std::string digits;
    digits.reserve(bytes.size() * 8);
    for (uint8_t b : bytes)
        for (int bit = 7; bit >= 0; --bit)
            digits += static_cast<char>('0' + ((b >> bit) & 1));
    return digits;
}

std::string BytesToWordRadix(const std::vector<uint8_t>& bytes, int radix) {
    // The single byte 00 has always been shown this way; a wider zero shows as 0.
    if (bytes.size() == 1 && bytes[0] == 0)
        return "000";
    if (radix == 10) {
        const mpa::Natural x = mpa::Natural::FromBytes(bytes.data(), int64_t(bytes.size()));
        return x.IsZero() ? "0" : mpa::ToDecimalDigits(x);
    }
    Words n((bytes.size() + 7) / 8, 0);
    for (size_t i = 0; i < bytes.size(); ++i) {
        size_t fromRight = bytes.size() - 1 - i;
        n[fromRight / 8] |= static_cast<Word>(bytes[i]) << (8 * (fromRight % 8));
    }
    while (!n.empty() && n.back() == 0)
        n.pop_back();
    if (n.empty())
        return "0";

    const WordRadix wr = WordRadixOf(radix);
    // Chunks of wr.digits digits, least significant first; only the last one
    // produced (the most significant) is written without its leading zeros.
    std::vector<Word> chunks;
    chunks.reserve(n.size() * 64 / (3 * static_cast<size_t>(wr.digits)) + 2);
    while (!n.empty())
        chunks.push_back(DivRem(n, wr.power));

    std::string digits;
    digits.reserve(chunks.size() * static_cast<size_t>(wr.digits));
    char buf[32];
    for (size_t i = chunks.size(); i-- > 0;) {
        Word v = chunks[i];
        int len = 0;
        do {
            buf[len++] = static_cast<char>('0' + v % static_cast<Word>(radix));
            v /= static_cast<Word>(radix);
        } while (v != 0);
        if (i + 1 != chunks.size())
            digits.append(static_cast<size_t>(wr.digits - len), '0');
        while (len > 0)
            digits += buf[--len];
    }
    return digits;
}

int32_t LengthOf(const std::string& s) {
    return s.size() > INT32_MAX ? -1 : static_cast<int32_t>(s.size());
}

} // namespace

int32_t RadixTextToHex(int radix, std::string_view digits, std::string& out) try {
    if ((radix != 2 && radix != 8 && radix != 10) || digits.empty() || !AllDigitsOf(digits, radix))
        return -1;
    std::string hex = radix == 2 ? BinaryToHex(digits) : WordRadixToHex(digits, radix);
    int32_t len = LengthOf(hex);
    if (len >= 0)
        out = std::move(hex);
    return len;
} catch (const std::bad_alloc&) {
    return -1;
}

int32_t HexToRadixText(std::string_view list, int radix, std::string& out) try {
    if (radix != 2 && radix != 8 && radix != 10)
        return -1;
    // One pass: a list has at most one token per two characters.
    std::vector<uint8_t> bytes(list.size() / 2 + 1);
    const int32_t count = ParseHexBytes(
        list, bytes.data(), static_cast<int32_t>(std::min<size_t>(bytes.size(), INT32_MAX)));
    if (count <= 0)
        return -1;
    bytes.resize(static_cast<size_t>(count));
    std::string digits = radix == 2 ? BytesToBinary(bytes) : BytesToWordRadix(bytes, radix);
    int32_t len = LengthOf(digits);
    if (len >= 0)
        out = std::move(digits);
    return len;
} catch (const std::bad_alloc&) {
    return -1;
}

} // namespace text
