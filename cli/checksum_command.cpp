#include "cli/checksum_command.h"

#include "tools/checksum.h"

#include <string>
#include <vector>

namespace cli {

int RunChecksumCommand(Args args) {
    int width = 4;
    bool swap = false, both = false, upperCase = true;
    std::string pad, xorText, ignore;
    std::vector<std::string> files;
    bool operandsOnly = false;
    for (size_t i = 0; i < args.size(); ++i) {
        std::string_view arg = args[i];
        if (operandsOnly) {
            files.emplace_back(arg);
        } else if (arg == "--") {
            operandsOnly = true;
        } else if (arg == "--help" || arg == "-h") {
            throw HelpRequest{};
        } else if (auto v = OptionValue(args, i, "--width")) {
            if (*v != "1" && *v != "2" && *v != "4" && *v != "8")
                throw UsageError("--width must be 1, 2, 4 or 8");
            width = (*v)[0] - '0';
        } else if (arg == "--swap") {
            swap = true;
        } else if (auto v = OptionValue(args, i, "--pad")) {
            pad = *v;
        } else if (auto v = OptionValue(args, i, "--xor")) {
            xorText = *v;
        } else if (auto v = OptionValue(args, i, "--ignore")) {
            ignore = *v;
        } else if (arg == "--both") {
            both = true;
        } else if (arg == "--upper") {
            upperCase = true;
        } else if (arg == "--lower") {
            upperCase = false;
        } else if (arg.size() > 1 && arg[0] == '-') {
            throw UsageError("unknown option '" + std::string(arg) + "'");
        } else {
            files.emplace_back(arg);
        }
    }
    if (files.empty())
        throw UsageError("checksum needs a FILE");

    const uint8_t padByte = tools::ParseChecksumPad(pad);
    const uint64_t finalXor = tools::ParseChecksumFinalXor(xorText);
    int status = kExitOk;
    for (const std::string& path : files) {
        FileSource file;
        if (!file.Open(path)) {
            status = UserError(tools::kMsgChecksumCannotOpen, path);
            continue;
        }
        if (file.regular() && file.size() == 0) {
            status = UserError(tools::kMsgNoValidData, path);
            continue;
        }
        tools::Checksum sum(width, swap, padByte);
        int failed =
            ReadRanges(file, ignore, tools::RangeReader::ShortReads::Fail, path,
                       [&sum](const uint8_t* bytes, size_t n, bool) { sum.AddChunk(bytes, n); });
        if (failed) {
            status = UserError(failed, path);
            continue;
        }
        std::string after = tools::FormatChecksum(sum.Sum() ^ finalXor, width, upperCase);
        std::string line =
            both ? tools::FormatChecksum(sum.Sum(), width, upperCase) + " " + after : after;
        if (int written = WriteOut(line + "\n"); written != kExitOk)
            return written;
    }
    return status;
}

} // namespace cli
