#include "platform/registry/registry.h"

#include "platform/files/private_files.h"
#include "platform/registry/reg_text.h"

#include <cerrno>
#include <cstdlib>
#include <functional>
#include <mutex>
#include <string_view>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform::registry {
namespace {

using detail::Key;
using files::FdGuard;

// One operation at a time within the process; the file lock orders
// processes.
std::mutex& ProcessLock() {
    static std::mutex m;
    return m;
}

std::string EnvOrEmpty(const char* name) {
    const char* v = std::getenv(name);
    return v ? std::string(v) : std::string();
}

std::string RootFile(const std::string& dir, Root root) {
    return dir + "/" + detail::RootName(root) + ".reg";
}

std::string LockFile(const std::string& dir, Root root) {
    return dir + "/" + detail::RootName(root) + ".lock";
}

// ---- paths -----------------------------------------------------------------

// Splits "A\\B\\C"; nullopt for leading, trailing or doubled separators and
// for names the file could not hold. "" is the root (no components).
std::optional<std::vector<std::string>> SplitPath(const std::string& path) {
    std::vector<std::string> parts;
    if (path.empty())
        return parts;
    size_t start = 0;
    while (true) {
        size_t sep = path.find('\\', start);
        std::string name = path.substr(start, sep == std::string::npos ? sep : sep - start);
        if (!detail::ValidKeyName(name) || parts.size() == detail::kMaxDepth)
            return std::nullopt;
        parts.push_back(std::move(name));
        if (sep == std::string::npos)
            return parts;
        start = sep + 1;
    }
}

const Key* FindKey(const Key& tree, const std::vector<std::string>& parts) {
    const Key* key = &tree;
    for (const std::string& name : parts) {
        auto it = key->subkeys.find(detail::Fold(name));
        if (it == key->subkeys.end())
            return nullptr;
        key = it->second.get();
    }
    return key;
}

Key* FindKey(Key& tree, const std::vector<std::string>& parts) {
    return const_cast<Key*>(FindKey(static_cast<const Key&>(tree), parts));
}

// Finds or creates; *created tells whether anything was added.
Key* MakeKey(Key& tree, const std::vector<std::string>& parts, bool* created) {
    Key* key = &tree;
    for (const std::string& name : parts) {
        auto& slot = key->subkeys[detail::Fold(name)];
        if (!slot) {
            slot = std::make_unique<Key>();
            slot->name = name;
            *created = true;
        }
        key = slot.get();
    }
    return key;
}

// ---- files -----------------------------------------------------------------

// Reads the root's file into *tree: Ok (a missing file is an empty root),
// Corrupt or Io.
RegError Load(const std::string& file, Root root, Key* tree) {
    std::string text;
    if (!files::ReadWholeFile(file, &text)) {
        if (errno == ENOENT) {
            *tree = Key();
            return RegError::Ok;
        }
        return RegError::Io;
    }
    auto parsed = detail::Parse(root, text);
    if (!parsed)
        return RegError::Corrupt;
    *tree = std::move(*parsed);
    return RegError::Ok;
}

// Replaces the root's file atomically (private_files.h).
RegError Store(const std::string& dir, const std::string& file, Root root, const Key& tree) {
    std::string tmpPrefix = std::string(".") + detail::RootName(root) + ".reg.";
    if (!files::ReplaceFile(dir, file, tmpPrefix, detail::Serialize(root, tree)))
        return RegError::Io;
    return RegError::Ok;
}

// Runs fn on the current tree under a shared lock.
RegError Read(Root root, const std::function<RegError(const Key&)>& fn) {
    std::lock_guard<std::mutex> guard(ProcessLock());
    const std::string dir = StoreDirectory();
    const std::string lockPath = LockFile(dir, root);
    int lockFd = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (lockFd < 0)
        lockFd = ::open(lockPath.c_str(), O_RDONLY | O_CLOEXEC);
    FdGuard lock(lockFd);
    // No lock file (no folder yet, or a read-only one) is fine: writers
    // replace the file by rename, so an unlocked read still sees one whole
    // version.
    if (lock.get() >= 0 && !files::LockFd(lock.get(), LOCK_SH))
        return RegError::Io;
    Key tree;
    RegError e = Load(RootFile(dir, root), root, &tree);
    if (e != RegError::Ok)
        return e;
    return fn(tree);
}

// Runs fn on the current tree under the exclusive lock and writes the tree
// back when fn returns Ok and says it changed something. A corrupt file is
// reported before fn runs and never replaced.
RegError Modify(Root root, bool mayAdd, const std::function<RegError(Key&, bool*)>& fn) {
    std::lock_guard<std::mutex> guard(ProcessLock());
    const std::string dir = StoreDirectory();
    const std::string file = RootFile(dir, root);
    struct stat st;
    if (!mayAdd && ::stat(dir.c_str(), &st) != 0 && errno == ENOENT) {
        // Removing from a store that was never written: nothing to find,
        // and no reason to create the folder.
        Key empty;
        bool changed = false;
        return fn(empty, &changed);
    }
    if (!files::EnsureDirectory(dir))
        return RegError::Io;
    FdGuard lock(::open(LockFile(dir, root).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600));
    if (lock.get() < 0 || !files::LockFd(lock.get(), LOCK_EX))
        return RegError::Io;
    Key tree;
    RegError e = Load(file, root, &tree);
    if (e != RegError::Ok)
        return e;
    bool changed = false;
    e = fn(tree, &changed);
    if (e != RegError::Ok || !changed)
        return e;
    return Store(dir, file, root, tree);
}

RegError DeleteKeyImpl(Root root, const std::string& path, bool onlyLeaf) {
    auto parts = SplitPath(path);
    if (!parts || parts->empty())
        return RegError::InvalidArg;
    return Modify(root, false, [&](Key& tree, bool* changed) {
        std::string leaf = detail::Fold(parts->back());
        parts->pop_back();
        Key* parent = FindKey(tree, *parts);
        if (!parent)
            return RegError::NotFound;
        auto it = parent->subkeys.find(leaf);
        if (it == parent->subkeys.end())
            return RegError::NotFound;
        if (onlyLeaf && !it->second->subkeys.empty())
            return RegError::InvalidArg;
        parent->subkeys.erase(it);
        *changed = true;
        return RegError::Ok;
    });
}

} // namespace

