// The export of one key pair of a container to three files, without a
// window: the session data file (the MD5 digest of the base message), the
// public key as a PUBLICKEYBLOB and the key pair as a PRIVATEKEYBLOB
// encrypted with the RC2 or RC4 session key derived from that digest. The
// Export Key Pair dialog and `ordovane-cli keys export` both run this.
#pragma once

#include "platform/crypto/crypt_provider.h"

#include <cstdint>
#include <string>
#include <vector>

namespace keys {

enum class KeyKind { Exchange = 0, Signature = 1 };
enum class SessionCipher { Rc2 = 0, Rc4 = 1 };

inline constexpr char kDefaultPublicFile[] = "publickey.blob";
inline constexpr char kDefaultPrivateFile[] = "privatekey.blob";
inline constexpr char kDefaultSessionFile[] = "session.md5";
// Each blob is asked for into a buffer of this size; a larger one fails.
inline constexpr uint32_t kBlobBufferSize = 1024;

struct ExportRequest {
    platform::HCRYPTPROV provider = 0; // open on the container; the caller releases it
    KeyKind kind = KeyKind::Exchange;
    SessionCipher cipher = SessionCipher::Rc2;
    std::string baseMessage; // its bytes, without a terminator, are hashed
    std::string folder;
    std::string publicFile = kDefaultPublicFile;
    std::string privateFile = kDefaultPrivateFile;
    std::string sessionFile = kDefaultSessionFile; // empty: not written
};

enum class ExportOutcome {
    Succeeded,
    NoBaseMessage,    // focus goes to the base message
    NoFolder,         // focus goes to the folder
    NoUserKey,        // the container lacks the pair
    SessionKeyFailed, // hashing, deriving or reading the hash failed
    SessionFileFailed,
    PublicExportFailed,
    PublicFileFailed,
    PrivateExportFailed,
    PrivateFileFailed,
};

struct ExportResult {
    ExportOutcome outcome = ExportOutcome::Succeeded;
    std::vector<std::string> written; // paths written, in order; they stay after a failure
};

// The message of an outcome, as the dialog shows it.
const char* ExportMessage(ExportOutcome outcome);

// "Export key exchange key pair from "%s"" or "Export signature key pair
// from "%s"" with the container name.
std::string ExportTitle(KeyKind kind, const std::string& container);

// Export is possible only with both blob file names.
bool ExportEnabled(const std::string& publicFile, const std::string& privateFile);

// Runs the export in the dialog's order and stops at the first failure;
// every file is written whole (temporary file, then renamed over the target)
// and checked, so a full disk is a failure, not a short file. The private
// key is never written unencrypted. Each path is folder + "/" + file name.
ExportResult ExportKeyPair(const ExportRequest& request);

} // namespace keys
