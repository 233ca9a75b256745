// Which instruction-set fast paths the digests and the CRC may use. The
// portable code is always built; setting the environment variable
// ORDOVANE_PORTABLE to 1 (or calling SetFastPathsEnabled(false)) forces it,
// so tests and CI can check both.
#pragma once

namespace digest {

// True unless ORDOVANE_PORTABLE=1 was set at start-up or a test turned the
// fast paths off. Read on every call: cheap (one relaxed atomic load).
bool FastPathsEnabled();

// Turns the fast paths on or off for the whole process (tests, benchmarks).
// Turning them on overrides neither ORDOVANE_PORTABLE nor the CPU checks.
void SetFastPathsEnabled(bool enabled);

// The CPU offers the SHA extensions (SHA-1 and SHA-256) with SSE4.1.
bool CpuHasShaExtensions();

// The CPU offers BMI2 (rotates and shifts that leave the flags alone).
bool CpuHasBmi2();

// The CPU offers carry-less multiplication (PCLMULQDQ) with SSE4.1.
bool CpuHasCarrylessMultiply();

} // namespace digest
