// Message texts for error codes of the C library (errno values).
#pragma once

#include <string>

namespace text {

// The C library's English message for an errno-style code, e.g. "No such file
// or directory" for ENOENT; "Generic Error" when the library has no text for it
// (it would answer "Unknown error N"). Thread-safe; ignores the process locale.
std::string SystemErrorText(int code);

} // namespace text
