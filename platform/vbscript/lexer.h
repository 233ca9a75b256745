// The lexer: script text to tokens. Case-insensitive words (keywords are
// recognised by the parser from their lower-case form), numbers, strings,
// #date# literals, operators, and the two statement separators: the end of
// a line and ':'. Comments (' and Rem) and line continuations (" _" at the
// end of a line) never reach the parser.
#pragma once

#include "platform/vbscript/value.h"

#include <string>
#include <string_view>
#include <vector>

namespace platform::vbscript {

enum class Tok {
    Word,    // identifier or keyword; text holds the lower-case form
    Number,  // value holds an Integer, Long or Double
    String,  // value holds the text
    Date,    // value holds the Date
    Newline, // end of a line
    Colon,
    Op, // text holds the operator: ( ) , . = <> < > <= >= + - * / \ ^ &
    End,
};

struct Token {
    Tok kind = Tok::End;
    std::u16string text;     // lower-case word, or the operator
    std::u16string original; // a word as written
    Value value;
    int line = 1;
    bool spaceBefore = false; // white space right before the token
};

// The whole text as tokens, ending with Newline and End. A lexical error
// (unterminated string, invalid character) is thrown as a syntax
// ScriptException with its line, the first line being firstLine.
std::vector<Token> Tokenize(std::u16string_view text, int firstLine);

} // namespace platform::vbscript
