// The return values of the hash calculator's own functions (Sha256Init ..
// Ripemd160Digest): missing arguments, empty updates, short output buffers.
#include "tools/digest/ripemd160.h"
#include "tools/digest/sha256.h"
#include "tools/digest/sha512.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

// One algorithm's four functions, for a table of the five.
template <class Ctx> struct Functions {
    const char* name;
    int (*init)(Ctx*);
    int64_t (*update)(Ctx*, const uint8_t*, uint32_t);
    int (*final)(Ctx*);
    int (*digest)(Ctx*, uint8_t*, uint32_t);
    int size;
};

template <class Ctx> void CheckReturnValues(const Functions<Ctx>& f) {
    SCOPED_TRACE(f.name);
    const uint8_t abc[] = {'a', 'b', 'c'};
    EXPECT_EQ(f.init(nullptr), 0);
    EXPECT_EQ(f.update(nullptr, abc, 3), -1);
    EXPECT_EQ(f.final(nullptr), 0);

    Ctx ctx;
    ASSERT_EQ(f.init(&ctx), 1);
    EXPECT_EQ(f.update(&ctx, abc, 3), 3);
    EXPECT_EQ(f.update(&ctx, nullptr, 3), -1);

    Ctx before;
    std::memcpy(&before, &ctx, sizeof ctx);
    EXPECT_EQ(f.update(&ctx, abc, 0), 0);
    EXPECT_EQ(f.update(&ctx, nullptr, 0), 0);
    EXPECT_EQ(std::memcmp(&before, &ctx, sizeof ctx), 0) << "an empty update changed the context";

    ASSERT_EQ(f.final(&ctx), 1);
    uint8_t out[80];
    std::memset(out, 0xee, sizeof out);
    EXPECT_EQ(f.digest(&ctx, out, static_cast<uint32_t>(f.size - 1)), 0);
    for (uint8_t b : out)
        ASSERT_EQ(b, 0xee) << "a short buffer was written";
    EXPECT_EQ(f.digest(&ctx, nullptr, sizeof out), 0);
    EXPECT_EQ(f.digest(nullptr, out, sizeof out), 0);
    EXPECT_EQ(f.digest(&ctx, out, sizeof out), f.size);
    EXPECT_EQ(out[f.size], 0xee) << "wrote past the digest";
}

// The const-taking output functions, adapted to the table's signature.
template <class Ctx, int (*kDigest)(const Ctx*, uint8_t*, uint32_t)>
int Mutable(Ctx* ctx, uint8_t* out, uint32_t len) {
    return kDigest(ctx, out, len);
}

TEST(DigestFunctions, ReturnValues) {
    using namespace digest;
    CheckReturnValues<Sha256Context>({"SHA-224", &Sha224Init, &Sha224Update, &Sha224Final,
                                      &Mutable<Sha256Context, &Sha224Digest>, 28});
    CheckReturnValues<Sha256Context>({"SHA-256", &Sha256Init, &Sha256Update, &Sha256Final,
                                      &Mutable<Sha256Context, &Sha256Digest>, 32});
    CheckReturnValues<Sha512Context>({"SHA-384", &Sha384Init, &Sha384Update, &Sha384Final,
                                      &Mutable<Sha512Context, &Sha384Digest>, 48});
    CheckReturnValues<Sha512Context>({"SHA-512", &Sha512Init, &Sha512Update, &Sha512Final,
                                      &Mutable<Sha512Context, &Sha512Digest>, 64});
    CheckReturnValues<Ripemd160Context>(
        {"RIPEMD-160", &Ripemd160Init, &Ripemd160Update, &Ripemd160Final, &Ripemd160Digest, 20});
}

// The record keeps the 64-bit state words as high half, then low half, and
// the bit count with its high half first; RIPEMD-160 keeps the count low
// half first and its block as little-endian words.
TEST(DigestFunctions, RecordLayouts) {
    digest::Sha512Context s;
    digest::Sha512Init(&s);
    EXPECT_EQ(s.state[0], 0x6a09e667u);
    EXPECT_EQ(s.state[1], 0xf3bcc908u);
    // A count just below 2^32 bits carries into the high half.
    s.countLow = 0xfffffff8u;
    const uint8_t one = 0;
    digest::Sha512Update(&s, &one, 1);
    EXPECT_EQ(s.countHigh, 1u);
    EXPECT_EQ(s.countLow, 0u);

    digest::Ripemd160Context r;
    digest::Ripemd160Init(&r);
    const uint8_t bytes[] = {1, 2, 3, 4, 5};
    digest::Ripemd160Update(&r, bytes, 5);
    EXPECT_EQ(r.block[0], 0x04030201u);
    EXPECT_EQ(r.countLow, 40u);
    EXPECT_EQ(r.buffered, 5u);
    digest::Ripemd160Final(&r);
    uint8_t out[20];
    EXPECT_EQ(digest::Ripemd160Digest(&r, out, 20), 20);
    EXPECT_EQ(r.buffered, 0u);
}

} // namespace
