#include "platform/jscript/dispatch_bridge.h"

#include "platform/com/bstr.h"
#include "platform/jscript/conversion.h"

#include <QJSEngine>

namespace platform::jscript {

using namespace platform::com;

QString FailureText(HRESULT hr, const QString& objectDescription) {
    if (!objectDescription.isEmpty())
        return objectDescription;
    switch (hr) {
    case E_INVALIDARG:
        return QStringLiteral("Invalid procedure call or argument");
    case E_OUTOFMEMORY:
        return QStringLiteral("Out of memory");
    case DISP_E_BADPARAMCOUNT:
        return QStringLiteral("Wrong number of arguments or invalid property assignment");
    case DISP_E_TYPEMISMATCH:
        return QStringLiteral("Type mismatch");
    case DISP_E_OVERFLOW:
        return QStringLiteral("Overflow");
    case DISP_E_MEMBERNOTFOUND:
        return QStringLiteral("Object doesn't support this property or method");
    default:
        return QString::asprintf("Error 0x%08X", static_cast<unsigned>(hr));
    }
}

DispatchBridge::DispatchBridge(QJSEngine* engine, IDispatch* dispatch,
                               std::vector<DispatchMember> members)
    : engine_(engine), dispatch_(dispatch), members_(std::move(members)) {
    dispatch_->AddRef();
}

DispatchBridge::~DispatchBridge() {
    dispatch_->Release();
}

void DispatchBridge::ThrowFailure(HRESULT hr, const QString& description) {
    QJSValue error = engine_->newErrorObject(QJSValue::GenericError, description);
    error.setProperty(QStringLiteral("description"), description);
    error.setProperty(QStringLiteral("number"), static_cast<int>(hr));
    engine_->throwError(error);
}

QJSValue DispatchBridge::invoke(int index, const QJSValue& args) {
    if (index < 0 || static_cast<size_t>(index) >= members_.size()) {
        ThrowFailure(DISP_E_MEMBERNOTFOUND, FailureText(DISP_E_MEMBERNOTFOUND, {}));
        return {};
    }
    const int count = args.property(QStringLiteral("length")).toInt();
    // Invoke takes the arguments last first.
    std::vector<VARIANT> argv(static_cast<size_t>(count > 0 ? count : 0));
    for (auto& v : argv)
        VariantInit(&v);
    HRESULT hr = S_OK;
    for (int i = 0; i < count && SUCCEEDED(hr); ++i)
        hr = JsToVariant(args.property(static_cast<quint32>(i)), &argv[count - 1 - i]);

    VARIANT result;
    VariantInit(&result);
    EXCEPINFO info{};
    if (SUCCEEDED(hr)) {
        DISPPARAMS params{argv.empty() ? nullptr : argv.data(), nullptr,
                          static_cast<UINT>(argv.size()), 0};
        UINT argErr = 0;
        hr = dispatch_->Invoke(members_[static_cast<size_t>(index)].id, GUID_NULL,
                               LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, &result, &info,
                               &argErr);
    }
    for (auto& v : argv)
        VariantClear(&v);

    if (FAILED(hr) && info.pfnDeferredFillIn)
        info.pfnDeferredFillIn(&info);
    QString description = FromBstr(info.bstrDescription);
    HRESULT code = (hr == DISP_E_EXCEPTION && info.scode != 0) ? info.scode : hr;
    SysFreeString(info.bstrSource);
    SysFreeString(info.bstrDescription);
    SysFreeString(info.bstrHelpFile);
    if (FAILED(hr)) {
        VariantClear(&result);
        ThrowFailure(code, FailureText(code, description));
        return {};
    }
    QJSValue value = VariantToJs(engine_, result);
    VariantClear(&result);
    return value;
}

} // namespace platform::jscript
