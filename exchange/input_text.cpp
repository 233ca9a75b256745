#include "exchange/input_text.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <new>
#include <system_error>
#include <vector>

namespace exchange {
namespace {

bool IsTextByte(unsigned char c) {
    return c == '\t' || c == '\n' || c == '\r' || (c >= 0x20 && c <= 0x7F);
}

} // namespace

TextFile LoadTextFile(const std::string& path) {
    TextFile r;
    std::error_code ec;
    std::ifstream in(path, std::ios::binary);
    if (!in || std::filesystem::is_directory(path, ec)) {
        r.message = "Can't open file.";
        return r;
    }
    const uintmax_t size = std::filesystem::file_size(path, ec);
    if (ec || size == 0) {
        r.message = "Invalid file size.";
        return r;
    }
    if (size > static_cast<uintmax_t>(kMaxTextFileSize)) {
        r.message = "The file size is too big.";
        return r;
    }
    const size_t chunk = static_cast<size_t>(std::min<uintmax_t>(size, kTextChunkSize));
    std::vector<char> buffer;
    try {
        buffer.resize(chunk + 16);
    } catch (const std::bad_alloc&) {
        r.message = "Fail to allocate memory.";
        return r;
    }
    r.ok = true;
    for (uintmax_t offset = 0; offset < size; offset += chunk) {
        const size_t want = static_cast<size_t>(std::min<uintmax_t>(chunk, size - offset));
        in.clear();
        in.seekg(static_cast<std::streamoff>(offset));
        in.read(buffer.data(), static_cast<std::streamsize>(want));
        const std::streamsize got = in.gcount();
        if (got <= 0)
            continue;
        const auto end = buffer.begin() + got;
        const auto stop = std::find_if(
            buffer.begin(), end, [](char c) { return !IsTextByte(static_cast<unsigned char>(c)); });
        r.text.append(buffer.begin(), stop);
        if (stop != end)
            break;
    }
    return r;
}

} // namespace exchange
