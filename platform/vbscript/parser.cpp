// Grammar (case-insensitive; NL is a line end or ':'):
//
//   program    := { option-explicit | class | procedure | declaration | statement } NL...
//   class      := "Class" name NL { member } "End" "Class"
//   member     := ["Public"|"Private"] ["Default"] procedure | ("Public"|"Private"|"Dim") var-list
//   procedure  := ("Sub"|"Function") name [params] NL block "End" ("Sub"|"Function")
//               | "Property" ("Get"|"Let"|"Set") name [params] NL block "End" "Property"
//   params     := "(" [ ["ByVal"|"ByRef"] name ["()"] { "," ... } ] ")"
//   statement  := "Dim" var-list | "ReDim" ["Preserve"] var-list | "Const" name "=" expr {","...}
//               | "If" expr "Then" (NL block {"ElseIf" expr "Then" NL block} ["Else" NL block]
//                                   "End" "If" | line-stmts ["Else" line-stmts])
//               | "Select" "Case" expr NL {"Case" ("Else" | expr {"," expr}) NL block}
//                 "End" "Select"
//               | "For" name "=" expr "To" expr ["Step" expr] NL block "Next"
//               | "For" "Each" name "In" expr NL block "Next"
//               | "Do" [("While"|"Until") expr] NL block "Loop" [("While"|"Until") expr]
//               | "While" expr NL block "Wend"
//               | "Exit" ("Do"|"For"|"Sub"|"Function"|"Property")
//               | "On" "Error" ("Resume" "Next" | "GoTo" "0")
//               | "With" expr NL block "End" "With" | "Erase" name {"," name}
//               | "Set" ref "=" expr | ref "=" expr | "Call" ref | ref [args]
//   var-list   := name ["(" [expr {"," expr}] ")"] { "," ... }
//   ref        := (name | "." name | "Me") { "." name | "(" args ")" }
//   expr       := imp;  imp := eqv {"Imp" eqv};  eqv := xor {"Eqv" xor}
//   xor := or {"Xor" or};  or := and {"Or" and};  and := not {"And" not}
//   not := "Not" not | cmp;  cmp := concat {("="|"<>"|"<"|">"|"<="|">="|"Is") concat}
//   concat := add {"&" add};  add := mod {("+"|"-") mod};  mod := idiv {"Mod" idiv}
//   idiv := mul {"\" mul};  mul := unary {("*"|"/") unary};  unary := ("-"|"+") unary | pow
//   pow := postfix {"^" ["-"] postfix}
//   postfix := literal | "New" name | "(" expr ")" | ref
#include "platform/vbscript/parser.h"

#include "platform/vbscript/errors.h"
#include "platform/vbscript/lexer.h"

#include <set>

namespace platform::vbscript {

namespace {

const std::set<std::u16string> kReserved = {
    u"and",  u"byref",  u"byval", u"call",     u"case",    u"class",  u"const",   u"dim",
    u"do",   u"each",   u"else",  u"elseif",   u"empty",   u"end",    u"eqv",     u"erase",
    u"exit", u"false",  u"for",   u"function", u"if",      u"imp",    u"in",      u"is",
    u"loop", u"me",     u"mod",   u"new",      u"next",    u"not",    u"nothing", u"null",
    u"on",   u"option", u"or",    u"preserve", u"private", u"public", u"redim",   u"select",
    u"set",  u"sub",    u"then",  u"to",       u"true",    u"until",  u"wend",    u"while",
    u"with", u"xor"};

// Deeper nesting than this (of statements or expressions) is refused, so a
// pathological text cannot exhaust the stack of the parser or evaluator.
constexpr int kMaxNesting = 400;

class Parser {
public:
    Parser(std::u16string_view text, int firstLine) : toks_(Tokenize(text, firstLine)) {}

    std::unique_ptr<Program> Run() {
        prog_ = std::make_unique<Program>();
        SkipSeparators();
        if (IsWord(u"option")) {
            Next();
            ExpectWord(u"explicit", kSynSyntax);
            prog_->optionExplicit = true;
            ExpectEndOfStatement();
        }
        for (;;) {
            SkipSeparators();
            if (Peek().kind == Tok::End)
                break;
            TopLevel();
        }
        return std::move(prog_);
    }

