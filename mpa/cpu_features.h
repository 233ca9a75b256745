// Which processor features the arithmetic may use, read once from CPUID, and
// the switch that turns every fast path off: ORDOVANE_NO_FAST_PATHS set to
// anything but "" or "0" in the environment keeps the portable code.
#pragma once

namespace mpa {

struct CpuFeatures {
    bool bmi2 = false;
    bool adx = false;
    // AVX-512 foundation and IFMA, with the operating system saving the
    // 512-bit registers.
    bool avx512ifma = false;
};

// What the processor reports (whatever the switch says).
const CpuFeatures& DetectedCpuFeatures();

// False when ORDOVANE_NO_FAST_PATHS asks for the portable code.
bool FastPathsAllowed();

// Whether the BMI2/ADX row kernels are in use.
bool UsingAdxKernels();

// Whether odd-modulus powers use the AVX-512 IFMA Montgomery products.
bool UsingIfmaKernels();

// Test hook: selects the portable kernels (false) or the fastest the CPU
// allows (true, still subject to the switch). Not for concurrent use.
void SelectFastKernels(bool fast);

} // namespace mpa
