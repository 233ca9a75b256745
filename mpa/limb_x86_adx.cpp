// Row kernels for x86-64 processors with BMI2 and ADX: mulx leaves the flags
// alone, so adcx (carry flag) and adox (overflow flag) carry two independent
// addition chains through a row without a stall. Loops count with lea and
// jrcxz, which keep both flags. Chosen at run time (see cpu_features.cpp).
#include "mpa/limb_kernels.h"

namespace mpa::limb::adx {

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))

bool Available() {
    return true;
}

limb_t Mul1(limb_t* r, const limb_t* a, size_t n, limb_t b) {
    // One chain: the low half of each product plus the previous high half.
    size_t blocks = n / 4, rest = n % 4;
    limb_t hi;
    __asm__ volatile("xor %%r8d, %%r8d\n\t" // previous high half; clears CF and OF
                     "mov %[blocks], %%rcx\n\t"
                     "jrcxz 2f\n\t"
                     "1:\n\t"
                     "mulx (%[a]), %%r9, %%r10\n\t"
                     "adcx %%r8, %%r9\n\t"
                     "mov %%r9, (%[r])\n\t"
                     "mulx 8(%[a]), %%r9, %%r8\n\t"
                     "adcx %%r10, %%r9\n\t"
                     "mov %%r9, 8(%[r])\n\t"
                     "mulx 16(%[a]), %%r9, %%r10\n\t"
                     "adcx %%r8, %%r9\n\t"
                     "mov %%r9, 16(%[r])\n\t"
                     "mulx 24(%[a]), %%r9, %%r8\n\t"
                     "adcx %%r10, %%r9\n\t"
                     "mov %%r9, 24(%[r])\n\t"
                     "lea 32(%[a]), %[a]\n\t"
                     "lea 32(%[r]), %[r]\n\t"
                     "lea -1(%%rcx), %%rcx\n\t"
                     "jrcxz 2f\n\t"
                     "jmp 1b\n\t"
                     "2:\n\t"
                     "mov %[rest], %%rcx\n\t"
                     "jrcxz 4f\n\t"
                     "3:\n\t"
                     "mulx (%[a]), %%r9, %%r10\n\t"
                     "adcx %%r8, %%r9\n\t"
                     "mov %%r9, (%[r])\n\t"
                     "mov %%r10, %%r8\n\t"
                     "lea 8(%[a]), %[a]\n\t"
                     "lea 8(%[r]), %[r]\n\t"
                     "lea -1(%%rcx), %%rcx\n\t"
                     "jrcxz 4f\n\t"
                     "jmp 3b\n\t"
                     "4:\n\t"
                     "mov $0, %%ecx\n\t"
                     "adcx %%rcx, %%r8\n\t"
                     "mov %%r8, %[hi]\n\t"
                     : [r] "+r"(r), [a] "+r"(a), [hi] "=r"(hi)
                     : [blocks] "r"(blocks), [rest] "r"(rest), "d"(b)
                     : "rcx", "r8", "r9", "r10", "cc", "memory");
    return hi;
}

__attribute__((always_inline)) inline limb_t AddMul1Row(limb_t* r, const limb_t* a, size_t n,
                                                        limb_t b) {
    // OF chain: low half plus the previous high half; CF chain: plus r[i].
    size_t blocks = n / 4, rest = n % 4;
    limb_t hi;
    __asm__ volatile("xor %%r8d, %%r8d\n\t"
                     "mov %[blocks], %%rcx\n\t"
                     "jrcxz 2f\n\t"
                     "1:\n\t"
                     "mulx (%[a]), %%r9, %%r10\n\t"
                     "adox %%r8, %%r9\n\t"
                     "adcx (%[r]), %%r9\n\t"
                     "mov %%r9, (%[r])\n\t"
                     "mulx 8(%[a]), %%r9, %%r8\n\t"
                     "adox %%r10, %%r9\n\t"
                     "adcx 8(%[r]), %%r9\n\t"
                     "mov %%r9, 8(%[r])\n\t"
                     "mulx 16(%[a]), %%r9, %%r10\n\t"
                     "adox %%r8, %%r9\n\t"
                     "adcx 16(%[r]), %%r9\n\t"
                     "mov %%r9, 16(%[r])\n\t"
                     "mulx 24(%[a]), %%r9, %%r8\n\t"
                     "adox %%r10, %%r9\n\t"
                     "adcx 24(%[r]), %%r9\n\t"
                     "mov %%r9, 24(%[r])\n\t"
                     "lea 32(%[a]), %[a]\n\t"
                     "lea 32(%[r]), %[r]\n\t"
                     "lea -1(%%rcx), %%rcx\n\t"
                     "jrcxz 2f\n\t"
                     "jmp 1b\n\t"
                     "2:\n\t"
                     "mov %[rest], %%rcx\n\t"
                     "jrcxz 4f\n\t"
                     "3:\n\t"
                     "mulx (%[a]), %%r9, %%r10\n\t"
                     "adox %%r8, %%r9\n\t"
                     "adcx (%[r]), %%r9\n\t"
                     "mov %%r9, (%[r])\n\t"
                     "mov %%r10, %%r8\n\t"
                     "lea 8(%[a]), %[a]\n\t"
                     "lea 8(%[r]), %[r]\n\t"
                     "lea -1(%%rcx), %%rcx\n\t"
                     "jrcxz 4f\n\t"
                     "jmp 3b\n\t"
                     "4:\n\t"
                     // The row's total is below B^(n+1), so the two pending
                     // carries fit into the high half.
                     "mov $0, %%ecx\n\t"
                     "adox %%rcx, %%r8\n\t"
                     "adcx %%rcx, %%r8\n\t"
                     "mov %%r8, %[hi]\n\t"
                     : [r] "+r"(r), [a] "+r"(a), [hi] "=r"(hi)
                     : [blocks] "r"(blocks), [rest] "r"(rest), "d"(b)
                     : "rcx", "r8", "r9", "r10", "cc", "memory");
    return hi;
}

