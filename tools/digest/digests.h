// The nine digest algorithms of the hash calculator, in its list order, behind
// one interface: names, digest sizes and a hasher object per run. The
// provider's four (MD2 .. SHA-160) and the calculator's own five alike.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

namespace digest {

// The list index of each algorithm.
enum class Algorithm : int {
    Md2 = 0,
    Md4,
    Md5,
    Sha1,
    Sha224,
    Sha256,
    Sha384,
    Sha512,
    Ripemd160,
};
inline constexpr int kAlgorithmCount = 9;

// The names the list shows, by index: "MD2", "MD4", "MD5", "SHA-160",
// "SHA-224", "SHA-256", "SHA-384", "SHA-512", "RIPEMD-160".
extern const char* const kAlgorithmNames[kAlgorithmCount];

// Digest length in bytes (16, 16, 16, 20, 28, 32, 48, 64, 20).
int DigestSize(Algorithm algorithm);

// The algorithm of a name, case-insensitive: the list names, the same without
// the hyphen, and SHA-1 / SHA1 for SHA-160. nullopt for anything else.
// AlgorithmNamed("sha-1") == Algorithm::Sha1.
std::optional<Algorithm> AlgorithmNamed(std::string_view name);

// One digest run: any number of Update calls, then Finish once.
class Hasher {
public:
    virtual ~Hasher() = default;
    // Absorbs len bytes (data may be nullptr when len is 0).
    virtual void Update(const uint8_t* data, size_t len) = 0;
    // Writes the digest into out and returns its length; 0, writing nothing,
    // when capacity is smaller than the digest.
    virtual int Finish(uint8_t* out, size_t capacity) = 0;
};

// A fresh hasher for the algorithm; nullptr for a value outside the list.
std::unique_ptr<Hasher> CreateHasher(Algorithm algorithm);

// The digest of one buffer. Digest(Algorithm::Md5, "a", 1) starts 0c c1 75 b9.
std::vector<uint8_t> Digest(Algorithm algorithm, const void* data, size_t len);

} // namespace digest
