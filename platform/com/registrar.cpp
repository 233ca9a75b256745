#include "platform/com/registrar.h"

#include "platform/registry/registry.h"

#include <cctype>
#include <charconv>
#include <optional>
#include <vector>

namespace platform::com {

namespace {

using registry::RegError;
using registry::Root;

bool EqualNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

enum class Flag { None, NoRemove, ForceRemove, Delete };

struct NamedValue {
    std::string name;
    registry::Value value;
};

struct Key {
    Flag flag = Flag::None;
    std::string name;
    std::optional<registry::Value> defaultValue;
    std::vector<NamedValue> values;
    std::vector<Key> subkeys;
};

struct RootBlock {
    Root root;
    std::vector<Key> keys;
};

struct Token {
    std::string text;
    bool quoted;
};

class Parser {
public:
    Parser(std::string_view script, const RegistrarReplacements& replacements)
        : replacements_(replacements) {
        ok_ = Tokenize(script);
    }

    bool Parse(std::vector<RootBlock>* roots) {
        if (!ok_)
            return false;
        while (pos_ < tokens_.size()) {
            RootBlock block;
            const Token& t = tokens_[pos_++];
            if (t.quoted)
                return false;
            if (EqualNoCase(t.text, "HKCR") || EqualNoCase(t.text, "HKEY_CLASSES_ROOT"))
                block.root = Root::ClassesRoot;
            else if (EqualNoCase(t.text, "HKCU") || EqualNoCase(t.text, "HKEY_CURRENT_USER"))
                block.root = Root::CurrentUser;
            else
                return false;
            if (!Expect("{"))
                return false;
            while (!Peek("}")) {
                Key key;
                if (!ParseKey(&key))
                    return false;
                block.keys.push_back(std::move(key));
            }
            ++pos_;
            roots->push_back(std::move(block));
        }
        return true;
    }

private:
    bool Tokenize(std::string_view s) {
        size_t i = 0;
        while (i < s.size()) {
            if (std::isspace(static_cast<unsigned char>(s[i]))) {
                ++i;
            } else if (s[i] == '\'') {
                std::string text;
                ++i;
                for (;;) {
                    if (i >= s.size())
                        return false; // unterminated string
                    if (s[i] == '\'') {
                        if (i + 1 < s.size() && s[i + 1] == '\'') {
                            text += '\'';
                            i += 2;
                            continue;
                        }
                        ++i;
                        break;
                    }
                    text += s[i++];
                }
                tokens_.push_back({std::move(text), true});
            } else {
                size_t b = i;
                while (i < s.size() && !std::isspace(static_cast<unsigned char>(s[i])) &&
                       s[i] != '\'')
                    ++i;
                tokens_.push_back({std::string(s.substr(b, i - b)), false});
            }
        }
        return true;
    }

    bool Peek(std::string_view punct) const {
        return pos_ < tokens_.size() && !tokens_[pos_].quoted && tokens_[pos_].text == punct;
    }
    bool Expect(std::string_view punct) {
        if (!Peek(punct))
            return false;
        ++pos_;
        return true;
    }

    bool Replace(const std::string& in, std::string* out) const {
        out->clear();
        for (size_t i = 0; i < in.size(); ++i) {
            if (in[i] != '%') {
                *out += in[i];
                continue;
            }
            size_t end = in.find('%', i + 1);
            if (end == std::string::npos)
                return false;
            std::string name = in.substr(i + 1, end - i - 1);
            if (name.empty()) {
                *out += '%';
            } else {
                auto it = replacements_.find(name);
                if (it == replacements_.end())
                    return false;
                *out += it->second;
            }
            i = end;
        }
        return true;
    }

    // A key or value name: any word that is not punctuation, or a quoted text,
    // without the characters no name in the store can carry (a quoted name
    // may span lines, and a script may hold NUL bytes).
    bool Name(std::string* out) {
        if (pos_ >= tokens_.size())
            return false;
        const Token& t = tokens_[pos_];
        if (!t.quoted && (t.text == "{" || t.text == "}" || t.text == "="))
            return false;
        ++pos_;
        return Replace(t.text, out) &&
               out->find_first_of(std::string_view("\r\n\0", 3)) == std::string::npos;
    }

