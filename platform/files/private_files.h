// The file habits of the platform's stores (settings and key containers):
// folders private to the user, whole-file reads, replacement by a temporary
// file that is flushed and renamed, and one lock file per store that orders
// processes. Failures leave errno as the system call set it.
#pragma once

#include <cstddef>
#include <string>

namespace platform::files {

// An open file descriptor closed on destruction; -1 holds nothing.
class FdGuard {
public:
    explicit FdGuard(int fd = -1) : fd_(fd) {}
    ~FdGuard();
    FdGuard(const FdGuard&) = delete;
    FdGuard& operator=(const FdGuard&) = delete;
    int get() const { return fd_; }
    int release() {
        int fd = fd_;
        fd_ = -1;
        return fd;
    }

private:
    int fd_;
};

// $XDG_DATA_HOME when it is an absolute path, else $HOME/.local/share (the
// password database's home when HOME is unset).
std::string DataHome();

// mkdir -p where each new level gets mode 0700; true when dir is a folder
// afterwards. Folders that already exist keep their mode.
bool EnsureDirectory(const std::string& dir);

// flock(how) on fd, retried on EINTR.
bool LockFd(int fd, int how);

// Reads the whole file at path into *text. Fails (errno set) when the file
// cannot be opened or read, when it is a symbolic link and noFollow is set,
// or (errno EFBIG) when it is larger than maxBytes.
bool ReadWholeFile(const std::string& path, std::string* text, bool noFollow = false,
                   size_t maxBytes = static_cast<size_t>(-1));

// Replaces file (in folder dir) with text: a temporary file in dir named
// after tmpPrefix, mode 0600, written, fsync'ed, renamed over file, then dir
// flushed so the rename survives a crash. On failure nothing changes and the
// temporary file is gone.
bool ReplaceFile(const std::string& dir, const std::string& file, const std::string& tmpPrefix,
                 const std::string& text);

} // namespace platform::files
