// Hex byte strings as the Zuriruv methods read and write them: one token of
// one or two hex digits per byte, most significant first, every token
// counting (00 05 is two bytes wide).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace automation {

// Number of tokens, or 0 when the text is not a hex byte string: leading and
// trailing " \t\n\v\f\r" is ignored, tokens are separated by runs of
// " \t\r\n", and a token longer than two characters or any other character
// (NUL included) makes the whole text invalid. A text without tokens is
// invalid too. CountHexTokens(" 0a 0B ") == 2; CountHexTokens("123") == 0.
size_t CountHexTokens(std::string_view text);

// Writes one byte per token to out; text must have passed CountHexTokens and
// out must have room for that many bytes. "5 ff" gives 05 FF.
void DecodeHexTokens(std::string_view text, uint8_t* out);

// The tokens of a text that passed CountHexTokens, as views into it.
std::vector<std::string_view> HexTokens(std::string_view text);

// Each byte as "%02x ": {0x01, 0xff} gives "01 ff "; no bytes give "".
std::string FormatHexBytes(const uint8_t* bytes, size_t count);

} // namespace automation
