#include "scripting/script_text.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace {

namespace fs = std::filesystem;

class ScriptFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        char tmpl[] = "/tmp/ordovane-script-XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        dir_ = tmpl;
    }
    void TearDown() override { fs::remove_all(dir_); }
    std::string Write(const std::string& name, const std::string& bytes) {
        std::string p = (dir_ / name).string();
        std::ofstream(p, std::ios::binary) << bytes;
        return p;
    }
    fs::path dir_;
};

TEST_F(ScriptFileTest, SizeLimitsAndMessages) {
    struct Case {
        std::string bytes;
        bool ok;
        const char* message;
    } cases[] = {
        {"", false, "Invalid file size."},
        {std::string(65536, 'a'), true, ""},
        {std::string(65537, 'a'), false, "The file size is too big."},
        {"Tallomir.Output(\"x\");\r\n", true, ""},
    };
    for (const Case& c : cases) {
        scripting::ScriptFile f = scripting::LoadScriptFile(Write("s.js", c.bytes));
        SCOPED_TRACE(c.bytes.size());
        EXPECT_EQ(f.ok, c.ok);
        EXPECT_EQ(f.message, c.message);
        if (c.ok) {
            EXPECT_EQ(f.text, c.bytes);
        }
    }
    EXPECT_EQ(scripting::LoadScriptFile((dir_ / "missing.js").string()).message,
              "Can't open file.");
    EXPECT_EQ(scripting::LoadScriptFile(dir_.string()).message, "Can't open file.");
}

TEST_F(ScriptFileTest, TextEndsAtTheFirstByteOutsideTheScriptSet) {
    const std::string head = "var a = 1;\t\r\n";
    for (char bad : {'\x80', '\xFF', '\0', '\x01', '\x0B', '\x1F'}) {
        scripting::ScriptFile f = scripting::LoadScriptFile(Write("s.js", head + bad + "rest"));
        EXPECT_TRUE(f.ok);
        EXPECT_EQ(f.text, head) << static_cast<int>(static_cast<unsigned char>(bad));
    }
    // 0x7F is still inside the set.
    EXPECT_EQ(scripting::CutScriptText("a\x7F"
                                       "b\x80"),
              "a\x7F"
              "b");
}

TEST(ScriptText, ErrorBlockAndElapsedTime) {
    EXPECT_EQ(scripting::FormatErrorBlock("Microsoft JScript runtime error", 3, "'x' is undefined"),
              "Source: Microsoft JScript runtime error\r\nLine: 3\r\nError: 'x' is undefined\r\n");
    struct Case {
        uint32_t start, now;
        const char* shown;
    } cases[] = {
        {0, 0, " 0 sec."},        {0, 59999, "59 sec."},   {0, 61000, " 1:01"},
        {0, 3661000, " 1:01:01"}, {1000, 601000, "10:00"}, {0, 36000000, "10:00:00"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(scripting::FormatElapsed(c.start, c.now), c.shown) << c.now;
    }
    // The tick counter wraps: 1 s before the wrap to 59 s after it is a minute.
    EXPECT_EQ(scripting::FormatElapsed(0xFFFFFC18u, 59000), " 1:00");
}

} // namespace
