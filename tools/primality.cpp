#include "tools/primality.h"

#include "mpa/mpa.h"
#include "resources/ids.h"

namespace tools {

PrimalityVerdict RunPrimalityTest(PrimalityKind kind, const std::vector<uint8_t>& bytes,
                                  int rounds) {
    PrimalityVerdict v;
    v.message = ids::kMsgNotPrime;
    const uint8_t* n = bytes.data();
    const int32_t len = static_cast<int32_t>(bytes.size());
    switch (kind) {
    case PrimalityKind::Fermat:
        v.result = MPA_FermatTest(n, len, rounds);
        if (v.result > 0)
            v.message = ids::kMsgPassedFermat;
        break;
    case PrimalityKind::SolovayStrassen:
        v.result = MPA_SolovayStrassenTest(n, len, rounds);
        if (v.result > 0)
            v.message = ids::kMsgPassedSolovayStrassen;
        break;
    case PrimalityKind::MillerRabin:
        v.result = MPA_MillerRabinTest(n, len, rounds);
        if (v.result > 0)
            v.message = ids::kMsgPassedMillerRabin;
        break;
    case PrimalityKind::General:
        v.result = MPA_FermatTest(n, len, rounds);
        if (v.result > 0)
            v.result = MPA_SolovayStrassenTest(n, len, rounds);
        if (v.result > 0)
            v.result = MPA_MillerRabinTest(n, len, rounds);
        if (v.result > 0)
            v.message = ids::kMsgPassedAllThree;
        break;
    }
    if (v.result < 0) {
        v.message = ids::kMsgPrimalityInternal;
        v.error = true;
    }
    return v;
}

} // namespace tools
