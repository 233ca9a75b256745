// One error of a script run, as handed to the site's OnScriptError.
#pragma once

#include "platform/script/active_script.h"

#include <QString>

#include <atomic>

namespace platform::jscript {

struct ScriptErrorData {
    QString source;      // "JScript compilation error" / "JScript runtime error"
    QString description; // the error's message
    com::SCODE scode = 0;
    com::DWORD sourceContext = 0;
    com::ULONG line = 0;    // as the script text counts it (from the starting line); 0: unknown
    com::LONG position = 0; // 0-based character position in the text
    QString lineText;       // empty when unknown
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

} // namespace platform::jscript
