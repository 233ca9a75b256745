// The key store on disk: names that try to leave the folder, permissions,
// processes creating containers at once, and damaged files.
#include "platform/crypto/crypt_keys.h"
#include "platform/crypto/last_error.h"
#include "support/temp_key_store.h"
#include "text/system_error.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace {

using namespace platform;
namespace fs = std::filesystem;

bool Acquire(HCRYPTPROV* h, const std::string& name, uint32_t flags) {
    return CryptAcquireContextA(h, name.c_str(), MS_DEF_PROV_A, PROV_RSA_FULL, flags);
}

bool Create(const std::string& name) {
    HCRYPTPROV h = 0;
    if (!Acquire(&h, name, CRYPT_NEWKEYSET))
        return false;
    CryptReleaseContext(h, 0);
    return true;
}

bool Opens(const std::string& name) {
    HCRYPTPROV h = 0;
    if (!Acquire(&h, name, 0))
        return false;
    CryptReleaseContext(h, 0);
    return true;
}

std::string ReadFile(const fs::path& path) {
    std::ifstream f(path, std::ios::binary);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
}

std::vector<fs::path> ContainerFiles(const std::string& dir) {
    std::vector<fs::path> files;
    for (const auto& e : fs::directory_iterator(dir))
        if (e.path().extension() == ".key")
            files.push_back(e.path());
    return files;
}

mode_t Mode(const std::string& path) {
    struct stat st {};
    EXPECT_EQ(::lstat(path.c_str(), &st), 0) << path;
    return st.st_mode & 07777;
}

class KeyStoreTest : public TempKeyStoreTest {};

TEST_F(KeyStoreTest, NoNameReachesOutsideTheFolder) {
    const std::vector<std::string> names = {
        "..",
        ".",
        "../outside",
        "/etc/passwd",
        "a/b",
        "..\\..\\x",
        "\\",
        "~",
        "-rf",
        ".lock",
        "Default Container",
        "default container",
        "name\nwith line feed",
        "\xff\xfe\x01",
        std::string(100, 'a'),
        std::string(101, 'a'),
        std::string(1024, '/'),
    };
    for (const std::string& name : names)
        EXPECT_TRUE(Create(name)) << name << ": " << std::hex << GetLastError();
    EXPECT_FALSE(Create(std::string(1025, 'x')));
    EXPECT_EQ(GetLastError(), NTE_BAD_KEYSET_PARAM);

    // Nothing but the store folder appeared, and in it only container files
    // named in the store's own alphabet, one per name.
    std::vector<std::string> top;
    for (const auto& e : fs::directory_iterator(root_))
        top.push_back(e.path().filename().string());
    EXPECT_EQ(top, std::vector<std::string>{"keys"});
    const std::regex own("(c-[0-9a-f]{2,200}|h-[0-9a-f]{64})\\.key");
    std::vector<fs::path> files = ContainerFiles(keysDir_);
    EXPECT_EQ(files.size(), names.size());
    for (const fs::path& f : files) {
        EXPECT_TRUE(std::regex_match(f.filename().string(), own)) << f;
        EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(f))) << f;
    }
    for (const auto& e : fs::directory_iterator(keysDir_))
        EXPECT_TRUE(e.path().extension() == ".key" || e.path().filename() == ".lock") << e.path();

    // Every name, case kept, opens its own container and is listed as given.
    std::vector<std::string> listed;
    ASSERT_TRUE(EnumKeyContainers(&listed));
    std::vector<std::string> sorted = names;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(listed, sorted);
    for (const std::string& name : names)
        EXPECT_TRUE(Opens(name)) << name;
    EXPECT_FALSE(Opens("DEFAULT CONTAINER"));
}

TEST_F(KeyStoreTest, FolderAndFilesArePrivate) {
    HCRYPTPROV h = 0;
    ASSERT_TRUE(Acquire(&h, "Private", CRYPT_NEWKEYSET));
    HCRYPTKEY k = 0;
    ASSERT_TRUE(CryptGenKey(h, AT_KEYEXCHANGE, CRYPT_EXPORTABLE, &k));
    CryptDestroyKey(k);
    CryptReleaseContext(h, 0);
    EXPECT_EQ(Mode(keysDir_), 0700u);
    for (const fs::path& f : ContainerFiles(keysDir_))
        EXPECT_EQ(Mode(f), 0600u) << f;

    // A folder someone opened up is closed again before keys go into it.
    ASSERT_EQ(::chmod(keysDir_.c_str(), 0755), 0);
    EXPECT_TRUE(Create("Second"));
    EXPECT_EQ(Mode(keysDir_), 0700u);
}

