// The progress dialog's time-left text, from the share done and the time
// passed, without a window.
#pragma once

#include <cstdint>
#include <string>

namespace tools {

// The text for position of upper after elapsedMs milliseconds: empty before
// any progress or time; else the remaining seconds s = (upper - position) *
// elapsed / (position * 1000), truncated, as "Left %i hours %i minutes",
// "Left %i minutes %i seconds" or "Left %i seconds", the largest unit first.
// LeftTimeText(4096, 1024, 1000) == "Left 3 seconds".
std::string LeftTimeText(int upper, int position, int64_t elapsedMs);

} // namespace tools
