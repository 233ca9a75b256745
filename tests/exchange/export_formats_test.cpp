// The export files byte for byte (tests/data/exchange/exports.tsv), the
// digit-group text, and the checked write that removes a partial file.
#include "exchange/export_formats.h"

#include "text/hex_text.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <sys/resource.h>
#include <unistd.h>

namespace {

std::string Unescape(const std::string& s) {
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] != '\\' || i + 1 >= s.size()) {
            out += s[i];
            continue;
        }
        char c = s[++i];
        if (c == 'r')
            out += '\r';
        else if (c == 'n')
            out += '\n';
        else if (c == 'x') {
            out += char(std::stoi(s.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else
            out += c;
    }
    return out;
}

TEST(ExportFormats, FilesByteForByte) {
    std::ifstream in(std::string(TEST_DATA_DIR) + "/exchange/exports.tsv");
    std::string line;
    int rows = 0;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#')
            continue;
        std::istringstream fields(line);
        std::string writer, format, list, content;
        std::getline(fields, writer, '\t');
        std::getline(fields, format, '\t');
        std::getline(fields, list, '\t');
        std::getline(fields, content, '\t');
        std::vector<uint8_t> bytes(list.size() + 1);
        bytes.resize(size_t(text::ParseHexBytes(list, bytes.data(), int32_t(bytes.size()))));
        exchange::ExportStyle style =
            writer == "hash" ? exchange::kHashResultStyle : exchange::kOutputNumberStyle;
        EXPECT_EQ(exchange::WriteHexExport(exchange::ExportFormat(std::stoi(format)), bytes.data(),
                                           bytes.size(), style),
                  Unescape(content))
            << writer << " format " << format << " of " << list;
        ++rows;
    }
    EXPECT_GE(rows, 12);
}

TEST(ExportFormats, DigitGroupsSixteenPerLine) {
    EXPECT_EQ(exchange::WriteDigitGroups("1 234 567 "), "1 234 567 \r\n");
    EXPECT_EQ(exchange::WriteDigitGroups(""), "");
    EXPECT_EQ(exchange::WriteDigitGroups(" \r\n"), "");
    std::string sixteen, seventeen;
    for (int i = 0; i < 16; ++i)
        sixteen += "111 ";
    seventeen = sixteen + "\t22\n";
    EXPECT_EQ(exchange::WriteDigitGroups(sixteen), sixteen + "\r\n");
    EXPECT_EQ(exchange::WriteDigitGroups(seventeen), sixteen + "\r\n22 \r\n");
}

class CheckedWrite : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/ordovane-export-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir_ = pattern;
    }
    void TearDown() override { std::system(("rm -rf '" + dir_ + "'").c_str()); }
    std::string dir_;
};

TEST_F(CheckedWrite, WritesReplacesAndReportsFailures) {
    std::string path = dir_ + "/n.txt";
    EXPECT_EQ(exchange::WriteFileChecked(path, "long old content"), 0);
    EXPECT_EQ(exchange::WriteFileChecked(path, "ab \r\n"), 0);
    std::ifstream f(path, std::ios::binary);
    std::string back((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
    EXPECT_EQ(back, "ab \r\n");
    EXPECT_EQ(exchange::WriteFileChecked(dir_ + "/missing/n.txt", "x"),
              exchange::kMsgCannotCreateFile);
}

TEST_F(CheckedWrite, AWriteThatFailsPartWayLeavesNoFile) {
    // A file size limit makes the write stop part-way, as a full disk would.
    struct rlimit old;
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = old;
    small.rlim_cur = 100;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    std::string path = dir_ + "/big.hex";
    int result = exchange::WriteFileChecked(path, std::string(1000, 'x'));
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_EQ(result, exchange::kMsgCannotCreateFile);
    EXPECT_NE(access(path.c_str(), F_OK), 0) << "the partial file was left behind";
}

} // namespace
