// The Linux platform: an X display is required (the window runs on XWayland in a Wayland
// session); the journal is the one the session calls for. Arguments come from argv as the
// shell split them, an empty one counting as no argument.
#include <FL/Fl.H>
#include <FL/x.H>
#include <X11/Xlib.h>

#include <csignal>
#include <cstdlib>

#include "engine/EventMsg.h"
#include "platform/fltk/FltkBackend.h"
#include "platform/linux/AbnormalEnd.h"
#include "platform/linux/JournalChoice.h"
#include "platform/linux/LinuxJournal.h"
#include "platform/wayland/WaylandJournal.h"
#include "platform/x11/X11Journal.h"
#include "toolkit/Application.h"
#include "toolkit/Exception.h"
#include "toolkit/Platform.h"
#include "toolkit/Strings.h"

namespace {

// The FLTK window over the chosen journal: the journal's cancel (Ctrl+Esc) reaches the
// application's queue as msg::kCancelJournal while the window backend lives, and the help
// page says which journal is in use.
class LinuxBackend final : public FltkBackend {
  public:
    explicit LinuxBackend(LinuxJournal& journal) : journal_(journal) {
        journal_.SetCancelHandler([] {
            if (Application != nullptr) Application->Post(TMsg{0, msg::kCancelJournal});
        });
        SetAboutText([this] { return journal_.WayText(); });
    }
    ~LinuxBackend() override { journal_.SetCancelHandler(nullptr); }
    LinuxBackend(const LinuxBackend&) = delete;
    LinuxBackend& operator=(const LinuxBackend&) = delete;

  private:
    LinuxJournal& journal_;
};

std::unique_ptr<LinuxJournal> MakeJournal() {
    if (ChooseJournal(CurrentJournalEnvironment()) == JournalKind::Wayland) {
        return MakeWaylandJournal();
    }
    return MakeX11Journal();
}

}  // namespace

std::unique_ptr<Backend> StartPlatform() {
    // A file size limit then fails the write (EFBIG), which the save reports and cleans up
    // after, instead of ending the program half-way through it.
    std::signal(SIGXFSZ, SIG_IGN);
    const char* name = std::getenv("DISPLAY");
    if (name == nullptr || *name == '\0') {
        throw Exception("no X display: DISPLAY is not set; start it from a desktop session");
    }
    Display* probe = XOpenDisplay(name);
    if (probe == nullptr) {
        throw Exception(std::string("cannot open the X display ") + name);
    }
    XCloseDisplay(probe);
    fl_open_display();
    InstallAbnormalEndHandlers();
    SetPlatformPathRules(kPosixPathRules);
    SelectJournal(MakeJournal());
    return std::make_unique<LinuxBackend>(*SelectedJournal());
}

std::vector<std::string> PlatformArguments(int argc, char** argv) {
    std::vector<std::string> arguments;
    for (int i = 0; i < argc; ++i) {
        if (i == 0 || argv[i][0] != '\0') arguments.emplace_back(argv[i]);
    }
    return arguments;
}
