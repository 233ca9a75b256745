// Probabilistic primality tests, the random prime search and the two
// neighbour searches of the calculator.
#include "mpa/calculator_ops.h"
#include "mpa/guard.h"
#include "mpa/jacobi.h"
#include "mpa/mpa.h"
#include "mpa/natural.h"
#include "mpa/random_source.h"

#include <array>
#include <cstring>
#include <vector>

using mpa::Compare;
using mpa::Natural;

namespace {

enum class Test { Fermat, SolovayStrassen, MillerRabin };

// The 303 primes below 2000.
constexpr std::array<uint16_t, 303> kSmallPrimes = [] {
    std::array<uint16_t, 303> primes{};
    size_t count = 0;
    for (uint16_t c = 2; c < 2000; ++c) {
        bool prime = true;
        for (uint16_t d = 2; d * d <= c; ++d)
            if (c % d == 0) {
                prime = false;
                break;
            }
        if (prime)
            primes[count++] = c;
    }
    return primes;
}();

// Products of consecutive small primes that fit a limb, so that trial
// division costs one pass over the candidate per group.
struct PrimeGroup {
    mpa::limb::Divisor1 divisor;
    size_t first, last; // indices into kSmallPrimes, [first, last)
};

const std::vector<PrimeGroup>& SmallPrimeGroups() {
    static const std::vector<PrimeGroup> groups = [] {
        std::vector<PrimeGroup> g;
        size_t i = 0;
        while (i < kSmallPrimes.size()) {
            unsigned __int128 product = 1;
            size_t first = i;
            while (i < kSmallPrimes.size() && product * kSmallPrimes[i] <= UINT64_MAX)
                product *= kSmallPrimes[i++];
            g.push_back({mpa::limb::Divisor1(static_cast<uint64_t>(product)), first, i});
        }
        return g;
    }();
    return groups;
}

bool HasSmallFactor(const Natural& c) {
    for (const PrimeGroup& g : SmallPrimeGroups()) {
        uint64_t r = c.ModSmall(g.divisor);
        for (size_t k = g.first; k < g.last; ++k)
            if (r % kSmallPrimes[k] == 0)
                return true;
    }
    return false;
}

// A random base with 1 < a < s, drawn as bits(s) random bits; rejected
// draws are repeated and do not count as trials.
Natural DrawBase(const Natural& s, std::vector<uint8_t>& buf) {
    const size_t len = (s.BitLength() + 7) / 8;
    buf.resize(len);
    for (;;) {
        mpa::FillRandom(buf.data(), static_cast<int32_t>(len));
        Natural a = Natural::FromBytes(buf.data(), static_cast<int64_t>(len));
        if (Compare(a, Natural(1)) > 0 && Compare(a, s) < 0)
            return a;
    }
}

int RunTest(Test kind, const Natural& n, int32_t trials) {
    if (Compare(n, Natural(1)) <= 0)
        return 0;
    if (Compare(n, Natural(3)) <= 0)
        return 1;
    if (!n.IsOdd())
        return 0;
    const Natural one(1);
    const Natural s = n - one;
    std::vector<uint8_t> buf;
    if (kind == Test::Fermat) {
        for (int32_t t = 0; t < trials; ++t)
            if (!mpa::PowMod(DrawBase(s, buf), s, n).IsOne())
                return 0;
        return 1;
    }
    if (kind == Test::SolovayStrassen) {
        const Natural h = s >> 1;
        for (int32_t t = 0; t < trials; ++t) {
            Natural a = DrawBase(s, buf);
            Natural x = mpa::PowMod(a, h, n);
            bool isOne = x.IsOne(), isMinus = x == s;
            if (!isOne && !isMinus)
                return 0;
            int j = mpa::JacobiSymbol(a, n);
            if (j == -1 ? !isMinus : !(j == 1 && isOne))
                return 0;
        }
        return 1;
    }
    const size_t r = s.TrailingZeros();
    const Natural d = s >> r;
    for (int32_t t = 0; t < trials; ++t) {
        Natural y = mpa::PowMod(DrawBase(s, buf), d, n);
        if (y.IsOne() || y == s)
            continue;
        for (size_t k = 1; k < r; ++k) {
            if (y == s)
                break;
            y = (y * y) % n;
            if (y.IsOne())
                return 0;
        }
        if (!(y == s))
            return 0;
    }
    return 1;
}

int32_t TestEntry(Test kind, const uint8_t* n, int32_t nLen, int32_t trials) {
    if (!n || nLen <= 0 || trials <= 0)
        return -1;
    return mpa::Guarded(-1, [&] { return RunTest(kind, Natural::FromBytes(n, nLen), trials); });
}

// One trial first, then the remaining trials only for a candidate that passed it.
int PassesNeighbourTest(const Natural& c, int32_t trials) {
    int r = RunTest(Test::MillerRabin, c, 1);
    if (r <= 0 || trials == 1)
        return r;
    return RunTest(Test::MillerRabin, c, trials - 1);
}

} // namespace

