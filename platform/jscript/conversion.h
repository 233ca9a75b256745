// Values crossing between script and automation objects.
#pragma once

#include "platform/com/interfaces.h"

#include <QJSValue>
#include <QString>

class QJSEngine;

namespace platform::jscript {

// A string becomes VT_BSTR, an integer-valued number in the 32-bit range
// VT_I4, any other number VT_R8, a boolean VT_BOOL, undefined and null
// VT_EMPTY; anything else goes as its string form. dest must be cleared.
com::HRESULT JsToVariant(const QJSValue& value, com::VARIANT* dest);
// The reverse; a null BSTR reads as "", VT_NULL as null, and types a script
// cannot hold (interfaces, error markers) as undefined.
QJSValue VariantToJs(QJSEngine* engine, const com::VARIANT& value);

QString FromBstr(com::BSTR text);
// Null when memory runs out.
com::BSTR ToBstr(const QString& text);

} // namespace platform::jscript
