// The text side of the scripting host, without any window: loading a script
// file, the error block of a script error, the elapsed-time display and the
// private messages the worker sends to its console.
#pragma once

#include <cstdint>
#include <string>

namespace scripting {

// Messages from the worker to the console window (lParam: const char* text
// where one is carried, valid only during the call).
constexpr uint32_t WM_SCRIPT_OUTPUT = 1535;
constexpr uint32_t WM_SCRIPT_ERROR = 1536;
constexpr uint32_t WM_SCRIPT_ENTER = 1537;
constexpr uint32_t WM_SCRIPT_LEAVE = 1538;

constexpr int64_t kMaxScriptFileSize = 65536;

struct ScriptFile {
    bool ok = false;     // false: message says why
    std::string message; // "Can't open file." and the like; empty when ok
    std::string text;    // the script text: the bytes before the first one
                         // outside TAB, LF, CR and 0x20..0x7F
};

// Reads a script file as the console does.
ScriptFile LoadScriptFile(const std::string& path);

// The part of raw file bytes that becomes script text.
std::string CutScriptText(const std::string& bytes);

// "Source: %s\r\nLine: %d\r\nError: %s\r\n"
std::string FormatErrorBlock(const std::string& source, long line, const std::string& description);

// "%2i:%02i:%02i", "%2i:%02i" or "%2i sec." for a tick difference in ms,
// wrap-around safe in unsigned 32-bit arithmetic.
std::string FormatElapsed(uint32_t startTick, uint32_t nowTick);

} // namespace scripting
