// Variants as scripts hold them: the value types of the language (Empty,
// Null, Boolean, Byte, Integer, Long, Double, Currency, Date, String,
// objects and Nothing, arrays), their reference counting, and the
// conversions between them that every operator and built-in shares.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace platform::vbscript {

// VarType numbers.
enum class VT : uint16_t {
    Empty = 0,
    Null = 1,
    Integer = 2,
    Long = 3,
    Double = 5,
    Currency = 6,
    Date = 7,
    String = 8,
    Object = 9,
    Boolean = 11,
    Byte = 17,
    Array = 8204, // array of variants
};

// Shared, reference-counted parts of values. Engines are single-threaded,
// so the counts are plain integers.
class Counted {
public:
    Counted() = default;
    Counted(const Counted&) = delete;
    Counted& operator=(const Counted&) = delete;
    void AddRef() noexcept { ++refs_; }
    void Release() noexcept {
        if (--refs_ == 0)
            Destroy();
    }
    int refs() const { return refs_; }

protected:
    virtual ~Counted() = default;
    // Called when the last reference goes; objects with a terminator
    // override it.
    virtual void Destroy() noexcept { delete this; }
    int refs_ = 0;
};

class Object;
class Value;

struct StringRep {
    int refs = 1;
    std::u16string text;
};

// A (possibly multi-dimensional) array, lower bounds 0, stored with the
// first index varying fastest, so that ReDim Preserve of the last dimension
// keeps every element where it is.
struct ArrayData {
    int refs = 1;
    std::vector<int32_t> upper; // upper bound per dimension, -1 for an empty dimension
    std::vector<Value> items;
    bool fixed = false; // declared with its size: ReDim refuses it
};

class Value {
public:
    Value() noexcept : type_(VT::Empty), cy_(0) {}
    ~Value() { Drop(); }
    Value(const Value& other) noexcept : type_(other.type_), cy_(other.cy_) { Hold(); }
    Value(Value&& other) noexcept : type_(other.type_), cy_(other.cy_) { other.type_ = VT::Empty; }
    Value& operator=(const Value& other) noexcept {
        if (this != &other) {
            Value copy(other);
            Swap(copy);
        }
        return *this;
    }
    Value& operator=(Value&& other) noexcept {
        if (this != &other) {
            Value moved(std::move(other));
            Swap(moved);
        }
        return *this;
    }
    void Swap(Value& other) noexcept {
        std::swap(type_, other.type_);
        std::swap(cy_, other.cy_);
    }

    static Value Null() { return Value(VT::Null); }
    static Value Boolean(bool b) {
        Value v(VT::Boolean);
        v.b_ = b;
        return v;
    }
    static Value Byte(uint8_t n) {
        Value v(VT::Byte);
        v.by_ = n;
        return v;
    }
    static Value Integer(int16_t n) {
        Value v(VT::Integer);
        v.i_ = n;
        return v;
    }
    static Value Long(int32_t n) {
        Value v(VT::Long);
        v.l_ = n;
        return v;
    }
    static Value Double(double d) {
        Value v(VT::Double);
        v.d_ = d;
        return v;
    }
    static Value Date(double d) {
        Value v(VT::Date);
        v.d_ = d;
        return v;
    }
    // Currency in units of 1/10000.
    static Value Currency(int64_t scaled) {
        Value v(VT::Currency);
        v.cy_ = scaled;
        return v;
    }
    static Value String(std::u16string text);
    // An object reference (null: Nothing); takes a new reference.
    static Value Object(class Object* object);
    static Value Nothing() { return Object(nullptr); }
    // Takes over the one reference of a new array.
    static Value Array(ArrayData* array);

    VT type() const { return type_; }
    bool IsEmpty() const { return type_ == VT::Empty; }
    bool IsNull() const { return type_ == VT::Null; }
    bool IsString() const { return type_ == VT::String; }
    bool IsObject() const { return type_ == VT::Object; }
    bool IsArray() const { return type_ == VT::Array; }
    bool IsNothing() const { return type_ == VT::Object && !o_; }
    // Byte, Integer, Long, Double, Currency, Date, Boolean or Empty.
    bool IsNumeric() const;

    bool boolean() const { return b_; }
    uint8_t byte() const { return by_; }
    int16_t integer() const { return i_; }
    int32_t lng() const { return l_; }
    double dbl() const { return d_; }
    int64_t currency() const { return cy_; }
    const std::u16string& str() const { return s_->text; }
    class Object* object() const {
        return o_;
    }
    ArrayData* array() const { return a_; }
    // The array, copied first when it is shared, so it can be changed.
    ArrayData* MutableArray();
    // The same value down to its storage (the same string, object or array,
    // not just an equal one).
    bool SameAs(const Value& other) const { return type_ == other.type_ && cy_ == other.cy_; }
    // Appends to a string value in place when nobody else holds it.
    void Append(std::u16string_view text);

private:
    explicit Value(VT type) : type_(type), cy_(0) {}
    void Hold() noexcept;
    void Drop() noexcept;

    VT type_;
    union {
        bool b_;
        uint8_t by_;
        int16_t i_;
        int32_t l_;
        double d_;
        int64_t cy_;
        StringRep* s_;
        class Object* o_;
        ArrayData* a_;
    };
};

// The longest string a script may build (in UTF-16 units); beyond it the
// operation fails with "Out of string space" instead of exhausting memory.
constexpr size_t kMaxStringLength = size_t{1} << 28;
// Throws "Out of string space" when length is beyond kMaxStringLength.
void CheckLength(size_t length);

// --- Conversions; each throws the script's error (Type mismatch, Overflow,
// Invalid use of Null) where the language does. ---

// A number read from text as the language reads it: optional blanks, sign,
// digits with fraction and exponent, or &H / &O integers. False when the
// text is no number.
bool ParseNumber(std::u16string_view text, double* out);
// Numbers, Booleans and Empty as a double; Dates as their serial; Strings
// parsed; anything else Type mismatch (Null: Invalid use of Null).
double ToDouble(const Value& v);
// Rounded half to even to a 32-bit integer; Overflow outside that range.
int32_t ToLong(const Value& v);
int16_t ToInteger(const Value& v);
bool ToBoolean(const Value& v);
// The text form: numbers as the language prints them, "True"/"False",
// dates in month/day/year form, Empty as "". Null: Invalid use of Null.
std::u16string ToString(const Value& v);
// A Date serial from a Date, a number or a date text.
double ToDate(const Value& v);
// Round half to even.
double RoundHalfEven(double d);
// The default member's value of an object (error 438 when it has none); the
// value itself otherwise.
Value Dereference(const Value& v);

std::u16string FormatDouble(double d);
std::u16string FormatCurrency(int64_t scaled);
std::u16string FormatDate(double serial);
// Date and time text: month/day/year, year-month-day, an optional time with
// AM/PM; false when it is none.
bool ParseDate(std::u16string_view text, double* serial);
// Serial <-> calendar; the serial counts days from 30 December 1899.
double DateSerialOf(int64_t year, int64_t month, int64_t day);
void DateParts(double serial, int* year, int* month, int* day, int* hour, int* minute, int* second);
int WeekdayOf(double serial); // 1 = Sunday

std::u16string Lower(std::u16string_view text);
std::u16string Upper(std::u16string_view text);
std::u16string FromAscii(std::string_view text);

// The value's type name as TypeName reports it.
std::u16string TypeNameOf(const Value& v);

} // namespace platform::vbscript
