#include "calculator/application.h"

#include "calculator/calculator_dlg.h"
#include "calculator/common/help.h"
#include "calculator/common/settings_store.h"
#include "exchange/output_number_dlg.h"
#include "keys/crypto_context.h"
#include "keys/profile_settings.h"
#include "keys/register_keys.h"
#include "platform/crypto/provider_random.h"
#include "exchange/register_exchange.h"
#include "platform/crypto/provider_random.h"
#include "scripting/register_scripting.h"
#include "tools/register_tools.h"

#include <QCoreApplication>

namespace calculator {
namespace {

constexpr char kSectionGeneral[] = "General";
constexpr char kErrorFlag[] = "Error Flag";

bool IsSet(const char* value) {
    return value && *value;
}

} // namespace

const char kNoDisplayMessage[] =
    "ordovane: no display available. Use ordovane-cli for the command-line companion "
    "(ordovane-cli --help).\n";

bool DisplayAvailable(const char* display, const char* waylandDisplay, const char* qpaPlatform) {
    return IsSet(display) || IsSet(waylandDisplay) || IsSet(qpaPlatform);
}

void InitializeApplication() {
    // The help file sits beside the executable: its path plus ".qhc".
    SetHelpFilePath(QCoreApplication::applicationFilePath() + QStringLiteral(".qhc"));
    // The two private clipboard formats need no registration: Qt keys
    // clipboard data by the names in platform/qt/clipboard_formats.h.
    SetSettingsRoot("Pellacor");
    // The binary is lower-case by convention; the settings key keeps the
    // product's name.
    SetApplicationName("Ordovane");
    // Random numbers come from the provider handle the window sets.
    platform::InstallProviderRandom();
    // The first run creates "Default Container" once.
    keys::RegistryProfile settings(&SectionKey);
    keys::RunFirstRunSetup(settings);
    RegisterCommands(ApplicationToolServices());
}

ToolServices ApplicationToolServices() {
    ToolServices services;
    services.cryptoContext = &CCalculatorDlg::ApplicationCryptoContext;
    return services;
}

void RegisterCommands(const ToolServices& given) {
    // The tools that save numbers do it through the Output Number dialog.
    ToolServices services = given;
    if (!services.outputNumber)
        services.outputNumber = &exchange::OutputNumber;
    tools::RegisterToolsCommands(services);
    scripting::RegisterScriptingCommands(services);
    exchange::RegisterExchangeCommands(services);
    keys::RegisterKeysCommands(services);
}

bool BeginCalculatorRun() {
    const bool abnormalEnd = GetProfileInt(kSectionGeneral, kErrorFlag, 0) != 0;
    WriteProfileInt(kSectionGeneral, kErrorFlag, 1);
    return abnormalEnd;
}

void EndCalculatorRun() {
    WriteProfileInt(kSectionGeneral, kErrorFlag, 0);
}

int RunApplication(const std::function<void(CCalculatorDlg&)>& beforeExec) {
    InitializeApplication();
    const bool abnormalEnd = BeginCalculatorRun();
    {
        CCalculatorDlg window(abnormalEnd);
        if (beforeExec)
            beforeExec(window);
        window.exec();
    }
    EndCalculatorRun();
    return 0;
}

} // namespace calculator