    ExprPtr RunExpression() {
        prog_ = std::make_unique<Program>();
        SkipSeparators();
        ExprPtr e = Expression();
        SkipSeparators();
        if (Peek().kind != Tok::End)
            Fail(kSynExpectedEndOfStatement);
        return e;
    }

private:
    // --- Tokens ---
    const Token& Peek(size_t ahead = 0) const {
        size_t i = pos_ + ahead;
        return i < toks_.size() ? toks_[i] : toks_.back();
    }
    const Token& Next() {
        const Token& t = Peek();
        if (pos_ < toks_.size() - 1)
            ++pos_;
        return t;
    }
    bool IsWord(std::u16string_view w, size_t ahead = 0) const {
        const Token& t = Peek(ahead);
        return t.kind == Tok::Word && t.text == w;
    }
    bool IsOp(std::u16string_view op, size_t ahead = 0) const {
        const Token& t = Peek(ahead);
        return t.kind == Tok::Op && t.text == op;
    }
    bool AcceptWord(std::u16string_view w) {
        if (!IsWord(w))
            return false;
        Next();
        return true;
    }
    bool AcceptOp(std::u16string_view op) {
        if (!IsOp(op))
            return false;
        Next();
        return true;
    }
    [[noreturn]] void Fail(int32_t number) const { FailAt(number, Peek().line); }
    [[noreturn]] void FailAt(int32_t number, int line) const {
        ScriptException e;
        e.number = number;
        e.description = ErrorText(number);
        e.line = line;
        e.syntax = true;
        throw e;
    }
    void ExpectWord(std::u16string_view w, int32_t error) {
        if (!AcceptWord(w))
            Fail(error);
    }
    void ExpectOp(std::u16string_view op, int32_t error) {
        if (!AcceptOp(op))
            Fail(error);
    }
    bool AtStatementEnd() const {
        const Token& t = Peek();
        return t.kind == Tok::Newline || t.kind == Tok::Colon || t.kind == Tok::End ||
               (singleLine_ > 0 && t.kind == Tok::Word && t.text == u"else");
    }
    void ExpectEndOfStatement() {
        if (!AtStatementEnd())
            Fail(kSynExpectedEndOfStatement);
    }
    void SkipSeparators() {
        while (Peek().kind == Tok::Newline || Peek().kind == Tok::Colon)
            Next();
    }
    // A name that may be declared or assigned.
    std::unique_ptr<IdentExpr> Name() {
        const Token& t = Peek();
        if (t.kind != Tok::Word || kReserved.count(t.text))
            Fail(kSynExpectedIdentifier);
        Next();
        return std::make_unique<IdentExpr>(t.line, t.text, t.original);
    }
    // After '.', any word names a member.
    std::u16string MemberName() {
        const Token& t = Peek();
        if (t.kind != Tok::Word)
            Fail(kSynExpectedIdentifier);
        Next();
        return t.text;
    }

    // --- Declarations ---
    void Declare(const std::u16string& name) {
        if (proc_) {
            if (!proc_->locals.count(name))
                proc_->locals[name] = proc_->slotCount++;
        } else if (!class_) {
            prog_->globals.push_back(name);
        }
    }
    void Assigned(const std::u16string& name) {
        if (proc_)
            assigned_.insert(name);
    }

    void TopLevel() {
        bool isPublic = true, modifier = false, isDefault = false;
        int line = Peek().line;
        if (IsWord(u"public") || IsWord(u"private")) {
            isPublic = Next().text == u"public";
            modifier = true;
            if (AcceptWord(u"default"))
                isDefault = true;
        }
        if (IsWord(u"sub") || IsWord(u"function") || IsWord(u"property")) {
            auto p = ProcedureDecl(nullptr, isPublic, isDefault);
            prog_->procedures.push_back(std::move(p));
            return;
        }
        if (isDefault)
            Fail(kSynSyntax);
        if (IsWord(u"class")) {
            if (modifier)
                Fail(kSynSyntax);
            ClassDecl();
            return;
        }
        if (modifier) {
            if (IsWord(u"const")) {
                prog_->body.push_back(ConstDecl());
            } else {
                auto dim = std::make_unique<DimStmt>(line);
                VarList(dim->decls, true);
                prog_->body.push_back(std::move(dim));
            }
            ExpectEndOfStatement();
            return;
        }
        prog_->body.push_back(Statement());
        ExpectEndOfStatement();
    }

