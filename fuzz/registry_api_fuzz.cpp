// The key store's API on arbitrary paths, names and values, over a store
// that starts empty or from arbitrary file text. Each answer is checked
// against what the store said before: a value set reads back, a key created
// exists, a deleted one is gone, and a corrupt file fails every call and is
// never rewritten.
#include "fuzz_buffers.h"
#include "fuzz_expect.h"
#include "fuzz_store.h"

#include "platform/registry/registry.h"

#include <cstdio>

namespace reg = platform::registry;
using reg::RegError;
using reg::Root;

using fuzz::Expect;

namespace {

// Paths from a few names, so that operations meet each other, or raw bytes.
std::string Path(FuzzedDataProvider& in) {
    static const char* const kParts[] = {"A", "a", "B", "Software", "x y", "\xC3\xA9"};
    if (in.ConsumeIntegralInRange<int>(0, 3) == 0)
        return in.ConsumeRandomLengthString(40);
    std::string path;
    int depth = in.ConsumeIntegralInRange<int>(0, 3);
    for (int i = 0; i < depth; ++i) {
        if (i)
            path += '\\';
        path += kParts[in.ConsumeIntegralInRange<size_t>(0, std::size(kParts) - 1)];
    }
    return path;
}

std::string Name(FuzzedDataProvider& in) {
    static const char* const kNames[] = {"", "V", "v", "Name with \"quotes\""};
    if (in.ConsumeBool())
        return in.ConsumeRandomLengthString(24);
    return kNames[in.ConsumeIntegralInRange<size_t>(0, std::size(kNames) - 1)];
}

reg::Value AnyValue(FuzzedDataProvider& in) {
    if (in.ConsumeBool())
        return in.ConsumeIntegral<uint32_t>();
    return in.ConsumeRandomLengthString(64);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static fuzz::FuzzStore store;
    store.Clear();
    FuzzedDataProvider in(data, size);
    std::string initial;
    if (in.ConsumeBool()) {
        initial = in.ConsumeRandomLengthString(512);
        store.Write("HKEY_CURRENT_USER", initial);
    }
    // The reader of the file decides whether the store is usable; it is
    // exercised on its own by fuzz_reg_text.
    const bool corrupt = !initial.empty() && !reg::KeyExists(Root::CurrentUser, "") &&
                         reg::CreateKey(Root::CurrentUser, "") == RegError::Corrupt;
    for (int step = 0; step < 12 && in.remaining_bytes() > 0; ++step) {
        const Root root = in.ConsumeBool() ? Root::CurrentUser : Root::ClassesRoot;
        const std::string path = Path(in);
        const std::string name = Name(in);
        RegError e = RegError::Ok;
        switch (in.ConsumeIntegralInRange<int>(0, 7)) {
        case 0:
            if ((e = reg::CreateKey(root, path)) == RegError::Ok)
                Expect(reg::KeyExists(root, path), "created key missing");
            break;
        case 1:
            if ((e = reg::DeleteKey(root, path)) == RegError::Ok)
                Expect(!reg::KeyExists(root, path), "deleted key still there");
            break;
        case 2:
            e = reg::DeleteKeyIfLeaf(root, path);
            break;
        case 3: {
            std::vector<std::string> names;
            if ((e = reg::EnumSubkeys(root, path, &names)) == RegError::Ok)
                for (const auto& n : names)
                    Expect(reg::KeyExists(root, path.empty() ? n : path + "\\" + n),
                           "listed subkey missing");
            break;
        }
        case 4: {
            std::vector<std::string> names;
            if ((e = reg::EnumValues(root, path, &names)) == RegError::Ok)
                for (const auto& n : names) {
                    reg::Value v;
                    Expect(reg::GetValue(root, path, n, &v) == RegError::Ok,
                           "listed value missing");
                }
            break;
        }
        case 5: {
            const reg::Value value = AnyValue(in);
            if ((e = reg::SetValue(root, path, name, value)) == RegError::Ok) {
                reg::Value back;
                Expect(reg::GetValue(root, path, name, &back) == RegError::Ok && back == value,
                       "value does not read back");
            }
            break;
        }
        case 6: {
            reg::Value v;
            e = reg::GetValue(root, path, name, &v);
            break;
        }
        case 7:
            if ((e = reg::DeleteValue(root, path, name)) == RegError::Ok) {
                reg::Value v;
                Expect(reg::GetValue(root, path, name, &v) == RegError::NotFound,
                       "deleted value still there");
            }
            break;
        }
        if (corrupt && root == Root::CurrentUser)
            Expect(e == RegError::Corrupt || e == RegError::InvalidArg, "a corrupt root answered");
    }
    if (corrupt)
        Expect(store.Read("HKEY_CURRENT_USER") == initial, "a corrupt file was rewritten");
    return 0;
}
