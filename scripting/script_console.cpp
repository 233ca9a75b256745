#include "scripting/script_console.h"

namespace scripting {

int NormalizeScriptType(int stored, bool haveVBScript, bool haveJScript) {
    const int first = haveVBScript ? kScriptVBScript : haveJScript ? kScriptJScript : kScriptNone;
    if (stored < 0)
        return first;
    if (stored == kScriptVBScript && !haveVBScript)
        return haveJScript ? kScriptJScript : kScriptNone;
    if (stored == kScriptJScript && !haveJScript)
        return haveVBScript ? kScriptVBScript : kScriptNone;
    return stored;
}

std::string FileExtension(const std::string& path) {
    const size_t slash = path.rfind('/');
    const size_t dot = path.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return {};
    return path.substr(dot + 1);
}

std::string BrowseStartPath(const std::string& path, const std::string& stored,
                            const std::string& programDir) {
    if (!path.empty())
        return path;
    if (!stored.empty())
        return stored;
    return programDir + "samples/*.vbs";
}

int BrowseFilterIndex(const std::string& path, int scriptType) {
    const std::string ext = FileExtension(path);
    if (ext == "vbs")
        return 1;
    if (ext == "js")
        return 2;
    return scriptType + 1;
}

int ScriptTypeForChoice(const std::string& chosen, int filterIndex, int scriptType) {
    const size_t slash = chosen.rfind('/');
    const std::string name = slash == std::string::npos ? chosen : chosen.substr(slash + 1);
    if (name.find('.') == std::string::npos)
        return scriptType;
    const std::string ext = FileExtension(chosen);
    if (ext == "vbs")
        return kScriptVBScript;
    if (ext == "js")
        return kScriptJScript;
    if (filterIndex == 1)
        return kScriptVBScript;
    if (filterIndex == 2)
        return kScriptJScript;
    return scriptType;
}

ScriptConsole::ScriptConsole(int scriptType)
    : state_(scriptType >= 0 ? State::Idle : State::NoEngine) {}

void ScriptConsole::BeginRun() {
    console_.clear();
    status_.clear();
}

void ScriptConsole::Output(const std::string& text) {
    console_ += text;
}

void ScriptConsole::Error(const std::string& text) {
    Output(text);
    Leave();
}

void ScriptConsole::Enter() {
    state_ = State::Running;
    status_ = kStatusExecuting;
}

void ScriptConsole::Leave() {
    state_ = State::Idle;
    status_ = kStatusReturned;
}

void ScriptConsole::Terminated() {
    state_ = State::Idle;
    status_ = kStatusTerminated;
}

void ScriptConsole::ClearTexts() {
    console_.clear();
    status_.clear();
}

} // namespace scripting
