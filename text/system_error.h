// Message texts for error codes: the C library's errno values and the codes
// the cryptographic provider leaves as its last error.
#pragma once

#include <string>

namespace text {

// The C library's English message for an errno-style code, e.g. "No such file
// or directory" for ENOENT; "Generic Error" when the library has no text for it
// (it would answer "Unknown error N"). The provider's codes (0x8009xxxx and
// 234) give the provider's texts: SystemErrorText(0x80090016) == "Keyset does
// not exist". Thread-safe; ignores the process locale.
std::string SystemErrorText(int code);

} // namespace text