    void ClassDecl() {
        int line = Next().line; // Class
        auto cls = std::make_unique<ClassDef>();
        auto name = Name();
        cls->name = name->name;
        cls->original = name->original;
        ExpectEndOfStatement();
        class_ = cls.get();
        for (;;) {
            SkipSeparators();
            if (Peek().kind == Tok::End)
                FailAt(kSynExpectedEnd, line);
            if (AcceptWord(u"end")) {
                ExpectWord(u"class", kSynExpectedClass);
                ExpectEndOfStatement();
                break;
            }
            bool isPublic = true, modifier = false, isDefault = false;
            if (IsWord(u"public") || IsWord(u"private")) {
                isPublic = Next().text == u"public";
                modifier = true;
                if (AcceptWord(u"default")) {
                    if (!isPublic)
                        Fail(kSynSyntax);
                    isDefault = true;
                }
            }
            if (IsWord(u"sub") || IsWord(u"function") || IsWord(u"property")) {
                auto p = ProcedureDecl(cls.get(), isPublic, isDefault);
                AddMember(*cls, std::move(p));
                continue;
            }
            if (isDefault)
                Fail(kSynSyntax);
            if (!modifier && !AcceptWord(u"dim"))
                Fail(kSynExpectedStatement);
            for (;;) {
                auto n = Name();
                FieldDecl f;
                f.name = n->name;
                f.isPublic = isPublic;
                if (AcceptOp(u"(")) {
                    f.array = true;
                    if (!IsOp(u")"))
                        for (;;) {
                            const Token& t = Peek();
                            if (t.kind != Tok::Number)
                                Fail(kSynExpectedInteger);
                            Next();
                            f.bounds.push_back(ToLong(t.value));
                            if (!AcceptOp(u","))
                                break;
                        }
                    ExpectOp(u")", kSynExpectedRParen);
                }
                if (cls->fieldIndex.count(f.name))
                    FailAt(kSynNameRedefined, n->line);
                cls->fieldIndex[f.name] = static_cast<int>(cls->fields.size());
                cls->fields.push_back(std::move(f));
                if (!AcceptOp(u","))
                    break;
            }
            ExpectEndOfStatement();
        }
        class_ = nullptr;
        prog_->classes.push_back(std::move(cls));
    }

    void AddMember(ClassDef& cls, std::unique_ptr<Procedure> p) {
        Procedure* raw = p.get();
        if (raw->isDefault) {
            if (!cls.defaultMember.empty() && cls.defaultMember != raw->name)
                FailAt(kSynSyntax, raw->line);
            cls.defaultMember = raw->name;
        }
        switch (raw->kind) {
        case ProcKind::Sub:
        case ProcKind::Function:
            if (cls.methods.count(raw->name) || cls.properties.count(raw->name))
                FailAt(kSynNameRedefined, raw->line);
            cls.methods[raw->name] = raw;
            if (raw->name == u"class_initialize")
                cls.initialize = raw;
            else if (raw->name == u"class_terminate")
                cls.terminate = raw;
            if ((raw == cls.initialize || raw == cls.terminate) && !raw->params.empty())
                FailAt(kSynSyntax, raw->line);
            break;
        case ProcKind::PropertyGet:
            cls.properties[raw->name].get = raw;
            break;
        case ProcKind::PropertyLet:
            cls.properties[raw->name].let = raw;
            break;
        case ProcKind::PropertySet:
            cls.properties[raw->name].set = raw;
            break;
        }
        cls.procedures.push_back(std::move(p));
    }

    std::unique_ptr<Procedure> ProcedureDecl(ClassDef* owner, bool isPublic, bool isDefault) {
        if (proc_)
            Fail(kSynSyntax);
        auto p = std::make_unique<Procedure>();
        p->line = Peek().line;
        p->owner = owner;
        p->isPublic = isPublic;
        p->isDefault = isDefault;
        p->optionExplicit = prog_->optionExplicit;
        std::u16string endWord;
        if (AcceptWord(u"sub")) {
            p->kind = ProcKind::Sub;
            endWord = u"sub";
        } else if (AcceptWord(u"function")) {
            p->kind = ProcKind::Function;
            endWord = u"function";
        } else {
            Next(); // Property
            if (!owner)
                Fail(kSynInsideClass);
            if (AcceptWord(u"get"))
                p->kind = ProcKind::PropertyGet;
            else if (AcceptWord(u"let"))
                p->kind = ProcKind::PropertyLet;
            else if (AcceptWord(u"set"))
                p->kind = ProcKind::PropertySet;
            else
                Fail(kSynExpectedLetSetGet);
            endWord = u"property";
        }
        auto name = Name();
        p->name = name->name;
        p->original = name->original;
        proc_ = p.get();
        assigned_.clear();
        redimmed_.clear();
        doDepth_ = forDepth_ = 0;
        if (AcceptOp(u"(")) {
            if (!IsOp(u")"))
                for (;;) {
                    Param param;
                    if (AcceptWord(u"byval"))
                        param.byRef = false;
                    else
                        AcceptWord(u"byref");
                    auto pn = Name();
                    param.name = pn->name;
                    if (AcceptOp(u"("))
                        ExpectOp(u")", kSynExpectedRParen);
                    if (p->locals.count(param.name))
                        FailAt(kSynNameRedefined, pn->line);
                    p->locals[param.name] = p->slotCount++;
                    p->params.push_back(param);
                    if (!AcceptOp(u","))
                        break;
                }
            ExpectOp(u")", kSynExpectedRParen);
        }
        if ((p->kind == ProcKind::PropertyLet || p->kind == ProcKind::PropertySet) &&
            p->params.empty())
            FailAt(kSynSyntax, p->line);
        ExpectEndOfStatement();
        Body(p->body);
        ExpectWord(u"end", kSynExpectedEnd);
        if (!AcceptWord(endWord))
            Fail(endWord == u"sub"        ? kSynExpectedSub
                 : endWord == u"function" ? kSynExpectedFunction
                                          : kSynExpectedProperty);
        ExpectEndOfStatement();
        for (const auto& n : redimmed_)
            if (!p->locals.count(n) && n != p->name)
                p->redimLocals[n] = p->slotCount++;
        for (const auto& n : assigned_)
            if (!p->locals.count(n) && !p->redimLocals.count(n) && n != p->name)
                p->implicitLocals[n] = p->slotCount++;
        proc_ = nullptr;
        return p;
    }

