// A random source for tests: replays the given values, then repeats the last.
#pragma once

#include <algorithm>
#include <functional>
#include <memory>
#include <vector>

inline std::function<int()> Scripted(std::vector<int> values) {
    auto pos = std::make_shared<size_t>(0);
    return [values = std::move(values), pos] {
        const size_t i = std::min(*pos, values.size() - 1);
        ++*pos;
        return values[i];
    };
}
