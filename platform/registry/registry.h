// The key store in place of the operating system's registry: two roots,
// keys with subkeys, a default value and named values (strings and 32-bit
// integers). Each root is persisted as a text file in the .reg export
// notation under $XDG_DATA_HOME/Pellacor/registry/ (or $ORDOVANE_REGISTRY_DIR).
// Every call reads the file fresh and every change is written at once,
// atomically (temporary file + rename) and under an exclusive file lock, so
// concurrent processes lose nothing. A file that cannot be parsed makes every
// call on that root fail with RegError::Corrupt and is never overwritten.
#pragma once

#include "platform/platform_api.h"

#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace platform::registry {

enum class Root { CurrentUser, ClassesRoot };

enum class RegError {
    Ok = 0,
    NotFound,     // key or value missing
    Corrupt,      // the root's file cannot be parsed; it is left as it is
    Io,           // the file could not be read, written or locked
    InvalidArg,   // empty or malformed path/name
};

// A value is a string (REG_SZ) or a 32-bit integer (REG_DWORD).
using Value = std::variant<std::string, uint32_t>;

// Paths are backslash-separated key names below the root, compared without
// regard to ASCII case ("Software\\Pellacor\\Ordovane"); the empty path is
// the root itself. Value name "" is the key's default value.

PLATFORM_API RegError CreateKey(Root root, const std::string& path);
PLATFORM_API bool KeyExists(Root root, const std::string& path);
// Deletes the key with all its subkeys and values.
PLATFORM_API RegError DeleteKey(Root root, const std::string& path);
// Deletes the key only when it has no subkeys (values go with it).
PLATFORM_API RegError DeleteKeyIfLeaf(Root root, const std::string& path);
// Names of the direct subkeys, in their stored spelling, sorted.
PLATFORM_API RegError EnumSubkeys(Root root, const std::string& path,
                                  std::vector<std::string>* names);
// Names of the values of a key ("" for the default value), sorted.
PLATFORM_API RegError EnumValues(Root root, const std::string& path,
                                 std::vector<std::string>* names);

// Sets a value, creating the key (and its parents) when missing.
PLATFORM_API RegError SetValue(Root root, const std::string& path, const std::string& name,
                               const Value& value);
PLATFORM_API RegError GetValue(Root root, const std::string& path, const std::string& name,
                               Value* value);
PLATFORM_API RegError DeleteValue(Root root, const std::string& path, const std::string& name);

// Convenience readers: nullopt when missing or of the other type.
PLATFORM_API std::optional<std::string> GetString(Root root, const std::string& path,
                                                  const std::string& name);
PLATFORM_API std::optional<uint32_t> GetDword(Root root, const std::string& path,
                                              const std::string& name);

// The folder holding the root files (created on first write).
PLATFORM_API std::string StoreDirectory();

} // namespace platform::registry