    // --- Statements ---
    // Parses statements into block until a word that closes a block opens a
    // statement (or the text ends); the caller checks that it is its own.
    void Body(Block& block) {
        static const std::u16string_view kClosers[] = {u"end",  u"else", u"elseif", u"next",
                                                       u"loop", u"wend", u"case"};
        for (;;) {
            SkipSeparators();
            const Token& t = Peek();
            if (t.kind == Tok::End)
                return;
            if (t.kind == Tok::Word)
                for (auto s : kClosers)
                    if (t.text == s)
                        return;
            block.push_back(Statement());
            ExpectEndOfStatement();
        }
    }

    class Nest {
    public:
        explicit Nest(Parser* p) : p_(p) {
            if (++p_->nesting_ > kMaxNesting)
                p_->Fail(kErrOutOfStack);
        }
        ~Nest() { --p_->nesting_; }

    private:
        Parser* p_;
    };

    StmtPtr Statement() {
        Nest nest(this);
        const Token& t = Peek();
        int line = t.line;
        if (t.kind != Tok::Word && !(t.kind == Tok::Op && t.text == u"."))
            Fail(kSynExpectedStatement);
        const std::u16string& w = t.text;
        if (t.kind == Tok::Word) {
            if (w == u"dim") {
                Next();
                auto dim = std::make_unique<DimStmt>(line);
                VarList(dim->decls, true);
                return dim;
            }
            if (w == u"redim") {
                Next();
                auto stmt = std::make_unique<ReDimStmt>(line, AcceptWord(u"preserve"));
                VarList(stmt->decls, false);
                for (auto& d : stmt->decls) {
                    if (d.bounds.empty())
                        Fail(kSynExpectedLParen);
                    if (proc_)
                        redimmed_.insert(d.name->name);
                    else
                        prog_->globals.push_back(d.name->name);
                }
                return stmt;
            }
            if (w == u"const")
                return ConstDecl();
            if (w == u"if")
                return If();
            if (w == u"select")
                return Select();
            if (w == u"for")
                return For();
            if (w == u"do")
                return Do();
            if (w == u"while")
                return While();
            if (w == u"exit")
                return Exit();
            if (w == u"on")
                return OnError();
            if (w == u"with")
                return With();
            if (w == u"erase") {
                Next();
                auto stmt = std::make_unique<EraseStmt>(line);
                do
                    stmt->targets.push_back(Name());
                while (AcceptOp(u","));
                return stmt;
            }
            if (w == u"call") {
                Next();
                ExprPtr ref = Reference(false);
                if (ref->kind != EK::Call && ref->kind != EK::Ident && ref->kind != EK::Member)
                    FailAt(kSynExpectedIdentifier, line);
                return std::make_unique<CallStmt>(line, std::move(ref));
            }
            if (w == u"set") {
                Next();
                ExprPtr target = Reference(false);
                ExpectOp(u"=", kSynExpectedEquals);
                if (target->kind == EK::Ident)
                    Assigned(static_cast<IdentExpr*>(target.get())->name);
                return std::make_unique<AssignStmt>(line, std::move(target), Expression(), true);
            }
            if (w == u"option")
                Fail(kSynMustBeFirst);
            if (w == u"stop") { // a breakpoint; there is no debugger to stop in
                Next();
                return std::make_unique<EmptyStmt>(line);
            }
            if (w == u"sub" || w == u"function" || w == u"class" || w == u"property" ||
                w == u"public" || w == u"private")
                Fail(kSynSyntax);
            if (w == u"let") {
                Next();
                ExprPtr target = Reference(false);
                ExpectOp(u"=", kSynExpectedEquals);
                if (target->kind == EK::Ident)
                    Assigned(static_cast<IdentExpr*>(target.get())->name);
                return std::make_unique<AssignStmt>(line, std::move(target), Expression(), false);
            }
            if (kReserved.count(w) && w != u"me")
                Fail(kSynExpectedStatement);
        }
        ExprPtr ref = Reference(true);
        if (AcceptOp(u"=")) {
            if (ref->kind == EK::Ident)
                Assigned(static_cast<IdentExpr*>(ref.get())->name);
            if (ref->kind == EK::Me || ref->kind == EK::Literal)
                FailAt(kSynExpectedStatement, line);
            return std::make_unique<AssignStmt>(line, std::move(ref), Expression(), false);
        }
        if (ref->kind == EK::Me)
            FailAt(kSynExpectedStatement, line);
        if (AtStatementEnd())
            return std::make_unique<CallStmt>(line, std::move(ref));
        // "F a, b": the arguments without parentheses.
        auto call = std::make_unique<CallExpr>(line, std::move(ref));
        Arguments(call->args, /*closing=*/nullptr);
        return std::make_unique<CallStmt>(line, std::move(call));
    }

