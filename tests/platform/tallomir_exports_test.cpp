// The shared library as a foreign caller sees it: loaded by path, every
// arithmetic function found by its plain C name, nothing else of ours visible.
#include "platform/crypto/crypt_provider.h"

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <cstdint>
#include <cstdio>
#include <memory>
#include <set>
#include <string>

namespace {

const char* const kExports[] = {
    "MPA_SetCryptHandle",
    "MPA_BitCount",
    "MPA_GenRandomBits",
    "MPA_Compare",
    "MPA_BitLshift",
    "MPA_BitRshift",
    "MPA_BitNot",
    "MPA_BitAnd",
    "MPA_BitOr",
    "MPA_BitXor",
    "MPA_Add",
    "MPA_Subtract",
    "MPA_Multiply",
    "MPA_Divide",
    "MPA_Modular",
    "MPA_BarrettReduction",
    "MPA_ModPow",
    "MPA_Jacobi",
    "MPA_ExtEuclid",
    "MPA_Gcd",
    "MPA_ModInverse",
    "MPA_FermatTest",
    "MPA_SolovayStrassenTest",
    "MPA_MillerRabinTest",
    "MPA_MillerRabinSearch",
    "DllGetClassObject",
    "DllCanUnloadNow",
    "DllRegisterServer",
    "DllUnregisterServer",
};

struct Library {
    void* handle = dlopen(TALLOMIR_PATH, RTLD_NOW | RTLD_LOCAL);
    ~Library() {
        if (handle)
            dlclose(handle);
    }
    template <class Fn> Fn get(const char* name) {
        return reinterpret_cast<Fn>(dlsym(handle, name));
    }
};

// Defined symbols of the module's dynamic table, read with nm.
std::set<std::string> DefinedDynamicSymbols() {
    std::set<std::string> names;
    std::string cmd = std::string("nm -D --defined-only ") + TALLOMIR_PATH;
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(cmd.c_str(), "r"), pclose);
    if (!pipe)
        return names;
    char line[512];
    while (fgets(line, sizeof line, pipe.get())) {
        char addr[64], type[8], name[400];
        if (sscanf(line, "%63s %7s %399s", addr, type, name) == 3)
            names.insert(name);
    }
    return names;
}

TEST(TallomirModule, ExportsExactlyTheArithmeticFunctions) {
    std::set<std::string> expected(std::begin(kExports), std::end(kExports));
    ASSERT_EQ(expected.size(), 29u);
    std::set<std::string> ours;
    for (const std::string& s : DefinedDynamicSymbols())
        if (s.rfind("_", 0) != 0) // linker-provided markers such as _init
            ours.insert(s);
    ours.erase("_init");
    EXPECT_EQ(ours, expected);
}

TEST(TallomirModule, FunctionsWorkThroughTheCAbi) {
    Library lib;
    ASSERT_NE(lib.handle, nullptr) << dlerror();
    for (const char* name : kExports)
        EXPECT_NE(dlsym(lib.handle, name), nullptr) << name;
    EXPECT_EQ(dlsym(lib.handle, "SquareRoot"), nullptr);
    EXPECT_EQ(dlsym(lib.handle, "_ZN3mpa10SquareRootEPKhiPhi"), nullptr);

    using Mul = int32_t (*)(const uint8_t*, int32_t, const uint8_t*, int32_t, uint8_t*, int32_t);
    auto multiply = lib.get<Mul>("MPA_Multiply");
    ASSERT_NE(multiply, nullptr);
    const uint8_t x[] = {0x12, 0x34}, y[] = {0x56};
    uint8_t out[4] = {};
    ASSERT_EQ(multiply(x, 2, y, 1, out, 4), 3);
    EXPECT_EQ(out[0], 0x06);
    EXPECT_EQ(out[1], 0x1D);
    EXPECT_EQ(out[2], 0x78);
}

// The module wires its random source to the platform provider when loaded:
// with a provider handle set, two draws differ although rand() is never
// reseeded, and an unknown handle leaves the buffer as it was.
TEST(TallomirModule, RandomBytesComeFromTheProviderOnceAHandleIsSet) {
    Library lib;
    ASSERT_NE(lib.handle, nullptr) << dlerror();
    using SetHandle = uint32_t (*)(uint32_t);
    using Gen = int32_t (*)(uint8_t*, int32_t, int32_t);
    auto setHandle = lib.get<SetHandle>("MPA_SetCryptHandle");
    auto gen = lib.get<Gen>("MPA_GenRandomBits");
    ASSERT_TRUE(setHandle && gen);

    // The test and the module share the one platform library, so a handle
    // opened here is valid inside the module.
    uint32_t provider = platform::AcquireRandomContext();
    ASSERT_NE(provider, 0u);

    EXPECT_EQ(setHandle(provider), 0u);
    uint8_t a[32], b[32];
    ASSERT_EQ(gen(a, 32, 256), 32);
    ASSERT_EQ(gen(b, 32, 256), 32);
    EXPECT_NE(std::string(a, a + 32), std::string(b, b + 32));

    // A handle the provider does not know: its result is not examined, so
    // the buffer keeps what it had.
    setHandle(0xDEADBEEF);
    uint8_t c[16];
    for (uint8_t& v : c)
        v = 0x5A;
    ASSERT_EQ(gen(c, 16, 128), 16);
    for (uint8_t v : c)
        EXPECT_EQ(v, 0x5A);
    EXPECT_EQ(setHandle(0), 0xDEADBEEFu);
    platform::CryptReleaseContext(provider, 0);
}

} // namespace
