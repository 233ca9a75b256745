// The key store's file reader on arbitrary file text: whatever it accepts
// must be written back in a form that reads back to the same tree.
#include "platform/registry/reg_text.h"

#include <cstdio>
#include <cstdlib>

using platform::registry::Root;
namespace detail = platform::registry::detail;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1)
        return 0;
    const Root root = (data[0] & 1) ? Root::ClassesRoot : Root::CurrentUser;
    std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
    auto tree = detail::Parse(root, text);
    if (!tree)
        return 0;
    const std::string first = detail::Serialize(root, *tree);
    auto again = detail::Parse(root, first);
    if (!again) {
        std::fprintf(stderr, "written file does not read back:\n%s\n", first.c_str());
        std::abort();
    }
    if (detail::Serialize(root, *again) != first) {
        std::fprintf(stderr, "written file reads back differently:\n%s\n", first.c_str());
        std::abort();
    }
    return 0;
}
