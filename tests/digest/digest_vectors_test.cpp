// The published vectors of the nine digests (tests/data/digest/vectors.tsv),
// each run whole, split at random points, in fixed chunk sizes and from a
// misaligned buffer, with the instruction-set fast paths on and off.
#include "tools/digest/cpu_dispatch.h"
#include "tools/digest/digests.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct Vector {
    std::string algorithm;
    std::string message;
    std::string digest; // lower-case hex
    int line = 0;
};

std::vector<Vector> LoadVectors() {
    std::ifstream in(std::string(TEST_DATA_DIR) + "/digest/vectors.tsv");
    std::vector<Vector> out;
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        if (line.empty() || line[0] == '#')
            continue;
        std::istringstream fields(line);
        Vector v;
        std::string field;
        std::getline(fields, v.algorithm, '\t');
        std::getline(fields, field, '\t');
        std::getline(fields, v.digest, '\t');
        if (field.starts_with("repeat:")) {
            size_t colon = field.find(':', 7);
            size_t count = std::stoul(field.substr(7, colon - 7));
            for (size_t i = 0; i < count; ++i)
                v.message += field.substr(colon + 1);
        } else {
            v.message = field;
        }
        v.line = number;
        out.push_back(v);
    }
    return out;
}

std::string Hex(const std::vector<uint8_t>& bytes) {
    std::string s;
    char buf[3];
    for (uint8_t b : bytes) {
        std::snprintf(buf, sizeof buf, "%02x", b);
        s += buf;
    }
    return s;
}

// The digest of message fed in pieces of the given lengths (the last piece
// takes the rest), starting at offset `misalign` of a larger buffer.
std::string DigestInPieces(digest::Algorithm algorithm, const std::string& message,
                           const std::vector<size_t>& pieces, size_t misalign = 0) {
    std::vector<uint8_t> buffer(message.size() + misalign);
    std::copy(message.begin(), message.end(), buffer.begin() + misalign);
    const uint8_t* p = buffer.data() + misalign;
    size_t left = message.size();
    auto h = digest::CreateHasher(algorithm);
    for (size_t piece : pieces) {
        size_t n = std::min(piece, left);
        h->Update(p, n);
        p += n;
        left -= n;
    }
    h->Update(p, left);
    std::vector<uint8_t> out(static_cast<size_t>(digest::DigestSize(algorithm)));
    out.resize(static_cast<size_t>(h->Finish(out.data(), out.size())));
    return Hex(out);
}

class DigestVectors : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override { digest::SetFastPathsEnabled(GetParam()); }
    void TearDown() override { digest::SetFastPathsEnabled(true); }
};

TEST_P(DigestVectors, EveryWayOfFeedingGivesThePublishedDigest) {
    std::vector<Vector> vectors = LoadVectors();
    ASSERT_GE(vectors.size(), 80u) << "vector file missing or cut short";
    unsigned seed = std::random_device{}();
    std::mt19937 rng(seed);
    SCOPED_TRACE("seed " + std::to_string(seed));
    for (const Vector& v : vectors) {
        SCOPED_TRACE(v.algorithm + " at line " + std::to_string(v.line));
        auto algorithm = digest::AlgorithmNamed(v.algorithm);
        ASSERT_TRUE(algorithm.has_value());
        EXPECT_EQ(Hex(digest::Digest(*algorithm, v.message.data(), v.message.size())), v.digest);

        std::vector<size_t> random;
        for (size_t left = v.message.size(); left > 0 && random.size() < 64;) {
            size_t piece =
                std::uniform_int_distribution<size_t>(0, std::min<size_t>(left, 300))(rng);
            random.push_back(piece);
            left -= piece;
        }
        EXPECT_EQ(DigestInPieces(*algorithm, v.message, random), v.digest) << "random split";
        for (size_t chunk : {1, 63, 64, 65, 16384}) {
            if (v.message.size() > 200000 && chunk < 64)
                continue; // a million single-byte calls add nothing over the short vectors
            std::vector<size_t> pieces(v.message.size() / chunk + 1, chunk);
            EXPECT_EQ(DigestInPieces(*algorithm, v.message, pieces), v.digest) << "chunk " << chunk;
        }
        for (size_t misalign = 1; misalign < 8; misalign += 3)
            EXPECT_EQ(DigestInPieces(*algorithm, v.message, {}, misalign), v.digest)
                << "misaligned by " << misalign;
    }
}

// The fast paths against the portable code on random lengths, so every tail
// length and multi-block run is covered, not only the vectors' sizes.
TEST(DigestFastPaths, AgreeWithPortableCodeOnRandomData) {
    digest::SetFastPathsEnabled(true);
    if (!digest::CpuHasShaExtensions() || !digest::FastPathsEnabled())
        GTEST_SKIP() << "no SHA extensions here, or ORDOVANE_NO_FAST_PATHS=1";
    unsigned seed = std::random_device{}();
    std::mt19937 rng(seed);
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::vector<uint8_t> data(70000);
    for (uint8_t& b : data)
        b = static_cast<uint8_t>(rng());
    for (digest::Algorithm a :
         {digest::Algorithm::Sha1, digest::Algorithm::Sha224, digest::Algorithm::Sha256}) {
        for (int round = 0; round < 40; ++round) {
            size_t len = round < 20 ? static_cast<size_t>(round * 31)
                                    : std::uniform_int_distribution<size_t>(0, data.size())(rng);
            digest::SetFastPathsEnabled(true);
            auto fast = digest::Digest(a, data.data(), len);
            digest::SetFastPathsEnabled(false);
            auto portable = digest::Digest(a, data.data(), len);
            EXPECT_EQ(Hex(fast), Hex(portable))
                << digest::kAlgorithmNames[int(a)] << " len " << len;
        }
    }
    digest::SetFastPathsEnabled(true);
}

INSTANTIATE_TEST_SUITE_P(Paths, DigestVectors, ::testing::Values(true, false),
                         [](const auto& info) { return info.param ? "Fast" : "Portable"; });

TEST(DigestNames, ListOrderSizesAndAliases) {
    const int sizes[] = {16, 16, 16, 20, 28, 32, 48, 64, 20};
    for (int i = 0; i < digest::kAlgorithmCount; ++i) {
        auto a = digest::AlgorithmNamed(digest::kAlgorithmNames[i]);
        ASSERT_TRUE(a.has_value()) << digest::kAlgorithmNames[i];
        EXPECT_EQ(static_cast<int>(*a), i);
        EXPECT_EQ(digest::DigestSize(*a), sizes[i]);
    }
    EXPECT_EQ(digest::AlgorithmNamed("sha-1"), digest::Algorithm::Sha1);
    EXPECT_EQ(digest::AlgorithmNamed("SHA1"), digest::Algorithm::Sha1);
    EXPECT_EQ(digest::AlgorithmNamed("ripemd160"), digest::Algorithm::Ripemd160);
    EXPECT_FALSE(digest::AlgorithmNamed("SHA-3").has_value());
    EXPECT_FALSE(digest::AlgorithmNamed("").has_value());
    EXPECT_FALSE(digest::AlgorithmNamed("-").has_value());
}

} // namespace
