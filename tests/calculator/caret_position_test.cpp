// The caret display's line and column for carets and selections.
#include "calculator/common/caret_edit/caret_position.h"

#include <gtest/gtest.h>

namespace {

TEST(CaretPosition, LineOfTheStartColumnToTheEnd) {
    struct Row {
        const char16_t* text;
        int start, end, line, column;
    } rows[] = {
        {u"", 0, 0, 1, 1},       {u"abc", 3, 3, 1, 4},
        {u"ab\ncd", 2, 2, 1, 3},                          // before the line break
        {u"ab\ncd", 3, 3, 2, 1},                          // first character of line 2
        {u"ab\ncd", 4, 4, 2, 2}, {u"ab\n\n", 4, 4, 3, 1}, // empty last line
        {u"ab\ncd", 1, 4, 1, 5}, // selection into line 2: column from line 1's start
        {u"ab\ncd", 4, 1, 1, 5}, // reversed selection
        {u"ab", -5, 99, 1, 3},   // clamped
    };
    for (const Row& r : rows) {
        calculator::CaretPosition p = calculator::CaretAt(r.text, r.start, r.end);
        EXPECT_EQ(p.line, r.line) << r.start << ".." << r.end;
        EXPECT_EQ(p.column, r.column) << r.start << ".." << r.end;
    }
}

} // namespace
