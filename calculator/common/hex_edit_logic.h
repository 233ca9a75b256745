// What the operand edit box does to its own text, without the window: switching
// the number system, formatting, byte-order swaps and turning pasted plain text
// into text to insert. Each function takes the box's text, number system and
// letter case and says whether the box keeps its text, gets a new one, or
// refuses (with the string id to show when the box reports errors).
#pragma once

#include "resources/ids.h"

#include "text/number_system.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace calculator {

// String id shown by a failed paste when the box reports paste errors.
using ids::kMsgInvalidHexData;

struct EditResult {
    enum Outcome {
        Unchanged, // the box keeps its text; not an error
        Rewritten, // text is the box's new text (or, for a paste, the text to insert)
        Failed,    // the box keeps its text; message explains why
    };
    Outcome outcome = Unchanged;
    std::string text;
    int message = 0; // string id for Failed (0: nothing to show), else 0
};

// The box's text shown in another number system. The same system, or a text of
// separators only, leaves the text as it is (only the system changes). Text that
// does not read in the old system fails with that system's message (2001 to
// 2004) and the box must keep both its text and its system. An unknown system
// code fails with message 0. Decimal "1a" -> Hexadecimal fails with 2002.
EditResult ChangeNumberSystem(std::string_view text, text::NumberSystem from, text::NumberSystem to,
                              bool upperCase);

// The text normalised in its own system: a hex byte list in the box's letter
// case, or radix digits regrouped (not converted). An empty text or one with a
// character that is not a hexadecimal digit or separator fails with 2001; a
// digit beyond the radix fails with the system's message. Success is always
// Rewritten. Hexadecimal "abc" -> "0A BC ".
EditResult FormatText(std::string_view text, text::NumberSystem system, bool upperCase);

// Reverses the order of the bytes in each group of unit bytes from the left
// (unit 1: the whole operand); a short last group is reversed within itself.
// Tokens of one or two digits are kept as typed, other hexadecimal text is
// normalised first; the result is a hex byte list in the box's letter case.
// unit <= 0 or a text without tokens leaves the text. Text that is not
// hexadecimal fails with 2001 rather than being shuffled into nonsense. In a
// decimal, octal or binary box the operand's bytes are swapped and shown back
// in that system. "01 02 03 04 05", unit 2 -> "02 01 04 03 05 ".
EditResult SwapByteOrder(std::string_view text, text::NumberSystem system, int unit,
                         bool upperCase);

// The text a box inserts for a hex byte list: the list itself in hexadecimal,
// else its value in the box's system, grouped; in the box's letter case. Fails
// with 2070 when a non-hexadecimal box is handed a list without bytes.
EditResult HexListToBoxText(std::string_view list, text::NumberSystem system, bool upperCase);

// The text a box inserts when plain text is pasted as hex. Text of hexadecimal
// digits and separators only is taken as typed hexadecimal, with tab, CR and LF
// turned into spaces; any other text is data, each of its bytes (the caller's
// 8-bit encoding of the characters) becoming one byte of the list, "Hi!" ->
// 48 69 21, but only when it has at most limit bytes. The result then goes
// through HexListToBoxText. Empty text, or data over the limit, fails with 2070.
EditResult PlainTextToHexInsert(std::string_view plain, text::NumberSystem system, bool upperCase,
                                size_t limit);

// The data bytes of a "Kestrune HEX-Data" clipboard blob (a little-endian
// 32-bit count n, then n bytes), or nothing when the blob is shorter than it
// claims, empty, or holds more than limit bytes.
std::optional<std::string> HexDataBytes(std::string_view blob, int limit);
// The data bytes of a "Kestrune HEX-Block" blob (counts a and b, then a * b
// bytes), with the same refusals; the product is taken in 64 bits so that
// large factors cannot wrap round to a small count that would pass.
std::optional<std::string> HexBlockBytes(std::string_view blob, int limit);

// The next (next) or previous probable prime of the operand given as a hex
// byte list, tested with rounds rounds: Rewritten with the prime's hex byte
// list; Unchanged when no prime is in reach (nothing below 3); Failed with
// 2001 for a list without bytes, 2006 when memory runs out.
//   SearchPrimeList("FF", true, 8) -> Rewritten "01 01 "
EditResult SearchPrimeList(const std::string& list, bool next, int rounds);

} // namespace calculator
