// The script programs of tests/data/vbscript, each with the output it must
// print (NAME.out) and, for a run that ends in an error, the error block
// (NAME.err); and the VBScript samples, which check themselves. All run
// through the CLI.
#include "cli_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <vector>

namespace fs = std::filesystem;

namespace vbstest {
namespace {

class Programs : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        char tmpl[] = "/tmp/ordovane-vbscript-XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        dir_ = tmpl;
        RegisterModules(dir_);
    }
    static void TearDownTestSuite() {
        ForgetModules();
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }
    static inline fs::path dir_;
};

TEST_F(Programs, EachProgramPrintsItsExpectedOutput) {
    const fs::path data = fs::path(ORDOVANE_SOURCE_DIR) / "tests" / "data" / "vbscript";
    std::vector<fs::path> programs;
    for (const auto& entry : fs::directory_iterator(data))
        if (entry.path().extension() == ".vbs")
            programs.push_back(entry.path());
    std::sort(programs.begin(), programs.end());
    ASSERT_GE(programs.size(), 8u);
    for (const fs::path& program : programs) {
        SCOPED_TRACE(program.filename().string());
        fs::path expectedOut = program, expectedErr = program;
        expectedOut.replace_extension(".out");
        expectedErr.replace_extension(".err");
        ASSERT_TRUE(fs::exists(expectedOut));
        const bool fails = fs::exists(expectedErr);
        ScriptRun run = RunScript(program);
        EXPECT_EQ(run.out, ReadFile(expectedOut));
        EXPECT_EQ(run.err, fails ? ReadFile(expectedErr) : std::string());
        EXPECT_EQ(run.status, fails ? 1 : 0);
    }
}

TEST_F(Programs, SamplesCheckThemselvesAndPass) {
    struct Sample {
        const char* file;
        const char* lastLine;
    };
    const Sample samples[] = {
        {"rsa.vbs", "RSA round trip: ok"},
        {"diffie_hellman.vbs", "Diffie-Hellman: shared secrets agree"},
        {"primes.vbs", "Survey done"},
        {"number_tools.vbs", "Number tools: ok"},
    };
    for (const Sample& s : samples) {
        SCOPED_TRACE(s.file);
        ScriptRun run = RunScript(fs::path(ORDOVANE_SOURCE_DIR) / "samples" / s.file);
        EXPECT_EQ(run.status, 0);
        EXPECT_EQ(run.err, "");
        std::vector<std::string> lines;
        std::istringstream in(run.out);
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
        ASSERT_FALSE(lines.empty());
        EXPECT_EQ(lines.back(), s.lastLine) << run.out;
        EXPECT_EQ(run.out.find("FAILED"), std::string::npos) << run.out;
    }
}

} // namespace
} // namespace vbstest
