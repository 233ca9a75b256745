#include "cli/command_support.h"

#include "platform/files/read_only_file.h"
#include "resources/string_table.h"
#include "text/system_error.h"

#include <cerrno>
#include <chrono>

namespace cli {

std::optional<std::string_view> OptionValue(Args args, size_t& i, std::string_view name) {
    std::string_view arg = args[i];
    if (arg == name) {
        if (i + 1 >= args.size())
            throw UsageError(std::string(name) + " needs a value");
        return std::string_view(args[++i]);
    }
    if (arg.size() > name.size() && arg.starts_with(name) && arg[name.size()] == '=')
        return arg.substr(name.size() + 1);
    return std::nullopt;
}

std::string MessageText(int stringId) {
    if (stringId == -1)
        return std::string(kNoRangesOnStreams);
    const char* text = resources::LoadStringText(stringId);
    return text ? text : "The operand cannot be read.";
}

int UserError(int stringId, std::string_view where) {
    std::string text = MessageText(stringId);
    if (where.empty())
        std::fprintf(stderr, "%s\n", text.c_str());
    else
        std::fprintf(stderr, "%.*s: %s\n", int(where.size()), where.data(), text.c_str());
    return kExitUserError;
}

bool ReadAll(std::FILE* from, std::string& out) {
    char buf[65536];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, from)) > 0)
        out.append(buf, n);
    return !std::ferror(from);
}

int WriteOut(std::string_view text) {
    if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size() ||
        std::fflush(stdout) != 0) {
        std::fprintf(stderr, "%s\n", text::SystemErrorText(errno).c_str());
        return kExitUserError;
    }
    return kExitOk;
}

namespace {

int64_t NowMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

// Inputs from this size on get a progress line.
constexpr uint64_t kLargeInput = uint64_t(64) << 20;

} // namespace

Progress::Progress(std::string_view label, uint64_t total)
    : active_(total >= kLargeInput && platform::StderrIsTerminal()), label_(label), total_(total),
      lastMs_(NowMs()) {}

Progress::~Progress() {
    if (shown_) {
        std::fputs("\r\033[K", stderr);
        std::fflush(stderr);
    }
}

void Progress::Update(uint64_t done) {
    if (!active_)
        return;
    int64_t now = NowMs();
    if (now - lastMs_ < 250)
        return;
    lastMs_ = now;
    shown_ = true;
    std::fprintf(stderr, "\r%s: %3d%%", label_.c_str(), int(done * 100 / total_));
    std::fflush(stderr);
}

} // namespace cli
