// Finding the script engines' class ids in the registry, as the console
// does once when its site is created.
#pragma once

#include <optional>
#include <string>

namespace scripting {

enum class Language { VBScript, JScript };

// The class-id text of the first source that yields one: the extension
// (".vbs" / ".js") under HKEY_CURRENT_USER, then under HKEY_CLASSES_ROOT,
// then the two engine names under HKEY_CLASSES_ROOT ("VBS", "VBScript" /
// "JScript", "JavaScript"). Every read is limited to 259 characters (a
// 260-byte buffer); a failed read ends that source. The caller converts the
// text; when that fails the engine counts as missing.
std::optional<std::string> FindEngineClassIdText(Language language);

} // namespace scripting
