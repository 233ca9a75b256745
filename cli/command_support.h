// What the data commands of ordovane-cli share: usage errors and help
// requests that main reports, option values, messages by string id, output,
// and files read at full speed (64-bit offsets, large reads, a progress line
// on a terminal).
#pragma once

#include "tools/file_source.h"
#include "tools/input_ranges.h"

#include <cstdint>
#include <cstdio>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>

namespace cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitUserError = 1;
inline constexpr int kExitUsage = 2;

using Args = std::span<char* const>;

// Thrown for bad usage; main reports it with the usage text and exit code 2.
struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Help was asked for inside a command's arguments.
struct HelpRequest {};

// The value of option `name` given as "--name VALUE" or "--name=VALUE" at
// args[i] (advancing i past a separate value); nullopt when args[i] is not
// it. A missing value throws UsageError.
std::optional<std::string_view> OptionValue(Args args, size_t& i, std::string_view name);

// The text of a string id ("The operand cannot be read." when missing).
std::string MessageText(int stringId);

// Prints the message of a string id on stderr, after "where: " when where is
// not empty, and returns kExitUserError. Id -1 prints kNoRangesOnStreams.
int UserError(int stringId, std::string_view where = {});

// Reads all of a stream; false on a read error.
bool ReadAll(std::FILE* from, std::string& out);

// Writes text to stdout and flushes; a failure (full disk, closed pipe) is
// reported on stderr and gives kExitUserError.
int WriteOut(std::string_view text);

// The chunk size of the command line's reads: large, and a multiple of 8 so
// that chunks end only at range ends, as the dialogs' 16384-byte chunks do.
inline constexpr size_t kCliChunkSize = size_t(1) << 20;

using tools::FileSource;

// A progress line on stderr while a large input is read, only when stderr is
// a terminal; at most four updates a second, erased when done.
class Progress {
public:
    Progress(std::string_view label, uint64_t total);
    ~Progress();
    void Update(uint64_t done);

private:
    bool shown_ = false;
    bool active_ = false;
    std::string label_;
    uint64_t total_ = 0;
    int64_t lastMs_ = 0;
};

// The command line's own message for ignore ranges on a stream.
inline constexpr std::string_view kNoRangesOnStreams =
    "Ignore ranges need a regular file; this input can only be read through.";

// Feeds every included byte of one input to consume(bytes, size, rangeEnd),
// with a progress line. A stream (not a regular file) is read through whole
// as one range in full chunks; ignore text on a stream is refused. Returns 0,
// or a string id: kMsgNoValidData when no byte is included,
// kMsgInternalError when a read fails (or, under the CRC's rule, the file
// ends before its size); -1 for ignore text on a stream.
template <class Consume>
int ReadRanges(FileSource& file, std::string_view ignoreText, tools::RangeReader::ShortReads rule,
               std::string_view label, Consume&& consume) {
    if (!file.regular()) {
        if (!ignoreText.empty())
            return -1;
        std::vector<uint8_t> buffer(kCliChunkSize);
        uint64_t total = 0;
        for (;;) {
            std::optional<size_t> n = file.ReadNext(buffer.data(), buffer.size());
            if (!n)
                return tools::kMsgInternalError;
            if (*n != 0)
                consume(buffer.data(), *n, *n < buffer.size());
            total += *n;
            if (*n < buffer.size())
                return total == 0 ? tools::kMsgNoValidData : 0;
        }
    }
    tools::RangeReader reader(file, tools::BuildIncludedRanges(ignoreText, file.size()),
                              file.size(), rule, kCliChunkSize);
    if (reader.includedSize() == 0)
        return tools::kMsgNoValidData;
    Progress progress(label, reader.includedSize());
    for (;;) {
        tools::RangeReader::Chunk c = reader.Next();
        if (c.status == c.Done)
            return 0;
        // A read without bytes means the file shrank: the dialog would wait for
        // more at every tick; a command line cannot, so it is an error here.
        if (c.status != c.Data)
            return tools::kMsgInternalError;
        consume(c.bytes, c.size, c.rangeEnd);
        progress.Update(reader.delivered());
    }
}

// Feeds all of standard input to consume(bytes, size); false on a read error.
template <class Consume> bool ReadStdin(Consume&& consume) {
    std::string buffer(kCliChunkSize, '\0');
    for (;;) {
        size_t n = std::fread(buffer.data(), 1, buffer.size(), stdin);
        if (n > 0)
            consume(reinterpret_cast<const uint8_t*>(buffer.data()), n);
        if (n < buffer.size())
            return !std::ferror(stdin);
    }
}

} // namespace cli
