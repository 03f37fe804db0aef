#include "ChildProcess.h"

#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <thread>

extern char** environ;

namespace {

// The parent's environment with the given variables replaced or added.
std::vector<std::string> MergedEnvironment(
    const std::vector<std::pair<std::string, std::string>>& extra) {
    std::vector<std::string> merged;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        std::string text = *entry;
        bool replaced = false;
        for (const auto& [name, value] : extra) {
            replaced |= text.compare(0, name.size() + 1, name + "=") == 0;
        }
        if (!replaced) merged.push_back(std::move(text));
    }
    for (const auto& [name, value] : extra) merged.push_back(name + "=" + value);
    return merged;
}

std::vector<char*> Pointers(std::vector<std::string>& texts) {
    std::vector<char*> pointers;
    for (std::string& text : texts) pointers.push_back(text.data());
    pointers.push_back(nullptr);
    return pointers;
}

// Runs in the child between fork and exec: only async-signal-safe calls.
[[noreturn]] void ExecChild(char* const* argv, char* const* envp, const ChildOptions& options,
                            int stdoutFd, int stderrFd, int errorFd) {
    prctl(PR_SET_PDEATHSIG, SIGKILL);  // never outlive a crashed test
    if (stdoutFd >= 0) dup2(stdoutFd, STDOUT_FILENO);
    if (stderrFd >= 0) dup2(stderrFd, STDERR_FILENO);
    if (options.passFd >= 0) fcntl(options.passFd, F_SETFD, 0);
    if (!options.workingDirectory.empty() && chdir(options.workingDirectory.c_str()) != 0) {
        int code = errno;
        (void)!write(errorFd, &code, sizeof code);
        _exit(127);
    }
    execvpe(argv[0], argv, envp);
    int code = errno;
    (void)!write(errorFd, &code, sizeof code);
    _exit(127);
}

int OpenOutput(const std::string& path) {
    if (path.empty()) return -1;
    return open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
}

}  // namespace

ChildProcess::~ChildProcess() {
    if (pid_ > 0) Stop();
    if (readFd_ >= 0) close(readFd_);
}

bool ChildProcess::Start(const std::vector<std::string>& argv, const ChildOptions& options) {
    if (Running()) Stop();
    pid_ = -1;
    status_.reset();
    if (readFd_ >= 0) close(readFd_);
    readFd_ = -1;
    std::vector<std::string> arguments = argv;
    std::vector<std::string> environment = MergedEnvironment(options.environment);
    std::vector<char*> argPointers = Pointers(arguments);
    std::vector<char*> envPointers = Pointers(environment);

    int errorPipe[2];
    int outputPipe[2] = {-1, -1};
    if (pipe2(errorPipe, O_CLOEXEC) != 0 ||
        (options.pipeStdout && pipe2(outputPipe, O_CLOEXEC) != 0)) {
        error_ = "pipe failed";
        return false;
    }
    int stdoutFd = options.pipeStdout ? outputPipe[1] : OpenOutput(options.stdoutFile);
    int stderrFd = OpenOutput(options.stderrFile);

    pid_ = fork();
    if (pid_ == 0) {
        ExecChild(argPointers.data(), envPointers.data(), options, stdoutFd, stderrFd,
                  errorPipe[1]);
    }
    close(errorPipe[1]);
    if (stdoutFd >= 0) close(stdoutFd);
    if (stderrFd >= 0) close(stderrFd);
    if (options.pipeStdout) readFd_ = outputPipe[0];
    if (pid_ < 0) {
        close(errorPipe[0]);
        error_ = "fork failed";
        return false;
    }
    int code = 0;
    ssize_t got = read(errorPipe[0], &code, sizeof code);  // EOF once exec succeeded
    close(errorPipe[0]);
    if (got == static_cast<ssize_t>(sizeof code)) {
        error_ = "cannot start " + argv[0] + ": " + std::strerror(code);
        Reap(true);
        pid_ = -1;
        return false;
    }
    return true;
}

bool ChildProcess::Reap(bool block) {
    if (pid_ <= 0 || status_) return true;
    int status = 0;
    pid_t got = waitpid(pid_, &status, block ? 0 : WNOHANG);
    if (got != pid_) return false;
    status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return true;
}

std::optional<int> ChildProcess::Wait(std::chrono::milliseconds timeout) {
    auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!Reap(false)) {
        if (std::chrono::steady_clock::now() >= deadline) return std::nullopt;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return status_;
}

bool ChildProcess::Running() {
    return pid_ > 0 && !Reap(false);
}

std::optional<int> ChildProcess::Stop(std::chrono::milliseconds grace) {
    if (pid_ <= 0) return status_;
    if (Running()) {
        kill(pid_, SIGTERM);
        if (!Wait(grace)) {
            kill(pid_, SIGKILL);
            Reap(true);
        }
    }
    return status_;
}
