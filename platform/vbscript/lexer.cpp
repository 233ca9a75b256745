#include "platform/vbscript/lexer.h"

#include "platform/vbscript/errors.h"

#include <cmath>

namespace platform::vbscript {

namespace {

bool IsWordStart(char16_t c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') ||
           (c >= 0xC0 && c != 0xD7 && c != 0xF7 && c < 0x2000);
}

bool IsWordChar(char16_t c) {
    return IsWordStart(c) || (c >= u'0' && c <= u'9') || c == u'_';
}

bool IsDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}

[[noreturn]] void SyntaxError(int32_t number, int line) {
    ScriptException e;
    e.number = number;
    e.description = ErrorText(number);
    e.line = line;
    e.syntax = true;
    throw e;
}

class Lexer {
public:
    Lexer(std::u16string_view text, int firstLine) : text_(text), line_(firstLine) {}

    std::vector<Token> Run() {
        while (pos_ < text_.size())
            Next();
        Emit(Tok::Newline);
        Emit(Tok::End);
        return std::move(tokens_);
    }

private:
    char16_t At(size_t i) const { return i < text_.size() ? text_[i] : u'\0'; }

    Token& Emit(Tok kind) {
        // Separators collapse: a blank line adds nothing.
        if (kind == Tok::Newline && !tokens_.empty() && tokens_.back().kind == Tok::Newline) {
            space_ = false;
            return tokens_.back();
        }
        Token t;
        t.kind = kind;
        t.line = line_;
        t.spaceBefore = space_;
        space_ = false;
        tokens_.push_back(std::move(t));
        return tokens_.back();
    }

    void SkipToLineEnd() {
        while (pos_ < text_.size() && text_[pos_] != u'\n' && text_[pos_] != u'\r')
            ++pos_;
    }

    // True when only blanks follow up to the end of the line.
    bool RestOfLineBlank(size_t from) const {
        for (size_t i = from; i < text_.size(); ++i) {
            if (text_[i] == u'\n' || text_[i] == u'\r')
                return true;
            if (text_[i] != u' ' && text_[i] != u'\t')
                return false;
        }
        return true;
    }

    void Newline() {
        if (At(pos_) == u'\r' && At(pos_ + 1) == u'\n')
            ++pos_;
        ++pos_;
        Emit(Tok::Newline);
        ++line_;
    }

    void Next() {
        char16_t c = text_[pos_];
        if (c == u' ' || c == u'\t' || c == 0xA0) {
            ++pos_;
            space_ = true;
            return;
        }
        if (c == u'\r' || c == u'\n') {
            Newline();
            return;
        }
        if (c == u'\'') {
            SkipToLineEnd();
            return;
        }
        if (c == u'_' && RestOfLineBlank(pos_ + 1) && (pos_ == 0 || space_)) {
            // Continuation: the next line joins this one.
            SkipToLineEnd();
            if (At(pos_) == u'\r' && At(pos_ + 1) == u'\n')
                ++pos_;
            if (pos_ < text_.size())
                ++pos_;
            ++line_;
            space_ = true;
            return;
        }
        if (c == u'"') {
            String();
            return;
        }
        if (c == u'#') {
            DateLiteral();
            return;
        }
        if (IsDigit(c) || (c == u'.' && IsDigit(At(pos_ + 1)) && !AfterOperand())) {
            Number();
            return;
        }
        if (c == u'&' && (At(pos_ + 1) == u'h' || At(pos_ + 1) == u'H' || At(pos_ + 1) == u'o' ||
                          At(pos_ + 1) == u'O')) {
            size_t save = pos_;
            if (Radix())
                return;
            pos_ = save;
        }
        if (IsWordStart(c)) {
            Word();
            return;
        }
        if (c == u'[') {
            // [any name]: an identifier that may hold blanks or keywords.
            size_t end = text_.find(u']', pos_);
            if (end == std::u16string_view::npos)
                SyntaxError(kSynInvalidCharacter, line_);
            std::u16string name(text_.substr(pos_ + 1, end - pos_ - 1));
            pos_ = end + 1;
            Token& t = Emit(Tok::Word);
            t.original = name;
            t.text = u"[" + Lower(name); // never a keyword
            return;
        }
        if (c == u':') {
            ++pos_;
            Emit(Tok::Colon);
            return;
        }
        static const std::u16string_view kTwo[] = {u"<>", u"<=", u">=", u"=<", u"=>"};
        for (auto op : kTwo)
            if (text_.substr(pos_, 2) == op) {
                pos_ += 2;
                Token& t = Emit(Tok::Op);
                t.text = op == u"=<" ? u"<=" : op == u"=>" ? u">=" : std::u16string(op);
                return;
            }
        static const std::u16string_view kOne = u"()=<>+-*/\\^&,.";
        if (kOne.find(c) != std::u16string_view::npos) {
            ++pos_;
            Token& t = Emit(Tok::Op);
            t.text = std::u16string(1, c);
            return;
        }
        SyntaxError(kSynInvalidCharacter, line_);
    }

    // A '.' after a name or ')' is member access, not a number.
    bool AfterOperand() const {
        if (tokens_.empty() || space_)
            return false;
        const Token& t = tokens_.back();
        return t.kind == Tok::Word || (t.kind == Tok::Op && t.text == u")");
    }

