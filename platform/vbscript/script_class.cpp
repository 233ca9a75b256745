#include "platform/vbscript/script_class.h"

#include "platform/vbscript/interpreter.h"

namespace platform::vbscript {

ClassInstance::ClassInstance(Interpreter& in, const ClassDef& def)
    : in_(in), def_(def), fields_(def.fields.size()) {
    for (size_t i = 0; i < def.fields.size(); ++i) {
        const FieldDecl& f = def.fields[i];
        if (!f.array)
            continue;
        auto* a = new ArrayData;
        size_t count = 1;
        for (int32_t b : f.bounds) {
            a->upper.push_back(b);
            count *= static_cast<size_t>(b + 1);
        }
        a->items.resize(f.bounds.empty() ? 0 : count);
        a->fixed = !f.bounds.empty();
        fields_[i] = Value::Array(a);
    }
}

Value ClassInstance::Invoke(Interpreter& in, std::u16string_view name, std::span<Arg> args) {
    return in.InvokeInstance(this, name, args, false);
}

void ClassInstance::Assign(Interpreter& in, std::u16string_view name, std::span<Arg> args,
                           const Value& value, bool set) {
    in.AssignInstance(this, name, args, value, set, false);
}

void ClassInstance::Destroy() noexcept {
    if (def_.terminate && !terminated_ && in_.terminatorsAllowed()) {
        terminated_ = true;
        refs_ = 1; // alive while the terminator runs
        try {
            in_.CallProcedure(*def_.terminate, this, {}, nullptr);
        } catch (...) {
        }
        if (--refs_ != 0)
            return; // the terminator stored a reference somewhere
    }
    delete this;
}

} // namespace platform::vbscript
