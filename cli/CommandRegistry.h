#pragma once

#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace tevra::cli {

// Exit codes of every command.
enum ExitCode { Success = 0, Failure = 1, UsageError = 2 };

// The words of one command line after the command name: positional arguments
// and options. Which options take a value is declared by the command.
class Args {
public:
    // Throws UsageProblem on an unknown option or a missing value.
    Args(const std::vector<std::string>& words, const std::set<std::string>& valued,
         const std::set<std::string>& flags);

    const std::vector<std::string>& positional() const { return positional_; }
    bool has(const std::string& option) const { return values_.count(option) > 0; }
    // The value (or values, for an option given more than once or taking several words).
    const std::string& value(const std::string& option) const;
    const std::vector<std::string>& values(const std::string& option) const;

private:
    std::vector<std::string> positional_;
    std::map<std::string, std::vector<std::string>> values_;
};

struct UsageProblem {
    std::string what;
};

struct Command {
    std::string name;
    std::string usage; // one line, without "tevra-cli "
    std::function<int(const std::vector<std::string>&)> run;
};

// Commands register themselves from their own files.
class CommandRegistry {
public:
    static CommandRegistry& instance();
    void add(Command c);
    const Command* find(const std::string& name) const;
    const std::map<std::string, Command>& all() const { return commands_; }

private:
    std::map<std::string, Command> commands_;
};

struct CommandRegistration {
    explicit CommandRegistration(Command c) { CommandRegistry::instance().add(std::move(c)); }
};

} // namespace tevra::cli
