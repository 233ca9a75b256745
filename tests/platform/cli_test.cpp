// ordovane-cli as a user runs it: output, messages and exit codes.
#include "support/cli_run.h"

#include <gtest/gtest.h>

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

} // namespace
