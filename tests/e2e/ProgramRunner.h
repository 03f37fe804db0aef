#pragma once
// Runs the tapewright binary the way a user would, from a private copy: the program keeps its
// settings file beside its own executable, so each run gets a fresh directory holding a copy
// of the binary, where Tapewright.ini then appears. The directory also holds the run's
// standard output and error and any files a test puts there; it is removed at the end
// unless TAPEWRIGHT_E2E_KEEP is set.
#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "ChildProcess.h"
#include "XSession.h"

class ProgramRunner {
  public:
    ProgramRunner(std::string binary, std::string displayName);
    ~ProgramRunner();
    ProgramRunner(const ProgramRunner&) = delete;
    ProgramRunner& operator=(const ProgramRunner&) = delete;

    // Makes the directory and copies the binary into it. False if either fails.
    bool Prepare();
    const std::string& Directory() const { return directory_; }
    std::string File(const std::string& name) const { return directory_ + "/" + name; }
    std::string SettingsPath() const { return File("Tapewright.ini"); }

    // Variables for the program besides DISPLAY and TAPEWRIGHT_JOURNAL=x11, which they may
    // override: TAPEWRIGHT_JOURNAL=wayland, or MockDevices' test bed.
    void SetEnvironment(const std::string& name, const std::string& value);
    // Words put before the program's path at the next Start: a switch to another user.
    void SetLauncher(std::vector<std::string> launcher) { launcher_ = std::move(launcher); }
    // The program's copy, as the process runs it.
    std::string ProgramPath() const;

    bool Start(const std::vector<std::string>& arguments);
    std::optional<int> WaitForExit(std::chrono::milliseconds timeout);
    bool Running() { return process_.Running(); }
    pid_t Pid() const { return process_.Pid(); }
    void Kill() { process_.Stop(std::chrono::milliseconds(500)); }

    // What the program wrote to standard output and error so far.
    std::string Output() const;

    // A window of the program: its title holds "Tapewright" (the main window, and the
    // message box that reports an error).
    static bool IsProgramWindow(const WindowInfo& window);
    // The main window: shown, with the title " Tapewright R.7" or one made from it.
    static bool IsMainWindow(const WindowInfo& window);

  private:
    std::string binary_;
    std::string displayName_;
    std::string directory_;
    std::vector<std::pair<std::string, std::string>> environment_;
    std::vector<std::string> launcher_;
    ChildProcess process_;
};
