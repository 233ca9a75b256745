// The program's Base64: RFC 4648 with '*' in place of '/' for value 63, written
// in lines of 72 characters ending in CRLF.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace text {

// "ABC...xyz0123456789+*": index = 6-bit value.
inline constexpr std::string_view kBase64Alphabet =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+*";

// Encodes count bytes into out (emptied first) and returns its length. Full
// 3-byte groups become 4 characters, with CRLF after every 72 characters; after
// the last full group CRLF always follows (so 54*k bytes end with an empty
// line); a remainder of 1 or 2 bytes follows as 2 characters and "==" or 3 and
// "=", with no line break. Zero bytes give "\r\n"; FF gives "\r\n*w==".
// -1 for a negative count, bytes == nullptr with count > 0, or exhausted memory.
int32_t EncodeBase64(const uint8_t* bytes, int32_t count, std::string& out);

// Decodes text into out and returns the bytes written. Space, tab, CR and LF
// are skipped; decoding stops at the first '=' (what follows is not read);
// trailing bits that do not fill a byte are dropped. -1 when out is nullptr,
// capacity is smaller than text.size(), or a character before the first '=' is
// neither in the alphabet nor a separator.
int32_t DecodeBase64(std::string_view text, uint8_t* out, int32_t capacity);

// text.size() when every character is in the alphabet, '=' or a separator
// (space, tab, CR, LF), else -1; 0 for an empty text.
int32_t CheckBase64(std::string_view text);

} // namespace text
