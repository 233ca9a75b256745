#include "platform/vbscript/builtin_objects.h"

#include "platform/vbscript/interpreter.h"

#include <cstdio>

namespace platform::vbscript {

namespace {

void ExpectArgs(std::span<Arg> args, size_t count) {
    if (args.size() != count)
        Throw(kErrArgumentCount);
}

const std::u16string kRuntimeSource = u"VBScript runtime error";

} // namespace

// --- Err ---

void ErrObject::Set(const ScriptException& e) {
    number_ = e.number;
    description_ = e.description;
    source_ = e.source.empty() ? kRuntimeSource : e.source;
}

void ErrObject::Clear() {
    number_ = 0;
    description_.clear();
    source_.clear();
}

Value ErrObject::Invoke(Interpreter&, std::u16string_view name, std::span<Arg> args) {
    if (name.empty() || name == u"number") {
        ExpectArgs(args, 0);
        return Value::Long(number_);
    }
    if (name == u"description") {
        ExpectArgs(args, 0);
        return Value::String(description_);
    }
    if (name == u"source") {
        ExpectArgs(args, 0);
        return Value::String(source_);
    }
    if (name == u"helpfile") {
        ExpectArgs(args, 0);
        return Value::String(u"");
    }
    if (name == u"helpcontext") {
        ExpectArgs(args, 0);
        return Value::Long(0);
    }
    if (name == u"clear") {
        ExpectArgs(args, 0);
        Clear();
        return {};
    }
    if (name == u"raise") {
        if (args.empty() || args.size() > 5 || args[0].missing)
            Throw(kErrArgumentCount);
        ScriptException e;
        e.number = ToLong(args[0].get());
        if (e.number == 0)
            Throw(kErrInvalidCall);
        if (args.size() > 1 && !args[1].missing)
            e.source = ToString(args[1].get());
        if (args.size() > 2 && !args[2].missing)
            e.description = ToString(args[2].get());
        else
            e.description =
                ErrorText(e.number).empty() ? u"Unknown runtime error" : ErrorText(e.number);
        throw e;
    }
    Throw(kErrNoSuchMember, std::u16string(name));
}

void ErrObject::Assign(Interpreter&, std::u16string_view name, std::span<Arg> args,
                       const Value& value, bool set) {
    if (set || !args.empty())
        Throw(kErrArgumentCount);
    if (name.empty() || name == u"number") {
        number_ = ToLong(value);
        if (description_.empty())
            description_ = ErrorText(number_);
    } else if (name == u"description") {
        description_ = ToString(value);
    } else if (name == u"source") {
        source_ = ToString(value);
    } else {
        Throw(kErrNoSuchMember, std::u16string(name));
    }
}

// --- Dictionary ---

namespace {

std::u16string Prefixed(char16_t kind, const std::u16string& text) {
    std::u16string key(1, kind);
    key.append(text);
    return key;
}

} // namespace

std::u16string Dictionary::KeyOf(const Value& key) const {
    switch (key.type()) {
    case VT::String:
        return Prefixed(u's', compareMode_ == 1 ? Lower(key.str()) : key.str());
    case VT::Empty:
        return u"e";
    case VT::Null:
        return u"z";
    case VT::Object: {
        char buf[32];
        std::snprintf(buf, sizeof buf, "o%p", static_cast<void*>(key.object()));
        return FromAscii(buf);
    }
    case VT::Date:
        return Prefixed(u'd', FormatDouble(key.dbl()));
    case VT::Array:
        Throw(kErrTypeMismatch);
    default:
        return Prefixed(u'n', FormatDouble(ToDouble(key)));
    }
}

long Dictionary::Find(const Value& key) const {
    auto it = index_.find(KeyOf(key));
    return it == index_.end() ? -1 : static_cast<long>(it->second);
}

void Dictionary::Put(const Value& key, const Value& item) {
    std::u16string k = KeyOf(key);
    auto it = index_.find(k);
    if (it != index_.end()) {
        items_[it->second] = item;
        return;
    }
    index_.emplace(std::move(k), keys_.size());
    keys_.push_back(key);
    items_.push_back(item);
}

void Dictionary::Reindex() {
    index_.clear();
    for (size_t i = 0; i < keys_.size(); ++i)
        index_.emplace(KeyOf(keys_[i]), i);
}

namespace {

Value ArrayOf(const std::vector<Value>& values) {
    auto* a = new ArrayData;
    a->upper.push_back(static_cast<int32_t>(values.size()) - 1);
    a->items = values;
    return Value::Array(a);
}

} // namespace

Value Dictionary::Invoke(Interpreter&, std::u16string_view name, std::span<Arg> args) {
    if (name == u"add") {
        ExpectArgs(args, 2);
        if (Find(args[0].get()) >= 0)
            Throw(kErrKeyExists);
        Put(args[0].get(), args[1].get());
        return {};
    }
    if (name.empty() || name == u"item") {
        ExpectArgs(args, 1);
        long i = Find(args[0].get());
        if (i < 0) {
            // Reading a missing key adds it, as scripts of this language expect.
            Put(args[0].get(), Value());
            return {};
        }
        return items_[static_cast<size_t>(i)];
    }
    if (name == u"exists") {
        ExpectArgs(args, 1);
        return Value::Boolean(Find(args[0].get()) >= 0);
    }
    if (name == u"keys") {
        ExpectArgs(args, 0);
        return ArrayOf(keys_);
    }
    if (name == u"items") {
        ExpectArgs(args, 0);
        return ArrayOf(items_);
    }
    if (name == u"count") {
        ExpectArgs(args, 0);
        return Value::Long(static_cast<int32_t>(keys_.size()));
    }
    if (name == u"remove") {
        ExpectArgs(args, 1);
        long i = Find(args[0].get());
        if (i < 0)
            Throw(kErrElementNotFound);
        keys_.erase(keys_.begin() + i);
        items_.erase(items_.begin() + i);
        Reindex();
        return {};
    }
    if (name == u"removeall") {
        ExpectArgs(args, 0);
        keys_.clear();
        items_.clear();
        index_.clear();
        return {};
    }
    if (name == u"comparemode") {
        ExpectArgs(args, 0);
        return Value::Long(compareMode_);
    }
    Throw(kErrNoSuchMember, std::u16string(name));
}

void Dictionary::Assign(Interpreter&, std::u16string_view name, std::span<Arg> args,
                        const Value& value, bool) {
    if (name.empty() || name == u"item") {
        ExpectArgs(args, 1);
        Put(args[0].get(), value);
        return;
    }
    if (name == u"key") {
        ExpectArgs(args, 1);
        long i = Find(args[0].get());
        if (i < 0)
            Throw(kErrElementNotFound);
        if (Find(value) >= 0)
            Throw(kErrKeyExists);
        keys_[static_cast<size_t>(i)] = value;
        Reindex();
        return;
    }
    if (name == u"comparemode") {
        ExpectArgs(args, 0);
        if (!keys_.empty())
            Throw(kErrInvalidCall);
        int32_t mode = ToLong(value);
        if (mode < 0)
            Throw(kErrInvalidCall);
        compareMode_ = mode == 0 ? 0 : 1;
        return;
    }
    Throw(kErrNoSuchMember, std::u16string(name));
}

bool Dictionary::Enumerate(Interpreter&, std::vector<Value>& out) {
    out = keys_;
    return true;
}

} // namespace platform::vbscript
