// Ignore-ranges text to included ranges (a table in tests/data/tools), the
// reader's chunk layout and its two short-read rules, the hex field reader.
#include "tools/input_ranges.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::string Unescape(const std::string& s) {
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        bool space = s[i] == '\\' && i + 1 < s.size() && s[i + 1] == 's';
        out += space ? ' ' : s[i];
        i += space ? 1 : 0;
    }
    return out;
}

std::string Show(const std::vector<tools::ByteRange>& ranges) {
    if (ranges.empty())
        return "none";
    std::string s;
    for (const tools::ByteRange& r : ranges) {
        if (!s.empty())
            s += ' ';
        s += std::to_string(r.start);
        s += '-';
        s += std::to_string(r.end);
    }
    return s;
}

TEST(IncludedRanges, TableOfIgnoreTexts) {
    std::ifstream in(std::string(TEST_DATA_DIR) + "/tools/ignore_ranges.tsv");
    std::string line;
    int rows = 0;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#')
            continue;
        std::istringstream fields(line);
        std::string total, text, expected;
        std::getline(fields, total, '\t');
        std::getline(fields, text, '\t');
        std::getline(fields, expected, '\t');
        text = Unescape(text);
        EXPECT_EQ(Show(tools::BuildIncludedRanges(text, std::stoull(total))), expected)
            << "text '" << text << "' of " << total << " bytes";
        ++rows;
    }
    EXPECT_GE(rows, 20);
}

// A source that hands out fewer bytes than asked at chosen offsets.
class ScriptedSource : public tools::ByteSource {
public:
    explicit ScriptedSource(size_t size) : data_(size) {
        for (size_t i = 0; i < size; ++i)
            data_[i] = uint8_t(i * 7);
    }
    std::optional<size_t> ReadAt(uint64_t offset, uint8_t* buffer, size_t count) override {
        reads.push_back(offset);
        if (offset == failAt)
            return std::nullopt;
        if (offset == emptyAt && emptyAt != uint64_t(-1)) {
            emptyAt = uint64_t(-1); // once
            return 0;
        }
        size_t n = std::min<size_t>(count, data_.size() - offset);
        if (offset == shortAt)
            n = std::min<size_t>(n, 10);
        std::copy_n(data_.begin() + long(offset), n, buffer);
        return n;
    }
    std::vector<uint8_t> data_;
    std::vector<uint64_t> reads;
    uint64_t failAt = uint64_t(-1), shortAt = uint64_t(-1), emptyAt = uint64_t(-1);
};

TEST(RangeReader, ChunksNeverCrossARangeAndStopAt16KiB) {
    ScriptedSource source(40000);
    tools::RangeReader reader(source, tools::BuildIncludedRanges("100..199, 20000", 40000), 40000,
                              tools::RangeReader::ShortReads::Fail);
    std::vector<std::pair<uint64_t, size_t>> chunks;
    std::vector<uint8_t> seen;
    for (;;) {
        tools::RangeReader::Chunk c = reader.Next();
        if (c.status != c.Data) {
            EXPECT_EQ(c.status, c.Done);
            break;
        }
        chunks.emplace_back(c.offset, c.size);
        seen.insert(seen.end(), c.bytes, c.bytes + c.size);
    }
    std::vector<std::pair<uint64_t, size_t>> expected = {
        {0, 100}, {200, 16384}, {16584, 3416}, {20001, 16384}, {36385, 3615}};
    EXPECT_EQ(chunks, expected);
    EXPECT_EQ(reader.position(), 40000u);
    EXPECT_EQ(reader.delivered(), reader.includedSize());
    EXPECT_EQ(seen.size(), 40000u - 101);
    EXPECT_EQ(seen[100], source.data_[200]);
}

TEST(RangeReader, ShortReadsFailForChecksumAndHashButContinueForCrc) {
    ScriptedSource failing(1000);
    failing.shortAt = 0;
    tools::RangeReader strict(failing, {{0, 1000}}, 1000, tools::RangeReader::ShortReads::Fail);
    EXPECT_EQ(strict.Next().status, tools::RangeReader::Chunk::Failed);

    ScriptedSource lenient(1000);
    lenient.shortAt = 0;
    lenient.emptyAt = 10;
    tools::RangeReader crc(lenient, {{0, 1000}}, 1000, tools::RangeReader::ShortReads::Continue);
    tools::RangeReader::Chunk c = crc.Next();
    EXPECT_EQ(c.status, c.Data);
    EXPECT_EQ(c.size, 10u);
    EXPECT_EQ(crc.Next().status, c.Nothing) << "a read without bytes ends the step";
    c = crc.Next();
    EXPECT_EQ(c.status, c.Data) << "and the next step reads on";
    EXPECT_EQ(c.offset, 10u);
    EXPECT_EQ(c.size, 990u);

    ScriptedSource broken(1000);
    broken.failAt = 0;
    tools::RangeReader either(broken, {{0, 1000}}, 1000, tools::RangeReader::ShortReads::Continue);
    EXPECT_EQ(either.Next().status, tools::RangeReader::Chunk::Failed);
}

TEST(RangeReader, EverythingIgnoredDeliversNothing) {
    ScriptedSource source(10);
    tools::RangeReader reader(source, tools::BuildIncludedRanges("0..9", 10), 10,
                              tools::RangeReader::ShortReads::Fail);
    EXPECT_EQ(reader.includedSize(), 0u);
    EXPECT_EQ(reader.Next().status, tools::RangeReader::Chunk::Done);
    EXPECT_TRUE(source.reads.empty());
}

TEST(HexField, ReadsLikeTheParameterFields) {
    const struct {
        const char* text;
        uint32_t value;
    } rows[] = {
        {"", 0},
        {"  ff ", 0xff},
        {"0x1F", 0x1f},
        {"-1", 0xffffffff},
        {"+10", 0x10},
        {"12zz", 0x12},
        {"zz", 0},
        {"FFFFFFFF", 0xffffffff},
        {"100000000", 0xffffffff},
        {"-100000000", 0xffffffff},
        {"-0x2", 0xfffffffe},
        {"0x", 0},
    };
    for (const auto& r : rows)
        EXPECT_EQ(tools::ParseHexField(r.text), r.value) << "'" << r.text << "'";
}

} // namespace
