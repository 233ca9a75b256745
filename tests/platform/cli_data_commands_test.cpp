// ordovane-cli crc, checksum, hash and export: output and exit codes per case,
// every catalogue preset against its check value, and checksum files that
// sha256sum accepts and that we accept from it.
#include "support/cli_run.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

class CliDataCommands : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/ordovane-cli-data-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir_ = pattern;
        Write("digits", "123456789");
        Write("digits-and-noise", "1234##56789!");
        Write("three", "\x01\x02\x03");
        Write("empty", "");
    }
    void TearDown() override { std::system(("rm -rf '" + dir_ + "'").c_str()); }
    std::string Path(const std::string& name) const { return dir_ + "/" + name; }
    void Write(const std::string& name, const std::string& bytes) const {
        std::ofstream(Path(name), std::ios::binary) << bytes;
    }
    std::string dir_;
};

struct Case {
    std::vector<std::string> args; // "@name" stands for the file name in the test folder
    std::string input;             // standard input
    int status;
    std::string out;
    std::string err; // a text standard error must contain ("" = must be empty)
};

TEST_F(CliDataCommands, OutputAndExitCodes) {
    const std::string crc32 = "32,26,23,22,16,12,11,10,8,7,5,4,2,1,0";
    const Case cases[] = {
        // crc
        {{"crc", "--message", "123456789"}, "", 0, "FEE8\n", ""},
        {{"crc", "--reflected", "--both", "--lower", "--message", "123456789"},
         "",
         0,
         "bb3d bb3d\n",
         ""},
        {{"crc", "--poly", crc32, "--reflected", "--init", "FFFFFFFF", "--xor", "FFFFFFFF",
          "--both", "@digits"},
         "",
         0,
         "340BC6D9 CBF43926\n",
         ""},
        {{"crc", "--preset", "CRC-32/ISO-HDLC", "--xor", "0", "-"},
         "123456789",
         0,
         "340BC6D9\n",
         ""},
        {{"crc", "--preset", "crc-32", "--ignore", "4..5, 11", "@digits-and-noise", "--hex",
          "31 32 33 34 35 36 37 38 39"},
         "",
         0,
         "CBF43926\nCBF43926\n",
         ""},
        {{"crc", "--poly", "16,12,5,0", "--init", "FFFF", "--message", "123456789"},
         "",
         0,
         "29B1\n",
         ""},
        {{"crc", "--poly", "8,1", "--message", "x"}, "", 1, "", "The MSB of the polynomial"},
        {{"crc", "--poly", "16", "--message", "x"}, "", 1, "", "nothing to calculate"},
        {{"crc", "--hex", "6g"}, "", 1, "", "Invalid hexdecimal data string!"},
        {{"crc", "@empty"}, "", 1, "", "The file has no valid data."},
        {{"crc", "--ignore", "0..8", "@digits"}, "", 1, "", "The file has no valid data."},
        {{"crc", "@missing"}, "", 1, "", "Can't open file to do CRC calculation."},
        {{"crc", "--preset", "CRC-99"}, "", 2, "", "unknown CRC preset"},
        {{"crc"}, "", 2, "", "crc needs"},
        // checksum
        {{"checksum", "--width", "2", "--both", "@three"}, "", 0, "0204 0204\n", ""},
        {{"checksum", "--width=2", "--swap", "@three"}, "", 0, "0402\n", ""},
        {{"checksum", "--width", "2", "--pad", "FF", "--lower", "@three"}, "", 0, "0104\n", ""},
        {{"checksum", "--width", "4", "--xor", "-1", "--both", "@three"},
         "",
         0,
         "00030201 FFFCFDFE\n",
         ""},
        {{"checksum", "--width", "1", "--ignore", "1", "@three"}, "", 0, "04\n", ""},
        {{"checksum", "@empty"}, "", 1, "", "The file has no valid data."},
        {{"checksum", "@missing"}, "", 1, "", "Can't open file to do checksum calculation."},
        {{"checksum", "--width", "3", "@three"}, "", 2, "", "--width"},
        // hash
        {{"hash", "--message", "abc"},
         "",
         0,
         "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad\n",
         ""},
        {{"hash", "--algorithm", "md5", "--list", "--message", "a"},
         "",
         0,
         "0c c1 75 b9 c0 f1 b6 a8 31 c3 99 e2 69 77 26 61 \n",
         ""},
        {{"hash", "--algorithm", "SHA-224", "--upper", "--hex", "616263"},
         "",
         0,
         "23097D223405D8228642A477BDA255B32AADBCE4BDA0B3F7E36C9DA7\n",
         ""},
        {{"hash", "--algorithm", "sha1", "-"},
         "abc",
         0,
         "a9993e364706816aba3e25717850c26c9cd0d89d  -\n",
         ""},
        {{"hash", "--algorithm", "ripemd-160", "--ignore", "4..5,11", "@digits-and-noise"},
         "",
         0,
         "",
         ""}, // checked against --message below
        {{"hash", "--message", ""}, "", 1, "", "Please input message to calculate hash code."},
        {{"hash", "--algorithm", "sha3", "--message", "a"}, "", 2, "", "unknown algorithm"},
        {{"hash", "@missing"}, "", 1, "", "Can't open file to calculate hash code."},
        // export
        {{"export", "--format", "c", "AB"},
         "",
         0,
         "// \r\n// Generated by Ordovane Version 4.21\r\n// http://www.pellacor.com\r\n// "
         "\r\nunsigned char byHexData[] = {\r\n  0xab, \r\n};\r\n",
         ""},
        {{"export", "--format", "base64"}, "61 62\n63", 0, "YWJj\r\n", ""},
        {{"export", "--system", "dec", "01", "00", "00"}, "", 0, "65 536 \r\n", ""},
        {{"export", "--format", "text", "--system", "hex", "0102"}, "", 0, "01 02 \r\n", ""},
        {{"export", "--format", "raw"}, " \n", 1, "", "No valid number to be saved."},
        {{"export", "--format", "raw", "-o", "@no/such/folder", "01"},
         "",
         1,
         "",
         "Can't create file."},
        {{"export", "--format", "raw", "zz"},
         "",
         1,
         "",
         "Invalid characters occur in the input text."},
        {{"export", "--format", "pdf", "01"}, "", 2, "", "--format"},
    };
    std::string ripemd;
    for (const Case& c : cases) {
        std::vector<std::string> args;
        std::string shown;
        for (const std::string& a : c.args) {
            args.push_back(a.starts_with("@") ? Path(a.substr(1)) : a);
            shown += a + " ";
        }
        SCOPED_TRACE(shown);
        CliRun r = RunCli(args, c.input);
        EXPECT_EQ(r.status, c.status);
        if (c.args[0] == "hash" && c.args[1] == "--algorithm" && c.args[2] == "ripemd-160") {
            ripemd = r.out.substr(0, 40);
            EXPECT_EQ(r.out.substr(40), "  " + Path("digits-and-noise") + "\n");
            continue;
        }
        EXPECT_EQ(r.out, c.out);
        if (c.err.empty())
            EXPECT_EQ(r.err, "");
        else
            EXPECT_NE(r.err.find(c.err), std::string::npos) << r.err;
    }
    // A file hashed with ignore ranges equals the hash of its included bytes.
    EXPECT_EQ(RunCli({"hash", "--algorithm", "RIPEMD160", "--message", "123456789"}).out,
              ripemd + "\n");

    CliRun raw = RunCli({"export", "--format", "raw", "-o", Path("out.hex"), "01", "02"});
    EXPECT_EQ(raw.status, 0);
    EXPECT_EQ(ReadFile(Path("out.hex")), std::string("\x01\x02"));
}

