// The settings the key container tools read and write, handed in from above
// so that this folder needs no window: the program passes its settings store,
// a test a temporary one. RegistryProfile is the store over the platform's
// registry, with the section keys the caller names.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace keys {

class ProfileSettings {
public:
    virtual ~ProfileSettings() = default;
    // The integer, or defaultValue when it is missing or not an integer.
    virtual int32_t GetInt(const std::string& section, const std::string& name,
                           int32_t defaultValue) = 0;
    // The string; nullopt when it is missing or not a string.
    virtual std::optional<std::string> GetString(const std::string& section,
                                                 const std::string& name) = 0;
    virtual bool WriteInt(const std::string& section, const std::string& name, int32_t value) = 0;
    virtual bool WriteString(const std::string& section, const std::string& name,
                             const std::string& value) = 0;
    // Removes the section with all its values; true when it is gone.
    virtual bool DeleteSection(const std::string& section) = 0;
};

// Settings in HKEY_CURRENT_USER under sectionKey(section), e.g.
// "Software\\Pellacor\\Ordovane\\Container Info".
class RegistryProfile : public ProfileSettings {
public:
    explicit RegistryProfile(std::function<std::string(const std::string&)> sectionKey);

    int32_t GetInt(const std::string& section, const std::string& name,
                   int32_t defaultValue) override;
    std::optional<std::string> GetString(const std::string& section,
                                         const std::string& name) override;
    bool WriteInt(const std::string& section, const std::string& name, int32_t value) override;
    bool WriteString(const std::string& section, const std::string& name,
                     const std::string& value) override;
    bool DeleteSection(const std::string& section) override;

private:
    std::function<std::string(const std::string&)> sectionKey_;
};

} // namespace keys
