#include "platform/files/private_files.h"

#include <cerrno>
#include <cstdlib>

#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform::files {
namespace {

std::string EnvOrEmpty(const char* name) {
    const char* v = std::getenv(name);
    return v ? std::string(v) : std::string();
}

std::string HomeDirectory() {
    std::string home = EnvOrEmpty("HOME");
    if (!home.empty())
        return home;
    struct passwd pw;
    struct passwd* found = nullptr;
    char buf[4096];
    if (getpwuid_r(getuid(), &pw, buf, sizeof buf, &found) == 0 && found && found->pw_dir)
        return found->pw_dir;
    return ".";
}

bool DirectoryExists(const std::string& dir) {
    struct stat st;
    return ::stat(dir.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool WriteAll(int fd, const std::string& text) {
    size_t done = 0;
    while (done < text.size()) {
        ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        done += static_cast<size_t>(n);
    }
    return true;
}

} // namespace

FdGuard::~FdGuard() {
    if (fd_ >= 0)
        ::close(fd_);
}

std::string DataHome() {
    std::string data = EnvOrEmpty("XDG_DATA_HOME");
    // A relative XDG_DATA_HOME is invalid and to be ignored.
    if (data.empty() || data[0] != '/')
        data = HomeDirectory() + "/.local/share";
    return data;
}

bool EnsureDirectory(const std::string& dir) {
    if (dir.empty())
        return false;
    for (size_t pos = 1; pos <= dir.size(); ++pos) {
        if (pos != dir.size() && dir[pos] != '/')
            continue;
        std::string prefix = dir.substr(0, pos);
        if (::mkdir(prefix.c_str(), 0700) != 0 && errno != EEXIST)
            return false;
    }
    return DirectoryExists(dir);
}

bool LockFd(int fd, int how) {
    while (::flock(fd, how) != 0)
        if (errno != EINTR)
            return false;
    return true;
}

bool ReadWholeFile(const std::string& path, std::string* text, bool noFollow, size_t maxBytes) {
    FdGuard fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | (noFollow ? O_NOFOLLOW : 0)));
    if (fd.get() < 0)
        return false;
    text->clear();
    char buf[65536];
    while (true) {
        ssize_t n = ::read(fd.get(), buf, sizeof buf);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (n == 0)
            return true;
        if (text->size() + static_cast<size_t>(n) > maxBytes) {
            errno = EFBIG;
            return false;
        }
        text->append(buf, static_cast<size_t>(n));
    }
}

bool ReplaceFile(const std::string& dir, const std::string& file, const std::string& tmpPrefix,
                 const std::string& text) {
    std::string tmp = dir + "/" + tmpPrefix + "XXXXXX";
    FdGuard fd(::mkostemp(tmp.data(), O_CLOEXEC));
    if (fd.get() < 0)
        return false;
    bool ok = WriteAll(fd.get(), text) && ::fsync(fd.get()) == 0;
    ok = ::close(fd.release()) == 0 && ok;
    if (!ok || ::rename(tmp.c_str(), file.c_str()) != 0) {
        int saved = errno;
        ::unlink(tmp.c_str());
        errno = saved;
        return false;
    }
    FdGuard dirFd(::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dirFd.get() >= 0)
        ::fsync(dirFd.get()); // best effort: the new file is in place either way
    return true;
}

} // namespace platform::files
