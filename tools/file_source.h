// A file as the tools' byte source: the platform's read-only file behind the
// range reader's interface, shared by the dialogs and the command line.
#pragma once

#include "platform/files/read_only_file.h"
#include "tools/input_ranges.h"

#include <string>

namespace tools {

class FileSource final : public ByteSource {
public:
    // False (errno kept) when path cannot be opened for reading.
    bool Open(const std::string& path) { return file_.Open(path); }
    void Close() { file_.Close(); }
    bool isOpen() const { return file_.isOpen(); }
    bool regular() const { return file_.regular(); }
    uint64_t size() const { return file_.size(); }
    std::optional<size_t> ReadNext(uint8_t* buffer, size_t count) {
        return file_.ReadNext(buffer, count);
    }
    std::optional<size_t> ReadAt(uint64_t offset, uint8_t* buffer, size_t count) override {
        return file_.ReadAt(offset, buffer, count);
    }

private:
    platform::ReadOnlyFile file_;
};

} // namespace tools
