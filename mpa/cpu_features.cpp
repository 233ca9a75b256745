#include "mpa/cpu_features.h"

#include "mpa/limb_ifma.h"
#include "mpa/limb_kernels.h"

#include <cstdlib>
#include <cstring>

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#include <cpuid.h>
#endif

namespace mpa {

// Constant-initialised, so that a product computed during another file's
// static initialisation is right; defined here so that linking the kernels
// also links the selection below.
limb::RowKernels limb::g_rowKernels = {&limb::portable::Mul1,        &limb::portable::AddMul1,
                                       &limb::portable::SubMul1,     &limb::portable::RedcRows,
                                       &limb::portable::SqrDiagonal, &limb::portable::MulBasecase,
                                       &limb::portable::Mul4x4};

namespace {

CpuFeatures Detect() {
    CpuFeatures f;
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
    unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
    if (__get_cpuid_max(0, nullptr) >= 7 && __get_cpuid_count(7, 0, &eax, &ebx, &ecx, &edx)) {
        f.bmi2 = (ebx >> 8) & 1;
        f.adx = (ebx >> 19) & 1;
        const bool avx512f = (ebx >> 16) & 1, ifma = (ebx >> 21) & 1;
        // The 512-bit state must be enabled by the OS: XCR0 bits 1, 2
        // (SSE, AVX) and 5 to 7 (opmask, upper halves, upper registers).
        unsigned a1 = 0, b1 = 0, c1 = 0, d1 = 0;
        if (avx512f && ifma && __get_cpuid(1, &a1, &b1, &c1, &d1) && ((c1 >> 27) & 1)) {
            unsigned lo = 0, hi = 0;
            __asm__("xgetbv" : "=a"(lo), "=d"(hi) : "c"(0));
            f.avx512ifma = (lo & 0xE6) == 0xE6;
        }
    }
#endif
    return f;
}

bool SwitchAllows() {
    const char* v = std::getenv("ORDOVANE_NO_FAST_PATHS");
    return v == nullptr || *v == '\0' || std::strcmp(v, "0") == 0;
}

bool g_usingAdx = false;
bool g_usingIfma = false;

// Runs once at load, after g_rowKernels got its portable constant value.
const bool g_selected = [] {
    SelectFastKernels(true);
    return true;
}();

} // namespace

const CpuFeatures& DetectedCpuFeatures() {
    static const CpuFeatures features = Detect();
    return features;
}

bool FastPathsAllowed() {
    static const bool allowed = SwitchAllows();
    return allowed;
}

bool UsingAdxKernels() {
    return g_usingAdx;
}

bool UsingIfmaKernels() {
    return g_usingIfma;
}

void SelectFastKernels(bool fast) {
    (void)g_selected;
    const CpuFeatures& f = DetectedCpuFeatures();
    g_usingAdx = fast && FastPathsAllowed() && limb::adx::Available() && f.bmi2 && f.adx;
    g_usingIfma = fast && FastPathsAllowed() && limb::ifma::Available() && f.avx512ifma;
    if (g_usingAdx)
        limb::g_rowKernels = {&limb::adx::Mul1,        &limb::adx::AddMul1,
                              &limb::adx::SubMul1,     &limb::adx::RedcRows,
                              &limb::adx::SqrDiagonal, &limb::adx::MulBasecase,
                              &limb::adx::Mul4x4};
    else
        limb::g_rowKernels = {&limb::portable::Mul1,        &limb::portable::AddMul1,
                              &limb::portable::SubMul1,     &limb::portable::RedcRows,
                              &limb::portable::SqrDiagonal, &limb::portable::MulBasecase,
                              &limb::portable::Mul4x4};
}

} // namespace mpa