    // Arguments up to the closing parenthesis (or to the statement's end).
    void Arguments(std::vector<ExprPtr>& args, const char16_t* closing) {
        auto atClose = [&] { return closing ? IsOp(closing) : AtStatementEnd(); };
        if (atClose())
            return;
        for (;;) {
            if (IsOp(u",")) {
                args.push_back(nullptr);
            } else {
                args.push_back(Expression());
                if (atClose())
                    return;
            }
            if (!AcceptOp(u","))
                Fail(closing ? kSynExpectedRParen : kSynExpectedEndOfStatement);
            if (atClose()) {
                args.push_back(nullptr);
                return;
            }
        }
    }

    void VarList(std::vector<VarDecl>& decls, bool declare) {
        for (;;) {
            VarDecl d;
            d.name = Name();
            if (AcceptOp(u"(")) {
                d.array = true;
                if (!IsOp(u")"))
                    for (;;) {
                        d.bounds.push_back(Expression());
                        if (!AcceptOp(u","))
                            break;
                    }
                ExpectOp(u")", kSynExpectedRParen);
            }
            if (declare)
                Declare(d.name->name);
            decls.push_back(std::move(d));
            if (!AcceptOp(u","))
                break;
        }
    }

    StmtPtr ConstDecl() {
        int line = Next().line;
        auto stmt = std::make_unique<ConstStmt>(line);
        for (;;) {
            auto n = Name();
            ExpectOp(u"=", kSynExpectedEquals);
            Declare(n->name);
            stmt->items.emplace_back(std::move(n), Expression());
            if (!AcceptOp(u","))
                break;
        }
        return stmt;
    }

    StmtPtr If() {
        int line = Next().line;
        auto stmt = std::make_unique<IfStmt>(line);
        ExprPtr cond = Expression();
        ExpectWord(u"then", kSynExpectedThen);
        if (Peek().kind != Tok::Newline && Peek().kind != Tok::End) {
            // Single-line form: statements to the line's end, ':' between them.
            if (Peek().kind == Tok::Colon)
                Next();
            Block then;
            LineStatements(then);
            stmt->branches.emplace_back(std::move(cond), std::move(then));
            if (AcceptWord(u"else"))
                LineStatements(stmt->otherwise);
            if (AcceptWord(u"end")) // a trailing End If is tolerated
                ExpectWord(u"if", kSynExpectedIf);
            return stmt;
        }
        Block then;
        Body(then);
        stmt->branches.emplace_back(std::move(cond), std::move(then));
        for (;;) {
            if (AcceptWord(u"elseif")) {
                ExprPtr c = Expression();
                ExpectWord(u"then", kSynExpectedThen);
                Block b;
                Body(b);
                stmt->branches.emplace_back(std::move(c), std::move(b));
            } else if (AcceptWord(u"else")) {
                Body(stmt->otherwise);
                if (!IsWord(u"end"))
                    Fail(kSynExpectedEnd);
            } else {
                break;
            }
        }
        if (!AcceptWord(u"end"))
            FailAt(kSynExpectedEnd, Peek().kind == Tok::End ? line : Peek().line);
        ExpectWord(u"if", kSynExpectedIf);
        return stmt;
    }

    void LineStatements(Block& block) {
        ++singleLine_;
        for (;;) {
            if (Peek().kind == Tok::Newline || Peek().kind == Tok::End || IsWord(u"else"))
                break;
            block.push_back(Statement());
            if (Peek().kind == Tok::Colon)
                Next();
            else if (!AtStatementEnd())
                Fail(kSynExpectedEndOfStatement);
        }
        --singleLine_;
    }

