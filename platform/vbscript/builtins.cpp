#include "platform/vbscript/builtins.h"

#include "platform/com/bstr.h"
#include "platform/com/guid.h"
#include "platform/com/runtime.h"
#include "platform/vbscript/builtin_objects.h"
#include "platform/vbscript/dispatch_object.h"
#include "platform/vbscript/errors.h"
#include "platform/vbscript/interpreter.h"
#include "platform/vbscript/operators.h"

#include <chrono>
#include <cmath>
#include <cstring>
#include <ctime>
#include <unordered_map>

namespace platform::vbscript {

namespace {

using Args = std::span<Arg>;

bool Has(Args a, size_t i) {
    return i < a.size() && !a[i].missing;
}

Value Arg0(Args a, size_t i) {
    const Value& v = a[i].get();
    return v.IsObject() ? Dereference(v) : v;
}

int32_t CompareMode(Args a, size_t i) {
    if (!Has(a, i))
        return 0;
    int32_t mode = ToLong(Arg0(a, i));
    if (mode < 0)
        Throw(kErrInvalidCall);
    return mode == 0 ? 0 : 1;
}

Value Str(std::u16string s) {
    return Value::String(std::move(s));
}

// --- Strings ---

Value Len(Interpreter&, Args a) {
    Value v = Arg0(a, 0);
    if (v.IsNull())
        return Value::Null();
    return Value::Long(static_cast<int32_t>(v.IsString() ? v.str().size() : ToString(v).size()));
}

int32_t Count(const Value& v) {
    int32_t n = ToLong(v);
    if (n < 0)
        Throw(kErrInvalidCall);
    return n;
}

Value Mid(Interpreter&, Args a) {
    Value s = Arg0(a, 0);
    int32_t start = ToLong(Arg0(a, 1));
    if (start < 1)
        Throw(kErrInvalidCall);
    int32_t length = Has(a, 2) ? Count(Arg0(a, 2)) : INT32_MAX;
    if (s.IsNull())
        return Value::Null();
    std::u16string t = ToString(s);
    if (static_cast<size_t>(start) > t.size())
        return Str(u"");
    return Str(t.substr(static_cast<size_t>(start) - 1, static_cast<size_t>(length)));
}

Value Left(Interpreter&, Args a) {
    Value s = Arg0(a, 0);
    int32_t n = Count(Arg0(a, 1));
    if (s.IsNull())
        return Value::Null();
    return Str(ToString(s).substr(0, static_cast<size_t>(n)));
}

Value Right(Interpreter&, Args a) {
    Value s = Arg0(a, 0);
    size_t n = static_cast<size_t>(Count(Arg0(a, 1)));
    if (s.IsNull())
        return Value::Null();
    std::u16string t = ToString(s);
    return Str(n >= t.size() ? t : t.substr(t.size() - n));
}

size_t Find(const std::u16string& hay, const std::u16string& needle, size_t from, bool text) {
    if (!text)
        return hay.find(needle, from);
    return Lower(hay).find(Lower(needle), from);
}

size_t FindLast(const std::u16string& hay, const std::u16string& needle, size_t from, bool text) {
    if (!text)
        return hay.rfind(needle, from);
    return Lower(hay).rfind(Lower(needle), from);
}

Value InStr(Interpreter&, Args a) {
    size_t i = 0;
    int32_t start = 1;
    if (a.size() >= 3) {
        Value s = Arg0(a, 0);
        if (s.IsNull())
            Throw(kErrInvalidNull);
        start = ToLong(s);
        if (start < 1)
            Throw(kErrInvalidCall);
        i = 1;
    }
    Value s1 = Arg0(a, i), s2 = Arg0(a, i + 1);
    bool text = CompareMode(a, i + 2) == 1;
    if (s1.IsNull() || s2.IsNull())
        return Value::Null();
    std::u16string hay = ToString(s1), needle = ToString(s2);
    if (static_cast<size_t>(start) > hay.size())
        return Value::Long(0);
    if (needle.empty())
        return Value::Long(start);
    size_t p = Find(hay, needle, static_cast<size_t>(start) - 1, text);
    return Value::Long(p == std::u16string::npos ? 0 : static_cast<int32_t>(p) + 1);
}

Value InStrRev(Interpreter&, Args a) {
    Value s1 = Arg0(a, 0), s2 = Arg0(a, 1);
    int32_t start = Has(a, 2) ? ToLong(Arg0(a, 2)) : -1;
    bool text = CompareMode(a, 3) == 1;
    if (start == 0 || start < -1)
        Throw(kErrInvalidCall);
    if (s1.IsNull() || s2.IsNull())
        return Value::Null();
    std::u16string hay = ToString(s1), needle = ToString(s2);
    if (start == -1)
        start = static_cast<int32_t>(hay.size());
    if (static_cast<size_t>(start) > hay.size())
        return Value::Long(0);
    if (needle.empty())
        return Value::Long(start);
    if (needle.size() > static_cast<size_t>(start))
        return Value::Long(0);
    size_t p = FindLast(hay, needle, static_cast<size_t>(start) - needle.size(), text);
    return Value::Long(p == std::u16string::npos ? 0 : static_cast<int32_t>(p) + 1);
}

Value Replace(Interpreter&, Args a) {
    Value s = Arg0(a, 0), find = Arg0(a, 1), with = Arg0(a, 2);
    int32_t start = Has(a, 3) ? ToLong(Arg0(a, 3)) : 1;
    int32_t count = Has(a, 4) ? ToLong(Arg0(a, 4)) : -1;
    bool text = CompareMode(a, 5) == 1;
    if (start < 1 || count < -1)
        Throw(kErrInvalidCall);
    if (s.IsNull() || find.IsNull() || with.IsNull())
        return Value::Null();
    std::u16string t = ToString(s), f = ToString(find), r = ToString(with);
    // The result starts where the search starts.
    if (static_cast<size_t>(start) > t.size())
        return Str(u"");
    t = t.substr(static_cast<size_t>(start) - 1);
    if (f.empty() || count == 0)
        return Str(t);
    std::u16string folded = text ? Lower(t) : std::u16string();
    std::u16string needle = text ? Lower(f) : f;
    const std::u16string& hay = text ? folded : t;
    std::u16string out;
    size_t pos = 0;
    int32_t done = 0;
    for (;;) {
        if (count >= 0 && done >= count)
            break;
        size_t p = hay.find(needle, pos);
        if (p == std::u16string::npos)
            break;
        CheckLength(out.size() + (p - pos) + r.size());
        out.append(t, pos, p - pos).append(r);
        pos = p + f.size();
        ++done;
    }
    out.append(t, pos, std::u16string::npos);
    return Str(std::move(out));
}

Value UCase(Interpreter&, Args a) {
    Value s = Arg0(a, 0);
    return s.IsNull() ? s : Str(Upper(ToString(s)));
}

Value LCase(Interpreter&, Args a) {
    Value s = Arg0(a, 0);
    return s.IsNull() ? s : Str(Lower(ToString(s)));
}

Value TrimSides(Args a, bool left, bool right) {
    Value s = Arg0(a, 0);
    if (s.IsNull())
        return s;
    std::u16string t = ToString(s);
    size_t b = 0, e = t.size();
    if (left)
        while (b < e && t[b] == u' ')
            ++b;
    if (right)
        while (e > b && t[e - 1] == u' ')
            --e;
    return Str(t.substr(b, e - b));
}

Value Trim(Interpreter&, Args a) {
    return TrimSides(a, true, true);
}
Value LTrim(Interpreter&, Args a) {
    return TrimSides(a, true, false);
}
Value RTrim(Interpreter&, Args a) {
    return TrimSides(a, false, true);
}

Value MakeArray(std::vector<Value> items) {
    auto* array = new ArrayData;
    array->upper.push_back(static_cast<int32_t>(items.size()) - 1);
    array->items = std::move(items);
    return Value::Array(array);
}

Value Split(Interpreter&, Args a) {
    Value s = Arg0(a, 0);
    std::u16string delim = Has(a, 1) ? ToString(Arg0(a, 1)) : u" ";
    int32_t limit = Has(a, 2) ? ToLong(Arg0(a, 2)) : -1;
    bool text = CompareMode(a, 3) == 1;
    if (limit < -1)
        Throw(kErrInvalidCall);
    if (s.IsNull())
        return Value::Null();
    std::u16string t = ToString(s);
    std::vector<Value> parts;
    if (t.empty() || limit == 0)
        return MakeArray({});
    if (delim.empty())
        return MakeArray({Str(t)});
    size_t pos = 0;
    for (;;) {
        if (limit > 0 && static_cast<int32_t>(parts.size()) == limit - 1)
            break;
        size_t p = Find(t, delim, pos, text);
        if (p == std::u16string::npos)
            break;
        parts.push_back(Str(t.substr(pos, p - pos)));
        pos = p + delim.size();
    }
    parts.push_back(Str(t.substr(pos)));
    return MakeArray(std::move(parts));
}

const ArrayData& OneDimensional(const Value& v) {
    if (!v.IsArray())
        Throw(kErrTypeMismatch);
    if (v.array()->upper.size() != 1)
        Throw(kErrSubscript);
    return *v.array();
}

Value Join(Interpreter&, Args a) {
    Value v = Arg0(a, 0);
    const ArrayData& array = OneDimensional(v);
    std::u16string delim = Has(a, 1) ? ToString(Arg0(a, 1)) : u" ";
    std::u16string out;
    for (size_t i = 0; i < array.items.size(); ++i) {
        if (i)
            out += delim;
        const Value& item = array.items[i];
        if (!item.IsNull())
            out += ToString(item);
        CheckLength(out.size());
    }
    return Str(std::move(out));
}

Value StrReverse(Interpreter&, Args a) {
    std::u16string t = ToString(Arg0(a, 0));
    return Str(std::u16string(t.rbegin(), t.rend()));
}

Value StrComp(Interpreter&, Args a) {
    Value x = Arg0(a, 0), y = Arg0(a, 1);
    bool text = CompareMode(a, 2) == 1;
    if (x.IsNull() || y.IsNull())
        return Value::Null();
    std::u16string s = ToString(x), t = ToString(y);
    if (text) {
        s = Lower(s);
        t = Lower(t);
    }
    return Value::Integer(static_cast<int16_t>(s < t ? -1 : s > t ? 1 : 0));
}

Value Space(Interpreter&, Args a) {
    size_t n = static_cast<size_t>(Count(Arg0(a, 0)));
    CheckLength(n);
    return Str(std::u16string(n, u' '));
}

Value String(Interpreter&, Args a) {
    int32_t n = Count(Arg0(a, 0));
    CheckLength(static_cast<size_t>(n));
    Value c = Arg0(a, 1);
    if (c.IsNull())
        return Value::Null();
    char16_t ch;
    if (c.IsString()) {
        if (c.str().empty())
            Throw(kErrInvalidCall);
        ch = c.str()[0];
    } else {
        ch = static_cast<char16_t>(ToLong(c) & 0xFF);
    }
    return Str(std::u16string(static_cast<size_t>(n), ch));
}

Value Chr(Interpreter&, Args a) {
    int32_t n = ToLong(Arg0(a, 0));
    if (n < 0 || n > 255)
        Throw(kErrInvalidCall);
    return Str(std::u16string(1, static_cast<char16_t>(n)));
}

Value ChrW(Interpreter&, Args a) {
    int32_t n = ToLong(Arg0(a, 0));
    if (n < -32768 || n > 65535)
        Throw(kErrInvalidCall);
    return Str(std::u16string(1, static_cast<char16_t>(n & 0xFFFF)));
}

char16_t FirstChar(Args a) {
    std::u16string t = ToString(Arg0(a, 0));
    if (t.empty())
        Throw(kErrInvalidCall);
    return t[0];
}

Value Asc(Interpreter&, Args a) {
    char16_t c = FirstChar(a);
    return Value::Integer(static_cast<int16_t>(c < 256 ? c : u'?'));
}

Value AscW(Interpreter&, Args a) {
    return Value::Integer(static_cast<int16_t>(FirstChar(a)));
}

Value Radix(Args a, int bits) {
    Value v = Arg0(a, 0);
    if (v.IsNull())
        return v;
    int32_t n = ToLong(v);
    uint32_t u = static_cast<uint32_t>(n);
    bool narrow = v.type() == VT::Integer || v.type() == VT::Byte || v.type() == VT::Boolean ||
                  v.type() == VT::Empty;
    if (narrow && n < 0)
        u &= 0xFFFF;
    char buf[16];
    std::snprintf(buf, sizeof buf, bits == 16 ? "%X" : "%o", u);
    return Str(FromAscii(buf));
}

Value Hex(Interpreter&, Args a) {
    return Radix(a, 16);
}
Value Oct(Interpreter&, Args a) {
    return Radix(a, 8);
}

// %XX for other characters up to 255, %uXXXX above; letters, digits and
// @*_+-./ stay.
Value Escape(Interpreter&, Args a) {
    Value v = Arg0(a, 0);
    if (v.IsNull())
        return v;
    static const std::u16string_view kPlain = u"@*_+-./";
    std::u16string out;
    char buf[8];
    for (char16_t c : ToString(v)) {
        bool plain = (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') ||
                     (c >= u'0' && c <= u'9') || kPlain.find(c) != std::u16string_view::npos;
        if (plain) {
            out += c;
            continue;
        }
        std::snprintf(buf, sizeof buf, c < 256 ? "%%%02X" : "%%u%04X", static_cast<unsigned>(c));
        out += FromAscii(buf);
        CheckLength(out.size());
    }
    return Str(std::move(out));
}

Value Unescape(Interpreter&, Args a) {
    Value v = Arg0(a, 0);
    if (v.IsNull())
        return v;
    std::u16string t = ToString(v), out;
    auto hex = [&](size_t from, size_t count, unsigned* value) {
        if (from + count > t.size())
            return false;
        *value = 0;
        for (size_t i = from; i < from + count; ++i) {
            char16_t c = t[i];
            int d = (c >= u'0' && c <= u'9')   ? c - u'0'
                    : (c >= u'a' && c <= u'f') ? c - u'a' + 10
                    : (c >= u'A' && c <= u'F') ? c - u'A' + 10
                                               : -1;
            if (d < 0)
                return false;
            *value = *value * 16 + static_cast<unsigned>(d);
        }
        return true;
    };
    for (size_t i = 0; i < t.size(); ++i) {
        unsigned value = 0;
        if (t[i] == u'%' && i + 1 < t.size() && t[i + 1] == u'u' && hex(i + 2, 4, &value)) {
            out += static_cast<char16_t>(value);
            i += 5;
        } else if (t[i] == u'%' && hex(i + 1, 2, &value)) {
            out += static_cast<char16_t>(value);
            i += 2;
        } else {
            out += t[i];
        }
    }
    return Str(std::move(out));
}

// --- Conversions ---

Value CStr(Interpreter&, Args a) {
    return Str(ToString(Arg0(a, 0)));
}
Value CLng(Interpreter&, Args a) {
    return Value::Long(ToLong(Arg0(a, 0)));
}
Value CInt(Interpreter&, Args a) {
    return Value::Integer(ToInteger(Arg0(a, 0)));
}
Value CDbl(Interpreter&, Args a) {
    return Value::Double(ToDouble(Arg0(a, 0)));
}
Value CSng(Interpreter&, Args a) {
    double d = ToDouble(Arg0(a, 0));
    if (std::fabs(d) > 3.402823466e38)
        Throw(kErrOverflow);
    return Value::Double(static_cast<float>(d));
}
Value CBool(Interpreter&, Args a) {
    return Value::Boolean(ToBoolean(Arg0(a, 0)));
}
Value CByte(Interpreter&, Args a) {
    int32_t n = ToLong(Arg0(a, 0));
    if (n < 0 || n > 255)
        Throw(kErrOverflow);
    return Value::Byte(static_cast<uint8_t>(n));
}
Value CCur(Interpreter&, Args a) {
    Value v = Arg0(a, 0);
    if (v.type() == VT::Currency)
        return v;
    double d = ToDouble(v) * 10000.0;
    if (!(std::fabs(d) < 9.2e18))
        Throw(kErrOverflow);
    return Value::Currency(static_cast<int64_t>(RoundHalfEven(d)));
}
Value CDate(Interpreter&, Args a) {
    return Value::Date(ToDate(Arg0(a, 0)));
}

// --- Math ---

// Int and Fix keep the operand's type.
Value Truncate(Args a, bool floor) {
    Value v = Arg0(a, 0);
    auto cut = [floor](double d) { return floor ? std::floor(d) : std::trunc(d); };
    switch (v.type()) {
    case VT::Null:
    case VT::Byte:
    case VT::Integer:
    case VT::Long:
        return v;
    case VT::Empty:
        return Value::Integer(0);
    case VT::Boolean:
        return Value::Integer(v.boolean() ? -1 : 0);
    case VT::Currency: {
        int64_t c = v.currency();
        int64_t whole = c / 10000 * 10000;
        if (floor && c < 0 && whole != c)
            whole -= 10000;
        return Value::Currency(whole);
    }
    case VT::Date:
        return Value::Date(cut(v.dbl()));
    default:
        return Value::Double(cut(ToDouble(v)));
    }
}

Value Int(Interpreter&, Args a) {
    return Truncate(a, true);
}
Value Fix(Interpreter&, Args a) {
    return Truncate(a, false);
}

Value Abs(Interpreter&, Args a) {
    Value v = Arg0(a, 0);
    switch (v.type()) {
    case VT::Null:
    case VT::Byte:
        return v;
    case VT::Empty:
        return Value::Integer(0);
    case VT::Boolean:
    case VT::Integer:
        return FitInteger(std::abs(static_cast<int64_t>(ToLong(v))), 2);
    case VT::Long:
        return FitInteger(std::abs(static_cast<int64_t>(v.lng())), 3);
    case VT::Currency:
        return Value::Currency(v.currency() < 0 ? -v.currency() : v.currency());
    default:
        return Value::Double(std::fabs(ToDouble(v)));
    }
}

Value Sgn(Interpreter&, Args a) {
    Value v = Arg0(a, 0);
    if (v.IsNull())
        return v;
    double d = ToDouble(v);
    return Value::Integer(static_cast<int16_t>(d > 0 ? 1 : d < 0 ? -1 : 0));
}

Value Round(Interpreter&, Args a) {
    Value v = Arg0(a, 0);
    int32_t digits = Has(a, 1) ? ToLong(Arg0(a, 1)) : 0;
    if (digits < 0)
        Throw(kErrInvalidCall);
    switch (v.type()) {
    case VT::Null:
    case VT::Byte:
    case VT::Integer:
    case VT::Long:
        return v;
    case VT::Empty:
        return Value::Integer(0);
    case VT::Boolean:
        return Value::Integer(v.boolean() ? -1 : 0);
    default:
        break;
    }
    double d = ToDouble(v);
    double scale = std::pow(10.0, digits > 22 ? 22 : digits);
    // Decide the tie on the decimal text, so 2.675 (stored a little below)
    // is not taken for a tie.
    double r = RoundHalfEven(d * scale) / scale;
    if (std::isfinite(r) && std::fabs(d * scale) < 1e15) {
        char buf[64];
        std::snprintf(buf, sizeof buf, "%.*f", digits > 22 ? 22 : digits, d);
        r = std::strtod(buf, nullptr);
        double back = d * scale;
        double frac = back - std::floor(back);
        if (std::fabs(frac - 0.5) < 1e-9)
            r = RoundHalfEven(back) / scale;
    }
    if (v.type() == VT::Currency)
        return Value::Currency(static_cast<int64_t>(RoundHalfEven(r * 10000.0)));
    if (v.type() == VT::Date)
        return Value::Date(r);
    return Value::Double(r);
}

Value Checked(double r) {
    if (std::isnan(r))
        Throw(kErrInvalidCall);
    if (!std::isfinite(r))
        Throw(kErrOverflow);
    return Value::Double(r);
}

Value Sqr(Interpreter&, Args a) {
    double d = ToDouble(Arg0(a, 0));
    if (d < 0)
        Throw(kErrInvalidCall);
    return Value::Double(std::sqrt(d));
}
Value Exp(Interpreter&, Args a) {
    return Checked(std::exp(ToDouble(Arg0(a, 0))));
}
Value Log(Interpreter&, Args a) {
    double d = ToDouble(Arg0(a, 0));
    if (d <= 0)
        Throw(kErrInvalidCall);
    return Value::Double(std::log(d));
}
Value Sin(Interpreter&, Args a) {
    return Checked(std::sin(ToDouble(Arg0(a, 0))));
}
Value Cos(Interpreter&, Args a) {
    return Checked(std::cos(ToDouble(Arg0(a, 0))));
}
Value Tan(Interpreter&, Args a) {
    return Checked(std::tan(ToDouble(Arg0(a, 0))));
}
Value Atn(Interpreter&, Args a) {
    return Checked(std::atan(ToDouble(Arg0(a, 0))));
}

// The language's 24-bit linear congruential generator.
Value Rnd(Interpreter& in, Args a) {
    uint32_t& seed = in.rndSeed();
    double x = Has(a, 0) ? ToDouble(Arg0(a, 0)) : 1;
    if (x == 0)
        return Value::Double(in.rndLast());
    if (x < 0) {
        float f = static_cast<float>(x);
        uint32_t bits;
        std::memcpy(&bits, &f, sizeof bits);
        seed = (bits + (bits >> 24)) & 0xFFFFFF;
    }
    seed = (seed * 0x43FD43FDu + 0xC39EC3u) & 0xFFFFFF;
    in.rndLast() = seed / 16777216.0;
    return Value::Double(in.rndLast());
}

double SecondsToday() {
    auto now = std::chrono::system_clock::now();
    std::time_t t = std::chrono::system_clock::to_time_t(now);
    std::tm local{};
    localtime_r(&t, &local);
    auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()) % 1000;
    return local.tm_hour * 3600.0 + local.tm_min * 60.0 + local.tm_sec + ms.count() / 1000.0;
}

Value Randomize(Interpreter& in, Args a) {
    double x = Has(a, 0) ? ToDouble(Arg0(a, 0)) : SecondsToday();
    uint64_t bits;
    std::memcpy(&bits, &x, sizeof bits);
    uint32_t hi = static_cast<uint32_t>(bits >> 32);
    in.rndSeed() = (in.rndSeed() & 0xFF) | (((hi ^ (hi >> 16)) & 0xFFFF) << 8);
    return {};
}

Value Timer(Interpreter&, Args) {
    return Value::Double(std::round(SecondsToday() * 100) / 100);
}

// --- Dates ---

double NowSerial(bool date, bool time) {
    std::time_t t = std::time(nullptr);
    std::tm local{};
    localtime_r(&t, &local);
    double d = date ? DateSerialOf(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday) : 0;
    if (time)
        d += (local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec) / 86400.0;
    return d;
}

Value Now(Interpreter&, Args) {
    return Value::Date(NowSerial(true, true));
}
Value DateNow(Interpreter&, Args) {
    return Value::Date(NowSerial(true, false));
}
Value TimeNow(Interpreter&, Args) {
    return Value::Date(NowSerial(false, true));
}

enum Part { kYear, kMonth, kDay, kHour, kMinute, kSecond };

Value DatePart(Args a, Part part) {
    Value v = Arg0(a, 0);
    if (v.IsNull())
        return v;
    int p[6];
    DateParts(ToDate(v), &p[0], &p[1], &p[2], &p[3], &p[4], &p[5]);
    return Value::Integer(static_cast<int16_t>(p[part]));
}

Value Year(Interpreter&, Args a) {
    return DatePart(a, kYear);
}
Value Month(Interpreter&, Args a) {
    return DatePart(a, kMonth);
}
Value Day(Interpreter&, Args a) {
    return DatePart(a, kDay);
}
Value Hour(Interpreter&, Args a) {
    return DatePart(a, kHour);
}
Value Minute(Interpreter&, Args a) {
    return DatePart(a, kMinute);
}
Value Second(Interpreter&, Args a) {
    return DatePart(a, kSecond);
}

Value Weekday(Interpreter&, Args a) {
    Value v = Arg0(a, 0);
    if (v.IsNull())
        return v;
    int first = Has(a, 1) ? ToLong(Arg0(a, 1)) : 1;
    if (first == 0)
        first = 1;
    if (first < 1 || first > 7)
        Throw(kErrInvalidCall);
    int w = WeekdayOf(ToDate(v));
    return Value::Integer(static_cast<int16_t>((w - first + 7) % 7 + 1));
}

Value DateSerial(Interpreter&, Args a) {
    return Value::Date(DateSerialOf(ToLong(Arg0(a, 0)), ToLong(Arg0(a, 1)), ToLong(Arg0(a, 2))));
}

Value TimeSerial(Interpreter&, Args a) {
    int64_t s =
        int64_t{ToLong(Arg0(a, 0))} * 3600 + int64_t{ToLong(Arg0(a, 1))} * 60 + ToLong(Arg0(a, 2));
    double d = s / 86400.0;
    // Negative times count back from midnight in the date's own way.
    if (d < 0) {
        double days = std::floor(d);
        d = days - (d - days);
    }
    return Value::Date(d);
}

Value DateValue(Interpreter&, Args a) {
    return Value::Date(std::trunc(ToDate(Arg0(a, 0))));
}

Value TimeValue(Interpreter&, Args a) {
    double d = ToDate(Arg0(a, 0));
    return Value::Date(std::fabs(d - std::trunc(d)));
}

std::u16string IntervalOf(Args a) {
    return Lower(ToString(Arg0(a, 0)));
}

// Months added with the day kept, or the month's last day when it has fewer.
double AddMonths(double serial, int64_t months) {
    int y, m, d, h, n, s;
    DateParts(serial, &y, &m, &d, &h, &n, &s);
    int64_t total = int64_t{y} * 12 + (m - 1) + months;
    int64_t ny = total / 12, nm = total % 12 + 1;
    double first = DateSerialOf(ny, nm, 1);
    double next = DateSerialOf(ny, nm + 1, 1);
    int64_t last = static_cast<int64_t>(next - first);
    double date = first + std::min<int64_t>(d, last) - 1;
    double time = (h * 3600 + n * 60 + s) / 86400.0;
    return date < 0 ? date - time : date + time;
}

Value DateAdd(Interpreter&, Args a) {
    std::u16string interval = IntervalOf(a);
    double n = std::trunc(ToDouble(Arg0(a, 1)));
    Value dv = Arg0(a, 2);
    if (dv.IsNull())
        return dv;
    double d = ToDate(dv);
    // On a linear scale of seconds: before 1899-12-30 the serial's fraction
    // still counts forward from that day's midnight.
    auto addSeconds = [&](double secs) {
        double whole = std::trunc(d);
        double linear = whole + std::fabs(d - whole);
        double t = std::nearbyint(linear * 86400.0) + secs;
        double days = std::floor(t / 86400.0);
        double frac = (t - days * 86400.0) / 86400.0;
        return days >= 0 ? days + frac : days - frac;
    };
    double r;
    if (interval == u"yyyy")
        r = AddMonths(d, static_cast<int64_t>(n) * 12);
    else if (interval == u"q")
        r = AddMonths(d, static_cast<int64_t>(n) * 3);
    else if (interval == u"m")
        r = AddMonths(d, static_cast<int64_t>(n));
    else if (interval == u"d" || interval == u"y" || interval == u"w")
        r = addSeconds(n * 86400.0);
    else if (interval == u"ww")
        r = addSeconds(n * 7 * 86400.0);
    else if (interval == u"h")
        r = addSeconds(n * 3600.0);
    else if (interval == u"n")
        r = addSeconds(n * 60.0);
    else if (interval == u"s")
        r = addSeconds(n);
    else
        Throw(kErrInvalidCall);
    if (r < -657434 || r >= 2958466) // years 100 .. 9999
        Throw(kErrInvalidCall);
    return Value::Date(r);
}

Value DateDiff(Interpreter&, Args a) {
    std::u16string interval = IntervalOf(a);
    Value v1 = Arg0(a, 1), v2 = Arg0(a, 2);
    if (v1.IsNull() || v2.IsNull())
        return Value::Null();
    double d1 = ToDate(v1), d2 = ToDate(v2);
    int y1, m1, dd1, h1, n1, s1, y2, m2, dd2, h2, n2, s2;
    DateParts(d1, &y1, &m1, &dd1, &h1, &n1, &s1);
    DateParts(d2, &y2, &m2, &dd2, &h2, &n2, &s2);
    auto day = [](double d, int y, int m, int dd) {
        (void)d;
        return static_cast<int64_t>(DateSerialOf(y, m, dd));
    };
    int64_t day1 = day(d1, y1, m1, dd1), day2 = day(d2, y2, m2, dd2);
    int64_t sec1 = day1 * 86400 + h1 * 3600 + n1 * 60 + s1;
    int64_t sec2 = day2 * 86400 + h2 * 3600 + n2 * 60 + s2;
    auto floorDiv = [](int64_t x, int64_t k) { return x >= 0 ? x / k : -((-x + k - 1) / k); };
    int64_t r;
    if (interval == u"yyyy")
        r = y2 - y1;
    else if (interval == u"q")
        r = (int64_t{y2} * 4 + (m2 - 1) / 3) - (int64_t{y1} * 4 + (m1 - 1) / 3);
    else if (interval == u"m")
        r = (int64_t{y2} * 12 + m2) - (int64_t{y1} * 12 + m1);
    else if (interval == u"d" || interval == u"y")
        r = day2 - day1;
    else if (interval == u"w")
        r = (day2 - day1) / 7;
    else if (interval == u"ww") {
        // Sundays crossed: weeks counted from the Sunday on or before each date.
        auto weekStart = [](int64_t dayNumber) {
            int64_t w = ((dayNumber % 7) + 7 + 6) % 7; // 0 = Sunday
            return dayNumber - w;
        };
        r = (weekStart(day2) - weekStart(day1)) / 7;
    } else if (interval == u"h")
        r = floorDiv(sec2, 3600) - floorDiv(sec1, 3600);
    else if (interval == u"n")
        r = floorDiv(sec2, 60) - floorDiv(sec1, 60);
    else if (interval == u"s")
        r = sec2 - sec1;
    else
        Throw(kErrInvalidCall);
    if (r < INT32_MIN || r > INT32_MAX)
        Throw(kErrOverflow);
    return Value::Long(static_cast<int32_t>(r));
}

const char* const kMonths[] = {"January",   "February", "March",    "April",
                               "May",       "June",     "July",     "August",
                               "September", "October",  "November", "December"};
const char* const kDays[] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                             "Thursday", "Friday", "Saturday"};

Value MonthName(Interpreter&, Args a) {
    int32_t m = ToLong(Arg0(a, 0));
    if (m < 1 || m > 12)
        Throw(kErrInvalidCall);
    std::u16string name = FromAscii(kMonths[m - 1]);
    if (Has(a, 1) && ToBoolean(Arg0(a, 1)))
        name = name.substr(0, 3);
    return Str(name);
}

Value WeekdayName(Interpreter&, Args a) {
    int32_t w = ToLong(Arg0(a, 0));
    int32_t first = Has(a, 2) ? ToLong(Arg0(a, 2)) : 1;
    if (first == 0)
        first = 1;
    if (w < 1 || w > 7 || first < 1 || first > 7)
        Throw(kErrInvalidCall);
    std::u16string name = FromAscii(kDays[(w - 1 + first - 1) % 7]);
    if (Has(a, 1) && ToBoolean(Arg0(a, 1)))
        name = name.substr(0, 3);
    return Str(name);
}

// --- Formatting ---

// value rounded to digits decimals, half away from zero on the decimal text
// (so 1.005 is 1.01), with thousands grouped by "," and "." before the
// decimals.
std::u16string FormatFixed(double value, int digits, bool leadingZero, bool parens, bool group) {
    char buf[64];
    double scale = std::pow(10.0, digits);
    std::snprintf(buf, sizeof buf, "%.15g", std::fabs(value) * scale);
    double whole = std::floor(std::strtod(buf, nullptr) + 0.5);
    std::snprintf(buf, sizeof buf, "%.0f", whole);
    std::string digitsText = buf;
    if (digitsText.size() <= static_cast<size_t>(digits))
        digitsText.insert(0, static_cast<size_t>(digits) + 1 - digitsText.size(), '0');
    std::string intPart = digitsText.substr(0, digitsText.size() - static_cast<size_t>(digits));
    std::string fracPart = digitsText.substr(digitsText.size() - static_cast<size_t>(digits));
    if (group) {
        std::string grouped;
        for (size_t i = 0; i < intPart.size(); ++i) {
            if (i > 0 && (intPart.size() - i) % 3 == 0)
                grouped.push_back(',');
            grouped.push_back(intPart[i]);
        }
        intPart = std::move(grouped);
    }
    if (!leadingZero && intPart == "0" && digits > 0)
        intPart.clear();
    std::string out;
    bool negative = value < 0 && whole != 0;
    if (negative)
        out.push_back(parens ? '(' : '-');
    out.append(intPart);
    if (digits > 0)
        out.append(1, '.').append(fracPart);
    if (negative && parens)
        out.push_back(')');
    return FromAscii(out);
}

// The tri-state options of the Format functions: -2 (the default) and -1
// are true, 0 false.
bool TriState(Args a, size_t i, bool fallback) {
    if (!Has(a, i))
        return fallback;
    int32_t v = ToLong(Arg0(a, i));
    return v == -2 ? fallback : v != 0;
}

Value FormatWith(Args a, double scale, const char16_t* suffix) {
    Value v = Arg0(a, 0);
    if (v.IsNull())
        return v;
    int32_t digits = Has(a, 1) ? ToLong(Arg0(a, 1)) : -1;
    if (digits == -1)
        digits = 2;
    if (digits < 0 || digits > 20)
        Throw(kErrInvalidCall);
    double d = ToDouble(v) * scale;
    return Str(
        FormatFixed(d, digits, TriState(a, 2, true), TriState(a, 3, false), TriState(a, 4, true)) +
        suffix);
}

Value FormatNumber(Interpreter&, Args a) {
    return FormatWith(a, 1, u"");
}

Value FormatPercent(Interpreter&, Args a) {
    return FormatWith(a, 100, u"%");
}

Value FormatDateTime(Interpreter&, Args a) {
    Value v = Arg0(a, 0);
    if (v.IsNull())
        return v;
    double d = ToDate(v);
    int32_t format = Has(a, 1) ? ToLong(Arg0(a, 1)) : 0;
    int y, m, day, h, n, sec;
    DateParts(d, &y, &m, &day, &h, &n, &sec);
    char buf[96];
    switch (format) {
    case 0:
        return Str(FormatDate(d));
    case 1:
        std::snprintf(buf, sizeof buf, "%s, %s %d, %d", kDays[WeekdayOf(d) - 1], kMonths[m - 1],
                      day, y);
        break;
    case 2:
        std::snprintf(buf, sizeof buf, "%d/%d/%d", m, day, y);
        break;
    case 3:
        std::snprintf(buf, sizeof buf, "%d:%02d:%02d %s", h % 12 == 0 ? 12 : h % 12, n, sec,
                      h < 12 ? "AM" : "PM");
        break;
    case 4:
        std::snprintf(buf, sizeof buf, "%02d:%02d", h, n);
        break;
    default:
        Throw(kErrInvalidCall);
    }
    return Str(FromAscii(buf));
}

Value Rgb(Interpreter&, Args a) {
    int32_t c[3];
    for (size_t i = 0; i < 3; ++i) {
        c[i] = ToLong(Arg0(a, i));
        if (c[i] < 0)
            Throw(kErrInvalidCall);
        c[i] = std::min(c[i], 255);
    }
    return Value::Long(c[0] + c[1] * 256 + c[2] * 65536);
}

// --- Types ---

Value IsNumeric(Interpreter&, Args a) {
    const Value& v = a[0].get();
    switch (v.type()) {
    case VT::Empty:
    case VT::Boolean:
    case VT::Byte:
    case VT::Integer:
    case VT::Long:
    case VT::Double:
    case VT::Currency:
        return Value::Boolean(true);
    case VT::String: {
        double d;
        try {
            return Value::Boolean(ParseNumber(v.str(), &d));
        } catch (const ScriptException&) {
            return Value::Boolean(true); // a number too large for a Double is still a number
        }
    }
    default:
        return Value::Boolean(false);
    }
}

Value IsEmpty(Interpreter&, Args a) {
    return Value::Boolean(a[0].get().IsEmpty());
}
Value IsNull(Interpreter&, Args a) {
    return Value::Boolean(a[0].get().IsNull());
}
Value IsArray(Interpreter&, Args a) {
    return Value::Boolean(a[0].get().IsArray());
}
Value IsObject(Interpreter&, Args a) {
    return Value::Boolean(a[0].get().IsObject());
}
Value IsDate(Interpreter&, Args a) {
    const Value& v = a[0].get();
    double d;
    return Value::Boolean(v.type() == VT::Date || (v.IsString() && ParseDate(v.str(), &d)));
}

Value TypeName(Interpreter&, Args a) {
    return Str(TypeNameOf(a[0].get()));
}

Value VarType(Interpreter&, Args a) {
    const Value& v = a[0].get();
    return Value::Integer(static_cast<int16_t>(v.type()));
}

Value Bound(Args a, bool upper) {
    const Value& v = a[0].get();
    if (!v.IsArray())
        Throw(kErrTypeMismatch);
    int32_t dim = Has(a, 1) ? ToLong(Arg0(a, 1)) : 1;
    const ArrayData& array = *v.array();
    if (dim < 1 || static_cast<size_t>(dim) > array.upper.size())
        Throw(kErrSubscript);
    return Value::Long(upper ? array.upper[static_cast<size_t>(dim) - 1] : 0);
}

Value UBound(Interpreter&, Args a) {
    return Bound(a, true);
}
Value LBound(Interpreter&, Args a) {
    return Bound(a, false);
}

Value Array(Interpreter&, Args a) {
    std::vector<Value> items;
    items.reserve(a.size());
    for (const Arg& arg : a)
        items.push_back(arg.missing ? Value() : arg.get());
    return MakeArray(std::move(items));
}

Value Filter(Interpreter&, Args a) {
    Value v = Arg0(a, 0);
    if (v.IsNull())
        Throw(kErrInvalidNull);
    const ArrayData& array = OneDimensional(v);
    std::u16string match = ToString(Arg0(a, 1));
    bool include = Has(a, 2) ? ToBoolean(Arg0(a, 2)) : true;
    bool text = CompareMode(a, 3) == 1;
    std::vector<Value> out;
    for (const Value& item : array.items) {
        std::u16string s = ToString(item);
        bool found = Find(s, match, 0, text) != std::u16string::npos;
        if (found == include)
            out.push_back(Str(s));
    }
    return MakeArray(std::move(out));
}

// --- Evaluation and objects ---

Value Eval(Interpreter& in, Args a) {
    return in.EvalText(ToString(Arg0(a, 0)));
}

Value Execute(Interpreter& in, Args a) {
    in.ExecuteText(ToString(Arg0(a, 0)), false);
    return {};
}

Value ExecuteGlobal(Interpreter& in, Args a) {
    in.ExecuteText(ToString(Arg0(a, 0)), true);
    return {};
}

Value CreateObject(Interpreter&, Args a) {
    std::u16string name = ToString(Arg0(a, 0));
    if (Lower(name) == u"scripting.dictionary")
        return Value::Object(new Dictionary);
    com::CLSID clsid{};
    com::IDispatch* dispatch = nullptr;
    if (com::FAILED(com::CLSIDFromString(com::Utf16ToUtf8(name), &clsid)) ||
        com::FAILED(com::CoCreateInstance(clsid, nullptr, com::CLSCTX_INPROC_SERVER,
                                          com::IID_IDispatch,
                                          reinterpret_cast<void**>(&dispatch))) ||
        !dispatch)
        Throw(kErrCannotCreate, name);
    Value object = Value::Object(new DispatchObject(dispatch));
    dispatch->Release();
    return object;
}

Value ScriptEngine(Interpreter&, Args) {
    return Str(u"VBScript");
}
Value EngineMajor(Interpreter&, Args) {
    return Value::Long(5);
}
Value EngineMinor(Interpreter&, Args) {
    return Value::Long(8);
}
Value EngineBuild(Interpreter&, Args) {
    return Value::Long(1);
}

struct Entry {
    const char16_t* name;
    BuiltinFunction fn;
};

const Entry kFunctions[] = {
    {u"len", {1, 1, Len}},
    {u"mid", {2, 3, Mid}},
    {u"left", {2, 2, Left}},
    {u"right", {2, 2, Right}},
    {u"instr", {2, 4, InStr}},
    {u"instrrev", {2, 4, InStrRev}},
    {u"replace", {3, 6, Replace}},
    {u"ucase", {1, 1, UCase}},
    {u"lcase", {1, 1, LCase}},
    {u"trim", {1, 1, Trim}},
    {u"ltrim", {1, 1, LTrim}},
    {u"rtrim", {1, 1, RTrim}},
    {u"split", {1, 4, Split}},
    {u"join", {1, 2, Join}},
    {u"strreverse", {1, 1, StrReverse}},
    {u"strcomp", {2, 3, StrComp}},
    {u"space", {1, 1, Space}},
    {u"string", {2, 2, String}},
    {u"chr", {1, 1, Chr}},
    {u"chrw", {1, 1, ChrW}},
    {u"asc", {1, 1, Asc}},
    {u"ascw", {1, 1, AscW}},
    {u"hex", {1, 1, Hex}},
    {u"escape", {1, 1, Escape}},
    {u"unescape", {1, 1, Unescape}},
    {u"oct", {1, 1, Oct}},
    {u"cstr", {1, 1, CStr}},
    {u"clng", {1, 1, CLng}},
    {u"cint", {1, 1, CInt}},
    {u"cdbl", {1, 1, CDbl}},
    {u"csng", {1, 1, CSng}},
    {u"cbool", {1, 1, CBool}},
    {u"cbyte", {1, 1, CByte}},
    {u"ccur", {1, 1, CCur}},
    {u"cdate", {1, 1, CDate}},
    {u"int", {1, 1, Int}},
    {u"fix", {1, 1, Fix}},
    {u"abs", {1, 1, Abs}},
    {u"sgn", {1, 1, Sgn}},
    {u"round", {1, 2, Round}},
    {u"sqr", {1, 1, Sqr}},
    {u"exp", {1, 1, Exp}},
    {u"log", {1, 1, Log}},
    {u"sin", {1, 1, Sin}},
    {u"cos", {1, 1, Cos}},
    {u"tan", {1, 1, Tan}},
    {u"atn", {1, 1, Atn}},
    {u"rnd", {0, 1, Rnd}},
    {u"randomize", {0, 1, Randomize}},
    {u"timer", {0, 0, Timer}},
    {u"now", {0, 0, Now}},
    {u"date", {0, 0, DateNow}},
    {u"time", {0, 0, TimeNow}},
    {u"year", {1, 1, Year}},
    {u"month", {1, 1, Month}},
    {u"day", {1, 1, Day}},
    {u"hour", {1, 1, Hour}},
    {u"minute", {1, 1, Minute}},
    {u"second", {1, 1, Second}},
    {u"weekday", {1, 2, Weekday}},
    {u"dateadd", {3, 3, DateAdd}},
    {u"datediff", {3, 5, DateDiff}},
    {u"dateserial", {3, 3, DateSerial}},
    {u"timeserial", {3, 3, TimeSerial}},
    {u"datevalue", {1, 1, DateValue}},
    {u"timevalue", {1, 1, TimeValue}},
    {u"monthname", {1, 2, MonthName}},
    {u"weekdayname", {1, 3, WeekdayName}},
    {u"isnumeric", {1, 1, IsNumeric}},
    {u"isempty", {1, 1, IsEmpty}},
    {u"isnull", {1, 1, IsNull}},
    {u"isarray", {1, 1, IsArray}},
    {u"isobject", {1, 1, IsObject}},
    {u"isdate", {1, 1, IsDate}},
    {u"typename", {1, 1, TypeName}},
    {u"vartype", {1, 1, VarType}},
    {u"ubound", {1, 2, UBound}},
    {u"lbound", {1, 2, LBound}},
    {u"array", {0, 1 << 16, Array}},
    {u"filter", {2, 4, Filter}},
    {u"eval", {1, 1, Eval}},
    {u"execute", {1, 1, Execute}},
    {u"executeglobal", {1, 1, ExecuteGlobal}},
    {u"createobject", {1, 2, CreateObject}},
    {u"formatnumber", {1, 5, FormatNumber}},
    {u"formatpercent", {1, 5, FormatPercent}},
    {u"formatdatetime", {1, 2, FormatDateTime}},
    {u"rgb", {3, 3, Rgb}},
    {u"scriptengine", {0, 0, ScriptEngine}},
    {u"scriptenginemajorversion", {0, 0, EngineMajor}},
    {u"scriptengineminorversion", {0, 0, EngineMinor}},
    {u"scriptenginebuildversion", {0, 0, EngineBuild}},
};

std::unordered_map<std::u16string, Value> MakeConstants() {
    std::unordered_map<std::u16string, Value> c;
    auto text = [&](const char16_t* name, std::u16string v) { c[name] = Value::String(v); };
    auto integer = [&](const char16_t* name, int32_t v) {
        c[name] =
            v >= -32768 && v <= 32767 ? Value::Integer(static_cast<int16_t>(v)) : Value::Long(v);
    };
    text(u"vbcr", u"\r");
    text(u"vblf", u"\n");
    text(u"vbcrlf", u"\r\n");
    text(u"vbnewline", u"\r\n");
    text(u"vbtab", u"\t");
    text(u"vbnullchar", std::u16string(1, u'\0'));
    text(u"vbnullstring", u"");
    text(u"vbback", u"\b");
    text(u"vbformfeed", u"\f");
    text(u"vbverticaltab", u"\v");
    integer(u"vbtrue", -1);
    integer(u"vbfalse", 0);
    integer(u"vbusedefault", -2);
    integer(u"vbbinarycompare", 0);
    integer(u"vbtextcompare", 1);
    integer(u"vbdatabasecompare", 2);
    const std::pair<const char16_t*, int32_t> types[] = {
        {u"vbempty", 0},    {u"vbnull", 1},        {u"vbinteger", 2},  {u"vblong", 3},
        {u"vbsingle", 4},   {u"vbdouble", 5},      {u"vbcurrency", 6}, {u"vbdate", 7},
        {u"vbstring", 8},   {u"vbobject", 9},      {u"vberror", 10},   {u"vbboolean", 11},
        {u"vbvariant", 12}, {u"vbdataobject", 13}, {u"vbdecimal", 14}, {u"vbbyte", 17},
        {u"vbarray", 8192}};
    for (auto& [n, v] : types)
        integer(n, v);
    c[u"vbobjecterror"] = Value::Long(static_cast<int32_t>(0x80040000u));
    const char16_t* days[] = {u"vbsunday",   u"vbmonday", u"vbtuesday", u"vbwednesday",
                              u"vbthursday", u"vbfriday", u"vbsaturday"};
    for (int i = 0; i < 7; ++i)
        integer(days[i], i + 1);
    integer(u"vbusesystemdayofweek", 0);
    integer(u"vbusesystem", 0);
    integer(u"vbfirstjan1", 1);
    integer(u"vbfirstfourdays", 2);
    integer(u"vbfirstfullweek", 3);
    integer(u"vbgeneraldate", 0);
    integer(u"vblongdate", 1);
    integer(u"vbshortdate", 2);
    integer(u"vblongtime", 3);
    integer(u"vbshorttime", 4);
    const std::pair<const char16_t*, int32_t> colors[] = {
        {u"vbblack", 0},       {u"vbred", 255},       {u"vbgreen", 65280},
        {u"vbyellow", 65535},  {u"vbblue", 16711680}, {u"vbmagenta", 16711935},
        {u"vbcyan", 16776960}, {u"vbwhite", 16777215}};
    for (auto& [n, v] : colors)
        integer(n, v);
    const std::pair<const char16_t*, int32_t> boxes[] = {
        {u"vbokonly", 0},       {u"vbokcancel", 1},  {u"vbabortretryignore", 2},
        {u"vbyesnocancel", 3},  {u"vbyesno", 4},     {u"vbretrycancel", 5},
        {u"vbcritical", 16},    {u"vbquestion", 32}, {u"vbexclamation", 48},
        {u"vbinformation", 64}, {u"vbok", 1},        {u"vbcancel", 2},
        {u"vbabort", 3},        {u"vbretry", 4},     {u"vbignore", 5},
        {u"vbyes", 6},          {u"vbno", 7}};
    for (auto& [n, v] : boxes)
        integer(n, v);
    return c;
}

} // namespace

const BuiltinFunction* FindBuiltin(const std::u16string& name) {
    static const std::unordered_map<std::u16string, const BuiltinFunction*> table = [] {
        std::unordered_map<std::u16string, const BuiltinFunction*> t;
        for (const Entry& e : kFunctions)
            t[e.name] = &e.fn;
        return t;
    }();
    auto it = table.find(name);
    return it == table.end() ? nullptr : it->second;
}

std::unordered_map<std::u16string, Value> BuiltinConstants() {
    return MakeConstants();
}

} // namespace platform::vbscript
