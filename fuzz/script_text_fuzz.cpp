// Script files of any content: the text kept is the longest prefix of
// allowed characters (TAB, LF, CR, 0x20..0x7F), both from bytes in memory and
// through the file loader.
#include "fuzz_expect.h"
#include "scripting/script_text.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <unistd.h>

using fuzz::Expect;

namespace {

bool Allowed(unsigned char c) {
    return c == '\t' || c == '\n' || c == '\r' || (c >= 0x20 && c <= 0x7F);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // One file per process, removed when the fuzzer exits.
    static const struct TempFile {
        std::string path = "/tmp/ordovane-fuzz-script-" + std::to_string(::getpid());
        ~TempFile() { std::remove(path.c_str()); }
    } temp;
    const std::string& path = temp.path;
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const std::string cut = scripting::CutScriptText(bytes);
    Expect(cut.size() <= bytes.size() && bytes.compare(0, cut.size(), cut) == 0, "not a prefix");
    for (unsigned char c : cut)
        Expect(Allowed(c), "a disallowed byte kept");
    Expect(cut.size() == bytes.size() || !Allowed(static_cast<unsigned char>(bytes[cut.size()])),
           "stopped early");

    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    scripting::ScriptFile file = scripting::LoadScriptFile(path);
    Expect(file.ok == (size > 0 && size <= static_cast<size_t>(scripting::kMaxScriptFileSize)),
           "file accepted or refused wrongly");
    Expect(file.ok ? file.text == cut && file.message.empty() : !file.message.empty(),
           "loaded text");
    return 0;
}
