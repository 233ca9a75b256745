// Objects of the script's own classes (Class ... End Class): their fields,
// and Class_Terminate run when the last reference goes.
#pragma once

#include "platform/vbscript/ast.h"
#include "platform/vbscript/object.h"

namespace platform::vbscript {

class ClassInstance final : public Object {
public:
    // Fields start Empty; fixed-size array fields get their arrays.
    // Class_Initialize is the creator's to run.
    ClassInstance(Interpreter& in, const ClassDef& def);

    const ClassDef& def() const { return def_; }
    Value& field(int index) { return fields_[static_cast<size_t>(index)]; }

    std::u16string TypeName() const override { return def_.original; }
    Value Invoke(Interpreter& in, std::u16string_view name, std::span<Arg> args) override;
    void Assign(Interpreter& in, std::u16string_view name, std::span<Arg> args, const Value& value,
                bool set) override;

protected:
    // Runs Class_Terminate (errors in it are dropped, as nobody could handle
    // them), then deletes the object unless the terminator kept a reference.
    void Destroy() noexcept override;

private:
    Interpreter& in_;
    const ClassDef& def_;
    std::vector<Value> fields_;
    bool terminated_ = false;
};

} // namespace platform::vbscript
