#include "platform/qt/string_text.h"

#include "resources/string_table.h"

namespace platform {

QString StringText(int id) {
    const char* text = resources::LoadStringText(id);
    return text ? QString::fromUtf8(text) : QString();
}

} // namespace platform
