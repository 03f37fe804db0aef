#include <gtest/gtest.h>

#include "toolkit/Strings.h"
#include "ui/CommandLine.h"

namespace {

using Args = std::vector<std::string>;

TEST(SplitCommandLine, SeparatorsQuotesAndEmptyPairs) {
    const std::pair<const char*, Args> cases[] = {
        {"TAPEWRT.EXE", {"TAPEWRT.EXE"}},
        {"  TAPEWRT.EXE   a.mcr\t/S  ", {"TAPEWRT.EXE", "a.mcr", "/S"}},
        {"p \"C:\\My Macros\\a.mcr\" /S", {"p", "C:\\My Macros\\a.mcr", "/S"}},
        {"p C:\\\"My Macros\"\\a.mcr", {"p", "C:\\My Macros\\a.mcr"}},
        {"p \"\" /S", {"p", "/S"}},
        {"p a\x01"
         "b\x1f"
         "c",
         {"p", "a", "b", "c"}},
        {"p \"unterminated quote /E", {"p", "unterminated quote /E"}},
        {"p a\"\"b", {"p", "ab"}},
        {"", {}},
    };
    for (const auto& [line, arguments] : cases) {
        EXPECT_EQ(SplitCommandLine(line), arguments) << line;
    }
}

TEST(SplitCommandLine, MissingArgumentsReadAsEmpty) {
    const Args arguments = SplitCommandLine("p a.mcr /S");
    EXPECT_EQ(ArgumentAt(arguments, 1), "a.mcr");
    EXPECT_EQ(ArgumentAt(arguments, 2), "/S");
    EXPECT_EQ(ArgumentAt(arguments, 3), "");
    EXPECT_EQ(ArgumentAt(arguments, 4), "");
}

}  // namespace
