#include "tools/progress_text.h"

#include <cstdio>

namespace tools {

std::string LeftTimeText(int upper, int position, int64_t elapsedMs) {
    if (position <= 0 || elapsedMs <= 0)
        return {};
    const double seconds =
        double(upper - position) * double(elapsedMs) / (double(position) * 1000.0);
    const int64_t s = int64_t(seconds);
    const int64_t h = s / 3600;
    const int64_t m = (s / 60) % 60;
    const int64_t r = s % 60;
    char text[64];
    if (h > 0)
        std::snprintf(text, sizeof text, "Left %lld hours %lld minutes", (long long)h,
                      (long long)m);
    else if (m > 0)
        std::snprintf(text, sizeof text, "Left %lld minutes %lld seconds", (long long)m,
                      (long long)r);
    else
        std::snprintf(text, sizeof text, "Left %lld seconds", (long long)r);
    return text;
}

} // namespace tools
