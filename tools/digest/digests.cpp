#include "tools/digest/digests.h"

#include "tools/digest/md2.h"
#include "tools/digest/md4.h"
#include "tools/digest/md5.h"
#include "tools/digest/ripemd160.h"
#include "tools/digest/sha1.h"
#include "tools/digest/sha256.h"
#include "tools/digest/sha512.h"

#include <algorithm>
#include <cctype>
#include <string>

namespace digest {

const char* const kAlgorithmNames[kAlgorithmCount] = {
    "MD2", "MD4", "MD5", "SHA-160", "SHA-224", "SHA-256", "SHA-384", "SHA-512", "RIPEMD-160"};

namespace {

constexpr int kSizes[kAlgorithmCount] = {16, 16, 16, 20, 28, 32, 48, 64, 20};

// A hasher over one algorithm's four functions.
template <class Context, auto kInit, auto kUpdate, auto kFinal, auto kDigest>
class FunctionHasher final : public Hasher {
public:
    FunctionHasher() { kInit(&ctx_); }
    void Update(const uint8_t* data, size_t len) override {
        // The functions take 32-bit lengths; larger buffers go in pieces.
        while (len != 0) {
            uint32_t piece = static_cast<uint32_t>(std::min<size_t>(len, 1u << 30));
            kUpdate(&ctx_, data, piece);
            data += piece;
            len -= piece;
        }
    }
    int Finish(uint8_t* out, size_t capacity) override {
        kFinal(&ctx_);
        return kDigest(&ctx_, out, static_cast<uint32_t>(std::min<size_t>(capacity, 1u << 30)));
    }

private:
    Context ctx_;
};

} // namespace

int DigestSize(Algorithm algorithm) {
    int i = static_cast<int>(algorithm);
    return i >= 0 && i < kAlgorithmCount ? kSizes[i] : 0;
}

std::optional<Algorithm> AlgorithmNamed(std::string_view name) {
    auto folded = [](std::string_view s) {
        std::string out;
        for (char c : s)
            if (c != '-')
                out += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        return out;
    };
    std::string wanted = folded(name);
    if (wanted.empty() || name.find("--") != std::string_view::npos)
        return std::nullopt;
    if (wanted == "SHA1")
        return Algorithm::Sha1;
    for (int i = 0; i < kAlgorithmCount; ++i)
        if (folded(kAlgorithmNames[i]) == wanted)
            return static_cast<Algorithm>(i);
    return std::nullopt;
}

std::unique_ptr<Hasher> CreateHasher(Algorithm algorithm) {
    switch (algorithm) {
    case Algorithm::Md2:
        return std::make_unique<
            FunctionHasher<Md2Context, &Md2Init, &Md2Update, &Md2Final, &Md2Digest>>();
    case Algorithm::Md4:
        return std::make_unique<
            FunctionHasher<Md4Context, &Md4Init, &Md4Update, &Md4Final, &Md4Digest>>();
    case Algorithm::Md5:
        return std::make_unique<
            FunctionHasher<Md5Context, &Md5Init, &Md5Update, &Md5Final, &Md5Digest>>();
    case Algorithm::Sha1:
        return std::make_unique<
            FunctionHasher<Sha1Context, &Sha1Init, &Sha1Update, &Sha1Final, &Sha1Digest>>();
    case Algorithm::Sha224:
        return std::make_unique<FunctionHasher<Sha256Context, &Sha224Init, &Sha224Update,
                                               &Sha224Final, &Sha224Digest>>();
    case Algorithm::Sha256:
        return std::make_unique<FunctionHasher<Sha256Context, &Sha256Init, &Sha256Update,
                                               &Sha256Final, &Sha256Digest>>();
    case Algorithm::Sha384:
        return std::make_unique<FunctionHasher<Sha512Context, &Sha384Init, &Sha384Update,
                                               &Sha384Final, &Sha384Digest>>();
    case Algorithm::Sha512:
        return std::make_unique<FunctionHasher<Sha512Context, &Sha512Init, &Sha512Update,
                                               &Sha512Final, &Sha512Digest>>();
    case Algorithm::Ripemd160:
        return std::make_unique<FunctionHasher<Ripemd160Context, &Ripemd160Init, &Ripemd160Update,
                                               &Ripemd160Final, &Ripemd160Digest>>();
    }
    return nullptr;
}

std::vector<uint8_t> Digest(Algorithm algorithm, const void* data, size_t len) {
    std::unique_ptr<Hasher> h = CreateHasher(algorithm);
    if (!h)
        return {};
    h->Update(static_cast<const uint8_t*>(data), len);
    std::vector<uint8_t> out(static_cast<size_t>(DigestSize(algorithm)));
    out.resize(static_cast<size_t>(h->Finish(out.data(), out.size())));
    return out;
}

} // namespace digest
