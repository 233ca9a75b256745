// The provider's key containers through its calls: the flags and errors of
// CryptAcquireContextA, key pairs that outlive their handles, and the blobs
// as OpenSSL's MSBLOB reader and GMP see them.
#include "platform/crypto/crypt_keys.h"
#include "platform/crypto/last_error.h"
#include "support/temp_key_store.h"

#include <gmp.h>
#include <gtest/gtest.h>
#include <openssl/bio.h>
#include <openssl/bn.h>
#include <openssl/core_names.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/provider.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

namespace {

using namespace platform;
using Bytes = std::vector<uint8_t>;

bool Acquire(HCRYPTPROV* h, const char* name, uint32_t flags, const char* provider = MS_DEF_PROV_A,
             uint32_t type = PROV_RSA_FULL) {
    return CryptAcquireContextA(h, name, provider, type, flags);
}

Bytes Md5(const std::string& message) {
    Bytes digest(16);
    unsigned int len = 0;
    EVP_Digest(message.data(), message.size(), digest.data(), &len, EVP_md5(), nullptr);
    return digest;
}

// A session key derived from MD5(message) on provider h.
HCRYPTKEY SessionKeyFor(HCRYPTPROV h, uint32_t algId, const std::string& message) {
    HCRYPTHASH hash = 0;
    HCRYPTKEY key = 0;
    EXPECT_TRUE(CryptCreateHash(h, CALG_MD5, 0, 0, &hash));
    EXPECT_TRUE(CryptHashData(hash, reinterpret_cast<const uint8_t*>(message.data()),
                              static_cast<uint32_t>(message.size()), 0));
    EXPECT_TRUE(CryptDeriveKey(h, algId, hash, CRYPT_EXPORTABLE, &key))
        << std::hex << GetLastError();
    CryptDestroyHash(hash);
    return key;
}

Bytes Export(HCRYPTKEY key, HCRYPTKEY with, uint32_t type) {
    Bytes blob(1024);
    uint32_t len = static_cast<uint32_t>(blob.size());
    EXPECT_TRUE(CryptExportKey(key, with, type, 0, blob.data(), &len))
        << std::hex << GetLastError();
    blob.resize(len);
    return blob;
}

struct PkeyFree {
    void operator()(EVP_PKEY* k) const { EVP_PKEY_free(k); }
};
using Pkey = std::unique_ptr<EVP_PKEY, PkeyFree>;

// OpenSSL's MSBLOB reader, as `openssl rsa -inform MSBLOB` uses it.
Pkey ReadMsBlob(const Bytes& blob, bool isPublic) {
    BIO* bio = BIO_new_mem_buf(blob.data(), static_cast<int>(blob.size()));
    EVP_PKEY* key = isPublic ? b2i_PublicKey_bio(bio) : b2i_PrivateKey_bio(bio);
    BIO_free(bio);
    return Pkey(key);
}

std::string Modulus(const Pkey& key) {
    BIGNUM* n = nullptr;
    EVP_PKEY_get_bn_param(key.get(), OSSL_PKEY_PARAM_RSA_N, &n);
    char* hex = BN_bn2hex(n);
    std::string s = hex ? hex : "";
    OPENSSL_free(hex);
    BN_free(n);
    return s;
}

// Decrypts the body of a private blob with OpenSSL's own RC2/RC4: the key is
// MD5(message)[0..4] and 11 zero bytes, RC2 with 40 effective bits in CBC
// from a zero IV.
Bytes DecryptBody(const Bytes& blob, uint32_t algId, const std::string& message) {
    static OSSL_PROVIDER* legacy = OSSL_PROVIDER_load(nullptr, "legacy");
    static OSSL_PROVIDER* base = OSSL_PROVIDER_load(nullptr, "default");
    EXPECT_NE(legacy, nullptr) << "OpenSSL's legacy provider holds RC2 and RC4";
    EXPECT_NE(base, nullptr);
    Bytes key = Md5(message);
    std::fill(key.begin() + 5, key.end(), 0);
    const bool rc2 = algId == CALG_RC2;
    std::unique_ptr<EVP_CIPHER_CTX, void (*)(EVP_CIPHER_CTX*)> ctx(EVP_CIPHER_CTX_new(),
                                                                   &EVP_CIPHER_CTX_free);
    EVP_CIPHER* cipher = EVP_CIPHER_fetch(nullptr, rc2 ? "RC2-CBC" : "RC4", nullptr);
    EXPECT_NE(cipher, nullptr);
    const uint8_t iv[8] = {};
    Bytes out(blob.size() + 16);
    int n1 = 0, n2 = 0;
    bool ok =
        EVP_DecryptInit_ex(ctx.get(), cipher, nullptr, nullptr, nullptr) == 1 &&
        EVP_CIPHER_CTX_set_key_length(ctx.get(), 16) == 1 &&
        (!rc2 || EVP_CIPHER_CTX_ctrl(ctx.get(), EVP_CTRL_SET_RC2_KEY_BITS, 40, nullptr) == 1) &&
        EVP_DecryptInit_ex(ctx.get(), nullptr, nullptr, key.data(), rc2 ? iv : nullptr) == 1 &&
        EVP_DecryptUpdate(ctx.get(), out.data(), &n1, blob.data() + 8,
                          static_cast<int>(blob.size() - 8)) == 1 &&
        EVP_DecryptFinal_ex(ctx.get(), out.data() + n1, &n2) == 1;
    EVP_CIPHER_free(cipher);
    EXPECT_TRUE(ok);
    // The clear header, then the decrypted body (shorter by the RC2 padding).
    Bytes plain = blob;
    plain.resize(8 + static_cast<size_t>(n1 + n2));
    std::copy(out.begin(), out.begin() + n1 + n2, plain.begin() + 8);
    return plain;
}

// An unsigned little-endian field of the blob as a GMP number.
void Field(mpz_t z, const Bytes& blob, size_t at, size_t width) {
    mpz_import(z, width, -1, 1, 0, 0, blob.data() + at);
}

// n = p*q, e*d = 1 mod lcm(p-1, q-1), and the three CRT values, from the
// plain private blob's own bytes.
void ExpectConsistentPrivateBlob(const Bytes& blob) {
    ASSERT_EQ(blob.size(), 596u);
    mpz_t n, p, q, dp, dq, qinv, d, e, t, p1, q1, lcm;
    mpz_inits(n, p, q, dp, dq, qinv, d, e, t, p1, q1, lcm, nullptr);
    Field(e, blob, 16, 4);
    Field(n, blob, 20, 128);
    Field(p, blob, 148, 64);
    Field(q, blob, 212, 64);
    Field(dp, blob, 276, 64);
    Field(dq, blob, 340, 64);
    Field(qinv, blob, 404, 64);
    Field(d, blob, 468, 128);
    EXPECT_EQ(mpz_get_ui(e), 65537u);
    EXPECT_EQ(mpz_sizeinbase(n, 2), 1024u);
    mpz_mul(t, p, q);
    EXPECT_EQ(mpz_cmp(t, n), 0) << "n = p*q";
    mpz_sub_ui(p1, p, 1);
    mpz_sub_ui(q1, q, 1);
    mpz_lcm(lcm, p1, q1);
    mpz_mul(t, e, d);
    mpz_mod(t, t, lcm);
    EXPECT_EQ(mpz_cmp_ui(t, 1), 0) << "e*d = 1 mod lcm(p-1, q-1)";
    mpz_mod(t, d, p1);
    EXPECT_EQ(mpz_cmp(t, dp), 0) << "d mod (p-1)";
    mpz_mod(t, d, q1);
    EXPECT_EQ(mpz_cmp(t, dq), 0) << "d mod (q-1)";
    mpz_mul(t, q, qinv);
    mpz_mod(t, t, p);
    EXPECT_EQ(mpz_cmp_ui(t, 1), 0) << "q * qinv = 1 mod p";
    mpz_clears(n, p, q, dp, dq, qinv, d, e, t, p1, q1, lcm, nullptr);
}

class KeyProviderTest : public TempKeyStoreTest {};

TEST_F(KeyProviderTest, AcquireContextFlagsAndErrors) {
    HCRYPTPROV g = 0;
    // One call per row, in order, on the same store.
    for (auto [what, ok, error, flags, name] :
         std::vector<std::tuple<const char*, bool, uint32_t, uint32_t, std::string>>{
             {"open a missing container", false, NTE_BAD_KEYSET, 0, "Beta"},
             {"create it", true, 0, CRYPT_NEWKEYSET, "Beta"},
             {"create it again", false, NTE_EXISTS, CRYPT_NEWKEYSET, "Beta"},
             {"open it", true, 0, 0, "Beta"},
             {"unknown flags", false, NTE_BAD_FLAGS, 0x20, "Beta"},
             {"too long a name", false, NTE_BAD_KEYSET_PARAM, CRYPT_NEWKEYSET,
              std::string(1025, 'n')},
             {"delete it", true, 0, CRYPT_DELETEKEYSET, "Beta"},
             {"delete it again", false, NTE_BAD_KEYSET, CRYPT_DELETEKEYSET, "Beta"},
         }) {
        SCOPED_TRACE(what);
        SetLastError(0);
        EXPECT_EQ(Acquire(&g, name.c_str(), flags), ok);
        if (!ok) {
            EXPECT_EQ(GetLastError(), error);
        } else if (flags == CRYPT_DELETEKEYSET) {
            EXPECT_EQ(g, 0u);
        } else {
            EXPECT_TRUE(CryptReleaseContext(g, 0));
        }
    }
    SetLastError(0);
    EXPECT_FALSE(Acquire(&g, "Beta", 0, "Other"));
    EXPECT_EQ(GetLastError(), NTE_KEYSET_NOT_DEF);
    EXPECT_FALSE(Acquire(&g, "Beta", 0, nullptr, 24));
    EXPECT_EQ(GetLastError(), NTE_BAD_PROV_TYPE);

    // A context without a container serves no keys.
    ASSERT_TRUE(Acquire(&g, nullptr, CRYPT_VERIFYCONTEXT));
    HCRYPTKEY k = 0;
    EXPECT_FALSE(CryptGetUserKey(g, AT_KEYEXCHANGE, &k));
    EXPECT_EQ(GetLastError(), NTE_BAD_UID);
    CryptReleaseContext(g, 0);
}

TEST_F(KeyProviderTest, PairsOutliveHandlesAndKeepTheirExportRights) {
    HCRYPTPROV h = 0;
    ASSERT_TRUE(Acquire(&h, "Pairs", CRYPT_NEWKEYSET));
    HCRYPTKEY k = 0;
    EXPECT_FALSE(CryptGetUserKey(h, AT_KEYEXCHANGE, &k));
    EXPECT_EQ(GetLastError(), NTE_NO_KEY);
    HCRYPTKEY exchange = 0, signature = 0;
    ASSERT_TRUE(CryptGenKey(h, AT_KEYEXCHANGE, CRYPT_EXPORTABLE, &exchange));
    ASSERT_TRUE(CryptGenKey(h, AT_SIGNATURE, 0, &signature));
    const Bytes exchangePublic = Export(exchange, 0, PUBLICKEYBLOB);
    const Bytes signaturePublic = Export(signature, 0, PUBLICKEYBLOB);
    EXPECT_NE(exchangePublic, signaturePublic);
    CryptDestroyKey(exchange);
    CryptDestroyKey(signature);
    ASSERT_TRUE(CryptReleaseContext(h, 0));

    // Another handle on the same container finds the same pairs.
    ASSERT_TRUE(Acquire(&h, "Pairs", 0));
    ASSERT_TRUE(CryptGetUserKey(h, AT_KEYEXCHANGE, &exchange));
    ASSERT_TRUE(CryptGetUserKey(h, AT_SIGNATURE, &signature));
    EXPECT_EQ(Export(exchange, 0, PUBLICKEYBLOB), exchangePublic);
    EXPECT_EQ(Export(signature, 0, PUBLICKEYBLOB), signaturePublic);

    uint32_t len = 1024;
    Bytes buffer(1024);
    struct Refusal {
        const char* what;
        HCRYPTKEY key, with;
        uint32_t type;
        uint32_t error;
    } refusals[] = {
        {"private blob of a pair made without CRYPT_EXPORTABLE", signature, 0, PRIVATEKEYBLOB,
         NTE_BAD_KEY_STATE},
        {"public blob with an export key", exchange, exchange, PUBLICKEYBLOB, NTE_BAD_KEY},
        {"a pair as the export key", exchange, signature, PRIVATEKEYBLOB, NTE_BAD_KEY},
        {"an unknown blob type", exchange, 0, 1, NTE_BAD_TYPE},
        {"a destroyed key", 12345, 0, PUBLICKEYBLOB, NTE_BAD_KEY},
    };
    for (const Refusal& r : refusals) {
        SCOPED_TRACE(r.what);
        len = 1024;
        EXPECT_FALSE(CryptExportKey(r.key, r.with, r.type, 0, buffer.data(), &len));
        EXPECT_EQ(GetLastError(), r.error);
    }

    // The length alone, then too small a buffer: the needed length comes back.
    len = 0;
    ASSERT_TRUE(CryptExportKey(exchange, 0, PRIVATEKEYBLOB, 0, nullptr, &len));
    EXPECT_EQ(len, 596u);
    len = 595;
    EXPECT_FALSE(CryptExportKey(exchange, 0, PRIVATEKEYBLOB, 0, buffer.data(), &len));
    EXPECT_EQ(GetLastError(), ERROR_MORE_DATA);
    EXPECT_EQ(len, 596u);

    EXPECT_TRUE(CryptDestroyKey(exchange));
    EXPECT_FALSE(CryptDestroyKey(exchange));
    EXPECT_EQ(GetLastError(), NTE_BAD_KEY);
    CryptDestroyKey(signature);
    CryptReleaseContext(h, 0);
}

TEST_F(KeyProviderTest, BlobsReadBackThroughOpenSslMsBlobReader) {
    HCRYPTPROV h = 0;
    ASSERT_TRUE(Acquire(&h, "Blobs", CRYPT_NEWKEYSET));
    for (uint32_t kind : {AT_KEYEXCHANGE, AT_SIGNATURE}) {
        SCOPED_TRACE(kind);
        HCRYPTKEY pair = 0;
        ASSERT_TRUE(CryptGenKey(h, kind, CRYPT_EXPORTABLE, &pair));
        const uint8_t alg = kind == AT_KEYEXCHANGE ? 0xa4 : 0x24;

        const Bytes pub = Export(pair, 0, PUBLICKEYBLOB);
        ASSERT_EQ(pub.size(), 148u);
        EXPECT_EQ(Bytes(pub.begin(), pub.begin() + 20),
                  (Bytes{0x06, 0x02, 0,    0,    0, alg, 0,    0,    'R',  'S',
                         'A',  '1',  0x00, 0x04, 0, 0,   0x01, 0x00, 0x01, 0x00}));
        Pkey publicKey = ReadMsBlob(pub, true);
        ASSERT_TRUE(publicKey);

        const Bytes plain = Export(pair, 0, PRIVATEKEYBLOB);
        ASSERT_EQ(plain.size(), 596u);
        EXPECT_EQ(Bytes(plain.begin(), plain.begin() + 12),
                  (Bytes{0x07, 0x02, 0, 0, 0, alg, 0, 0, 'R', 'S', 'A', '2'}));
        ExpectConsistentPrivateBlob(plain);
        Pkey privateKey = ReadMsBlob(plain, false);
        ASSERT_TRUE(privateKey);
        EXPECT_EQ(Modulus(privateKey), Modulus(publicKey));

        for (uint32_t cipher : {CALG_RC2, CALG_RC4}) {
            SCOPED_TRACE(cipher);
            HCRYPTKEY session = SessionKeyFor(h, cipher, "base message");
            const Bytes sealed = Export(pair, session, PRIVATEKEYBLOB);
            EXPECT_EQ(sealed.size(), cipher == CALG_RC2 ? 600u : 596u);
            EXPECT_EQ(Bytes(sealed.begin(), sealed.begin() + 8),
                      Bytes(plain.begin(), plain.begin() + 8))
                << "the header stays readable";
            EXPECT_NE(Bytes(sealed.begin() + 8, sealed.begin() + 20),
                      Bytes(plain.begin() + 8, plain.begin() + 20));
            EXPECT_EQ(DecryptBody(sealed, cipher, "base message"), plain);
            CryptDestroyKey(session);
        }
        CryptDestroyKey(pair);
    }
    CryptReleaseContext(h, 0);
}

TEST_F(KeyProviderTest, DeriveKeyRefusesWhatTheBaseProviderCannotMake) {
    HCRYPTPROV h = 0;
    ASSERT_TRUE(Acquire(&h, nullptr, CRYPT_VERIFYCONTEXT));
    HCRYPTHASH hash = 0;
    ASSERT_TRUE(CryptCreateHash(h, CALG_MD5, 0, 0, &hash));
    HCRYPTKEY k = 0;
    EXPECT_FALSE(CryptDeriveKey(h, 0x6610, hash, 0, &k));
    EXPECT_EQ(GetLastError(), NTE_BAD_ALGID);
    EXPECT_FALSE(CryptDeriveKey(h, CALG_RC4, hash + 1, 0, &k));
    EXPECT_EQ(GetLastError(), NTE_BAD_HASH);
    EXPECT_FALSE(CryptDeriveKey(h, CALG_RC4, hash, 0x00200000, &k));
    EXPECT_EQ(GetLastError(), NTE_BAD_FLAGS);
    ASSERT_TRUE(CryptDeriveKey(h, CALG_RC4, hash, 0, &k));
    CryptDestroyHash(hash);
    uint32_t len = 1024;
    Bytes buffer(1024);
    EXPECT_FALSE(CryptExportKey(k, 0, PRIVATEKEYBLOB, 0, buffer.data(), &len));
    EXPECT_EQ(GetLastError(), NTE_BAD_TYPE) << "session keys are not exported";
    CryptDestroyKey(k);
    CryptReleaseContext(h, 0);
}

} // namespace
