#include "platform/registry/reg_text.h"

#include "text/char_classes.h"

#include <cstdio>
#include <vector>

namespace platform::registry::detail {
namespace {

constexpr std::string_view kHeader = "Windows Registry Editor Version 5.00";
constexpr std::string_view kOldHeader = "REGEDIT4";

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view TrimRight(std::string_view s) {
    while (!s.empty() && IsBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

std::string_view TrimLeft(std::string_view s) {
    while (!s.empty() && IsBlank(s.front()))
        s.remove_prefix(1);
    return s;
}

bool EqualsFolded(std::string_view a, std::string_view b) {
    return Fold(a) == Fold(b);
}

// ---- UTF-8 <-> UTF-16 with byte escapes -----------------------------------

// Length of the well-formed UTF-8 sequence at s[i], or 0 when it is not one.
size_t Utf8SequenceAt(std::string_view s, size_t i, uint32_t* cp) {
    const auto byte = [&](size_t k) { return static_cast<uint8_t>(s[k]); };
    uint8_t b0 = byte(i);
    if (b0 < 0x80) {
        *cp = b0;
        return 1;
    }
    size_t len;
    uint8_t lo = 0x80, hi = 0xBF; // allowed range of the second byte
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        len = 2;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        len = 3;
        if (b0 == 0xE0)
            lo = 0xA0; // no overlong forms
        if (b0 == 0xED)
            hi = 0x9F; // no encoded surrogates
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        len = 4;
        if (b0 == 0xF0)
            lo = 0x90;
        if (b0 == 0xF4)
            hi = 0x8F; // nothing above U+10FFFF
    } else {
        return 0;
    }
    if (i + len > s.size())
        return 0;
    if (byte(i + 1) < lo || byte(i + 1) > hi)
        return 0;
    uint32_t value = b0 & (0x7F >> len);
    for (size_t k = 1; k < len; ++k) {
        uint8_t b = byte(i + k);
        if ((b & 0xC0) != 0x80)
            return 0;
        value = (value << 6) | (b & 0x3F);
    }
    *cp = value;
    return len;
}

std::vector<uint16_t> ToUtf16(std::string_view s) {
    std::vector<uint16_t> units;
    for (size_t i = 0; i < s.size();) {
        uint32_t cp;
        size_t len = Utf8SequenceAt(s, i, &cp);
        if (len == 0) {
            units.push_back(static_cast<uint16_t>(0xDC00 + static_cast<uint8_t>(s[i])));
            ++i;
            continue;
        }
        if (cp >= 0x10000) {
            cp -= 0x10000;
            units.push_back(static_cast<uint16_t>(0xD800 + (cp >> 10)));
            units.push_back(static_cast<uint16_t>(0xDC00 + (cp & 0x3FF)));
        } else {
            units.push_back(static_cast<uint16_t>(cp));
        }
        i += len;
    }
    return units;
}

void AppendUtf8(std::string* out, uint32_t cp) {
    if (cp < 0x80) {
        out->push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out->push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out->push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out->push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out->push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out->push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out->push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out->push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out->push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out->push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

std::optional<std::string> FromUtf16(const std::vector<uint16_t>& units) {
    std::string out;
    for (size_t i = 0; i < units.size(); ++i) {
        uint16_t u = units[i];
        if (u == 0)
            return std::nullopt; // an inner NUL: not a single string
        if (u >= 0xD800 && u <= 0xDBFF) {
            if (i + 1 >= units.size() || units[i + 1] < 0xDC00 || units[i + 1] > 0xDFFF)
                return std::nullopt;
            uint32_t cp = 0x10000 + ((uint32_t(u) - 0xD800) << 10) + (units[i + 1] - 0xDC00);
            AppendUtf8(&out, cp);
            ++i;
        } else if (u >= 0xDC80 && u <= 0xDCFF) {
            out.push_back(static_cast<char>(u - 0xDC00)); // an escaped non-UTF-8 byte
        } else if (u >= 0xDC00 && u <= 0xDFFF) {
            return std::nullopt;
        } else {
            AppendUtf8(&out, u);
        }
    }
    return out;
}

// ---- writing ---------------------------------------------------------------

void AppendQuoted(std::string* out, std::string_view s) {
    out->push_back('"');
    for (char c : s) {
        if (c == '\\' || c == '"')
            out->push_back('\\');
        out->push_back(c);
    }
    out->push_back('"');
}

// hex(1):61,00,... wrapped with ",\" and a two-space indent the way the
// export tool wraps long lines.
void AppendHexString(std::string* out, size_t lineStart, std::string_view s) {
    std::vector<uint16_t> units = ToUtf16(s);
    units.push_back(0); // the terminator, as the notation stores it
    *out += "hex(1):";
    size_t column = out->size() - lineStart;
    static const char digits[] = "0123456789abcdef";
    size_t count = units.size() * 2;
    for (size_t i = 0; i < count; ++i) {
        uint16_t u = units[i / 2];
        uint8_t b = static_cast<uint8_t>(i % 2 == 0 ? u & 0xFF : u >> 8);
        out->push_back(digits[b >> 4]);
        out->push_back(digits[b & 0xF]);
        column += 2;
        if (i + 1 < count) {
            out->push_back(',');
            ++column;
            if (column > 76) {
                *out += "\\\n  ";
                column = 2;
            }
        }
    }
}

void AppendValues(std::string* out, const Key& key) {
    for (const auto& [folded, nv] : key.values) {
        size_t lineStart = out->size();
        if (nv.name.empty())
            out->push_back('@');
        else
            AppendQuoted(out, nv.name);
        out->push_back('=');
        if (const auto* text = std::get_if<std::string>(&nv.value)) {
            if (NeedsHexForm(*text))
                AppendHexString(out, lineStart, *text);
            else
                AppendQuoted(out, *text);
        } else {
            char buf[16];
            std::snprintf(buf, sizeof buf, "dword:%08x", std::get<uint32_t>(nv.value));
            *out += buf;
        }
        out->push_back('\n');
    }
}

void AppendKey(std::string* out, const std::string& path, const Key& key) {
    *out += '[' + path + "]\n";
    AppendValues(out, key);
    out->push_back('\n');
    for (const auto& [folded, sub] : key.subkeys)
        AppendKey(out, path + '\\' + sub->name, *sub);
}

// ---- reading ---------------------------------------------------------------

// Reads a quoted string starting at s[*pos] == '"'; leaves *pos after the
// closing quote. Only \\ and \" are escapes.
std::optional<std::string> ReadQuoted(std::string_view s, size_t* pos) {
    if (*pos >= s.size() || s[*pos] != '"')
        return std::nullopt;
    std::string out;
    for (size_t i = *pos + 1; i < s.size(); ++i) {
        char c = s[i];
        if (c == '"') {
            *pos = i + 1;
            return out;
        }
        if (c == '\0')
            return std::nullopt;
        if (c == '\\') {
            if (i + 1 >= s.size() || (s[i + 1] != '\\' && s[i + 1] != '"'))
                return std::nullopt;
            c = s[++i];
        }
        out.push_back(c);
    }
    return std::nullopt; // unterminated
}

std::optional<std::vector<uint8_t>> ReadHexBytes(std::string_view list) {
    std::vector<uint8_t> bytes;
    list = TrimRight(TrimLeft(list));
    if (list.empty())
        return bytes;
    while (true) {
        size_t comma = list.find(',');
        std::string_view item = TrimRight(TrimLeft(list.substr(0, comma)));
        if (item.size() != 2 || text::HexDigitValue(item[0]) < 0 ||
            text::HexDigitValue(item[1]) < 0)
            return std::nullopt;
        bytes.push_back(static_cast<uint8_t>(text::HexDigitValue(item[0]) * 16 +
                                             text::HexDigitValue(item[1])));
        if (comma == std::string_view::npos)
            return bytes;
        list.remove_prefix(comma + 1);
    }
}

std::optional<std::string> ReadHexString(std::string_view list) {
    auto bytes = ReadHexBytes(list);
    if (!bytes || bytes->size() % 2 != 0)
        return std::nullopt;
    std::vector<uint16_t> units;
    for (size_t i = 0; i < bytes->size(); i += 2)
        units.push_back(static_cast<uint16_t>((*bytes)[i] | ((*bytes)[i + 1] << 8)));
    while (!units.empty() && units.back() == 0)
        units.pop_back();
    return FromUtf16(units);
}

std::optional<uint32_t> ReadDword(std::string_view digits) {
    digits = TrimRight(digits);
    if (digits.empty() || digits.size() > 8)
        return std::nullopt;
    uint32_t v = 0;
    for (char c : digits) {
        int d = text::HexDigitValue(c);
        if (d < 0)
            return std::nullopt;
        v = (v << 4) | static_cast<uint32_t>(d);
    }
    return v;
}

class Parser {
public:
    Parser(Root root, std::string_view text) : root_(root) {
        if (text.substr(0, 3) == "\xEF\xBB\xBF")
            text.remove_prefix(3);
        size_t start = 0;
        while (start <= text.size()) {
            size_t nl = text.find('\n', start);
            std::string_view line =
                text.substr(start, nl == std::string_view::npos ? nl : nl - start);
            if (!line.empty() && line.back() == '\r')
                line.remove_suffix(1);
            lines_.push_back(line);
            if (nl == std::string_view::npos)
                break;
            start = nl + 1;
        }
    }

    std::optional<Key> Run() {
        size_t i = 0;
        while (i < lines_.size() && TrimRight(lines_[i]).empty())
            ++i;
        if (i == lines_.size())
            return std::nullopt;
        std::string_view header = TrimRight(lines_[i]);
        if (header != kHeader && header != kOldHeader)
            return std::nullopt;
        Key* current = nullptr;
        for (++i; i < lines_.size(); ++i) {
            std::string_view line = TrimLeft(lines_[i]);
            if (TrimRight(line).empty() || line.front() == ';')
                continue;
            if (line.front() == '[') {
                current = Section(TrimRight(line));
            } else if (line.front() == '@' || line.front() == '"') {
                if (current == nullptr || !ValueLine(current, &i))
                    return std::nullopt;
            } else {
                return std::nullopt;
            }
            if (current == nullptr)
                return std::nullopt;
        }
        return std::move(tree_);
    }

private:
    Key* Section(std::string_view line) {
        if (line.size() < 2 || line.back() != ']')
            return nullptr;
        std::string_view path = line.substr(1, line.size() - 2);
        size_t sep = path.find('\\');
        if (!EqualsFolded(path.substr(0, sep), RootName(root_)))
            return nullptr; // also rejects "[-...]", a deletion, which a store never holds
        Key* key = &tree_;
        size_t depth = 0;
        while (sep != std::string_view::npos) {
            path.remove_prefix(sep + 1);
            sep = path.find('\\');
            std::string_view name = path.substr(0, sep);
            if (!ValidKeyName(name) || ++depth > kMaxDepth)
                return nullptr;
            auto& slot = key->subkeys[Fold(name)];
            if (!slot) {
                slot = std::make_unique<Key>();
                slot->name = std::string(name);
            }
            key = slot.get();
        }
        return key;
    }

    // One value, possibly continued over several lines (hex forms only).
    bool ValueLine(Key* key, size_t* index) {
        std::string_view line = TrimLeft(lines_[*index]);
        std::string name;
        size_t pos = 0;
        if (line.front() == '@') {
            pos = 1;
        } else {
            auto quoted = ReadQuoted(line, &pos);
            if (!quoted || quoted->empty() || !ValidValueName(*quoted))
                return false;
            name = std::move(*quoted);
        }
        if (pos >= line.size() || line[pos] != '=')
            return false;
        std::string_view data = line.substr(pos + 1);

        Value value;
        if (data.substr(0, 1) == "\"") {
            size_t end = 0;
            auto text = ReadQuoted(data, &end);
            if (!text || !TrimRight(data.substr(end)).empty())
                return false;
            value = std::move(*text);
        } else if (data.substr(0, 6) == "dword:") {
            auto v = ReadDword(data.substr(6));
            if (!v)
                return false;
            value = *v;
        } else if (data.substr(0, 7) == "hex(1):") {
            std::string list(TrimRight(data.substr(7)));
            while (!list.empty() && list.back() == '\\') {
                list.pop_back();
                if (++*index >= lines_.size())
                    return false;
                list += TrimRight(TrimLeft(lines_[*index]));
            }
            auto text = ReadHexString(list);
            if (!text)
                return false;
            value = std::move(*text);
        } else {
            return false; // other types, and "=-" deletions, are not ours
        }
        std::string folded = Fold(name);
        auto it = key->values.find(folded);
        if (it == key->values.end())
            key->values.emplace(folded, NamedValue{std::move(name), std::move(value)});
        else
            it->second.value = std::move(value);
        return true;
    }

    Root root_;
    std::vector<std::string_view> lines_;
    Key tree_;
};

} // namespace

std::string Fold(std::string_view name) {
    std::string out(name);
    for (char& c : out)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return out;
}

bool ValidKeyName(std::string_view name) {
    return !name.empty() && name.find_first_of(std::string_view("\\\r\n\0", 4)) == name.npos;
}

bool ValidValueName(std::string_view name) {
    return name.find_first_of(std::string_view("\r\n\0", 3)) == name.npos;
}

bool ValidString(std::string_view text) {
    return text.find('\0') == text.npos;
}

const char* RootName(Root root) {
    return root == Root::CurrentUser ? "HKEY_CURRENT_USER" : "HKEY_CLASSES_ROOT";
}

bool NeedsHexForm(std::string_view text) {
    return text.find_first_of("\r\n") != text.npos;
}

std::string Serialize(Root root, const Key& tree) {
    std::string out(kHeader);
    out += "\n\n";
    const std::string rootPath = RootName(root);
    // The root's own section only when it carries values: an empty
    // "[HKEY_CURRENT_USER]" says nothing.
    if (!tree.values.empty()) {
        out += '[' + rootPath + "]\n";
        AppendValues(&out, tree);
        out.push_back('\n');
    }
    for (const auto& [folded, sub] : tree.subkeys)
        AppendKey(&out, rootPath + '\\' + sub->name, *sub);
    return out;
}

std::optional<Key> Parse(Root root, std::string_view text) {
    return Parser(root, text).Run();
}

} // namespace platform::registry::detail
