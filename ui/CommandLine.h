#pragma once
// The program's arguments, read by index as the windows' logic reads them. The command line
// is split by SplitCommandLine (toolkit/Strings.h).
#include <string>
#include <vector>

// Argument i (1-based, after the program's own path) of args, or the empty text.
std::string ArgumentAt(const std::vector<std::string>& arguments, std::size_t i);

// The program's own arguments, set once by the program entry (index 0: the program).
void SetProgramArguments(std::vector<std::string> arguments);
// Argument i of the program, or the empty text.
std::string ParamStr(std::size_t i);
