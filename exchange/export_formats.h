// The export file formats of numbers: raw bytes, Base64 text, hex text lines,
// C source and HTML, and the digit-group text of decimal, octal and binary
// numbers, each written to a byte string exactly as the files hold it; and a
// checked file write that never leaves a partial file behind.
#pragma once

#include "resources/ids.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace exchange {

using ids::kMsgCannotCreateFile;
using ids::kMsgNoValidNumber;

// The save dialog's filter index of each hex export.
enum class ExportFormat : int {
    Raw = 1,     // "Hex Byte (*.hex)": the bytes themselves
    Base64 = 2,  // "Base64 Encoded Hex Byte (*.txt)"
    Text = 3,    // "ASCII Text (*.txt)": lines of up to 16 bytes
    CSource = 4, // "C Source (*.c;*.cpp)"
    Html = 5,    // "HTML Text (*.htm;*.html)"
};

// The two writers' differences: the Output Number dialog writes lower-case
// digits and indents C lines by two blanks; the hash calculator writes upper
// case without the indent.
struct ExportStyle {
    bool upperCase = false;
    bool indentCLines = true;
};
inline constexpr ExportStyle kOutputNumberStyle{false, true};
inline constexpr ExportStyle kHashResultStyle{true, false};

// The file content of count bytes in a hex export format. Lines end in CR LF;
// text lines hold up to 16 bytes as "%02x " (C: "0x%02x, "); C and HTML get
// their header and footer with the program version. An index outside 1..5
// writes the raw bytes, as the dialogs do.
// WriteHexExport(ExportFormat::Text, {0xab}, 1) == "ab \r\n".
std::string WriteHexExport(ExportFormat format, const uint8_t* bytes, size_t count,
                           ExportStyle style = kOutputNumberStyle);

// The digit-group text of a number shown in decimal, octal or binary: each
// item of shownText (split at blank, TAB, CR, LF) followed by one blank, CR LF
// after every 16 items and after a last, unfinished line.
// WriteDigitGroups("1 234 ") == "1 234 \r\n".
std::string WriteDigitGroups(std::string_view shownText);

// Creates (or replaces) path and writes content. 0 on success; on failure
// kMsgCannotCreateFile, both when the file cannot be created and when a
// write fails part-way, and then the partial file is removed.
int WriteFileChecked(const std::string& path, std::string_view content);

} // namespace exchange
