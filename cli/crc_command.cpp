#include "cli/crc_command.h"

#include "tools/crc.h"

#include <cctype>
#include <string>
#include <vector>

namespace cli {
namespace {

// The 16- and 32-bit entries of the public CRC catalogue whose input and
// output reflection agree, in the catalogue's notation: the polynomial
// without its top term and the initial value both in normal bit order.
struct Preset {
    const char* name;
    int width;
    uint32_t poly;
    uint32_t init;
    bool reflected;
    uint32_t xorOut;
};

constexpr Preset kPresets[] = {
    {"CRC-16/ARC", 16, 0x8005, 0x0000, true, 0x0000},
    {"CRC-16/CDMA2000", 16, 0xc867, 0xffff, false, 0x0000},
    {"CRC-16/CMS", 16, 0x8005, 0xffff, false, 0x0000},
    {"CRC-16/DDS-110", 16, 0x8005, 0x800d, false, 0x0000},
    {"CRC-16/DECT-R", 16, 0x0589, 0x0000, false, 0x0001},
    {"CRC-16/DECT-X", 16, 0x0589, 0x0000, false, 0x0000},
    {"CRC-16/DNP", 16, 0x3d65, 0x0000, true, 0xffff},
    {"CRC-16/EN-13757", 16, 0x3d65, 0x0000, false, 0xffff},
    {"CRC-16/GENIBUS", 16, 0x1021, 0xffff, false, 0xffff},
    {"CRC-16/GSM", 16, 0x1021, 0x0000, false, 0xffff},
    {"CRC-16/IBM-3740", 16, 0x1021, 0xffff, false, 0x0000},
    {"CRC-16/IBM-SDLC", 16, 0x1021, 0xffff, true, 0xffff},
    {"CRC-16/ISO-IEC-14443-3-A", 16, 0x1021, 0xc6c6, true, 0x0000},
    {"CRC-16/KERMIT", 16, 0x1021, 0x0000, true, 0x0000},
    {"CRC-16/LJ1200", 16, 0x6f63, 0x0000, false, 0x0000},
    {"CRC-16/M17", 16, 0x5935, 0xffff, false, 0x0000},
    {"CRC-16/MAXIM-DOW", 16, 0x8005, 0x0000, true, 0xffff},
    {"CRC-16/MCRF4XX", 16, 0x1021, 0xffff, true, 0x0000},
    {"CRC-16/MODBUS", 16, 0x8005, 0xffff, true, 0x0000},
    {"CRC-16/NRSC-5", 16, 0x080b, 0xffff, true, 0x0000},
    {"CRC-16/OPENSAFETY-A", 16, 0x5935, 0x0000, false, 0x0000},
    {"CRC-16/OPENSAFETY-B", 16, 0x755b, 0x0000, false, 0x0000},
    {"CRC-16/PROFIBUS", 16, 0x1dcf, 0xffff, false, 0xffff},
    {"CRC-16/RIELLO", 16, 0x1021, 0xb2aa, true, 0x0000},
    {"CRC-16/SPI-FUJITSU", 16, 0x1021, 0x1d0f, false, 0x0000},
    {"CRC-16/T10-DIF", 16, 0x8bb7, 0x0000, false, 0x0000},
    {"CRC-16/TELEDISK", 16, 0xa097, 0x0000, false, 0x0000},
    {"CRC-16/TMS37157", 16, 0x1021, 0x89ec, true, 0x0000},
    {"CRC-16/UMTS", 16, 0x8005, 0x0000, false, 0x0000},
    {"CRC-16/USB", 16, 0x8005, 0xffff, true, 0xffff},
    {"CRC-16/XMODEM", 16, 0x1021, 0x0000, false, 0x0000},
    {"CRC-32/AIXM", 32, 0x814141ab, 0x00000000, false, 0x00000000},
    {"CRC-32/AUTOSAR", 32, 0xf4acfb13, 0xffffffff, true, 0xffffffff},
    {"CRC-32/BASE91-D", 32, 0xa833982b, 0xffffffff, true, 0xffffffff},
    {"CRC-32/BZIP2", 32, 0x04c11db7, 0xffffffff, false, 0xffffffff},
    {"CRC-32/CD-ROM-EDC", 32, 0x8001801b, 0x00000000, true, 0x00000000},
    {"CRC-32/CKSUM", 32, 0x04c11db7, 0x00000000, false, 0xffffffff},
    {"CRC-32/ISCSI", 32, 0x1edc6f41, 0xffffffff, true, 0xffffffff},
    {"CRC-32/ISO-HDLC", 32, 0x04c11db7, 0xffffffff, true, 0xffffffff},
    {"CRC-32/JAMCRC", 32, 0x04c11db7, 0xffffffff, true, 0x00000000},
    {"CRC-32/MEF", 32, 0x741b8cd7, 0xffffffff, true, 0x00000000},
    {"CRC-32/MPEG-2", 32, 0x04c11db7, 0xffffffff, false, 0x00000000},
    {"CRC-32/XFER", 32, 0x000000af, 0x00000000, false, 0x00000000},
};

// Other names the same parameter sets are known by.
constexpr struct {
    const char* alias;
    const char* name;
} kAliases[] = {
    {"CRC-16", "CRC-16/ARC"},
    {"CRC-16/LHA", "CRC-16/ARC"},
    {"CRC-IBM", "CRC-16/ARC"},
    {"CRC-16/ACORN", "CRC-16/XMODEM"},
    {"CRC-16/LTE", "CRC-16/XMODEM"},
    {"CRC-16/V-41-MSB", "CRC-16/XMODEM"},
    {"XMODEM", "CRC-16/XMODEM"},
    {"ZMODEM", "CRC-16/XMODEM"},
    {"CRC-16/AUTOSAR", "CRC-16/IBM-3740"},
    {"CRC-16/CCITT-FALSE", "CRC-16/IBM-3740"},
    {"CRC-16/AUG-CCITT", "CRC-16/SPI-FUJITSU"},
    {"CRC-16/BUYPASS", "CRC-16/UMTS"},
    {"CRC-16/VERIFONE", "CRC-16/UMTS"},
    {"CRC-16/CCITT", "CRC-16/KERMIT"},
    {"CRC-16/CCITT-TRUE", "CRC-16/KERMIT"},
    {"CRC-16/V-41-LSB", "CRC-16/KERMIT"},
    {"CRC-CCITT", "CRC-16/KERMIT"},
    {"KERMIT", "CRC-16/KERMIT"},
    {"CRC-16/DARC", "CRC-16/GENIBUS"},
    {"CRC-16/EPC", "CRC-16/GENIBUS"},
    {"CRC-16/EPC-C1G2", "CRC-16/GENIBUS"},
    {"CRC-16/I-CODE", "CRC-16/GENIBUS"},
    {"CRC-16/ISO-HDLC", "CRC-16/IBM-SDLC"},
    {"CRC-16/ISO-IEC-14443-3-B", "CRC-16/IBM-SDLC"},
    {"CRC-16/X-25", "CRC-16/IBM-SDLC"},
    {"CRC-B", "CRC-16/IBM-SDLC"},
    {"X-25", "CRC-16/IBM-SDLC"},
    {"CRC-A", "CRC-16/ISO-IEC-14443-3-A"},
    {"CRC-16/MAXIM", "CRC-16/MAXIM-DOW"},
    {"MODBUS", "CRC-16/MODBUS"},
    {"CRC-32", "CRC-32/ISO-HDLC"},
    {"CRC-32/ADCCP", "CRC-32/ISO-HDLC"},
    {"CRC-32/V-42", "CRC-32/ISO-HDLC"},
    {"CRC-32/XZ", "CRC-32/ISO-HDLC"},
    {"PKZIP", "CRC-32/ISO-HDLC"},
    {"CRC-32/AAL5", "CRC-32/BZIP2"},
    {"CRC-32/DECT-B", "CRC-32/BZIP2"},
    {"B-CRC-32", "CRC-32/BZIP2"},
    {"CRC-32/POSIX", "CRC-32/CKSUM"},
    {"CKSUM", "CRC-32/CKSUM"},
    {"CRC-32C", "CRC-32/ISCSI"},
    {"CRC-32/BASE91-C", "CRC-32/ISCSI"},
    {"CRC-32/CASTAGNOLI", "CRC-32/ISCSI"},
    {"CRC-32/INTERLAKEN", "CRC-32/ISCSI"},
    {"CRC-32D", "CRC-32/BASE91-D"},
    {"CRC-32Q", "CRC-32/AIXM"},
    {"JAMCRC", "CRC-32/JAMCRC"},
    {"XFER", "CRC-32/XFER"},
};

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::toupper(static_cast<unsigned char>(a[i])) !=
            std::toupper(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

const Preset* FindPreset(std::string_view name) {
    for (const auto& a : kAliases)
        if (SameName(name, a.alias))
            name = a.name;
    for (const Preset& p : kPresets)
        if (SameName(name, p.name))
            return &p;
    return nullptr;
}

uint32_t Reflect(uint32_t v, int width) {
    uint32_t r = 0;
    for (int i = 0; i < width; ++i)
        if (v & (uint32_t(1) << i))
            r |= uint32_t(1) << (width - 1 - i);
    return r;
}

std::string Hex(uint32_t v) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%X", v);
    return buf;
}

struct Input {
    enum Kind { Message, HexList, File, Stdin } kind;
    std::string text; // the message, hex list or path
};

} // namespace

int RunCrcCommand(Args args) {
    std::string poly = "16,15,2,0", init = "0", xorText = "0", ignore;
    bool reflected = false, both = false, upperCase = true;
    std::vector<Input> inputs;
    bool operandsOnly = false;
    for (size_t i = 0; i < args.size(); ++i) {
        std::string_view arg = args[i];
        if (operandsOnly) {
            inputs.push_back({Input::File, std::string(arg)});
        } else if (arg == "--") {
            operandsOnly = true;
        } else if (arg == "--help" || arg == "-h") {
            throw HelpRequest{};
        } else if (arg == "--list-presets") {
            std::string list;
            for (const Preset& p : kPresets)
                list += std::string(p.name) + "\n";
            return WriteOut(list);
        } else if (auto v = OptionValue(args, i, "--poly")) {
            poly = *v;
        } else if (arg == "--reflected") {
            reflected = true;
        } else if (auto v = OptionValue(args, i, "--init")) {
            init = *v;
        } else if (auto v = OptionValue(args, i, "--xor")) {
            xorText = *v;
        } else if (auto v = OptionValue(args, i, "--preset")) {
            const Preset* p = FindPreset(*v);
            if (!p)
                throw UsageError("unknown CRC preset '" + std::string(*v) +
                                 "' (see crc --list-presets)");
            poly = tools::CrcCoefficientText(p->width, p->poly);
            reflected = p->reflected;
            // The register starts at the literal initial value in its own bit
            // order, so a reflected register starts at the mirrored value.
            init = Hex(p->reflected ? Reflect(p->init, p->width) : p->init);
            xorText = Hex(p->xorOut);
        } else if (auto v = OptionValue(args, i, "--ignore")) {
            ignore = *v;
        } else if (arg == "--both") {
            both = true;
        } else if (arg == "--upper") {
            upperCase = true;
        } else if (arg == "--lower") {
            upperCase = false;
        } else if (auto v = OptionValue(args, i, "--message")) {
            inputs.push_back({Input::Message, std::string(*v)});
        } else if (auto v = OptionValue(args, i, "--hex")) {
            inputs.push_back({Input::HexList, std::string(*v)});
        } else if (arg == "-") {
            inputs.push_back({Input::Stdin, ""});
        } else if (arg.size() > 1 && arg[0] == '-') {
            throw UsageError("unknown option '" + std::string(arg) + "'");
        } else {
            inputs.push_back({Input::File, std::string(arg)});
        }
    }
    if (inputs.empty())
        throw UsageError("crc needs --message, --hex, FILE or -");

    tools::CrcPolynomial p = tools::ParseCrcCoefficients(poly, reflected);
    if (p.outcome == tools::CrcPolynomial::Message)
        return UserError(p.message);
    if (p.outcome == tools::CrcPolynomial::Nothing) {
        std::fputs("The polynomial has no coefficient below its order, so there is nothing to "
                   "calculate.\n",
                   stderr);
        return kExitUserError;
    }
    const uint32_t initial = tools::ParseHexField(init);
    const uint32_t finalXor = tools::ParseCrcFinalXor(xorText);

    int status = kExitOk;
    std::string out;
    for (const Input& in : inputs) {
        tools::CrcRegister crc(p.order, p.polynomial, reflected, initial);
        auto feed = [&crc](const uint8_t* bytes, size_t n, bool = false) { crc.Update(bytes, n); };
        if (in.kind == Input::Message) {
            if (in.text.empty()) {
                status = UserError(tools::kMsgCrcNeedMessage);
                continue;
            }
            feed(reinterpret_cast<const uint8_t*>(in.text.data()), in.text.size());
        } else if (in.kind == Input::HexList) {
            std::optional<std::vector<uint8_t>> bytes = tools::ReadHexMessage(in.text);
            if (!bytes) {
                status = UserError(tools::kMsgInvalidHexData);
                continue;
            }
            feed(bytes->data(), bytes->size());
        } else if (in.kind == Input::Stdin) {
            if (!ReadStdin(feed)) {
                status = UserError(tools::kMsgInternalError, "-");
                continue;
            }
        } else {
            FileSource file;
            if (!file.Open(in.text)) {
                status = UserError(tools::kMsgCrcCannotOpen, in.text);
                continue;
            }
            if (file.regular() && file.size() == 0) {
                status = UserError(tools::kMsgNoValidData, in.text);
                continue;
            }
            int failed =
                ReadRanges(file, ignore, tools::RangeReader::ShortReads::Continue, in.text, feed);
            if (failed) {
                status = UserError(failed, in.text);
                continue;
            }
        }
        std::string after = tools::FormatCrc(crc.WithFinalXor(finalXor), p.order, upperCase);
        out += both ? tools::FormatCrc(crc.Value(), p.order, upperCase) + " " + after : after;
        out += '\n';
        if (int written = WriteOut(out); written != kExitOk)
            return written;
        out.clear();
    }
    return status;
}

} // namespace cli
