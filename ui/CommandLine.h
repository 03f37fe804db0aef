#pragma once
// Splitting a command line into arguments: blanks, tabs and other control characters
// separate; double quotes group and are dropped; an empty pair of quotes is no argument.
#include <string>
#include <string_view>
#include <vector>

std::vector<std::string> SplitCommandLine(std::string_view commandLine);

// Argument i (1-based, after the program's own path) of args, or the empty text.
std::string ArgumentAt(const std::vector<std::string>& arguments, std::size_t i);

// The program's own arguments, set once by the program entry (index 0: the program).
void SetProgramArguments(std::vector<std::string> arguments);
// Argument i of the program, or the empty text.
std::string ParamStr(std::size_t i);
