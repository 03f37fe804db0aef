#include "platform/posix/SettingsLocation.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "toolkit/Files.h"

#ifndef TAPEWRIGHT_BIN_DIR
#define TAPEWRIGHT_BIN_DIR "/usr/local/bin"
#endif

bool IsInstalledDirectory(const std::string& executableDirectory) {
    static const char* const kProgramFolders[] = {"/usr/bin/",           "/bin/",
                                                  "/usr/sbin/",          "/sbin/",
                                                  "/usr/local/bin/",     "/usr/local/sbin/",
                                                  "/usr/games/",         "/usr/local/games/",
                                                  TAPEWRIGHT_BIN_DIR "/"};
    for (const char* folder : kProgramFolders) {
        if (executableDirectory == folder) return true;
    }
    return false;
}

std::string SettingsDirectoryFor(const std::string& executableDirectory, bool besideAllowed,
                                 const char* xdgConfigHome, const char* home) {
    if (besideAllowed) return executableDirectory;
    std::string base;
    if (xdgConfigHome != nullptr && *xdgConfigHome != '\0') {
        base = xdgConfigHome;
    } else if (home != nullptr && *home != '\0') {
        base = std::string(home) + "/.config";
    } else {
        return executableDirectory;  // nowhere better: writes will say they failed
    }
    return base + "/tapewright/";
}

std::string ApplicationSettingsDirectory(const std::string& executableDirectory) {
    // Only an installed program, or a folder that is there and refuses writes, moves the
    // settings elsewhere.
    const bool writable = executableDirectory.empty() ||
                          access(executableDirectory.c_str(), W_OK) == 0 ||
                          (errno != EACCES && errno != EROFS && errno != EPERM);
    std::string directory = SettingsDirectoryFor(
        executableDirectory, writable && !IsInstalledDirectory(executableDirectory),
        std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME"));
    if (directory != executableDirectory) {
        // The parent may be missing too on a fresh account; an existing one is fine.
        mkdir(directory.substr(0, directory.rfind('/', directory.size() - 2)).c_str(), 0700);
        mkdir(directory.c_str(), 0700);
    }
    return directory;
}
