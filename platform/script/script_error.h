// The error object a script engine hands to its site's OnScriptError: one
// error of a script run, with its texts and its place in the script text.
#pragma once

#include "platform/script/active_script.h"

#include <atomic>
#include <string>

namespace platform::script {

struct ScriptErrorData {
    std::u16string source; // the engine's compilation or run-time error source, or the raiser's
    std::u16string description; // the error's text
    com::SCODE scode = 0;
    com::DWORD sourceContext = 0;
    com::ULONG line = 0;     // as the script text counts it (from the starting line); 0: unknown
    com::LONG position = 0;  // 0-based character position in the text
    std::u16string lineText; // empty when unknown
};

class ScriptError final : public IActiveScriptError {
public:
    // Starts with one reference, the creator's.
    explicit ScriptError(ScriptErrorData data) : data_(std::move(data)) {}

    com::HRESULT QueryInterface(com::REFIID iid, void** out) override;
    com::ULONG AddRef() override { return ++refs_; }
    com::ULONG Release() override;

    // E_OUTOFMEMORY (and a cleared record) when a text cannot be allocated.
    com::HRESULT GetExceptionInfo(com::EXCEPINFO* info) override;
    com::HRESULT GetSourcePosition(com::DWORD* sourceContext, com::ULONG* line,
                                   com::LONG* position) override;
    // E_FAIL when the error has no line.
    com::HRESULT GetSourceLineText(com::BSTR* line) override;

private:
    ~ScriptError() = default;

    ScriptErrorData data_;
    std::atomic<com::ULONG> refs_{1};
};

// A BSTR copy of text; null when memory runs out.
com::BSTR TextToBstr(std::u16string_view text);

} // namespace platform::script
