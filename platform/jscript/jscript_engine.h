// The JScript engine: the ActiveX Scripting shell of script_engine.h over a
// QJSEngine. Named items are looked up through the site when a script first
// runs, and each becomes a global object whose methods call the item's
// IDispatch.
#pragma once

#include "platform/script/script_engine.h"

#include <QString>

#include <mutex>
#include <vector>

class QJSEngine;
class QJSValue;

namespace platform::jscript {

class DispatchBridge;

// {F414C260-6AC0-11CF-B6D1-00AA00BBBB58}
constexpr com::CLSID CLSID_JScript = {
    0xF414C260, 0x6AC0, 0x11CF, {0xB6, 0xD1, 0x00, 0xAA, 0x00, 0xBB, 0xBB, 0x58}};

class JScriptEngine : public script::ScriptEngine {
public:
    JScriptEngine();
    ~JScriptEngine();

private:
    com::HRESULT CreateRuntime() override;
    void DestroyRuntime() override;
    bool HasRuntime() const override { return engine_ != nullptr; }
    void BindNamedItem(const NamedItem& item) override;
    // Also stops the QJSEngine, which checks its flag as it runs.
    void RequestInterrupt() override;
    com::HRESULT RunScript(std::u16string_view text, com::DWORD sourceContext,
                           com::ULONG startingLine, com::DWORD flags, com::VARIANT* result,
                           com::EXCEPINFO* excepInfo) override;

    static script::ScriptErrorData ErrorFromException(const QJSValue& error,
                                                      const QStringList& trace, const QString& code,
                                                      com::ULONG startingLine);

    // Guards engine_ against Close while another thread interrupts.
    std::mutex engineMutex_;
    QJSEngine* engine_ = nullptr;
    // One per bound item; each holds the item's dispatch reference.
    std::vector<DispatchBridge*> bridges_;
};

} // namespace platform::jscript
