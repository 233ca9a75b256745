#include "automation/zuriruv_methods.h"

#include "automation/zuriruv_hex.h"
#include "mpa/mpa.h"

#include <algorithm>
#include <array>
#include <cassert>
#include <initializer_list>
#include <memory>
#include <new>
#include <stdexcept>
#include <utility>
#include <vector>

namespace automation {

using platform::com::E_FAIL;
using platform::com::E_INVALIDARG;
using platform::com::E_OUTOFMEMORY;
using platform::com::S_FALSE;
using platform::com::S_OK;

namespace {

// Nothing escapes a method: exhausted memory while formatting a result is
// E_OUTOFMEMORY like a refused working block.
template <class Fn> HRESULT Guarded(Fn&& fn) noexcept {
    try {
        return fn();
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (const std::length_error&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_FAIL;
    }
}

// A zero-filled block of bytes, or none when it exceeds the limit or cannot
// be had.
std::unique_ptr<uint8_t[]> AllocateBlock(size_t bytes, size_t limit) {
    if (bytes > limit)
        return nullptr;
    return std::unique_ptr<uint8_t[]>(new (std::nothrow) uint8_t[bytes]());
}

constexpr size_t kMaxOperands = 3;

// The working block of one call: an area of L bytes per operand, L being the
// largest token count plus 16, and a result area of resultFactor * L bytes,
// each operand decoded into the start of its area.
class WorkingBlock {
public:
    HRESULT Load(std::initializer_list<std::string_view> texts, int32_t resultFactor,
                 size_t limit) {
        assert(texts.size() <= kMaxOperands && "one area per operand");
        size_t largest = 0;
        size_t i = 0;
        for (std::string_view text : texts) {
            const size_t count = CountHexTokens(text);
            if (count == 0)
                return E_INVALIDARG;
            lengths_[i++] = count;
            largest = std::max(largest, count);
        }
        // The library counts bytes in 32 bits: a result area beyond that
        // cannot be used, whatever memory there is.
        if (largest > static_cast<size_t>(INT32_MAX / resultFactor - 16))
            return E_OUTOFMEMORY;
        area_ = static_cast<int32_t>(largest + 16);
        result_capacity_ = resultFactor * area_;
        operands_ = texts.size();
        block_ = AllocateBlock(
            static_cast<size_t>(area_) * operands_ + static_cast<size_t>(result_capacity_), limit);
        if (!block_)
            return E_OUTOFMEMORY;
        i = 0;
        for (std::string_view text : texts)
            DecodeHexTokens(text, Operand(i++));
        return S_OK;
    }

    uint8_t* Operand(size_t i) { return block_.get() + i * static_cast<size_t>(area_); }
    int32_t Length(size_t i) const { return static_cast<int32_t>(lengths_[i]); }
    // Capacity of each operand area, and of each L-byte part of the result.
    int32_t Capacity() const { return area_; }
    uint8_t* Result() { return Operand(operands_); }
    int32_t ResultCapacity() const { return result_capacity_; }

private:
    std::unique_ptr<uint8_t[]> block_;
    std::array<size_t, kMaxOperands> lengths_{};
    size_t operands_ = 0;
    int32_t area_ = 0;
    int32_t result_capacity_ = 0;
};

// Common course with a text result: the result starts null, the operands are
// loaded, and compute writes the text or reports a failure. The text is
// stored only on success.
template <class Compute>
HRESULT TextCourse(TextResult* out, std::initializer_list<std::string_view> texts,
                   int32_t resultFactor, size_t limit, Compute&& compute) {
    if (!out)
        return E_INVALIDARG;
    out->reset();
    return Guarded([&]() -> HRESULT {
        WorkingBlock work;
        HRESULT hr = work.Load(texts, resultFactor, limit);
        if (hr != S_OK)
            return hr;
        std::string text;
        hr = compute(work, text);
        if (hr == S_OK)
            *out = std::move(text);
        return hr;
    });
}

// The same with an integer result and its starting value.
template <class Compute>
HRESULT IntCourse(int32_t* out, int32_t start, std::initializer_list<std::string_view> texts,
                  size_t limit, Compute&& compute) {
    if (!out)
        return E_INVALIDARG;
    *out = start;
    return Guarded([&]() -> HRESULT {
        WorkingBlock work;
        const HRESULT hr = work.Load(texts, 1, limit);
        if (hr != S_OK)
            return hr;
        *out = compute(work);
        return S_OK;
    });
}

// A library length: formatted on success, E_INVALIDARG for -1.
HRESULT Formatted(const uint8_t* bytes, int32_t length, std::string& text) {
    if (length < 0)
        return E_INVALIDARG;
    text = FormatHexBytes(bytes, static_cast<size_t>(length));
    return S_OK;
}

using BinaryOp = int32_t (*)(const uint8_t*, int32_t, const uint8_t*, int32_t, uint8_t*, int32_t);
using TestOp = int32_t (*)(const uint8_t*, int32_t, int32_t);

HRESULT BinaryCourse(BinaryOp op, std::string_view a, std::string_view b, TextResult* out,
                     size_t limit) {
    return TextCourse(out, {a, b}, 1, limit, [&](WorkingBlock& w, std::string& text) {
        const int32_t n = op(w.Operand(0), w.Length(0), w.Operand(1), w.Length(1), w.Result(),
                             w.ResultCapacity());
        return Formatted(w.Result(), n, text);
    });
}

HRESULT TestCourse(TestOp op, std::string_view n, int32_t trials, int32_t* out, size_t limit) {
    return IntCourse(out, -1, {n}, limit,
                     [&](WorkingBlock& w) { return op(w.Operand(0), w.Length(0), trials); });
}

} // namespace

ZuriruvCore::ZuriruvCore(SendText send, IsWindow isWindow)
    : send_(std::move(send)), is_window_(std::move(isWindow)) {}

bool ZuriruvCore::ConsoleExists() const {
    if (console_ == 0 || !send_)
        return false;
    return !is_window_ || is_window_(console_);
}

HRESULT ZuriruvCore::SetConsoleHandle(int32_t hConsole, int32_t nMsg) {
    console_ = static_cast<uint32_t>(hConsole);
    output_message_ = static_cast<uint32_t>(nMsg);
    return S_OK;
}

HRESULT ZuriruvCore::Output(std::string_view pbstr) {
    return Guarded([&]() -> HRESULT {
        if (!ConsoleExists())
            return S_FALSE;
        std::string text;
        text.reserve(pbstr.size() + 2);
        text.append(pbstr).append("\r\n");
        send_(console_, output_message_, text);
        return S_OK;
    });
}

HRESULT ZuriruvCore::BitCount(std::string_view pbstr, int32_t* pnBitCount) {
    return IntCourse(pnBitCount, 0, {pbstr}, working_limit_,
                     [](WorkingBlock& w) { return MPA_BitCount(w.Operand(0), w.Length(0)); });
}

HRESULT ZuriruvCore::BitLeftShift(std::string_view pbstrHex, int32_t nShift,
                                  TextResult* ppbstrSft) {
    return TextCourse(
        ppbstrSft, {pbstrHex}, 1, working_limit_, [&](WorkingBlock& w, std::string& text) {
            const int32_t n =
                MPA_BitLshift(w.Operand(0), w.Length(0), nShift, w.Result(), w.ResultCapacity());
            return Formatted(w.Result(), n, text);
        });
}

HRESULT ZuriruvCore::BitRightShift(std::string_view pbstrHex, int32_t nShift,
                                   TextResult* ppbstrSft) {
    return TextCourse(
        ppbstrSft, {pbstrHex}, 1, working_limit_, [&](WorkingBlock& w, std::string& text) {
            const int32_t n =
                MPA_BitRshift(w.Operand(0), w.Length(0), nShift, w.Result(), w.ResultCapacity());
            return Formatted(w.Result(), n, text);
        });
}

HRESULT ZuriruvCore::BitNot(std::string_view pbstrSrc, TextResult* ppbstrDest) {
    return TextCourse(
        ppbstrDest, {pbstrSrc}, 1, working_limit_, [](WorkingBlock& w, std::string& text) {
            const int32_t n = MPA_BitNot(w.Operand(0), w.Length(0), w.Result(), w.ResultCapacity());
            return Formatted(w.Result(), n, text);
        });
}

HRESULT ZuriruvCore::BitAnd(std::string_view pbstrOp1, std::string_view pbstrOp2,
                            TextResult* ppbstrRes) {
    return BinaryCourse(&MPA_BitAnd, pbstrOp1, pbstrOp2, ppbstrRes, working_limit_);
}

HRESULT ZuriruvCore::BitOr(std::string_view pbstrOp1, std::string_view pbstrOp2,
                           TextResult* ppbstrRes) {
    return BinaryCourse(&MPA_BitOr, pbstrOp1, pbstrOp2, ppbstrRes, working_limit_);
}

HRESULT ZuriruvCore::BitXor(std::string_view pbstrOp1, std::string_view pbstrOp2,
                            TextResult* ppbstrRes) {
    return BinaryCourse(&MPA_BitXor, pbstrOp1, pbstrOp2, ppbstrRes, working_limit_);
}

HRESULT ZuriruvCore::GenRandomBits(int32_t nBits, TextResult* ppbstrOut) {
    if (!ppbstrOut)
        return E_INVALIDARG;
    ppbstrOut->reset();
    if (nBits <= 0)
        return E_INVALIDARG;
    return Guarded([&]() -> HRESULT {
        const int32_t length = static_cast<int32_t>((static_cast<int64_t>(nBits) + 7) / 8);
        auto block = AllocateBlock(static_cast<size_t>(length), working_limit_);
        if (!block)
            return E_OUTOFMEMORY;
        const int32_t n = MPA_GenRandomBits(block.get(), length, nBits);
        if (n <= 0)
            return E_INVALIDARG;
        *ppbstrOut = FormatHexBytes(block.get(), static_cast<size_t>(n));
        return S_OK;
    });
}

HRESULT ZuriruvCore::Compare(std::string_view pbstrHex1, std::string_view pbstrHex2,
                             int32_t* pnCmpVal) {
    return IntCourse(pnCmpVal, -1, {pbstrHex1, pbstrHex2}, working_limit_, [](WorkingBlock& w) {
        return MPA_Compare(w.Operand(0), w.Length(0), w.Operand(1), w.Length(1));
    });
}

HRESULT ZuriruvCore::Add(std::string_view pbstrOp1, std::string_view pbstrOp2,
                         TextResult* ppbstrRes) {
    return TextCourse(
        ppbstrRes, {pbstrOp1, pbstrOp2}, 1, working_limit_, [](WorkingBlock& w, std::string& text) {
            int32_t carry = 0;
            const int32_t n = MPA_Add(w.Operand(0), w.Length(0), w.Operand(1), w.Length(1),
                                      w.Result(), w.ResultCapacity(), &carry);
            const HRESULT hr = Formatted(w.Result(), n, text);
            if (hr == S_OK && carry)
                text.insert(0, "01 ");
            return hr;
        });
}

HRESULT ZuriruvCore::Subtract(std::string_view pbstrOp1, std::string_view pbstrOp2,
                              TextResult* ppbstrRes) {
    return TextCourse(
        ppbstrRes, {pbstrOp1, pbstrOp2}, 1, working_limit_, [](WorkingBlock& w, std::string& text) {
            uint8_t *a = w.Operand(0), *b = w.Operand(1), *r = w.Result();
            const int32_t aLen = w.Length(0), bLen = w.Length(1), cap = w.ResultCapacity();
            const int32_t order = MPA_Compare(a, aLen, b, bLen);
            if (order == 0) {
                // Also for 00 - 00, which the library writes as the byte 00.
                text.clear();
                return S_OK;
            }
            if (order > 0)
                return Formatted(r, MPA_Subtract(a, aLen, b, bLen, r, cap), text);
            // Op1 < Op2: 256^k - d for the k-byte d = Op2 - Op1, as (NOT d) + 1.
            // d is at least 1, so the increment never carries out of k bytes.
            const int32_t k = MPA_Subtract(b, bLen, a, aLen, r, cap);
            if (k <= 0 || MPA_BitNot(r, k, r, cap) != k)
                return E_INVALIDARG;
            const uint8_t one = 1;
            int32_t carry = 0;
            return Formatted(r, MPA_Add(r, k, &one, 1, r, cap, &carry), text);
        });
}

HRESULT ZuriruvCore::Multiply(std::string_view pbstrOp1, std::string_view pbstrOp2,
                              TextResult* ppbstrRes) {
    return TextCourse(
        ppbstrRes, {pbstrOp1, pbstrOp2}, 2, working_limit_, [](WorkingBlock& w, std::string& text) {
            const int32_t n = MPA_Multiply(w.Operand(0), w.Length(0), w.Operand(1), w.Length(1),
                                           w.Result(), w.ResultCapacity());
            return Formatted(w.Result(), n, text);
        });
}

HRESULT ZuriruvCore::Divide(std::string_view pbstrOp1, std::string_view pbstrOp2,
                            TextResult* ppbstrRes) {
    // The result area holds the quotient and, after it, the discarded remainder.
    return TextCourse(ppbstrRes, {pbstrOp1, pbstrOp2}, 2, working_limit_,
                      [](WorkingBlock& w, std::string& text) {
                          int32_t quotientSize = w.Capacity(), remainderSize = w.Capacity();
                          uint8_t* quotient = w.Result();
                          uint8_t* remainder = quotient + w.Capacity();
                          if (MPA_Divide(w.Operand(0), w.Length(0), w.Operand(1), w.Length(1),
                                         quotient, &quotientSize, remainder, &remainderSize) == 0)
                              return E_INVALIDARG;
                          return Formatted(quotient, quotientSize, text);
                      });
}

HRESULT ZuriruvCore::Mod(std::string_view pbstrOp1, std::string_view pbstrOp2,
                         TextResult* ppbstrRes) {
    return BinaryCourse(&MPA_Modular, pbstrOp1, pbstrOp2, ppbstrRes, working_limit_);
}

HRESULT ZuriruvCore::Pow2(std::string_view pbstrOp, TextResult* ppbstrRes) {
    return TextCourse(
        ppbstrRes, {pbstrOp}, 2, working_limit_, [](WorkingBlock& w, std::string& text) {
            const int32_t n = MPA_Multiply(w.Operand(0), w.Length(0), w.Operand(0), w.Length(0),
                                           w.Result(), w.ResultCapacity());
            return Formatted(w.Result(), n, text);
        });
}

HRESULT ZuriruvCore::ModPow2(std::string_view pbstrBase, std::string_view pbstrMod,
                             TextResult* ppbstrRes) {
    return TextCourse(ppbstrRes, {pbstrBase, pbstrMod}, 1, working_limit_,
                      [](WorkingBlock& w, std::string& text) {
                          const uint8_t two = 2;
                          const int32_t n =
                              MPA_ModPow(w.Operand(0), w.Length(0), &two, 1, w.Operand(1),
                                         w.Length(1), w.Result(), w.ResultCapacity());
                          return Formatted(w.Result(), n, text);
                      });
}

HRESULT ZuriruvCore::ModPow(std::string_view pbstrBase, std::string_view pbstrPow,
                            std::string_view pbstrMod, TextResult* ppbstrRes) {
    return TextCourse(ppbstrRes, {pbstrBase, pbstrPow, pbstrMod}, 1, working_limit_,
                      [](WorkingBlock& w, std::string& text) {
                          const int32_t n =
                              MPA_ModPow(w.Operand(0), w.Length(0), w.Operand(1), w.Length(1),
                                         w.Operand(2), w.Length(2), w.Result(), w.ResultCapacity());
                          return Formatted(w.Result(), n, text);
                      });
}

HRESULT ZuriruvCore::GCD(std::string_view pbstrOp1, std::string_view pbstrOp2,
                         TextResult* ppbstrRes) {
    return TextCourse(ppbstrRes, {pbstrOp1, pbstrOp2}, 1, working_limit_,
                      [](WorkingBlock& w, std::string& text) {
                          // The operand areas are the library's work space.
                          const int32_t n = MPA_Gcd(w.Operand(0), w.Length(0), w.Operand(1),
                                                    w.Length(1), w.Result(), w.ResultCapacity());
                          return Formatted(w.Result(), n, text);
                      });
}

HRESULT ZuriruvCore::ModInverse(std::string_view pbstrOp1, std::string_view pbstrOp2,
                                TextResult* ppbstrRes) {
    return TextCourse(
        ppbstrRes, {pbstrOp1, pbstrOp2}, 1, working_limit_, [](WorkingBlock& w, std::string& text) {
            const int32_t n = MPA_ModInverse(w.Operand(0), w.Length(0), w.Operand(1), w.Length(1),
                                             w.Result(), w.ResultCapacity());
            if (n == 0) {
                text.assign(1, '0'); // no inverse
                return S_OK;
            }
            return Formatted(w.Result(), n, text);
        });
}

HRESULT ZuriruvCore::FermatTest(std::string_view pbstrHex, int32_t nTimes, int32_t* pnVal) {
    return TestCourse(&MPA_FermatTest, pbstrHex, nTimes, pnVal, working_limit_);
}

HRESULT ZuriruvCore::SolovayStrassenTest(std::string_view pbstrHex, int32_t nTimes,
                                         int32_t* pnVal) {
    return TestCourse(&MPA_SolovayStrassenTest, pbstrHex, nTimes, pnVal, working_limit_);
}

HRESULT ZuriruvCore::MillerRabinTest(std::string_view pbstrHex, int32_t nTimes, int32_t* pnVal) {
    return TestCourse(&MPA_MillerRabinTest, pbstrHex, nTimes, pnVal, working_limit_);
}

HRESULT ZuriruvCore::Swap(std::string_view pbstrHex, int32_t nUnit, TextResult* ppbstrRes) {
    if (!ppbstrRes)
        return E_INVALIDARG;
    ppbstrRes->reset();
    if (nUnit < 0)
        return E_INVALIDARG;
    return Guarded([&]() -> HRESULT {
        const size_t count = CountHexTokens(pbstrHex);
        if (count == 0)
            return E_INVALIDARG;
        std::vector<std::string_view> tokens = HexTokens(pbstrHex);
        const size_t unit = nUnit == 1 ? count : static_cast<size_t>(nUnit);
        if (unit > 1) {
            for (size_t start = 0; start < count; start += unit)
                std::reverse(tokens.begin() + static_cast<ptrdiff_t>(start),
                             tokens.begin() +
                                 static_cast<ptrdiff_t>(std::min(start + unit, count)));
        }
        std::string text;
        text.reserve(pbstrHex.size() + count);
        for (std::string_view token : tokens)
            text.append(token).push_back(' ');
        *ppbstrRes = std::move(text);
        return S_OK;
    });
}

HRESULT ZuriruvCore::SetCryptHandle(int32_t hCrypt) {
    MPA_SetCryptHandle(static_cast<uint32_t>(hCrypt));
    return S_OK;
}

HRESULT ZuriruvCore::MillerRabinSearch(int32_t nBits, int32_t nTest, TextResult* ppbstrRes) {
    if (!ppbstrRes)
        return E_INVALIDARG;
    ppbstrRes->reset();
    // Below 9 bits every candidate is 1 or has a small factor: the search
    // would never end.
    if (nBits < 9)
        return E_INVALIDARG;
    return Guarded([&]() -> HRESULT {
        const int32_t length = static_cast<int32_t>((static_cast<int64_t>(nBits) + 7) / 8);
        auto block = AllocateBlock(static_cast<size_t>(length) + 4, working_limit_);
        if (!block)
            return E_OUTOFMEMORY;
        if (MPA_MillerRabinSearch(nBits, nTest, block.get(), length + 4) < 0)
            return E_INVALIDARG;
        // All ceil(nBits / 8) bytes as drawn, a leading 00 included.
        *ppbstrRes = FormatHexBytes(block.get(), static_cast<size_t>(length));
        return S_OK;
    });
}

namespace {

constexpr ParamType kText = ParamType::Text;
constexpr ParamType kLong = ParamType::Long;
constexpr ParamType kInt = ParamType::Int;
constexpr ParamDirection kIn = ParamDirection::In;
constexpr ParamDirection kOut = ParamDirection::OutRetval;

constexpr ParamInfo kSetConsoleHandle[] = {{"hConsole", kLong, kIn}, {"nMsg", kInt, kIn}};
constexpr ParamInfo kOutput[] = {{"pbstr", kText, kIn}};
constexpr ParamInfo kBitCount[] = {{"pbstr", kText, kIn}, {"pnBitCount", kInt, kOut}};
constexpr ParamInfo kShift[] = {
    {"pbstrHex", kText, kIn}, {"nShift", kInt, kIn}, {"ppbstrSft", kText, kOut}};
constexpr ParamInfo kBitNot[] = {{"pbstrSrc", kText, kIn}, {"ppbstrDest", kText, kOut}};
constexpr ParamInfo kBinary[] = {
    {"pbstrOp1", kText, kIn}, {"pbstrOp2", kText, kIn}, {"ppbstrRes", kText, kOut}};
constexpr ParamInfo kGenRandomBits[] = {{"nBits", kInt, kIn}, {"ppbstrOut", kText, kOut}};
constexpr ParamInfo kCompare[] = {
    {"pbstrHex1", kText, kIn}, {"pbstrHex2", kText, kIn}, {"pnCmpVal", kInt, kOut}};
constexpr ParamInfo kPow2[] = {{"pbstrOp", kText, kIn}, {"ppbstrRes", kText, kOut}};
constexpr ParamInfo kModPow2[] = {
    {"pbstrBase", kText, kIn}, {"pbstrMod", kText, kIn}, {"ppbstrRes", kText, kOut}};
constexpr ParamInfo kModPow[] = {{"pbstrBase", kText, kIn},
                                 {"pbstrPow", kText, kIn},
                                 {"pbstrMod", kText, kIn},
                                 {"ppbstrRes", kText, kOut}};
constexpr ParamInfo kTest[] = {
    {"pbstrHex", kText, kIn}, {"nTimes", kInt, kIn}, {"pnVal", kInt, kOut}};
constexpr ParamInfo kSwap[] = {
    {"pbstrHex", kText, kIn}, {"nUnit", kInt, kIn}, {"ppbstrRes", kText, kOut}};
constexpr ParamInfo kSetCryptHandle[] = {{"hCrypt", kLong, kIn}};
constexpr ParamInfo kMillerRabinSearch[] = {
    {"nBits", kInt, kIn}, {"nTest", kInt, kIn}, {"ppbstrRes", kText, kOut}};

constexpr MethodInfo kMethods[] = {
    {1, "SetConsoleHandle", kSetConsoleHandle, "method SetConsoleHandle"},
    {2, "Output", kOutput, "method Output"},
    {3, "BitCount", kBitCount, "method BitCount"},
    {4, "BitLeftShift", kShift, "method BitLeftShift"},
    {5, "BitRightShift", kShift, "method BitRightShift"},
    {6, "BitNot", kBitNot, "method BitNot"},
    {7, "BitAnd", kBinary, "method BitAnd"},
    {8, "BitOr", kBinary, "method BitOr"},
    {9, "BitXor", kBinary, "method BitXor"},
    {10, "GenRandomBits", kGenRandomBits, "method GenRandomBits"},
    {11, "Compare", kCompare, "method Compare"},
    {12, "Add", kBinary, "method Add"},
    {13, "Subtract", kBinary, "method Subtract"},
    {14, "Multiply", kBinary, "method Multiply"},
    {15, "Divide", kBinary, "method Divide"},
    {16, "Mod", kBinary, "method Mod"},
    {17, "Pow2", kPow2, "method Pow2"},
    {18, "ModPow2", kModPow2, "method ModPow2"},
    {19, "ModPow", kModPow, "method ModPow"},
    {20, "GCD", kBinary, "method GCD"},
    {21, "ModInverse", kBinary, "method ModInverse"},
    {22, "FermatTest", kTest, "method FermatTest"},
    {23, "SolovayStrassenTest", kTest, "method SolovayStrassenTest"},
    {24, "MillerRabinTest", kTest, "method MillerRabinTest"},
    {25, "Swap", kSwap, "method Swap"},
    {26, "SetCryptHandle", kSetCryptHandle, "method SetCryptHandle"},
    {27, "MillerRabinSearch", kMillerRabinSearch, "method MillerRabinSearch"},
};

} // namespace

std::span<const MethodInfo> ZuriruvMethods() {
    return kMethods;
}

} // namespace automation
