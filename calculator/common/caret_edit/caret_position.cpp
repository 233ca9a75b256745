#include "calculator/common/caret_edit/caret_position.h"

#include <algorithm>

namespace calculator {

CaretPosition CaretAt(std::u16string_view text, int selStart, int selEnd) {
    const int size = static_cast<int>(text.size());
    selStart = std::clamp(selStart, 0, size);
    selEnd = std::clamp(selEnd, 0, size);
    if (selEnd < selStart)
        std::swap(selStart, selEnd);
    int line = 0;
    int lineStart = 0;
    for (int i = 0; i < selStart; ++i) {
        if (text[static_cast<size_t>(i)] == u'\n') {
            ++line;
            lineStart = i + 1;
        }
    }
    return {line + 1, selEnd - lineStart + 1};
}

} // namespace calculator
