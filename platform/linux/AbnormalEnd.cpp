#include "platform/linux/AbnormalEnd.h"

#include <FL/Fl.H>
#include <X11/Xlib.h>
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "platform/linux/LinuxJournal.h"
#include "toolkit/Application.h"

namespace {

constexpr int kEndSignals[] = {SIGTERM, SIGINT, SIGHUP};
int signalPipe[2] = {-1, -1};

void ReleaseJournalInput(Display* lost = nullptr) {
    if (LinuxJournal* journal = SelectedJournal()) journal->ReleaseInput(lost);
}

// Only writes the signal's number: the UI loop does the work. The handler is reset on its
// first call, so a second signal ends a program that no longer takes turns of its loop.
void OnEndSignal(int number) {
    const unsigned char byte = static_cast<unsigned char>(number);
    [[maybe_unused]] ssize_t written = write(signalPipe[1], &byte, 1);
}

void OnSignalReadable(int fd, void*) {
    unsigned char number = 0;
    if (read(fd, &number, 1) != 1) return;
    ReleaseJournalInput();
    // Logout and shutdown: what a close requested by the system stores is stored.
    if ((number == SIGHUP || number == SIGTERM) && Application != nullptr) {
        Application->EndSession();
    }
    std::_Exit(128 + number);
}

int OnDisplayLost(Display* display) {
    static bool ending = false;
    if (!ending) {
        ending = true;
        std::fputs("tapewright: the connection to the X display was lost\n", stderr);
        ReleaseJournalInput(display);
    }
    std::_Exit(1);
}

bool OpenSignalPipe() {
    if (pipe(signalPipe) != 0) return false;
    for (int fd : signalPipe) {
        fcntl(fd, F_SETFD, FD_CLOEXEC);
        fcntl(fd, F_SETFL, O_NONBLOCK);
    }
    return true;
}

}  // namespace

void InstallAbnormalEndHandlers() {
    XSetIOErrorHandler(&OnDisplayLost);
    if (!OpenSignalPipe()) return;
    Fl::add_fd(signalPipe[0], FL_READ, &OnSignalReadable, nullptr);
    struct sigaction action {};
    action.sa_handler = &OnEndSignal;
    action.sa_flags = SA_RESETHAND | SA_RESTART;
    sigemptyset(&action.sa_mask);
    for (int number : kEndSignals) sigaction(number, &action, nullptr);
}