    StmtPtr Select() {
        int line = Next().line;
        ExpectWord(u"case", kSynExpectedCase);
        auto stmt = std::make_unique<SelectStmt>(line);
        stmt->subject = Expression();
        ExpectEndOfStatement();
        SkipSeparators();
        while (IsWord(u"case")) {
            int caseLine = Next().line;
            if (AcceptWord(u"else")) {
                if (stmt->hasElse)
                    Fail(kSynExpectedEnd);
                stmt->hasElse = true;
                Body(stmt->otherwise);
                continue;
            }
            if (stmt->hasElse)
                FailAt(kSynExpectedEnd, caseLine);
            CaseClause clause;
            clause.line = caseLine;
            do
                clause.values.push_back(Expression());
            while (AcceptOp(u","));
            Body(clause.body);
            stmt->cases.push_back(std::move(clause));
        }
        if (!AcceptWord(u"end"))
            FailAt(kSynExpectedEnd, Peek().kind == Tok::End ? line : Peek().line);
        ExpectWord(u"select", kSynExpectedSelect);
        return stmt;
    }

    void ExpectNext(int line) {
        if (!AcceptWord(u"next"))
            FailAt(kSynExpectedNext, Peek().kind == Tok::End ? line : Peek().line);
        if (Peek().kind == Tok::Word && !kReserved.count(Peek().text))
            Next(); // "Next i"
    }

    StmtPtr For() {
        int line = Next().line;
        if (AcceptWord(u"each")) {
            auto stmt = std::make_unique<ForEachStmt>(line);
            stmt->var = Name();
            Assigned(stmt->var->name);
            ExpectWord(u"in", kSynExpectedIn);
            stmt->collection = Expression();
            ExpectEndOfStatement();
            ++forDepth_;
            Body(stmt->body);
            --forDepth_;
            ExpectNext(line);
            return stmt;
        }
        auto stmt = std::make_unique<ForStmt>(line);
        stmt->var = Name();
        Assigned(stmt->var->name);
        ExpectOp(u"=", kSynExpectedEquals);
        stmt->from = Expression();
        ExpectWord(u"to", kSynExpectedTo);
        stmt->to = Expression();
        if (AcceptWord(u"step"))
            stmt->step = Expression();
        ExpectEndOfStatement();
        ++forDepth_;
        Body(stmt->body);
        --forDepth_;
        ExpectNext(line);
        return stmt;
    }

    StmtPtr Do() {
        int line = Next().line;
        auto stmt = std::make_unique<DoStmt>(line);
        if (IsWord(u"while") || IsWord(u"until")) {
            stmt->until = Next().text == u"until";
            stmt->cond = Expression();
        }
        ExpectEndOfStatement();
        ++doDepth_;
        Body(stmt->body);
        --doDepth_;
        if (!AcceptWord(u"loop"))
            FailAt(kSynExpectedLoop, Peek().kind == Tok::End ? line : Peek().line);
        if (IsWord(u"while") || IsWord(u"until")) {
            if (stmt->cond)
                Fail(kSynExpectedEndOfStatement);
            stmt->until = Next().text == u"until";
            stmt->cond = Expression();
            stmt->atTop = false;
        }
        return stmt;
    }

    StmtPtr While() {
        int line = Next().line;
        auto stmt = std::make_unique<DoStmt>(line);
        stmt->isWhileWend = true;
        stmt->cond = Expression();
        ExpectEndOfStatement();
        Body(stmt->body);
        if (!AcceptWord(u"wend"))
            FailAt(kSynExpectedWend, Peek().kind == Tok::End ? line : Peek().line);
        return stmt;
    }

    StmtPtr Exit() {
        int line = Next().line;
        ExitKind what;
        if (AcceptWord(u"do"))
            what = ExitKind::Do;
        else if (AcceptWord(u"for"))
            what = ExitKind::For;
        else if (AcceptWord(u"sub"))
            what = ExitKind::Sub;
        else if (AcceptWord(u"function"))
            what = ExitKind::Function;
        else if (AcceptWord(u"property"))
            what = ExitKind::Property;
        else
            Fail(kSynInvalidExit);
        bool fits = (what == ExitKind::Do && doDepth_ > 0) ||
                    (what == ExitKind::For && forDepth_ > 0) ||
                    (proc_ && ((what == ExitKind::Sub && proc_->kind == ProcKind::Sub) ||
                               (what == ExitKind::Function && proc_->kind == ProcKind::Function) ||
                               (what == ExitKind::Property && proc_->kind != ProcKind::Sub &&
                                proc_->kind != ProcKind::Function)));
        if (!fits)
            FailAt(kSynInvalidExit, line);
        return std::make_unique<ExitStmt>(line, what);
    }

