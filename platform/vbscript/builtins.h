// The built-in functions (string, conversion, math, date, array, type and
// evaluation functions, CreateObject) and the vb... constants, found by
// their lower-case names.
#pragma once

#include "platform/vbscript/object.h"

#include <span>
#include <string>
#include <unordered_map>

namespace platform::vbscript {

struct BuiltinFunction {
    int minArgs;
    int maxArgs;
    // args holds between minArgs and maxArgs arguments (checked by the
    // caller); a left-out optional one is marked missing.
    Value (*call)(Interpreter& in, std::span<Arg> args);
};

const BuiltinFunction* FindBuiltin(const std::u16string& name);
// The vb... constants by name. Each interpreter keeps its own copy: values
// are reference-counted without locks and engines run on many threads.
std::unordered_map<std::u16string, Value> BuiltinConstants();

} // namespace platform::vbscript
