#include "keys/key_export.h"

#include "platform/crypto/crypt_hash.h"
#include "platform/crypto/crypt_keys.h"

#include <filesystem>
#include <fstream>
#include <random>
#include <system_error>

namespace keys {
namespace {

namespace fs = std::filesystem;

constexpr uint32_t kMd5Size = 16;

// Writes bytes to path through a temporary file beside it, renamed over the
// target once every byte is flushed. ownerOnly makes the file 0600.
bool WriteWhole(const fs::path& path, const std::vector<uint8_t>& bytes, bool ownerOnly) {
    std::random_device random;
    fs::path tmp = path;
    tmp += ".tmp" + std::to_string(random());
    std::error_code ec;
    {
        std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
        if (!out)
            return false;
        if (ownerOnly)
            fs::permissions(tmp, fs::perms::owner_read | fs::perms::owner_write,
                            fs::perm_options::replace, ec);
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
        out.close();
        if (ec || !out) {
            fs::remove(tmp, ec);
            return false;
        }
    }
    fs::rename(tmp, path, ec);
    if (ec) {
        fs::remove(tmp, ec);
        return false;
    }
    return true;
}

// Handles the export holds, released on every way out.
struct Handles {
    platform::HCRYPTKEY userKey = 0;
    platform::HCRYPTHASH hash = 0;
    platform::HCRYPTKEY sessionKey = 0;
    ~Handles() {
        if (hash)
            platform::CryptDestroyHash(hash);
        if (sessionKey)
            platform::CryptDestroyKey(sessionKey);
        if (userKey)
            platform::CryptDestroyKey(userKey);
    }
};

bool ExportBlob(platform::HCRYPTKEY key, platform::HCRYPTKEY with, uint32_t type,
                std::vector<uint8_t>* blob) {
    blob->assign(kBlobBufferSize, 0);
    uint32_t len = kBlobBufferSize;
    if (!platform::CryptExportKey(key, with, type, 0, blob->data(), &len))
        return false;
    blob->resize(len);
    return true;
}

} // namespace

const char* ExportMessage(ExportOutcome outcome) {
    switch (outcome) {
    case ExportOutcome::Succeeded:
        return "You have succeeded in exporting key blobs.";
    case ExportOutcome::NoBaseMessage:
        return "To derive a session key, you need feed some base data.";
    case ExportOutcome::NoFolder:
        return "Please browse a folder for saving key blobs.";
    case ExportOutcome::NoUserKey:
        return "Cann't get user key from key conainter!";
    case ExportOutcome::SessionKeyFailed:
        return "Cann't export session key!";
    case ExportOutcome::SessionFileFailed:
        return "Cann't write session key to file!";
    case ExportOutcome::PublicExportFailed:
        return "Cann't export public key!";
    case ExportOutcome::PublicFileFailed:
        return "Cann't write public key to file!";
    case ExportOutcome::PrivateExportFailed:
        return "Cann't export private key!";
    case ExportOutcome::PrivateFileFailed:
        return "Cann't write private key to file!";
    }
    return "";
}

std::string ExportTitle(KeyKind kind, const std::string& container) {
    return (kind == KeyKind::Exchange ? "Export key exchange key pair from \""
                                      : "Export signature key pair from \"") +
           container + "\"";
}

bool ExportEnabled(const std::string& publicFile, const std::string& privateFile) {
    return !publicFile.empty() && !privateFile.empty();
}

ExportResult ExportKeyPair(const ExportRequest& request) {
    ExportResult result;
    auto stop = [&](ExportOutcome outcome) {
        result.outcome = outcome;
        return result;
    };
    if (request.baseMessage.empty())
        return stop(ExportOutcome::NoBaseMessage);
    if (request.folder.empty())
        return stop(ExportOutcome::NoFolder);
    const fs::path folder(request.folder);

    Handles h;
    const uint32_t keySpec =
        request.kind == KeyKind::Exchange ? platform::AT_KEYEXCHANGE : platform::AT_SIGNATURE;
    if (!platform::CryptGetUserKey(request.provider, keySpec, &h.userKey))
        return stop(ExportOutcome::NoUserKey);

    const uint32_t cipher =
        request.cipher == SessionCipher::Rc2 ? platform::CALG_RC2 : platform::CALG_RC4;
    std::vector<uint8_t> digest(kMd5Size);
    uint32_t digestLen = kMd5Size;
    if (!platform::CryptCreateHash(request.provider, platform::CALG_MD5, 0, 0, &h.hash) ||
        !platform::CryptHashData(h.hash,
                                 reinterpret_cast<const uint8_t*>(request.baseMessage.data()),
                                 static_cast<uint32_t>(request.baseMessage.size()), 0) ||
        !platform::CryptDeriveKey(request.provider, cipher, h.hash, platform::CRYPT_EXPORTABLE,
                                  &h.sessionKey) ||
        !platform::CryptGetHashParam(h.hash, platform::HP_HASHVAL, digest.data(), &digestLen, 0))
        return stop(ExportOutcome::SessionKeyFailed);
    digest.resize(digestLen);
    if (!request.sessionFile.empty()) {
        const fs::path path = folder / request.sessionFile;
        if (!WriteWhole(path, digest, false))
            return stop(ExportOutcome::SessionFileFailed);
        result.written.push_back(path.string());
    }
    platform::CryptDestroyHash(h.hash);
    h.hash = 0;

    std::vector<uint8_t> blob;
    if (!ExportBlob(h.userKey, 0, platform::PUBLICKEYBLOB, &blob))
        return stop(ExportOutcome::PublicExportFailed);
    const fs::path publicPath = folder / request.publicFile;
    if (!WriteWhole(publicPath, blob, false))
        return stop(ExportOutcome::PublicFileFailed);
    result.written.push_back(publicPath.string());

    if (!ExportBlob(h.userKey, h.sessionKey, platform::PRIVATEKEYBLOB, &blob))
        return stop(ExportOutcome::PrivateExportFailed);
    const fs::path privatePath = folder / request.privateFile;
    if (!WriteWhole(privatePath, blob, true))
        return stop(ExportOutcome::PrivateFileFailed);
    result.written.push_back(privatePath.string());
    return result;
}

} // namespace keys
