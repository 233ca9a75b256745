// The Scripting Host Console without widgets: which language a stored
// script type becomes for the engines at hand, how Browse starts and what a
// chosen file's name says about the language, and the run state with what
// each of the four script messages does to the console's texts.
#pragma once

#include <string>

namespace scripting {

// Script types: 0 VBScript, 1 JScript, -1 no engine.
inline constexpr int kScriptVBScript = 0;
inline constexpr int kScriptJScript = 1;
inline constexpr int kScriptNone = -1;

// The stored "ScriptType" fitted to the engines that are registered: a
// negative type takes the first engine there is; a type whose engine is
// missing takes the other one; with neither it is -1. Other values stay.
//   NormalizeScriptType(1, true, false) == 0
int NormalizeScriptType(int stored, bool haveVBScript, bool haveJScript);

// The text after the last '.' of a file name (the part after the last '/'),
// empty when there is no '.'.
std::string FileExtension(const std::string& path);

// Browse's starting path: the path field, else the stored "FilePath", else
// programDir (ending in '/') followed by "samples/*.vbs".
std::string BrowseStartPath(const std::string& path, const std::string& stored,
                            const std::string& programDir);

// The file dialog's first filter (1 VBScript, 2 JScript, 3 all files): the
// path's extension "vbs" or "js" (compared with case) decides, else the
// script type + 1.
int BrowseFilterIndex(const std::string& path, int scriptType);

// The script type after a file was chosen with filter filterIndex: the
// extension "vbs" gives 0 and "js" 1 (compared with case); another
// extension follows the filter (1 -> 0, 2 -> 1, else unchanged); a name
// without '.' keeps the type.
int ScriptTypeForChoice(const std::string& chosen, int filterIndex, int scriptType);

// The console's run state and texts. Idle and Running switch the buttons:
// Browse and Execute are enabled in Idle, Terminate in Running; with no
// engine all three are disabled.
class ScriptConsole {
public:
    enum class State { NoEngine, Idle, Running };

    static constexpr const char* kStatusExecuting = "The script engine is executing script code...";
    static constexpr const char* kStatusReturned = "The script engine has returned from executing.";
    static constexpr const char* kStatusTerminated =
        "The script execution thread has been terminated. ";

    explicit ScriptConsole(int scriptType = kScriptNone);

    State state() const { return state_; }
    bool canBrowseOrExecute() const { return state_ == State::Idle; }
    bool canTerminate() const { return state_ == State::Running; }
    // The dialog cannot be left while a script runs.
    bool canExit() const { return state_ != State::Running; }

    const std::string& console() const { return console_; }
    const std::string& status() const { return status_; }

    // Execute empties console and status before the run starts.
    void BeginRun();
    // WM_SCRIPT_OUTPUT: the text is appended as it is.
    void Output(const std::string& text);
    // WM_SCRIPT_ERROR: appended like output, then as WM_SCRIPT_LEAVE.
    void Error(const std::string& text);
    // WM_SCRIPT_ENTER.
    void Enter();
    // WM_SCRIPT_LEAVE.
    void Leave();
    // The Terminate button: back to Idle with its status.
    void Terminated();
    // A new file was loaded: console and status are emptied.
    void ClearTexts();

private:
    State state_;
    std::string console_;
    std::string status_;
};

} // namespace scripting
