#include "platform/vbscript/interpreter.h"

#include "platform/vbscript/builtin_objects.h"
#include "platform/vbscript/builtins.h"
#include "platform/vbscript/operators.h"
#include "platform/vbscript/parser.h"
#include "platform/vbscript/script_class.h"

#include <algorithm>
#include <cstdint>
#include <new>
#include <stdexcept>

#include <pthread.h>

namespace platform::vbscript {

namespace {

thread_local Interpreter* tls_current = nullptr;

// Deep recursion stops with "Out of stack space" while this much of the
// thread's stack is still free (for the error's own way out and for calls
// into automation objects), and at a plain depth limit.
constexpr uintptr_t kStackReserve = 512u << 10;
constexpr int kMaxDepth = 100000;
constexpr size_t kMaxArrayItems = size_t{1} << 24;
constexpr size_t kMaxDims = 60;

class CurrentGuard {
public:
    explicit CurrentGuard(Interpreter* in) : saved_(tls_current) { tls_current = in; }
    ~CurrentGuard() { tls_current = saved_; }

private:
    Interpreter* saved_;
};

// Where this thread's stack stands now: the current frame's address.
uintptr_t StackPosition() {
    return reinterpret_cast<uintptr_t>(__builtin_frame_address(0));
}

// The lowest address a script call may use on this thread; 0 when unknown.
thread_local uintptr_t tls_stackLimit = 0;

uintptr_t StackLimit() {
    pthread_attr_t attr;
    if (pthread_getattr_np(pthread_self(), &attr) != 0)
        return 0;
    void* low = nullptr;
    size_t size = 0;
    int rc = pthread_attr_getstack(&attr, &low, &size);
    pthread_attr_destroy(&attr);
    if (rc != 0 || size <= 2 * kStackReserve)
        return 0;
    return reinterpret_cast<uintptr_t>(low) + kStackReserve;
}

bool IsNumberLiteral(const Expr& e) {
    if (e.kind == EK::Literal)
        return static_cast<const LiteralExpr&>(e).number;
    if (e.kind == EK::Unary && static_cast<const UnaryExpr&>(e).op == Op::Neg)
        return IsNumberLiteral(*static_cast<const UnaryExpr&>(e).operand);
    return false;
}

// Integer, Long or Byte as a 64-bit number with its rank (1 Byte, 2
// Integer, 3 Long).
inline bool SmallInteger(const Value& v, int64_t* n, int* rank) {
    switch (v.type()) {
    case VT::Integer:
        *n = v.integer();
        *rank = 2;
        return true;
    case VT::Long:
        *n = v.lng();
        *rank = 3;
        return true;
    case VT::Byte:
        *n = v.byte();
        *rank = 1;
        return true;
    default:
        return false;
    }
}

bool Integral(const Value& v) {
    switch (v.type()) {
    case VT::Empty:
    case VT::Boolean:
    case VT::Byte:
    case VT::Integer:
    case VT::Long:
        return true;
    default:
        return false;
    }
}

int IntegralRank(const Value& v) {
    return v.type() == VT::Byte ? 1 : v.type() == VT::Long ? 3 : 2;
}

int64_t IntegralValue(const Value& v) {
    switch (v.type()) {
    case VT::Boolean:
        return v.boolean() ? -1 : 0;
    case VT::Byte:
        return v.byte();
    case VT::Integer:
        return v.integer();
    case VT::Long:
        return v.lng();
    default:
        return 0;
    }
}

Value Plain(Value v) {
    return v.IsObject() ? Dereference(v) : v;
}

} // namespace

Interpreter* CurrentInterpreter() {
    return tls_current;
}

struct Interpreter::Frame {
    const Procedure* proc = nullptr;
    Value** slots = nullptr;
    ClassInstance* me = nullptr;
    Value result;
    bool resumeNext = false;
    bool optionExplicit = false;
    std::vector<Value> with;
};

struct Interpreter::ArgList {
    std::vector<Arg> args;
    // Array elements passed as arguments: copied in, and copied back after
    // the call so a ByRef parameter reaches them.
    struct Back {
        size_t arg;
        Value* var;
        std::vector<int32_t> indices;
    };
    std::vector<Back> backs;
};

Interpreter::Interpreter(const std::atomic<bool>* interrupt)
    : interrupt_(interrupt), constants_(BuiltinConstants()) {
    err_ = new ErrObject;
    errValue_ = Value::Object(err_);
}

Interpreter::~Interpreter() {
    Shutdown();
}

void Interpreter::Shutdown() {
    if (shutDown_)
        return;
    shutDown_ = true;
    CurrentGuard current(this);
    // One at a time: a terminator may still read the other globals. The
    // host's items go last, so terminators can still call them.
    for (int pass = 0; pass < 2; ++pass)
        for (size_t i = 0; i < globals_.size(); ++i)
            if (globalReadOnly_[i] == (pass == 1)) {
                Value gone;
                gone.Swap(globals_[i]);
            }
    globals_.clear();
    globalIndex_.clear();
    globalReadOnly_.clear();
}

int Interpreter::NewGlobal(const std::u16string& name) {
    auto it = globalIndex_.find(name);
    if (it != globalIndex_.end())
        return it->second;
    int index = static_cast<int>(globals_.size());
    globals_.emplace_back();
    globalReadOnly_.push_back(false);
    globalIndex_[name] = index;
    return index;
}

void Interpreter::AddGlobalObject(const std::u16string& name, Object* object) {
    int index = NewGlobal(Lower(name));
    globals_[static_cast<size_t>(index)] = Value::Object(object);
    globalReadOnly_[static_cast<size_t>(index)] = true;
}

void Interpreter::Install(const Program& program) {
    for (const auto& name : program.globals)
        NewGlobal(name);
    for (const auto& p : program.procedures)
        procedures_[p->name] = p.get();
    for (const auto& c : program.classes)
        classes_[c->name] = c.get();
}

Value Interpreter::Evaluate(std::u16string_view text, int firstLine) {
    CurrentGuard current(this);
    CheckInterrupt();
    ExprPtr e = ParseExpression(text, firstLine);
    Frame f;
    Frame* saved = frame_;
    frame_ = &f;
    struct Restore {
        Interpreter* in;
        Frame* frame;
        ~Restore() { in->frame_ = frame; }
    } restore{this, saved};
    try {
        return Eval(*e, f);
    } catch (ScriptException& ex) {
        if (ex.line == 0)
            ex.line = e->line;
        throw;
    } catch (const Interrupted&) {
        stopped_ = true;
        throw;
    }
}

void Interpreter::Run(std::u16string_view text, int firstLine) {
    CurrentGuard current(this);
    CheckInterrupt();
    auto program = ParseProgram(text, firstLine);
    Install(*program);
    const Program& p = *program;
    programs_.push_back(std::move(program));
    Frame f;
    f.optionExplicit = p.optionExplicit;
    Frame* savedFrame = frame_;
    Frame* savedGlobal = globalFrame_;
    uintptr_t savedLimit = tls_stackLimit;
    frame_ = globalFrame_ = &f;
    if (!tls_stackLimit)
        tls_stackLimit = StackLimit();
    struct Restore {
        Interpreter* in;
        Frame* frame;
        Frame* global;
        uintptr_t limit;
        ~Restore() {
            in->frame_ = frame;
            in->globalFrame_ = global;
            tls_stackLimit = limit;
        }
    } restore{this, savedFrame, savedGlobal, savedLimit};
    try {
        ExecBlock(p.body, f);
    } catch (const Interrupted&) {
        stopped_ = true;
        throw;
    }
}

// --- Statements ---

Interpreter::Flow Interpreter::ExecBlock(const Block& block, Frame& f) {
    for (const StmtPtr& s : block) {
        Flow flow;
        try {
            flow = Exec(*s, f);
        } catch (ScriptException& e) {
            if (e.line == 0)
                e.line = s->line;
            if (!f.resumeNext)
                throw;
            err_->Set(e);
            continue;
        } catch (const std::bad_alloc&) {
            Trapped(kErrOutOfMemory, s->line, f);
            continue;
        } catch (const std::length_error&) {
            Trapped(kErrOutOfStringSpace, s->line, f);
            continue;
        }
        if (flow != Flow::Normal)
            return flow;
    }
    return Flow::Normal;
}

// A failure of the C++ library as the script error it stands for: trapped
// under On Error Resume Next, thrown otherwise.
Interpreter::Flow Interpreter::Trapped(int32_t number, int line, Frame& f) {
    ScriptException e;
    e.number = number;
    e.description = ErrorText(number);
    e.line = line;
    if (!f.resumeNext)
        throw e;
    err_->Set(e);
    return Flow::Normal;
}

Interpreter::Flow Interpreter::Exec(const Stmt& s, Frame& f) {
    switch (s.kind) {
    case SK::Call:
        Eval(*static_cast<const CallStmt&>(s).call, f);
        return Flow::Normal;
    case SK::Assign:
        ExecAssign(static_cast<const AssignStmt&>(s), f);
        return Flow::Normal;
    case SK::Dim:
        for (const VarDecl& d : static_cast<const DimStmt&>(s).decls) {
            Value* v = Variable(*d.name, f, true, false);
            if (!d.array || !v)
                continue;
            std::vector<int32_t> upper;
            size_t count = 1;
            for (const auto& b : d.bounds) {
                int32_t u = ToLong(Eval(*b, f));
                if (u < 0)
                    Throw(kErrSubscript);
                upper.push_back(u);
                count *= static_cast<size_t>(u) + 1;
                if (count > kMaxArrayItems)
                    Throw(kErrOutOfMemory);
            }
            Value array = Value::Array(new ArrayData);
            array.array()->upper = std::move(upper);
            array.array()->items.resize(d.bounds.empty() ? 0 : count);
            array.array()->fixed = !d.bounds.empty();
            *v = std::move(array);
        }
        return Flow::Normal;
    case SK::ReDim:
        ExecReDim(static_cast<const ReDimStmt&>(s), f);
        return Flow::Normal;
    case SK::Const:
        for (const auto& [name, expr] : static_cast<const ConstStmt&>(s).items) {
            Value v = Plain(Eval(*expr, f));
            Value* slot = Variable(*name, f, true, false);
            *slot = std::move(v);
            if (name->binding.kind == Binding::Global)
                globalReadOnly_[static_cast<size_t>(name->binding.index)] = true;
        }
        return Flow::Normal;
    case SK::If: {
        const auto& stmt = static_cast<const IfStmt&>(s);
        for (const auto& [cond, body] : stmt.branches)
            if (Condition(Eval(*cond, f)))
                return ExecBlock(body, f);
        return ExecBlock(stmt.otherwise, f);
    }
    case SK::Select: {
        const auto& stmt = static_cast<const SelectStmt&>(s);
        Value subject = Plain(Eval(*stmt.subject, f));
        bool subjectNumber = IsNumberLiteral(*stmt.subject);
        for (const CaseClause& c : stmt.cases)
            for (const auto& v : c.values) {
                Value x = Plain(Eval(*v, f));
                if (!subject.IsNull() && !x.IsNull() &&
                    CompareValues(subject, x, false, subjectNumber, IsNumberLiteral(*v)) == 0)
                    return ExecBlock(c.body, f);
            }
        if (stmt.hasElse)
            return ExecBlock(stmt.otherwise, f);
        return Flow::Normal;
    }
    case SK::For:
        return ExecFor(static_cast<const ForStmt&>(s), f);
    case SK::ForEach:
        return ExecForEach(static_cast<const ForEachStmt&>(s), f);
    case SK::Do:
        return ExecDo(static_cast<const DoStmt&>(s), f);
    case SK::Exit:
        switch (static_cast<const ExitStmt&>(s).what) {
        case ExitKind::Do:
            return Flow::ExitDo;
        case ExitKind::For:
            return Flow::ExitFor;
        default:
            return Flow::ExitProc;
        }
    case SK::OnError:
        f.resumeNext = static_cast<const OnErrorStmt&>(s).resumeNext;
        err_->Clear();
        return Flow::Normal;
    case SK::With: {
        const auto& stmt = static_cast<const WithStmt&>(s);
        f.with.push_back(Eval(*stmt.object, f));
        struct Pop {
            std::vector<Value>& with;
            ~Pop() { with.pop_back(); }
        } pop{f.with};
        return ExecBlock(stmt.body, f);
    }
    case SK::Erase:
        for (const auto& t : static_cast<const EraseStmt&>(s).targets) {
            Value* v = Variable(*t, f, false, true);
            if (!v || !v->IsArray())
                Throw(kErrTypeMismatch, t->original);
            if (v->array()->fixed) {
                for (Value& item : v->MutableArray()->items)
                    item = Value();
            } else {
                *v = Value::Array(new ArrayData);
            }
        }
        return Flow::Normal;
    case SK::Empty:
        return Flow::Normal;
    }
    return Flow::Normal;
}

Interpreter::Flow Interpreter::ExecFor(const ForStmt& s, Frame& f) {
    Value from = Plain(Eval(*s.from, f));
    Value to = Plain(Eval(*s.to, f));
    Value step = s.step ? Plain(Eval(*s.step, f)) : Value::Integer(1);
    for (const Value* v : {&from, &to, &step})
        if (v->IsNull())
            Throw(kErrInvalidNull);
        else if (!v->IsNumeric() && !v->IsString())
            Throw(kErrTypeMismatch);
    Value* var = Variable(*s.var, f, false, true);
    if (!var)
        Throw(kErrIllegalAssignment, s.var->original);
    if (Integral(from) && Integral(to) && Integral(step)) {
        int rank = std::max({IntegralRank(from), IntegralRank(to), IntegralRank(step)});
        const int64_t end = IntegralValue(to), by = IntegralValue(step);
        int64_t counter = IntegralValue(from);
        *var = FitInteger(counter, rank);
        for (;;) {
            if (by >= 0 ? counter > end : counter < end)
                return Flow::Normal;
            Flow flow = ExecBlock(s.body, f);
            if (flow == Flow::ExitFor)
                return Flow::Normal;
            if (flow != Flow::Normal)
                return flow;
            CheckInterrupt();
            // The body may have changed the counter.
            if (Integral(*var))
                counter = IntegralValue(*var) + by;
            else
                counter = static_cast<int64_t>(ToLong(*var)) + by;
            *var = FitInteger(counter, rank);
        }
    }
    const double end = ToDouble(to), by = ToDouble(step);
    *var = from.IsString() ? Value::Double(ToDouble(from)) : from;
    if (step.IsString())
        step = Value::Double(by);
    for (;;) {
        double counter = ToDouble(*var);
        if (by >= 0 ? counter > end : counter < end)
            return Flow::Normal;
        Flow flow = ExecBlock(s.body, f);
        if (flow == Flow::ExitFor)
            return Flow::Normal;
        if (flow != Flow::Normal)
            return flow;
        CheckInterrupt();
        *var = Arithmetic(Op::Add, *var, step);
    }
}

Interpreter::Flow Interpreter::ExecForEach(const ForEachStmt& s, Frame& f) {
    Value collection = Eval(*s.collection, f);
    std::vector<Value> items;
    const std::vector<Value>* list = nullptr;
    if (collection.IsArray()) {
        list = &collection.array()->items; // kept as it is: writes copy the array first
    } else if (collection.IsObject() && collection.object()) {
        if (!collection.object()->Enumerate(*this, items))
            Throw(kErrNotCollection);
        list = &items;
    } else {
        Throw(kErrNotCollection);
    }
    Value* var = Variable(*s.var, f, false, true);
    if (!var)
        Throw(kErrIllegalAssignment, s.var->original);
    for (size_t i = 0; i < list->size(); ++i) {
        *var = (*list)[i];
        Flow flow = ExecBlock(s.body, f);
        if (flow == Flow::ExitFor)
            return Flow::Normal;
        if (flow != Flow::Normal)
            return flow;
        CheckInterrupt();
    }
    return Flow::Normal;
}

Interpreter::Flow Interpreter::ExecDo(const DoStmt& s, Frame& f) {
    for (;;) {
        if (s.cond && s.atTop && Condition(Eval(*s.cond, f)) == s.until)
            return Flow::Normal;
        Flow flow = ExecBlock(s.body, f);
        if (flow == Flow::ExitDo && !s.isWhileWend)
            return Flow::Normal;
        if (flow != Flow::Normal)
            return flow;
        if (s.cond && !s.atTop && Condition(Eval(*s.cond, f)) == s.until)
            return Flow::Normal;
        CheckInterrupt();
    }
}

void Interpreter::ExecReDim(const ReDimStmt& s, Frame& f) {
    for (const VarDecl& d : s.decls) {
        Value* v = Variable(*d.name, f, true, true);
        if (!v)
            Throw(kErrIllegalAssignment, d.name->original);
        std::vector<int32_t> upper;
        size_t count = 1;
        for (const auto& b : d.bounds) {
            int32_t u = ToLong(Eval(*b, f));
            if (u < -1)
                Throw(kErrSubscript);
            upper.push_back(u);
            count *= static_cast<size_t>(u + 1);
            if (count > kMaxArrayItems)
                Throw(kErrOutOfMemory);
        }
        if (v->IsArray() && v->array()->fixed)
            Throw(kErrFixedArray);
        Value array = Value::Array(new ArrayData);
        ArrayData* a = array.array();
        a->upper = upper;
        a->items.resize(count);
        if (s.preserve && v->IsArray() && !v->array()->upper.empty()) {
            const ArrayData* old = v->array();
            if (old->upper.size() != upper.size())
                Throw(kErrSubscript);
            for (size_t i = 0; i + 1 < upper.size(); ++i)
                if (old->upper[i] != upper[i])
                    Throw(kErrSubscript);
            size_t keep = std::min(old->items.size(), count);
            for (size_t i = 0; i < keep; ++i)
                a->items[i] = old->items[i];
        }
        *v = std::move(array);
    }
}

void Interpreter::ExecAssign(const AssignStmt& s, Frame& f) {
    // s = s & x appends in place: string building stays linear.
    if (!s.set && s.target->kind == EK::Ident && s.value->kind == EK::Binary) {
        const auto& target = static_cast<const IdentExpr&>(*s.target);
        const auto& b = static_cast<const BinaryExpr&>(*s.value);
        if (b.op == Op::Concat && b.left->kind == EK::Ident &&
            static_cast<const IdentExpr&>(*b.left).name == target.name) {
            const Binding& bind = Resolve(target, f);
            if (bind.kind == Binding::Local || bind.kind == Binding::Field ||
                bind.kind == Binding::Result ||
                (bind.kind == Binding::Global &&
                 !globalReadOnly_[static_cast<size_t>(bind.index)])) {
                Value* slot = Variable(target, f, false, true);
                if (slot->IsString()) {
                    Value rhs = Eval(*b.right, f);
                    if (rhs.IsString())
                        slot->Append(rhs.str());
                    else if (!rhs.IsNull())
                        slot->Append(ToString(Plain(rhs)));
                    return;
                }
            }
        }
    }
    Assign(*s.target, Eval(*s.value, f), s.set, f);
}

void Interpreter::Assign(const Expr& target, Value value, bool set, Frame& f) {
    if (set) {
        if (!value.IsObject())
            Throw(kErrObjectRequired);
    } else if (value.IsObject()) {
        value = Dereference(value);
    }
    switch (target.kind) {
    case EK::Ident: {
        const auto& id = static_cast<const IdentExpr&>(target);
        if (Resolve(id, f).kind == Binding::Member) {
            AssignInstance(f.me, id.name, {}, value, set, true);
            return;
        }
        Value* v = Variable(id, f, false, true);
        if (!v)
            Throw(kErrIllegalAssignment, id.original);
        *v = std::move(value);
        return;
    }
    case EK::Member: {
        const auto& m = static_cast<const MemberExpr&>(target);
        Value object = ObjectOf(m.object.get(), f);
        AssignMember(object, m.name, {}, value, set, f);
        return;
    }
    case EK::Call: {
        const auto& c = static_cast<const CallExpr&>(target);
        ArgList args;
        EvalArgs(c.args, f, args);
        if (c.target->kind == EK::Ident) {
            const auto& id = static_cast<const IdentExpr&>(*c.target);
            const Binding& b = Resolve(id, f);
            if (b.kind == Binding::Member) {
                AssignInstance(f.me, id.name, args.args, value, set, true);
                return;
            }
            if (b.kind == Binding::Builtin && id.name == u"mid" && !set) {
                AssignMid(args.args, value, id.original);
                return;
            }
            Value* v = Variable(id, f, false, true);
            if (!v)
                Throw(kErrIllegalAssignment, id.original);
            if (v->IsArray()) {
                *Element(v->MutableArray(), args.args) = std::move(value);
                return;
            }
            if (v->IsObject()) {
                if (!v->object())
                    Throw(kErrObjectRequired, id.original);
                Value object = *v;
                AssignMember(object, u"", args.args, value, set, f);
                return;
            }
            Throw(kErrTypeMismatch, id.original);
        }
        if (c.target->kind == EK::Member) {
            const auto& m = static_cast<const MemberExpr&>(*c.target);
            Value object = ObjectOf(m.object.get(), f);
            AssignMember(object, m.name, args.args, value, set, f);
            return;
        }
        Throw(kErrIllegalAssignment);
    }
    default:
        Throw(kErrIllegalAssignment);
    }
}

// The Mid statement, Mid(variable, start[, length]) = text: overwrites
// characters of the variable's string in place; its length stays.
void Interpreter::AssignMid(std::span<Arg> args, const Value& value, const std::u16string& name) {
    if (args.size() < 2 || args.size() > 3 || args[0].missing || args[1].missing)
        Throw(kErrArgumentCount, name);
    if (!args[0].ref)
        Throw(kErrIllegalAssignment, name);
    Value& target = *args[0].ref;
    std::u16string text = ToString(Dereference(target));
    int32_t start = ToLong(args[1].get());
    std::u16string with = ToString(value);
    size_t count = with.size();
    if (args.size() == 3 && !args[2].missing) {
        int32_t length = ToLong(args[2].get());
        if (length < 0)
            Throw(kErrInvalidCall);
        count = std::min(count, static_cast<size_t>(length));
    }
    if (start < 1 || static_cast<size_t>(start) > text.size())
        Throw(kErrInvalidCall);
    count = std::min(count, text.size() - static_cast<size_t>(start) + 1);
    text.replace(static_cast<size_t>(start) - 1, count, with, 0, count);
    target = Value::String(std::move(text));
}

// --- Names ---

const Binding& Interpreter::Resolve(const IdentExpr& e, Frame& f) {
    Binding& b = e.binding;
    if (b.kind != Binding::Unbound)
        return b;
    const std::u16string& n = e.name;
    const Procedure* p = f.proc;
    if (p) {
        if (auto it = p->locals.find(n); it != p->locals.end()) {
            b = {Binding::Local, it->second, nullptr};
            return b;
        }
        if ((p->kind == ProcKind::Function || p->kind == ProcKind::PropertyGet) && n == p->name) {
            b = {Binding::Result, 0, nullptr};
            return b;
        }
        if (p->owner && f.me) {
            if (auto it = p->owner->fieldIndex.find(n); it != p->owner->fieldIndex.end()) {
                b = {Binding::Field, it->second, nullptr};
                return b;
            }
            if (p->owner->methods.count(n) || p->owner->properties.count(n)) {
                b = {Binding::Member, 0, nullptr};
                return b;
            }
        }
    }
    if (auto it = globalIndex_.find(n); it != globalIndex_.end()) {
        b = {Binding::Global, it->second, nullptr};
        return b;
    }
    if (auto it = procedures_.find(n); it != procedures_.end()) {
        b = {Binding::Proc, 0, it->second};
        return b;
    }
    if (n == u"err") {
        b = {Binding::Constant, 0, &errValue_};
        return b;
    }
    if (const BuiltinFunction* fn = FindBuiltin(n)) {
        b = {Binding::Builtin, 0, fn};
        return b;
    }
    if (auto it = constants_.find(n); it != constants_.end()) {
        b = {Binding::Constant, 0, &it->second};
        return b;
    }
    if (p) {
        if (auto it = p->redimLocals.find(n); it != p->redimLocals.end()) {
            b = {Binding::Local, it->second, nullptr};
            return b;
        }
        if (!p->optionExplicit)
            if (auto it = p->implicitLocals.find(n); it != p->implicitLocals.end()) {
                b = {Binding::Local, it->second, nullptr};
                return b;
            }
    }
    return b;
}

Value* Interpreter::Variable(const IdentExpr& e, Frame& f, bool declaring, bool write) {
    const Binding& b = Resolve(e, f);
    switch (b.kind) {
    case Binding::Local:
        return f.slots[b.index];
    case Binding::Result:
        return &f.result;
    case Binding::Global:
        if (write && globalReadOnly_[static_cast<size_t>(b.index)])
            Throw(kErrIllegalAssignment, e.original);
        return &globals_[static_cast<size_t>(b.index)];
    case Binding::Field:
        return &f.me->field(b.index);
    case Binding::Unbound: {
        if (f.optionExplicit && !declaring)
            Throw(kErrUndefined, e.original);
        int index = NewGlobal(e.name);
        e.binding = {Binding::Global, index, nullptr};
        return &globals_[static_cast<size_t>(index)];
    }
    default:
        return nullptr;
    }
}

// --- Expressions ---

Value Interpreter::Eval(const Expr& e, Frame& f) {
    switch (e.kind) {
    case EK::Literal:
        return static_cast<const LiteralExpr&>(e).value;
    case EK::Ident:
        return EvalIdent(static_cast<const IdentExpr&>(e), f);
    case EK::Member: {
        const auto& m = static_cast<const MemberExpr&>(e);
        Value object = ObjectOf(m.object.get(), f);
        return InvokeMember(object, m.name, {}, f);
    }
    case EK::Call:
        return EvalCall(static_cast<const CallExpr&>(e), f);
    case EK::Unary: {
        const auto& u = static_cast<const UnaryExpr&>(e);
        Value v = Eval(*u.operand, f);
        return u.op == Op::Neg ? Negate(v) : LogicalNot(v);
    }
    case EK::Binary:
        return EvalBinary(static_cast<const BinaryExpr&>(e), f);
    case EK::New:
        return EvalNew(static_cast<const NewExpr&>(e));
    case EK::Me:
        if (!f.me)
            Throw(kErrObjectRequired, u"Me");
        return Value::Object(f.me);
    case EK::Paren:
        return Eval(*static_cast<const ParenExpr&>(e).inner, f);
    }
    return {};
}

Value Interpreter::EvalIdent(const IdentExpr& e, Frame& f) {
    const Binding& b = Resolve(e, f);
    switch (b.kind) {
    case Binding::Local:
        return *f.slots[b.index];
    case Binding::Result:
        return f.result;
    case Binding::Global:
        return globals_[static_cast<size_t>(b.index)];
    case Binding::Field:
        return f.me->field(b.index);
    case Binding::Member:
        return InvokeInstance(f.me, e.name, {}, true);
    case Binding::Proc:
        return CallProcedure(*static_cast<const Procedure*>(b.target), nullptr, {}, nullptr);
    case Binding::Builtin: {
        const auto* fn = static_cast<const BuiltinFunction*>(b.target);
        if (fn->minArgs > 0)
            Throw(kErrArgumentCount, e.original);
        return fn->call(*this, {});
    }
    case Binding::Constant:
        return *static_cast<const Value*>(b.target);
    case Binding::Unbound:
        if (f.optionExplicit)
            Throw(kErrUndefined, e.original);
        return {};
    }
    return {};
}

Value Interpreter::EvalCall(const CallExpr& e, Frame& f) {
    const Expr& t = *e.target;
    if (t.kind == EK::Ident) {
        const auto& id = static_cast<const IdentExpr&>(t);
        const Binding& b = Resolve(id, f);
        switch (b.kind) {
        case Binding::Local:
        case Binding::Global:
        case Binding::Field: {
            Value* v = Variable(id, f, false, false);
            if (v->IsArray() && e.args.size() <= kMaxDims) {
                int32_t indices[kMaxDims];
                for (size_t i = 0; i < e.args.size(); ++i) {
                    if (!e.args[i])
                        Throw(kErrSubscript);
                    indices[i] = ToLong(Eval(*e.args[i], f));
                }
                if (!v->IsArray()) // an index expression changed the variable
                    Throw(kErrTypeMismatch, id.original);
                return *Element(v->array(), std::span<const int32_t>(indices, e.args.size()));
            }
            ArgList args;
            EvalArgs(e.args, f, args);
            Value holder = *v;
            return IndexOrDefault(holder, args.args, id.original);
        }
        case Binding::Result: {
            // The function's own name with arguments calls it again.
            ArgList args;
            EvalArgs(e.args, f, args);
            Value r = CallProcedure(*f.proc, f.me, args.args, nullptr);
            WriteBack(args);
            return r;
        }
        case Binding::Member: {
            ArgList args;
            EvalArgs(e.args, f, args);
            Value r = InvokeInstance(f.me, id.name, args.args, true);
            WriteBack(args);
            return r;
        }
        case Binding::Proc: {
            ArgList args;
            EvalArgs(e.args, f, args);
            Value r = CallProcedure(*static_cast<const Procedure*>(b.target), nullptr, args.args,
                                    nullptr);
            WriteBack(args);
            return r;
        }
        case Binding::Builtin: {
            const auto* fn = static_cast<const BuiltinFunction*>(b.target);
            ArgList args;
            EvalArgs(e.args, f, args);
            int n = static_cast<int>(args.args.size());
            if (n < fn->minArgs || n > fn->maxArgs)
                Throw(kErrArgumentCount, id.original);
            for (int i = 0; i < fn->minArgs; ++i)
                if (args.args[static_cast<size_t>(i)].missing)
                    Throw(kErrArgumentCount, id.original);
            return fn->call(*this, args.args);
        }
        case Binding::Constant:
            Throw(kErrTypeMismatch, id.original);
        case Binding::Unbound:
            if (f.optionExplicit)
                Throw(kErrUndefined, id.original);
            Throw(kErrTypeMismatch, id.original);
        }
    }
    if (t.kind == EK::Member) {
        const auto& m = static_cast<const MemberExpr&>(t);
        Value object = ObjectOf(m.object.get(), f);
        ArgList args;
        EvalArgs(e.args, f, args);
        Value r = InvokeMember(object, m.name, args.args, f);
        WriteBack(args);
        return r;
    }
    Value v = Eval(t, f);
    ArgList args;
    EvalArgs(e.args, f, args);
    return IndexOrDefault(v, args.args, u"");
}

Value Interpreter::EvalBinary(const BinaryExpr& e, Frame& f) {
    // A long chain of operators nests as deep as it is long.
    if (tls_stackLimit && StackPosition() < tls_stackLimit)
        Throw(kErrOutOfStack);
    Value a = Eval(*e.left, f);
    Value b = Eval(*e.right, f);
    int64_t x, y;
    int ra, rb;
    switch (e.op) {
    case Op::Concat:
        if (a.IsString() && b.IsString()) {
            CheckLength(a.str().size() + b.str().size());
            std::u16string s;
            s.reserve(a.str().size() + b.str().size());
            s.append(a.str()).append(b.str());
            return Value::String(std::move(s));
        }
        return Concatenate(a, b);
    case Op::Add:
    case Op::Sub:
    case Op::Mul:
        if (SmallInteger(a, &x, &ra) && SmallInteger(b, &y, &rb))
            return FitInteger(e.op == Op::Add   ? x + y
                              : e.op == Op::Sub ? x - y
                                                : x * y,
                              std::max(ra, rb));
        return Arithmetic(e.op, a, b);
    case Op::Pow:
    case Op::Div:
    case Op::IntDiv:
    case Op::Mod:
        return Arithmetic(e.op, a, b);
    case Op::Eq:
    case Op::Ne:
    case Op::Lt:
    case Op::Gt:
    case Op::Le:
    case Op::Ge:
        if (SmallInteger(a, &x, &ra) && SmallInteger(b, &y, &rb)) {
            switch (e.op) {
            case Op::Eq:
                return Value::Boolean(x == y);
            case Op::Ne:
                return Value::Boolean(x != y);
            case Op::Lt:
                return Value::Boolean(x < y);
            case Op::Gt:
                return Value::Boolean(x > y);
            case Op::Le:
                return Value::Boolean(x <= y);
            default:
                return Value::Boolean(x >= y);
            }
        }
        return Comparison(e.op, a, b, IsNumberLiteral(*e.left), IsNumberLiteral(*e.right));
    case Op::Is:
        return Value::Boolean(SameObject(a, b));
    default:
        return Logical(e.op, a, b);
    }
}

Value Interpreter::EvalNew(const NewExpr& e) {
    auto it = classes_.find(e.name);
    if (it == classes_.end())
        Throw(kErrClassNotDefined, e.original);
    const ClassDef* cls = it->second;
    Value object = Value::Object(new ClassInstance(*this, *cls));
    if (cls->initialize)
        CallProcedure(*cls->initialize, static_cast<ClassInstance*>(object.object()), {}, nullptr);
    return object;
}

Value Interpreter::ObjectOf(const Expr* object, Frame& f) {
    Value v;
    if (!object) {
        if (f.with.empty())
            Throw(kErrUnqualified);
        v = f.with.back();
    } else {
        v = Eval(*object, f);
    }
    if (!v.IsObject() || !v.object()) {
        if (object && object->kind == EK::Ident)
            Throw(kErrObjectRequired, static_cast<const IdentExpr*>(object)->original);
        Throw(kErrObjectRequired);
    }
    return v;
}

Value Interpreter::InvokeMember(const Value& object, std::u16string_view name, std::span<Arg> args,
                                Frame& f) {
    Object* o = object.object();
    if (f.me && o == f.me)
        return InvokeInstance(f.me, name, args, true);
    return o->Invoke(*this, name, args);
}

void Interpreter::AssignMember(const Value& object, std::u16string_view name, std::span<Arg> args,
                               const Value& value, bool set, Frame& f) {
    Object* o = object.object();
    if (f.me && o == f.me) {
        AssignInstance(f.me, name, args, value, set, true);
        return;
    }
    o->Assign(*this, name, args, value, set);
}

Value Interpreter::IndexOrDefault(const Value& v, std::span<Arg> args, const std::u16string& name) {
    if (v.IsArray())
        return *Element(v.array(), args);
    if (v.IsObject()) {
        if (!v.object())
            Throw(kErrObjectRequired, name);
        return v.object()->Invoke(*this, u"", args);
    }
    if (args.empty())
        return v;
    if (name.empty())
        Throw(kErrTypeMismatch);
    Throw(kErrTypeMismatch, name);
}

Value* Interpreter::Element(ArrayData* array, std::span<const int32_t> indices) {
    if (indices.size() != array->upper.size())
        Throw(kErrSubscript);
    size_t offset = 0, scale = 1;
    for (size_t d = 0; d < indices.size(); ++d) {
        int32_t i = indices[d];
        if (i < 0 || i > array->upper[d])
            Throw(kErrSubscript);
        offset += static_cast<size_t>(i) * scale;
        scale *= static_cast<size_t>(array->upper[d]) + 1;
    }
    return &array->items[offset];
}

Value* Interpreter::Element(ArrayData* array, std::span<Arg> args) {
    if (args.size() > kMaxDims)
        Throw(kErrSubscript);
    int32_t indices[kMaxDims];
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i].missing)
            Throw(kErrSubscript);
        indices[i] = ToLong(args[i].get());
    }
    return Element(array, std::span<const int32_t>(indices, args.size()));
}

