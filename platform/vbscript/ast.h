// The syntax tree the parser builds and the evaluator walks: expressions,
// statements, procedures, classes and the program of one script text.
// Identifier nodes keep what a name was found to mean the first time it was
// evaluated, so later evaluations skip the lookup.
#pragma once

#include "platform/vbscript/value.h"

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace platform::vbscript {

struct Procedure;
struct ClassDef;
struct BuiltinFunction;

enum class Op : uint8_t {
    Pow,
    Neg,
    Mul,
    Div,
    IntDiv,
    Mod,
    Add,
    Sub,
    Concat,
    Eq,
    Ne,
    Lt,
    Gt,
    Le,
    Ge,
    Is,
    Not,
    And,
    Or,
    Xor,
    Eqv,
    Imp,
};

enum class EK : uint8_t { Literal, Ident, Member, Call, Unary, Binary, New, Me, Paren };

struct Expr {
    explicit Expr(EK k, int l) : kind(k), line(l) {}
    virtual ~Expr() = default;
    EK kind;
    int line;
};
using ExprPtr = std::unique_ptr<Expr>;

struct LiteralExpr : Expr {
    LiteralExpr(int l, Value v, bool n) : Expr(EK::Literal, l), value(std::move(v)), number(n) {}
    Value value;
    bool number; // a numeric literal: compared with a string, the string is read as a number
};

// What a name means where it stands.
struct Binding {
    enum Kind : uint8_t {
        Unbound,
        Local,    // slot of the frame
        Result,   // the function's own return value
        Global,   // global variable
        Field,    // field of Me
        Member,   // method or property of Me
        Proc,     // global Sub or Function
        Builtin,  // built-in function
        Constant, // built-in constant
    };
    Kind kind = Unbound;
    int index = 0;
    const void* target = nullptr;
};

struct IdentExpr : Expr {
    IdentExpr(int l, std::u16string n, std::u16string o)
        : Expr(EK::Ident, l), name(std::move(n)), original(std::move(o)) {}
    std::u16string name; // lower case
    std::u16string original;
    mutable Binding binding;
};

struct MemberExpr : Expr {
    MemberExpr(int l, ExprPtr o, std::u16string n)
        : Expr(EK::Member, l), object(std::move(o)), name(std::move(n)) {}
    ExprPtr object; // null: the object of the enclosing With
    std::u16string name;
};

struct CallExpr : Expr {
    CallExpr(int l, ExprPtr t) : Expr(EK::Call, l), target(std::move(t)) {}
    ExprPtr target;            // an IdentExpr, MemberExpr or another CallExpr
    std::vector<ExprPtr> args; // null for an argument left out
};

struct UnaryExpr : Expr {
    UnaryExpr(int l, Op o, ExprPtr e) : Expr(EK::Unary, l), op(o), operand(std::move(e)) {}
    Op op;
    ExprPtr operand;
};

struct BinaryExpr : Expr {
    BinaryExpr(int l, Op o, ExprPtr a, ExprPtr b)
        : Expr(EK::Binary, l), op(o), left(std::move(a)), right(std::move(b)) {}
    Op op;
    ExprPtr left, right;
};

struct NewExpr : Expr {
    NewExpr(int l, std::u16string n, std::u16string o)
        : Expr(EK::New, l), name(std::move(n)), original(std::move(o)) {}
    std::u16string name, original;
};

// (expression): the value, never the variable, so ByRef does not reach it.
struct ParenExpr : Expr {
    ParenExpr(int l, ExprPtr e) : Expr(EK::Paren, l), inner(std::move(e)) {}
    ExprPtr inner;
};

enum class SK : uint8_t {
    Call,
    Assign,
    Dim,
    ReDim,
    Const,
    If,
    Select,
    For,
    ForEach,
    Do,
    Exit,
    OnError,
    With,
    Erase,
    Empty,
};

struct Stmt {
    explicit Stmt(SK k, int l) : kind(k), line(l) {}
    virtual ~Stmt() = default;
    SK kind;
    int line;
};
using StmtPtr = std::unique_ptr<Stmt>;
using Block = std::vector<StmtPtr>;

// A Sub call as a statement: "F a, b", "Call F(a, b)", "obj.M a".
struct CallStmt : Stmt {
    CallStmt(int l, ExprPtr c) : Stmt(SK::Call, l), call(std::move(c)) {}
    ExprPtr call;
};

struct AssignStmt : Stmt {
    AssignStmt(int l, ExprPtr t, ExprPtr v, bool s)
        : Stmt(SK::Assign, l), target(std::move(t)), value(std::move(v)), set(s) {}
    ExprPtr target, value;
    bool set;
};

struct VarDecl {
    std::unique_ptr<IdentExpr> name;
    std::vector<ExprPtr> bounds; // array dimensions' upper bounds
    bool array = false;          // "x()" or "x(n)"
};

struct DimStmt : Stmt {
    explicit DimStmt(int l) : Stmt(SK::Dim, l) {}
    std::vector<VarDecl> decls;
};

struct ReDimStmt : Stmt {
    ReDimStmt(int l, bool p) : Stmt(SK::ReDim, l), preserve(p) {}
    bool preserve;
    std::vector<VarDecl> decls;
};

struct ConstStmt : Stmt {
    explicit ConstStmt(int l) : Stmt(SK::Const, l) {}
    std::vector<std::pair<std::unique_ptr<IdentExpr>, ExprPtr>> items;
};

struct IfStmt : Stmt {
    explicit IfStmt(int l) : Stmt(SK::If, l) {}
    std::vector<std::pair<ExprPtr, Block>> branches;
    Block otherwise;
};

struct CaseClause {
    std::vector<ExprPtr> values;
    Block body;
    int line = 0;
};

struct SelectStmt : Stmt {
    explicit SelectStmt(int l) : Stmt(SK::Select, l) {}
    ExprPtr subject;
    std::vector<CaseClause> cases;
    bool hasElse = false;
    Block otherwise;
};

struct ForStmt : Stmt {
    explicit ForStmt(int l) : Stmt(SK::For, l) {}
    std::unique_ptr<IdentExpr> var;
    ExprPtr from, to, step;
    Block body;
};

struct ForEachStmt : Stmt {
    explicit ForEachStmt(int l) : Stmt(SK::ForEach, l) {}
    std::unique_ptr<IdentExpr> var;
    ExprPtr collection;
    Block body;
};

struct DoStmt : Stmt {
    explicit DoStmt(int l) : Stmt(SK::Do, l) {}
    ExprPtr cond;       // null: no condition
    bool until = false; // loop while the condition is false
    bool atTop = true;  // tested before each pass
    bool isWhileWend = false;
    Block body;
};

enum class ExitKind : uint8_t { Do, For, Sub, Function, Property };

struct ExitStmt : Stmt {
    ExitStmt(int l, ExitKind w) : Stmt(SK::Exit, l), what(w) {}
    ExitKind what;
};

struct OnErrorStmt : Stmt {
    OnErrorStmt(int l, bool r) : Stmt(SK::OnError, l), resumeNext(r) {}
    bool resumeNext;
};

struct WithStmt : Stmt {
    explicit WithStmt(int l) : Stmt(SK::With, l) {}
    ExprPtr object;
    Block body;
};

struct EraseStmt : Stmt {
    explicit EraseStmt(int l) : Stmt(SK::Erase, l) {}
    std::vector<std::unique_ptr<IdentExpr>> targets;
};

struct EmptyStmt : Stmt {
    explicit EmptyStmt(int l) : Stmt(SK::Empty, l) {}
};

enum class ProcKind : uint8_t { Sub, Function, PropertyGet, PropertyLet, PropertySet };

struct Param {
    std::u16string name;
    bool byRef = true;
};

struct Procedure {
    ProcKind kind = ProcKind::Sub;
    std::u16string name, original;
    std::vector<Param> params;
    Block body;
    bool isPublic = true;
    bool isDefault = false;
    ClassDef* owner = nullptr;
    bool optionExplicit = false;
    int line = 0;
    // Parameters first, then Dim and Const names, then names only assigned
    // (implicit locals, used when nothing else has the name).
    std::unordered_map<std::u16string, int> locals;
    std::unordered_map<std::u16string, int> implicitLocals;
    // Names given their size by ReDim without a declaration: locals unless
    // a global has the name, also under Option Explicit.
    std::unordered_map<std::u16string, int> redimLocals;
    int slotCount = 0;
};

struct FieldDecl {
    std::u16string name;
    bool isPublic = true;
    bool array = false;
    std::vector<int32_t> bounds; // of a fixed-size array field
};

struct PropertySet {
    Procedure* get = nullptr;
    Procedure* let = nullptr;
    Procedure* set = nullptr;
};

struct ClassDef {
    std::u16string name, original;
    std::vector<FieldDecl> fields;
    std::unordered_map<std::u16string, int> fieldIndex;
    std::unordered_map<std::u16string, Procedure*> methods;
    std::unordered_map<std::u16string, PropertySet> properties;
    std::u16string defaultMember; // empty: none
    Procedure* initialize = nullptr;
    Procedure* terminate = nullptr;
    std::vector<std::unique_ptr<Procedure>> procedures;
};

// One parsed script text (or Execute snippet).
struct Program {
    Block body;
    std::vector<std::unique_ptr<Procedure>> procedures;
    std::vector<std::unique_ptr<ClassDef>> classes;
    std::vector<std::u16string> globals; // names declared at top level (Dim, Const, ReDim)
    bool optionExplicit = false;
};

} // namespace platform::vbscript
