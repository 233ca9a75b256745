// The three files of a key pair export and where the export stops.
#include "keys/key_export.h"
#include "keys_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

namespace fs = std::filesystem;
using keys::ExportOutcome;

std::string ReadFile(const fs::path& path) {
    std::ifstream f(path, std::ios::binary);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
}

std::vector<std::string> FilesIn(const fs::path& dir) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

class KeyExportTest : public KeysTest {
protected:
    void SetUp() override {
        KeysTest::SetUp();
        out_ = fs::path(root_) / "out";
        fs::create_directory(out_);
    }
    void TearDown() override {
        if (request_.provider)
            platform::CryptReleaseContext(request_.provider, 0);
        KeysTest::TearDown();
    }
    // A request on container name, writing into out_.
    keys::ExportRequest& Request(const std::string& name) {
        EXPECT_TRUE(platform::CryptAcquireContextA(
            &request_.provider, name.c_str(), platform::MS_DEF_PROV_A, platform::PROV_RSA_FULL, 0));
        request_.baseMessage = "abc";
        request_.folder = out_.string();
        return request_;
    }
    fs::path out_;
    keys::ExportRequest request_;
};

TEST_F(KeyExportTest, WritesDigestPublicBlobAndEncryptedPrivateBlob) {
    MakeContainer("Box", true, true);
    for (auto cipher : {keys::SessionCipher::Rc2, keys::SessionCipher::Rc4}) {
        SCOPED_TRACE(static_cast<int>(cipher));
        keys::ExportRequest& r = Request("Box");
        r.cipher = cipher;
        r.kind = keys::KeyKind::Signature;
        keys::ExportResult result = keys::ExportKeyPair(r);
        ASSERT_EQ(result.outcome, ExportOutcome::Succeeded);
        EXPECT_EQ(result.written.size(), 3u);
        // MD5("abc"), whichever cipher.
        EXPECT_EQ(
            ReadFile(out_ / "session.md5"),
            std::string("\x90\x01\x50\x98\x3c\xd2\x4f\xb0\xd6\x96\x3f\x7d\x28\xe1\x7f\x72", 16));
        const auto expectedPublic = PublicBlob("Box", platform::AT_SIGNATURE);
        EXPECT_EQ(ReadFile(out_ / "publickey.blob"),
                  std::string(expectedPublic.begin(), expectedPublic.end()));
        const std::string priv = ReadFile(out_ / "privatekey.blob");
        EXPECT_EQ(priv.size(), cipher == keys::SessionCipher::Rc2 ? 600u : 596u);
        EXPECT_EQ(priv.substr(0, 8), std::string("\x07\x02\x00\x00\x00\x24\x00\x00", 8));
        EXPECT_NE(priv.substr(8, 4), "RSA2") << "encrypted after the header";
        EXPECT_EQ(fs::status(out_ / "privatekey.blob").permissions() & fs::perms::all,
                  fs::perms::owner_read | fs::perms::owner_write);
        platform::CryptReleaseContext(r.provider, 0);
        r.provider = 0;
    }
    EXPECT_EQ(FilesIn(out_),
              (std::vector<std::string>{"privatekey.blob", "publickey.blob", "session.md5"}));
}

TEST_F(KeyExportTest, StopsAtTheFirstFailureKeepingWhatWasWritten) {
    MakeContainer("Exchange only", true, false);
    MakeContainer("Locked", true, false, 0); // not exportable
    struct Case {
        const char* what;
        const char* container;
        void (*edit)(keys::ExportRequest&);
        ExportOutcome outcome;
        std::vector<std::string> files;
    } cases[] = {
        {"empty base message",
         "Exchange only",
         [](keys::ExportRequest& r) { r.baseMessage = ""; },
         ExportOutcome::NoBaseMessage,
         {}},
        {"empty folder",
         "Exchange only",
         [](keys::ExportRequest& r) { r.folder = ""; },
         ExportOutcome::NoFolder,
         {}},
        {"missing signature pair",
         "Exchange only",
         [](keys::ExportRequest& r) { r.kind = keys::KeyKind::Signature; },
         ExportOutcome::NoUserKey,
         {}},
        {"folder that is not there",
         "Exchange only",
         [](keys::ExportRequest& r) { r.folder += "/missing"; },
         ExportOutcome::SessionFileFailed,
         {}},
        {"empty session file name",
         "Exchange only",
         [](keys::ExportRequest& r) { r.sessionFile = ""; },
         ExportOutcome::Succeeded,
         {"privatekey.blob", "publickey.blob"}},
        {"pair made without export right",
         "Locked",
         [](keys::ExportRequest&) {},
         ExportOutcome::PrivateExportFailed,
         {"publickey.blob", "session.md5"}},
        {"private file name is a folder",
         "Exchange only",
         [](keys::ExportRequest& r) {
             fs::create_directory(fs::path(r.folder) / "taken");
             r.privateFile = "taken";
         },
         ExportOutcome::PrivateFileFailed,
         {"publickey.blob", "session.md5", "taken"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove_all(out_);
        fs::create_directory(out_);
        keys::ExportRequest& r = Request(c.container);
        c.edit(r);
        keys::ExportResult result = keys::ExportKeyPair(r);
        EXPECT_EQ(result.outcome, c.outcome);
        EXPECT_EQ(FilesIn(out_), c.files);
        platform::CryptReleaseContext(r.provider, 0);
        request_ = keys::ExportRequest{};
    }
}

TEST(KeyExportTexts, TitlesMessagesAndTheExportButton) {
    EXPECT_EQ(keys::ExportTitle(keys::KeyKind::Exchange, "Box"),
              "Export key exchange key pair from \"Box\"");
    EXPECT_EQ(keys::ExportTitle(keys::KeyKind::Signature, "Box"),
              "Export signature key pair from \"Box\"");
    EXPECT_STREQ(keys::ExportMessage(ExportOutcome::NoUserKey),
                 "Cann't get user key from key conainter!");
    EXPECT_TRUE(keys::ExportEnabled("a", "b"));
    EXPECT_FALSE(keys::ExportEnabled("", "b"));
    EXPECT_FALSE(keys::ExportEnabled("a", ""));
}

} // namespace