    bool TypedValue(registry::Value* out) {
        if (pos_ + 1 >= tokens_.size() || tokens_[pos_].quoted || !tokens_[pos_ + 1].quoted)
            return false;
        const std::string& type = tokens_[pos_].text;
        std::string text;
        if (!Replace(tokens_[pos_ + 1].text, &text))
            return false;
        pos_ += 2;
        if (EqualNoCase(type, "s")) {
            if (text.find('\0') != std::string::npos)
                return false;
            *out = text;
            return true;
        }
        if (EqualNoCase(type, "d")) {
            uint32_t n = 0;
            int base = 10;
            const char* first = text.data();
            const char* last = text.data() + text.size();
            if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
                base = 16;
                first += 2;
            }
            auto [end, ec] = std::from_chars(first, last, n, base);
            if (first == last || ec != std::errc() || end != last)
                return false;
            *out = n;
            return true;
        }
        return false; // binary and multi-string values have no place in this store
    }

    bool ParseKey(Key* key, int depth = 0) {
        // Real scripts nest a few levels; a bound keeps hostile input off the stack.
        if (depth > 64)
            return false;
        if (pos_ < tokens_.size() && !tokens_[pos_].quoted) {
            const std::string& w = tokens_[pos_].text;
            if (EqualNoCase(w, "NoRemove"))
                key->flag = Flag::NoRemove;
            else if (EqualNoCase(w, "ForceRemove"))
                key->flag = Flag::ForceRemove;
            else if (EqualNoCase(w, "Delete"))
                key->flag = Flag::Delete;
            if (key->flag != Flag::None)
                ++pos_;
        }
        if (!Name(&key->name) || key->name.empty() || key->name.find('\\') != std::string::npos)
            return false;
        if (Expect("=")) {
            registry::Value v;
            if (!TypedValue(&v))
                return false;
            key->defaultValue = std::move(v);
        }
        if (!Expect("{"))
            return true;
        while (!Expect("}")) {
            if (pos_ >= tokens_.size())
                return false;
            if (!tokens_[pos_].quoted && EqualNoCase(tokens_[pos_].text, "val")) {
                ++pos_;
                NamedValue nv;
                if (!Name(&nv.name) || nv.name.empty() || !Expect("=") || !TypedValue(&nv.value))
                    return false;
                key->values.push_back(std::move(nv));
            } else {
                Key sub;
                if (!ParseKey(&sub, depth + 1))
                    return false;
                key->subkeys.push_back(std::move(sub));
            }
        }
        return true;
    }

    const RegistrarReplacements& replacements_;
    std::vector<Token> tokens_;
    size_t pos_ = 0;
    bool ok_ = false;
};

HRESULT FromRegError(RegError e) {
    switch (e) {
    case RegError::Ok:
        return S_OK;
    case RegError::NotFound:
        return HRESULT_FILE_NOT_FOUND;
    case RegError::Corrupt:
        return HRESULT_BADDB;
    case RegError::Io:
        return HRESULT_IO_DEVICE;
    case RegError::InvalidArg:
        return E_INVALIDARG;
    }
    return E_FAIL;
}

// Deleting what is already gone is success.
HRESULT Gone(RegError e) {
    return e == RegError::NotFound ? S_OK : FromRegError(e);
}

std::string Join(const std::string& parent, const std::string& name) {
    return parent.empty() ? name : parent + "\\" + name;
}

// A key with everything below it, as read from the store.
struct Snapshot {
    std::string name; // stored spelling
    std::vector<NamedValue> values;
    std::vector<Snapshot> subkeys;
};

RegError Capture(Root root, const std::string& path, Snapshot* out) {
    std::vector<std::string> names;
    RegError e = registry::EnumValues(root, path, &names);
    if (e != RegError::Ok)
        return e;
    for (const auto& name : names) {
        NamedValue nv{name, {}};
        if ((e = registry::GetValue(root, path, name, &nv.value)) != RegError::Ok)
            return e;
        out->values.push_back(std::move(nv));
    }
    if ((e = registry::EnumSubkeys(root, path, &names)) != RegError::Ok)
        return e;
    for (const auto& name : names) {
        Snapshot sub;
        sub.name = name;
        if ((e = Capture(root, Join(path, name), &sub)) != RegError::Ok)
            return e;
        out->subkeys.push_back(std::move(sub));
    }
    return RegError::Ok;
}

void Recreate(Root root, const std::string& path, const Snapshot& key) {
    registry::CreateKey(root, path);
    for (const auto& v : key.values)
        registry::SetValue(root, path, v.name, v.value);
    for (const auto& sub : key.subkeys)
        Recreate(root, Join(path, sub.name), sub);
}

// What one run changed, step by step, so that a run failing half-way can
// put the store back as it found it: a registration either happens whole
// or not at all. Each Before* call records the state its change is about to
// replace; a failure to read that state fails the run before the change.
class UndoLog {
public:
    // Before creating path (and any missing parents), or setting a value
    // there: remember the first missing key, which undoing removes whole.
    HRESULT BeforeCreate(Root root, const std::string& path) {
        size_t sep = 0;
        do {
            sep = path.find('\\', sep + 1);
            std::string prefix = path.substr(0, sep);
            bool exists = false;
            if (HRESULT hr = Exists(root, prefix, &exists); FAILED(hr))
                return hr;
            if (!exists) {
                steps_.push_back({Kind::RemoveKey, root, prefix, {}, {}, {}});
                return S_OK;
            }
        } while (sep != std::string::npos);
        return S_OK;
    }