void Interpreter::EvalArgs(const std::vector<ExprPtr>& exprs, Frame& f, ArgList& out) {
    out.args.resize(exprs.size());
    for (size_t i = 0; i < exprs.size(); ++i) {
        Arg& arg = out.args[i];
        if (!exprs[i]) {
            arg.missing = true;
            continue;
        }
        const Expr& x = *exprs[i];
        if (x.kind == EK::Ident) {
            const auto& id = static_cast<const IdentExpr&>(x);
            Binding::Kind k = Resolve(id, f).kind;
            if (k == Binding::Local || k == Binding::Field || k == Binding::Result ||
                (k == Binding::Global && !globalReadOnly_[static_cast<size_t>(id.binding.index)])) {
                arg.ref = Variable(id, f, false, false);
                continue;
            }
        } else if (x.kind == EK::Call) {
            const auto& c = static_cast<const CallExpr&>(x);
            if (c.target->kind == EK::Ident) {
                const auto& id = static_cast<const IdentExpr&>(*c.target);
                Binding::Kind k = Resolve(id, f).kind;
                if (k == Binding::Local || k == Binding::Field || k == Binding::Global) {
                    Value* var = Variable(id, f, false, false);
                    if (var->IsArray()) {
                        ArgList::Back back{i, var, {}};
                        for (const auto& ix : c.args) {
                            if (!ix)
                                Throw(kErrSubscript);
                            back.indices.push_back(ToLong(Eval(*ix, f)));
                        }
                        if (!var->IsArray())
                            Throw(kErrTypeMismatch, id.original);
                        arg.value = *Element(var->array(), back.indices);
                        arg.ref = &arg.value;
                        out.backs.push_back(std::move(back));
                        continue;
                    }
                }
            }
        }
        arg.value = Eval(x, f);
    }
}