std::string StoreDirectory() {
    std::string dir = EnvOrEmpty("ORDOVANE_REGISTRY_DIR");
    if (!dir.empty())
        return dir;
    return files::DataHome() + "/Pellacor/registry";
}

RegError CreateKey(Root root, const std::string& path) {
    auto parts = SplitPath(path);
    if (!parts)
        return RegError::InvalidArg;
    return Modify(root, true, [&](Key& tree, bool* changed) {
        MakeKey(tree, *parts, changed);
        return RegError::Ok;
    });
}

bool KeyExists(Root root, const std::string& path) {
    auto parts = SplitPath(path);
    if (!parts)
        return false;
    return Read(root, [&](const Key& tree) {
               return FindKey(tree, *parts) ? RegError::Ok : RegError::NotFound;
           }) == RegError::Ok;
}

RegError DeleteKey(Root root, const std::string& path) {
    return DeleteKeyImpl(root, path, false);
}

RegError DeleteKeyIfLeaf(Root root, const std::string& path) {
    return DeleteKeyImpl(root, path, true);
}

RegError EnumSubkeys(Root root, const std::string& path, std::vector<std::string>* names) {
    auto parts = SplitPath(path);
    if (!parts || !names)
        return RegError::InvalidArg;
    return Read(root, [&](const Key& tree) {
        const Key* key = FindKey(tree, *parts);
        if (!key)
            return RegError::NotFound;
        names->clear();
        for (const auto& [folded, sub] : key->subkeys)
            names->push_back(sub->name);
        return RegError::Ok;
    });
}

RegError EnumValues(Root root, const std::string& path, std::vector<std::string>* names) {
    auto parts = SplitPath(path);
    if (!parts || !names)
        return RegError::InvalidArg;
    return Read(root, [&](const Key& tree) {
        const Key* key = FindKey(tree, *parts);
        if (!key)
            return RegError::NotFound;
        names->clear();
        for (const auto& [folded, nv] : key->values)
            names->push_back(nv.name);
        return RegError::Ok;
    });
}

RegError SetValue(Root root, const std::string& path, const std::string& name, const Value& value) {
    auto parts = SplitPath(path);
    if (!parts || !detail::ValidValueName(name))
        return RegError::InvalidArg;
    if (const auto* text = std::get_if<std::string>(&value); text && !detail::ValidString(*text))
        return RegError::InvalidArg;
    return Modify(root, true, [&](Key& tree, bool* changed) {
        Key* key = MakeKey(tree, *parts, changed);
        std::string folded = detail::Fold(name);
        auto it = key->values.find(folded);
        if (it == key->values.end()) {
            key->values.emplace(folded, detail::NamedValue{name, value});
            *changed = true;
        } else if (it->second.value != value) {
            it->second.value = value;
            *changed = true;
        }
        return RegError::Ok;
    });
}

RegError GetValue(Root root, const std::string& path, const std::string& name, Value* value) {
    auto parts = SplitPath(path);
    if (!parts || !detail::ValidValueName(name) || !value)
        return RegError::InvalidArg;
    return Read(root, [&](const Key& tree) {
        const Key* key = FindKey(tree, *parts);
        if (!key)
            return RegError::NotFound;
        auto it = key->values.find(detail::Fold(name));
        if (it == key->values.end())
            return RegError::NotFound;
        *value = it->second.value;
        return RegError::Ok;
    });
}

RegError DeleteValue(Root root, const std::string& path, const std::string& name) {
    auto parts = SplitPath(path);
    if (!parts || !detail::ValidValueName(name))
        return RegError::InvalidArg;
    return Modify(root, false, [&](Key& tree, bool* changed) {
        Key* key = FindKey(tree, *parts);
        if (!key || key->values.erase(detail::Fold(name)) == 0)
            return RegError::NotFound;
        *changed = true;
        return RegError::Ok;
    });
}

std::optional<std::string> GetString(Root root, const std::string& path, const std::string& name) {
    Value v;
    if (GetValue(root, path, name, &v) != RegError::Ok)
        return std::nullopt;
    if (auto* text = std::get_if<std::string>(&v))
        return std::move(*text);
    return std::nullopt;
}

std::optional<uint32_t> GetDword(Root root, const std::string& path, const std::string& name) {
    Value v;
    if (GetValue(root, path, name, &v) != RegError::Ok)
        return std::nullopt;
    if (auto* n = std::get_if<uint32_t>(&v))
        return *n;
    return std::nullopt;
}

} // namespace platform::registry
