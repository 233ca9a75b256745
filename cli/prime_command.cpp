#include "cli/prime_command.h"

#include "resources/ids.h"
#include "text/hex_text.h"
#include "tools/generators.h"
#include "tools/primality.h"

#include <optional>
#include <string>
#include <vector>

namespace cli {
namespace {

constexpr int kExitComposite = 3;

int ParseCount(std::string_view option, std::string_view value, int min, int max) {
    int n = 0;
    bool digits = !value.empty() && value.size() < 9;
    for (char c : value) {
        if (c < '0' || c > '9')
            digits = false;
        else
            n = n * 10 + (c - '0');
    }
    if (!digits || n < min || n > max)
        throw UsageError(std::string(option) + " must be an integer from " + std::to_string(min) +
                         " to " + std::to_string(max));
    return n;
}

std::optional<tools::PrimalityKind> KindNamed(std::string_view name) {
    if (name == "fermat")
        return tools::PrimalityKind::Fermat;
    if (name == "solovay-strassen")
        return tools::PrimalityKind::SolovayStrassen;
    if (name == "miller-rabin")
        return tools::PrimalityKind::MillerRabin;
    if (name == "general")
        return tools::PrimalityKind::General;
    return std::nullopt;
}

// The list without its trailing blank, in the asked case, and a line end.
std::string Line(const std::string& list, bool upperCase) {
    std::string out = text::ApplyLetterCase(list, upperCase);
    while (!out.empty() && out.back() == ' ')
        out.pop_back();
    return out + "\n";
}

} // namespace

int RunPrimeCommand(Args args) {
    std::optional<int> bits;
    std::optional<tools::PrimalityKind> kind;
    int rounds = 8;
    bool upperCase = true;
    std::string operand;
    for (size_t i = 0; i < args.size(); ++i) {
        std::string_view arg = args[i];
        if (arg == "--help" || arg == "-h")
            throw HelpRequest{};
        if (auto v = OptionValue(args, i, "--bits")) {
            bits = ParseCount("--bits", *v, 1, 65536);
        } else if (auto v = OptionValue(args, i, "--rounds")) {
            rounds = ParseCount("--rounds", *v, 1, 128);
        } else if (auto v = OptionValue(args, i, "--test")) {
            kind = KindNamed(*v);
            if (!kind)
                throw UsageError("--test: unknown test '" + std::string(*v) +
                                 "' (use fermat, solovay-strassen, miller-rabin or general)");
        } else if (arg == "--upper") {
            upperCase = true;
        } else if (arg == "--lower") {
            upperCase = false;
        } else if (arg.size() > 1 && arg[0] == '-') {
            throw UsageError("unknown option '" + std::string(arg) + "'");
        } else {
            if (!operand.empty())
                operand += ' ';
            operand += arg;
        }
    }
    if (bits.has_value() == kind.has_value())
        throw UsageError("prime needs either --bits N or --test KIND HEX");

    if (bits) {
        if (!operand.empty())
            throw UsageError("prime --bits takes no operand");
        tools::GeneratorResult r = tools::GenerateRandomPrime(*bits, rounds);
        if (!r.ok)
            return UserError(r.message != 0 ? r.message : ids::kMsgInternalError);
        return WriteOut(Line(r.list, upperCase));
    }

    std::string list;
    if (text::ToHexList(text::Hexadecimal, operand, list).count <= 0)
        return UserError(ids::kMsgInvalidInput);
    std::vector<uint8_t> bytes(static_cast<size_t>(text::ParseHexBytes(list, nullptr, 0)));
    text::ParseHexBytes(list, bytes.data(), static_cast<int32_t>(bytes.size()));
    const tools::PrimalityVerdict v = tools::RunPrimalityTest(*kind, bytes, rounds);
    if (v.error)
        return UserError(v.message);
    const int status = WriteOut(MessageText(v.message) + "\n");
    if (status != kExitOk)
        return status;
    return v.result > 0 ? kExitOk : kExitComposite;
}

} // namespace cli
