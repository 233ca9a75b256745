// Which tip the Tip of the Day shows next: a random pick among n tips that
// never repeats a tip until every one has been shown, then starts over.
#pragma once

#include <functional>
#include <vector>

namespace calculator {

class TipChooser {
public:
    // random returns non-negative rand()-like values; an empty function
    // means std::rand (the program seeds it when input first arrives).
    explicit TipChooser(int count, std::function<int()> random = {});

    // The index (0 .. count-1) of the tip to show now, marked as shown.
    // The pick is random % count; from there the first unshown tip is
    // searched towards the end, then back towards the first. When every tip
    // has been shown, all become unshown before the search. -1 when count
    // is 0 or less.
    int Next();

    int count() const { return static_cast<int>(shown_.size()); }
    bool shown(int index) const;
    int shownCount() const;

private:
    std::vector<bool> shown_;
    std::function<int()> random_;
};

} // namespace calculator