    void String() {
        std::u16string s;
        ++pos_;
        for (;;) {
            if (pos_ >= text_.size() || text_[pos_] == u'\n' || text_[pos_] == u'\r')
                SyntaxError(kSynUnterminatedString, line_);
            char16_t c = text_[pos_++];
            if (c == u'"') {
                if (At(pos_) == u'"') {
                    s += u'"';
                    ++pos_;
                    continue;
                }
                break;
            }
            s += c;
        }
        Token& t = Emit(Tok::String);
        t.value = Value::String(std::move(s));
    }

    void DateLiteral() {
        size_t end = pos_ + 1;
        while (end < text_.size() && text_[end] != u'#' && text_[end] != u'\n' &&
               text_[end] != u'\r')
            ++end;
        if (At(end) != u'#')
            SyntaxError(kSynSyntax, line_);
        double serial = 0;
        if (!ParseDate(text_.substr(pos_ + 1, end - pos_ - 1), &serial))
            SyntaxError(kSynSyntax, line_);
        pos_ = end + 1;
        Token& t = Emit(Tok::Date);
        t.value = Value::Date(serial);
    }

    void Number() {
        size_t start = pos_;
        bool real = false;
        while (IsDigit(At(pos_)))
            ++pos_;
        if (At(pos_) == u'.' && IsDigit(At(pos_ + 1))) {
            real = true;
            ++pos_;
            while (IsDigit(At(pos_)))
                ++pos_;
        } else if (At(pos_) == u'.' && !IsWordStart(At(pos_ + 1))) {
            real = true;
            ++pos_;
        }
        if ((At(pos_) == u'e' || At(pos_) == u'E') &&
            (IsDigit(At(pos_ + 1)) ||
             ((At(pos_ + 1) == u'+' || At(pos_ + 1) == u'-') && IsDigit(At(pos_ + 2))))) {
            real = true;
            pos_ += 2;
            while (IsDigit(At(pos_)))
                ++pos_;
        }
        std::string ascii;
        for (size_t i = start; i < pos_; ++i)
            ascii += static_cast<char>(text_[i]);
        double d = std::strtod(ascii.c_str(), nullptr);
        if (!std::isfinite(d))
            SyntaxError(kSynSyntax, line_);
        if (At(pos_) == u'#' || At(pos_) == u'!' || At(pos_) == u'@') { // type suffixes
            ++pos_;
            real = true;
        } else if (At(pos_) == u'%' || At(pos_) == u'&') {
            if (At(pos_) == u'%')
                ++pos_;
        }
        if (IsWordStart(At(pos_)))
            SyntaxError(kSynExpectedEndOfStatement, line_);
        Token& t = Emit(Tok::Number);
        if (!real && d <= 32767)
            t.value = Value::Integer(static_cast<int16_t>(d));
        else if (!real && d <= 2147483647.0)
            t.value = Value::Long(static_cast<int32_t>(d));
        else
            t.value = Value::Double(d);
    }

    // &H... and &O...: false when no digit follows (then '&' is concatenation).
    bool Radix() {
        int base = (At(pos_ + 1) == u'h' || At(pos_ + 1) == u'H') ? 16 : 8;
        pos_ += 2;
        uint64_t n = 0;
        size_t digits = 0;
        for (;;) {
            char16_t c = At(pos_);
            int d = IsDigit(c)                 ? c - u'0'
                    : (c >= u'a' && c <= u'f') ? c - u'a' + 10
                    : (c >= u'A' && c <= u'F') ? c - u'A' + 10
                                               : 99;
            if (d >= base)
                break;
            n = n * base + d;
            if (n > 0xFFFFFFFFull)
                SyntaxError(kSynSyntax, line_);
            ++digits;
            ++pos_;
        }
        if (digits == 0)
            return false;
        bool forceLong = false;
        if (At(pos_) == u'&') {
            forceLong = true;
            ++pos_;
        }
        Token& t = Emit(Tok::Number);
        if (!forceLong && n <= 0xFFFF)
            t.value = Value::Integer(static_cast<int16_t>(static_cast<uint16_t>(n)));
        else
            t.value = Value::Long(static_cast<int32_t>(static_cast<uint32_t>(n)));
        return true;
    }

    void Word() {
        size_t start = pos_;
        while (IsWordChar(At(pos_)))
            ++pos_;
        std::u16string original(text_.substr(start, pos_ - start));
        // Type-declaration suffixes of older dialects are not words.
        std::u16string lower = Lower(original);
        if (lower == u"rem" &&
            (tokens_.empty() || tokens_.back().kind == Tok::Newline ||
             tokens_.back().kind == Tok::Colon) &&
            (pos_ >= text_.size() || !IsWordChar(At(pos_)))) {
            SkipToLineEnd();
            return;
        }
        Token& t = Emit(Tok::Word);
        t.original = std::move(original);
        t.text = std::move(lower);
    }

    std::u16string_view text_;
    size_t pos_ = 0;
    int line_;
    bool space_ = false;
    std::vector<Token> tokens_;
};

} // namespace

std::vector<Token> Tokenize(std::u16string_view text, int firstLine) {
    return Lexer(text, firstLine).Run();
}

} // namespace platform::vbscript
