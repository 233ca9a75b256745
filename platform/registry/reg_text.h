// The in-memory form of one root and its text in the .reg export notation.
// Private to the key store: registry.cpp does the files and locks, this
// part only turns text into a tree and back.
#pragma once

#include "platform/registry/registry.h"

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace platform::registry::detail {

// Key and value names are looked up by their ASCII-upper-cased form (the
// order the system's own registry sorts in) and keep their first spelling.
std::string Fold(std::string_view name);

struct NamedValue {
    std::string name; // stored spelling
    Value value;
};

struct Key {
    std::string name;                                    // stored spelling; empty for the root
    std::map<std::string, NamedValue> values;            // by Fold(name)
    std::map<std::string, std::unique_ptr<Key>> subkeys; // by Fold(name)
};

// Deeper paths are refused: the tree is walked recursively.
constexpr size_t kMaxDepth = 512;

// A key name is one path component: not empty, no backslash, and nothing
// that would end a line or a C string in the file.
bool ValidKeyName(std::string_view name);
// Value names may be empty (the default value) but carry no line break or NUL.
bool ValidValueName(std::string_view name);
// String values carry any byte except NUL.
bool ValidString(std::string_view text);

// "HKEY_CURRENT_USER" or "HKEY_CLASSES_ROOT".
const char* RootName(Root root);

// A string value that the quoted form cannot carry (a line break would end
// the line) is written as hex(1), UTF-16LE. Bytes that are not UTF-8 are
// carried as the lone surrogates U+DC80..U+DCFF, so every byte string comes
// back exactly.
bool NeedsHexForm(std::string_view text);

// The whole file text of a root, ending in a newline.
std::string Serialize(Root root, const Key& tree);

// Parses a file's text; nullopt when any line is not understood (the
// caller then reports the root as corrupt and leaves the file alone).
std::optional<Key> Parse(Root root, std::string_view text);

} // namespace platform::registry::detail
