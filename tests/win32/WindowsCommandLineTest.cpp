// The program's arguments come from GetCommandLineA through the program's own splitting
// rule: the test program starts itself with a known command line and reports what it got.
#include "platform/win32/WindowsApi.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "ScratchDirectory.h"
#include "toolkit/Files.h"
#include "toolkit/Platform.h"

namespace {

const char kReportVariable[] = "TAPEWRIGHT_TEST_ARGUMENTS_TO";

// Run in the child only (disabled otherwise): writes each argument after index 0 on a line
// of its own to the file the parent names.
TEST(WindowsCommandLine, DISABLED_ReportArguments) {
    const char* report = std::getenv(kReportVariable);
    ASSERT_NE(report, nullptr);
    std::string text;
    const std::vector<std::string> arguments = PlatformArguments(0, nullptr);
    for (std::size_t i = 1; i < arguments.size(); ++i) text += arguments[i] + "\n";
    WriteBytes(report, text);
}

TEST(WindowsCommandLine, SplitsTheSystemsCommandLine) {
    ScratchDirectory scratch;
    const std::string report = scratch.File("arguments.txt");
    std::string line = "\"" + ExecutablePath() +
                       "\" --gtest_also_run_disabled_tests "
                       "--gtest_filter=WindowsCommandLine.DISABLED_ReportArguments "
                       "\"C:\\My Macros\\a.mcr\" /E \"\" x\"y z\"w";
    ASSERT_TRUE(SetEnvironmentVariableA(kReportVariable, report.c_str()));
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    const BOOL started = CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                        nullptr, &startup, &process);
    SetEnvironmentVariableA(kReportVariable, nullptr);
    ASSERT_TRUE(started);
    WaitForSingleObject(process.hProcess, INFINITE);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    EXPECT_EQ(ReadBytes(report),
              "--gtest_also_run_disabled_tests\n"
              "--gtest_filter=WindowsCommandLine.DISABLED_ReportArguments\n"
              "C:\\My Macros\\a.mcr\n/E\nxy zw\n");
}

}  // namespace
