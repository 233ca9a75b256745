#include "calculator/common/settings_store.h"

#include "platform/registry/registry.h"

#include <filesystem>
#include <mutex>
#include <optional>
#include <system_error>

namespace calculator {
namespace {

using platform::registry::RegError;
using platform::registry::Root;

struct Names {
    std::mutex lock;
    std::string root = "Pellacor";
    std::string application;
};

Names& names() {
    static Names n;
    return n;
}

std::string ExecutableBaseName() {
    std::error_code ec;
    std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec || exe.empty())
        return "Ordovane";
    return exe.stem().string();
}

} // namespace

void SetSettingsRoot(const std::string& root) {
    std::lock_guard<std::mutex> g(names().lock);
    names().root = root;
}

void SetApplicationName(const std::string& name) {
    std::lock_guard<std::mutex> g(names().lock);
    names().application = name;
}

std::string ApplicationName() {
    std::lock_guard<std::mutex> g(names().lock);
    if (names().application.empty())
        names().application = ExecutableBaseName();
    return names().application;
}

std::string SectionKey(const std::string& section) {
    std::string root;
    {
        std::lock_guard<std::mutex> g(names().lock);
        root = names().root;
    }
    return "Software\\" + root + "\\" + ApplicationName() + "\\" + section;
}

int32_t GetProfileInt(const std::string& section, const std::string& name, int32_t defaultValue) {
    std::optional<uint32_t> v =
        platform::registry::GetDword(Root::CurrentUser, SectionKey(section), name);
    return v ? static_cast<int32_t>(*v) : defaultValue;
}

std::string GetProfileString(const std::string& section, const std::string& name,
                             const std::string& defaultValue) {
    std::optional<std::string> v =
        platform::registry::GetString(Root::CurrentUser, SectionKey(section), name);
    return v ? *v : defaultValue;
}

bool WriteProfileInt(const std::string& section, const std::string& name, int32_t value) {
    return platform::registry::SetValue(Root::CurrentUser, SectionKey(section), name,
                                        static_cast<uint32_t>(value)) == RegError::Ok;
}

bool WriteProfileString(const std::string& section, const std::string& name,
                        const std::string& value) {
    return platform::registry::SetValue(Root::CurrentUser, SectionKey(section), name, value) ==
           RegError::Ok;
}

} // namespace calculator
