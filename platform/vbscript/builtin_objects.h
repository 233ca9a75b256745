// The objects the language provides itself: Err, which describes the last
// run-time error, and Scripting.Dictionary, the keyed collection scripts
// create with CreateObject.
#pragma once

#include "platform/vbscript/errors.h"
#include "platform/vbscript/object.h"

#include <unordered_map>

namespace platform::vbscript {

class ErrObject final : public Object {
public:
    // Records a trapped error (On Error Resume Next).
    void Set(const ScriptException& e);
    void Clear();
    int32_t number() const { return number_; }

    std::u16string TypeName() const override { return u"ErrObject"; }
    Value Invoke(Interpreter& in, std::u16string_view name, std::span<Arg> args) override;
    void Assign(Interpreter& in, std::u16string_view name, std::span<Arg> args, const Value& value,
                bool set) override;

private:
    int32_t number_ = 0;
    std::u16string description_;
    std::u16string source_;
};

class Dictionary final : public Object {
public:
    std::u16string TypeName() const override { return u"Dictionary"; }
    Value Invoke(Interpreter& in, std::u16string_view name, std::span<Arg> args) override;
    void Assign(Interpreter& in, std::u16string_view name, std::span<Arg> args, const Value& value,
                bool set) override;
    bool Enumerate(Interpreter& in, std::vector<Value>& out) override;

private:
    // The lookup form of a key: numbers by value, strings by text (folded
    // in text compare mode), objects by identity.
    std::u16string KeyOf(const Value& key) const;
    // The index of key, -1 when absent.
    long Find(const Value& key) const;
    void Put(const Value& key, const Value& item);
    void Reindex();

    std::vector<Value> keys_;
    std::vector<Value> items_;
    std::unordered_map<std::u16string, size_t> index_;
    int compareMode_ = 0;
};

} // namespace platform::vbscript