limb_t AddMul1(limb_t* r, const limb_t* a, size_t n, limb_t b) {
    return AddMul1Row(r, a, n, b);
}

void MulBasecase(limb_t* r, const limb_t* a, size_t an, const limb_t* b, size_t bn) {
    r[an] = Mul1(r, a, an, b[0]);
    for (size_t j = 1; j < bn; ++j)
        r[an + j] = AddMul1Row(r + j, a, an, b[j]);
}

void Mul4x4(limb_t* r, const limb_t* a, const limb_t* b) {
    // Row j adds a * b[j] into columns j..j+4, held in a window of five
    // registers that moves up one column per row; column j is final after row
    // j and is stored, and its register takes column j+5. Within a row the
    // low halves run on CF, the high halves on OF; the last column starts
    // from the top high half and takes both pending carries.
#define ORDOVANE_ROW(OFF, C0, C1, C2, C3, C4)                                                      \
    "xor %%eax, %%eax\n\t"                                                                         \
    "mov " #OFF "(%[b]), %%rdx\n\t"                                                                \
    "mulx (%[a]), %%r14, %%r15\n\t"                                                                \
    "adcx %%r14, " C0 "\n\t"                                                                       \
    "adox %%r15, " C1 "\n\t"                                                                       \
    "mulx 8(%[a]), %%r14, %%r15\n\t"                                                               \
    "adcx %%r14, " C1 "\n\t"                                                                       \
    "adox %%r15, " C2 "\n\t"                                                                       \
    "mulx 16(%[a]), %%r14, %%r15\n\t"                                                              \
    "adcx %%r14, " C2 "\n\t"                                                                       \
    "adox %%r15, " C3 "\n\t"                                                                       \
    "mulx 24(%[a]), %%r14, " C4 "\n\t"                                                             \
    "adcx %%r14, " C3 "\n\t"                                                                       \
    "adox %%rax, " C4 "\n\t"                                                                       \
    "adcx %%rax, " C4 "\n\t"                                                                       \
    "mov " C0 ", " #OFF "(%[r])\n\t"
    __asm__ volatile(
        // Row 0 sets columns 0..4 (r8..r12).
        "xor %%eax, %%eax\n\t"
        "mov (%[b]), %%rdx\n\t"
        "mulx (%[a]), %%r8, %%r9\n\t"
        "mulx 8(%[a]), %%r14, %%r10\n\t"
        "adcx %%r14, %%r9\n\t"
        "mulx 16(%[a]), %%r14, %%r11\n\t"
        "adcx %%r14, %%r10\n\t"
        "mulx 24(%[a]), %%r14, %%r12\n\t"
        "adcx %%r14, %%r11\n\t"
        "adcx %%rax, %%r12\n\t"
        "mov %%r8, (%[r])\n\t" //
        ORDOVANE_ROW(8, "%%r9", "%%r10", "%%r11", "%%r12",
                     "%%r13") ORDOVANE_ROW(16, "%%r10", "%%r11", "%%r12", "%%r13", "%%r8")
            ORDOVANE_ROW(24, "%%r11", "%%r12", "%%r13", "%%r8", "%%r9") "mov %%r12, 32(%[r])\n\t"
                                                                        "mov %%r13, 40(%[r])\n\t"
                                                                        "mov %%r8, 48(%[r])\n\t"
                                                                        "mov %%r9, 56(%[r])\n\t"
        :
        : [r] "r"(r), [a] "r"(a), [b] "r"(b)
        : "rax", "rdx", "r8", "r9", "r10", "r11", "r12", "r13", "r14", "r15", "cc", "memory");
#undef ORDOVANE_ROW
}

void RedcRows(limb_t* t, const limb_t* m, size_t n, limb_t minv) {
    for (size_t i = 0; i < n; ++i)
        t[i] = AddMul1Row(t + i, m, n, t[i] * minv);
}

