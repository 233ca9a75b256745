// The VBScript engine: the ActiveX Scripting shell of script_engine.h over
// the evaluator of interpreter.h. An interrupt stops the running script at
// its next loop pass or procedure call. Named items are looked up through
// the site when a script first runs, and each becomes a read-only global
// whose members are called through the item's IDispatch; item names are
// compared without regard to case.
#pragma once

#include "platform/script/script_engine.h"

#include <memory>

namespace platform::vbscript {

class Interpreter;

// {B54F3741-5B07-11CF-A4B0-00AA004A55E8}
constexpr com::CLSID CLSID_VBScript = {
    0xB54F3741, 0x5B07, 0x11CF, {0xA4, 0xB0, 0x00, 0xAA, 0x00, 0x4A, 0x55, 0xE8}};

class VBScriptEngine : public script::ScriptEngine {
public:
    VBScriptEngine();
    ~VBScriptEngine();

private:
    com::HRESULT CreateRuntime() override;
    void DestroyRuntime() override;
    bool HasRuntime() const override { return interpreter_ != nullptr; }
    void BindNamedItem(const NamedItem& item) override;
    bool SameItemName(std::u16string_view a, std::u16string_view b) const override;
    // Parses the whole text first (a syntax error runs nothing), then runs
    // it.
    com::HRESULT RunScript(std::u16string_view text, com::DWORD sourceContext,
                           com::ULONG startingLine, com::DWORD flags, com::VARIANT* result,
                           com::EXCEPINFO* excepInfo) override;

    std::unique_ptr<Interpreter> interpreter_;
};

} // namespace platform::vbscript
