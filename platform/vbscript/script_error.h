// One error of a script run, as handed to the site's OnScriptError.
#pragma once

#include "platform/script/active_script.h"

#include <atomic>
#include <string>

namespace platform::vbscript {

struct ScriptErrorData {
    std::u16string source; // "VBScript compilation error" / "VBScript runtime error" / raiser's
    std::u16string description; // the error's text
    com::SCODE scode = 0;
    com::DWORD sourceContext = 0;
    com::ULONG line = 0;    // as the script text counts it (from the starting line); 0: unknown
    com::LONG position = 0; // 0-based character position of the line's start in the text
    std::u16string lineText;
};

class ScriptError final : public script::IActiveScriptError {
public:
    explicit ScriptError(ScriptErrorData data) : data_(std::move(data)) {}

    com::HRESULT QueryInterface(com::REFIID iid, void** out) override;
    com::ULONG AddRef() override { return ++refs_; }
    com::ULONG Release() override;

    com::HRESULT GetExceptionInfo(com::EXCEPINFO* info) override;
    com::HRESULT GetSourcePosition(com::DWORD* sourceContext, com::ULONG* line,
                                   com::LONG* position) override;
    com::HRESULT GetSourceLineText(com::BSTR* line) override;

private:
    ~ScriptError() = default;

    ScriptErrorData data_;
    std::atomic<com::ULONG> refs_{1};
};

} // namespace platform::vbscript
