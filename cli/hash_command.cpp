#include "cli/hash_command.h"

#include "resources/ids.h"
#include "text/system_error.h"
#include "tools/digest/digests.h"

#include <cerrno>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace cli {
namespace {

using ids::kMsgHashCannotOpen;
using ids::kMsgHashNeedMessage;

struct Input {
    enum Kind { Message, HexList, File, Stdin } kind;
    std::string text;
};

std::string DigestText(const std::vector<uint8_t>& digest, bool upperCase, bool asList) {
    std::string s;
    char buf[4];
    for (uint8_t b : digest) {
        std::snprintf(buf, sizeof buf, upperCase ? "%02X" : "%02x", b);
        s += buf;
        if (asList)
            s += ' ';
    }
    return s;
}

std::vector<uint8_t> Finish(digest::Hasher& h, digest::Algorithm algorithm) {
    std::vector<uint8_t> out(size_t(digest::DigestSize(algorithm)));
    out.resize(size_t(h.Finish(out.data(), out.size())));
    return out;
}

// A name in a checksum line: coreutils marks a line whose name holds a
// backslash or a line break with a leading backslash and escapes both.
std::string EscapedName(const std::string& name, bool& escaped) {
    escaped = name.find_first_of("\\\n") != std::string::npos;
    if (!escaped)
        return name;
    std::string s;
    for (char c : name)
        s += c == '\\' ? "\\\\" : c == '\n' ? "\\n" : std::string(1, c);
    return s;
}

std::optional<std::string> UnescapedName(std::string_view name) {
    std::string s;
    for (size_t i = 0; i < name.size(); ++i) {
        if (name[i] != '\\') {
            s += name[i];
            continue;
        }
        if (++i >= name.size())
            return std::nullopt;
        if (name[i] == '\\')
            s += '\\';
        else if (name[i] == 'n')
            s += '\n';
        else
            return std::nullopt;
    }
    return s;
}

// The digest of a whole file or of standard input ("-"); nullopt with errno
// set (or 0 for a failed read) when it cannot be had.
std::optional<std::vector<uint8_t>> DigestOfFile(const std::string& path,
                                                 digest::Algorithm algorithm,
                                                 std::string_view ignore, int& message) {
    std::unique_ptr<digest::Hasher> h = digest::CreateHasher(algorithm);
    auto feed = [&h](const uint8_t* bytes, size_t n, bool = false) { h->Update(bytes, n); };
    message = 0;
    if (path == "-") {
        if (!ReadStdin(feed)) {
            message = tools::kMsgInternalError;
            return std::nullopt;
        }
        return Finish(*h, algorithm);
    }
    FileSource file;
    if (!file.Open(path)) {
        message = kMsgHashCannotOpen;
        return std::nullopt;
    }
    // An empty file or stream has a digest like any other message
    // (coreutils and checksum files rely on it); only ignore ranges that
    // leave nothing of a file are refused.
    if (!file.regular() || file.size() != 0) {
        message = ReadRanges(file, ignore, tools::RangeReader::ShortReads::Fail, path, feed);
        if (message == tools::kMsgNoValidData && !file.regular())
            message = 0;
        if (message)
            return std::nullopt;
    }
    return Finish(*h, algorithm);
}

// hash --check: verifies the lines of each checksum file.
int Check(const std::vector<std::string>& sumFiles, digest::Algorithm algorithm) {
    std::vector<std::string> sources = sumFiles;
    if (sources.empty())
        sources.push_back("-");
    const size_t hexLength = 2 * size_t(digest::DigestSize(algorithm));
    bool anyFailed = false;
    for (const std::string& source : sources) {
        std::string content;
        if (source == "-") {
            if (!ReadAll(stdin, content)) {
                std::fprintf(stderr, "ordovane-cli: -: %s\n", text::SystemErrorText(errno).c_str());
                anyFailed = true;
                continue;
            }
        } else {
            std::FILE* f = std::fopen(source.c_str(), "rb");
            if (!f || !ReadAll(f, content)) {
                std::fprintf(stderr, "ordovane-cli: %s: %s\n", source.c_str(),
                             text::SystemErrorText(errno).c_str());
                if (f)
                    std::fclose(f);
                anyFailed = true;
                continue;
            }
            std::fclose(f);
        }
        size_t improper = 0, unreadable = 0, mismatched = 0, proper = 0;
        size_t pos = 0;
        while (pos < content.size()) {
            size_t eol = content.find('\n', pos);
            if (eol == std::string::npos)
                eol = content.size();
            std::string_view line(content.data() + pos, eol - pos);
            pos = eol + 1;
            if (!line.empty() && line.back() == '\r')
                line.remove_suffix(1);
            if (line.empty() || line[0] == '#')
                continue;
            bool escaped = line[0] == '\\';
            if (escaped)
                line.remove_prefix(1);
            // "DIGEST  NAME" or "DIGEST *NAME".
            if (line.size() < hexLength + 3 || line[hexLength] != ' ' ||
                (line[hexLength + 1] != ' ' && line[hexLength + 1] != '*')) {
                ++improper;
                continue;
            }
            std::string_view hex = line.substr(0, hexLength);
            if (hex.find_first_not_of("0123456789abcdefABCDEF") != std::string_view::npos) {
                ++improper;
                continue;
            }
            std::optional<std::string> name =
                escaped ? UnescapedName(line.substr(hexLength + 2))
                        : std::optional<std::string>(line.substr(hexLength + 2));
            if (!name) {
                ++improper;
                continue;
            }
            ++proper;
            int message = 0;
            errno = 0;
            std::optional<std::vector<uint8_t>> d = DigestOfFile(*name, algorithm, "", message);
            const std::string& shown = *name;
            if (!d) {
                std::fprintf(stderr, "ordovane-cli: %s: %s\n", name->c_str(),
                             errno ? text::SystemErrorText(errno).c_str()
                                   : MessageText(message).c_str());
                if (int w = WriteOut(shown + ": FAILED open or read\n"))
                    return w;
                ++unreadable;
                continue;
            }
            bool same = strncasecmp(DigestText(*d, false, false).c_str(), std::string(hex).c_str(),
                                    hexLength) == 0;
            if (!same)
                ++mismatched;
            if (int w = WriteOut(shown + (same ? ": OK\n" : ": FAILED\n")))
                return w;
        }
        if (proper == 0) {
            std::fprintf(stderr,
                         "ordovane-cli: %s: no properly formatted %s checksum lines found\n",
                         source.c_str(), digest::kAlgorithmNames[int(algorithm)]);
            anyFailed = true;
            continue;
        }
        auto warn = [](size_t n, const char* one, const char* many) {
            if (n != 0)
                std::fprintf(stderr, "ordovane-cli: WARNING: %zu %s\n", n, n == 1 ? one : many);
        };
        warn(improper, "line is improperly formatted", "lines are improperly formatted");
        warn(unreadable, "listed file could not be read", "listed files could not be read");
        warn(mismatched, "computed checksum did NOT match", "computed checksums did NOT match");
        anyFailed = anyFailed || unreadable != 0 || mismatched != 0;
    }
    return anyFailed ? kExitUserError : kExitOk;
}

} // namespace

