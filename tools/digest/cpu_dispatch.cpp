#include "tools/digest/cpu_dispatch.h"

#include <atomic>
#include <cstdlib>
#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#endif

namespace digest {
namespace {

bool PortableRequested() {
    const char* v = std::getenv("ORDOVANE_PORTABLE");
    return v != nullptr && std::strcmp(v, "1") == 0;
}

std::atomic<bool>& FastFlag() {
    static std::atomic<bool> flag{!PortableRequested()};
    return flag;
}

struct CpuFeatures {
    bool sha = false;
    bool pclmul = false;
    bool bmi2 = false;
};

CpuFeatures Detect() {
    CpuFeatures f;
#if defined(__x86_64__) || defined(__i386__)
    unsigned a = 0, b = 0, c = 0, d = 0;
    if (!__get_cpuid(1, &a, &b, &c, &d))
        return f;
    bool sse41 = (c & bit_SSE4_1) != 0;
    bool ssse3 = (c & bit_SSSE3) != 0;
    f.pclmul = sse41 && (c & bit_PCLMUL) != 0;
    if (__get_cpuid_count(7, 0, &a, &b, &c, &d)) {
        f.sha = sse41 && ssse3 && (b & bit_SHA) != 0;
        f.bmi2 = (b & bit_BMI2) != 0;
    }
#endif
    return f;
}

const CpuFeatures& Features() {
    static const CpuFeatures f = Detect();
    return f;
}

} // namespace

bool FastPathsEnabled() {
    return FastFlag().load(std::memory_order_relaxed);
}

void SetFastPathsEnabled(bool enabled) {
    static const bool portableRequested = PortableRequested();
    FastFlag().store(enabled && !portableRequested, std::memory_order_relaxed);
}

bool CpuHasShaExtensions() {
    return Features().sha;
}

bool CpuHasBmi2() {
    return Features().bmi2;
}

bool CpuHasCarrylessMultiply() {
    return Features().pclmul;
}

} // namespace digest
