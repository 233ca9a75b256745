// ordovane-cli as a user runs it: output, messages and exit codes.
#include "support/cli_run.h"
#include "support/temp_key_store.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

TEST(Cli, Conversions) {
    struct Case {
        std::vector<std::string> args;
        std::string input;
        std::string out;
    };
    const Case cases[] = {
        {{"convert", "--from", "hex", "--to", "dec", "00", "0F"}, "", "15 \n"},
        {{"convert", "--from", "dec", "--to", "hex", "1", "234"}, "", "04 D2 \n"},
        {{"convert", "--from=dec", "--to=hex", "--lower", "43981"}, "", "ab cd \n"},
        {{"convert", "--from", "hex", "--to", "bin"}, "00 0f\n", "0000 0000 0000 1111 \n"},
        {{"convert", "--from", "bin", "--to", "oct", "1", "0000", "0000"}, "", "400 \n"},
        {{"convert", "--from", "dec", "--to", "dec", "0"}, "", "000 \n"},
        {{"convert", "--from", "hex", "--to", "hex", "abc", "1"}, "", "0A BC 01 \n"},
        {{"convert", "--from", "dec", "--to", "hex", "--", "1000000"}, "", "0F 42 40 \n"},
    };
    for (const Case& c : cases) {
        CliRun r = RunCli(c.args, c.input);
        SCOPED_TRACE(c.args[2] + " -> " + c.args[c.args[1].starts_with("--from=") ? 2 : 4]);
        EXPECT_EQ(r.status, 0);
        EXPECT_EQ(r.out, c.out);
        EXPECT_EQ(r.err, "");
    }
}

TEST(Cli, EmptyOperandPrintsNothing) {
    for (const std::string& input : {std::string(""), std::string(" \t\r\n")}) {
        CliRun r = RunCli({"convert", "--from", "dec", "--to", "hex"}, input);
        EXPECT_EQ(r.status, 0);
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err, "");
    }
    CliRun r = RunCli({"convert", "--from", "hex", "--to", "bin", " "});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "");
}

TEST(Cli, InvalidTextShowsTheSystemsMessage) {
    struct Case {
        std::string from;
        std::string text;
        std::string message;
    };
    const Case cases[] = {
        {"dec", "12a", "Invalid characters occur in the decimal string.\n"},
        {"dec", "12x", "Invalid characters occur in the input text.\n"},
        {"oct", "8", "Invalid characters occur in the octal string.\n"},
        {"bin", "2", "Invalid characters occur in the binary string.\n"},
        {"hex", "0x1F", "Invalid characters occur in the input text.\n"},
        {"dec", "-5", "Invalid characters occur in the input text.\n"},
    };
    for (const Case& c : cases) {
        CliRun r = RunCli({"convert", "--from", c.from, "--to", "hex", "--", c.text});
        SCOPED_TRACE(c.from + " " + c.text);
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err, c.message);
    }
}

TEST(Cli, HelpGoesToStdout) {
    for (const char* flag : {"--help", "-h"}) {
        CliRun r = RunCli({flag});
        EXPECT_EQ(r.status, 0);
        EXPECT_NE(r.out.find("convert --from SYS --to SYS"), std::string::npos) << r.out;
        EXPECT_EQ(r.err, "");
    }
}

TEST(Cli, BadUsageExitsWithTwo) {
    const std::vector<std::string> cases[] = {
        {},
        {"frobnicate"},
        {"convert"},
        {"convert", "--from", "dec"},
        {"convert", "--to", "hex", "12"},
        {"convert", "--from", "dex", "--to", "hex", "12"},
        {"convert", "--from", "dec", "--to"},
        {"convert", "--from", "dec", "--to", "hex", "--wide", "12"},
        {"convert", "--from", "dec", "--to", "hex", "-5"}, // needs "--" first
    };
    for (const auto& args : cases) {
        CliRun r = RunCli(args);
        std::string joined;
        for (const std::string& a : args)
            joined += a + ' ';
        SCOPED_TRACE(joined);
        EXPECT_EQ(r.status, 2);
        EXPECT_EQ(r.out, "");
        EXPECT_NE(r.err.find("ordovane-cli: "), std::string::npos) << r.err;
        EXPECT_NE(r.err.find("Usage:"), std::string::npos) << r.err;
    }
}

