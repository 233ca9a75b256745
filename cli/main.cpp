// ordovane-cli: the operand codecs and, later, the arithmetic from the command
// line. Exit status: 0 success, 1 a user error (the system's own message on
// stderr), 2 bad usage.
#include "cli/checksum_command.h"
#include "cli/command_support.h"
#include "cli/crc_command.h"
#include "cli/export_command.h"
#include "cli/hash_command.h"
#include "cli/keys_command.h"
#include "cli/prime_command.h"
#include "cli/random_command.h"
#include "cli/script_command.h"
#include "cli/stats_command.h"
#include "platform/crypto/provider_random.h"
#include "resources/string_table.h"
#include "text/hex_text.h"
#include "text/system_error.h"

#include <cerrno>
#include <cstdio>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>

namespace {

using cli::Args;
using cli::HelpRequest;
using cli::kExitOk;
using cli::kExitUsage;
using cli::kExitUserError;
using cli::OptionValue;
using cli::ReadAll;
using cli::UsageError;
using cli::WriteOut;

struct Command {
    std::string_view name;
    std::string_view synopsis; // arguments after the name
    std::string_view help;     // indented description lines
    int (*run)(Args args);     // args after the command name
};

int RunConvert(Args args);
int RunScript(Args args) {
    return RunScriptCommand(args);
}
int RunKeys(Args args) {
    return RunKeysCommand(args);
}

constexpr Command kCommands[] = {
    {"convert", "--from SYS --to SYS [--upper|--lower] [--] [TEXT...]",
     "      Reads an operand written in number system SYS (hex, dec, oct or bin)\n"
     "      from TEXT, the arguments joined by spaces, or from standard input when\n"
     "      there is none, and prints it in the other system. Hex letters are\n"
     "      upper case unless --lower is given. An empty operand prints nothing.\n",
     &RunConvert},
    {"script", "[--language jscript|vbscript] FILE|-",
     "      Runs a script with the arithmetic object as its named item Tallomir,\n"
     "      on a worker thread as the scripting console does. Each Output line goes\n"
     "      to standard output, script errors to standard error. The language\n"
     "      follows the file's extension (js, vbs) unless given; - reads the\n"
     "      script from standard input (JScript unless given).\n",
     &RunScript},
    {"crc",
     "[--poly EXPONENTS] [--reflected] [--init HEX] [--xor HEX] [--preset NAME]\n"
     "      [--ignore RANGES] [--both] [--upper|--lower] (--message TEXT | --hex HEXLIST |\n"
     "      FILE... | -)",
     "      The CRC of each input, one line each: the value after the final XOR, or with\n"
     "      --both the register before it and the value after it. The polynomial is a\n"
     "      list of exponents from high to low (default 16,15,2,0), --init and --xor\n"
     "      are hexadecimal (default 0), as in the CRC calculator. --preset sets all\n"
     "      four from a catalogue name (crc --list-presets); options after it win.\n"
     "      --ignore leaves byte offsets and ranges of files out (\"1024..2047, 512\").\n",
     &cli::RunCrcCommand},
    {"checksum",
     "[--width 1|2|4|8] [--swap] [--pad HEX] [--xor VALUE] [--ignore RANGES]\n"
     "      [--both] [--upper|--lower] FILE...",
     "      The sum of each file's units of --width bytes (default 4), little-endian\n"
     "      or with --swap big-endian; a partial last unit of each included range is\n"
     "      completed with the --pad byte. One line per file: the value after the\n"
     "      final XOR (an integer literal, hexadecimal by default), or with --both\n"
     "      the sum before it and the value after it.\n",
     &cli::RunChecksumCommand},
    {"hash",
     "[--algorithm NAME] [--ignore RANGES] [--list] [--upper]\n"
     "      (--message TEXT | --hex HEXLIST | FILE... | - | --check [FILE...])",
     "      The digest of each input with MD2, MD4, MD5, SHA-160 (SHA-1), SHA-224,\n"
     "      SHA-256 (the default), SHA-384, SHA-512 or RIPEMD-160, in lower-case hex.\n"
     "      Files and - print \"DIGEST  NAME\" lines that sha256sum -c accepts;\n"
     "      --check verifies such lines from the given files or standard input.\n"
     "      --list prints the digest as a hex byte list.\n",
     &cli::RunHashCommand},
    {"export",
     "--format raw|base64|text|c|html [--system hex|dec|oct|bin] [-o FILE]\n"
     "      [HEXLIST...]",
     "      Writes the number (a hex byte list from the arguments or standard input)\n"
     "      as the Output Number dialog writes that file type; --system dec, oct or\n"
     "      bin writes its digit groups instead. To FILE, else to standard output.\n",
     &cli::RunExportCommand},
    {"keys", "list | create NAME | delete NAME | export NAME OPTIONS",
     "      The program's key containers. list prints one name per line; create\n"
     "      makes a container with both key pairs (or completes one); delete\n"
     "      removes it without asking. export NAME --kind exchange|signature\n"
     "      --cipher rc2|rc4 --base-message TEXT --dir DIR [--public FILE]\n"
     "      [--private FILE] [--session FILE] writes the pair's public blob, its\n"
     "      private blob encrypted with the session key derived from MD5(TEXT),\n"
     "      and that digest (publickey.blob, privatekey.blob, session.md5 by\n"
     "      default; an empty --session skips the digest).\n",
     &RunKeys},
    {"prime", "--bits N [--rounds K] | --test KIND [--rounds K] HEX...",
     "      --bits: a random probable prime of N bits (at least 9) passing K\n"
     "      Miller-Rabin rounds (default 8), as a hex byte list. --test: runs the\n"
     "      fermat, solovay-strassen, miller-rabin or general test on the number and\n"
     "      prints the verdict; exit 0 for a probable prime, 3 for a composite.\n",
     &cli::RunPrimeCommand},
    {"random", "--bits N [--seed-hex HEX] [--upper|--lower]",
     "      A pseudo-random number of N bits (at least 8; whole bytes, every bit\n"
     "      random) as a hex byte list, as the generator dialog makes it; the seed\n"
     "      bytes are handed to the random source as extra input.\n",
     &cli::RunRandomCommand},
    {"stats", "HEX...",
     "      The randomicity counts of the number's bits, one \"label value\" line\n"
     "      each, as the Statistical Results dialog lists them.\n",
     &cli::RunStatsCommand},
};

void PrintUsage(std::FILE* to) {
    std::fputs("Usage: ordovane-cli COMMAND [ARGS...]\n"
               "       ordovane-cli --help\n\nCommands:\n",
               to);
    for (const Command& c : kCommands)
        std::fprintf(to, "  %.*s %.*s\n%.*s", static_cast<int>(c.name.size()), c.name.data(),
                     static_cast<int>(c.synopsis.size()), c.synopsis.data(),
                     static_cast<int>(c.help.size()), c.help.data());
}

std::optional<text::NumberSystem> SystemNamed(std::string_view name) {
    if (name == "hex")
        return text::Hexadecimal;
    if (name == "dec")
        return text::Decimal;
    if (name == "oct")
        return text::Octal;
    if (name == "bin")
        return text::Binary;
    return std::nullopt;
}

text::NumberSystem ParseSystem(std::string_view option, std::string_view value) {
    if (auto system = SystemNamed(value))
        return *system;
    throw UsageError(std::string(option) + ": unknown number system '" + std::string(value) +
                     "' (use hex, dec, oct or bin)");
}

int RunConvert(Args args) {
    std::optional<text::NumberSystem> from, to;
    bool upperCase = true;
    size_t i = 0;
    // Options come first; the first other argument, or everything after "--",
    // is operand text (so "--" lets a text begin with '-').
    for (; i < args.size(); ++i) {
        std::string_view arg = args[i];
        if (arg == "--") {
            ++i;
            break;
        }
        if (arg == "--help" || arg == "-h")
            throw HelpRequest{};
        if (auto v = OptionValue(args, i, "--from"))
            from = ParseSystem("--from", *v);
        else if (auto v = OptionValue(args, i, "--to"))
            to = ParseSystem("--to", *v);
        else if (arg == "--upper")
            upperCase = true;
        else if (arg == "--lower")
            upperCase = false;
        else if (arg.size() > 1 && arg[0] == '-')
            throw UsageError("unknown option '" + std::string(arg) + "'");
        else
            break;
    }
    if (!from || !to)
        throw UsageError("convert needs --from and --to");

    std::string input;
    if (i < args.size()) {
        for (size_t k = i; k < args.size(); ++k) {
            if (k > i)
                input += ' ';
            input += args[k];
        }
    } else if (!ReadAll(stdin, input)) {
        std::fprintf(stderr, "%s\n", text::SystemErrorText(errno).c_str());
        return kExitUserError;
    }

    std::string list;
    text::HexListResult read = text::ToHexList(*from, input, list);
    if (read.count < 0)
        return cli::UserError(read.message);
    if (read.count == 0)
        return kExitOk;
    std::string shown;
    if (text::FromHexList(*to, list, upperCase, shown) < 0)
        return cli::UserError(text::kMsgOutOfMemory);
    shown += '\n';
    return WriteOut(shown);
}

} // namespace

int main(int argc, char** argv) {
    platform::InstallProviderRandom();
    Args args(argv + 1, argc > 0 ? static_cast<size_t>(argc - 1) : 0);
    if (args.empty()) {
        std::fputs("ordovane-cli: no command given\n", stderr);
        PrintUsage(stderr);
        return kExitUsage;
    }
    std::string_view name = args[0];
    if (name == "--help" || name == "-h") {
        PrintUsage(stdout);
        return kExitOk;
    }
    try {
        for (const Command& c : kCommands)
            if (c.name == name)
                return c.run(args.subspan(1));
        throw UsageError("unknown command '" + std::string(name) + "'");
    } catch (const HelpRequest&) {
        PrintUsage(stdout);
        return kExitOk;
    } catch (const UsageError& e) {
        std::fprintf(stderr, "ordovane-cli: %s\n", e.what());
        PrintUsage(stderr);
        return kExitUsage;
    }
}
