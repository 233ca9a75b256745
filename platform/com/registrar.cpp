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

    // A key or value name: any word that is not punctuation, or a quoted text.
    bool Name(std::string* out) {
        if (pos_ >= tokens_.size())
            return false;
        const Token& t = tokens_[pos_];
        if (!t.quoted && (t.text == "{" || t.text == "}" || t.text == "="))
            return false;
        ++pos_;
        return Replace(t.text, out);
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

HRESULT RegisterKey(Root root, const std::string& parent, const Key& key) {
    std::string path = Join(parent, key.name);
    if (key.flag == Flag::Delete)
        return Gone(registry::DeleteKey(root, path));
    if (key.flag == Flag::ForceRemove) {
        HRESULT hr = Gone(registry::DeleteKey(root, path));
        if (FAILED(hr))
            return hr;
    }
    RegError e = key.defaultValue ? registry::SetValue(root, path, "", *key.defaultValue)
                                  : registry::CreateKey(root, path);
    if (e != RegError::Ok)
        return FromRegError(e);
    for (const auto& v : key.values)
        if ((e = registry::SetValue(root, path, v.name, v.value)) != RegError::Ok)
            return FromRegError(e);
    for (const auto& sub : key.subkeys) {
        HRESULT hr = RegisterKey(root, path, sub);
        if (FAILED(hr))
            return hr;
    }
    return S_OK;
}

HRESULT UnregisterKey(Root root, const std::string& parent, const Key& key) {
    std::string path = Join(parent, key.name);
    if (key.flag == Flag::Delete)
        return S_OK; // registration created nothing here
    if (key.flag == Flag::ForceRemove)
        return Gone(registry::DeleteKey(root, path));
    if (!registry::KeyExists(root, path))
        return S_OK;
    for (const auto& sub : key.subkeys) {
        HRESULT hr = UnregisterKey(root, path, sub);
        if (FAILED(hr))
            return hr;
    }
    for (const auto& v : key.values) {
        HRESULT hr = Gone(registry::DeleteValue(root, path, v.name));
        if (FAILED(hr))
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
    return Gone(registry::DeleteKeyIfLeaf(root, path));
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
    for (const auto& block : roots)
        for (const auto& key : block.keys) {
            HRESULT hr =
                doRegister ? RegisterKey(block.root, "", key) : UnregisterKey(block.root, "", key);
            if (FAILED(hr))
                return hr;
        }
    return S_OK;
}

} // namespace platform::com