int RunHashCommand(Args args) {
    digest::Algorithm algorithm = digest::Algorithm::Sha256;
    std::string ignore;
    bool asList = false, upperCase = false, check = false, operandsOnly = false;
    std::vector<Input> inputs;
    for (size_t i = 0; i < args.size(); ++i) {
        std::string_view arg = args[i];
        if (operandsOnly) {
            inputs.push_back({Input::File, std::string(arg)});
        } else if (arg == "--") {
            operandsOnly = true;
        } else if (arg == "--help" || arg == "-h") {
            throw HelpRequest{};
        } else if (auto v = OptionValue(args, i, "--algorithm")) {
            std::optional<digest::Algorithm> a = digest::AlgorithmNamed(*v);
            if (!a)
                throw UsageError("unknown algorithm '" + std::string(*v) +
                                 "' (use MD2, MD4, MD5, SHA-160, SHA-224, SHA-256, SHA-384, "
                                 "SHA-512 or RIPEMD-160)");
            algorithm = *a;
        } else if (auto v = OptionValue(args, i, "--ignore")) {
            ignore = *v;
        } else if (arg == "--list") {
            asList = true;
        } else if (arg == "--upper") {
            upperCase = true;
        } else if (arg == "--check" || arg == "-c") {
            check = true;
        } else if (auto v = OptionValue(args, i, "--message")) {
            inputs.push_back({Input::Message, std::string(*v)});
        } else if (auto v = OptionValue(args, i, "--hex")) {
            inputs.push_back({Input::HexList, std::string(*v)});
        } else if (arg == "-") {
            inputs.push_back({Input::Stdin, "-"});
        } else if (arg.size() > 1 && arg[0] == '-') {
            throw UsageError("unknown option '" + std::string(arg) + "'");
        } else {
            inputs.push_back({Input::File, std::string(arg)});
        }
    }

    if (check) {
        std::vector<std::string> sumFiles;
        for (const Input& in : inputs) {
            if (in.kind == Input::Message || in.kind == Input::HexList)
                throw UsageError("--check reads checksum files, not --message or --hex");
            sumFiles.push_back(in.text);
        }
        if (!ignore.empty())
            throw UsageError("--ignore cannot be used with --check");
        return Check(sumFiles, algorithm);
    }
    if (inputs.empty())
        throw UsageError("hash needs --message, --hex, FILE, - or --check");

    int status = kExitOk;
    for (const Input& in : inputs) {
        std::vector<uint8_t> d;
        if (in.kind == Input::Message || in.kind == Input::HexList) {
            std::vector<uint8_t> bytes;
            if (in.kind == Input::HexList) {
                std::optional<std::vector<uint8_t>> read = tools::ReadHexMessage(in.text);
                if (!read) {
                    status = UserError(tools::kMsgInvalidHexData);
                    continue;
                }
                bytes = std::move(*read);
            } else if (in.text.empty()) {
                status = UserError(kMsgHashNeedMessage);
                continue;
            } else {
                bytes.assign(in.text.begin(), in.text.end());
            }
            d = digest::Digest(algorithm, bytes.data(), bytes.size());
            if (int w = WriteOut(DigestText(d, upperCase, asList) + "\n"))
                return w;
            continue;
        }
        int message = 0;
        std::optional<std::vector<uint8_t>> got = DigestOfFile(in.text, algorithm, ignore, message);
        if (!got) {
            status = UserError(message, in.text);
            continue;
        }
        bool escaped = false;
        std::string name = EscapedName(in.text, escaped);
        std::string line = (escaped ? "\\" : "") + DigestText(*got, upperCase, asList) +
                           (asList ? " " : "  ") + name + "\n";
        if (int w = WriteOut(line))
            return w;
    }
    return status;
}

} // namespace cli