// A pipe named as a file has no size: it is read through, not taken as empty.
TEST_F(CliDataCommands, PipesNamedAsFilesAreReadThrough) {
    auto piped = [](const std::string& bytes, const std::string& args) {
        std::string command =
            "printf '" + bytes + "' | '" + ORDOVANE_CLI_PATH + "' " + args + " /dev/stdin 2>&1";
        std::string out;
        if (std::FILE* p = popen(command.c_str(), "r")) {
            char buf[256];
            while (std::fgets(buf, sizeof buf, p))
                out += buf;
            pclose(p);
        }
        return out;
    };
    EXPECT_EQ(piped("123456789", "crc --preset CRC-32"), "CBF43926\n");
    EXPECT_EQ(piped("\\001\\002\\003", "checksum --width 2"), "0204\n");
    EXPECT_EQ(piped("abc", "hash --algorithm md5"),
              "900150983cd24fb0d6963f7d28e17f72  /dev/stdin\n");
    EXPECT_EQ(piped("", "hash --algorithm md5"), "d41d8cd98f00b204e9800998ecf8427e  /dev/stdin\n");
    EXPECT_EQ(piped("", "crc"), "/dev/stdin: The file has no valid data.\n");
    EXPECT_NE(piped("123", "crc --ignore 1").find("Ignore ranges need a regular file"),
              std::string::npos);
}

