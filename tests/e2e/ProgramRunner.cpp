#include "ProgramRunner.h"

#include <stdlib.h>

#include <cstdlib>
#include <filesystem>

#include "MacroFiles.h"

namespace fs = std::filesystem;

// The X11 journal on the test's display, whatever session the tests run in.
ProgramRunner::ProgramRunner(std::string binary, std::string displayName)
    : binary_(std::move(binary)),
      displayName_(std::move(displayName)),
      environment_{{"DISPLAY", displayName_}, {"TAPEWRIGHT_JOURNAL", "x11"}} {}

ProgramRunner::~ProgramRunner() {
    process_.Stop();
    if (!directory_.empty() && std::getenv("TAPEWRIGHT_E2E_KEEP") == nullptr) {
        std::error_code ignored;
        fs::remove_all(directory_, ignored);
    }
}

bool ProgramRunner::Prepare() {
    std::string pattern = (fs::temp_directory_path() / "tapewright-e2e-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) return false;
    directory_ = pattern;
    std::error_code error;
    fs::copy_file(binary_, ProgramPath(), error);
    return !error;
}

std::string ProgramRunner::ProgramPath() const {
    return File(fs::path(binary_).filename().string());
}

void ProgramRunner::SetEnvironment(const std::string& name, const std::string& value) {
    for (auto& variable : environment_) {
        if (variable.first == name) {
            variable.second = value;
            return;
        }
    }
    environment_.emplace_back(name, value);
}

bool ProgramRunner::Start(const std::vector<std::string>& arguments) {
    std::vector<std::string> argv = launcher_;
    argv.push_back(ProgramPath());
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    ChildOptions options;
    options.environment = environment_;
    options.workingDirectory = directory_;
    options.stdoutFile = File("stdout.txt");
    options.stderrFile = File("stderr.txt");
    return process_.Start(argv, options);
}

std::optional<int> ProgramRunner::WaitForExit(std::chrono::milliseconds timeout) {
    return process_.Wait(timeout);
}

std::string ProgramRunner::Output() const {
    return ReadWholeFile(File("stdout.txt")) + ReadWholeFile(File("stderr.txt"));
}

bool ProgramRunner::IsProgramWindow(const WindowInfo& window) {
    return window.name.find("Tapewright") != std::string::npos;
}

bool ProgramRunner::IsMainWindow(const WindowInfo& window) {
    return window.viewable && window.name.find("Tapewright R.7") != std::string::npos;
}
