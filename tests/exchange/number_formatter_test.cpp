// The Number Formatter's rules from vector files (strip rules, conversions)
// and tables (Base64, the "Ok" rule), and the Input Text file limits.
#include "exchange/input_text.h"
#include "exchange/number_formatter.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

namespace {

std::string Unescape(const std::string& s) {
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\\' && i + 1 < s.size()) {
            const char c = s[++i];
            out += c == 'n' ? '\n' : c == 'r' ? '\r' : c == 't' ? '\t' : c;
        } else {
            out += s[i];
        }
    }
    return out;
}

std::vector<std::vector<std::string>> ReadRows(const char* name) {
    std::ifstream in(std::string(TEST_DATA_DIR "/exchange/") + name);
    std::vector<std::vector<std::string>> rows;
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line[0] == '#')
            continue;
        std::vector<std::string> fields;
        std::stringstream f(line);
        for (std::string field; std::getline(f, field, '\t');)
            fields.push_back(field);
        if (line.back() == '\t')
            fields.emplace_back();
        rows.push_back(fields);
    }
    return rows;
}

TEST(NumberFormatter, StripRuleVectors) {
    auto rows = ReadRows("strip_rules.tsv");
    ASSERT_GT(rows.size(), 10u);
    for (const auto& r : rows) {
        ASSERT_EQ(r.size(), 7u) << r[0];
        exchange::StripRules rules;
        rules.linesFromStart = std::stoul(r[1]);
        rules.linesFromEnd = std::stoul(r[2]);
        rules.charsFromStart = std::stoul(r[3]);
        rules.charsFromEnd = std::stoul(r[4]);
        rules.stripText = r[5] == "-" ? "" : r[5];
        EXPECT_EQ(exchange::ApplyStripRules(Unescape(r[0]), rules), Unescape(r[6])) << r[0];
    }
    EXPECT_TRUE(exchange::StripsNothing({}));
    EXPECT_EQ(exchange::ApplyStripRules("a\r\n\r\n", {}), "a\r\n\r\n") << "nothing to do";
}

TEST(NumberFormatter, ConversionVectors) {
    auto rows = ReadRows("formatter.tsv");
    ASSERT_GT(rows.size(), 15u);
    const std::string systems[] = {"hex", "dec", "oct", "bin"};
    for (const auto& r : rows) {
        ASSERT_EQ(r.size(), 4u) << r[0];
        char separator = r[1] == "comma"       ? ','
                         : r[1] == "space"     ? ' '
                         : r[1] == "tab"       ? '\t'
                         : r[1] == "semicolon" ? ';'
                                               : r[1][0];
        const int system = static_cast<int>(std::find(systems, systems + 4, r[2]) - systems);
        exchange::FormatterResult got =
            exchange::FormatNumberText(Unescape(r[0]), separator, system);
        if (!r[3].empty() && r[3][0] == '!') {
            EXPECT_EQ(got.message, std::stoi(r[3].substr(1))) << r[0];
        } else {
            EXPECT_EQ(got.message, 0) << r[0];
            EXPECT_EQ(got.list, r[3]) << r[0];
        }
    }
}

TEST(NumberFormatter, Base64AndOkRule) {
    std::string out;
    // "*" is digit value 63; a slash is not in the alphabet.
    EXPECT_EQ(exchange::DecodeBase64Input("*w==", false, out), exchange::Base64Outcome::Ok);
    EXPECT_EQ(out, "ff ");
    EXPECT_EQ(exchange::DecodeBase64Input("/w==", false, out), exchange::Base64Outcome::Invalid);
    // "YWIAYw==" is 61 62 00 63: the text stops at the zero byte.
    EXPECT_EQ(exchange::DecodeBase64Input("YWIAYw==", true, out), exchange::Base64Outcome::Ok);
    EXPECT_EQ(out, "ab");
    EXPECT_EQ(exchange::DecodeBase64Input("YWIAYw==", false, out), exchange::Base64Outcome::Ok);
    EXPECT_EQ(out, "61 62 00 63 ");

    EXPECT_FALSE(exchange::OkEnabled("", 0, ""));
    EXPECT_TRUE(exchange::OkEnabled("12", 0, ""));
    EXPECT_FALSE(exchange::OkEnabled("12", 4, ""));
    EXPECT_TRUE(exchange::OkEnabled("12", 4, ":"));
    EXPECT_FALSE(exchange::OkEnabled("12", 4, "::"));
    EXPECT_EQ(exchange::SeparatorChar(2, "x"), '\t');
    EXPECT_EQ(exchange::SeparatorChar(4, ":"), ':');
}

class InputTextFile : public ::testing::Test {
protected:
    void SetUp() override {
        char tmpl[] = "/tmp/ordovane-text-XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        dir_ = tmpl;
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }
    std::string Write(const std::string& bytes) {
        const std::string p = dir_ + "/t.txt";
        std::ofstream(p, std::ios::binary) << bytes;
        return p;
    }
    std::string dir_;
};

TEST_F(InputTextFile, LimitsAndTheFirstNonTextByte) {
    std::string big(70000, 'a');
    big[69999] = '\xA9';
    exchange::TextFile f = exchange::LoadTextFile(Write(big));
    EXPECT_TRUE(f.ok);
    EXPECT_EQ(f.text.size(), 69999u) << "the cut lies in the second chunk";

    f = exchange::LoadTextFile(Write(std::string(4194304, 'b')));
    EXPECT_TRUE(f.ok);
    EXPECT_EQ(f.text.size(), 4194304u);
    f = exchange::LoadTextFile(Write(std::string(4194305, 'b')));
    EXPECT_FALSE(f.ok);
    EXPECT_EQ(f.message, "The file size is too big.");

    f = exchange::LoadTextFile(Write(std::string("\0abc", 4)));
    EXPECT_TRUE(f.ok);
    EXPECT_EQ(f.text, "");
    EXPECT_EQ(exchange::LoadTextFile(Write("")).message, "Invalid file size.");
    EXPECT_EQ(exchange::LoadTextFile(dir_ + "/missing").message, "Can't open file.");
    EXPECT_EQ(exchange::LoadTextFile(dir_).message, "Can't open file.");
}

} // namespace
