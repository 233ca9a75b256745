// Container names and container files: a file name stays inside the store's
// folder, and whatever a container's file holds, the store reads it as a
// container of that name or reports it damaged, never rewrites a damaged
// file, and can always delete it. The key blob reader gives back exactly the
// blob it read.
#include "fuzz_expect.h"
#include "platform/crypto/key_store.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace store = platform::crypto;
using store::StoreStatus;

using fuzz::Expect;

namespace {

std::string Folder() {
    static const std::string dir = [] {
        std::string base = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
        std::string d = base + "/ordovane-fuzz-keys-" + std::to_string(getpid());
        ::setenv("ORDOVANE_KEYS_DIR", d.c_str(), 1);
        return d;
    }();
    return dir;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void CheckBlobReader(std::string_view bytes) {
    uint32_t algId = 0;
    const auto* p = reinterpret_cast<const uint8_t*>(bytes.data());
    auto key = store::ParsePrivateKeyBlob(std::span(p, bytes.size()), &algId);
    if (!key)
        return;
    const std::vector<uint8_t> again = store::PrivateKeyBlob(*key, algId);
    Expect(again.size() == bytes.size() && std::equal(again.begin(), again.end(), p),
           "blob does not read back as itself");
}

} // namespace

// Input: a two-byte name length, the name, then the container file's bytes.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string folder = Folder(); // before any store call: it names the folder
    if (size < 2)
        return 0;
    const size_t nameLen = std::min<size_t>(data[0] | (data[1] << 8), size - 2);
    const std::string name(reinterpret_cast<const char*>(data + 2), nameLen);
    const std::string content(reinterpret_cast<const char*>(data + 2 + nameLen),
                              size - 2 - nameLen);
    CheckBlobReader(content);

    const std::string file = store::ContainerFileName(name);
    Expect(file.empty() == (name.empty() || name.size() > store::kMaxContainerName),
           "name length rule");
    if (file.empty()) {
        store::Container c;
        Expect(store::CreateContainer(name).status == StoreStatus::BadName, "bad name created");
        Expect(store::LoadContainer(name, &c).status == StoreStatus::BadName, "bad name loaded");
        return 0;
    }
    Expect((file.starts_with("c-") || file.starts_with("h-")) && file.ends_with(".key") &&
               file.find_first_not_of("0123456789abcdef", 2) == file.size() - 4,
           "file name outside its alphabet");

    std::error_code ec;
    std::filesystem::remove_all(folder, ec);
    std::filesystem::create_directories(folder, ec);
    const std::string path = folder + "/" + file;
    std::ofstream(path, std::ios::binary).write(content.data(), std::streamsize(content.size()));

    store::Container c;
    const StoreStatus loaded = store::LoadContainer(name, &c).status;
    Expect(loaded == StoreStatus::Ok || loaded == StoreStatus::Damaged, "load status");
    std::vector<std::string> names;
    size_t damaged = 0;
    Expect(store::ListContainers(&names, &damaged).ok(), "list failed");
    Expect(damaged == (loaded == StoreStatus::Damaged ? 1u : 0u), "damaged count");
    Expect(names.size() == (loaded == StoreStatus::Ok ? 1u : 0u), "listed names");
    Expect(store::CreateContainer(name).status == StoreStatus::Exists, "created over a file");

    if (loaded == StoreStatus::Ok) {
        Expect(c.name == name && names[0] == name, "container of another name");
        // Swapping the pairs' kinds round-trips through the file.
        for (auto [kind, pair] : {std::pair{store::KeySpec::Exchange, c.signature},
                                  std::pair{store::KeySpec::Signature, c.exchange}}) {
            if (!pair)
                continue;
            Expect(store::PutPair(name, kind, *pair).ok(), "pair not stored");
            store::Container again;
            Expect(store::LoadContainer(name, &again).ok(), "stored container unreadable");
            const auto& stored =
                kind == store::KeySpec::Exchange ? again.exchange : again.signature;
            Expect(stored && stored->exportable == pair->exportable &&
                       stored->key.modulus == pair->key.modulus &&
                       stored->key.privateExponent == pair->key.privateExponent,
                   "stored pair differs");
        }
    } else {
        // Any pair of blob widths: the damage is found before the key matters.
        store::StoredPair pair;
        pair.key.bitLen = 16;
        pair.key.modulus = pair.key.privateExponent = {1, 1};
        pair.key.prime1 = pair.key.prime2 = pair.key.exponent1 = pair.key.exponent2 =
            pair.key.coefficient = {1};
        Expect(store::PutPair(name, store::KeySpec::Exchange, pair).status == StoreStatus::Damaged,
               "pair put into a damaged container");
        Expect(ReadFile(path) == content, "damaged file rewritten");
    }
    Expect(store::DeleteContainer(name).ok(), "delete failed");
    Expect(!std::filesystem::exists(path), "deleted container left its file");
    return 0;
}