    StmtPtr OnError() {
        int line = Next().line;
        ExpectWord(u"error", kSynSyntax);
        if (AcceptWord(u"resume")) {
            ExpectWord(u"next", kSynSyntax);
            return std::make_unique<OnErrorStmt>(line, true);
        }
        ExpectWord(u"goto", kSynSyntax);
        const Token& t = Peek();
        if (t.kind != Tok::Number || ToDouble(t.value) != 0)
            Fail(kSynSyntax);
        Next();
        return std::make_unique<OnErrorStmt>(line, false);
    }

    StmtPtr With() {
        int line = Next().line;
        auto stmt = std::make_unique<WithStmt>(line);
        stmt->object = Expression();
        ExpectEndOfStatement();
        Body(stmt->body);
        if (!AcceptWord(u"end"))
            FailAt(kSynExpectedEnd, line);
        ExpectWord(u"with", kSynExpectedWith);
        return stmt;
    }

    // --- Expressions ---
    // A name, ".name" inside With, or Me, followed by members and argument
    // lists. At a statement's head, "(" after a blank begins the arguments
    // of a call without parentheses ("F (a), b"), not an index.
    ExprPtr Reference(bool statementHead) {
        const Token& t = Peek();
        int line = t.line;
        ExprPtr e;
        if (t.kind == Tok::Op && t.text == u".") {
            Next();
            e = std::make_unique<MemberExpr>(line, nullptr, MemberName());
        } else if (t.kind == Tok::Word && t.text == u"me") {
            Next();
            e = std::make_unique<Expr>(EK::Me, line);
        } else {
            e = Name();
        }
        for (;;) {
            if (IsOp(u".") && !Peek().spaceBefore) {
                Next();
                e = std::make_unique<MemberExpr>(Peek().line, std::move(e), MemberName());
            } else if (IsOp(u".") && Peek(1).kind == Tok::Word && !Peek(1).spaceBefore &&
                       !statementHead) {
                Next();
                e = std::make_unique<MemberExpr>(Peek().line, std::move(e), MemberName());
            } else if (IsOp(u"(") &&
                       !(statementHead && Peek().spaceBefore && !ParenthesesBeforeEquals())) {
                Next();
                auto call = std::make_unique<CallExpr>(line, std::move(e));
                Arguments(call->args, u")");
                ExpectOp(u")", kSynExpectedRParen);
                e = std::move(call);
            } else {
                return e;
            }
        }
    }

    // At "(": whether the matching ")" is followed by "=", as in "a (1) = 5".
    bool ParenthesesBeforeEquals() const {
        int depth = 0;
        for (size_t i = pos_; i < toks_.size(); ++i) {
            const Token& t = toks_[i];
            if (t.kind == Tok::Newline || t.kind == Tok::Colon || t.kind == Tok::End)
                return false;
            if (t.kind == Tok::Op && t.text == u"(")
                ++depth;
            else if (t.kind == Tok::Op && t.text == u")" && --depth == 0)
                return i + 1 < toks_.size() && toks_[i + 1].kind == Tok::Op &&
                       toks_[i + 1].text == u"=";
        }
        return false;
    }

    ExprPtr Expression() {
        Nest nest(this);
        return Imp();
    }

    using Level = ExprPtr (Parser::*)();
    ExprPtr BinaryLevel(Level next, std::initializer_list<std::pair<std::u16string_view, Op>> ops,
                        bool words) {
        ExprPtr left = (this->*next)();
        for (;;) {
            const Token& t = Peek();
            bool matched = false;
            for (auto& [text, op] : ops)
                if ((words ? t.kind == Tok::Word : t.kind == Tok::Op) && t.text == text) {
                    int line = Next().line;
                    ExprPtr right = (this->*next)();
                    left =
                        std::make_unique<BinaryExpr>(line, op, std::move(left), std::move(right));
                    matched = true;
                    break;
                }
            if (!matched)
                return left;
        }
    }

