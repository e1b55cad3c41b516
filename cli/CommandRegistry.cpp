#include "CommandRegistry.h"

namespace tevra::cli {

Args::Args(const std::vector<std::string>& words, const std::set<std::string>& valued,
           const std::set<std::string>& flags) {
    for (std::size_t i = 0; i < words.size(); ++i) {
        const std::string& w = words[i];
        if (w.size() > 1 && w[0] == '-' &&
            !(w.size() > 1 && (std::isdigit(static_cast<unsigned char>(w[1])) || w[1] == '.'))) {
            if (flags.count(w)) {
                values_[w];
            } else if (valued.count(w)) {
                if (i + 1 >= words.size())
                    throw UsageProblem{"option " + w + " needs a value"};
                values_[w].push_back(words[++i]);
            } else {
                throw UsageProblem{"unknown option " + w};
            }
        } else {
            positional_.push_back(w);
        }
    }
}

const std::string& Args::value(const std::string& option) const {
    static const std::string empty;
    auto it = values_.find(option);
    return (it == values_.end() || it->second.empty()) ? empty : it->second.back();
}

const std::vector<std::string>& Args::values(const std::string& option) const {
    static const std::vector<std::string> none;
    auto it = values_.find(option);
    return it == values_.end() ? none : it->second;
}

CommandRegistry& CommandRegistry::instance() {
    static CommandRegistry registry;
    return registry;
}

void CommandRegistry::add(Command c) {
    commands_[c.name] = std::move(c);
}

const Command* CommandRegistry::find(const std::string& name) const {
    auto it = commands_.find(name);
    return it == commands_.end() ? nullptr : &it->second;
}

} // namespace tevra::cli