void Interpreter::WriteBack(ArgList& args) {
    for (auto& back : args.backs) {
        if (!back.var->IsArray())
            continue;
        try {
            const Value& now = args.args[back.arg].value;
            if (Element(back.var->array(), back.indices)->SameAs(now))
                continue; // unchanged: no need to unshare the array
            *Element(back.var->MutableArray(), back.indices) = now;
        } catch (const ScriptException&) {
            // The callee resized the array: the element is gone.
        }
    }
}

// --- Procedures and objects ---

Value Interpreter::CallProcedure(const Procedure& proc, ClassInstance* me, std::span<Arg> args,
                                 const Value* assigned) {
    CheckInterrupt();
    const size_t params = proc.params.size();
    if (args.size() + (assigned ? 1 : 0) != params)
        Throw(kErrArgumentCount, proc.original);
    if (depth_ >= kMaxDepth || (tls_stackLimit && StackPosition() < tls_stackLimit))
        Throw(kErrOutOfStack);
    std::vector<Value> storage(static_cast<size_t>(proc.slotCount));
    std::vector<Value*> slots(static_cast<size_t>(proc.slotCount));
    for (size_t i = 0; i < slots.size(); ++i)
        slots[i] = &storage[i];
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i].missing)
            continue;
        if (proc.params[i].byRef && args[i].ref)
            slots[i] = args[i].ref;
        else
            storage[i] = args[i].get();
    }
    if (assigned)
        storage[params - 1] = *assigned;
    Frame frame;
    frame.proc = &proc;
    frame.slots = slots.data();
    frame.me = me;
    frame.optionExplicit = proc.optionExplicit;
    Value meHold = me ? Value::Object(me) : Value();
    struct Enter {
        Interpreter* in;
        Frame* saved;
        Enter(Interpreter* i, Frame* f) : in(i), saved(i->frame_) {
            in->frame_ = f;
            ++in->depth_;
        }
        ~Enter() {
            in->frame_ = saved;
            --in->depth_;
        }
    } enter(this, &frame);
    ExecBlock(proc.body, frame);
    return std::move(frame.result);
}

