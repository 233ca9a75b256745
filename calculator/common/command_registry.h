// The one table of commands that folders serve: each dialog folder registers
// a handler for the command ids it serves (tools/register_tools.cpp and its
// siblings), and the main menu, the toolbar and the edit box menu offer a
// command exactly while it has one, their own enabling rules still applied.
// It also carries the prime-search round question the edit box asks.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

class QString;
class QWidget;

namespace calculator {

class CHexEditBox;

// Where a command was chosen. parent: the window a dialog opens over; box:
// the operand the command works on (the box whose menu was used, or the
// window's active operand; may be null).
struct CommandContext {
    QWidget* parent = nullptr;
    CHexEditBox* box = nullptr;
    bool fromBoxMenu = false;
};

using CommandHandler = std::function<void(const CommandContext&)>;
// Extra condition a command needs besides its handler (the hash tool: the
// application crypto context is held).
using CommandCondition = std::function<bool()>;

// What the window hands down to the tools it registers, so that no tool
// includes the window.
struct ToolServices {
    // The application crypto context (0: none held).
    std::function<uint32_t()> cryptoContext;
    // The Output Number dialog on a hex byte list (caption: its title, empty
    // for the default): true when a file was written; empty while no folder
    // serves it.
    std::function<bool(QWidget* parent, const QString& caption, const std::string& hexList)>
        outputNumber;
};

// Registers (or, with an empty handler, removes) the handler of commandId;
// a second registration replaces the first.
void RegisterCommand(int commandId, CommandHandler handler, CommandCondition condition = {});
// True while commandId has a handler and its condition holds.
bool IsCommandAvailable(int commandId);
// Runs the handler of commandId; false when there is none.
bool RunRegisteredCommand(int commandId, const CommandContext& context);
// Forgets every handler and the round question (tests start clean).
void ClearCommandRegistry();

// How many rounds a prime search of an operand of operandBytes bytes runs
// (next: towards larger numbers): nothing when the user cancelled.
using PrimeRoundsQuestion =
    std::function<std::optional<int>(QWidget* parent, int operandBytes, bool next)>;
void SetPrimeRoundsQuestion(PrimeRoundsQuestion question);
// Without a registered question a search runs kDefaultPrimeRounds rounds.
std::optional<int> AskPrimeRounds(QWidget* parent, int operandBytes, bool next);
inline constexpr int kDefaultPrimeRounds = 8;

} // namespace calculator
