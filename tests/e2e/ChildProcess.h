#pragma once
// A child process started with fork/exec: its own argument list, extra environment
// variables, a working directory, and optionally its standard output and error sent to files
// or its standard output kept on a pipe for the caller to read. The destructor ends a child
// that is still running (SIGTERM, then SIGKILL) and reaps it.
#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>
#include <utility>
#include <vector>

struct ChildOptions {
    std::vector<std::pair<std::string, std::string>> environment;  // set in the child
    std::string workingDirectory;                                  // empty: inherit
    std::string stdoutFile;                                        // empty: inherit
    std::string stderrFile;                                        // empty: inherit
    bool pipeStdout = false;  // keep the child's standard output on a pipe (ReadFd)
    int passFd = -1;          // a descriptor the child keeps open under its own number
};

class ChildProcess {
  public:
    ChildProcess() = default;
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // Starts argv[0] (looked up in PATH when it holds no slash). False if fork or exec failed;
    // Error() then says why.
    bool Start(const std::vector<std::string>& argv, const ChildOptions& options = {});

    // Waits for the child to end; its exit code, 128 + signal when a signal ended it, or
    // nothing when the timeout passed first.
    std::optional<int> Wait(std::chrono::milliseconds timeout);

    // True while the child has not been seen to end.
    bool Running();

    // Sends SIGTERM, waits up to grace for the end, then SIGKILL. Returns the exit status.
    std::optional<int> Stop(std::chrono::milliseconds grace = std::chrono::milliseconds(2000));

    pid_t Pid() const { return pid_; }
    int ReadFd() const { return readFd_; }
    const std::string& Error() const { return error_; }

  private:
    bool Reap(bool block);

    pid_t pid_ = -1;
    int readFd_ = -1;
    std::optional<int> status_;
    std::string error_;
};
