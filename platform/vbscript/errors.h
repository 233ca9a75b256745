// The errors of the language: the numbers and texts a script author sees in
// Err and in the host's error block, and the exception that carries one out
// of the evaluator.
#pragma once

#include <cstdint>
#include <string>

namespace platform::vbscript {

// Run-time error numbers.
enum ErrorNumber : int32_t {
    kErrInvalidCall = 5,
    kErrOverflow = 6,
    kErrOutOfMemory = 7,
    kErrSubscript = 9,
    kErrFixedArray = 10,
    kErrDivisionByZero = 11,
    kErrTypeMismatch = 13,
    kErrOutOfStringSpace = 14,
    kErrOutOfStack = 28,
    kErrNotDefined = 35,
    kErrInternal = 51,
    kErrObjectNotSet = 91,
    kErrInvalidNull = 94,
    kErrObjectRequired = 424,
    kErrCannotCreate = 429,
    kErrNoSuchMember = 438,
    kErrArgumentCount = 450,
    kErrNotCollection = 451,
    kErrKeyExists = 457,
    kErrUndefined = 500,
    kErrIllegalAssignment = 501,
    kErrUnqualified = 505,
    kErrClassNotDefined = 506,
    kErrElementNotFound = 32811,
};

// Compilation error numbers.
enum SyntaxNumber : int32_t {
    kSynSyntax = 1002,
    kSynExpectedLParen = 1005,
    kSynExpectedRParen = 1006,
    kSynExpectedIdentifier = 1010,
    kSynExpectedEquals = 1011,
    kSynExpectedIf = 1012,
    kSynExpectedTo = 1013,
    kSynExpectedEnd = 1014,
    kSynExpectedFunction = 1015,
    kSynExpectedSub = 1016,
    kSynExpectedThen = 1017,
    kSynExpectedWend = 1018,
    kSynExpectedLoop = 1019,
    kSynExpectedNext = 1020,
    kSynExpectedCase = 1021,
    kSynExpectedSelect = 1022,
    kSynExpectedExpression = 1023,
    kSynExpectedStatement = 1024,
    kSynExpectedEndOfStatement = 1025,
    kSynExpectedInteger = 1026,
    kSynExpectedWhileUntil = 1027,
    kSynInvalidCharacter = 1032,
    kSynUnterminatedString = 1033,
    kSynInvalidExit = 1039,
    kSynNameRedefined = 1041,
    kSynMustBeFirst = 1042,
    kSynExpectedLiteral = 1045,
    kSynExpectedIn = 1046,
    kSynExpectedClass = 1047,
    kSynInsideClass = 1048,
    kSynExpectedLetSetGet = 1049,
    kSynExpectedProperty = 1050,
    kSynExpectedWith = 1051,
};

// The standard text of a run-time or compilation error number; "" when the
// number has none (a user error raised without a description).
std::u16string ErrorText(int32_t number);

// An error leaving the statement that caused it. line 0: not yet known
// (the innermost statement that sees it fills it in).
struct ScriptException {
    int32_t number = 0;
    std::u16string description;
    std::u16string source; // empty: the engine's own run-time source
    int line = 0;
    bool syntax = false;
};

// The same error with its standard text; with a name, the text gets
// ": 'name'" appended, as for undefined variables.
[[noreturn]] void Throw(int32_t number);
[[noreturn]] void Throw(int32_t number, const std::u16string& name);

// Thrown when the host interrupts the script; no handler stops it.
struct Interrupted {};

} // namespace platform::vbscript
