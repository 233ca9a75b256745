// The Number Formatter without a window: the strip rules that clean pasted
// text line by line, Base64 decoding to text or to a hex byte list, the
// "Ok" enabling rule, and the conversion of the cleaned items in a chosen
// separator and number system into a hex byte list.
#pragma once

#include <cstdint>
#include <string>

namespace exchange {

struct StripRules {
    uint32_t linesFromStart = 0; // 0..9999
    uint32_t linesFromEnd = 0;
    uint32_t charsFromStart = 0; // 0..999
    uint32_t charsFromEnd = 0;
    std::string stripText; // removed everywhere, case-sensitive, left to right
};

// True when the rules would change nothing (all counts 0, no strip text).
bool StripsNothing(const StripRules& rules);

// The strip rules on text whose lines end in CR LF (text that ends with
// CR LF has an empty last line): lines from start and end are cut, then
// from each remaining line the characters from start and end, then every
// occurrence of the strip text; empty results are dropped; every kept line
// ends with CR LF.
//   ApplyStripRules("a\r\nb\r\nc", {1, 1}) == "b\r\n"
std::string ApplyStripRules(const std::string& text, const StripRules& rules);

enum class Base64Outcome { Ok, Invalid, NoMemory };

// Decodes the program's Base64: asText gives the bytes up to the first zero
// byte, otherwise the bytes as "%02x " each. Invalid: "Invalid base64
// string!" applies.
Base64Outcome DecodeBase64Input(const std::string& text, bool asText, std::string& out);

// Separator types: 0 Comma, 1 Space, 2 Tab, 3 Semicolon, 4 Other.
inline constexpr int kSeparatorOther = 4;

// "Ok" is enabled iff the input is not empty and, with separator Other, the
// Other field holds exactly one character.
bool OkEnabled(const std::string& input, int separatorType, const std::string& otherField);

// The separator character of a type (Other: the field's first character,
// or '\0' when it is empty).
char SeparatorChar(int separatorType, const std::string& otherField);

struct FormatterResult {
    int message = 0;  // string id of the message to show (2001 .. 2004), 0 when ok
    std::string list; // the hex byte list when ok
};

// Ok's conversion: the separator becomes a blank, the items (split at
// blanks, TABs, CRs and LFs) must be hexadecimal digits (else 2001); in
// decimal, octal or binary (system 1, 2, 3) the items are joined into one
// number of that radix (a digit beyond it, or a failed conversion: 2002,
// 2003, 2004); the result is normalised, each hexadecimal item standing for
// whole bytes ("1,234" with Comma gives "01 02 34 ").
FormatterResult FormatNumberText(const std::string& text, char separator, int numberSystem);

} // namespace exchange
