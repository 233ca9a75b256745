// The parser: tokens to the syntax tree of ast.h, with the grammar of the
// language in one place (parser.cpp opens with it). Syntax errors are
// thrown as ScriptException (syntax = true) with the line they were found
// on, before anything of the text runs.
#pragma once

#include "platform/vbscript/ast.h"

#include <memory>
#include <string_view>

namespace platform::vbscript {

// A whole script text (or Execute's statements); lines count from firstLine.
std::unique_ptr<Program> ParseProgram(std::u16string_view text, int firstLine);
// One expression, as Eval takes it.
ExprPtr ParseExpression(std::u16string_view text, int firstLine);

} // namespace platform::vbscript
