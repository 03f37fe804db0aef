#include "ui/CommandLine.h"

namespace {
std::vector<std::string>& ProgramArguments() {
    static std::vector<std::string> arguments;
    return arguments;
}

bool IsSeparator(char c) {
    return static_cast<unsigned char>(c) <= ' ';
}
}  // namespace

std::vector<std::string> SplitCommandLine(std::string_view commandLine) {
    std::vector<std::string> arguments;
    std::size_t at = 0;
    while (at < commandLine.size()) {
        while (at < commandLine.size() && IsSeparator(commandLine[at])) ++at;
        if (at == commandLine.size()) break;
        std::string argument;
        bool quoted = false;
        for (; at < commandLine.size() && (quoted || !IsSeparator(commandLine[at])); ++at) {
            if (commandLine[at] == '"') {
                quoted = !quoted;
            } else {
                argument += commandLine[at];
            }
        }
        if (!argument.empty()) arguments.push_back(std::move(argument));
    }
    return arguments;
}

std::string ArgumentAt(const std::vector<std::string>& arguments, std::size_t i) {
    return i < arguments.size() ? arguments[i] : std::string();
}

void SetProgramArguments(std::vector<std::string> arguments) {
    ProgramArguments() = std::move(arguments);
}

std::string ParamStr(std::size_t i) {
    return ArgumentAt(ProgramArguments(), i);
}
