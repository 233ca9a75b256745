// Automation objects as scripts see them: the host's named items and the
// objects CreateObject makes from registered classes. Calls go through
// IDispatch by name (ids looked up once and kept); values cross as variants.
// A failing call becomes the script error the language gives it (5 for an
// invalid argument, 438 for an unknown member, ...). A value passed for a
// string parameter is converted to text here, the way the language writes
// it (so True is "True", not "-1").
#pragma once

#include "platform/com/interfaces.h"
#include "platform/vbscript/object.h"

#include <unordered_map>
#include <vector>

namespace platform::vbscript {

class DispatchObject final : public Object {
public:
    // Takes a reference on dispatch; gives it back when destroyed.
    explicit DispatchObject(com::IDispatch* dispatch);
    ~DispatchObject() override;

    com::IDispatch* dispatch() const { return dispatch_; }

    std::u16string TypeName() const override;
    Value Invoke(Interpreter& in, std::u16string_view name, std::span<Arg> args) override;
    void Assign(Interpreter& in, std::u16string_view name, std::span<Arg> args, const Value& value,
                bool set) override;

private:
    struct Member {
        com::DISPID id = 0;
        // The [in] parameters' types from the type information; empty when
        // there is none.
        std::vector<com::VARTYPE> params;
    };
    const Member& MemberOf(std::u16string_view name);

    com::IDispatch* dispatch_;
    std::unordered_map<std::u16string, Member> members_;
};

// Value to variant (dest must be clear): numbers of up to 32 bits as VT_I4,
// others as VT_R8, strings as VT_BSTR, automation objects as VT_DISPATCH;
// arrays and the script's own objects are a Type mismatch.
void ToVariant(const Value& value, com::VARIANT* dest);
// Variant to value; an interface without IDispatch becomes Nothing.
Value FromVariant(const com::VARIANT& v);
// The script error of a failed call: its number and text.
[[noreturn]] void ThrowFailure(com::HRESULT hr, const com::EXCEPINFO& info,
                               std::u16string_view member);

} // namespace platform::vbscript
