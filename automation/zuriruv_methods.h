// The method logic of the Zuriruv automation object: hex byte strings in,
// hex byte strings and integers out, over the arithmetic library. No
// component-system types: the wrapper converts automation strings to and
// from UTF-8 and passes the object state's two hooks in.
//
// Every method returns S_OK, S_FALSE (Output only), E_INVALIDARG (invalid
// text, an integer argument out of range, a library failure or a null result
// pointer) or E_OUTOFMEMORY, and never throws (an exception out of a host
// hook becomes E_FAIL). Before anything else a method sets its result to the
// starting value (a null text, 0 for BitCount, -1 for Compare and the three
// tests), which a failing method leaves in place.
#pragma once

#include "platform/com/hresult.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace automation {

using platform::com::HRESULT;

// A text result; std::nullopt is the null automation string, distinct from
// the empty string (Subtract of equal operands).
using TextResult = std::optional<std::string>;

class ZuriruvCore {
public:
    // Stands in for SendMessageA(hwnd, msg, 0, text.c_str()); returns once the
    // window has handled the text.
    using SendText = std::function<int32_t(uint32_t hwnd, uint32_t msg, const std::string& text)>;
    // Whether hwnd is a live window. Without one, any handle but 0 counts.
    using IsWindow = std::function<bool(uint32_t hwnd)>;

    explicit ZuriruvCore(SendText send = {}, IsWindow isWindow = {});

    // Working blocks larger than this many bytes are refused as exhausted
    // memory (E_OUTOFMEMORY); lets a host cap what one script call may take.
    void SetWorkingLimit(size_t bytes) { working_limit_ = bytes; }

    uint32_t ConsoleHandle() const { return console_; }
    uint32_t OutputMessage() const { return output_message_; }

    // In virtual-table order; the parameter names are those of the type library.
    HRESULT SetConsoleHandle(int32_t hConsole, int32_t nMsg);
    // Sends pbstr plus CR LF to the console; S_FALSE, sending nothing, when
    // there is no console window.
    HRESULT Output(std::string_view pbstr);
    HRESULT BitCount(std::string_view pbstr, int32_t* pnBitCount);
    HRESULT BitLeftShift(std::string_view pbstrHex, int32_t nShift, TextResult* ppbstrSft);
    HRESULT BitRightShift(std::string_view pbstrHex, int32_t nShift, TextResult* ppbstrSft);
    HRESULT BitNot(std::string_view pbstrSrc, TextResult* ppbstrDest);
    HRESULT BitAnd(std::string_view pbstrOp1, std::string_view pbstrOp2, TextResult* ppbstrRes);
    HRESULT BitOr(std::string_view pbstrOp1, std::string_view pbstrOp2, TextResult* ppbstrRes);
    HRESULT BitXor(std::string_view pbstrOp1, std::string_view pbstrOp2, TextResult* ppbstrRes);
    HRESULT GenRandomBits(int32_t nBits, TextResult* ppbstrOut);
    HRESULT Compare(std::string_view pbstrHex1, std::string_view pbstrHex2, int32_t* pnCmpVal);
    // The sum keeps the longer operand's width; a carry out of it puts 01 in front.
    HRESULT Add(std::string_view pbstrOp1, std::string_view pbstrOp2, TextResult* ppbstrRes);
    // Op1 - Op2 without leading zero bytes ("" when equal); when Op1 < Op2 the
    // k-byte two's complement of the k-byte difference (01 - 02 gives ff).
    HRESULT Subtract(std::string_view pbstrOp1, std::string_view pbstrOp2, TextResult* ppbstrRes);
    HRESULT Multiply(std::string_view pbstrOp1, std::string_view pbstrOp2, TextResult* ppbstrRes);
    // The quotient only.
    HRESULT Divide(std::string_view pbstrOp1, std::string_view pbstrOp2, TextResult* ppbstrRes);
    HRESULT Mod(std::string_view pbstrOp1, std::string_view pbstrOp2, TextResult* ppbstrRes);
    HRESULT Pow2(std::string_view pbstrOp, TextResult* ppbstrRes);
    HRESULT ModPow2(std::string_view pbstrBase, std::string_view pbstrMod, TextResult* ppbstrRes);
    HRESULT ModPow(std::string_view pbstrBase, std::string_view pbstrPow, std::string_view pbstrMod,
                   TextResult* ppbstrRes);
    HRESULT GCD(std::string_view pbstrOp1, std::string_view pbstrOp2, TextResult* ppbstrRes);
    // Inverse of Op1 modulo Op2; the text "0" when there is none.
    HRESULT ModInverse(std::string_view pbstrOp1, std::string_view pbstrOp2, TextResult* ppbstrRes);
    // The library's 1, 0 or -1 (nTimes of 0 or less), with S_OK once the text is valid.
    HRESULT FermatTest(std::string_view pbstrHex, int32_t nTimes, int32_t* pnVal);
    HRESULT SolovayStrassenTest(std::string_view pbstrHex, int32_t nTimes, int32_t* pnVal);
    HRESULT MillerRabinTest(std::string_view pbstrHex, int32_t nTimes, int32_t* pnVal);
    // Reverses each group of nUnit tokens, counted from the first, writing the
    // tokens as they stood; nUnit 0 keeps the order, nUnit 1 reverses all.
    HRESULT Swap(std::string_view pbstrHex, int32_t nUnit, TextResult* ppbstrRes);
    // Sets the process-wide provider handle; the previous one is not released.
    HRESULT SetCryptHandle(int32_t hCrypt);
    // A probable prime of ceil(nBits / 8) bytes; nBits below 9 is refused,
    // since no candidate that short could ever be accepted.
    HRESULT MillerRabinSearch(int32_t nBits, int32_t nTest, TextResult* ppbstrRes);

private:
    bool ConsoleExists() const;

    SendText send_;
    IsWindow is_window_;
    uint32_t console_ = 0;
    uint32_t output_message_ = 0;
    size_t working_limit_ = SIZE_MAX;
};

// The type description of IZuriruv, for the wrapper's type information.
enum class ParamType { Text, Long, Int };
enum class ParamDirection { In, OutRetval };

struct ParamInfo {
    const char* name;
    ParamType type;
    ParamDirection direction;
};

struct MethodInfo {
    int32_t dispid;
    const char* name;
    std::span<const ParamInfo> params; // in order, the [out, retval] one last
    const char* help;
};

// The 27 methods in virtual-table order, dispatch ids 1 to 27.
std::span<const MethodInfo> ZuriruvMethods();

} // namespace automation