    ExprPtr Imp() { return BinaryLevel(&Parser::Eqv, {{u"imp", Op::Imp}}, true); }
    ExprPtr Eqv() { return BinaryLevel(&Parser::Xor, {{u"eqv", Op::Eqv}}, true); }
    ExprPtr Xor() { return BinaryLevel(&Parser::Or, {{u"xor", Op::Xor}}, true); }
    ExprPtr Or() { return BinaryLevel(&Parser::And, {{u"or", Op::Or}}, true); }
    ExprPtr And() { return BinaryLevel(&Parser::Not, {{u"and", Op::And}}, true); }
    ExprPtr Not() {
        Nest nest(this);
        if (IsWord(u"not")) {
            int line = Next().line;
            return std::make_unique<UnaryExpr>(line, Op::Not, Not());
        }
        return Compare();
    }
    ExprPtr Compare() {
        ExprPtr left = Concat();
        for (;;) {
            const Token& t = Peek();
            Op op;
            if (t.kind == Tok::Word && t.text == u"is")
                op = Op::Is;
            else if (t.kind != Tok::Op)
                return left;
            else if (t.text == u"=")
                op = Op::Eq;
            else if (t.text == u"<>")
                op = Op::Ne;
            else if (t.text == u"<")
                op = Op::Lt;
            else if (t.text == u">")
                op = Op::Gt;
            else if (t.text == u"<=")
                op = Op::Le;
            else if (t.text == u">=")
                op = Op::Ge;
            else
                return left;
            int line = Next().line;
            left = std::make_unique<BinaryExpr>(line, op, std::move(left), Concat());
        }
    }
    ExprPtr Concat() { return BinaryLevel(&Parser::Additive, {{u"&", Op::Concat}}, false); }
    ExprPtr Additive() {
        return BinaryLevel(&Parser::Modulo, {{u"+", Op::Add}, {u"-", Op::Sub}}, false);
    }
    ExprPtr Modulo() { return BinaryLevel(&Parser::IntDiv, {{u"mod", Op::Mod}}, true); }
    ExprPtr IntDiv() { return BinaryLevel(&Parser::Multiplicative, {{u"\\", Op::IntDiv}}, false); }
    ExprPtr Multiplicative() {
        return BinaryLevel(&Parser::Unary, {{u"*", Op::Mul}, {u"/", Op::Div}}, false);
    }
    ExprPtr Unary() {
        Nest nest(this);
        if (IsOp(u"-")) {
            int line = Next().line;
            return std::make_unique<UnaryExpr>(line, Op::Neg, Unary());
        }
        if (AcceptOp(u"+"))
            return Unary();
        return Power();
    }
    ExprPtr Power() {
        ExprPtr left = Postfix();
        while (IsOp(u"^")) {
            int line = Next().line;
            ExprPtr right = PowerOperand();
            left = std::make_unique<BinaryExpr>(line, Op::Pow, std::move(left), std::move(right));
        }
        return left;
    }
    ExprPtr PowerOperand() {
        Nest nest(this);
        if (IsOp(u"-")) {
            int line = Next().line;
            return std::make_unique<UnaryExpr>(line, Op::Neg, PowerOperand());
        }
        if (AcceptOp(u"+"))
            return PowerOperand();
        return Postfix();
    }
    ExprPtr Postfix() {
        const Token& t = Peek();
        int line = t.line;
        switch (t.kind) {
        case Tok::Number:
            Next();
            return std::make_unique<LiteralExpr>(line, t.value, true);
        case Tok::String:
        case Tok::Date:
            Next();
            return std::make_unique<LiteralExpr>(line, t.value, false);
        case Tok::Op:
            if (t.text == u"(") {
                Next();
                ExprPtr inner = Expression();
                ExpectOp(u")", kSynExpectedRParen);
                return std::make_unique<ParenExpr>(line, std::move(inner));
            }
            if (t.text == u".")
                return Reference(false);
            Fail(kSynExpectedExpression);
        case Tok::Word:
            if (t.text == u"true" || t.text == u"false") {
                Next();
                return std::make_unique<LiteralExpr>(line, Value::Boolean(t.text == u"true"),
                                                     false);
            }
            if (t.text == u"empty") {
                Next();
                return std::make_unique<LiteralExpr>(line, Value(), false);
            }
            if (t.text == u"null") {
                Next();
                return std::make_unique<LiteralExpr>(line, Value::Null(), false);
            }
            if (t.text == u"nothing") {
                Next();
                return std::make_unique<LiteralExpr>(line, Value::Nothing(), false);
            }
            if (t.text == u"new") {
                Next();
                auto n = Name();
                return std::make_unique<NewExpr>(line, n->name, n->original);
            }
            if (t.text == u"me")
                return Reference(false);
            if (kReserved.count(t.text))
                Fail(kSynExpectedExpression);
            return Reference(false);
        default:
            Fail(kSynExpectedExpression);
        }
    }

    std::vector<Token> toks_;
    size_t pos_ = 0;
    std::unique_ptr<Program> prog_;
    Procedure* proc_ = nullptr;
    ClassDef* class_ = nullptr;
    std::set<std::u16string> assigned_;
    std::set<std::u16string> redimmed_;
    int singleLine_ = 0;
    int nesting_ = 0;
    int doDepth_ = 0;  // Do loops around the statement being parsed
    int forDepth_ = 0; // For and For Each loops
};

} // namespace

std::unique_ptr<Program> ParseProgram(std::u16string_view text, int firstLine) {
    return Parser(text, firstLine).Run();
}

ExprPtr ParseExpression(std::u16string_view text, int firstLine) {
    return Parser(text, firstLine).RunExpression();
}

} // namespace platform::vbscript
