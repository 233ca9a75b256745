// Where the caret of a multi-line text stands, as line and column numbers
// for the small read-only fields beside an editor (the script console and
// the Number Formatter show them). No Qt.
#pragma once

#include <string_view>

namespace calculator {

struct CaretPosition {
    int line = 0;   // 1-based line of the caret (the selection's start)
    int column = 0; // 1-based: selection end minus the start of that line, plus 1
};

// text: the editor's text with lines separated by '\n'; selStart and selEnd:
// character offsets of the selection (equal when nothing is selected),
// clamped to the text. The column counts from the line of selStart to
// selEnd, so a selection reaching into later lines gives a column beyond
// that line's end, as the edit controls this display follows do.
//   CaretAt("ab\ncd", 4, 4) == {2, 2}
CaretPosition CaretAt(std::u16string_view text, int selStart, int selEnd);

} // namespace calculator
