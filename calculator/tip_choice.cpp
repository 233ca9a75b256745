#include "calculator/tip_choice.h"

#include <algorithm>
#include <cstdlib>

namespace calculator {

TipChooser::TipChooser(int count, std::function<int()> random)
    : shown_(static_cast<size_t>(std::max(count, 0)), false), random_(std::move(random)) {
    if (!random_)
        random_ = [] { return std::rand(); };
}

bool TipChooser::shown(int index) const {
    return index >= 0 && index < count() && shown_[static_cast<size_t>(index)];
}

int TipChooser::shownCount() const {
    return static_cast<int>(std::count(shown_.begin(), shown_.end(), true));
}

int TipChooser::Next() {
    const int n = count();
    if (n <= 0)
        return -1;
    // An injected source might return negative values; keep the index in range.
    int start = random_() % n;
    if (start < 0)
        start += n;

    if (shownCount() == n)
        std::fill(shown_.begin(), shown_.end(), false);

    int found = -1;
    for (int i = start; i < n && found < 0; ++i) {
        if (!shown_[static_cast<size_t>(i)])
            found = i;
    }
    for (int i = start - 1; i >= 0 && found < 0; --i) {
        if (!shown_[static_cast<size_t>(i)])
            found = i;
    }
    // The reset above guarantees an unshown tip exists.
    shown_[static_cast<size_t>(found)] = true;
    return found;
}

} // namespace calculator
