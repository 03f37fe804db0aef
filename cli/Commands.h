#pragma once
// The commands of tapewright-macro. Each takes its arguments after the command's name and
// writes to out and err; the result is the process's exit status:
//   0  done (check: the macro ends with everything released and holds only input messages)
//   1  check found problems, one line each on out
//   2  the command line is wrong, or a file cannot be read or written
#include <ostream>
#include <string>
#include <vector>

inline constexpr int kExitOk = 0;
inline constexpr int kExitProblems = 1;
inline constexpr int kExitFailed = 2;

int RunMacroTool(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);
