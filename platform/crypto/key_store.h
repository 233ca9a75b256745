// Key containers on disk: one file per container under
// $XDG_DATA_HOME/Pellacor/keys/ ($ORDOVANE_KEYS_DIR overrides it), folder
// 0700, files 0600. A container holds its name and up to two RSA key pairs
// (exchange and signature), each as a plain PRIVATEKEYBLOB with its
// exportable flag. Every call reads the file fresh; every change replaces it
// atomically under an exclusive lock on the folder's lock file, so processes
// never lose a container or a key. A file that does not read back as a
// container is reported as Damaged and never overwritten.
#pragma once

#include "platform/crypto/key_blob.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform::crypto {

enum class KeySpec { Exchange, Signature };

inline constexpr uint32_t kAlgRsaKeyx = 0xa400; // CALG_RSA_KEYX, the exchange pair
inline constexpr uint32_t kAlgRsaSign = 0x2400; // CALG_RSA_SIGN, the signature pair
// Longest container name in bytes; longer names are refused, never cut.
inline constexpr size_t kMaxContainerName = 1024;

struct StoredPair {
    bool exportable = false;
    RsaKeyParts key;
};

struct Container {
    std::string name;
    std::optional<StoredPair> exchange;
    std::optional<StoredPair> signature;
};

enum class StoreStatus {
    Ok,
    NotFound, // no such container
    Exists,   // creating a container that is there
    Damaged,  // the container's file is not a container; left as it is
    BadName,  // empty or longer than kMaxContainerName
    Io,       // a system call failed; StoreResult::osError says why
};

struct StoreResult {
    StoreStatus status = StoreStatus::Ok;
    int osError = 0; // errno for Io
    bool ok() const { return status == StoreStatus::Ok; }
};

// The ALG_ID a pair of that kind carries in its blobs.
uint32_t PairAlgId(KeySpec kind);

// The folder of the container files.
std::string KeysDirectory();

// The file name (no folder) of a container: "c-" and the name's bytes in hex
// when that is short, else "h-" and the hex SHA-256 of the name; ".key"
// after either. Only hex digits stand between the prefix and the suffix, so
// no name reaches outside the folder. Empty for a name that is empty or too long.
// ContainerFileName("A/..") == "c-412f2e2e.key".
std::string ContainerFileName(std::string_view name);

// Creates an empty container (no key pairs). Exists when there is one.
StoreResult CreateContainer(std::string_view name);

// Removes a container with its key pairs, damaged or not. NotFound when
// there is none.
StoreResult DeleteContainer(std::string_view name);

// Reads a container into *out.
StoreResult LoadContainer(std::string_view name, Container* out);

// Sets (adds or replaces) the pair of that kind in an existing container,
// keeping the other pair as the file holds it at that moment.
StoreResult PutPair(std::string_view name, KeySpec kind, const StoredPair& pair);

// The names of all containers, sorted; *damaged (when given) counts the files
// that could not be read as containers (they are left out).
StoreResult ListContainers(std::vector<std::string>* names, size_t* damaged = nullptr);

} // namespace platform::crypto
