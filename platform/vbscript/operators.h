// The operators on values, with the language's coercions: arithmetic with
// promotion to the next wider type on overflow (Byte -> Integer -> Long ->
// Double), string concatenation, comparisons, the bitwise-logical operators
// and Is. Null propagates as the language has it.
#pragma once

#include "platform/vbscript/ast.h"
#include "platform/vbscript/value.h"

namespace platform::vbscript {

// ^ * / \ Mod + -
Value Arithmetic(Op op, const Value& a, const Value& b);
// &: Null counts as "" unless both are Null.
Value Concatenate(const Value& a, const Value& b);
// = <> < > <= >=; aNumber/bNumber mark numeric literals, against which a
// string that reads as a number is compared as that number instead of
// ranking above every number.
Value Comparison(Op op, const Value& a, const Value& b, bool aNumber = false, bool bNumber = false);
// And Or Xor Eqv Imp: logical on Booleans, bitwise on numbers.
Value Logical(Op op, const Value& a, const Value& b);
Value Negate(const Value& a);
Value LogicalNot(const Value& a);
// Is: both must be objects (or Nothing).
bool SameObject(const Value& a, const Value& b);
// -1, 0, 1 for two non-Null values, as the comparison operators order them;
// text: strings compared without regard to case.
int CompareValues(const Value& a, const Value& b, bool text = false, bool aNumber = false,
                  bool bNumber = false);
// The truth of a condition: Null and Empty are false.
bool Condition(const Value& v);
// An integer result in the narrowest of the operands' types that holds it
// (rank 1 Byte, 2 Integer, 3 Long), else Double.
Value FitInteger(int64_t n, int rank);

} // namespace platform::vbscript
