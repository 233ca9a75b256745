#include "keys/profile_settings.h"

#include "platform/registry/registry.h"

namespace keys {

using platform::registry::RegError;
using platform::registry::Root;

RegistryProfile::RegistryProfile(std::function<std::string(const std::string&)> sectionKey)
    : sectionKey_(std::move(sectionKey)) {}

int32_t RegistryProfile::GetInt(const std::string& section, const std::string& name,
                                int32_t defaultValue) {
    std::optional<uint32_t> v =
        platform::registry::GetDword(Root::CurrentUser, sectionKey_(section), name);
    return v ? static_cast<int32_t>(*v) : defaultValue;
}

std::optional<std::string> RegistryProfile::GetString(const std::string& section,
                                                      const std::string& name) {
    return platform::registry::GetString(Root::CurrentUser, sectionKey_(section), name);
}

bool RegistryProfile::WriteInt(const std::string& section, const std::string& name, int32_t value) {
    return platform::registry::SetValue(Root::CurrentUser, sectionKey_(section), name,
                                        static_cast<uint32_t>(value)) == RegError::Ok;
}

bool RegistryProfile::WriteString(const std::string& section, const std::string& name,
                                  const std::string& value) {
    return platform::registry::SetValue(Root::CurrentUser, sectionKey_(section), name, value) ==
           RegError::Ok;
}

bool RegistryProfile::DeleteSection(const std::string& section) {
    RegError e = platform::registry::DeleteKey(Root::CurrentUser, sectionKey_(section));
    return e == RegError::Ok || e == RegError::NotFound;
}

} // namespace keys
