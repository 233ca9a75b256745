#include "calculator/common/hex_edit_logic.h"

#include "mpa/calculator_ops.h"
#include "text/char_classes.h"
#include "text/hex_text.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <new>
#include <utility>
#include <vector>

namespace calculator {

using text::NumberSystem;

namespace {

EditResult Fail(int message) {
    return {EditResult::Failed, {}, message};
}

EditResult Rewrite(std::string text) {
    return {EditResult::Rewritten, std::move(text), 0};
}

int BeyondRadixMessage(NumberSystem system) {
    switch (system) {
    case text::Decimal:
        return text::kMsgInvalidDecimal;
    case text::Octal:
        return text::kMsgInvalidOctal;
    case text::Binary:
        return text::kMsgInvalidBinary;
    default:
        return 0;
    }
}

// Digits that are hexadecimal but not digits of the system's radix.
std::string_view BeyondRadix(NumberSystem system) {
    switch (system) {
    case text::Decimal:
        return "abcdefABCDEF";
    case text::Octal:
        return "89abcdefABCDEF";
    case text::Binary:
        return "23456789abcdefABCDEF";
    default:
        return "";
    }
}

// Reverses each run of unit tokens and writes every token followed by a space.
std::string SwapTokens(std::string_view hex, int unit) {
    std::vector<std::string_view> tokens;
    text::ForEachToken(hex, [&](std::string_view token) {
        tokens.push_back(token);
        return true;
    });
    const size_t group = unit == 1 ? tokens.size() : static_cast<size_t>(unit);
    for (size_t at = 0; at < tokens.size(); at += group) {
        auto first = tokens.begin() + static_cast<std::ptrdiff_t>(at);
        std::reverse(first,
                     first + static_cast<std::ptrdiff_t>(std::min(group, tokens.size() - at)));
    }
    std::string swapped;
    swapped.reserve(hex.size() + 1);
    for (std::string_view token : tokens) {
        swapped.append(token);
        swapped += ' ';
    }
    return swapped;
}

} // namespace

EditResult ChangeNumberSystem(std::string_view text, NumberSystem from, NumberSystem to,
                              bool upperCase) {
    if (!text::IsNumberSystem(from) || !text::IsNumberSystem(to))
        return Fail(0);
    if (from == to)
        return {};
    std::string list;
    text::HexListResult read = text::ToHexList(from, text, list);
    if (read.count < 0)
        return Fail(read.message);
    if (read.count == 0)
        return {};
    std::string shown;
    if (text::FromHexList(to, list, upperCase, shown) < 0)
        return Fail(text::kMsgOutOfMemory);
    return Rewrite(std::move(shown));
}

EditResult FormatText(std::string_view text, NumberSystem system, bool upperCase) try {
    if (!text::IsNumberSystem(system))
        return Fail(0);
    text = text::TrimLeft(text);
    if (text::CountHexTokens(text, false) <= 0)
        return Fail(text::kMsgInvalidInput);
    std::string formatted;
    if (system == text::Hexadecimal) {
        text::NormalizeHexText(text, formatted);
        return Rewrite(text::ApplyLetterCase(formatted, upperCase));
    }
    if (text::FindOneOf(text, BeyondRadix(system), 0) >= 0)
        return Fail(BeyondRadixMessage(system));
    if (text::GroupDigits(system, text, formatted) < 0)
        return Fail(text::kMsgOutOfMemory);
    return Rewrite(std::move(formatted));
} catch (const std::bad_alloc&) {
    return Fail(text::kMsgOutOfMemory);
}

EditResult SwapByteOrder(std::string_view text, NumberSystem system, int unit, bool upperCase) try {
    if (!text::IsNumberSystem(system))
        return Fail(0);
    if (unit <= 0)
        return {};
    if (system != text::Hexadecimal) {
        std::string list;
        text::HexListResult read = text::ToHexList(system, text, list);
        if (read.count < 0)
            return Fail(read.message);
        if (read.count == 0)
            return {};
        std::string shown;
        if (text::FromHexList(system, SwapTokens(list, unit), upperCase, shown) < 0)
            return Fail(text::kMsgOutOfMemory);
        return Rewrite(std::move(shown));
    }
    text = text::Trim(text);
    if (text.empty())
        return {};
    std::string normalized;
    if (text::CountHexTokens(text, true) < 0) {
        if (text::CountHexTokens(text, false) < 0)
            return Fail(text::kMsgInvalidInput);
        text::NormalizeHexText(text, normalized);
        text = normalized;
    }
    return Rewrite(text::ApplyLetterCase(SwapTokens(text, unit), upperCase));
} catch (const std::bad_alloc&) {
    return Fail(text::kMsgOutOfMemory);
}

EditResult HexListToBoxText(std::string_view list, NumberSystem system, bool upperCase) try {
    if (!text::IsNumberSystem(system))
        return Fail(0);
    if (system == text::Hexadecimal)
        return Rewrite(text::ApplyLetterCase(list, upperCase));
    std::string normalized;
    if (text::NormalizeHexText(list, normalized) <= 0)
        return Fail(kMsgInvalidHexData);
    std::string shown;
    if (text::FromHexList(system, normalized, upperCase, shown) < 0)
        return Fail(text::kMsgOutOfMemory);
    return Rewrite(std::move(shown));
} catch (const std::bad_alloc&) {
    return Fail(text::kMsgOutOfMemory);
}

EditResult PlainTextToHexInsert(std::string_view plain, NumberSystem system, bool upperCase,
                                size_t limit) try {
    // An empty clipboard text is nothing to paste; inserting it would only
    // delete the selection.
    if (plain.empty())
        return Fail(kMsgInvalidHexData);
    std::string list;
    if (text::CountHexTokens(plain, false) >= 0) {
        list.assign(plain);
        std::replace_if(
            list.begin(), list.end(), [](char c) { return c == '\t' || c == '\r' || c == '\n'; },
            ' ');
    } else {
        if (plain.size() > limit || plain.size() > INT32_MAX)
            return Fail(kMsgInvalidHexData);
        if (text::FormatHexBytes(reinterpret_cast<const uint8_t*>(plain.data()),
                                 static_cast<int32_t>(plain.size()), list) < 0)
            return Fail(kMsgInvalidHexData);
    }
    return HexListToBoxText(list, system, upperCase);
} catch (const std::bad_alloc&) {
    return Fail(text::kMsgOutOfMemory);
}

namespace {

uint32_t ReadLittleEndian32(std::string_view blob, size_t at) {
    auto byte = [&](size_t i) { return static_cast<uint32_t>(static_cast<uint8_t>(blob[i])); };
    return byte(at) | byte(at + 1) << 8 | byte(at + 2) << 16 | byte(at + 3) << 24;
}

std::optional<std::string> CountedBytes(std::string_view blob, size_t header, uint64_t n,
                                        int limit) {
    if (n == 0 || limit < 0 || n > static_cast<uint64_t>(limit) || n > blob.size() - header)
        return std::nullopt;
    return std::string(blob.substr(header, static_cast<size_t>(n)));
}

} // namespace

std::optional<std::string> HexDataBytes(std::string_view blob, int limit) {
    if (blob.size() < 4)
        return std::nullopt;
    return CountedBytes(blob, 4, ReadLittleEndian32(blob, 0), limit);
}

std::optional<std::string> HexBlockBytes(std::string_view blob, int limit) {
    if (blob.size() < 8)
        return std::nullopt;
    return CountedBytes(blob, 8,
                        uint64_t{ReadLittleEndian32(blob, 0)} * ReadLittleEndian32(blob, 4), limit);
}

EditResult SearchPrimeList(const std::string& list, bool next, int rounds) try {
    const int32_t count = text::CountHexTokens(list, true);
    if (count <= 0)
        return {EditResult::Failed, {}, text::kMsgInvalidInput};
    // A next prime may be one byte wider than the operand (FF -> 01 01).
    std::vector<uint8_t> operand(static_cast<size_t>(count) + 8);
    std::vector<uint8_t> prime(static_cast<size_t>(count) + 8);
    const int32_t length =
        text::ParseHexBytes(list, operand.data(), static_cast<int32_t>(operand.size()));
    if (length <= 0)
        return {EditResult::Failed, {}, text::kMsgInvalidInput};
    const int32_t found = next ? mpa::NextPrime(operand.data(), length, prime.data(),
                                                static_cast<int32_t>(prime.size()), rounds)
                               : mpa::PrevPrime(operand.data(), length, prime.data(),
                                                static_cast<int32_t>(prime.size()), rounds);
    std::string result;
    if (found <= 0 || text::FormatHexBytes(prime.data(), found, result) <= 0)
        return {};
    return {EditResult::Rewritten, std::move(result), 0};
} catch (const std::bad_alloc&) {
    return {EditResult::Failed, {}, text::kMsgOutOfMemory};
}

} // namespace calculator
