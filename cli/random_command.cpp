#include "cli/random_command.h"

#include "resources/ids.h"
#include "text/hex_text.h"
#include "tools/generators.h"

#include <optional>
#include <string>

namespace cli {

int RunRandomCommand(Args args) {
    std::optional<int> bits;
    std::optional<std::string> seed;
    bool upperCase = true;
    for (size_t i = 0; i < args.size(); ++i) {
        std::string_view arg = args[i];
        if (arg == "--help" || arg == "-h")
            throw HelpRequest{};
        if (auto v = OptionValue(args, i, "--bits")) {
            const std::string text(*v);
            size_t used = 0;
            long n = -1;
            try {
                n = std::stol(text, &used);
            } catch (...) {
            }
            if (used != text.size() || n < 0 || n > (1L << 24))
                throw UsageError("--bits must be an integer from 0 to 16777216");
            bits = static_cast<int>(n);
        } else if (auto v = OptionValue(args, i, "--seed-hex")) {
            seed = std::string(*v);
        } else if (arg == "--upper") {
            upperCase = true;
        } else if (arg == "--lower") {
            upperCase = false;
        } else {
            throw UsageError("unknown argument '" + std::string(arg) + "'");
        }
    }
    if (!bits)
        throw UsageError("random needs --bits N");
    tools::GeneratorResult r = tools::GenerateRandomNumber(
        *bits, seed ? tools::SeedType::Hex : tools::SeedType::None, seed.value_or(""));
    if (!r.ok)
        return UserError(r.message != 0 ? r.message : ids::kMsgInternalError);
    std::string out = text::ApplyLetterCase(r.list, upperCase);
    while (!out.empty() && out.back() == ' ')
        out.pop_back();
    return WriteOut(out + "\n");
}

} // namespace cli
