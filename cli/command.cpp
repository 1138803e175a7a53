#include "cli/command.h"

#include <algorithm>

#include <cstdio>

namespace vexlor::cli {

namespace {

constexpr std::string_view kProgram = "vexlor-cli";
constexpr std::string_view kKindNote = "KIND is one of hull, map, ship, mission.";

bool Mentions(std::string_view text, std::string_view word) {
    return text.find(word) != std::string_view::npos;
}

std::string ProgramUsage(const std::vector<Command>& commands) {
    std::string text = "usage: vexlor-cli COMMAND [ARGUMENTS]\n";
    text += "       vexlor-cli COMMAND --help\n\ncommands:\n";
    std::string unbuilt;
    for (const Command& command : commands) {
        if (command.handler == nullptr) {
            unbuilt += "  " + command.UsageLine().substr(kProgram.size() + 1) + "\n";
            continue;
        }
        text += "  " + command.UsageLine().substr(kProgram.size() + 1) + "\n      ";
        text += std::string(command.description) + "\n";
    }
    if (!unbuilt.empty()) {
        text += "\nnot available in this build:\n" + unbuilt;
    }
    text += "\n" + std::string(kKindNote) + "\n";
    return text;
}

int ProgramUsageError(const std::vector<Command>& commands, std::string_view reason) {
    PrintError(std::string(kProgram) + ": " + std::string(reason) + "\n" + ProgramUsage(commands));
    return kExitUsage;
}

bool WordsMatch(const Command& command, const std::vector<std::string>& args) {
    if (args.size() < command.words.size()) {
        return false;
    }
    for (std::size_t i = 0; i < command.words.size(); ++i) {
        if (args[i] != command.words[i]) {
            return false;
        }
    }
    return true;
}

// The command with the most words that the arguments start with.
const Command* FindCommand(const std::vector<Command>& commands,
                           const std::vector<std::string>& args) {
    const Command* found = nullptr;
    for (const Command& command : commands) {
        if (WordsMatch(command, args) &&
            (found == nullptr || command.words.size() > found->words.size())) {
            found = &command;
        }
    }
    return found;
}

std::string UnknownCommandReason(const std::vector<Command>& commands, const std::string& word) {
    for (const Command& command : commands) {
        if (command.words.size() > 1 && command.words[0] == word) {
            return word + " needs a subcommand";
        }
    }
    return "unknown command " + word;
}

bool IsOneOf(const std::vector<std::string_view>& options, const std::string& arg) {
    return std::find(options.begin(), options.end(), arg) != options.end();
}

// Splits what follows the command words into positional arguments and options; "--" ends the
// options so that a path may start with dashes. Returns an error text, or nothing.
std::optional<std::string> ParseArguments(const std::vector<std::string>& args, std::size_t from,
                                          Invocation& invocation, bool& helpWanted) {
    bool optionsEnded = false;
    for (std::size_t i = from; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg.size() < 2 || arg.compare(0, 2, "--") != 0) {
            invocation.arguments.push_back(arg);
        } else if (arg == "--") {
            optionsEnded = true;
        } else if (arg == "--help") {
            helpWanted = true;
        } else if (IsOneOf(invocation.command->flagOptions, arg)) {
            invocation.options[arg] = std::string();
        } else if (IsOneOf(invocation.command->pairOptions, arg)) {
            if (i + 2 >= args.size()) {
                return arg + " needs two values";
            }
            invocation.pairs[arg] = {args[i + 1], args[i + 2]};
            i += 2;
        } else if (!IsOneOf(invocation.command->valueOptions, arg)) {
            return "unknown option " + arg;
        } else if (i + 1 == args.size()) {
            return arg + " needs a value";
        } else {
            invocation.options[arg] = args[++i];
        }
    }
    return std::nullopt;
}

std::optional<std::string> CountError(const Command& command, std::size_t count) {
    if (count < command.minArguments) {
        return std::string("missing arguments");
    }
    if (count > command.maxArguments) {
        return std::string("too many arguments");
    }
    return std::nullopt;
}

}  // namespace

std::optional<std::string> Invocation::Option(const std::string& name) const {
    const auto found = options.find(name);
    if (found == options.end()) {
        return std::nullopt;
    }
    return found->second;
}

int Invocation::UsageError(std::string_view reason) const {
    PrintError(std::string(kProgram) + " " + command->Name() + ": " + std::string(reason) + "\n" +
               command->Usage());
    return kExitUsage;
}

std::optional<std::pair<std::string, std::string>> Invocation::PairOption(
    const std::string& name) const {
    const auto found = pairs.find(name);
    if (found == pairs.end()) {
        return std::nullopt;
    }
    return found->second;
}

std::string Command::Name() const {
    std::string name;
    for (std::string_view word : words) {
        name += (name.empty() ? "" : " ") + std::string(word);
    }
    return name;
}

std::string Command::UsageLine() const {
    std::string line = std::string(kProgram) + " " + Name();
    if (!synopsis.empty()) {
        line += " " + std::string(synopsis);
    }
    return line;
}

std::string Command::Usage() const {
    std::string text = "usage: " + UsageLine() + "\n";
    if (handler == nullptr) {
        text += "  This command is not available in this build.\n";
    } else {
        text += "  " + std::string(description) + "\n";
    }
    if (Mentions(synopsis, "KIND")) {
        text += "  " + std::string(kKindNote) + "\n";
    }
    return text;
}

int Dispatch(const std::vector<Command>& commands, const std::vector<std::string>& args) {
    if (args.empty()) {
        return ProgramUsageError(commands, "no command given");
    }
    if (args[0] == "--help") {
        PrintOut(ProgramUsage(commands));
        return kExitSuccess;
    }
    const Command* command = FindCommand(commands, args);
    if (command == nullptr) {
        return ProgramUsageError(commands, UnknownCommandReason(commands, args[0]));
    }
    Invocation invocation;
    invocation.command = command;
    if (command->handler == nullptr) {
        return invocation.UsageError("not available in this build");
    }
    bool helpWanted = false;
    auto error = ParseArguments(args, command->words.size(), invocation, helpWanted);
    if (helpWanted) {
        PrintOut(command->Usage());
        return kExitSuccess;
    }
    if (!error) {
        error = CountError(*command, invocation.arguments.size());
    }
    if (error) {
        return invocation.UsageError(*error);
    }
    return command->handler(invocation);
}

void PrintOut(std::string_view text) {
    std::fwrite(text.data(), 1, text.size(), stdout);
}

void PrintError(std::string_view text) {
    std::fwrite(text.data(), 1, text.size(), stderr);
}

}  // namespace vexlor::cli
