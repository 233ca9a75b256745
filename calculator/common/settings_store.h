// The settings store of the program: integers and texts by section under
// HKEY_CURRENT_USER\Software\<root>\<application name>\<section>. A missing
// value reads as the caller's default; a value that cannot be written is lost
// without notice.
#pragma once

#include <cstdint>
#include <string>

namespace calculator {

// The root key name below Software ("Pellacor"), set once at start-up.
void SetSettingsRoot(const std::string& root);
// The application name; by default the executable's base name.
void SetApplicationName(const std::string& name);
std::string ApplicationName();

int32_t GetProfileInt(const std::string& section, const std::string& name, int32_t defaultValue);
std::string GetProfileString(const std::string& section, const std::string& name,
                             const std::string& defaultValue);
bool WriteProfileInt(const std::string& section, const std::string& name, int32_t value);
bool WriteProfileString(const std::string& section, const std::string& name,
                        const std::string& value);

// The key of a section, for parts that delete and recreate a section whole.
std::string SectionKey(const std::string& section);

} // namespace calculator
