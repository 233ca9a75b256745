// The calculator's operations on operands read from the boxes, without the
// window: binary operations into r, unary operations on the active operand,
// the memory register and the unary step's clamping. Operands and results are
// hex byte lists; the window shows them in each box's system and case.
#pragma once

#include "resources/ids.h"

#include <optional>
#include <string>
#include <string_view>

namespace calculator {

// Operations by the id of their button.
using ids::OperationId;
using enum ids::OperationId;

// The unary step's range.
inline constexpr int kMinStep = 1;
inline constexpr int kMaxStep = 10000;

// An operand as a box reads it (CHexEditBox::GetHexText): its byte count
// (0: empty box, -1: invalid text) and its hex byte list.
struct Operand {
    int count = 0;
    std::string list;
};

struct EngineResult {
    enum Outcome {
        Done,    // list is the result (upper-case hex byte list; for the
                 // memory operations the new memory text, in the asked case)
        Failed,  // show message; r and the current-operation label are cleared
        Kept,    // show message; nothing changes
        Nothing, // nothing happens, nothing is shown
    };
    Outcome outcome = Nothing;
    std::string list;
    int message = 0; // string id for Failed and Kept
};

// A binary operation (kOpAnd .. kOpJacobi, x^2 and Sqrt included). Missing
// or invalid operands are Kept with 2077 to 2080; PMod with a bad z, Jn
// preconditions and failed library calls are Failed (2083, 2084, 2085, 2081).
EngineResult RunBinaryOperation(int operation, const Operand& x, const Operand& y,
                                const Operand& z);

// A unary operation (kOpIncrement .. kOpNot) on the active operand; step is
// the shift count of Lsh and Rsh. Empty: Kept 2090; invalid: Kept 2091.
// A step outside 1..10000 is taken as the nearer end, as the step box would.
// Ids that are not operations give Nothing, here and above. Exhausted memory
// gives Kept 2006 in every operation of this header.
EngineResult RunUnaryOperation(int operation, const Operand& a, int step);

// The unary step box's text after a change: the replacement when the value is
// out of 1..10000 or not a number ("1" or "10000"), nothing when it stands.
// The text is judged after trimming separators: an optional + or - sign, then
// ASCII digits only ("12a", "1 2", "+", "" are no number). Any negative value
// or zero gives "1"; any value above 10000, however many digits, gives
// "10000"; " 5", "+5" and "007" stand.
std::optional<std::string> ClampStepText(std::string_view text);

// The step that the box's text stands for, by the same judgement: 1..10000.
int StepValue(std::string_view text);

// The memory register: a hex byte list in the letter case of the setting,
// empty when clear.
class CalculatorMemory {
public:
    bool empty() const { return list_.empty(); }
    const std::string& text() const { return list_; }
    void Clear() { list_.clear(); }
    // MS: invalid text is Kept 2001; an empty operand clears the memory.
    EngineResult Store(const Operand& a, bool upperCase);
    // M+ and M-: invalid text is Kept 2001; an empty operand does nothing.
    EngineResult Add(const Operand& a, bool upperCase);
    EngineResult Subtract(const Operand& a, bool upperCase);

private:
    std::string list_;
};

} // namespace calculator
