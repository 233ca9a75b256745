// Files the tools read: opened read-only and read at absolute 64-bit offsets,
// so that files above 4 GiB are read whole, and whether standard error is a
// terminal (the command line's progress line).
#pragma once

#include "platform/platform_api.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace platform {

class PLATFORM_API ReadOnlyFile {
public:
    ReadOnlyFile() = default;
    ~ReadOnlyFile();
    ReadOnlyFile(const ReadOnlyFile&) = delete;
    ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;

    // Opens path for reading, shared with other readers; false (errno kept)
    // when it cannot be opened or is a directory. An open file is closed first.
    bool Open(const std::string& path);
    void Close();
    bool isOpen() const { return fd_ >= 0; }
    // A regular file has a size and can be read at offsets; a pipe or a
    // device (a process substitution, /dev/stdin) can only be streamed.
    bool regular() const { return regular_; }
    // The size when it was opened (0 for a stream).
    uint64_t size() const { return size_; }
    // Reads the next bytes of a stream, filling the buffer unless the stream
    // ends; nothing when the read fails.
    std::optional<size_t> ReadNext(uint8_t* buffer, size_t count);
    // Reads up to count bytes at offset; fewer only where the file ends;
    // nothing when the file is not open or the read fails.
    std::optional<size_t> ReadAt(uint64_t offset, uint8_t* buffer, size_t count);

private:
    int fd_ = -1;
    bool regular_ = false;
    uint64_t size_ = 0;
};

// True when standard error goes to a terminal.
PLATFORM_API bool StderrIsTerminal();

} // namespace platform
