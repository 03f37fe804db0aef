// tapewright-macro: inspect, check and edit macro files as text.
#include <iostream>

#include "cli/Commands.h"
#include "toolkit/Files.h"
#include "toolkit/Strings.h"

int main(int argc, char** argv) {
    SetPlatformPathRules(NativePathRules());
    return RunMacroTool(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr);
}
