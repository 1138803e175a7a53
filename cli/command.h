#pragma once

#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vexlor::cli {

inline constexpr int kExitSuccess = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

struct Command;

// One command line after the dispatcher has taken the command words and options apart.
struct Invocation {
    const Command* command = nullptr;
    std::vector<std::string> arguments;          // positional, in order
    std::map<std::string, std::string> options;  // "--out" -> "DIR"
    // Options that take two values: "--size" -> {"W", "H"}.
    std::map<std::string, std::pair<std::string, std::string>> pairs;

    std::optional<std::string> Option(const std::string& name) const;
    std::optional<std::pair<std::string, std::string>> PairOption(const std::string& name) const;
    // Whether a flag option ("--png") was given.
    bool Flag(const std::string& name) const { return options.count(name) != 0; }
    // Prints `reason` and the command's usage on stderr; returns the usage exit status.
    int UsageError(std::string_view reason) const;
};

using CommandHandler = int (*)(const Invocation&);

struct Command {
    std::vector<std::string_view> words;  // {"craft", "list"}
    std::string_view synopsis;            // arguments after the words
    std::string_view description;
    std::size_t minArguments = 0;
    std::size_t maxArguments = 0;                 // kUnlimited for a trailing list
    std::vector<std::string_view> valueOptions;   // options that take a value, "--out"
    CommandHandler handler = nullptr;             // null: not built yet
    std::vector<std::string_view> flagOptions{};  // options without a value, "--png"
    std::vector<std::string_view> pairOptions{};  // options with two values, "--size"

    static constexpr std::size_t kUnlimited = static_cast<std::size_t>(-1);

    std::string Name() const;
    std::string UsageLine() const;
    std::string Usage() const;
};

// Runs the command that `args` (without the program name) names from `commands`.
int Dispatch(const std::vector<Command>& commands, const std::vector<std::string>& args);

// Writes text to standard output / standard error as it is.
void PrintOut(std::string_view text);
void PrintError(std::string_view text);

}  // namespace vexlor::cli
