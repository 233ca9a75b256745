#include "platform/crypto/key_store.h"

#include "platform/crypto/rsa_keys.h"
#include "platform/files/private_files.h"
#include "text/char_classes.h"

#include <openssl/evp.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <functional>
#include <memory>
#include <mutex>

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform::crypto {
namespace {

using files::FdGuard;

constexpr char kFileHeader[] = "Ordovane key container 1";
constexpr char kLockName[] = ".lock";
constexpr char kTmpPrefix[] = ".tmp-";
constexpr char kSuffix[] = ".key";
// Names up to this many bytes are spelled out in hex; longer ones are hashed
// so that the file name stays far below the file system's 255 bytes.
constexpr size_t kSpelledNameMax = 100;
// A container file holds two 1024-bit pairs in well under 4 KiB; anything far
// larger is not one of ours.
constexpr size_t kMaxFileBytes = 1 << 20;

std::mutex& ProcessLock() {
    static std::mutex m;
    return m;
}

StoreResult Fail(StoreStatus status, int osError = 0) {
    return StoreResult{status, osError};
}

StoreResult IoFailure() {
    return Fail(StoreStatus::Io, errno ? errno : EIO);
}

std::string Hex(std::string_view bytes) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string out;
    out.reserve(bytes.size() * 2);
    for (unsigned char c : bytes) {
        out += kDigits[c >> 4];
        out += kDigits[c & 15];
    }
    return out;
}

std::optional<std::string> Unhex(std::string_view hex) {
    if (hex.size() % 2 != 0)
        return std::nullopt;
    std::string out;
    out.reserve(hex.size() / 2);
    for (size_t i = 0; i < hex.size(); i += 2) {
        int hi = text::HexDigitValue(hex[i]), lo = text::HexDigitValue(hex[i + 1]);
        if (hi < 0 || lo < 0)
            return std::nullopt;
        out += static_cast<char>(hi * 16 + lo);
    }
    return out;
}

std::string Sha256Hex(std::string_view bytes) {
    unsigned char digest[32] = {};
    unsigned int len = 0;
    EVP_Digest(bytes.data(), bytes.size(), digest, &len, EVP_sha256(), nullptr);
    return Hex(std::string_view(reinterpret_cast<const char*>(digest), sizeof digest));
}

const char* SlotName(KeySpec kind) {
    return kind == KeySpec::Exchange ? "exchange" : "signature";
}

// ---- the file's text -------------------------------------------------------
//
//   Ordovane key container 1
//   name <hex of the name's bytes>
//   exchange <0|1 exportable> <hex of the plain PRIVATEKEYBLOB>
//   signature <0|1> <hex>
//
// The pair lines are optional, each at most once, in this order.

std::string Serialize(const Container& c) {
    std::string text = std::string(kFileHeader) + "\nname " + Hex(c.name) + "\n";
    for (KeySpec kind : {KeySpec::Exchange, KeySpec::Signature}) {
        const std::optional<StoredPair>& pair =
            kind == KeySpec::Exchange ? c.exchange : c.signature;
        if (!pair)
            continue;
        std::vector<uint8_t> blob = PrivateKeyBlob(pair->key, PairAlgId(kind));
        text += std::string(SlotName(kind)) + (pair->exportable ? " 1 " : " 0 ") +
                Hex(std::string_view(reinterpret_cast<const char*>(blob.data()), blob.size())) +
                "\n";
    }
    return text;
}

std::optional<StoredPair> ParsePair(std::string_view rest, KeySpec kind) {
    if (rest.size() < 3 || (rest[0] != '0' && rest[0] != '1') || rest[1] != ' ')
        return std::nullopt;
    std::optional<std::string> blob = Unhex(rest.substr(2));
    if (!blob)
        return std::nullopt;
    uint32_t algId = 0;
    std::optional<RsaKeyParts> key = ParsePrivateKeyBlob(
        std::span(reinterpret_cast<const uint8_t*>(blob->data()), blob->size()), &algId);
    if (!key || algId != PairAlgId(kind) || !IsConsistentRsaKey(*key))
        return std::nullopt;
    return StoredPair{rest[0] == '1', std::move(*key)};
}

std::optional<Container> Parse(std::string_view text) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        size_t nl = text.find('\n');
        if (nl == std::string_view::npos)
            return std::nullopt; // every line ends with a line feed
        lines.push_back(text.substr(0, nl));
        text.remove_prefix(nl + 1);
    }
    if (lines.size() < 2 || lines.size() > 4 || lines[0] != kFileHeader ||
        !lines[1].starts_with("name "))
        return std::nullopt;
    Container c;
    std::optional<std::string> name = Unhex(lines[1].substr(5));
    if (!name || name->empty())
        return std::nullopt;
    c.name = std::move(*name);
    size_t next = 2;
    for (KeySpec kind : {KeySpec::Exchange, KeySpec::Signature}) {
        std::string prefix = std::string(SlotName(kind)) + " ";
        if (next < lines.size() && lines[next].starts_with(prefix)) {
            auto pair = ParsePair(lines[next].substr(prefix.size()), kind);
            if (!pair)
                return std::nullopt;
            (kind == KeySpec::Exchange ? c.exchange : c.signature) = std::move(*pair);
            ++next;
        }
    }
    if (next != lines.size())
        return std::nullopt;
    return c;
}

// ---- locking and files -----------------------------------------------------

