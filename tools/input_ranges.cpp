#include "tools/input_ranges.h"

#include "text/hex_text.h"
#include "text/integer_literal.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace tools {
namespace {

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && IsSpace(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && IsSpace(s.back()))
        s.remove_suffix(1);
    return s;
}

std::optional<int64_t> Offset(std::string_view text) {
    return text::ParseIntegerLiteral(Trim(text), text::Decimal);
}

// One item as an ignore range, or nothing when the item is skipped.
std::optional<ByteRange> IgnoreRange(std::string_view item, uint64_t totalSize) {
    if (item.starts_with(".."))
        return std::nullopt;
    size_t dots = item.find("..");
    if (dots == std::string_view::npos) {
        std::optional<int64_t> n = Offset(item);
        if (!n || *n < 0 || uint64_t(*n) >= totalSize)
            return std::nullopt;
        return ByteRange{uint64_t(*n), uint64_t(*n) + 1};
    }
    std::optional<int64_t> a = Offset(item.substr(0, dots));
    if (!a)
        return std::nullopt;
    uint64_t start = *a < 0 ? 0 : uint64_t(*a);
    if (start >= totalSize)
        return std::nullopt;
    std::optional<int64_t> b = Offset(item.substr(dots + 2));
    if (!b || *b < 0)
        return std::nullopt;
    // b is inclusive; max(a, b) + 1 cannot wrap since b < 2^63.
    uint64_t end = std::min(std::max(start, uint64_t(*b)) + 1, totalSize);
    return ByteRange{start, end};
}

} // namespace

std::vector<ByteRange> BuildIncludedRanges(std::string_view ignoreText, uint64_t totalSize) {
    std::vector<ByteRange> ignored;
    size_t pos = 0;
    while (pos < ignoreText.size()) {
        // An item ends at the next comma; only when none follows does a
        // semicolon end it ("1;2,3" is the items "1;2" and "3").
        size_t end = ignoreText.find(',', pos);
        if (end == std::string_view::npos)
            end = ignoreText.find(';', pos);
        if (end == std::string_view::npos)
            end = ignoreText.size();
        std::string_view item = Trim(ignoreText.substr(pos, end - pos));
        if (!item.empty())
            if (std::optional<ByteRange> r = IgnoreRange(item, totalSize))
                ignored.push_back(*r);
        pos = end + 1;
    }

    // Stable, so among equal starts the one entered first comes first.
    std::stable_sort(ignored.begin(), ignored.end(),
                     [](const ByteRange& x, const ByteRange& y) { return x.start < y.start; });
    std::vector<ByteRange> merged;
    for (const ByteRange& r : ignored) {
        if (!merged.empty() && merged.back().end >= r.start)
            merged.back().end = std::max(merged.back().end, r.end);
        else
            merged.push_back(r);
    }

    std::vector<ByteRange> included;
    uint64_t from = 0;
    for (const ByteRange& r : merged) {
        if (r.start > from)
            included.push_back({from, r.start});
        from = r.end;
    }
    if (from < totalSize)
        included.push_back({from, totalSize});
    return included;
}

uint32_t ParseHexField(std::string_view text) {
    std::string_view s = Trim(text);
    bool negative = false;
    if (!s.empty() && (s[0] == '+' || s[0] == '-')) {
        negative = s[0] == '-';
        s.remove_prefix(1);
    }
    if (s.size() >= 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X'))
        s.remove_prefix(2);
    uint64_t value = 0;
    bool overflow = false;
    for (char c : s) {
        int d = c >= '0' && c <= '9'   ? c - '0'
                : c >= 'a' && c <= 'f' ? c - 'a' + 10
                : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                       : -1;
        if (d < 0)
            break;
        value = value * 16 + uint64_t(d);
        if (value > 0xffffffffu) {
            overflow = true;
            value = 0xffffffffu; // keep reading digits; the result stays saturated
        }
    }
    if (overflow)
        return 0xffffffffu;
    uint32_t v = uint32_t(value);
    return negative ? uint32_t(0u - v) : v;
}

std::optional<std::vector<uint8_t>> ReadHexMessage(std::string_view text) {
    if (text::CountHexTokens(text, false) <= 0)
        return std::nullopt;
    std::string list;
    text::NormalizeHexText(text, list);
    int32_t count = text::CountHexTokens(list, true);
    if (count <= 0)
        return std::nullopt;
    std::vector<uint8_t> bytes(static_cast<size_t>(count));
    bytes.resize(size_t(text::ParseHexBytes(list, bytes.data(), count)));
    return bytes;
}

std::optional<size_t> MemorySource::ReadAt(uint64_t offset, uint8_t* buffer, size_t count) {
    if (offset > size_)
        return std::nullopt;
    size_t n = std::min<uint64_t>(count, size_ - offset);
    if (n != 0)
        std::memcpy(buffer, data_ + offset, n);
    return n;
}

RangeReader::RangeReader(ByteSource& source, std::vector<ByteRange> ranges, uint64_t totalSize,
                         ShortReads shortReads, size_t chunkLimit)
    : source_(source), ranges_(std::move(ranges)), totalSize_(totalSize), shortReads_(shortReads),
      buffer_(std::max<size_t>(chunkLimit, 1)) {
    for (const ByteRange& r : ranges_)
        includedSize_ += r.end - r.start;
    position_ = ranges_.empty() ? totalSize_ : ranges_[0].start;
}

RangeReader::Chunk RangeReader::Next() {
    Chunk chunk;
    // Step 1: at the end of the current range move to the next one; after
    // the last, the position becomes the total size (the data is complete).
    while (rangeIndex_ < ranges_.size() && position_ >= ranges_[rangeIndex_].end) {
        ++rangeIndex_;
        position_ = rangeIndex_ < ranges_.size() ? ranges_[rangeIndex_].start : totalSize_;
    }
    if (rangeIndex_ >= ranges_.size()) {
        position_ = totalSize_;
        chunk.status = Chunk::Done;
        return chunk;
    }
    const ByteRange& range = ranges_[rangeIndex_];
    size_t want = size_t(std::min<uint64_t>(buffer_.size(), range.end - position_));
    std::optional<size_t> got = source_.ReadAt(position_, buffer_.data(), want);
    if (!got || (shortReads_ == ShortReads::Fail && *got != want)) {
        chunk.status = Chunk::Failed;
        return chunk;
    }
    if (*got == 0) {
        chunk.status = Chunk::Nothing;
        return chunk;
    }
    chunk.status = Chunk::Data;
    chunk.bytes = buffer_.data();
    chunk.size = *got;
    chunk.offset = position_;
    position_ += *got;
    delivered_ += *got;
    chunk.rangeEnd = position_ == range.end;
    return chunk;
}

} // namespace tools
