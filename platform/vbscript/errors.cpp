#include "platform/vbscript/errors.h"

namespace platform::vbscript {

std::u16string ErrorText(int32_t number) {
    switch (number) {
    case kErrInvalidCall:
        return u"Invalid procedure call or argument";
    case kErrOverflow:
        return u"Overflow";
    case kErrOutOfMemory:
        return u"Out of memory";
    case kErrSubscript:
        return u"Subscript out of range";
    case kErrFixedArray:
        return u"This array is fixed or temporarily locked";
    case kErrDivisionByZero:
        return u"Division by zero";
    case kErrTypeMismatch:
        return u"Type mismatch";
    case kErrOutOfStringSpace:
        return u"Out of string space";
    case kErrOutOfStack:
        return u"Out of stack space";
    case kErrNotDefined:
        return u"Sub or Function not defined";
    case kErrInternal:
        return u"Internal error";
    case kErrObjectNotSet:
        return u"Object variable not set";
    case kErrInvalidNull:
        return u"Invalid use of Null";
    case kErrObjectRequired:
        return u"Object required";
    case kErrCannotCreate:
        return u"ActiveX component can't create object";
    case kErrNoSuchMember:
        return u"Object doesn't support this property or method";
    case kErrArgumentCount:
        return u"Wrong number of arguments or invalid property assignment";
    case kErrNotCollection:
        return u"Object not a collection";
    case kErrKeyExists:
        return u"This key is already associated with an element of this collection";
    case kErrUndefined:
        return u"Variable is undefined";
    case kErrIllegalAssignment:
        return u"Illegal assignment";
    case kErrUnqualified:
        return u"Invalid or unqualified reference";
    case kErrClassNotDefined:
        return u"Class not defined";
    case kErrElementNotFound:
        return u"Element not found";
    case kSynSyntax:
        return u"Syntax error";
    case kSynExpectedLParen:
        return u"Expected '('";
    case kSynExpectedRParen:
        return u"Expected ')'";
    case kSynExpectedIdentifier:
        return u"Expected identifier";
    case kSynExpectedEquals:
        return u"Expected '='";
    case kSynExpectedIf:
        return u"Expected 'If'";
    case kSynExpectedTo:
        return u"Expected 'To'";
    case kSynExpectedEnd:
        return u"Expected 'End'";
    case kSynExpectedFunction:
        return u"Expected 'Function'";
    case kSynExpectedSub:
        return u"Expected 'Sub'";
    case kSynExpectedThen:
        return u"Expected 'Then'";
    case kSynExpectedWend:
        return u"Expected 'Wend'";
    case kSynExpectedLoop:
        return u"Expected 'Loop'";
    case kSynExpectedNext:
        return u"Expected 'Next'";
    case kSynExpectedCase:
        return u"Expected 'Case'";
    case kSynExpectedSelect:
        return u"Expected 'Select'";
    case kSynExpectedExpression:
        return u"Expected expression";
    case kSynExpectedStatement:
        return u"Expected statement";
    case kSynExpectedEndOfStatement:
        return u"Expected end of statement";
    case kSynExpectedInteger:
        return u"Expected integer constant";
    case kSynExpectedWhileUntil:
        return u"Expected 'While' or 'Until'";
    case kSynInvalidCharacter:
        return u"Invalid character";
    case kSynUnterminatedString:
        return u"Unterminated string constant";
    case kSynInvalidExit:
        return u"Invalid 'exit' statement";
    case kSynNameRedefined:
        return u"Name redefined";
    case kSynMustBeFirst:
        return u"Must be first statement on the line";
    case kSynExpectedLiteral:
        return u"Expected literal constant";
    case kSynExpectedIn:
        return u"Expected 'In'";
    case kSynExpectedClass:
        return u"Expected 'Class'";
    case kSynInsideClass:
        return u"Must be defined inside a Class";
    case kSynExpectedLetSetGet:
        return u"Expected Let or Set or Get in property declaration";
    case kSynExpectedProperty:
        return u"Expected 'Property'";
    case kSynExpectedWith:
        return u"Expected 'With'";
    default:
        return {};
    }
}

void Throw(int32_t number) {
    ScriptException e;
    e.number = number;
    e.description = ErrorText(number);
    throw e;
}

void Throw(int32_t number, const std::u16string& name) {
    ScriptException e;
    e.number = number;
    e.description = ErrorText(number) + u": '" + name + u"'";
    throw e;
}

} // namespace platform::vbscript
