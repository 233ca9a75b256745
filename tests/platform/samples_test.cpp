// The sample scripts and the script command's exit codes, run through
// ordovane-cli as a user would run them.
#include <gtest/gtest.h>

#if defined(ORDOVANE_CLI_PATH) && defined(TALLOMIR_PATH)

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using namespace std::string_literals;

namespace {

fs::path SamplesDir() {
#ifdef ORDOVANE_SOURCE_DIR
    return fs::path(ORDOVANE_SOURCE_DIR) / "samples";
#else
    // This file lives in tests/platform of the source tree.
    return fs::path(__FILE__).parent_path().parent_path().parent_path() / "samples";
#endif
}

std::string ReadFile(const fs::path& path) {
    std::ifstream f(path, std::ios::binary);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

std::string Quoted(const std::string& s) {
    std::string q = "'";
    for (char c : s)
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

struct ScriptRun {
    int status = -1; // exit code, -1 when the CLI did not exit normally
    std::string out;
    std::string err;
};

class SamplesTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        char tmpl[] = "/tmp/ordovane-samples-XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        dir_ = tmpl;
        if (const char* old = std::getenv("ORDOVANE_REGISTRY_DIR"))
            oldRegistry_ = old;
        setenv("ORDOVANE_REGISTRY_DIR", (dir_ / "registry").c_str(), 1);

        const fs::path regsvr = fs::path(ORDOVANE_CLI_PATH).parent_path() / "regsvr";
        const fs::path jscript = fs::path(TALLOMIR_PATH).parent_path() / "libordovane-jscript.so";
        ASSERT_TRUE(fs::exists(jscript)) << jscript << " is not built";
        const std::string cmd = Quoted(regsvr) + " " + Quoted(TALLOMIR_PATH) + " " +
                                Quoted(jscript) + " 2>" + Quoted(dir_ / "regsvr.err");
        const int rc = std::system(cmd.c_str());
        ASSERT_TRUE(WIFEXITED(rc) && WEXITSTATUS(rc) == 0) << ReadFile(dir_ / "regsvr.err");
    }

    static void TearDownTestSuite() {
        if (oldRegistry_)
            setenv("ORDOVANE_REGISTRY_DIR", oldRegistry_->c_str(), 1);
        else
            unsetenv("ORDOVANE_REGISTRY_DIR");
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }

    // Runs "ordovane-cli script FILE" and captures both output streams.
    static ScriptRun RunFile(const fs::path& file) {
        const fs::path err = dir_ / "stderr";
        const std::string cmd = Quoted(ORDOVANE_CLI_PATH) + " script " + Quoted(file) + " 2>" +
                                Quoted(err) + " </dev/null";
        ScriptRun run;
        FILE* p = popen(cmd.c_str(), "r");
        if (!p) {
            ADD_FAILURE() << "cannot run " << cmd;
            return run;
        }
        char buf[4096];
        for (size_t n; (n = std::fread(buf, 1, sizeof buf, p)) > 0;)
            run.out.append(buf, n);
        const int rc = pclose(p);
        if (WIFEXITED(rc))
            run.status = WEXITSTATUS(rc);
        run.err = ReadFile(err);
        return run;
    }

    // Runs "ordovane-cli script -" with the script written into its stdin pipe.
    static ScriptRun RunStdin(const std::string& script) {
        const fs::path out = dir_ / "stdout", err = dir_ / "stderr";
        const std::string cmd =
            Quoted(ORDOVANE_CLI_PATH) + " script - >" + Quoted(out) + " 2>" + Quoted(err);
        ScriptRun run;
        FILE* p = popen(cmd.c_str(), "w");
        if (!p) {
            ADD_FAILURE() << "cannot run " << cmd;
            return run;
        }
        std::fwrite(script.data(), 1, script.size(), p);
        const int rc = pclose(p);
        if (WIFEXITED(rc))
            run.status = WEXITSTATUS(rc);
        run.out = ReadFile(out);
        run.err = ReadFile(err);
        return run;
    }

    static ScriptRun RunText(const std::string& script) {
        const fs::path file = dir_ / "script.js";
        std::ofstream(file, std::ios::binary) << script;
        return RunFile(file);
    }

    static inline fs::path dir_;
    static inline std::optional<std::string> oldRegistry_;
};

TEST_F(SamplesTest, EverySampleChecksItselfAndPasses) {
    struct Sample {
        const char* file;
        const char* lastLine;
    };
    const Sample samples[] = {
        {"rsa.js", "RSA round trip: ok"},
        {"diffie_hellman.js", "Diffie-Hellman: shared secrets agree"},
        {"primes.js", "Survey done"},
        {"number_tools.js", "Number tools: ok"},
    };
    for (const Sample& s : samples) {
        SCOPED_TRACE(s.file);
        const fs::path path = SamplesDir() / s.file;
        ASSERT_TRUE(fs::exists(path)) << path;
        ScriptRun r = RunFile(path);
        EXPECT_EQ(r.status, 0);
        EXPECT_EQ(r.err, "");
        const std::vector<std::string> lines = Lines(r.out);
        ASSERT_FALSE(lines.empty());
        EXPECT_EQ(lines.back(), s.lastLine) << r.out;
        EXPECT_EQ(r.out.find("FAILED"), std::string::npos) << r.out;
        EXPECT_EQ(r.out.find('\r'), std::string::npos);
    }
}

// The error that Divide raises reaches the script's catch with its text.
TEST_F(SamplesTest, CaughtMethodFailureCarriesItsMessage) {
    ScriptRun r = RunFile(SamplesDir() / "number_tools.js");
    EXPECT_NE(r.out.find("Division by zero: Invalid procedure call or argument"), std::string::npos)
        << r.out;
}

TEST_F(SamplesTest, SyntaxErrorStopsBeforeAnythingRuns) {
    ScriptRun r = RunText("var a = 1;\nTallomir.Output(\"not yet\");\nvar b = (;\n");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("Line: 3\n"), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find("Source: "), 0u) << r.err;
}

