#include "calculator/calculator_engine.h"

#include "mpa/calculator_ops.h"
#include "mpa/mpa.h"
#include "text/hex_text.h"

#include <algorithm>
#include <cstdint>
#include <new>
#include <utility>
#include <vector>

namespace calculator {

namespace {

using Bytes = std::vector<uint8_t>;

using ids::kMsgBadFirst;
using ids::kMsgBadSecond;
using ids::kMsgBadThird;
using ids::kMsgBadUnaryValue;
using ids::kMsgInternal;
using ids::kMsgJacobiModulus;
using ids::kMsgJacobiOrder;
using ids::kMsgNoFirst;
using ids::kMsgNoSecond;
using ids::kMsgNoUnaryValue;
using text::kMsgInvalidInput; // 2001
using text::kMsgOutOfMemory;  // 2006

EngineResult Done(std::string list) {
    return {EngineResult::Done, std::move(list), 0};
}
EngineResult Failed(int message) {
    return {EngineResult::Failed, {}, message};
}
EngineResult Kept(int message) {
    return {EngineResult::Kept, {}, message};
}

enum class Read { Empty, Invalid, Value };

// The operand's bytes. The list is the authority: a positive count with a list
// that is not a hex byte list (no tokens, a token of more than two digits or
// another character) is invalid rather than read as something else.
Read ReadOperand(const Operand& a, Bytes& out) {
    if (a.count == 0)
        return Read::Empty;
    if (a.count < 0)
        return Read::Invalid;
    const int32_t tokens = text::CountHexTokens(a.list, true);
    if (tokens <= 0)
        return Read::Invalid;
    out.assign(static_cast<size_t>(tokens), 0);
    if (text::ParseHexBytes(a.list, out.data(), tokens) != tokens)
        return Read::Invalid;
    return Read::Value;
}

int32_t Len(const Bytes& b) {
    return static_cast<int32_t>(b.size());
}

// A buffer size the library can be told; beyond int32_t the operation cannot
// be done, which is what a failed allocation means to the user.
int32_t Capacity(int64_t bytes) {
    if (bytes > INT32_MAX)
        throw std::bad_alloc();
    return static_cast<int32_t>(std::max<int64_t>(bytes, 1));
}

// Upper-case hex byte list of the first n bytes; a length-0 result is zero.
std::string List(const uint8_t* bytes, int32_t n, bool upperCase = true) {
    if (n <= 0)
        return "00 ";
    std::string list;
    text::FormatHexBytes(bytes, n, list);
    return text::ApplyLetterCase(list, upperCase);
}
std::string List(const Bytes& b, int32_t n, bool upperCase = true) {
    return List(b.data(), n, upperCase);
}

// Sum at the width of the longer operand, 01 in front when it carries out.
// Returns false when the library refuses.
bool AddWithCarry(const Bytes& a, const Bytes& b, Bytes& sum) {
    const int32_t w = std::max(Len(a), Len(b));
    sum.assign(static_cast<size_t>(w) + 1, 0);
    int32_t carry = 0;
    if (MPA_Add(a.data(), Len(a), b.data(), Len(b), sum.data() + 1, w, &carry) != w)
        return false;
    if (carry)
        sum[0] = 1;
    else
        sum.erase(sum.begin());
    return true;
}

bool ValueIs(const Bytes& a, uint8_t v) {
    const uint8_t one[] = {v};
    return MPA_Compare(a.data(), Len(a), one, 1) == 0;
}

// x - y; when x < y the two's complement of y - x at the width of y - x
// without leading zeros: NOT (y - x) plus 1, the carry dropped. The carry
// cannot occur since y - x is not zero.
EngineResult Subtract(const Bytes& x, const Bytes& y) {
    const int32_t w = Capacity(std::max<int64_t>(Len(x), Len(y)));
    Bytes out(static_cast<size_t>(w));
    if (MPA_Compare(x.data(), Len(x), y.data(), Len(y)) >= 0) {
        const int32_t n = MPA_Subtract(x.data(), Len(x), y.data(), Len(y), out.data(), w);
        return n < 0 ? Failed(kMsgInternal) : Done(List(out, n));
    }
    const int32_t d = MPA_Subtract(y.data(), Len(y), x.data(), Len(x), out.data(), w);
    if (d <= 0)
        return Failed(kMsgInternal);
    Bytes complement(static_cast<size_t>(d));
    if (MPA_BitNot(out.data(), d, complement.data(), d) != d)
        return Failed(kMsgInternal);
    const uint8_t one[] = {1};
    int32_t carry = 0;
    if (MPA_Add(complement.data(), d, one, 1, out.data(), d, &carry) != d)
        return Failed(kMsgInternal);
    return Done(List(out, d));
}

EngineResult Divide(const Bytes& x, const Bytes& y, bool remainder) {
    Bytes q(x.size()), r(y.size());
    int32_t qSize = Len(q), rSize = Len(r);
    if (MPA_Divide(x.data(), Len(x), y.data(), Len(y), q.data(), &qSize, r.data(), &rSize) != 1)
        return Failed(kMsgInternal);
    return remainder ? Done(List(r, rSize)) : Done(List(q, qSize));
}

// The gcd family uses its operand buffers as work space, needing room for the
// longer operand from the first significant byte on: copies of x and y, each
// with room for both.
struct WorkPair {
    Bytes a, b;
    WorkPair(const Bytes& x, const Bytes& y) {
        const int32_t room = Capacity(static_cast<int64_t>(Len(x)) + Len(y));
        a.assign(static_cast<size_t>(room), 0);
        b.assign(static_cast<size_t>(room), 0);
        std::copy(x.begin(), x.end(), a.begin());
        std::copy(y.begin(), y.end(), b.begin());
    }
};

EngineResult Jacobi(const Bytes& x, const Bytes& y) {
    const uint8_t three[] = {3};
    if ((y.back() & 1) == 0 || MPA_Compare(y.data(), Len(y), three, 1) < 0)
        return Failed(kMsgJacobiModulus);
    if (MPA_Compare(x.data(), Len(x), y.data(), Len(y)) >= 0)
        return Failed(kMsgJacobiOrder);
    int32_t symbol = 0;
    if (MPA_Jacobi(x.data(), Len(x), y.data(), Len(y), &symbol) != 1)
        return Failed(kMsgInternal);
    const uint32_t u = static_cast<uint32_t>(symbol);
    const uint8_t be[4] = {static_cast<uint8_t>(u >> 24), static_cast<uint8_t>(u >> 16),
                           static_cast<uint8_t>(u >> 8), static_cast<uint8_t>(u)};
    int first = 0;
    while (first < 3 && be[first] == 0)
        ++first;
    return Done(List(be + first, 4 - first));
}

EngineResult Binary(int operation, const Operand& xs, const Operand& ys, const Operand& zs) {
    Bytes x, y;
    switch (ReadOperand(xs, x)) {
    case Read::Empty:
        return Kept(kMsgNoFirst);
    case Read::Invalid:
        return Kept(kMsgBadFirst);
    case Read::Value:
        break;
    }
    if (operation != kOpSquare && operation != kOpSqrt) {
        switch (ReadOperand(ys, y)) {
        case Read::Empty:
            return Kept(kMsgNoSecond);
        case Read::Invalid:
            return Kept(kMsgBadSecond);
        case Read::Value:
            break;
        }
    }
    const int32_t w = std::max(Len(x), Len(y));
    Bytes out;
    int32_t n = -1;
    switch (operation) {
    case kOpAdd: {
        if (!AddWithCarry(x, y, out))
            return Failed(kMsgInternal);
        return Done(List(out, Len(out)));
    }
    case kOpSubtract:
        return Subtract(x, y);
    case kOpMultiply:
    case kOpSquare: {
        const Bytes& b = operation == kOpSquare ? x : y;
        out.resize(static_cast<size_t>(Capacity(2 * static_cast<int64_t>(std::max(w, Len(b))))));
        n = MPA_Multiply(x.data(), Len(x), b.data(), Len(b), out.data(), Len(out));
        break;
    }
    case kOpDivide:
    case kOpMod:
        return Divide(x, y, operation == kOpMod);
    case kOpAnd:
    case kOpOr:
    case kOpXor: {
        auto f = operation == kOpAnd ? MPA_BitAnd : operation == kOpOr ? MPA_BitOr : MPA_BitXor;
        out.resize(static_cast<size_t>(w));
        n = f(x.data(), Len(x), y.data(), Len(y), out.data(), w);
        break;
    }
    case kOpSqrt:
        out.resize(x.size());
        n = mpa::SquareRoot(x.data(), Len(x), out.data(), Len(x));
        break;
    case kOpGcd: {
        WorkPair work(x, y);
        out.resize(static_cast<size_t>(w));
        n = MPA_Gcd(work.a.data(), Len(x), work.b.data(), Len(y), out.data(), w);
        break;
    }
    case kOpModInverse: {
        // The library's coefficient must fit max(x, y) significant bytes, so
        // an output of only y's length would turn a long x's inverse into
        // "none"; the inverse itself is below y.
        WorkPair work(x, y);
        out.resize(static_cast<size_t>(w));
        n = MPA_ModInverse(work.a.data(), Len(x), work.b.data(), Len(y), out.data(), w);
        break;
    }
    case kOpPMod: {
        Bytes z;
        if (ReadOperand(zs, z) != Read::Value)
            return Failed(kMsgBadThird);
        out.resize(z.size());
        n = MPA_ModPow(x.data(), Len(x), y.data(), Len(y), z.data(), Len(z), out.data(), Len(z));
        // The library answers 01 for a zero exponent whatever the modulus;
        // modulo 1 every power is 0.
        if (n > 0 && ValueIs(z, 1))
            return Done("00 ");
        break;
    }
    case kOpJacobi:
        return Jacobi(x, y);
    default:
        return {};
    }
    if (n < 0)
        return Failed(kMsgInternal);
    return Done(List(out, n));
}

EngineResult Unary(int operation, const Operand& operand, int step) {
    Bytes a;
    switch (ReadOperand(operand, a)) {
    case Read::Empty:
        return Kept(kMsgNoUnaryValue);
    case Read::Invalid:
        return Kept(kMsgBadUnaryValue);
    case Read::Value:
        break;
    }
    const int32_t width = Len(a);
    Bytes out(a.size());
    int32_t n = -1;
    switch (operation) {
    case kOpIncrement:
        if (!AddWithCarry(a, Bytes{1}, out))
            return Kept(kMsgInternal);
        n = Len(out);
        break;
    case kOpDecrement: {
        if (width == 1 && a[0] <= 1)
            return Done("00 ");
        const uint8_t one[] = {1};
        n = MPA_Subtract(a.data(), width, one, 1, out.data(), width);
        if (n < 0) // zero written with several bytes: shown again as it is
            return Done(List(a, width));
        break;
    }
    case kOpNot:
        n = MPA_BitNot(a.data(), width, out.data(), width);
        break;
    case kOpLsh:
    case kOpRsh: {
        const int32_t bits = std::clamp(step, kMinStep, kMaxStep);
        n = (operation == kOpLsh ? MPA_BitLshift : MPA_BitRshift)(a.data(), width, bits, out.data(),
                                                                  width);
        break;
    }
    default:
        return {};
    }
    if (n < 0)
        return Kept(kMsgInternal);
    return Done(List(out, n));
}

// The step text's judgement: the value, or kMinStep - 1 for "no number or 0
// or less", kMaxStep + 1 for "above the range".
int JudgeStep(std::string_view text) {
    auto isSpace = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!text.empty() && isSpace(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isSpace(text.back()))
        text.remove_suffix(1);
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.empty() ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return kMinStep - 1;
    // Judged on the digits, so that no digit string can overflow.
    while (text.size() > 1 && text.front() == '0')
        text.remove_prefix(1);
    if (negative || text == "0")
        return kMinStep - 1;
    if (text.size() > 5)
        return kMaxStep + 1;
    int value = 0;
    for (char c : text)
        value = value * 10 + (c - '0');
    return value > kMaxStep ? kMaxStep + 1 : value;
}

} // namespace

EngineResult RunBinaryOperation(int operation, const Operand& x, const Operand& y,
                                const Operand& z) {
    try {
        return Binary(operation, x, y, z);
    } catch (const std::bad_alloc&) {
        return Kept(kMsgOutOfMemory);
    }
}

EngineResult RunUnaryOperation(int operation, const Operand& a, int step) {
    try {
        return Unary(operation, a, step);
    } catch (const std::bad_alloc&) {
        return Kept(kMsgOutOfMemory);
    }
}

std::optional<std::string> ClampStepText(std::string_view text) {
    const int v = JudgeStep(text);
    if (v < kMinStep)
        return std::string("1");
    if (v > kMaxStep)
        return std::string("10000");
    return std::nullopt;
}

int StepValue(std::string_view text) {
    return std::clamp(JudgeStep(text), kMinStep, kMaxStep);
}

namespace {

// Runs a memory operation on the operand's bytes: invalid text is Kept 2001,
// an empty operand gives onEmpty, a shortage of memory Kept 2006.
template <class Apply>
EngineResult WithMemoryOperand(const Operand& a, EngineResult onEmpty, Apply apply) {
    try {
        Bytes v;
        switch (ReadOperand(a, v)) {
        case Read::Empty:
            return onEmpty;
        case Read::Invalid:
            return Kept(kMsgInvalidInput);
        case Read::Value:
            break;
        }
        return apply(v);
    } catch (const std::bad_alloc&) {
        return Kept(kMsgOutOfMemory);
    }
}

} // namespace

EngineResult CalculatorMemory::Store(const Operand& a, bool upperCase) {
    if (a.count == 0)
        list_.clear();
    return WithMemoryOperand(a, Done({}), [&](const Bytes& v) {
        list_ = List(v, Len(v), upperCase);
        return Done(list_);
    });
}

EngineResult CalculatorMemory::Add(const Operand& a, bool upperCase) {
    return WithMemoryOperand(a, {}, [&](Bytes& v) {
        Bytes memory, sum;
        if (ReadOperand({1, list_}, memory) != Read::Value) {
            sum = std::move(v);
        } else if (!AddWithCarry(v, memory, sum)) {
            return Kept(kMsgInternal);
        }
        list_ = List(sum, Len(sum), upperCase);
        return Done(list_);
    });
}

EngineResult CalculatorMemory::Subtract(const Operand& a, bool upperCase) {
    return WithMemoryOperand(a, {}, [&](const Bytes& v) {
        Bytes memory;
        if (ReadOperand({1, list_}, memory) != Read::Value)
            memory = Bytes{0};
        Bytes out(std::max(memory.size(), v.size()));
        // Negative (-1) or zero (0) differences both leave 00.
        const int32_t n =
            MPA_Subtract(memory.data(), Len(memory), v.data(), Len(v), out.data(), Len(out));
        list_ = n > 0 ? List(out, n, upperCase) : std::string("00 ");
        return Done(list_);
    });
}

} // namespace calculator
