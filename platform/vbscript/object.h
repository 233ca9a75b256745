// The object side of values: what the evaluator asks of anything a script
// holds by reference (classes of the script, the Dictionary, the Err object,
// automation objects of the host), and an argument as a callee sees it.
#pragma once

#include "platform/vbscript/value.h"

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace platform::vbscript {

class Interpreter;

// One argument of a call: a value, or the caller's variable when the
// argument was one (so a ByRef parameter can change it).
struct Arg {
    Value value;
    Value* ref = nullptr;
    bool missing = false; // left out, as in "F a, , b"
    const Value& get() const { return ref ? *ref : value; }
};

class Object : public Counted {
public:
    // As TypeName reports it.
    virtual std::u16string TypeName() const = 0;
    // Reads the property or calls the method `name` (lower case; empty for
    // the default member) with args. Errors are thrown as ScriptException.
    virtual Value Invoke(Interpreter& in, std::u16string_view name, std::span<Arg> args) = 0;
    // Assigns value to the property `name` (empty: default) with index
    // arguments args; set tells a Set assignment from a Let.
    virtual void Assign(Interpreter& in, std::u16string_view name, std::span<Arg> args,
                        const Value& value, bool set) = 0;
    // The elements For Each walks; false when the object is no collection.
    virtual bool Enumerate(Interpreter&, std::vector<Value>&) { return false; }
};

} // namespace platform::vbscript
