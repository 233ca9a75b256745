// Every method of the automation object on arbitrary strings and integers,
// as a script may pass them: each returns one of its documented codes, a
// failure leaves the starting value in place, and a text result is a hex
// byte list.
#include "fuzz_buffers.h"
#include "fuzz_expect.h"

#include "automation/zuriruv_methods.h"
#include "platform/com/hresult.h"

#include <cstdio>
#include <cstdlib>

namespace com = platform::com;
using automation::TextResult;
using automation::ZuriruvCore;
using com::HRESULT;

using fuzz::Expect;

namespace {

void CheckCode(HRESULT hr) {
    Expect(hr == com::S_OK || hr == com::S_FALSE || hr == com::E_INVALIDARG ||
               hr == com::E_OUTOFMEMORY,
           "undocumented result code");
}

void CheckText(HRESULT hr, const TextResult& r) {
    CheckCode(hr);
    if (com::FAILED(hr)) {
        Expect(!r, "failed method left a result");
        return;
    }
    Expect(r.has_value(), "no result text");
    for (char c : *r)
        Expect(c == ' ' || (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') ||
                   (c >= 'A' && c <= 'F'),
               "result is not a hex byte list");
}

void CheckInt(HRESULT hr, int32_t value, int32_t start) {
    CheckCode(hr);
    if (com::FAILED(hr))
        Expect(value == start, "failed method changed its result");
}

int32_t AnyInt(FuzzedDataProvider& in) {
    return in.ConsumeBool() ? in.ConsumeIntegralInRange<int32_t>(-16, 2100)
                            : in.ConsumeIntegral<int32_t>();
}

// Rounds of the primality tests: large counts only repeat the same work.
int32_t Rounds(FuzzedDataProvider& in) {
    return in.ConsumeIntegralInRange<int32_t>(-3, 6);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    srand(1);
    ZuriruvCore z([](uint32_t, uint32_t, const std::string&) { return 0; },
                  [](uint32_t hwnd) { return hwnd == 7; });
    z.SetWorkingLimit(1 << 20);
    const int method = in.ConsumeIntegralInRange<int>(1, 27);
    const std::string s1 = in.ConsumeRandomLengthString(400);
    const std::string s2 = in.ConsumeRandomLengthString(400);
    const int32_t n = AnyInt(in);
    const std::string s3 = in.ConsumeRemainingBytesAsString();
    TextResult t = std::string("unset");
    int32_t v = 12345;
    switch (method) {
    case 1:
        CheckCode(z.SetConsoleHandle(n, AnyInt(in)));
        break;
    case 2:
        z.SetConsoleHandle(7, 0x401);
        CheckCode(z.Output(s1));
        break;
    case 3:
        CheckInt(z.BitCount(s1, &v), v, 0);
        break;
    case 4:
        CheckText(z.BitLeftShift(s1, n, &t), t);
        break;
    case 5:
        CheckText(z.BitRightShift(s1, n, &t), t);
        break;
    case 6:
        CheckText(z.BitNot(s1, &t), t);
        break;
    case 7:
        CheckText(z.BitAnd(s1, s2, &t), t);
        break;
    case 8:
        CheckText(z.BitOr(s1, s2, &t), t);
        break;
    case 9:
        CheckText(z.BitXor(s1, s2, &t), t);
        break;
    case 10:
        CheckText(z.GenRandomBits(n, &t), t);
        break;
    case 11:
        CheckInt(z.Compare(s1, s2, &v), v, -1);
        break;
    case 12:
        CheckText(z.Add(s1, s2, &t), t);
        break;
    case 13:
        CheckText(z.Subtract(s1, s2, &t), t);
        break;
    case 14:
        CheckText(z.Multiply(s1, s2, &t), t);
        break;
    case 15:
        CheckText(z.Divide(s1, s2, &t), t);
        break;
    case 16:
        CheckText(z.Mod(s1, s2, &t), t);
        break;
    case 17:
        CheckText(z.Pow2(s1, &t), t);
        break;
    case 18:
        CheckText(z.ModPow2(s1, s2, &t), t);
        break;
    case 19:
        CheckText(z.ModPow(s1, s2, s3, &t), t);
        break;
    case 20:
        CheckText(z.GCD(s1, s2, &t), t);
        break;
    case 21:
        CheckText(z.ModInverse(s1, s2, &t), t);
        break;
    case 22:
        CheckInt(z.FermatTest(s1, Rounds(in), &v), v, -1);
        break;
    case 23:
        CheckInt(z.SolovayStrassenTest(s1, Rounds(in), &v), v, -1);
        break;
    case 24:
        CheckInt(z.MillerRabinTest(s1, Rounds(in), &v), v, -1);
        break;
    case 25:
        CheckText(z.Swap(s1, n, &t), t);
        break;
    case 26:
        CheckCode(z.SetCryptHandle(0));
        break;
    case 27: {
        // A search beyond a few hundred bits takes long; sizes past the
        // working limit must be refused at once.
        int32_t bits = n;
        if (bits > 160 && bits <= 8 * (1 << 20) + 64)
            bits = 160;
        CheckText(z.MillerRabinSearch(bits, Rounds(in), &t), t);
        break;
    }
    }
    // Null result pointers are refused, never written.
    if (method == 6)
        Expect(z.BitNot(s1, nullptr) == com::E_INVALIDARG, "null result accepted");
    return 0;
}