limb_t SubMul1(limb_t* r, const limb_t* a, size_t n, limb_t b) {
    // OF chain: the product's limbs t (low half plus the previous high half).
    // CF chain: r - t computed as r + ~t + 1, so CF = 1 means "no borrow";
    // sbb would do it directly but also writes OF.
    size_t blocks = n / 4, rest = n % 4;
    limb_t hi;
    __asm__ volatile("xor %%r8d, %%r8d\n\t"
                     "stc\n\t"
                     "mov %[blocks], %%rcx\n\t"
                     "jrcxz 2f\n\t"
                     "1:\n\t"
                     "mulx (%[a]), %%r9, %%r10\n\t"
                     "adox %%r8, %%r9\n\t"
                     "not %%r9\n\t"
                     "adcx (%[r]), %%r9\n\t"
                     "mov %%r9, (%[r])\n\t"
                     "mulx 8(%[a]), %%r9, %%r8\n\t"
                     "adox %%r10, %%r9\n\t"
                     "not %%r9\n\t"
                     "adcx 8(%[r]), %%r9\n\t"
                     "mov %%r9, 8(%[r])\n\t"
                     "mulx 16(%[a]), %%r9, %%r10\n\t"
                     "adox %%r8, %%r9\n\t"
                     "not %%r9\n\t"
                     "adcx 16(%[r]), %%r9\n\t"
                     "mov %%r9, 16(%[r])\n\t"
                     "mulx 24(%[a]), %%r9, %%r8\n\t"
                     "adox %%r10, %%r9\n\t"
                     "not %%r9\n\t"
                     "adcx 24(%[r]), %%r9\n\t"
                     "mov %%r9, 24(%[r])\n\t"
                     "lea 32(%[a]), %[a]\n\t"
                     "lea 32(%[r]), %[r]\n\t"
                     "lea -1(%%rcx), %%rcx\n\t"
                     "jrcxz 2f\n\t"
                     "jmp 1b\n\t"
                     "2:\n\t"
                     "mov %[rest], %%rcx\n\t"
                     "jrcxz 4f\n\t"
                     "3:\n\t"
                     "mulx (%[a]), %%r9, %%r10\n\t"
                     "adox %%r8, %%r9\n\t"
                     "not %%r9\n\t"
                     "adcx (%[r]), %%r9\n\t"
                     "mov %%r9, (%[r])\n\t"
                     "mov %%r10, %%r8\n\t"
                     "lea 8(%[a]), %[a]\n\t"
                     "lea 8(%[r]), %[r]\n\t"
                     "lea -1(%%rcx), %%rcx\n\t"
                     "jrcxz 4f\n\t"
                     "jmp 3b\n\t"
                     "4:\n\t"
                     // The amount taken away is at most B^(n+1) - 1, so the
                     // high half, the pending carry and the borrow fit a limb.
                     "mov $0, %%ecx\n\t"
                     "adox %%rcx, %%r8\n\t"
                     "cmc\n\t"
                     "adcx %%rcx, %%r8\n\t"
                     "mov %%r8, %[hi]\n\t"
                     : [r] "+r"(r), [a] "+r"(a), [hi] "=r"(hi)
                     : [blocks] "r"(blocks), [rest] "r"(rest), "d"(b)
                     : "rcx", "r8", "r9", "r10", "cc", "memory");
    return hi;
}

void SqrDiagonal(limb_t* r, const limb_t* a, size_t n) {
    // Per limb of a: CF chain doubles two limbs of r (adcx of a register
    // with itself), OF chain adds the square's two halves.
    __asm__ volatile("xor %%r8d, %%r8d\n\t" // clears CF and OF
                     "mov %[n], %%rcx\n\t"
                     "jrcxz 2f\n\t"
                     "1:\n\t"
                     "mov (%[a]), %%rdx\n\t"
                     "mulx %%rdx, %%r9, %%r10\n\t"
                     "mov (%[r]), %%r8\n\t"
                     "mov 8(%[r]), %%r11\n\t"
                     "adcx %%r8, %%r8\n\t"
                     "adcx %%r11, %%r11\n\t"
                     "adox %%r9, %%r8\n\t"
                     "adox %%r10, %%r11\n\t"
                     "mov %%r8, (%[r])\n\t"
                     "mov %%r11, 8(%[r])\n\t"
                     "lea 8(%[a]), %[a]\n\t"
                     "lea 16(%[r]), %[r]\n\t"
                     "lea -1(%%rcx), %%rcx\n\t"
                     "jrcxz 2f\n\t"
                     "jmp 1b\n\t"
                     "2:\n\t"
                     : [r] "+r"(r), [a] "+r"(a)
                     : [n] "r"(n)
                     : "rcx", "rdx", "r8", "r9", "r10", "r11", "cc", "memory");
}

#else

bool Available() {
    return false;
}
limb_t Mul1(limb_t*, const limb_t*, size_t, limb_t) {
    return 0;
}
limb_t AddMul1(limb_t*, const limb_t*, size_t, limb_t) {
    return 0;
}
limb_t SubMul1(limb_t*, const limb_t*, size_t, limb_t) {
    return 0;
}
void RedcRows(limb_t*, const limb_t*, size_t, limb_t) {}
void SqrDiagonal(limb_t*, const limb_t*, size_t) {}
void MulBasecase(limb_t*, const limb_t*, size_t, const limb_t*, size_t) {}
void Mul4x4(limb_t*, const limb_t*, const limb_t*) {}

#endif

} // namespace mpa::limb::adx
