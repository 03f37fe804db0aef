#include "platform/posix/SettingsLocation.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "toolkit/Files.h"

std::string SettingsDirectoryFor(const std::string& executableDirectory, bool writable,
                                 const char* xdgConfigHome, const char* home) {
    if (writable) return executableDirectory;
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
    // Only a folder that is there and refuses writes moves the settings elsewhere.
    const bool writable = executableDirectory.empty() ||
                          access(executableDirectory.c_str(), W_OK) == 0 ||
                          (errno != EACCES && errno != EROFS && errno != EPERM);
    std::string directory = SettingsDirectoryFor(
        executableDirectory, writable, std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME"));
    if (directory != executableDirectory) {
        // The parent may be missing too on a fresh account; an existing one is fine.
        mkdir(directory.substr(0, directory.rfind('/', directory.size() - 2)).c_str(), 0700);
        mkdir(directory.c_str(), 0700);
    }
    return directory;
}
