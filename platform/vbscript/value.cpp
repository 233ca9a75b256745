#include "platform/vbscript/value.h"

#include "platform/vbscript/errors.h"
#include "platform/vbscript/interpreter.h"
#include "platform/vbscript/object.h"

#include <cmath>
#include <cstdio>
#include <limits>

namespace platform::vbscript {

Value Value::String(std::u16string text) {
    Value v(VT::String);
    v.s_ = new StringRep{1, std::move(text)};
    return v;
}

Value Value::Object(class Object* object) {
    Value v(VT::Object);
    v.o_ = object;
    if (object)
        object->AddRef();
    return v;
}

Value Value::Array(ArrayData* array) {
    Value v(VT::Array);
    v.a_ = array;
    return v;
}

void Value::Hold() noexcept {
    switch (type_) {
    case VT::String:
        ++s_->refs;
        break;
    case VT::Object:
        if (o_)
            o_->AddRef();
        break;
    case VT::Array:
        ++a_->refs;
        break;
    default:
        break;
    }
}

void Value::Drop() noexcept {
    switch (type_) {
    case VT::String:
        if (--s_->refs == 0)
            delete s_;
        break;
    case VT::Object:
        if (o_) {
            // The object may run script code that reads this variable.
            class Object* o = o_;
            type_ = VT::Empty;
            o->Release();
        }
        break;
    case VT::Array:
        if (--a_->refs == 0) {
            ArrayData* a = a_;
            type_ = VT::Empty;
            delete a;
        }
        break;
    default:
        break;
    }
    type_ = VT::Empty;
}

bool Value::IsNumeric() const {
    switch (type_) {
    case VT::Empty:
    case VT::Boolean:
    case VT::Byte:
    case VT::Integer:
    case VT::Long:
    case VT::Double:
    case VT::Currency:
    case VT::Date:
        return true;
    default:
        return false;
    }
}

ArrayData* Value::MutableArray() {
    if (a_->refs > 1) {
        auto* copy = new ArrayData{1, a_->upper, a_->items, false};
        --a_->refs;
        a_ = copy;
    }
    return a_;
}

void CheckLength(size_t length) {
    if (length > kMaxStringLength)
        Throw(kErrOutOfStringSpace);
}

void Value::Append(std::u16string_view text) {
    if (type_ == VT::String)
        CheckLength(s_->text.size() + text.size());
    if (type_ == VT::String && s_->refs == 1) {
        s_->text.append(text);
        return;
    }
    std::u16string joined = ToString(*this);
    joined.append(text);
    *this = String(std::move(joined));
}

// --- Text helpers ---

std::u16string Lower(std::u16string_view text) {
    std::u16string out(text);
    for (auto& c : out)
        if (c >= u'A' && c <= u'Z')
            c = static_cast<char16_t>(c + 32);
        else if (c >= 0xC0 && c <= 0xDE && c != 0xD7)
            c = static_cast<char16_t>(c + 32);
    return out;
}

std::u16string Upper(std::u16string_view text) {
    std::u16string out(text);
    for (auto& c : out)
        if (c >= u'a' && c <= u'z')
            c = static_cast<char16_t>(c - 32);
        else if (c >= 0xE0 && c <= 0xFE && c != 0xF7)
            c = static_cast<char16_t>(c - 32);
    return out;
}

std::u16string FromAscii(std::string_view text) {
    return std::u16string(text.begin(), text.end());
}

namespace {

bool IsBlank(char16_t c) {
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n' || c == 0xA0;
}

int DigitValue(char16_t c) {
    if (c >= u'0' && c <= u'9')
        return c - u'0';
    if (c >= u'a' && c <= u'f')
        return c - u'a' + 10;
    if (c >= u'A' && c <= u'F')
        return c - u'A' + 10;
    return 99;
}

} // namespace

bool ParseNumber(std::u16string_view text, double* out) {
    size_t b = 0, e = text.size();
    while (b < e && IsBlank(text[b]))
        ++b;
    while (e > b && IsBlank(text[e - 1]))
        --e;
    text = text.substr(b, e - b);
    if (text.empty())
        return false;
    if (text[0] == u'&') {
        int base = 8;
        size_t i = 1;
        if (i < text.size() && (text[i] == u'h' || text[i] == u'H')) {
            base = 16;
            ++i;
        } else if (i < text.size() && (text[i] == u'o' || text[i] == u'O')) {
            ++i;
        }
        if (i >= text.size())
            return false;
        uint64_t n = 0;
        for (; i < text.size(); ++i) {
            int d = DigitValue(text[i]);
            if (d >= base)
                return false;
            n = n * base + d;
            if (n > 0xFFFFFFFFull)
                return false;
        }
        // Four hex digits or fewer are an Integer, eight a Long: both wrap.
        if (n <= 0xFFFF && base == 16 && text.size() <= 6)
            *out = static_cast<int16_t>(n);
        else
            *out = static_cast<int32_t>(static_cast<uint32_t>(n));
        return true;
    }
    std::string ascii;
    size_t i = 0;
    if (text[i] == u'+' || text[i] == u'-')
        ascii += static_cast<char>(text[i++]);
    size_t digits = 0;
    while (i < text.size() && text[i] >= u'0' && text[i] <= u'9') {
        ascii += static_cast<char>(text[i++]);
        ++digits;
    }
    if (i < text.size() && text[i] == u'.') {
        ascii += '.';
        ++i;
        while (i < text.size() && text[i] >= u'0' && text[i] <= u'9') {
            ascii += static_cast<char>(text[i++]);
            ++digits;
        }
    }
    if (digits == 0)
        return false;
    if (i < text.size() &&
        (text[i] == u'e' || text[i] == u'E' || text[i] == u'd' || text[i] == u'D')) {
        ascii += 'e';
        ++i;
        if (i < text.size() && (text[i] == u'+' || text[i] == u'-'))
            ascii += static_cast<char>(text[i++]);
        size_t expDigits = 0;
        while (i < text.size() && text[i] >= u'0' && text[i] <= u'9') {
            ascii += static_cast<char>(text[i++]);
            ++expDigits;
        }
        if (expDigits == 0)
            return false;
    }
    if (i != text.size())
        return false;
    double d = std::strtod(ascii.c_str(), nullptr);
    if (!std::isfinite(d))
        Throw(kErrOverflow);
    *out = d;
    return true;
}

double RoundHalfEven(double d) {
    double r = std::nearbyint(d); // the default rounding mode is to nearest, ties to even
    return r;
}

Value Dereference(const Value& v) {
    if (v.type() != VT::Object)
        return v;
    if (!v.object())
        Throw(kErrObjectNotSet);
    Interpreter* in = CurrentInterpreter();
    if (!in)
        Throw(kErrNoSuchMember);
    Value result = v.object()->Invoke(*in, u"", {});
    if (result.IsObject())
        Throw(kErrTypeMismatch);
    return result;
}

double ToDouble(const Value& v) {
    switch (v.type()) {
    case VT::Empty:
        return 0;
    case VT::Null:
        Throw(kErrInvalidNull);
    case VT::Boolean:
        return v.boolean() ? -1 : 0;
    case VT::Byte:
        return v.byte();
    case VT::Integer:
        return v.integer();
    case VT::Long:
        return v.lng();
    case VT::Double:
    case VT::Date:
        return v.dbl();
    case VT::Currency:
        return static_cast<double>(v.currency()) / 10000.0;
    case VT::String: {
        double d = 0;
        if (!ParseNumber(v.str(), &d))
            Throw(kErrTypeMismatch);
        return d;
    }
    case VT::Object:
        return ToDouble(Dereference(v));
    default:
        Throw(kErrTypeMismatch);
    }
}

int32_t ToLong(const Value& v) {
    switch (v.type()) {
    case VT::Byte:
        return v.byte();
    case VT::Integer:
        return v.integer();
    case VT::Long:
        return v.lng();
    case VT::Boolean:
        return v.boolean() ? -1 : 0;
    case VT::Empty:
        return 0;
    default:
        break;
    }
    double d = RoundHalfEven(ToDouble(v));
    if (!(d >= -2147483648.0 && d <= 2147483647.0))
        Throw(kErrOverflow);
    return static_cast<int32_t>(d);
}

int16_t ToInteger(const Value& v) {
    int32_t n = 0;
    if (v.type() == VT::Long || v.type() == VT::Double || v.type() == VT::String ||
        v.type() == VT::Currency || v.type() == VT::Date) {
        double d = RoundHalfEven(ToDouble(v));
        if (!(d >= -32768.0 && d <= 32767.0))
            Throw(kErrOverflow);
        return static_cast<int16_t>(d);
    }
    n = ToLong(v);
    if (n < -32768 || n > 32767)
        Throw(kErrOverflow);
    return static_cast<int16_t>(n);
}

bool ToBoolean(const Value& v) {
    switch (v.type()) {
    case VT::Boolean:
        return v.boolean();
    case VT::Empty:
        return false;
    case VT::Null:
        Throw(kErrInvalidNull);
    case VT::String: {
        std::u16string l = Lower(v.str());
        if (l == u"true" || l == u"#true#")
            return true;
        if (l == u"false" || l == u"#false#")
            return false;
        double d = 0;
        if (!ParseNumber(v.str(), &d))
            Throw(kErrTypeMismatch);
        return d != 0;
    }
    case VT::Object:
        return ToBoolean(Dereference(v));
    case VT::Array:
        Throw(kErrTypeMismatch);
    default:
        return ToDouble(v) != 0;
    }
}

std::u16string FormatDouble(double d) {
    if (d == 0)
        return u"0";
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.15G", d);
    return FromAscii(buf);
}

std::u16string FormatCurrency(int64_t scaled) {
    bool negative = scaled < 0;
    uint64_t m = negative ? 0 - static_cast<uint64_t>(scaled) : static_cast<uint64_t>(scaled);
    std::string s = std::to_string(m / 10000);
    uint64_t frac = m % 10000;
    if (frac) {
        char buf[8];
        std::snprintf(buf, sizeof buf, "%04u", static_cast<unsigned>(frac));
        std::string f = buf;
        while (!f.empty() && f.back() == '0')
            f.pop_back();
        s += "." + f;
    }
    return FromAscii(negative ? "-" + s : s);
}

std::u16string ToString(const Value& v) {
    switch (v.type()) {
    case VT::Empty:
        return {};
    case VT::Null:
        Throw(kErrInvalidNull);
    case VT::Boolean:
        return v.boolean() ? u"True" : u"False";
    case VT::Byte:
        return FromAscii(std::to_string(v.byte()));
    case VT::Integer:
        return FromAscii(std::to_string(v.integer()));
    case VT::Long:
        return FromAscii(std::to_string(v.lng()));
    case VT::Double:
        return FormatDouble(v.dbl());
    case VT::Currency:
        return FormatCurrency(v.currency());
    case VT::Date:
        return FormatDate(v.dbl());
    case VT::String:
        return v.str();
    case VT::Object:
        return ToString(Dereference(v));
    default:
        Throw(kErrTypeMismatch);
    }
}

// --- Dates ---

namespace {

// Days from 1970-01-01 of a proleptic Gregorian date (month may be any
// integer, normalised into the year).
int64_t DaysFromCivil(int64_t y, int64_t m, int64_t d) {
    y += (m - 1) / 12;
    m = (m - 1) % 12 + 1;
    if (m <= 0) {
        m += 12;
        y -= 1;
    }
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yoe = y - era * 400;
    const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

void CivilFromDays(int64_t z, int* year, int* month, int* day) {
    z += 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const int64_t doe = z - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t y = yoe + era * 400;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    const int64_t d = doy - (153 * mp + 2) / 5 + 1;
    const int64_t m = mp + (mp < 10 ? 3 : -9);
    *year = static_cast<int>(y + (m <= 2));
    *month = static_cast<int>(m);
    *day = static_cast<int>(d);
}

constexpr int64_t kEpochDays = -25569; // 1899-12-30 counted from 1970-01-01

} // namespace

double DateSerialOf(int64_t year, int64_t month, int64_t day) {
    // Two-digit years mean 1930..2029.
    if (year >= 0 && year < 30)
        year += 2000;
    else if (year >= 30 && year < 100)
        year += 1900;
    return static_cast<double>(DaysFromCivil(year, month, 1) + (day - 1) - kEpochDays);
}

void DateParts(double serial, int* year, int* month, int* day, int* hour, int* minute,
               int* second) {
    // Before the epoch the fraction still counts forward from midnight.
    double whole = std::trunc(serial);
    double frac = std::fabs(serial - whole);
    int64_t secs = static_cast<int64_t>(std::llround(frac * 86400.0));
    if (secs >= 86400) {
        secs -= 86400;
        whole += serial < 0 ? -1 : 1;
    }
    CivilFromDays(static_cast<int64_t>(whole) + kEpochDays, year, month, day);
    *hour = static_cast<int>(secs / 3600);
    *minute = static_cast<int>(secs / 60 % 60);
    *second = static_cast<int>(secs % 60);
}

int WeekdayOf(double serial) {
    int64_t days = static_cast<int64_t>(std::floor(serial));
    // 1899-12-30 was a Saturday (7).
    int64_t w = (days % 7 + 7 + 6) % 7;
    return static_cast<int>(w + 1);
}

std::u16string FormatDate(double serial) {
    int y, m, d, h, n, s;
    DateParts(serial, &y, &m, &d, &h, &n, &s);
    std::string out;
    char buf[64];
    bool hasDate = std::trunc(serial) != 0;
    bool hasTime = h != 0 || n != 0 || s != 0;
    if (hasDate || !hasTime) {
        std::snprintf(buf, sizeof buf, "%d/%d/%d", m, d, y);
        out = buf;
    }
    if (hasTime) {
        int h12 = h % 12 == 0 ? 12 : h % 12;
        std::snprintf(buf, sizeof buf, "%d:%02d:%02d %s", h12, n, s, h < 12 ? "AM" : "PM");
        if (!out.empty())
            out += ' ';
        out += buf;
    }
    return FromAscii(out);
}

bool ParseDate(std::u16string_view text, double* serial) {
    std::vector<int64_t> dateNums, timeNums;
    char dateSep = 0;
    int ampm = 0; // 1 AM, 2 PM
    size_t i = 0;
    std::vector<int64_t>* current = &dateNums;
    while (i < text.size()) {
        char16_t c = text[i];
        if (IsBlank(c)) {
            ++i;
            continue;
        }
        if (c >= u'0' && c <= u'9') {
            int64_t n = 0;
            size_t start = i;
            while (i < text.size() && text[i] >= u'0' && text[i] <= u'9' && i - start < 9)
                n = n * 10 + (text[i++] - u'0');
            // A number followed by ':' starts the time.
            size_t j = i;
            while (j < text.size() && IsBlank(text[j]))
                ++j;
            if (j < text.size() && text[j] == u':' && current == &dateNums && timeNums.empty())
                current = &timeNums;
            current->push_back(n);
            continue;
        }
        if (c == u'/' || c == u'-' || c == u'.') {
            if (current != &dateNums)
                return false;
            char sep = static_cast<char>(c);
            if (dateSep && dateSep != sep)
                return false;
            dateSep = sep;
            ++i;
            continue;
        }
        if (c == u':') {
            if (current != &timeNums)
                return false;
            ++i;
            continue;
        }
        std::u16string word;
        while (i < text.size() &&
               ((text[i] >= u'a' && text[i] <= u'z') || (text[i] >= u'A' && text[i] <= u'Z')))
            word += text[i++];
        word = Lower(word);
        if (word == u"am" || word == u"a")
            ampm = 1;
        else if (word == u"pm" || word == u"p")
            ampm = 2;
        else
            return false;
    }
    double date = 0, time = 0;
    if (!dateNums.empty()) {
        if (dateNums.size() < 2 || dateNums.size() > 3 || !dateSep)
            return false;
        int64_t y, m, d;
        if (dateNums.size() == 2) { // month/day of this year is not supported: need the year
            return false;
        }
        if (dateNums[0] > 31) { // year first
            y = dateNums[0];
            m = dateNums[1];
            d = dateNums[2];
        } else {
            m = dateNums[0];
            d = dateNums[1];
            y = dateNums[2];
            if (m > 12 && d <= 12)
                std::swap(m, d);
        }
        if (m < 1 || m > 12 || d < 1 || d > 31 || y > 9999)
            return false;
        date = DateSerialOf(y, m, d);
        int yy, mm, dd, h, n, s;
        DateParts(date, &yy, &mm, &dd, &h, &n, &s);
        if (dd != d)
            return false; // 31 April and the like
    }
    if (!timeNums.empty()) {
        if (timeNums.size() > 3)
            return false;
        int64_t h = timeNums[0], n = timeNums.size() > 1 ? timeNums[1] : 0,
                s = timeNums.size() > 2 ? timeNums[2] : 0;
        if (ampm) {
            if (h < 1 || h > 12)
                return false;
            h = h % 12 + (ampm == 2 ? 12 : 0);
        }
        if (h > 23 || n > 59 || s > 59)
            return false;
        time = (h * 3600 + n * 60 + s) / 86400.0;
    } else if (ampm) {
        return false;
    }
    if (dateNums.empty() && timeNums.empty())
        return false;
    *serial = date < 0 ? date - time : date + time;
    return true;
}

double ToDate(const Value& v) {
    switch (v.type()) {
    case VT::Date:
        return v.dbl();
    case VT::String: {
        double d = 0;
        if (ParseDate(v.str(), &d))
            return d;
        if (ParseNumber(v.str(), &d))
            return d;
        Throw(kErrTypeMismatch);
    }
    default:
        return ToDouble(v);
    }
}

std::u16string TypeNameOf(const Value& v) {
    switch (v.type()) {
    case VT::Empty:
        return u"Empty";
    case VT::Null:
        return u"Null";
    case VT::Boolean:
        return u"Boolean";
    case VT::Byte:
        return u"Byte";
    case VT::Integer:
        return u"Integer";
    case VT::Long:
        return u"Long";
    case VT::Double:
        return u"Double";
    case VT::Currency:
        return u"Currency";
    case VT::Date:
        return u"Date";
    case VT::String:
        return u"String";
    case VT::Object:
        return v.object() ? v.object()->TypeName() : u"Nothing";
    case VT::Array:
        return u"Variant()";
    }
    return u"Unknown";
}

} // namespace platform::vbscript