TEST_F(CliDataCommands, EveryCataloguePresetGivesItsCheckValue) {
    std::ifstream in(std::string(TEST_DATA_DIR) + "/cli/crc-catalogue.tsv");
    std::string line;
    int presets = 0;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#' || line.starts_with("name\t"))
            continue;
        std::istringstream fields(line);
        std::vector<std::string> f;
        for (std::string s; std::getline(fields, s, '\t');)
            f.push_back(s);
        ASSERT_EQ(f.size(), 8u) << line;
        CliRun r = RunCli({"crc", "--preset", f[0], "--lower", "--message", "123456789"});
        EXPECT_EQ(r.status, 0) << f[0] << ": " << r.err;
        EXPECT_EQ(r.out, f[7] + "\n") << f[0];
        ++presets;
    }
    EXPECT_EQ(presets, 43);
    CliRun list = RunCli({"crc", "--list-presets"});
    EXPECT_EQ(std::count(list.out.begin(), list.out.end(), '\n'), 43);
}

TEST_F(CliDataCommands, ChecksumFilesRoundTripWithSha256sum) {
    if (std::system("command -v sha256sum > /dev/null 2>&1") != 0)
        GTEST_SKIP() << "sha256sum is not installed";
    Write("with space", "a b");
    Write("back\\slash", "\\");
    std::vector<std::string> args = {"hash", "--algorithm", "sha-256"};
    for (const char* name : {"digits", "empty", "with space", "back\\slash"})
        args.push_back(Path(name));
    CliRun ours = RunCli(args);
    ASSERT_EQ(ours.status, 0) << ours.err;
    Write("OURS", ours.out);
    EXPECT_EQ(std::system(("sha256sum --quiet -c '" + Path("OURS") + "'").c_str()), 0);

    std::string theirs = Path("THEIRS");
    std::string list;
    for (const char* name : {"digits", "empty", "with space", "back\\slash"})
        list += " '" + Path(name) + "'";
    ASSERT_EQ(std::system(("sha256sum" + list + " > '" + theirs + "'").c_str()), 0);
    CliRun check = RunCli({"hash", "--check", theirs});
    EXPECT_EQ(check.status, 0) << check.err;
    EXPECT_EQ(std::count(check.out.begin(), check.out.end(), '\n'), 4);
    EXPECT_EQ(check.out.find("FAILED"), std::string::npos) << check.out;
    EXPECT_EQ(ReadFile(theirs), ours.out) << "the two tools should write the same file";

    Write("digits", "12345678!");
    CliRun changed = RunCli({"hash", "--check", theirs});
    EXPECT_EQ(changed.status, 1);
    EXPECT_NE(changed.out.find(Path("digits") + ": FAILED\n"), std::string::npos);
    EXPECT_NE(changed.err.find("WARNING: 1 computed checksum did NOT match"), std::string::npos);
}

} // namespace
