// The two private clipboard formats operand boxes read. Qt keys clipboard
// data by format name, so "registering" a format is naming it; a Windows
// build would register the names and keep the returned ids here instead.
#pragma once

#include <QString>

namespace platform {

enum class ClipboardFormat { HexData, HexBlock };

inline QString ClipboardFormatName(ClipboardFormat format) {
    return format == ClipboardFormat::HexData ? QStringLiteral("Kestrune HEX-Data")
                                              : QStringLiteral("Kestrune HEX-Block");
}

} // namespace platform
