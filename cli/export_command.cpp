#include "cli/export_command.h"

#include "exchange/export_formats.h"
#include "text/hex_text.h"

#include <cerrno>
#include <string>
#include <vector>

namespace cli {
namespace {

std::optional<exchange::ExportFormat> FormatNamed(std::string_view name) {
    if (name == "raw")
        return exchange::ExportFormat::Raw;
    if (name == "base64")
        return exchange::ExportFormat::Base64;
    if (name == "text")
        return exchange::ExportFormat::Text;
    if (name == "c")
        return exchange::ExportFormat::CSource;
    if (name == "html")
        return exchange::ExportFormat::Html;
    return std::nullopt;
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

} // namespace

int RunExportCommand(Args args) {
    std::optional<exchange::ExportFormat> format;
    text::NumberSystem system = text::Hexadecimal;
    std::string outPath, input;
    bool haveOperands = false, operandsOnly = false;
    for (size_t i = 0; i < args.size(); ++i) {
        std::string_view arg = args[i];
        if (!operandsOnly && arg == "--") {
            operandsOnly = true;
        } else if (!operandsOnly && (arg == "--help" || arg == "-h")) {
            throw HelpRequest{};
        } else if (auto v = operandsOnly ? std::nullopt : OptionValue(args, i, "--format")) {
            format = FormatNamed(*v);
            if (!format)
                throw UsageError("--format must be raw, base64, text, c or html");
        } else if (auto v = operandsOnly ? std::nullopt : OptionValue(args, i, "--system")) {
            std::optional<text::NumberSystem> s = SystemNamed(*v);
            if (!s)
                throw UsageError("--system must be hex, dec, oct or bin");
            system = *s;
        } else if (auto v = operandsOnly ? std::nullopt : OptionValue(args, i, "-o")) {
            outPath = *v;
        } else if (!operandsOnly && arg.size() > 1 && arg[0] == '-') {
            throw UsageError("unknown option '" + std::string(arg) + "'");
        } else {
            if (haveOperands)
                input += ' ';
            input += arg;
            haveOperands = true;
        }
    }
    if (!format && system == text::Hexadecimal)
        throw UsageError("export needs --format (or --system dec|oct|bin)");
    if (!haveOperands && !ReadAll(stdin, input))
        return UserError(tools::kMsgInternalError, "-");

    // The number as a hex byte list; the dialog is handed one, the command
    // line also takes longer hexadecimal tokens ("0102" is 01 02).
    std::string list;
    text::HexListResult read = text::ToHexList(text::Hexadecimal, input, list);
    if (read.count < 0)
        return UserError(read.message);
    if (read.count == 0)
        return UserError(exchange::kMsgNoValidNumber);

    std::string content;
    if (system == text::Hexadecimal) {
        std::vector<uint8_t> bytes(size_t(read.count));
        bytes.resize(size_t(text::ParseHexBytes(list, bytes.data(), read.count)));
        content = exchange::WriteHexExport(*format, bytes.data(), bytes.size());
    } else {
        std::string shown;
        if (text::FromHexList(system, list, false, shown) < 0)
            return UserError(text::kMsgOutOfMemory);
        content = exchange::WriteDigitGroups(shown);
    }
    if (outPath.empty())
        return WriteOut(content);
    if (int failed = exchange::WriteFileChecked(outPath, content))
        return UserError(failed, outPath);
    return kExitOk;
}

} // namespace cli
