// The dialogs' integer field check: a field that must hold an integer in a
// range, read when the dialog takes its controls' values.
#pragma once

#include <optional>

class QLineEdit;
class QWidget;

namespace calculator {

// The field's value, or nothing after the check's message ("Please enter an
// integer between MIN and MAX.") with the focus and selection back in the
// field, when the trimmed text is not an integer in min..max.
std::optional<int> ReadIntegerField(QWidget* dialog, QLineEdit* field, int min, int max);

} // namespace calculator