extern "C" {

int32_t MPA_FermatTest(const uint8_t* n, int32_t nLen, int32_t trials) {
    return TestEntry(Test::Fermat, n, nLen, trials);
}

int32_t MPA_SolovayStrassenTest(const uint8_t* n, int32_t nLen, int32_t trials) {
    return TestEntry(Test::SolovayStrassen, n, nLen, trials);
}

int32_t MPA_MillerRabinTest(const uint8_t* n, int32_t nLen, int32_t trials) {
    return TestEntry(Test::MillerRabin, n, nLen, trials);
}

int32_t MPA_MillerRabinSearch(int32_t nBits, int32_t trials, uint8_t* out, int32_t outSize) {
    if (nBits <= 0 || trials <= 0 || !out)
        return -1;
    const int64_t len = (static_cast<int64_t>(nBits) + 7) / 8;
    if (outSize < len)
        return -1;
    // Below 9 bits every candidate is 1 or has a factor in the table, so the
    // search could never end.
    if (nBits < 9)
        return -1;
    return mpa::Guarded(-1, [&]() -> int32_t {
        std::vector<uint8_t> cand(static_cast<size_t>(len));
        for (;;) {
            do
                mpa::FillRandom(cand.data(), static_cast<int32_t>(len));
            while ((cand.back() & 1) == 0);
            Natural c = Natural::FromBytes(cand.data(), len);
            if (HasSmallFactor(c))
                continue;
            if (RunTest(Test::MillerRabin, c, trials) > 0)
                break;
        }
        std::memcpy(out, cand.data(), cand.size());
        return static_cast<int32_t>(len);
    });
}

} // extern "C"

namespace mpa {

int32_t NextPrime(const uint8_t* a, int32_t aLen, uint8_t* out, int32_t outSize, int32_t trials) {
    if (!a || !out || aLen <= 0 || trials <= 0 || outSize <= aLen)
        return -1;
    return Guarded(-1, [&]() -> int32_t {
        Natural v = Natural::FromBytes(a, aLen);
        if (Compare(v, Natural(2)) <= 0) {
            out[0] = v.Low() == 2 ? 3 : 2;
            return 1;
        }
        // The candidate keeps a's width and grows by a byte only on a carry.
        std::vector<uint8_t> c(a, a + aLen);
        auto addTwo = [&c](unsigned add) {
            for (size_t i = c.size(); i-- > 0 && add;) {
                unsigned s = c[i] + add;
                c[i] = static_cast<uint8_t>(s);
                add = s >> 8;
            }
            if (add)
                c.insert(c.begin(), 1);
        };
        if (c.back() & 1)
            addTwo(2);
        else
            c.back() |= 1;
        for (;;) {
            if (c.size() > static_cast<size_t>(aLen) + 1)
                return -1;
            int r = PassesNeighbourTest(Natural::FromBytes(c.data(), c.size()), trials);
            if (r < 0)
                return -1;
            if (r > 0)
                break;
            addTwo(2);
        }
        std::memcpy(out, c.data(), c.size());
        return static_cast<int32_t>(c.size());
    });
}

int32_t PrevPrime(const uint8_t* a, int32_t aLen, uint8_t* out, int32_t outSize, int32_t trials) {
    if (!a || !out || aLen <= 0 || trials <= 0 || outSize < aLen)
        return -1;
    return Guarded(-1, [&]() -> int32_t {
        Natural v = Natural::FromBytes(a, aLen);
        if (Compare(v, Natural(3)) <= 0) {
            if (v.Low() != 3)
                return -1;
            out[0] = 2;
            return 1;
        }
        const Natural two(2), three(3);
        Natural c = (v.IsOdd() ? v : v + Natural(1)) - two;
        while (Compare(c, three) >= 0) {
            int r = PassesNeighbourTest(c, trials);
            if (r < 0)
                return -1;
            if (r > 0)
                return c.WriteMinimal(out);
            c = c - two;
        }
        return -1;
    });
}

} // namespace mpa
