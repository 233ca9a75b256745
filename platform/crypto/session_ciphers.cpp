#include "platform/crypto/session_ciphers.h"

#include <algorithm>
#include <cstring>

namespace platform::crypto {
namespace {

// RFC 2268 PITABLE: a permutation of 0..255 derived from the digits of pi.
constexpr uint8_t kPiTable[256] = {
    0xd9, 0x78, 0xf9, 0xc4, 0x19, 0xdd, 0xb5, 0xed, 0x28, 0xe9, 0xfd, 0x79, 0x4a, 0xa0, 0xd8, 0x9d,
    0xc6, 0x7e, 0x37, 0x83, 0x2b, 0x76, 0x53, 0x8e, 0x62, 0x4c, 0x64, 0x88, 0x44, 0x8b, 0xfb, 0xa2,
    0x17, 0x9a, 0x59, 0xf5, 0x87, 0xb3, 0x4f, 0x13, 0x61, 0x45, 0x6d, 0x8d, 0x09, 0x81, 0x7d, 0x32,
    0xbd, 0x8f, 0x40, 0xeb, 0x86, 0xb7, 0x7b, 0x0b, 0xf0, 0x95, 0x21, 0x22, 0x5c, 0x6b, 0x4e, 0x82,
    0x54, 0xd6, 0x65, 0x93, 0xce, 0x60, 0xb2, 0x1c, 0x73, 0x56, 0xc0, 0x14, 0xa7, 0x8c, 0xf1, 0xdc,
    0x12, 0x75, 0xca, 0x1f, 0x3b, 0xbe, 0xe4, 0xd1, 0x42, 0x3d, 0xd4, 0x30, 0xa3, 0x3c, 0xb6, 0x26,
    0x6f, 0xbf, 0x0e, 0xda, 0x46, 0x69, 0x07, 0x57, 0x27, 0xf2, 0x1d, 0x9b, 0xbc, 0x94, 0x43, 0x03,
    0xf8, 0x11, 0xc7, 0xf6, 0x90, 0xef, 0x3e, 0xe7, 0x06, 0xc3, 0xd5, 0x2f, 0xc8, 0x66, 0x1e, 0xd7,
    0x08, 0xe8, 0xea, 0xde, 0x80, 0x52, 0xee, 0xf7, 0x84, 0xaa, 0x72, 0xac, 0x35, 0x4d, 0x6a, 0x2a,
    0x96, 0x1a, 0xd2, 0x71, 0x5a, 0x15, 0x49, 0x74, 0x4b, 0x9f, 0xd0, 0x5e, 0x04, 0x18, 0xa4, 0xec,
    0xc2, 0xe0, 0x41, 0x6e, 0x0f, 0x51, 0xcb, 0xcc, 0x24, 0x91, 0xaf, 0x50, 0xa1, 0xf4, 0x70, 0x39,
    0x99, 0x7c, 0x3a, 0x85, 0x23, 0xb8, 0xb4, 0x7a, 0xfc, 0x02, 0x36, 0x5b, 0x25, 0x55, 0x97, 0x31,
    0x2d, 0x5d, 0xfa, 0x98, 0xe3, 0x8a, 0x92, 0xae, 0x05, 0xdf, 0x29, 0x10, 0x67, 0x6c, 0xba, 0xc9,
    0xd3, 0x00, 0xe6, 0xcf, 0xe1, 0x9e, 0xa8, 0x2c, 0x63, 0x16, 0x01, 0x3f, 0x58, 0xe2, 0x89, 0xa9,
    0x0d, 0x38, 0x34, 0x1b, 0xab, 0x33, 0xff, 0xb0, 0xbb, 0x48, 0x0c, 0x5f, 0xb9, 0xb1, 0xcd, 0x2e,
    0xc5, 0xf3, 0xdb, 0x47, 0xe5, 0xa5, 0x9c, 0x77, 0x0a, 0xa6, 0x20, 0x68, 0xfe, 0x7f, 0xc1, 0xad};

constexpr int kShift[4] = {1, 2, 3, 5};

uint16_t Rotl(uint16_t x, int s) {
    return static_cast<uint16_t>((x << s) | (x >> (16 - s)));
}

uint16_t Rotr(uint16_t x, int s) {
    return static_cast<uint16_t>((x >> s) | (x << (16 - s)));
}

// A block is four little-endian 16-bit words.
void LoadWords(const uint8_t block[8], uint16_t r[4]) {
    for (int i = 0; i < 4; ++i)
        r[i] = static_cast<uint16_t>(block[2 * i] | (block[2 * i + 1] << 8));
}

void StoreWords(const uint16_t r[4], uint8_t block[8]) {
    for (int i = 0; i < 4; ++i) {
        block[2 * i] = static_cast<uint8_t>(r[i]);
        block[2 * i + 1] = static_cast<uint8_t>(r[i] >> 8);
    }
}

void XorBlock(uint8_t* into, const uint8_t* with) {
    for (int i = 0; i < 8; ++i)
        into[i] ^= with[i];
}

} // namespace

void Rc4Apply(std::span<const uint8_t> key, std::span<uint8_t> data) {
    if (key.empty() || key.size() > 256)
        return;
    uint8_t s[256];
    for (int i = 0; i < 256; ++i)
        s[i] = static_cast<uint8_t>(i);
    uint8_t j = 0;
    for (int i = 0; i < 256; ++i) {
        j = static_cast<uint8_t>(j + s[i] + key[static_cast<size_t>(i) % key.size()]);
        std::swap(s[i], s[j]);
    }
    uint8_t i = 0;
    j = 0;
    for (uint8_t& b : data) {
        i = static_cast<uint8_t>(i + 1);
        j = static_cast<uint8_t>(j + s[i]);
        std::swap(s[i], s[j]);
        b ^= s[static_cast<uint8_t>(s[i] + s[j])];
    }
}

Rc2Key::Rc2Key(std::span<const uint8_t> key, uint32_t effectiveBits) {
    const size_t t = std::clamp<size_t>(key.size(), 1, 128);
    const uint32_t t1 = std::clamp<uint32_t>(effectiveBits, 1, 1024);
    uint8_t l[128] = {};
    std::copy_n(key.begin(), std::min(key.size(), t), l);
    // Expand the key to 128 bytes, then cut it down to t1 effective bits
    // (RFC 2268 section 2: T8 bytes, the top one masked by TM).
    for (size_t i = t; i < 128; ++i)
        l[i] = kPiTable[static_cast<uint8_t>(l[i - 1] + l[i - t])];
    const uint32_t t8 = (t1 + 7) / 8;
    const uint8_t tm = static_cast<uint8_t>(0xff >> (8 * t8 - t1));
    l[128 - t8] = kPiTable[l[128 - t8] & tm];
    for (int i = 127 - static_cast<int>(t8); i >= 0; --i)
        l[i] = kPiTable[l[i + 1] ^ l[i + t8]];
    for (int i = 0; i < 64; ++i)
        k_[i] = static_cast<uint16_t>(l[2 * i] | (l[2 * i + 1] << 8));
}

void Rc2Key::EncryptBlock(uint8_t block[8]) const {
    uint16_t r[4];
    LoadWords(block, r);
    int j = 0;
    auto mix = [&] {
        for (int i = 0; i < 4; ++i) {
            r[i] = static_cast<uint16_t>(r[i] + k_[j++] + (r[(i + 3) % 4] & r[(i + 2) % 4]) +
                                         (~r[(i + 3) % 4] & r[(i + 1) % 4]));
            r[i] = Rotl(r[i], kShift[i]);
        }
    };
    auto mash = [&] {
        for (int i = 0; i < 4; ++i)
            r[i] = static_cast<uint16_t>(r[i] + k_[r[(i + 3) % 4] & 63]);
    };
    // Five mixing rounds, a mashing round, six mixing, a mashing, five mixing.
    for (int n = 0; n < 5; ++n)
        mix();
    mash();
    for (int n = 0; n < 6; ++n)
        mix();
    mash();
    for (int n = 0; n < 5; ++n)
        mix();
    StoreWords(r, block);
}

void Rc2Key::DecryptBlock(uint8_t block[8]) const {
    uint16_t r[4];
    LoadWords(block, r);
    int j = 63;
    auto rmix = [&] {
        for (int i = 3; i >= 0; --i) {
            r[i] = Rotr(r[i], kShift[i]);
            r[i] = static_cast<uint16_t>(r[i] - k_[j--] - (r[(i + 3) % 4] & r[(i + 2) % 4]) -
                                         (~r[(i + 3) % 4] & r[(i + 1) % 4]));
        }
    };
    auto rmash = [&] {
        for (int i = 3; i >= 0; --i)
            r[i] = static_cast<uint16_t>(r[i] - k_[r[(i + 3) % 4] & 63]);
    };
    for (int n = 0; n < 5; ++n)
        rmix();
    rmash();
    for (int n = 0; n < 6; ++n)
        rmix();
    rmash();
    for (int n = 0; n < 5; ++n)
        rmix();
    StoreWords(r, block);
}

std::vector<uint8_t> Rc2CbcEncrypt(const Rc2Key& key, const uint8_t iv[8],
                                   std::span<const uint8_t> data) {
    const size_t pad = 8 - data.size() % 8;
    std::vector<uint8_t> out(data.begin(), data.end());
    out.insert(out.end(), pad, static_cast<uint8_t>(pad));
    uint8_t chain[8];
    std::memcpy(chain, iv, 8);
    for (size_t at = 0; at < out.size(); at += 8) {
        XorBlock(&out[at], chain);
        key.EncryptBlock(&out[at]);
        std::memcpy(chain, &out[at], 8);
    }
    return out;
}

bool Rc2CbcDecrypt(const Rc2Key& key, const uint8_t iv[8], std::span<const uint8_t> data,
                   std::vector<uint8_t>* out) {
    if (data.empty() || data.size() % 8 != 0)
        return false;
    out->assign(data.begin(), data.end());
    uint8_t chain[8], next[8];
    std::memcpy(chain, iv, 8);
    for (size_t at = 0; at < out->size(); at += 8) {
        std::memcpy(next, &(*out)[at], 8);
        key.DecryptBlock(&(*out)[at]);
        XorBlock(&(*out)[at], chain);
        std::memcpy(chain, next, 8);
    }
    const uint8_t pad = out->back();
    if (pad < 1 || pad > 8)
        return false;
    for (size_t i = out->size() - pad; i < out->size(); ++i)
        if ((*out)[i] != pad)
            return false;
    out->resize(out->size() - pad);
    return true;
}

} // namespace platform::crypto
