#include "calculator/common/field_check.h"

#include "platform/qt/message_box.h"

#include <QLineEdit>

namespace calculator {

std::optional<int> ReadIntegerField(QWidget* dialog, QLineEdit* field, int min, int max) {
    bool isNumber = false;
    const qlonglong value = field->text().trimmed().toLongLong(&isNumber);
    if (!isNumber || value < min || value > max) {
        platform::messageBox(
            dialog, QStringLiteral("Please enter an integer between %1 and %2.").arg(min).arg(max),
            platform::MsgButtons::Ok, platform::MsgIcon::Warning);
        field->setFocus();
        field->selectAll();
        return std::nullopt;
    }
    return static_cast<int>(value);
}

} // namespace calculator
