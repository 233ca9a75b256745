#include "mpa/jacobi.h"

#include <utility>

namespace mpa {

int JacobiSymbol(Natural a, Natural n) {
    int s = 1;
    a = a % n;
    while (!a.IsZero()) {
        size_t tz = a.TrailingZeros();
        if (tz) {
            a = a >> tz;
            uint64_t r = n.Low() & 7;
            if ((tz & 1) && (r == 3 || r == 5))
                s = -s;
        }
        if ((a.Low() & 3) == 3 && (n.Low() & 3) == 3)
            s = -s;
        std::swap(a, n);
        a = a % n;
    }
    return n.IsOne() ? s : 0;
}

} // namespace mpa
