// The evaluator: runs the syntax tree of parsed script texts. It owns the
// global variables, procedures and classes that the texts declare, the Err
// object and the state of the random generator. Run-time errors travel as
// ScriptException and stop at the innermost statement under On Error
// Resume Next; an interrupt (checked at every loop pass and procedure call)
// travels as Interrupted and no handler stops it.
#pragma once

#include "platform/vbscript/ast.h"
#include "platform/vbscript/errors.h"
#include "platform/vbscript/object.h"
#include "platform/vbscript/value.h"

#include <atomic>
#include <deque>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace platform::vbscript {

class ClassInstance;
class ErrObject;

class Interpreter {
public:
    // interrupt: set from any thread to stop the running script.
    explicit Interpreter(const std::atomic<bool>* interrupt);
    ~Interpreter();
    Interpreter(const Interpreter&) = delete;
    Interpreter& operator=(const Interpreter&) = delete;

    // Parses the whole text (a syntax error is thrown before anything runs),
    // declares its globals, procedures and classes, and runs its statements.
    void Run(std::u16string_view text, int firstLine);
    // One expression evaluated at the top level (the host's expression
    // texts).
    Value Evaluate(std::u16string_view text, int firstLine);
    // A global that scripts read but cannot assign (a named item).
    void AddGlobalObject(const std::u16string& name, Object* object);
    // Lets go of every global, running the terminators of script objects
    // unless the run was interrupted.
    void Shutdown();

    // --- For built-ins and objects ---
    Value CallProcedure(const Procedure& proc, ClassInstance* me, std::span<Arg> args,
                        const Value* assigned);
    Value InvokeInstance(ClassInstance* inst, std::u16string_view name, std::span<Arg> args,
                         bool inside);
    void AssignInstance(ClassInstance* inst, std::u16string_view name, std::span<Arg> args,
                        const Value& value, bool set, bool inside);
    // An element of an array value (Subscript out of range outside it).
    static Value* Element(ArrayData* array, std::span<Arg> indices);
    static Value* Element(ArrayData* array, std::span<const int32_t> indices);
    // Eval, Execute and ExecuteGlobal: in the scope of the running procedure
    // (global: at the top level).
    Value EvalText(std::u16string_view text);
    void ExecuteText(std::u16string_view text, bool global);
    ErrObject& err() { return *err_; }
    bool interrupted() const { return interrupt_->load(std::memory_order_relaxed); }
    // False once a run was interrupted: Class_Terminate code is not started
    // any more, so a stopped script cannot go on running in its terminators.
    bool terminatorsAllowed() const { return !stopped_ && !interrupted(); }
    void CheckInterrupt() const {
        if (interrupt_->load(std::memory_order_relaxed))
            throw Interrupted{};
    }
    uint32_t& rndSeed() { return rndSeed_; }
    double& rndLast() { return rndLast_; }

    struct Frame;

private:
    enum class Flow { Normal, ExitDo, ExitFor, ExitProc };

    void Install(const Program& program);
    Flow ExecBlock(const Block& block, Frame& f);
    Flow Trapped(int32_t number, int line, Frame& f);
    Flow Exec(const Stmt& s, Frame& f);
    Flow ExecFor(const ForStmt& s, Frame& f);
    Flow ExecForEach(const ForEachStmt& s, Frame& f);
    Flow ExecDo(const DoStmt& s, Frame& f);
    void ExecAssign(const AssignStmt& s, Frame& f);
    void ExecReDim(const ReDimStmt& s, Frame& f);
    void Assign(const Expr& target, Value value, bool set, Frame& f);
    void AssignMid(std::span<Arg> args, const Value& value, const std::u16string& name);

    Value Eval(const Expr& e, Frame& f);
    Value EvalIdent(const IdentExpr& e, Frame& f);
    Value EvalCall(const CallExpr& e, Frame& f);
    Value EvalBinary(const BinaryExpr& e, Frame& f);
    Value EvalNew(const NewExpr& e);
    Value ObjectOf(const Expr* object, Frame& f); // the object of a member access
    Value InvokeMember(const Value& object, std::u16string_view name, std::span<Arg> args,
                       Frame& f);
    void AssignMember(const Value& object, std::u16string_view name, std::span<Arg> args,
                      const Value& value, bool set, Frame& f);
    Value IndexOrDefault(const Value& v, std::span<Arg> args, const std::u16string& name);

    // Resolves a name where it stands: the procedure's locals, its own name,
    // the members of its class, globals, procedures, built-ins, then the
    // locals it only assigns. Unbound results are not kept.
    const Binding& Resolve(const IdentExpr& e, Frame& f);
    // The variable a name denotes, created as a global if the rules allow
    // (declaring: also under Option Explicit); null when the name is no
    // variable.
    // write: for an assignment (read-only globals refuse it).
    Value* Variable(const IdentExpr& e, Frame& f, bool declaring, bool write);
    int NewGlobal(const std::u16string& name);

    struct ArgList;
    void EvalArgs(const std::vector<ExprPtr>& exprs, Frame& f, ArgList& out);
    void WriteBack(ArgList& args);

    const std::atomic<bool>* interrupt_;
    std::deque<Value> globals_; // stable addresses: ByRef arguments point into it
    std::vector<bool> globalReadOnly_;
    std::unordered_map<std::u16string, int> globalIndex_;
    std::unordered_map<std::u16string, const Procedure*> procedures_;
    std::unordered_map<std::u16string, const ClassDef*> classes_;
    std::vector<std::unique_ptr<Program>> programs_; // kept while their code may run
    Frame* frame_ = nullptr;                         // innermost running frame
    Frame* globalFrame_ = nullptr;
    int depth_ = 0;
    std::unordered_map<std::u16string, Value> constants_;
    ErrObject* err_;
    Value errValue_;
    uint32_t rndSeed_ = 0x50000;
    double rndLast_ = 0;
    bool shutDown_ = false;
    bool stopped_ = false;
};

// The interpreter running on this thread, for conversions that must read an
// object's default member; null outside a run.
Interpreter* CurrentInterpreter();

} // namespace platform::vbscript
