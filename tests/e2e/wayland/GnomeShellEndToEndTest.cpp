// The program's extension for GNOME 43 and 44 under headless GNOME Shell 43: the program's
// source reads where the pointer is, and each move that Mutter's remote desktop makes; once
// the source has left, the extension sends no more.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "GnomeShellCompositor.h"

namespace {

using namespace std::chrono_literals;

TEST(GnomeShellExtensionTest, ReportsThePointerAfterEachMove) {
    GnomeShellCompositor shell;
    if (!shell.Start(60s)) GTEST_SKIP() << "headless GNOME Shell cannot start: " << shell.Error();
    const std::string output = shell.RuntimeDirectory() + "/probe.txt";
    std::vector<std::string> argv = shell.AsUser();
    for (const char* word : {TAPEWRIGHT_GNOME_PROBE, "100", "100", "1279", "719", "640", "360", "0",
                             "0", "641", "360"}) {
        argv.emplace_back(word);
    }
    ChildOptions options;
    options.environment = shell.BusEnvironment();
    options.stdoutFile = output;
    options.stderrFile = output;
    ChildProcess probe;
    ASSERT_TRUE(probe.Start(argv, options)) << probe.Error();
    const std::optional<int> status = probe.Wait(120s);
    std::stringstream printed;
    printed << std::ifstream(output).rdbuf();
    ASSERT_EQ(status, 0) << printed.str() << "\n" << shell.Log();
    EXPECT_NE(printed.str().find("moved 641 360 after 1 reports"), std::string::npos)
        << printed.str();
    EXPECT_NE(printed.str().find("quiet after"), std::string::npos) << printed.str();
}

}  // namespace