    // Before setting or deleting a value of an existing key.
    HRESULT BeforeValue(Root root, const std::string& path, const std::string& name) {
        registry::Value old;
        RegError e = registry::GetValue(root, path, name, &old);
        if (e == RegError::NotFound)
            steps_.push_back({Kind::RemoveValue, root, path, name, {}, {}});
        else if (e == RegError::Ok)
            steps_.push_back({Kind::RestoreValue, root, path, name, std::move(old), {}});
        else
            return FromRegError(e);
        return S_OK;
    }

    // Before deleting path with everything below it.
    HRESULT BeforeDelete(Root root, const std::string& path) {
        bool exists = false;
        if (HRESULT hr = Exists(root, path, &exists); FAILED(hr) || !exists)
            return hr;
        // The key comes back under its stored spelling, found in its parent.
        size_t sep = path.rfind('\\');
        std::string parent = sep == std::string::npos ? "" : path.substr(0, sep);
        std::vector<std::string> names;
        RegError e = registry::EnumSubkeys(root, parent, &names);
        if (e != RegError::Ok)
            return FromRegError(e);
        Snapshot key;
        key.name = path.substr(sep + 1);
        for (const auto& name : names)
            if (EqualNoCase(name, key.name))
                key.name = name;
        e = Capture(root, path, &key);
        if (e != RegError::Ok)
            return FromRegError(e);
        steps_.push_back({Kind::RestoreKey, root, path, {}, {}, std::move(key)});
        return S_OK;
    }

    // Undoes every recorded step, the last first. Best effort: a store that
    // fails now keeps whatever could be restored.
    void Rollback() noexcept {
        try {
            Undo();
        } catch (...) {
        }
        steps_.clear();
    }

private:
    // Whether a key exists, telling a missing key from a store that cannot
    // be read (where guessing "missing" would make undoing delete it).
    static HRESULT Exists(Root root, const std::string& path, bool* exists) {
        std::vector<std::string> names;
        RegError e = registry::EnumValues(root, path, &names);
        *exists = e == RegError::Ok;
        return e == RegError::Ok || e == RegError::NotFound ? S_OK : FromRegError(e);
    }

    void Undo() {
        for (auto it = steps_.rbegin(); it != steps_.rend(); ++it) {
            switch (it->kind) {
            case Kind::RemoveKey:
                registry::DeleteKey(it->root, it->path);
                break;
            case Kind::RemoveValue:
                registry::DeleteValue(it->root, it->path, it->name);
                break;
            case Kind::RestoreValue:
                registry::SetValue(it->root, it->path, it->name, it->value);
                break;
            case Kind::RestoreKey: {
                size_t sep = it->path.rfind('\\');
                std::string parent = sep == std::string::npos ? "" : it->path.substr(0, sep);
                registry::DeleteKey(it->root, it->path);
                Recreate(it->root, Join(parent, it->key.name), it->key);
                break;
            }
            }
        }
    }

