#include "platform/jscript/conversion.h"

#include "platform/com/bstr.h"

#include <QJSEngine>

#include <cmath>

namespace platform::jscript {

using namespace platform::com;

QString FromBstr(BSTR text) {
    if (!text)
        return {};
    return QString(reinterpret_cast<const QChar*>(text),
                   static_cast<qsizetype>(SysStringLen(text)));
}

BSTR ToBstr(const QString& text) {
    return SysAllocStringLen(reinterpret_cast<LPCOLESTR>(text.utf16()),
                             static_cast<UINT>(text.size()));
}

HRESULT JsToVariant(const QJSValue& value, VARIANT* dest) {
    VariantInit(dest);
    if (value.isUndefined() || value.isNull())
        return S_OK;
    if (value.isBool()) {
        dest->vt = VT_BOOL;
        dest->boolVal = value.toBool() ? VARIANT_TRUE : VARIANT_FALSE;
        return S_OK;
    }
    if (value.isNumber()) {
        double d = value.toNumber();
        if (std::isfinite(d) && d == std::trunc(d) && d >= -2147483648.0 && d <= 2147483647.0) {
            dest->vt = VT_I4;
            dest->lVal = static_cast<LONG>(d);
        } else {
            dest->vt = VT_R8;
            dest->dblVal = d;
        }
        return S_OK;
    }
    BSTR text = ToBstr(value.toString());
    if (!text)
        return E_OUTOFMEMORY;
    dest->vt = VT_BSTR;
    dest->bstrVal = text;
    return S_OK;
}

QJSValue VariantToJs(QJSEngine* engine, const VARIANT& value) {
    (void)engine;
    switch (value.vt) {
    case VT_BSTR:
        return QJSValue(FromBstr(value.bstrVal));
    case VT_I4:
    case VT_INT:
        return QJSValue(static_cast<int>(value.lVal));
    case VT_R8:
        return QJSValue(value.dblVal);
    case VT_BOOL:
        return QJSValue(value.boolVal != VARIANT_FALSE);
    case VT_NULL:
        return QJSValue(QJSValue::NullValue);
    default:
        return QJSValue(QJSValue::UndefinedValue);
    }
}

} // namespace platform::jscript