TEST_F(SamplesTest, UncaughtErrorsEndTheRunWithStatusOne) {
    struct Case {
        const char* script;
        const char* out;
        const char* line;
        const char* error;
    };
    const Case cases[] = {
        {"Tallomir.Output(\"before\");\nthrow new Error(\"boom\");\nTallomir.Output(\"after\");\n",
         "before\n", "Line: 2\n", "Error: boom"},
        {"Tallomir.Output(\"a\");\nTallomir.Output(\"b\");\nTallomir.Divide(\"10\", \"00\");\n"
         "Tallomir.Output(\"c\");\n",
         "a\nb\n", "Line: 3\n", "Error: Invalid procedure call or argument"},
        {"Tallomir.Output(Tallomir.Add(\"0g\", \"01\"));\n", "", "Line: 1\n",
         "Error: Invalid procedure call or argument"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.script);
        ScriptRun r = RunText(c.script);
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.out, c.out);
        EXPECT_NE(r.err.find(c.line), std::string::npos) << r.err;
        EXPECT_NE(r.err.find(c.error), std::string::npos) << r.err;
    }
}

TEST_F(SamplesTest, ScriptEndsAtTheFirstByteOutsideText) {
    struct Case {
        std::string bytes;
        const char* out;
    };
    const Case cases[] = {
        {"Tallomir.Output(\"one\");\n\x80Tallomir.Output(\"two\");\n", "one\n"},
        {"Tallomir.Output(\"one\");\n\xffTallomir.Output(\"two\");\n", "one\n"},
        {"Tallomir.Output(\"one\");\n\0Tallomir.Output(\"two\");\n"s, "one\n"},
        // Tabs and CR LF line ends are text.
        {"\tTallomir.Output(\"one\");\r\nTallomir.Output(\"two\");\r\n", "one\ntwo\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.out);
        ScriptRun r = RunText(c.bytes);
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.out, c.out);
        EXPECT_EQ(r.err, "");
    }
}

TEST_F(SamplesTest, DashReadsTheScriptFromStdin) {
    // 255 * 255 = 65025 = 0xfe01; the second line is past the cut.
    ScriptRun r = RunStdin("Tallomir.Output(Tallomir.Multiply(\"ff\", \"ff\"));\n"
                           "Tallomir.Output(Tallomir.Swap(\"1 2 3\", 0));\n\x80"
                           "Tallomir.Output(\"cut\");\n");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "fe 01 \n1 2 3 \n");
    EXPECT_EQ(r.err, "");

    ScriptRun bad = RunStdin("Tallomir.Output(\"x\")\nthrow 1;\n");
    EXPECT_EQ(bad.status, 1);
    EXPECT_EQ(bad.out, "x\n");
    EXPECT_NE(bad.err.find("Line: 2\n"), std::string::npos) << bad.err;
}

} // namespace

#endif
