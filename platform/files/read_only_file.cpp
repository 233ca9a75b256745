#include "platform/files/read_only_file.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

ReadOnlyFile::~ReadOnlyFile() {
    Close();
}

bool ReadOnlyFile::Open(const std::string& path) {
    Close();
    fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd_ < 0)
        return false;
    struct stat st;
    if (::fstat(fd_, &st) != 0 || S_ISDIR(st.st_mode)) {
        const int saved = S_ISDIR(st.st_mode) ? EISDIR : errno;
        Close();
        errno = saved;
        return false;
    }
    regular_ = S_ISREG(st.st_mode);
    size_ = regular_ ? uint64_t(st.st_size) : 0;
    if (regular_)
        ::posix_fadvise(fd_, 0, 0, POSIX_FADV_SEQUENTIAL);
    return true;
}

void ReadOnlyFile::Close() {
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
    regular_ = false;
    size_ = 0;
}

std::optional<size_t> ReadOnlyFile::ReadNext(uint8_t* buffer, size_t count) {
    if (fd_ < 0)
        return std::nullopt;
    size_t done = 0;
    while (done < count) {
        const ssize_t n = ::read(fd_, buffer + done, count - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return std::nullopt;
        if (n == 0)
            break;
        done += size_t(n);
    }
    return done;
}

std::optional<size_t> ReadOnlyFile::ReadAt(uint64_t offset, uint8_t* buffer, size_t count) {
    if (fd_ < 0)
        return std::nullopt;
    // A regular file gives what was asked unless it ends; the loop only
    // covers interrupted or partial reads of the kernel.
    size_t done = 0;
    while (done < count) {
        const ssize_t n = ::pread(fd_, buffer + done, count - done, off_t(offset + done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return std::nullopt;
        if (n == 0)
            break;
        done += size_t(n);
    }
    return done;
}

bool StderrIsTerminal() {
    return ::isatty(STDERR_FILENO) != 0;
}

} // namespace platform
