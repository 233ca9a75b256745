// The 25 exported arithmetic functions under hostile arguments: arbitrary
// lengths (zero and negative included), capacities and contents, every output
// in a block of exactly its stated capacity, outputs sometimes aliasing an
// input. Whatever a call reports as a result is checked against GMP.
#include "fuzz_buffers.h"

#include "mpa/mpa.h"

#include <gmp.h>

#include <algorithm>
#include <cstdlib>

namespace {

using fuzz::ExactBuffer;

// Operands stay small enough that the slow functions (powers, primality)
// keep the fuzzer fast.
constexpr int32_t kMaxLen = 160;

struct Operand {
    ExactBuffer buf;
    int32_t len; // as passed; > 0 only when buf holds that many bytes
};

Operand MakeOperand(FuzzedDataProvider& in) {
    int32_t len = fuzz::HostileCount(in, kMaxLen);
    std::vector<uint8_t> bytes = fuzz::OperandBytes(in, len);
    if (len > 0)
        len = static_cast<int32_t>(bytes.size());
    return {ExactBuffer(bytes), len};
}

// A capacity and its block of exactly that many bytes (none when <= 0).
struct Output {
    explicit Output(int32_t cap) : buf(cap > 0 ? static_cast<size_t>(cap) : 0), size(cap) {}
    ExactBuffer buf;
    int32_t size;
};

int32_t Capacity(FuzzedDataProvider& in) {
    return fuzz::HostileCount(in, 2 * kMaxLen + 8);
}

class Z {
public:
    Z() { mpz_init(v_); }
    explicit Z(unsigned long n) { mpz_init_set_ui(v_, n); }
    Z(const uint8_t* p, int32_t n) {
        mpz_init(v_);
        if (n > 0)
            mpz_import(v_, static_cast<size_t>(n), 1, 1, 1, 0, p);
    }
    ~Z() { mpz_clear(v_); }
    Z(const Z&) = delete;
    Z& operator=(const Z&) = delete;
    operator mpz_ptr() { return v_; }
    operator mpz_srcptr() const { return v_; }

private:
    mpz_t v_;
};

[[noreturn]] void Mismatch(const char* what) {
    std::fprintf(stderr, "MPA result differs from GMP: %s\n", what);
    std::abort();
}

void Expect(bool ok, const char* what) {
    if (!ok)
        Mismatch(what);
}

bool Equal(mpz_srcptr a, mpz_srcptr b) {
    return mpz_cmp(a, b) == 0;
}

// mpz_sgn is a macro that needs the pointer itself.
int SignOf(mpz_srcptr v) {
    return mpz_sgn(v);
}

int CmpUi(mpz_srcptr v, unsigned long n) {
    return mpz_cmp_ui(v, n);
}

int Sign(int c) {
    return (c > 0) - (c < 0);
}

using BinaryFn = int32_t (*)(const uint8_t*, int32_t, const uint8_t*, int32_t, uint8_t*, int32_t);

void Bitwise(FuzzedDataProvider& in, BinaryFn fn, void (*ref)(mpz_ptr, mpz_srcptr, mpz_srcptr)) {
    Operand a = MakeOperand(in), b = MakeOperand(in);
    Z A(a.buf.data(), a.len), B(b.buf.data(), b.len);
    if (in.ConsumeBool()) { // the result over the first operand
        int32_t r = fn(a.buf.data(), a.len, b.buf.data(), b.len, a.buf.data(), a.len);
        if (r > 0) {
            Expect(r <= a.len, "bitwise alias length");
            Z R(a.buf.data(), r), E;
            ref(E, A, B);
            Expect(Equal(R, E), "bitwise alias");
        }
        return;
    }
    Output out(Capacity(in));
    int32_t r = fn(a.buf.data(), a.len, b.buf.data(), b.len, out.buf.data(), out.size);
    if (r > 0) {
        Z R(out.buf.data(), r), E;
        ref(E, A, B);
        Expect(Equal(R, E), "bitwise");
    }
}

void Shift(FuzzedDataProvider& in, bool left) {
    Operand a = MakeOperand(in);
    int32_t shift = in.ConsumeBool() ? in.ConsumeIntegralInRange<int32_t>(0, 8 * kMaxLen + 16)
                                     : in.ConsumeIntegral<int32_t>();
    Output out(Capacity(in));
    Z A(a.buf.data(), a.len);
    int32_t r = left ? MPA_BitLshift(a.buf.data(), a.len, shift, out.buf.data(), out.size)
                     : MPA_BitRshift(a.buf.data(), a.len, shift, out.buf.data(), out.size);
    if (r > 0 && shift >= 0) {
        Expect(r == a.len, "shift length");
        Z R(out.buf.data(), r), E;
        if (left) {
            mpz_mul_2exp(E, A, static_cast<mp_bitcnt_t>(shift));
            mpz_tdiv_r_2exp(E, E, 8 * static_cast<mp_bitcnt_t>(a.len));
        } else {
            mpz_tdiv_q_2exp(E, A, static_cast<mp_bitcnt_t>(shift));
        }
        Expect(Equal(R, E), "shift");
    }
}

void BitNot(FuzzedDataProvider& in) {
    Operand a = MakeOperand(in);
    Output out(Capacity(in));
    Z A(a.buf.data(), a.len);
    int32_t r = MPA_BitNot(a.buf.data(), a.len, out.buf.data(), out.size);
    if (r > 0) {
        Expect(r == a.len, "not length");
        Z R(out.buf.data(), r), E;
        mpz_ui_pow_ui(E, 256, static_cast<unsigned long>(a.len));
        mpz_sub_ui(E, E, 1);
        mpz_sub(E, E, A);
        Expect(Equal(R, E), "not");
    }
}

void Add(FuzzedDataProvider& in) {
    Operand a = MakeOperand(in), b = MakeOperand(in);
    Output out(Capacity(in));
    Z A(a.buf.data(), a.len), B(b.buf.data(), b.len);
    int32_t carry = -7;
    int32_t r = MPA_Add(a.buf.data(), a.len, b.buf.data(), b.len, out.buf.data(), out.size, &carry);
    if (r > 0) {
        Expect(r == std::max(a.len, b.len) && (carry == 0 || carry == 1), "add length");
        Z R(out.buf.data(), r), S, C;
        mpz_add(S, A, B);
        mpz_ui_pow_ui(C, 256, static_cast<unsigned long>(r));
        mpz_mul_ui(C, C, static_cast<unsigned long>(carry));
        mpz_add(R, R, C);
        Expect(Equal(R, S), "add");
    }
}

void Subtract(FuzzedDataProvider& in) {
    Operand a = MakeOperand(in), b = MakeOperand(in);
    bool alias = in.ConsumeBool();
    Output out(alias ? 0 : Capacity(in));
    Z A(a.buf.data(), a.len), B(b.buf.data(), b.len);
    uint8_t* dst = alias ? a.buf.data() : out.buf.data();
    int32_t r =
        MPA_Subtract(a.buf.data(), a.len, b.buf.data(), b.len, dst, alias ? a.len : out.size);
    if (r >= 0 && a.len > 0 && b.len > 0) {
        Z R(dst, r), D;
        mpz_sub(D, A, B);
        Expect(Equal(R, D), "subtract");
    }
}

void Multiply(FuzzedDataProvider& in) {
    Operand a = MakeOperand(in), b = MakeOperand(in);
    Output out(Capacity(in));
    Z A(a.buf.data(), a.len), B(b.buf.data(), b.len);
    int32_t r = MPA_Multiply(a.buf.data(), a.len, b.buf.data(), b.len, out.buf.data(), out.size);
    if (r > 0) {
        Z R(out.buf.data(), r), P;
        mpz_mul(P, A, B);
        Expect(Equal(R, P), "multiply");
    }
}

void Divide(FuzzedDataProvider& in) {
    Operand a = MakeOperand(in), b = MakeOperand(in);
    Output q(Capacity(in)), rem(Capacity(in));
    int32_t qs = q.size, rs = rem.size;
    Z A(a.buf.data(), a.len), B(b.buf.data(), b.len);
    int32_t r = MPA_Divide(a.buf.data(), a.len, b.buf.data(), b.len, q.buf.data(), &qs,
                           rem.buf.data(), &rs);
    if (r == 1) {
        Expect(qs >= 0 && qs <= q.size && rs >= 0 && rs <= rem.size, "divide lengths");
        Z Q(q.buf.data(), qs), R(rem.buf.data(), rs), EQ, ER;
        Expect(SignOf(B) != 0, "divide by zero reported success");
        mpz_tdiv_qr(EQ, ER, A, B);
        Expect(Equal(Q, EQ) && Equal(R, ER), "divide");
    }
}

void Modular(FuzzedDataProvider& in) {
    Operand a = MakeOperand(in), m = MakeOperand(in);
    Output out(Capacity(in));
    Z A(a.buf.data(), a.len), M(m.buf.data(), m.len);
    int32_t r = MPA_Modular(a.buf.data(), a.len, m.buf.data(), m.len, out.buf.data(), out.size);
    if (r >= 0) {
        Expect(SignOf(M) != 0, "mod zero reported success");
        Z R(out.buf.data(), r), E;
        mpz_tdiv_r(E, A, M);
        Expect(Equal(R, E), "modular");
    }
}

void Barrett(FuzzedDataProvider& in) {
    Operand x = MakeOperand(in), m = MakeOperand(in);
    Z X(x.buf.data(), x.len), M(m.buf.data(), m.len);
    // Half the time the right mu, so that results can be checked.
    bool trueMu = in.ConsumeBool() && m.len > 0 && SignOf(M) != 0;
    Operand mu = trueMu ? Operand{ExactBuffer(0), 0} : MakeOperand(in);
    if (trueMu) {
        Z Mu;
        mpz_ui_pow_ui(Mu, 256, 2 * static_cast<unsigned long>(m.len));
        mpz_tdiv_q(Mu, Mu, M);
        std::vector<uint8_t> bytes((mpz_sizeinbase(Mu, 2) + 7) / 8);
        size_t n = 0;
        mpz_export(bytes.data(), &n, 1, 1, 1, 0, Mu);
        bytes.resize(n);
        mu = Operand{ExactBuffer(bytes), static_cast<int32_t>(n)};
    }
    Output out(Capacity(in));
    int32_t r = MPA_BarrettReduction(x.buf.data(), x.len, m.buf.data(), m.len, mu.buf.data(),
                                     mu.len, out.buf.data(), out.size);
    if (r >= 0 && trueMu) {
        Z R(out.buf.data(), r), E;
        mpz_tdiv_r(E, X, M);
        Expect(Equal(R, E), "barrett");
    }
}

void ModPow(FuzzedDataProvider& in) {
    Operand base = MakeOperand(in), e = MakeOperand(in), m = MakeOperand(in);
    Output out(Capacity(in));
    Z B(base.buf.data(), base.len), E(e.buf.data(), e.len), M(m.buf.data(), m.len);
    int32_t r = MPA_ModPow(base.buf.data(), base.len, e.buf.data(), e.len, m.buf.data(), m.len,
                           out.buf.data(), out.size);
    if (r >= 0) {
        Expect(SignOf(M) != 0 && SignOf(B) != 0, "modpow of zero reported success");
        Z R(out.buf.data(), r), X(1);
        if (SignOf(E) != 0)
            mpz_powm(X, B, E, M);
        Expect(Equal(R, X), "modpow");
    }
}

void Jacobi(FuzzedDataProvider& in) {
    Operand a = MakeOperand(in), n = MakeOperand(in);
    int32_t symbol = 99;
    Z A(a.buf.data(), a.len), N(n.buf.data(), n.len);
    int32_t r = MPA_Jacobi(a.buf.data(), a.len, n.buf.data(), n.len, &symbol);
    if (r == 1) {
        Expect(mpz_odd_p(static_cast<mpz_srcptr>(N)), "jacobi of even n reported success");
        Expect(symbol == (SignOf(A) == 0 ? 0 : mpz_jacobi(A, N)), "jacobi");
    }
}

// Gcd, ModInverse and ExtEuclid use their operands as work space.
void Gcd(FuzzedDataProvider& in) {
    Operand a = MakeOperand(in), b = MakeOperand(in);
    Output out(Capacity(in));
    Z A(a.buf.data(), a.len), B(b.buf.data(), b.len);
    int32_t r = MPA_Gcd(a.buf.data(), a.len, b.buf.data(), b.len, out.buf.data(), out.size);
    if (r >= 0) {
        Z R(out.buf.data(), r), G;
        mpz_gcd(G, A, B);
        Expect(Equal(R, G), "gcd");
    }
}

void ModInverse(FuzzedDataProvider& in) {
    Operand a = MakeOperand(in), m = MakeOperand(in);
    Output out(Capacity(in));
    Z A(a.buf.data(), a.len), M(m.buf.data(), m.len);
    int32_t r = MPA_ModInverse(a.buf.data(), a.len, m.buf.data(), m.len, out.buf.data(), out.size);
    if (r > 0 && CmpUi(M, 1) > 0) {
        Z X(out.buf.data(), r), P;
        mpz_mul(P, A, X);
        mpz_tdiv_r(P, P, M);
        Expect(CmpUi(P, 1) == 0, "modinverse");
    }
}

void ExtEuclid(FuzzedDataProvider& in) {
    Operand a = MakeOperand(in), b = MakeOperand(in);
    Output g(Capacity(in)), x(Capacity(in)), y(Capacity(in));
    int32_t xs = x.size, ys = y.size;
    // Lengths of 0 or less are refused before anything is written (the
    // finding of regressions/fuzz_mpa_exports/ext_euclid_*).
    if (a.len <= 0 || b.len <= 0) {
        Expect(MPA_ExtEuclid(a.buf.data(), a.len, b.buf.data(), b.len, g.buf.data(), g.size,
                             x.buf.data(), &xs, y.buf.data(), &ys) == -1,
               "exteuclid refuses lengths of 0 or less");
        return;
    }
    Z A(a.buf.data(), a.len), B(b.buf.data(), b.len);
    int32_t r = MPA_ExtEuclid(a.buf.data(), a.len, b.buf.data(), b.len, g.buf.data(), g.size,
                              x.buf.data(), &xs, y.buf.data(), &ys);
    if (r >= 0) {
        Expect(r <= g.size && xs >= 0 && xs <= x.size && ys >= 0 && ys <= y.size,
               "exteuclid lengths");
        Z R(g.buf.data(), r), G;
        mpz_gcd(G, A, B);
        Expect(Equal(R, G), "exteuclid");
    }
}

void PrimeTest(FuzzedDataProvider& in, int which) {
    Operand n = MakeOperand(in);
    int32_t trials =
        in.ConsumeBool() ? in.ConsumeIntegralInRange<int32_t>(1, 4) : in.ConsumeIntegral<int32_t>();
    if (trials > 4)
        trials = 4; // the count only repeats the same work
    Z N(n.buf.data(), n.len);
    int32_t r = which == 0   ? MPA_FermatTest(n.buf.data(), n.len, trials)
                : which == 1 ? MPA_SolovayStrassenTest(n.buf.data(), n.len, trials)
                             : MPA_MillerRabinTest(n.buf.data(), n.len, trials);
    Expect(r >= -1 && r <= 1, "prime test result");
    // No random base makes a prime fail any of the three tests.
    if (r == 0 && CmpUi(N, 5) >= 0 && mpz_sizeinbase(N, 2) <= 40)
        Expect(mpz_probab_prime_p(N, 20) == 0, "prime reported composite");
}

void GenRandomBits(FuzzedDataProvider& in) {
    int32_t bits = fuzz::HostileCount(in, 8 * (2 * kMaxLen + 8));
    Output out(Capacity(in));
    int32_t r = MPA_GenRandomBits(out.buf.data(), out.size, bits);
    Expect(r >= 0 && r <= std::max(out.size, 0), "random bits length");
    if (r > 0)
        Expect(r == (bits + 7) / 8, "random bits count");
}

void MillerRabinSearch(FuzzedDataProvider& in) {
    // Beyond a few hundred bits a search takes long; short and hostile sizes
    // are where the argument checks are.
    int32_t bits = in.ConsumeBool() ? in.ConsumeIntegralInRange<int32_t>(-16, 160)
                                    : in.ConsumeIntegral<int32_t>();
    int32_t trials = in.ConsumeIntegralInRange<int32_t>(-2, 3);
    int32_t cap = Capacity(in);
    const int64_t bytes = (int64_t{bits} + 7) / 8;
    if (bits > 160 && cap >= bytes)
        cap = static_cast<int32_t>(bytes - 1); // keep the search from running
    Output out(cap);
    int32_t r = MPA_MillerRabinSearch(bits, trials, out.buf.data(), out.size);
    if (r > 0) {
        Z P(out.buf.data(), r);
        Expect(CmpUi(P, 1999) > 0 && mpz_probab_prime_p(P, 20) != 0, "prime search");
    }
}

void Compare(FuzzedDataProvider& in) {
    Operand a = MakeOperand(in), b = MakeOperand(in);
    Z A(a.buf.data(), a.len), B(b.buf.data(), b.len);
    int32_t r = MPA_Compare(a.buf.data(), a.len, b.buf.data(), b.len);
    if (a.len > 0 && b.len > 0)
        Expect(r == Sign(mpz_cmp(A, B)), "compare");
    int32_t bits = MPA_BitCount(a.buf.data(), a.len);
    Expect(bits == (SignOf(A) == 0 ? 0 : static_cast<int32_t>(mpz_sizeinbase(A, 2))), "bitcount");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    srand(1); // the rand() fallback for random bytes: runs repeat exactly
    switch (in.ConsumeIntegralInRange<int>(0, 23)) {
    case 0:
        Compare(in);
        break;
    case 1:
        Shift(in, true);
        break;
    case 2:
        Shift(in, false);
        break;
    case 3:
        BitNot(in);
        break;
    case 4:
        Bitwise(in, MPA_BitAnd, mpz_and);
        break;
    case 5:
        Bitwise(in, MPA_BitOr, mpz_ior);
        break;
    case 6:
        Bitwise(in, MPA_BitXor, mpz_xor);
        break;
    case 7:
        Add(in);
        break;
    case 8:
        Subtract(in);
        break;
    case 9:
        Multiply(in);
        break;
    case 10:
        Divide(in);
        break;
    case 11:
        Modular(in);
        break;
    case 12:
        Barrett(in);
        break;
    case 13:
        ModPow(in);
        break;
    case 14:
        Jacobi(in);
        break;
    case 15:
        Gcd(in);
        break;
    case 16:
        ModInverse(in);
        break;
    case 17:
        ExtEuclid(in);
        break;
    case 18:
    case 19:
    case 20:
        PrimeTest(in, in.ConsumeIntegralInRange<int>(0, 2));
        break;
    case 21:
        GenRandomBits(in);
        break;
    case 22:
        MillerRabinSearch(in);
        break;
    case 23: {
        // No provider in this process: any handle leaves rand() as the source.
        uint32_t old = MPA_SetCryptHandle(in.ConsumeIntegral<uint32_t>());
        MPA_SetCryptHandle(old);
        break;
    }
    }
    return 0;
}