TEST_F(KeyStoreTest, ProcessesCreatingAtOnceLoseNothing) {
    ASSERT_TRUE(Create("Shared"));
    constexpr int kPerProcess = 25;
    std::vector<pid_t> children;
    for (int p = 0; p < 2; ++p) {
        pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            int failures = 0;
            for (int i = 0; i < kPerProcess; ++i)
                failures += !Create("p" + std::to_string(p) + "-" + std::to_string(i));
            // Each process adds its own pair to one container.
            HCRYPTPROV h = 0;
            HCRYPTKEY k = 0;
            if (!Acquire(&h, "Shared", 0) ||
                !CryptGenKey(h, p == 0 ? AT_KEYEXCHANGE : AT_SIGNATURE, CRYPT_EXPORTABLE, &k))
                ++failures;
            // Both race for one name: exactly one may win.
            const bool won = Create("Contested");
            _exit(failures > 0 ? 2 : won ? 0 : 1);
        }
        children.push_back(pid);
    }
    int winners = 0;
    for (pid_t pid : children) {
        int status = 0;
        ASSERT_EQ(waitpid(pid, &status, 0), pid);
        ASSERT_TRUE(WIFEXITED(status));
        ASSERT_NE(WEXITSTATUS(status), 2) << "a create or a key failed in a child";
        winners += WEXITSTATUS(status) == 0;
    }
    EXPECT_EQ(winners, 1);
    std::vector<std::string> listed;
    ASSERT_TRUE(EnumKeyContainers(&listed));
    EXPECT_EQ(listed.size(), 2u * kPerProcess + 2);
    HCRYPTPROV h = 0;
    HCRYPTKEY k = 0;
    ASSERT_TRUE(Acquire(&h, "Shared", 0));
    EXPECT_TRUE(CryptGetUserKey(h, AT_KEYEXCHANGE, &k));
    CryptDestroyKey(k);
    EXPECT_TRUE(CryptGetUserKey(h, AT_SIGNATURE, &k));
    CryptDestroyKey(k);
    CryptReleaseContext(h, 0);
}

TEST_F(KeyStoreTest, DamagedFileIsReportedAndKept) {
    struct Damage {
        const char* what;
        std::string (*apply)(const std::string& text);
    } damages[] = {
        {"cut short", [](const std::string& t) { return t.substr(0, t.size() / 2); }},
        {"another header", [](const std::string& t) { return "X" + t.substr(1); }},
        {"a key digit changed",
         [](const std::string& t) {
             std::string d = t;
             size_t at = d.find("exchange 1 ") + 11 + 2 * 40; // inside the modulus
             d[at] = d[at] == '0' ? '1' : '0';
             return d;
         }},
        {"an unknown line", [](const std::string& t) { return t + "comment\n"; }},
        {"empty", [](const std::string&) { return std::string(); }},
    };
    for (const Damage& damage : damages) {
        SCOPED_TRACE(damage.what);
        HCRYPTPROV h = 0;
        ASSERT_TRUE(Acquire(&h, "Fragile", CRYPT_NEWKEYSET));
        HCRYPTKEY k = 0;
        ASSERT_TRUE(CryptGenKey(h, AT_KEYEXCHANGE, CRYPT_EXPORTABLE, &k));
        CryptDestroyKey(k);
        std::vector<fs::path> files = ContainerFiles(keysDir_);
        ASSERT_EQ(files.size(), 1u);
        const std::string damaged = damage.apply(ReadFile(files[0]));
        std::ofstream(files[0], std::ios::binary | std::ios::trunc) << damaged;

        HCRYPTPROV other = 0;
        EXPECT_FALSE(Acquire(&other, "Fragile", 0));
        EXPECT_EQ(GetLastError(), NTE_KEYSET_ENTRY_BAD);
        EXPECT_EQ(text::SystemErrorText(static_cast<int>(GetLastError())),
                  "The key container file is damaged.");
        EXPECT_FALSE(Acquire(&other, "Fragile", CRYPT_NEWKEYSET));
        EXPECT_EQ(GetLastError(), NTE_EXISTS);
        // A handle opened before the damage cannot write over it either.
        EXPECT_FALSE(CryptGenKey(h, AT_SIGNATURE, CRYPT_EXPORTABLE, &k));
        EXPECT_EQ(GetLastError(), NTE_KEYSET_ENTRY_BAD);
        EXPECT_FALSE(CryptGetUserKey(h, AT_KEYEXCHANGE, &k));
        EXPECT_EQ(ReadFile(files[0]), damaged);
        std::vector<std::string> listed;
        EXPECT_FALSE(EnumKeyContainers(&listed));
        EXPECT_EQ(GetLastError(), NTE_KEYSET_ENTRY_BAD);

        // Deleting is the way out.
        CryptReleaseContext(h, 0);
        EXPECT_TRUE(Acquire(&other, "Fragile", CRYPT_DELETEKEYSET));
        EXPECT_TRUE(ContainerFiles(keysDir_).empty());
    }
}

TEST_F(KeyStoreTest, LinkInPlaceOfAContainerIsNotFollowed) {
    ASSERT_TRUE(Create("Target"));
    const fs::path file = ContainerFiles(keysDir_).at(0);
    const fs::path elsewhere = fs::path(root_) / "elsewhere";
    fs::rename(file, elsewhere);
    fs::create_symlink(elsewhere, file);
    EXPECT_FALSE(Opens("Target"));
    EXPECT_EQ(GetLastError(), NTE_KEYSET_ENTRY_BAD);
}

} // namespace