class CliKeys : public TempKeyStoreTest {};

TEST_F(CliKeys, CreateListDeleteWithTheManagersMessages) {
    struct Step {
        std::vector<std::string> args;
        int status;
        std::string out, err;
    } steps[] = {
        {{"keys", "list"}, 0, "", ""},
        {{"keys", "create", "Box"}, 0, "The key container \"Box\" has been created.\n", ""},
        {{"keys", "create", "Box"}, 0, "The key container \"Box\" had already been created.\n", ""},
        {{"keys", "create", "../Other"},
         0,
         "The key container \"../Other\" has been created.\n",
         ""},
        {{"keys", "list"}, 0, "../Other\nBox\n", ""},
        {{"keys", "delete", "Box"}, 0, "The key container \"Box\" has been deleted.\n", ""},
        {{"keys", "delete", "Box"}, 1, "", "Keyset does not exist\n"},
        {{"keys", "export", "Box", "--kind", "exchange", "--cipher", "rc4", "--base-message", "m",
          "--dir", "/tmp"},
         1,
         "",
         "Keyset does not exist\n"},
        {{"keys", "export", "../Other", "--kind", "exchange", "--cipher", "rc4", "--base-message",
          "", "--dir", "/tmp"},
         1,
         "",
         "To derive a session key, you need feed some base data.\n"},
        {{"keys", "export", "../Other", "--kind", "exchange", "--cipher", "rc4", "--base-message",
          "m", "--dir", ""},
         1,
         "",
         "Please browse a folder for saving key blobs.\n"},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.args[1] + (s.args.size() > 2 ? " " + s.args[2] : ""));
        CliRun r = RunCli(s.args);
        EXPECT_EQ(r.status, s.status);
        EXPECT_EQ(r.out, s.out);
        EXPECT_EQ(r.err, s.err);
    }
    for (const std::vector<std::string>& bad : std::vector<std::vector<std::string>>{
             {"keys"},
             {"keys", "create"},
             {"keys", "rename", "a"},
             {"keys", "export", "Box", "--kind", "both", "--cipher", "rc4", "--base-message", "m",
              "--dir", "/tmp"},
             {"keys", "export", "Box", "--kind", "exchange", "--cipher", "rc4", "--base-message",
              "m", "--dir", "/tmp", "--public", ""},
         }) {
        CliRun r = RunCli(bad);
        EXPECT_EQ(r.status, 2) << bad.back();
        EXPECT_NE(r.err.find("Usage:"), std::string::npos);
    }
}

// What `openssl rsa -inform MSBLOB` makes of the exported files: the public
// blob as it is, the private blob once its body is decrypted with RC4 keyed
// by MD5("abc")[0..4] and 11 zero bytes.
TEST_F(CliKeys, ExportedBlobsReadByOpenSsl) {
    ASSERT_EQ(RunCli({"keys", "create", "Box"}).status, 0);
    const std::string out = root_ + "/out";
    ASSERT_EQ(::mkdir(out.c_str(), 0700), 0);
    CliRun r = RunCli({"keys", "export", "Box", "--kind", "signature", "--cipher", "rc4",
                       "--base-message", "abc", "--dir", out, "--session", ""});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "You have succeeded in exporting key blobs.\n");
    EXPECT_FALSE(std::ifstream(out + "/session.md5").good());
    const std::string script =
        "cd '" + out +
        "' && "
        "openssl rsa -pubin -inform MSBLOB -in publickey.blob -noout 2>&1 && "
        "head -c 8 privatekey.blob > plain.blob && tail -c +9 privatekey.blob | "
        "openssl enc -d -rc4 -K 900150983c0000000000000000000000 -provider legacy "
        "-provider default >> plain.blob && "
        "openssl rsa -inform MSBLOB -in plain.blob -check -noout > check.txt 2>&1";
    EXPECT_EQ(std::system(script.c_str()), 0) << ReadFile(out + "/check.txt");
    EXPECT_EQ(ReadFile(out + "/check.txt"), "RSA key ok\n");
}

} // namespace
