#include "scripting/engine_lookup.h"

#include "platform/registry/registry.h"

namespace scripting {
namespace {

using platform::registry::Root;

constexpr size_t kReadBuffer = 260; // bytes, terminator included

std::optional<std::string> ReadDefault(Root root, const std::string& key) {
    std::optional<std::string> v = platform::registry::GetString(root, key, "");
    if (!v || v->size() + 1 > kReadBuffer)
        return std::nullopt;
    return v;
}

std::optional<std::string> ByName(Root root, const std::string& name) {
    return ReadDefault(root, name + "\\CLSID");
}

std::optional<std::string> ByExtension(Root root, const std::string& extension) {
    std::optional<std::string> fileType = ReadDefault(root, extension);
    if (!fileType || fileType->empty())
        return std::nullopt;
    std::optional<std::string> engine = ReadDefault(root, *fileType + "\\ScriptEngine");
    if (!engine || engine->empty())
        return std::nullopt;
    return ByName(root, *engine);
}

} // namespace

std::optional<std::string> FindEngineClassIdText(Language language) {
    const bool vbs = language == Language::VBScript;
    const std::string ext = vbs ? ".vbs" : ".js";
    if (auto v = ByExtension(Root::CurrentUser, ext))
        return v;
    if (auto v = ByExtension(Root::ClassesRoot, ext))
        return v;
    if (auto v = ByName(Root::ClassesRoot, vbs ? "VBS" : "JScript"))
        return v;
    return ByName(Root::ClassesRoot, vbs ? "VBScript" : "JavaScript");
}

} // namespace scripting
