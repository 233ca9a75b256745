#include "platform/vbscript/operators.h"

#include "platform/vbscript/errors.h"
#include "platform/vbscript/object.h"

#include <cmath>

namespace platform::vbscript {

namespace {

enum Rank { kEmpty = 0, kByte = 1, kInteger = 2, kLong = 3, kCurrency = 4, kDouble = 5, kDate = 6 };

// The rank of an operand in arithmetic; strings are read as Doubles.
int RankOf(const Value& v) {
    switch (v.type()) {
    case VT::Empty:
        return kEmpty;
    case VT::Boolean:
    case VT::Integer:
        return kInteger;
    case VT::Byte:
        return kByte;
    case VT::Long:
        return kLong;
    case VT::Currency:
        return kCurrency;
    case VT::Double:
    case VT::String:
        return kDouble;
    case VT::Date:
        return kDate;
    case VT::Null:
        Throw(kErrInvalidNull);
    default:
        Throw(kErrTypeMismatch);
    }
}

int64_t IntegerOf(const Value& v) {
    switch (v.type()) {
    case VT::Empty:
        return 0;
    case VT::Boolean:
        return v.boolean() ? -1 : 0;
    case VT::Byte:
        return v.byte();
    case VT::Integer:
        return v.integer();
    case VT::Long:
        return v.lng();
    default:
        return ToLong(v);
    }
}

int64_t CurrencyOf(const Value& v) {
    if (v.type() == VT::Currency)
        return v.currency();
    double d = ToDouble(v) * 10000.0;
    if (!(std::fabs(d) < 9.2e18))
        Throw(kErrOverflow);
    return static_cast<int64_t>(RoundHalfEven(d));
}

Value CheckedDouble(double d) {
    if (!std::isfinite(d))
        Throw(kErrOverflow);
    return Value::Double(d);
}

Value CheckedCurrency(long double scaled) {
    if (!(std::fabs(scaled) < 9.2e18L))
        Throw(kErrOverflow);
    return Value::Currency(static_cast<int64_t>(std::nearbyint(scaled)));
}

} // namespace

Value FitInteger(int64_t n, int rank) {
    if (rank <= kByte && n >= 0 && n <= 255)
        return Value::Byte(static_cast<uint8_t>(n));
    if (rank <= kInteger && n >= -32768 && n <= 32767)
        return Value::Integer(static_cast<int16_t>(n));
    if (rank <= kLong && n >= INT32_MIN && n <= INT32_MAX)
        return Value::Long(static_cast<int32_t>(n));
    return Value::Double(static_cast<double>(n));
}

Value Arithmetic(Op op, const Value& a0, const Value& b0) {
    const Value& a = a0.IsObject() ? Dereference(a0) : a0;
    const Value& b = b0.IsObject() ? Dereference(b0) : b0;
    if (a.IsNull() || b.IsNull()) {
        if (a.IsArray() || b.IsArray())
            Throw(kErrTypeMismatch);
        return Value::Null();
    }
    if (op == Op::Add && a.IsString() && b.IsString()) {
        CheckLength(a.str().size() + b.str().size());
        return Value::String(a.str() + b.str());
    }
    switch (op) {
    case Op::Pow: {
        double x = ToDouble(a), y = ToDouble(b);
        if (x == 0 && y < 0)
            Throw(kErrDivisionByZero);
        double r = std::pow(x, y);
        if (std::isnan(r))
            Throw(kErrInvalidCall);
        return CheckedDouble(r);
    }
    case Op::Div: {
        double x = ToDouble(a), y = ToDouble(b);
        if (y == 0)
            Throw(x == 0 ? kErrOverflow : kErrDivisionByZero);
        return CheckedDouble(x / y);
    }
    case Op::IntDiv:
    case Op::Mod: {
        int ra = RankOf(a), rb = RankOf(b);
        int rank = std::max(std::max(ra > kLong ? kLong : ra, rb > kLong ? kLong : rb),
                            static_cast<int>(kInteger));
        if (ra == kByte && rb == kByte)
            rank = kByte;
        int64_t x = IntegerOf(a), y = IntegerOf(b);
        if (y == 0)
            Throw(kErrDivisionByZero);
        return FitInteger(op == Op::IntDiv ? x / y : x % y, rank);
    }
    default:
        break;
    }
    int ra = RankOf(a), rb = RankOf(b);
    int rank = std::max(ra, rb);
    if (rank == kEmpty)
        rank = kInteger;
    if (rank <= kLong) {
        int64_t x = IntegerOf(a), y = IntegerOf(b);
        switch (op) {
        case Op::Add:
            return FitInteger(x + y, rank);
        case Op::Sub:
            return FitInteger(x - y, rank);
        default:
            return FitInteger(x * y, rank);
        }
    }
    if (rank == kCurrency) {
        long double x = CurrencyOf(a), y = CurrencyOf(b);
        switch (op) {
        case Op::Add:
            return CheckedCurrency(x + y);
        case Op::Sub:
            return CheckedCurrency(x - y);
        default:
            return CheckedCurrency(x * y / 10000.0L);
        }
    }
    double x = ToDouble(a), y = ToDouble(b);
    if (rank == kDate) {
        if (op == Op::Add)
            return Value::Date(CheckedDouble(x + y).dbl());
        if (op == Op::Sub)
            return (ra == kDate && rb == kDate) ? CheckedDouble(x - y)
                                                : Value::Date(CheckedDouble(x - y).dbl());
    }
    switch (op) {
    case Op::Add:
        return CheckedDouble(x + y);
    case Op::Sub:
        return CheckedDouble(x - y);
    default:
        return CheckedDouble(x * y);
    }
}

Value Concatenate(const Value& a0, const Value& b0) {
    const Value& a = a0.IsObject() ? Dereference(a0) : a0;
    const Value& b = b0.IsObject() ? Dereference(b0) : b0;
    if (a.IsNull() && b.IsNull())
        return Value::Null();
    std::u16string s = a.IsNull() ? std::u16string() : ToString(a);
    if (!b.IsNull()) {
        if (b.IsString())
            CheckLength(s.size() + b.str().size());
        if (b.IsString())
            s += b.str();
        else
            s += ToString(b);
    }
    return Value::String(std::move(s));
}

int CompareValues(const Value& a0, const Value& b0, bool text, bool aNumber, bool bNumber) {
    const Value& a = a0.IsObject() ? Dereference(a0) : a0;
    const Value& b = b0.IsObject() ? Dereference(b0) : b0;
    if (a.IsArray() || b.IsArray())
        Throw(kErrTypeMismatch);
    auto cmp = [](auto x, auto y) { return x < y ? -1 : x > y ? 1 : 0; };
    bool as = a.IsString(), bs = b.IsString();
    if (as && bs) {
        if (text)
            return cmp(Lower(a.str()), Lower(b.str()));
        return cmp(a.str(), b.str());
    }
    if (a.IsEmpty() && b.IsEmpty())
        return 0;
    if (as || bs) {
        const Value& s = as ? a : b;
        const Value& n = as ? b : a;
        if (n.IsEmpty()) {
            int r = s.str().empty() ? 0 : 1;
            return as ? r : -r;
        }
        // Against a numeric literal a string that reads as a number is one.
        double d = 0;
        if (((as && bNumber) || (bs && aNumber)) && ParseNumber(s.str(), &d))
            return as ? cmp(d, ToDouble(n)) : cmp(ToDouble(n), d);
        return as ? 1 : -1; // every number ranks below every string
    }
    if (a.type() == VT::Currency && b.type() == VT::Currency)
        return cmp(a.currency(), b.currency());
    return cmp(ToDouble(a), ToDouble(b));
}

Value Comparison(Op op, const Value& a, const Value& b, bool aNumber, bool bNumber) {
    if (a.IsNull() || b.IsNull())
        return Value::Null();
    int c = CompareValues(a, b, false, aNumber, bNumber);
    bool r = false;
    switch (op) {
    case Op::Eq:
        r = c == 0;
        break;
    case Op::Ne:
        r = c != 0;
        break;
    case Op::Lt:
        r = c < 0;
        break;
    case Op::Gt:
        r = c > 0;
        break;
    case Op::Le:
        r = c <= 0;
        break;
    default:
        r = c >= 0;
        break;
    }
    return Value::Boolean(r);
}

namespace {

int LogicRank(const Value& v) {
    switch (v.type()) {
    case VT::Byte:
        return kByte;
    case VT::Empty:
    case VT::Boolean:
    case VT::Integer:
        return kInteger;
    default:
        return kLong;
    }
}

int64_t Apply(Op op, int64_t x, int64_t y) {
    switch (op) {
    case Op::And:
        return x & y;
    case Op::Or:
        return x | y;
    case Op::Xor:
        return x ^ y;
    case Op::Eqv:
        return ~(x ^ y);
    default:
        return ~x | y;
    }
}

} // namespace

Value Logical(Op op, const Value& a0, const Value& b0) {
    const Value& a = a0.IsObject() ? Dereference(a0) : a0;
    const Value& b = b0.IsObject() ? Dereference(b0) : b0;
    if (a.IsNull() || b.IsNull()) {
        if (a.IsNull() && b.IsNull())
            return Value::Null();
        const Value& other = a.IsNull() ? b : a;
        int64_t v = IntegerOf(other);
        if (op == Op::And && v == 0)
            return other.type() == VT::Boolean ? Value::Boolean(false)
                                               : FitInteger(0, LogicRank(other));
        if (op == Op::Or && v == -1)
            return other;
        if (op == Op::Imp && ((b.IsNull() && v == 0) || (a.IsNull() && v == -1)))
            return other.type() == VT::Boolean ? Value::Boolean(true) : FitInteger(-1, kInteger);
        return Value::Null();
    }
    if (a.type() == VT::Boolean && b.type() == VT::Boolean)
        return Value::Boolean(Apply(op, a.boolean() ? -1 : 0, b.boolean() ? -1 : 0) != 0);
    int rank = std::max(LogicRank(a), LogicRank(b));
    int64_t r = Apply(op, IntegerOf(a), IntegerOf(b));
    if (rank == kByte)
        return Value::Byte(static_cast<uint8_t>(r));
    if (rank == kInteger)
        return Value::Integer(static_cast<int16_t>(r));
    return Value::Long(static_cast<int32_t>(r));
}

Value Negate(const Value& a0) {
    const Value& a = a0.IsObject() ? Dereference(a0) : a0;
    switch (a.type()) {
    case VT::Null:
        return Value::Null();
    case VT::Empty:
        return Value::Integer(0);
    case VT::Boolean:
    case VT::Byte:
    case VT::Integer:
        return FitInteger(-IntegerOf(a), kInteger);
    case VT::Long:
        return FitInteger(-IntegerOf(a), kLong);
    case VT::Currency:
        return CheckedCurrency(-static_cast<long double>(a.currency()));
    case VT::Date:
        return Value::Date(-a.dbl());
    default:
        return Value::Double(-ToDouble(a));
    }
}

Value LogicalNot(const Value& a0) {
    const Value& a = a0.IsObject() ? Dereference(a0) : a0;
    switch (a.type()) {
    case VT::Null:
        return Value::Null();
    case VT::Boolean:
        return Value::Boolean(!a.boolean());
    case VT::Byte:
        return Value::Byte(static_cast<uint8_t>(~a.byte()));
    case VT::Empty:
        return Value::Integer(-1);
    case VT::Integer:
        return Value::Integer(static_cast<int16_t>(~a.integer()));
    default:
        return Value::Long(~ToLong(a));
    }
}

bool SameObject(const Value& a, const Value& b) {
    if (!a.IsObject() || !b.IsObject())
        Throw(kErrObjectRequired);
    return a.object() == b.object();
}

bool Condition(const Value& v) {
    if (v.IsNull())
        return false;
    return ToBoolean(v);
}

} // namespace platform::vbscript
