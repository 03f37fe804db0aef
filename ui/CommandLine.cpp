#include "ui/CommandLine.h"

namespace {
std::vector<std::string>& ProgramArguments() {
    static std::vector<std::string> arguments;
    return arguments;
}
}  // namespace

std::string ArgumentAt(const std::vector<std::string>& arguments, std::size_t i) {
    return i < arguments.size() ? arguments[i] : std::string();
}

void SetProgramArguments(std::vector<std::string> arguments) {
    ProgramArguments() = std::move(arguments);
}

std::string ParamStr(std::size_t i) {
    return ArgumentAt(ProgramArguments(), i);
}
