#include "calculator/common/command_registry.h"

#include <map>
#include <utility>

namespace calculator {
namespace {

struct Entry {
    CommandHandler handler;
    CommandCondition condition;
};

struct Registry {
    std::map<int, Entry> commands;
    PrimeRoundsQuestion primeRounds;
};

// The window and its dialogs live on the GUI thread; so does this table.
Registry& TheRegistry() {
    static Registry registry;
    return registry;
}

} // namespace

void RegisterCommand(int commandId, CommandHandler handler, CommandCondition condition) {
    if (handler)
        TheRegistry().commands[commandId] = Entry{std::move(handler), std::move(condition)};
    else
        TheRegistry().commands.erase(commandId);
}

bool IsCommandAvailable(int commandId) {
    const auto& commands = TheRegistry().commands;
    auto it = commands.find(commandId);
    return it != commands.end() && (!it->second.condition || it->second.condition());
}

bool RunRegisteredCommand(int commandId, const CommandContext& context) {
    const auto& commands = TheRegistry().commands;
    auto it = commands.find(commandId);
    if (it == commands.end())
        return false;
    // A copy: the handler may re-register commands while it runs.
    CommandHandler handler = it->second.handler;
    handler(context);
    return true;
}

void ClearCommandRegistry() {
    TheRegistry() = Registry{};
}

void SetPrimeRoundsQuestion(PrimeRoundsQuestion question) {
    TheRegistry().primeRounds = std::move(question);
}

std::optional<int> AskPrimeRounds(QWidget* parent, int operandBytes, bool next) {
    const PrimeRoundsQuestion& question = TheRegistry().primeRounds;
    if (!question)
        return kDefaultPrimeRounds;
    return question(parent, operandBytes, next);
}

} // namespace calculator