// The store folder with its lock held; fn runs while it is.
StoreResult Locked(bool exclusive, bool mayCreateFolder,
                   const std::function<StoreResult(const std::string& dir)>& fn) {
    std::lock_guard<std::mutex> guard(ProcessLock());
    const std::string dir = KeysDirectory();
    struct stat st;
    if (::stat(dir.c_str(), &st) != 0) {
        if (errno != ENOENT)
            return IoFailure();
        if (!mayCreateFolder)
            return Fail(StoreStatus::NotFound);
        if (!files::EnsureDirectory(dir))
            return IoFailure();
    } else if (!S_ISDIR(st.st_mode)) {
        return Fail(StoreStatus::Io, ENOTDIR);
    } else if ((st.st_mode & 077) != 0 && st.st_uid == ::getuid()) {
        // Private keys live here: a folder others can read is closed first.
        if (::chmod(dir.c_str(), 0700) != 0)
            return IoFailure();
    }
    const std::string lockPath = dir + "/" + kLockName;
    int lockFd = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    // Readers make do with a read-only folder.
    if (lockFd < 0 && !exclusive)
        lockFd = ::open(lockPath.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    FdGuard lock(lockFd);
    if (lock.get() < 0 || !files::LockFd(lock.get(), exclusive ? LOCK_EX : LOCK_SH))
        return IoFailure();
    return fn(dir);
}

StoreResult Load(const std::string& path, std::string_view name, Container* out) {
    std::string text;
    if (!files::ReadWholeFile(path, &text, true, kMaxFileBytes)) {
        if (errno == ENOENT)
            return Fail(StoreStatus::NotFound);
        // A symbolic link or an oversized file where a container should be.
        if (errno == ELOOP || errno == EFBIG)
            return Fail(StoreStatus::Damaged);
        return IoFailure();
    }
    std::optional<Container> c = Parse(text);
    // A hashed file name whose file holds another name is damaged too.
    if (!c || c->name != name)
        return Fail(StoreStatus::Damaged);
    *out = std::move(*c);
    return {};
}

StoreResult Save(const std::string& dir, const std::string& path, const Container& c) {
    if (!files::ReplaceFile(dir, path, kTmpPrefix, Serialize(c)))
        return IoFailure();
    return {};
}

} // namespace

uint32_t PairAlgId(KeySpec kind) {
    return kind == KeySpec::Exchange ? kAlgRsaKeyx : kAlgRsaSign;
}

std::string KeysDirectory() {
    const char* dir = std::getenv("ORDOVANE_KEYS_DIR");
    if (dir && *dir)
        return dir;
    return files::DataHome() + "/Pellacor/keys";
}

std::string ContainerFileName(std::string_view name) {
    if (name.empty() || name.size() > kMaxContainerName)
        return {};
    if (name.size() <= kSpelledNameMax)
        return "c-" + Hex(name) + kSuffix;
    return "h-" + Sha256Hex(name) + kSuffix;
}

StoreResult CreateContainer(std::string_view name) {
    const std::string file = ContainerFileName(name);
    if (file.empty())
        return Fail(StoreStatus::BadName);
    return Locked(true, true, [&](const std::string& dir) {
        const std::string path = dir + "/" + file;
        struct stat st;
        if (::lstat(path.c_str(), &st) == 0)
            return Fail(StoreStatus::Exists);
        if (errno != ENOENT)
            return IoFailure();
        Container c;
        c.name = std::string(name);
        return Save(dir, path, c);
    });
}

StoreResult DeleteContainer(std::string_view name) {
    const std::string file = ContainerFileName(name);
    if (file.empty())
        return Fail(StoreStatus::BadName);
    return Locked(true, false, [&](const std::string& dir) {
        const std::string path = dir + "/" + file;
        if (::unlink(path.c_str()) != 0)
            return errno == ENOENT ? Fail(StoreStatus::NotFound) : IoFailure();
        FdGuard dirFd(::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        if (dirFd.get() >= 0)
            ::fsync(dirFd.get());
        return StoreResult{};
    });
}

StoreResult LoadContainer(std::string_view name, Container* out) {
    const std::string file = ContainerFileName(name);
    if (file.empty())
        return Fail(StoreStatus::BadName);
    return Locked(false, false,
                  [&](const std::string& dir) { return Load(dir + "/" + file, name, out); });
}

StoreResult PutPair(std::string_view name, KeySpec kind, const StoredPair& pair) {
    const std::string file = ContainerFileName(name);
    if (file.empty())
        return Fail(StoreStatus::BadName);
    if (!HasBlobWidths(pair.key))
        return Fail(StoreStatus::Io, EINVAL);
    return Locked(true, false, [&](const std::string& dir) {
        const std::string path = dir + "/" + file;
        Container c;
        StoreResult r = Load(path, name, &c);
        if (!r.ok())
            return r;
        (kind == KeySpec::Exchange ? c.exchange : c.signature) = pair;
        return Save(dir, path, c);
    });
}

StoreResult ListContainers(std::vector<std::string>* names, size_t* damaged) {
    names->clear();
    if (damaged)
        *damaged = 0;
    StoreResult r = Locked(false, false, [&](const std::string& dir) {
        std::unique_ptr<DIR, int (*)(DIR*)> d(::opendir(dir.c_str()), &::closedir);
        if (!d)
            return IoFailure();
        while (const dirent* e = ::readdir(d.get())) {
            std::string_view file = e->d_name;
            if (!(file.starts_with("c-") || file.starts_with("h-")) || !file.ends_with(kSuffix))
                continue;
            std::string text;
            std::optional<Container> c;
            if (files::ReadWholeFile(dir + "/" + std::string(file), &text, true, kMaxFileBytes))
                c = Parse(text);
            if (c && ContainerFileName(c->name) == file)
                names->push_back(std::move(c->name));
            else if (damaged)
                ++*damaged;
        }
        return StoreResult{};
    });
    // No folder yet: no containers.
    if (r.status == StoreStatus::NotFound)
        return {};
    std::sort(names->begin(), names->end());
    return r;
}

} // namespace platform::crypto
