#include "platform/crypto/rsa_keys.h"

#include <openssl/bn.h>
#include <openssl/core_names.h>
#include <openssl/evp.h>
#include <openssl/rsa.h>

#include <memory>

namespace platform::crypto {
namespace {

struct BnFree {
    void operator()(BIGNUM* b) const { BN_clear_free(b); }
};
struct CtxFree {
    void operator()(BN_CTX* c) const { BN_CTX_free(c); }
};
struct PkeyFree {
    void operator()(EVP_PKEY* k) const { EVP_PKEY_free(k); }
};
struct PkeyCtxFree {
    void operator()(EVP_PKEY_CTX* c) const { EVP_PKEY_CTX_free(c); }
};
using Bn = std::unique_ptr<BIGNUM, BnFree>;

Bn NewBn() {
    return Bn(BN_new());
}

Bn FromLittleEndian(const std::vector<uint8_t>& bytes) {
    return Bn(BN_lebin2bn(bytes.data(), static_cast<int>(bytes.size()), nullptr));
}

// The key's parameter name as little-endian bytes of width; false when the
// number is missing or wider than the blob allows.
bool GetField(const EVP_PKEY* key, const char* name, size_t width, std::vector<uint8_t>* out) {
    BIGNUM* raw = nullptr;
    if (EVP_PKEY_get_bn_param(key, name, &raw) != 1)
        return false;
    Bn value(raw);
    out->assign(width, 0);
    return BN_bn2lebinpad(value.get(), out->data(), static_cast<int>(width)) ==
           static_cast<int>(width);
}

} // namespace

std::optional<RsaKeyParts> GenerateRsaKey(uint32_t bits, uint32_t e) {
    if (bits < 512 || bits > 4096 || bits % 16 != 0 || e < 3 || e % 2 == 0)
        return std::nullopt;
    std::unique_ptr<EVP_PKEY_CTX, PkeyCtxFree> ctx(
        EVP_PKEY_CTX_new_from_name(nullptr, "RSA", nullptr));
    Bn exponent = NewBn();
    if (!ctx || !exponent || BN_set_word(exponent.get(), e) != 1 ||
        EVP_PKEY_keygen_init(ctx.get()) != 1 ||
        EVP_PKEY_CTX_set_rsa_keygen_bits(ctx.get(), static_cast<int>(bits)) != 1 ||
        EVP_PKEY_CTX_set1_rsa_keygen_pubexp(ctx.get(), exponent.get()) != 1)
        return std::nullopt;
    EVP_PKEY* raw = nullptr;
    if (EVP_PKEY_keygen(ctx.get(), &raw) != 1)
        return std::nullopt;
    std::unique_ptr<EVP_PKEY, PkeyFree> pkey(raw);
    RsaKeyParts key;
    key.bitLen = bits;
    key.publicExponent = e;
    const size_t full = bits / 8, half = bits / 16;
    if (!GetField(pkey.get(), OSSL_PKEY_PARAM_RSA_N, full, &key.modulus) ||
        !GetField(pkey.get(), OSSL_PKEY_PARAM_RSA_FACTOR1, half, &key.prime1) ||
        !GetField(pkey.get(), OSSL_PKEY_PARAM_RSA_FACTOR2, half, &key.prime2) ||
        !GetField(pkey.get(), OSSL_PKEY_PARAM_RSA_EXPONENT1, half, &key.exponent1) ||
        !GetField(pkey.get(), OSSL_PKEY_PARAM_RSA_EXPONENT2, half, &key.exponent2) ||
        !GetField(pkey.get(), OSSL_PKEY_PARAM_RSA_COEFFICIENT1, half, &key.coefficient) ||
        !GetField(pkey.get(), OSSL_PKEY_PARAM_RSA_D, full, &key.privateExponent))
        return std::nullopt;
    // The library promises a modulus of exactly bits bits; a blob reader
    // relies on it, so a short one is refused rather than passed on.
    if ((key.modulus.back() & 0x80) == 0)
        return std::nullopt;
    return key;
}

bool IsConsistentRsaKey(const RsaKeyParts& key) {
    if (!HasBlobWidths(key) || key.publicExponent < 3)
        return false;
    std::unique_ptr<BN_CTX, CtxFree> ctx(BN_CTX_new());
    Bn n = FromLittleEndian(key.modulus), p = FromLittleEndian(key.prime1),
       q = FromLittleEndian(key.prime2), dp = FromLittleEndian(key.exponent1),
       dq = FromLittleEndian(key.exponent2), qinv = FromLittleEndian(key.coefficient),
       d = FromLittleEndian(key.privateExponent);
    Bn e = NewBn(), t = NewBn(), p1 = NewBn(), q1 = NewBn(), g = NewBn(), lcm = NewBn(),
       r = NewBn();
    if (!ctx || !n || !p || !q || !dp || !dq || !qinv || !d || !e || !t || !p1 || !q1 || !g ||
        !lcm || !r || BN_set_word(e.get(), key.publicExponent) != 1)
        return false;
    BN_CTX* c = ctx.get();
    if (BN_is_zero(p.get()) || BN_is_zero(q.get()) || BN_is_one(p.get()) || BN_is_one(q.get()))
        return false;
    // n = p*q
    if (BN_mul(t.get(), p.get(), q.get(), c) != 1 || BN_cmp(t.get(), n.get()) != 0)
        return false;
    // lcm(p-1, q-1) = (p-1)(q-1)/gcd, and e*d = 1 modulo it.
    if (BN_sub(p1.get(), p.get(), BN_value_one()) != 1 ||
        BN_sub(q1.get(), q.get(), BN_value_one()) != 1 ||
        BN_gcd(g.get(), p1.get(), q1.get(), c) != 1 ||
        BN_mul(t.get(), p1.get(), q1.get(), c) != 1 ||
        BN_div(lcm.get(), nullptr, t.get(), g.get(), c) != 1 ||
        BN_mod_mul(r.get(), e.get(), d.get(), lcm.get(), c) != 1 || !BN_is_one(r.get()))
        return false;
    // The CRT values.
    if (BN_nnmod(r.get(), d.get(), p1.get(), c) != 1 || BN_cmp(r.get(), dp.get()) != 0 ||
        BN_nnmod(r.get(), d.get(), q1.get(), c) != 1 || BN_cmp(r.get(), dq.get()) != 0 ||
        BN_mod_mul(r.get(), q.get(), qinv.get(), p.get(), c) != 1 || !BN_is_one(r.get()))
        return false;
    return true;
}

} // namespace platform::crypto
