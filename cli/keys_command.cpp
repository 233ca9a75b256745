#include "cli/keys_command.h"

#include "keys/key_containers.h"
#include "keys/key_export.h"
#include "platform/crypto/crypt_keys.h"
#include "platform/crypto/last_error.h"
#include "text/system_error.h"

#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr int kExitOk = 0;
constexpr int kExitUserError = 1;
constexpr int kExitUsage = 2;

constexpr char kUsage[] =
    "Usage: ordovane-cli keys list\n"
    "       ordovane-cli keys create NAME\n"
    "       ordovane-cli keys delete NAME\n"
    "       ordovane-cli keys export NAME --kind exchange|signature --cipher rc2|rc4\n"
    "                                --base-message TEXT --dir DIR\n"
    "                                [--public FILE] [--private FILE] [--session FILE]\n";

int Usage(const std::string& why) {
    std::fprintf(stderr, "ordovane-cli keys: %s\n%s", why.c_str(), kUsage);
    return kExitUsage;
}

int Help() {
    std::fputs(kUsage, stdout);
    return kExitOk;
}

int Say(const std::string& message, bool ok) {
    std::fprintf(ok ? stdout : stderr, "%s\n", message.c_str());
    return ok ? kExitOk : kExitUserError;
}

int LastErrorText() {
    return Say(text::SystemErrorText(static_cast<int>(platform::GetLastError())), false);
}

bool IsHelp(std::string_view arg) {
    return arg == "--help" || arg == "-h";
}

int RunList(std::span<char* const> args) {
    if (!args.empty())
        return Usage("list takes no arguments");
    std::vector<std::string> names;
    const bool ok = platform::EnumKeyContainers(&names);
    for (const std::string& name : names)
        std::printf("%s\n", name.c_str());
    std::fflush(stdout);
    return ok ? kExitOk : LastErrorText();
}

int RunCreateOrDelete(std::string_view verb, std::span<char* const> args) {
    if (args.size() != 1)
        return Usage(std::string(verb) + " takes one container name");
    const std::string name = args[0];
    keys::ContainerResult r =
        verb == "create" ? keys::CreateKeyContainer(name) : keys::DeleteKeyContainer(name);
    return Say(r.message, r.ok());
}

// "--name VALUE" or "--name=VALUE" at args[i]; i moves past a separate value.
// nullopt when args[i] is another option; *missing when the value is absent.
std::optional<std::string> OptionValue(std::span<char* const> args, size_t& i,
                                       std::string_view name, bool* missing) {
    std::string_view arg = args[i];
    if (arg == name) {
        if (i + 1 >= args.size()) {
            *missing = true;
            return std::nullopt;
        }
        return std::string(args[++i]);
    }
    if (arg.size() > name.size() && arg.starts_with(name) && arg[name.size()] == '=')
        return std::string(arg.substr(name.size() + 1));
    return std::nullopt;
}

int RunExport(std::span<char* const> args) {
    std::optional<std::string> name, kind, cipher, message, dir;
    keys::ExportRequest request;
    for (size_t i = 0; i < args.size(); ++i) {
        std::string_view arg = args[i];
        bool missing = false;
        std::optional<std::string> v;
        auto option = [&](std::string_view option) {
            v = OptionValue(args, i, option, &missing);
            return v.has_value();
        };
        if (option("--kind"))
            kind = v;
        else if (option("--cipher"))
            cipher = v;
        else if (option("--base-message"))
            message = v;
        else if (option("--dir"))
            dir = v;
        else if (option("--public"))
            request.publicFile = *v;
        else if (option("--private"))
            request.privateFile = *v;
        else if (option("--session"))
            request.sessionFile = *v;
        else if (missing)
            return Usage(std::string(arg) + " needs a value");
        else if (IsHelp(arg))
            return Help();
        else if (arg.starts_with("-"))
            return Usage("unknown option '" + std::string(arg) + "'");
        else if (!name)
            name = std::string(arg);
        else
            return Usage("export takes one container name");
    }
    if (!name)
        return Usage("export needs a container name");
    if (!kind || (*kind != "exchange" && *kind != "signature"))
        return Usage("--kind must be exchange or signature");
    if (!cipher || (*cipher != "rc2" && *cipher != "rc4"))
        return Usage("--cipher must be rc2 or rc4");
    if (!message || !dir)
        return Usage("export needs --base-message and --dir");
    if (!keys::ExportEnabled(request.publicFile, request.privateFile))
        return Usage("--public and --private cannot be empty");
    request.kind = *kind == "exchange" ? keys::KeyKind::Exchange : keys::KeyKind::Signature;
    request.cipher = *cipher == "rc2" ? keys::SessionCipher::Rc2 : keys::SessionCipher::Rc4;
    request.baseMessage = *message;
    request.folder = *dir;

    // The dialog checks its fields before it needs the container.
    if (request.baseMessage.empty())
        return Say(keys::ExportMessage(keys::ExportOutcome::NoBaseMessage), false);
    if (request.folder.empty())
        return Say(keys::ExportMessage(keys::ExportOutcome::NoFolder), false);
    // The manager opens no dialog for a container it cannot open; a command
    // line has to say why.
    if (!platform::CryptAcquireContextA(&request.provider, name->c_str(), platform::MS_DEF_PROV_A,
                                        platform::PROV_RSA_FULL, 0))
        return LastErrorText();
    keys::ExportResult result = keys::ExportKeyPair(request);
    platform::CryptReleaseContext(request.provider, 0);
    return Say(keys::ExportMessage(result.outcome),
               result.outcome == keys::ExportOutcome::Succeeded);
}

} // namespace

int RunKeysCommand(std::span<char* const> args) {
    if (args.empty())
        return Usage("no keys command given");
    std::string_view verb = args[0];
    std::span<char* const> rest = args.subspan(1);
    // Help wherever an option could stand; an option's value is never help.
    if (IsHelp(verb) || (verb != "export" && !rest.empty() && IsHelp(rest[0])))
        return Help();
    if (verb == "list")
        return RunList(rest);
    if (verb == "create" || verb == "delete")
        return RunCreateOrDelete(verb, rest);
    if (verb == "export")
        return RunExport(rest);
    return Usage("unknown keys command '" + std::string(verb) + "'");
}
