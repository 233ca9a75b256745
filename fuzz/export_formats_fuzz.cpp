// The export writers on any bytes and any shown text: every hex format reads
// back to the bytes it was given, text lines hold at most 16 items, and the
// digit groups keep every item in order.
#include "exchange/export_formats.h"
#include "fuzz_expect.h"
#include "text/base64.h"
#include "text/char_classes.h"
#include "text/hex_text.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

using fuzz::Expect;

namespace {

std::vector<std::string_view> Items(std::string_view text) {
    std::vector<std::string_view> items;
    text::ForEachToken(text, [&](std::string_view item) {
        items.push_back(item);
        return true;
    });
    return items;
}

// Lines end in CR LF and hold at most 16 items each.
void ExpectLines(std::string_view text, const char* what) {
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find("\r\n", start);
        Expect(end != std::string_view::npos, what);
        Expect(Items(text.substr(start, end - start)).size() <= 16, what);
        start = end + 2;
    }
}

// The bytes of "hh " or "0xhh, " items between prefix and suffix.
std::vector<uint8_t> ReadBack(std::string_view out, std::string_view prefix,
                              std::string_view suffix, bool cItems) {
    Expect(out.starts_with(prefix) && out.ends_with(suffix), "header or footer");
    std::string body(out.substr(prefix.size(), out.size() - prefix.size() - suffix.size()));
    ExpectLines(body, "hex lines");
    std::vector<uint8_t> bytes;
    for (std::string_view item : Items(body)) {
        if (cItems) {
            Expect(item.size() == 5 && item.starts_with("0x") && item[4] == ',', "C item");
            item = item.substr(2, 2);
        }
        Expect(item.size() == 2, "hex item");
        bytes.push_back(uint8_t(std::strtoul(std::string(item).c_str(), nullptr, 16)));
    }
    return bytes;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    const exchange::ExportStyle style{bool(data[0] & 1), bool(data[0] & 2)};
    const std::vector<uint8_t> bytes(data + 1, data + size);
    const uint8_t* p = bytes.data();
    const size_t n = bytes.size();
    using exchange::ExportFormat;

    const std::string raw = exchange::WriteHexExport(ExportFormat::Raw, p, n, style);
    Expect(raw == std::string(reinterpret_cast<const char*>(p), n), "raw");

    const std::string b64 = exchange::WriteHexExport(ExportFormat::Base64, p, n, style);
    std::vector<uint8_t> decoded(b64.size() + 1);
    Expect(text::DecodeBase64(b64, decoded.data(), int32_t(decoded.size())) == int32_t(n),
           "Base64 byte count");
    decoded.resize(n);
    Expect(decoded == bytes, "Base64 round trip");

    const std::string lines = exchange::WriteHexExport(ExportFormat::Text, p, n, style);
    Expect(ReadBack(lines, "", "", false) == bytes, "text round trip");
    const std::string c = exchange::WriteHexExport(ExportFormat::CSource, p, n, style);
    const size_t open = c.find("{\r\n");
    Expect(open != std::string::npos, "C array");
    Expect(ReadBack(c, c.substr(0, open + 3), "};\r\n", true) == bytes, "C round trip");
    const std::string html = exchange::WriteHexExport(ExportFormat::Html, p, n, style);
    const size_t pre = html.find("<pre><code>\r\n");
    Expect(pre != std::string::npos, "HTML block");
    Expect(ReadBack(html, html.substr(0, pre + 13), "\r\n</code></pre>\r\n</body>\r\n</html>\r\n",
                    false) == bytes,
           "HTML round trip");

    // The same bytes as shown text: a number shown in hex exports as its bytes.
    const std::string_view shown(reinterpret_cast<const char*>(p), n);
    const std::vector<std::string_view> items = Items(shown);
    const auto fromText = exchange::HexExportOfText(shown, ExportFormat::Text, style);
    Expect(fromText.has_value() == !items.empty(), "export of shown text");
    if (fromText)
        Expect(ReadBack(*fromText, "", "", false).size() == items.size(), "one byte per item");

    const std::string groups = exchange::WriteDigitGroups(shown);
    ExpectLines(groups, "digit group lines");
    Expect(Items(groups) == items, "digit groups lost or changed an item");
    return 0;
}
