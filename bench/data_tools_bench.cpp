// Throughput of the data tools' engines against their peers in one process:
// the nine digests against OpenSSL's libcrypto (MD2 has no peer there), the
// CRC register (a catalogue CRC-32 and polynomials outside the catalogue)
// against zlib's crc32, and the checksum widths. scripts/bench-data-tools.sh
// prints the ratios and times the command line against `openssl dgst`.
//
// `data_tools_bench --zlib-crc32 FILE` prints zlib's CRC-32 of FILE, read in
// 1 MiB pieces as ordovane-cli reads it: the script's command-line peer.
#include "tools/checksum.h"
#include "tools/crc.h"
#include "tools/digest/cpu_dispatch.h"
#include "tools/digest/digests.h"

#include <benchmark/benchmark.h>
#include <openssl/evp.h>
#include <openssl/provider.h>
#include <zlib.h>

#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr size_t kBufferSize = size_t(16) << 20;

const std::vector<uint8_t>& Buffer() {
    static const std::vector<uint8_t> data = [] {
        std::vector<uint8_t> d(kBufferSize);
        std::mt19937_64 rng(42);
        for (size_t i = 0; i < d.size(); i += 8) {
            uint64_t v = rng();
            std::memcpy(d.data() + i, &v, 8);
        }
        return d;
    }();
    return data;
}

// Our digest of the buffer in 1 MiB updates, as the command line feeds it.
void Ours(benchmark::State& state, digest::Algorithm algorithm) {
    const std::vector<uint8_t>& data = Buffer();
    for (auto _ : state) {
        auto h = digest::CreateHasher(algorithm);
        for (size_t i = 0; i < data.size(); i += size_t(1) << 20)
            h->Update(data.data() + i, size_t(1) << 20);
        uint8_t out[64];
        benchmark::DoNotOptimize(h->Finish(out, sizeof out));
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(data.size()));
}

void OpenSsl(benchmark::State& state, const char* name) {
    static OSSL_PROVIDER* legacy = OSSL_PROVIDER_load(nullptr, "legacy");
    static OSSL_PROVIDER* standard = OSSL_PROVIDER_load(nullptr, "default");
    (void)legacy;
    (void)standard;
    EVP_MD* md = EVP_MD_fetch(nullptr, name, nullptr);
    if (md == nullptr) {
        state.SkipWithError("OpenSSL lacks this digest");
        return;
    }
    const std::vector<uint8_t>& data = Buffer();
    EVP_MD_CTX* ctx = EVP_MD_CTX_new();
    for (auto _ : state) {
        EVP_DigestInit_ex(ctx, md, nullptr);
        for (size_t i = 0; i < data.size(); i += size_t(1) << 20)
            EVP_DigestUpdate(ctx, data.data() + i, size_t(1) << 20);
        unsigned char out[EVP_MAX_MD_SIZE];
        unsigned int len = 0;
        EVP_DigestFinal_ex(ctx, out, &len);
        benchmark::DoNotOptimize(len);
    }
    EVP_MD_CTX_free(ctx);
    EVP_MD_free(md);
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(data.size()));
}

void Crc(benchmark::State& state, int order, uint32_t poly, bool reflected, bool portable) {
    const std::vector<uint8_t>& data = Buffer();
    digest::SetFastPathsEnabled(!portable);
    for (auto _ : state) {
        tools::CrcRegister crc(order, poly, reflected, 0xffffffff);
        for (size_t i = 0; i < data.size(); i += size_t(1) << 20)
            crc.Update(data.data() + i, size_t(1) << 20);
        benchmark::DoNotOptimize(crc.Value());
    }
    digest::SetFastPathsEnabled(true);
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(data.size()));
}

void Zlib(benchmark::State& state) {
    const std::vector<uint8_t>& data = Buffer();
    for (auto _ : state) {
        uLong crc = crc32(0, nullptr, 0);
        for (size_t i = 0; i < data.size(); i += size_t(1) << 20)
            crc = crc32(crc, data.data() + i, 1u << 20);
        benchmark::DoNotOptimize(crc);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(data.size()));
}

void Checksum(benchmark::State& state, int width, bool swap) {
    const std::vector<uint8_t>& data = Buffer();
    for (auto _ : state) {
        tools::Checksum sum(width, swap, 0);
        for (size_t i = 0; i < data.size(); i += size_t(1) << 20)
            sum.AddChunk(data.data() + i, size_t(1) << 20);
        benchmark::DoNotOptimize(sum.Sum());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(data.size()));
}

void Register() {
    const struct {
        digest::Algorithm algorithm;
        const char* openssl; // nullptr: no peer
    } digests[] = {
        {digest::Algorithm::Md2, nullptr},
        {digest::Algorithm::Md4, "MD4"},
        {digest::Algorithm::Md5, "MD5"},
        {digest::Algorithm::Sha1, "SHA1"},
        {digest::Algorithm::Sha224, "SHA224"},
        {digest::Algorithm::Sha256, "SHA256"},
        {digest::Algorithm::Sha384, "SHA384"},
        {digest::Algorithm::Sha512, "SHA512"},
        {digest::Algorithm::Ripemd160, "RIPEMD160"},
    };
    for (const auto& d : digests) {
        std::string name = std::string("BM_Digest/") + digest::kAlgorithmNames[int(d.algorithm)];
        benchmark::RegisterBenchmark((name + "/ours").c_str(), Ours, d.algorithm)->UseRealTime();
        if (d.openssl)
            benchmark::RegisterBenchmark((name + "/openssl").c_str(), OpenSsl, d.openssl)
                ->UseRealTime();
    }
    const struct {
        const char* name;
        int order;
        uint32_t poly;
        bool reflected;
    } crcs[] = {
        {"CRC-32-ISO-HDLC", 32, 0xedb88320, true},
        {"poly-32-reflected-0x9a6c9329", 32, 0x9a6c9329, true},
        {"poly-32-normal-0xf1922815", 32, 0xf1922815, false},
        {"poly-16-normal-0x1021", 16, 0x1021, false},
        {"poly-16-reflected-0xa001", 16, 0xa001, true},
    };
    for (const auto& c : crcs) {
        std::string name = std::string("BM_Crc/") + c.name;
        benchmark::RegisterBenchmark((name + "/ours").c_str(), Crc, c.order, c.poly, c.reflected,
                                     false)
            ->UseRealTime();
        benchmark::RegisterBenchmark((name + "/ours_portable").c_str(), Crc, c.order, c.poly,
                                     c.reflected, true)
            ->UseRealTime();
        benchmark::RegisterBenchmark((name + "/zlib").c_str(), Zlib)->UseRealTime();
    }
    for (int width : {1, 2, 4, 8})
        for (bool swap : {false, true}) {
            if (width == 1 && swap)
                continue;
            std::string name = "BM_Checksum/width-" + std::to_string(width) + (swap ? "-swap" : "");
            benchmark::RegisterBenchmark((name + "/ours").c_str(), Checksum, width, swap)
                ->UseRealTime();
        }
}

int ZlibCrc32OfFile(const char* path) {
    std::FILE* f = std::fopen(path, "rb");
    if (!f)
        return 1;
    std::vector<unsigned char> buf(size_t(1) << 20);
    uLong crc = crc32(0, nullptr, 0);
    size_t n;
    while ((n = std::fread(buf.data(), 1, buf.size(), f)) > 0)
        crc = crc32(crc, buf.data(), uInt(n));
    std::fclose(f);
    std::printf("%08lX\n", crc);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--zlib-crc32") == 0)
        return ZlibCrc32OfFile(argv[2]);
    Register();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