Value Interpreter::InvokeInstance(ClassInstance* inst, std::u16string_view name,
                                  std::span<Arg> args, bool inside) {
    const ClassDef& d = inst->def();
    std::u16string key(name.empty() ? std::u16string_view(d.defaultMember) : name);
    if (key.empty())
        Throw(kErrNoSuchMember, d.original);
    if (auto it = d.fieldIndex.find(key); it != d.fieldIndex.end()) {
        if (d.fields[static_cast<size_t>(it->second)].isPublic || inside) {
            Value v = inst->field(it->second);
            if (args.empty())
                return v;
            return IndexOrDefault(v, args, key);
        }
    }
    if (auto it = d.methods.find(key); it != d.methods.end())
        if (it->second->isPublic || inside)
            return CallProcedure(*it->second, inst, args, nullptr);
    if (auto it = d.properties.find(key); it != d.properties.end() && it->second.get)
        if (it->second.get->isPublic || inside)
            return CallProcedure(*it->second.get, inst, args, nullptr);
    Throw(kErrNoSuchMember, key);
}

void Interpreter::AssignInstance(ClassInstance* inst, std::u16string_view name, std::span<Arg> args,
                                 const Value& value, bool set, bool inside) {
    const ClassDef& d = inst->def();
    std::u16string key(name.empty() ? std::u16string_view(d.defaultMember) : name);
    if (key.empty())
        Throw(kErrNoSuchMember, d.original);
    if (auto it = d.fieldIndex.find(key); it != d.fieldIndex.end()) {
        if (d.fields[static_cast<size_t>(it->second)].isPublic || inside) {
            Value& field = inst->field(it->second);
            if (args.empty()) {
                field = value;
                return;
            }
            if (field.IsArray()) {
                *Element(field.MutableArray(), args) = value;
                return;
            }
            if (field.IsObject() && field.object()) {
                Value object = field;
                object.object()->Assign(*this, u"", args, value, set);
                return;
            }
            Throw(kErrTypeMismatch, key);
        }
    }
    if (auto it = d.properties.find(key); it != d.properties.end()) {
        const Procedure* p = set ? it->second.set : it->second.let;
        if (p && (p->isPublic || inside)) {
            CallProcedure(*p, inst, args, &value);
            return;
        }
    }
    Throw(kErrNoSuchMember, key);
}

Value Interpreter::EvalText(std::u16string_view text) {
    if (!frame_)
        Throw(kErrInvalidCall);
    ExprPtr e;
    try {
        e = ParseExpression(text, 1);
    } catch (ScriptException& ex) {
        ex.line = 0; // the line of the statement that called Eval
        throw;
    }
    return Eval(*e, *frame_);
}

void Interpreter::ExecuteText(std::u16string_view text, bool global) {
    if (!frame_)
        Throw(kErrInvalidCall);
    std::unique_ptr<Program> program;
    try {
        program = ParseProgram(text, 1);
    } catch (ScriptException& ex) {
        ex.line = 0;
        throw;
    }
    Install(*program);
    Frame& target = global && globalFrame_ ? *globalFrame_ : *frame_;
    const Program& p = *program;
    bool keep = !p.procedures.empty() || !p.classes.empty();
    if (keep)
        programs_.push_back(std::move(program));
    try {
        ExecBlock(p.body, target);
    } catch (ScriptException& ex) {
        ex.line = 0;
        throw;
    }
}

} // namespace platform::vbscript
