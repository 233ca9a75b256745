// The VBScript lexer and parser on any script text: a syntax error is
// reported as the language's exception with a line inside the text, never a
// crash, a hang or another exception.
#include "fuzz_expect.h"
#include "platform/vbscript/errors.h"
#include "platform/vbscript/parser.h"

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>

using fuzz::Expect;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Script text reaches the engine as UTF-16; two bytes a unit.
    std::u16string text(size / 2, u'\0');
    for (size_t i = 0; i < text.size(); ++i)
        text[i] = char16_t(data[2 * i] | data[2 * i + 1] << 8);
    // An upper bound of the lines: every CR and every LF may end one.
    size_t lines = 1;
    for (char16_t c : text)
        lines += c == u'\n' || c == u'\r';
    for (bool expression : {false, true}) {
        try {
            if (expression)
                (void)platform::vbscript::ParseExpression(text, 1);
            else
                (void)platform::vbscript::ParseProgram(text, 1);
        } catch (const platform::vbscript::ScriptException& e) {
            Expect(e.line >= 1 && size_t(e.line) <= lines + 1, "error line outside the text");
        } catch (const std::bad_alloc&) {
            // A text nested deeper than memory allows is refused, not a fault.
        } catch (...) {
            Expect(false, "another exception left the parser");
        }
    }
    return 0;
}
