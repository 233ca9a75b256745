// ordovane-cli: the operand codecs and, later, the arithmetic from the command
// line. Exit status: 0 success, 1 a user error (the system's own message on
// stderr), 2 bad usage.
#include "cli/keys_command.h"
#include "cli/script_command.h"
#include "mpa/random_source.h"
#include "platform/crypto/crypt_provider.h"
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

constexpr int kExitOk = 0;
constexpr int kExitUserError = 1;
constexpr int kExitUsage = 2;

using Args = std::span<char* const>;

struct Command {
    std::string_view name;
    std::string_view synopsis; // arguments after the name
    std::string_view help;     // indented description lines
    int (*run)(Args args);     // args after the command name
};

// Thrown for bad usage; main reports it with the usage text and exit code 2.
struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Help was asked for inside a command's arguments.
struct HelpRequest {};

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

// Prints the message of a string id as a user error.
int UserError(int stringId) {
    const char* text = resources::LoadStringText(stringId);
    std::fprintf(stderr, "%s\n", text ? text : "The operand cannot be read.");
    return kExitUserError;
}

bool ReadAll(std::FILE* from, std::string& out) {
    char buf[65536];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, from)) > 0)
        out.append(buf, n);
    return !std::ferror(from);
}

// Writes text and flushes, reporting a failure (a full disk, a closed pipe).
int WriteOut(const std::string& text) {
    if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size() ||
        std::fflush(stdout) != 0) {
        std::fprintf(stderr, "%s\n", text::SystemErrorText(errno).c_str());
        return kExitUserError;
    }
    return kExitOk;
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

// The value of option `name` given as "--name VALUE" or "--name=VALUE" at
// args[i] (advancing i past a separate value); nullopt when args[i] is not it.
std::optional<std::string_view> OptionValue(Args args, size_t& i, std::string_view name) {
    std::string_view arg = args[i];
    if (arg == name) {
        if (i + 1 >= args.size())
            throw UsageError(std::string(name) + " needs a value");
        return std::string_view(args[++i]);
    }
    if (arg.size() > name.size() && arg.starts_with(name) && arg[name.size()] == '=')
        return arg.substr(name.size() + 1);
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
        return UserError(read.message);
    if (read.count == 0)
        return kExitOk;
    std::string shown;
    if (text::FromHexList(*to, list, upperCase, shown) < 0)
        return UserError(text::kMsgOutOfMemory);
    shown += '\n';
    return WriteOut(shown);
}

int ProviderFiller(uint32_t handle, uint32_t len, uint8_t* buffer) {
    return platform::CryptGenRandom(handle, len, buffer) ? 1 : 0;
}

// The arithmetic library draws random bytes from the platform provider once a
// handle is set, as in the program.
void InstallRandomSource() {
    mpa::SetRandomFiller(&ProviderFiller);
}

} // namespace

int main(int argc, char** argv) {
    InstallRandomSource();
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
