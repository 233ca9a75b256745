// ordovane-cli prime, random and stats: output and exit codes per case, and
// a generated prime passing the command's own test.
#include "support/cli_run.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Case {
    std::vector<std::string> args;
    int status;
    std::string out; // exact standard output ("" when it must be empty)
    std::string err; // a text standard error must contain
};

TEST(CliGeneratorCommands, OutputAndExitCodes) {
    const Case cases[] = {
        {{"stats", "0F"},
         0,
         "Number of bytes: 1\nNumber of bits: 8\nNumber of bit 1: 4 (50.00 %)\n"
         "Number of bit 0: 4 (50.00 %)\nLongest run of bit 1: 4\nLongest run of bit 0: 4\n"
         "Longest run of bits 10: 0\nLongest run of bits 01: 1\n",
         ""},
        {{"stats", "AA", "55"},
         0,
         "Number of bytes: 2\nNumber of bits: 16\nNumber of bit 1: 8 (50.00 %)\n"
         "Number of bit 0: 8 (50.00 %)\nLongest run of bit 1: 1\nLongest run of bit 0: 2\n"
         "Longest run of bits 10: 7\nLongest run of bits 01: 7\n",
         ""},
        {{"stats", "xy"}, 1, "", "Invalid characters occur in the input text."},
        {{"stats"}, 2, "", "stats needs"},
        {{"prime", "--test", "fermat", "61"}, 0, "The data passed Fermat primality test.\n", ""},
        {{"prime", "--test", "general", "--rounds", "4", "61"},
         0,
         "The data passed Miller-Rabin, Fermat and \nSolovay-Strassen primality test.\n",
         ""},
        {{"prime", "--test", "general", "02", "61"}, 3, "It is not a prime.\n", ""},
        {{"prime", "--test", "miller-rabin", "zz"}, 1, "", "Invalid characters"},
        {{"prime", "--test", "lucas", "61"}, 2, "", "unknown test"},
        {{"prime", "--bits", "64", "--rounds", "0"}, 2, "", "--rounds"},
        {{"prime"}, 2, "", "either --bits"},
        {{"random", "--bits", "12", "--seed-hex", "12 XY"}, 1, "", "Invalid initialization data."},
        {{"random"}, 2, "", "--bits"},
    };
    for (const Case& c : cases) {
        CliRun r = RunCli(c.args);
        SCOPED_TRACE(c.args.front() + " " + (c.args.size() > 1 ? c.args[1] : ""));
        EXPECT_EQ(r.status, c.status) << r.err;
        if (c.status != 2) {
            EXPECT_EQ(r.out, c.out);
        }
        if (!c.err.empty()) {
            EXPECT_NE(r.err.find(c.err), std::string::npos) << r.err;
        }
    }
}

TEST(CliGeneratorCommands, GeneratedNumbersHaveTheirSize) {
    CliRun random = RunCli({"random", "--bits", "12", "--seed-hex", "12 345", "--lower"});
    ASSERT_EQ(random.status, 0) << random.err;
    ASSERT_EQ(random.out.size(), 6u) << random.out; // "xx xx\n"
    EXPECT_EQ(random.out[2], ' ');

    CliRun prime = RunCli({"prime", "--bits", "64"});
    ASSERT_EQ(prime.status, 0) << prime.err;
    ASSERT_EQ(prime.out.size(), 8u * 3) << prime.out; // eight bytes, no trailing blank
    std::string list = prime.out.substr(0, prime.out.size() - 1);
    CliRun test = RunCli({"prime", "--test", "miller-rabin", "--rounds", "20", list});
    EXPECT_EQ(test.status, 0) << list;
}

} // namespace
