#include "scripting/script_text.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <new>
#include <system_error>

namespace scripting {

std::string CutScriptText(const std::string& bytes) {
    size_t n = 0;
    for (; n < bytes.size(); ++n) {
        unsigned char c = static_cast<unsigned char>(bytes[n]);
        if (!(c == '\t' || c == '\n' || c == '\r' || (c >= 0x20 && c <= 0x7F)))
            break;
    }
    return bytes.substr(0, n);
}

ScriptFile LoadScriptFile(const std::string& path) {
    ScriptFile r;
    std::ifstream in(path, std::ios::binary);
    std::error_code ec;
    if (!in || std::filesystem::is_directory(path, ec)) {
        r.message = "Can't open file.";
        return r;
    }
    uintmax_t size = std::filesystem::file_size(path, ec);
    if (ec || size == 0) {
        r.message = "Invalid file size.";
        return r;
    }
    if (size > static_cast<uintmax_t>(kMaxScriptFileSize)) {
        r.message = "The file size is too big.";
        return r;
    }
    std::string bytes;
    try {
        bytes.resize(static_cast<size_t>(size));
    } catch (const std::bad_alloc&) {
        r.message = "Fail to allocate memory.";
        return r;
    }
    in.read(bytes.data(), static_cast<std::streamsize>(size));
    r.ok = true;
    // A failed or empty read leaves the script text empty, without a message.
    if (in.gcount() <= 0)
        return r;
    bytes.resize(static_cast<size_t>(in.gcount()));
    r.text = CutScriptText(bytes);
    return r;
}

std::string FormatErrorBlock(const std::string& source, long line, const std::string& description) {
    return "Source: " + source + "\r\nLine: " + std::to_string(line) + "\r\nError: " + description +
           "\r\n";
}

std::string FormatElapsed(uint32_t startTick, uint32_t nowTick) {
    const uint32_t s = (nowTick - startTick) / 1000;
    const int sec = static_cast<int>(s % 60);
    const uint32_t m = s / 60;
    const int min = static_cast<int>(m % 60);
    const int h = static_cast<int>(m / 60);
    char buf[48];
    if (h > 0)
        std::snprintf(buf, sizeof buf, "%2i:%02i:%02i", h, min, sec);
    else if (min > 0)
        std::snprintf(buf, sizeof buf, "%2i:%02i", min, sec);
    else
        std::snprintf(buf, sizeof buf, "%2i sec.", sec);
    return buf;
}

} // namespace scripting
