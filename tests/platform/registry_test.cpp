#include "platform/registry/registry.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using namespace platform::registry;
constexpr Root kUser = Root::CurrentUser;
constexpr Root kClasses = Root::ClassesRoot;
using Names = std::vector<std::string>;

std::string ReadFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void WriteFile(const fs::path& p, const std::string& text) {
    std::ofstream(p, std::ios::binary) << text;
}

Names Entries(const fs::path& dir) {
    Names names;
    for (const auto& e : fs::directory_iterator(dir))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// "v" and 7 -> "v7" (appending, not prefixing: GCC 12 misreports the latter).
std::string Numbered(const char* prefix, size_t n) {
    std::string s(prefix);
    s += std::to_string(n);
    return s;
}

std::string DeepPath(int levels) {
    std::string path = "k";
    for (int i = 1; i < levels; ++i)
        path += "\\k";
    return path;
}

// Every test gets its own store folder (not yet created) and its own
// environment, restored afterwards.
class Registry : public ::testing::Test {
protected:
    void SetUp() override {
        std::string tmpl = (fs::temp_directory_path() / "regtest.XXXXXX").string();
        ASSERT_NE(mkdtemp(tmpl.data()), nullptr);
        base_ = tmpl;
        dir_ = base_ / "store";
        for (const char* name : {"ORDOVANE_REGISTRY_DIR", "XDG_DATA_HOME", "HOME"}) {
            const char* v = std::getenv(name);
            saved_.push_back({name, v ? std::optional<std::string>(v) : std::nullopt});
        }
        setenv("ORDOVANE_REGISTRY_DIR", dir_.c_str(), 1);
    }
    void TearDown() override {
        for (const auto& [name, value] : saved_) {
            if (value)
                setenv(name.c_str(), value->c_str(), 1);
            else
                unsetenv(name.c_str());
        }
        fs::remove_all(base_);
    }
    fs::path UserFile() const { return dir_ / "HKEY_CURRENT_USER.reg"; }

    fs::path base_, dir_;
    std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

TEST_F(Registry, KeysAreCreatedEnumeratedAndDeleted) {
    const std::string app = "Software\\Pellacor\\Ordovane";
    EXPECT_FALSE(KeyExists(kUser, "Software"));
    ASSERT_EQ(CreateKey(kUser, app + "\\View"), RegError::Ok);
    for (const std::string& p : Names{"Software", "Software\\Pellacor", app})
        EXPECT_TRUE(KeyExists(kUser, p)) << p;
    ASSERT_EQ(CreateKey(kUser, app + "\\General"), RegError::Ok);
    ASSERT_EQ(CreateKey(kUser, app + "\\Crc"), RegError::Ok);
    ASSERT_EQ(CreateKey(kUser, app + "\\Crc"), RegError::Ok) << "existing key";

    Names names;
    ASSERT_EQ(EnumSubkeys(kUser, app, &names), RegError::Ok);
    EXPECT_EQ(names, (Names{"Crc", "General", "View"}));
    ASSERT_EQ(EnumSubkeys(kUser, "", &names), RegError::Ok);
    EXPECT_EQ(names, (Names{"Software"}));
    EXPECT_EQ(EnumSubkeys(kUser, "Missing", &names), RegError::NotFound);
    EXPECT_EQ(EnumValues(kUser, "Missing", &names), RegError::NotFound);

    EXPECT_EQ(DeleteKeyIfLeaf(kUser, "Software\\Pellacor"), RegError::InvalidArg);
    EXPECT_TRUE(KeyExists(kUser, app + "\\Crc"));
    ASSERT_EQ(SetValue(kUser, app + "\\Crc", "Width", 32u), RegError::Ok);
    ASSERT_EQ(DeleteKeyIfLeaf(kUser, app + "\\Crc"), RegError::Ok) << "values go with it";
    ASSERT_EQ(CreateKey(kUser, app + "\\Crc"), RegError::Ok);
    EXPECT_EQ(GetDword(kUser, app + "\\Crc", "Width"), std::nullopt);

    ASSERT_EQ(DeleteKey(kUser, "Software\\Pellacor"), RegError::Ok);
    EXPECT_TRUE(KeyExists(kUser, "Software"));
    EXPECT_FALSE(KeyExists(kUser, "Software\\Pellacor"));
    EXPECT_FALSE(KeyExists(kUser, app + "\\View"));
    EXPECT_EQ(DeleteKey(kUser, "Software\\Pellacor"), RegError::NotFound);
    EXPECT_EQ(DeleteKey(kUser, "Nowhere\\Deep"), RegError::NotFound);
    EXPECT_FALSE(KeyExists(kClasses, "Software")) << "the roots are separate";
}

TEST_F(Registry, DefaultAndNamedValuesOfBothTypes) {
    ASSERT_EQ(SetValue(kUser, "A\\B", "", std::string("default")), RegError::Ok);
    ASSERT_EQ(SetValue(kUser, "A\\B", "Count", 31u), RegError::Ok);
    ASSERT_EQ(SetValue(kUser, "A\\B", "Name", std::string("text")), RegError::Ok);
    ASSERT_EQ(SetValue(kUser, "A\\B", "Max", 0xFFFFFFFFu), RegError::Ok);
    ASSERT_EQ(SetValue(kUser, "A\\B", "Zero", 0u), RegError::Ok);
    EXPECT_TRUE(KeyExists(kUser, "A")) << "parents are created";

    EXPECT_EQ(GetString(kUser, "A\\B", ""), "default");
    EXPECT_EQ(GetString(kUser, "A\\B", "Name"), "text");
    EXPECT_EQ(GetDword(kUser, "A\\B", "Count"), 31u);
    EXPECT_EQ(GetDword(kUser, "A\\B", "Max"), 0xFFFFFFFFu);
    EXPECT_EQ(GetDword(kUser, "A\\B", "Zero"), 0u);
    EXPECT_EQ(GetString(kUser, "A\\B", "Count"), std::nullopt) << "other type";
    EXPECT_EQ(GetDword(kUser, "A\\B", "Name"), std::nullopt) << "other type";
    Names names;
    ASSERT_EQ(EnumValues(kUser, "A\\B", &names), RegError::Ok);
    EXPECT_EQ(names, (Names{"", "Count", "Max", "Name", "Zero"}));
    ASSERT_EQ(EnumValues(kUser, "A", &names), RegError::Ok);
    EXPECT_TRUE(names.empty());

    ASSERT_EQ(SetValue(kUser, "A\\B", "Count", std::string("now text")), RegError::Ok);
    Value v;
    ASSERT_EQ(GetValue(kUser, "A\\B", "Count", &v), RegError::Ok);
    EXPECT_EQ(v, Value(std::string("now text")));
    EXPECT_EQ(GetValue(kUser, "A\\B", "Missing", &v), RegError::NotFound);
    EXPECT_EQ(GetValue(kUser, "A\\Missing", "Count", &v), RegError::NotFound);
    ASSERT_EQ(DeleteValue(kUser, "A\\B", "Count"), RegError::Ok);
    EXPECT_EQ(DeleteValue(kUser, "A\\B", "Count"), RegError::NotFound);
    EXPECT_EQ(DeleteValue(kUser, "A\\Missing", "x"), RegError::NotFound);
    EXPECT_EQ(GetString(kUser, "A\\B", "Count"), std::nullopt);

    // The root itself can hold values too; only deleting it is refused.
    ASSERT_EQ(SetValue(kUser, "", "AtRoot", 7u), RegError::Ok);
    EXPECT_EQ(GetDword(kUser, "", "AtRoot"), 7u);
    EXPECT_EQ(DeleteKey(kUser, ""), RegError::InvalidArg);
    EXPECT_EQ(DeleteKeyIfLeaf(kUser, ""), RegError::InvalidArg);
}

TEST_F(Registry, NamesCompareWithoutAsciiCaseAndKeepTheirFirstSpelling) {
    ASSERT_EQ(CreateKey(kUser, "Software\\Pellacor"), RegError::Ok);
    ASSERT_EQ(CreateKey(kUser, "SOFTWARE\\pellacor\\Sub"), RegError::Ok);
    ASSERT_EQ(SetValue(kUser, "software", "Width", 1u), RegError::Ok);
    ASSERT_EQ(SetValue(kUser, "SOFTWARE", "WIDTH", 2u), RegError::Ok);
    // Bytes beyond ASCII are not folded: A-umlaut and a-umlaut differ.
    ASSERT_EQ(CreateKey(kUser, "Software\\\xC3\x84"), RegError::Ok);
    ASSERT_EQ(CreateKey(kUser, "Software\\\xC3\xA4"), RegError::Ok);

    Names names;
    ASSERT_EQ(EnumSubkeys(kUser, "", &names), RegError::Ok);
    EXPECT_EQ(names, (Names{"Software"}));
    ASSERT_EQ(EnumSubkeys(kUser, "software\\PELLACOR", &names), RegError::Ok);
    EXPECT_EQ(names, (Names{"Sub"}));
    ASSERT_EQ(EnumValues(kUser, "Software", &names), RegError::Ok);
    EXPECT_EQ(names, (Names{"Width"}));
    EXPECT_EQ(GetDword(kUser, "sOfTwArE", "width"), 2u);
    ASSERT_EQ(EnumSubkeys(kUser, "Software", &names), RegError::Ok);
    EXPECT_EQ(names.size(), 3u);

    ASSERT_EQ(CreateKey(kUser, "Order\\b"), RegError::Ok);
    ASSERT_EQ(CreateKey(kUser, "Order\\C"), RegError::Ok);
    ASSERT_EQ(CreateKey(kUser, "Order\\A"), RegError::Ok);
    ASSERT_EQ(EnumSubkeys(kUser, "order", &names), RegError::Ok);
    EXPECT_EQ(names, (Names{"A", "b", "C"})) << "sorted regardless of case";

    ASSERT_EQ(DeleteKey(kUser, "ORDER\\B"), RegError::Ok);
    ASSERT_EQ(CreateKey(kUser, "Order\\B"), RegError::Ok);
    ASSERT_EQ(EnumSubkeys(kUser, "Order", &names), RegError::Ok);
    EXPECT_EQ(names, (Names{"A", "B", "C"})) << "a new key takes the new spelling";
}

TEST_F(Registry, MalformedArgumentsAreRefusedWithoutTouchingTheStore) {
    const std::vector<std::string> badPaths = {
        "\\A", "A\\", "A\\\\B", "\\", "A\nB", "A\rB", std::string("A\0B", 3), DeepPath(513)};
    Names names;
    Value v;
    for (const std::string& p : badPaths) {
        SCOPED_TRACE(p);
        EXPECT_EQ(CreateKey(kUser, p), RegError::InvalidArg);
        EXPECT_FALSE(KeyExists(kUser, p));
        EXPECT_EQ(DeleteKey(kUser, p), RegError::InvalidArg);
        EXPECT_EQ(DeleteKeyIfLeaf(kUser, p), RegError::InvalidArg);
        EXPECT_EQ(EnumSubkeys(kUser, p, &names), RegError::InvalidArg);
        EXPECT_EQ(EnumValues(kUser, p, &names), RegError::InvalidArg);
        EXPECT_EQ(SetValue(kUser, p, "n", 1u), RegError::InvalidArg);
        EXPECT_EQ(GetValue(kUser, p, "n", &v), RegError::InvalidArg);
        EXPECT_EQ(DeleteValue(kUser, p, "n"), RegError::InvalidArg);
    }
    for (const std::string& name :
         {std::string("a\nb"), std::string("a\rb"), std::string("\0", 1)}) {
        EXPECT_EQ(SetValue(kUser, "K", name, 1u), RegError::InvalidArg);
        EXPECT_EQ(GetValue(kUser, "K", name, &v), RegError::InvalidArg);
        EXPECT_EQ(DeleteValue(kUser, "K", name), RegError::InvalidArg);
    }
    EXPECT_EQ(SetValue(kUser, "K", "n", std::string("nul\0inside", 10)), RegError::InvalidArg);
    EXPECT_EQ(EnumSubkeys(kUser, "", nullptr), RegError::InvalidArg);
    EXPECT_EQ(EnumValues(kUser, "", nullptr), RegError::InvalidArg);
    EXPECT_EQ(GetValue(kUser, "K", "n", nullptr), RegError::InvalidArg);
    // Deleting from a store never written finds nothing and creates no folder.
    EXPECT_EQ(DeleteKey(kUser, "K"), RegError::NotFound);
    EXPECT_EQ(DeleteValue(kUser, "K", "n"), RegError::NotFound);
    EXPECT_FALSE(fs::exists(dir_));

    const std::string deepest = DeepPath(512);
    EXPECT_EQ(CreateKey(kUser, deepest), RegError::Ok) << "512 levels are allowed";
    EXPECT_TRUE(KeyExists(kUser, deepest));
}

TEST_F(Registry, FileIsTheExportNotationAndPrivate) {
    const std::string general = "Software\\Pellacor\\Ordovane\\General";
    ASSERT_EQ(SetValue(kUser, general, "", std::string("x")), RegError::Ok);
    ASSERT_EQ(SetValue(kUser, general, "Error Flag", 0x1Fu), RegError::Ok);
    ASSERT_EQ(SetValue(kUser, general, "Path", std::string("C:\\dir \"q\"")), RegError::Ok);
    ASSERT_EQ(CreateKey(kUser, "Software\\Pellacor\\Ordovane\\Empty"), RegError::Ok);
    ASSERT_EQ(SetValue(kUser, "Software\\Pellacor\\Ordovane\\Hex", "", std::string("A\nB")),
              RegError::Ok);
    ASSERT_EQ(SetValue(kClasses, "CLSID\\{61A366B6-165F-42B6-8A5E-3569B0780C33}\\InprocServer32",
                       "ThreadingModel", std::string("Apartment")),
              RegError::Ok);

    EXPECT_EQ(ReadFile(UserFile()), "Windows Registry Editor Version 5.00\n"
                                    "\n"
                                    "[HKEY_CURRENT_USER\\Software]\n"
                                    "\n"
                                    "[HKEY_CURRENT_USER\\Software\\Pellacor]\n"
                                    "\n"
                                    "[HKEY_CURRENT_USER\\Software\\Pellacor\\Ordovane]\n"
                                    "\n"
                                    "[HKEY_CURRENT_USER\\Software\\Pellacor\\Ordovane\\Empty]\n"
                                    "\n"
                                    "[HKEY_CURRENT_USER\\Software\\Pellacor\\Ordovane\\General]\n"
                                    "@=\"x\"\n"
                                    "\"Error Flag\"=dword:0000001f\n"
                                    "\"Path\"=\"C:\\\\dir \\\"q\\\"\"\n"
                                    "\n"
                                    "[HKEY_CURRENT_USER\\Software\\Pellacor\\Ordovane\\Hex]\n"
                                    "@=hex(1):41,00,0a,00,42,00,00,00\n"
                                    "\n");
    EXPECT_EQ(ReadFile(dir_ / "HKEY_CLASSES_ROOT.reg"),
              "Windows Registry Editor Version 5.00\n\n[HKEY_CLASSES_ROOT\\CLSID]\n\n"
              "[HKEY_CLASSES_ROOT\\CLSID\\{61A366B6-165F-42B6-8A5E-3569B0780C33}]\n\n"
              "[HKEY_CLASSES_ROOT\\CLSID\\{61A366B6-165F-42B6-8A5E-3569B0780C33}\\InprocServer32]"
              "\n\"ThreadingModel\"=\"Apartment\"\n\n");

    struct stat st;
    ASSERT_EQ(stat(dir_.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    ASSERT_EQ(stat(UserFile().c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0077, 0u);
    EXPECT_EQ(Entries(dir_), (Names{"HKEY_CLASSES_ROOT.lock", "HKEY_CLASSES_ROOT.reg",
                                    "HKEY_CURRENT_USER.lock", "HKEY_CURRENT_USER.reg"}))
        << "no temporary file left behind";
}

TEST_F(Registry, HandWrittenFileIsRead) {
    fs::create_directories(dir_);
    WriteFile(UserFile(), "\xEF\xBB\xBF"
                          "Windows Registry Editor Version 5.00\r\n\r\n"
                          "; a comment\r\n"
                          "[HKEY_CURRENT_USER\\Software\\Pellacor\\Ordovane\\Format]\r\n"
                          "\"Digits\"=dword:1F\r\n"
                          "\"Text\"=hex(1):41,00,0d,00,0a,00,\\\r\n"
                          "  42,00,00,00\r\n"
                          "[hkey_current_user\\SOFTWARE\\pellacor\\Ordovane\\FORMAT]\r\n"
                          "@=\"merged\"\r\n");
    EXPECT_TRUE(KeyExists(kUser, "Software\\Pellacor")) << "parents are implied";
    EXPECT_EQ(GetDword(kUser, "Software\\Pellacor\\Ordovane\\Format", "Digits"), 0x1Fu);
    EXPECT_EQ(GetString(kUser, "Software\\Pellacor\\Ordovane\\Format", "Text"), "A\r\nB");
    EXPECT_EQ(GetString(kUser, "Software\\Pellacor\\Ordovane\\Format", ""), "merged");
    Names names;
    ASSERT_EQ(EnumSubkeys(kUser, "Software\\Pellacor\\Ordovane", &names), RegError::Ok);
    EXPECT_EQ(names, (Names{"Format"}));
}

TEST_F(Registry, AnyStringComesBackExactly) {
    // Each text is also stored with a line break inside, which takes the
    // hex(1) form, so both forms see every byte pattern.
    // clang-format off
    const std::vector<std::string> bases = {
        "", "plain", "tab\there", "; [x] = @", "\r", "\r\n", std::string(300, 'w') + "\xC3\xA9",
        // what the quoted form escapes
        "back\\slash", "\\", "trailing\\", "\"", "\\\"", "\"quoted\"",
        // UTF-8 up to the largest code point
        "caf\xC3\xA9", "\xEF\xBF\xBF", "\xF0\x9F\x98\x80", "\xF4\x8F\xBF\xBF",
        // not UTF-8: stray, surrogate, overlong, too large, five-byte, truncated
        "\xFF\xFE raw", "\x80\xBF", "\xED\xB2\x80", "\xED\xA0\x80", "\xE0\x80\x80", "\xC0\xAF",
        "\xF4\x90\x80\x80", "\xF8\x88\x80\x80\x80", "\xC3", "\xE2\x82"};
    // clang-format on
    std::vector<std::string> texts;
    for (const std::string& t : bases) {
        texts.push_back(t);
        texts.push_back(t + "\n" + t);
    }
    for (size_t i = 0; i < texts.size(); ++i)
        ASSERT_EQ(SetValue(kUser, "Esc", Numbered("v", i), texts[i]), RegError::Ok);
    const std::vector<std::string> names = {
        "with \"quote\"", "back\\slash", "@", "=", "[x]", "tab\t", "\xFF", "trailing\\"};
    for (const std::string& n : names)
        ASSERT_EQ(SetValue(kUser, "Names", n, n), RegError::Ok);

    for (size_t i = 0; i < texts.size(); ++i)
        EXPECT_EQ(GetString(kUser, "Esc", Numbered("v", i)), texts[i]) << i;
    for (const std::string& n : names)
        EXPECT_EQ(GetString(kUser, "Names", n), n);
    Names listed;
    ASSERT_EQ(EnumValues(kUser, "Names", &listed), RegError::Ok);
    EXPECT_EQ(listed.size(), names.size());

    // Long hex(1) values wrap the way the export tool does.
    std::istringstream file(ReadFile(UserFile()));
    size_t continued = 0;
    for (std::string line; std::getline(file, line);) {
        bool isContinuation = line.rfind("  ", 0) == 0;
        if (isContinuation || line.find("=hex(1):") != std::string::npos) {
            EXPECT_LE(line.size(), 80u) << line;
        }
        continued += isContinuation;
    }
    EXPECT_GT(continued, 5u);
}

TEST_F(Registry, CorruptFileIsReportedAndLeftAsItIs) {
    const std::string head = "Windows Registry Editor Version 5.00\n\n";
    const std::string key = "[HKEY_CURRENT_USER\\A]\n";
    const std::vector<std::string> corrupt = {
        "",
        "garbage\n",
        "REGEDIT5\n\n" + key,
        head + "\"v\"=\"x\"\n" + key, // value before any key
        head + key + "\"v\"=\"unterminated\n",
        head + key + "\"v\"=\"a\\n\"\n", // \n is no escape of the notation
        head + key + "\"v\"=\"x\" junk\n",
        head + key + "stray\n",
        head + "[HKEY_CLASSES_ROOT\\A]\n", // another root's key
        head + "[HKEY_CURRENT_USER\\A\\\\B]\n",
        head + "[HKEY_CURRENT_USER\\A\n",
        head + "[-HKEY_CURRENT_USER\\A]\n", // import-time deletions
        head + key + "\"v\"=-\n",
        head + key + "\"v\"=hex:01,02\n", // types the store does not hold
        head + key + "\"v\"=hex(2):41,00,00,00\n",
        head + key + "\"v\"=dword:123456789\n",
        head + key + "\"v\"=dword:xyz\n",
        head + key + "\"v\"=hex(1):41,00,42\n",
        head + key + "@=hex(1):00,d8,00,00\n", // lone high surrogate
        head + key + "@=hex(1):41,dc,00,00\n", // a low surrogate that escapes no byte
        head + key + "@=hex(1):41,00,\\\n",    // continued past the end
    };
    ASSERT_EQ(CreateKey(kClasses, "Other"), RegError::Ok);
    // Control: the same frame with a sound line parses.
    WriteFile(UserFile(), head + key + "\"v\"=\"x\"\n");
    ASSERT_EQ(GetString(kUser, "A", "v"), "x");

    Names names;
    Value v;
    for (const std::string& text : corrupt) {
        SCOPED_TRACE(text);
        WriteFile(UserFile(), text);
        EXPECT_EQ(CreateKey(kUser, "A\\B"), RegError::Corrupt);
        EXPECT_EQ(CreateKey(kUser, ""), RegError::Corrupt);
        EXPECT_EQ(SetValue(kUser, "A", "v", 1u), RegError::Corrupt);
        EXPECT_EQ(DeleteKey(kUser, "A"), RegError::Corrupt);
        EXPECT_EQ(DeleteKeyIfLeaf(kUser, "A"), RegError::Corrupt);
        EXPECT_EQ(DeleteValue(kUser, "A", "v"), RegError::Corrupt);
        EXPECT_EQ(EnumSubkeys(kUser, "", &names), RegError::Corrupt);
        EXPECT_EQ(EnumValues(kUser, "A", &names), RegError::Corrupt);
        EXPECT_EQ(GetValue(kUser, "A", "v", &v), RegError::Corrupt);
        EXPECT_FALSE(KeyExists(kUser, "A"));
        EXPECT_EQ(GetString(kUser, "A", "v"), std::nullopt);
        EXPECT_EQ(GetDword(kUser, "A", "v"), std::nullopt);
        EXPECT_EQ(ReadFile(UserFile()), text);
        EXPECT_EQ(Entries(dir_), (Names{"HKEY_CLASSES_ROOT.lock", "HKEY_CLASSES_ROOT.reg",
                                        "HKEY_CURRENT_USER.lock", "HKEY_CURRENT_USER.reg"}));
    }
    EXPECT_TRUE(KeyExists(kClasses, "Other")) << "the other root is unaffected";
    EXPECT_EQ(SetValue(kClasses, "Other", "v", 1u), RegError::Ok);
}

TEST_F(Registry, UnreadableStoreIsAnIoError) {
    WriteFile(base_ / "plainfile", "not a folder");
    setenv("ORDOVANE_REGISTRY_DIR", (base_ / "plainfile").c_str(), 1);
    Value v;
    EXPECT_EQ(SetValue(kUser, "A", "v", 1u), RegError::Io);
    EXPECT_EQ(GetValue(kUser, "A", "v", &v), RegError::Io);
    EXPECT_EQ(DeleteKey(kUser, "A"), RegError::Io);
    EXPECT_FALSE(KeyExists(kUser, "A"));

    setenv("ORDOVANE_REGISTRY_DIR", dir_.c_str(), 1);
    fs::create_directories(UserFile()); // a folder where the file belongs
    EXPECT_EQ(GetValue(kUser, "A", "v", &v), RegError::Io);
    EXPECT_EQ(SetValue(kUser, "A", "v", 1u), RegError::Io);
}

TEST_F(Registry, ConcurrentWriterProcessesLoseNothing) {
    constexpr int kPerChild = 200;
    pid_t children[2];
    for (int c = 0; c < 2; ++c) {
        children[c] = fork();
        ASSERT_GE(children[c], 0);
        if (children[c] == 0) {
            const std::string key = Numbered("Proc", c);
            for (int i = 0; i < kPerChild; ++i)
                if (SetValue(kUser, key, Numbered("v", i), uint32_t(c * 1000 + i)) != RegError::Ok)
                    _exit(1);
            _exit(0);
        }
    }
    for (pid_t child : children) {
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    for (int c = 0; c < 2; ++c) {
        const std::string key = Numbered("Proc", c);
        Names names;
        ASSERT_EQ(EnumValues(kUser, key, &names), RegError::Ok);
        EXPECT_EQ(names.size(), size_t(kPerChild));
        for (int i = 0; i < kPerChild; ++i)
            EXPECT_EQ(GetDword(kUser, key, Numbered("v", i)), uint32_t(c * 1000 + i));
    }
}

TEST_F(Registry, ConcurrentThreadsLoseNothing) {
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([t] {
            for (int i = 0; i < 25; ++i)
                SetValue(kClasses, Numbered("T", t), Numbered("v", i), uint32_t(i));
        });
    for (auto& th : threads)
        th.join();
    for (int t = 0; t < 4; ++t)
        for (int i = 0; i < 25; ++i)
            EXPECT_EQ(GetDword(kClasses, Numbered("T", t), Numbered("v", i)), uint32_t(i));
}

TEST_F(Registry, FolderFallsBackToXdgDataHomeThenHome) {
    unsetenv("ORDOVANE_REGISTRY_DIR");
    setenv("XDG_DATA_HOME", (base_ / "xdg").c_str(), 1);
    EXPECT_EQ(StoreDirectory(), (base_ / "xdg/Pellacor/registry").string());
    ASSERT_EQ(SetValue(kUser, "A", "v", 1u), RegError::Ok);
    EXPECT_TRUE(fs::exists(base_ / "xdg/Pellacor/registry/HKEY_CURRENT_USER.reg"));

    setenv("HOME", (base_ / "home").c_str(), 1);
    for (const char* xdg : {"", "relative/path"}) {
        setenv("XDG_DATA_HOME", xdg, 1);
        EXPECT_EQ(StoreDirectory(), (base_ / "home/.local/share/Pellacor/registry").string());
    }
    unsetenv("XDG_DATA_HOME");
    setenv("ORDOVANE_REGISTRY_DIR", "", 1);
    EXPECT_EQ(StoreDirectory(), (base_ / "home/.local/share/Pellacor/registry").string());
    EXPECT_EQ(GetDword(kUser, "A", "v"), std::nullopt) << "a different store";
    ASSERT_EQ(SetValue(kUser, "A", "v", 2u), RegError::Ok);
    EXPECT_TRUE(fs::exists(base_ / "home/.local/share/Pellacor/registry/HKEY_CURRENT_USER.reg"));
}

} // namespace
