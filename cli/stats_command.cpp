#include "cli/stats_command.h"

#include "text/hex_text.h"
#include "tools/randomicity.h"

#include <string>
#include <vector>

namespace cli {

int RunStatsCommand(Args args) {
    std::string operand;
    for (size_t i = 0; i < args.size(); ++i) {
        std::string_view arg = args[i];
        if (arg == "--help" || arg == "-h")
            throw HelpRequest{};
        if (arg.size() > 1 && arg[0] == '-')
            throw UsageError("unknown option '" + std::string(arg) + "'");
        if (!operand.empty())
            operand += ' ';
        operand += arg;
    }
    if (operand.empty())
        throw UsageError("stats needs a HEX operand");
    std::string list;
    if (text::ToHexList(text::Hexadecimal, operand, list).count <= 0)
        return UserError(text::kMsgInvalidInput);
    std::vector<uint8_t> bytes(static_cast<size_t>(text::ParseHexBytes(list, nullptr, 0)));
    text::ParseHexBytes(list, bytes.data(), static_cast<int32_t>(bytes.size()));
    std::string out;
    for (const auto& [label, value] :
         tools::RandomicityLines(tools::CountRandomicity(bytes.data(), bytes.size())))
        out += label + " " + value + "\n";
    return WriteOut(out);
}

} // namespace cli