    enum class Kind { RemoveKey, RemoveValue, RestoreValue, RestoreKey };
    struct Step {
        Kind kind;
        Root root;
        std::string path;
        std::string name;
        registry::Value value;
        Snapshot key;
    };
    std::vector<Step> steps_;
};

HRESULT DeleteTree(Root root, const std::string& path, UndoLog& undo) {
    HRESULT hr = undo.BeforeDelete(root, path);
    return FAILED(hr) ? hr : Gone(registry::DeleteKey(root, path));
}

HRESULT RegisterKey(Root root, const std::string& parent, const Key& key, UndoLog& undo) {
    std::string path = Join(parent, key.name);
    if (key.flag == Flag::Delete)
        return DeleteTree(root, path, undo);
    if (key.flag == Flag::ForceRemove) {
        HRESULT hr = DeleteTree(root, path, undo);
        if (FAILED(hr))
            return hr;
    }
    HRESULT hr = undo.BeforeCreate(root, path);
    if (SUCCEEDED(hr) && key.defaultValue)
        hr = undo.BeforeValue(root, path, "");
    if (FAILED(hr))
        return hr;
    RegError e = key.defaultValue ? registry::SetValue(root, path, "", *key.defaultValue)
                                  : registry::CreateKey(root, path);
    if (e != RegError::Ok)
        return FromRegError(e);
    for (const auto& v : key.values) {
        if (FAILED(hr = undo.BeforeValue(root, path, v.name)))
            return hr;
        if ((e = registry::SetValue(root, path, v.name, v.value)) != RegError::Ok)
            return FromRegError(e);
    }
    for (const auto& sub : key.subkeys) {
        hr = RegisterKey(root, path, sub, undo);
        if (FAILED(hr))
            return hr;
    }
    return S_OK;
}

HRESULT UnregisterKey(Root root, const std::string& parent, const Key& key, UndoLog& undo) {
    std::string path = Join(parent, key.name);
    if (key.flag == Flag::Delete)
        return S_OK; // registration created nothing here
    if (key.flag == Flag::ForceRemove)
        return DeleteTree(root, path, undo);
    if (!registry::KeyExists(root, path))
        return S_OK;
    for (const auto& sub : key.subkeys) {
        HRESULT hr = UnregisterKey(root, path, sub, undo);
        if (FAILED(hr))
            return hr;
    }
    for (const auto& v : key.values) {
        HRESULT hr = undo.BeforeValue(root, path, v.name);
        if (FAILED(hr) || FAILED(hr = Gone(registry::DeleteValue(root, path, v.name))))
            return hr;
    }
    if (key.flag == Flag::NoRemove)
        return S_OK;
    std::vector<std::string> left;
    RegError e = registry::EnumSubkeys(root, path, &left);
    if (e != RegError::Ok)
        return Gone(e);
    if (!left.empty())
        return S_OK; // others still keep keys below it
    HRESULT hr = undo.BeforeDelete(root, path);
    return FAILED(hr) ? hr : Gone(registry::DeleteKeyIfLeaf(root, path));
}

} // namespace

bool NoCaseLess::operator()(const std::string& a, const std::string& b) const {
    size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        int x = std::tolower(static_cast<unsigned char>(a[i]));
        int y = std::tolower(static_cast<unsigned char>(b[i]));
        if (x != y)
            return x < y;
    }
    return a.size() < b.size();
}

HRESULT UpdateRegistryFromScript(std::string_view script, bool doRegister,
                                 const RegistrarReplacements& replacements) {
    std::vector<RootBlock> roots;
    try {
        Parser parser(script, replacements);
        if (!parser.Parse(&roots))
            return E_INVALIDARG;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    UndoLog undo;
    try {
        for (const auto& block : roots)
            for (const auto& key : block.keys) {
                HRESULT hr = doRegister ? RegisterKey(block.root, "", key, undo)
                                        : UnregisterKey(block.root, "", key, undo);
                if (FAILED(hr)) {
                    undo.Rollback();
                    return hr;
                }
            }
    } catch (const std::bad_alloc&) {
        undo.Rollback();
        return E_OUTOFMEMORY;
    }
    return S_OK;
}

} // namespace platform::com
