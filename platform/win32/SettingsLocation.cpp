// Where the settings file of the Windows program goes: beside the executable, as the program
// always kept it, unless that folder refuses new files (Program Files for a user who is not
// an administrator, a read-only share); then in the user's own application data folder.
#include "platform/win32/WindowsApi.h"

#include <shlobj.h>

#include <string>

#include "toolkit/Files.h"

namespace {

// False only when the folder is there and refuses a new file (access denied, a read-only
// medium or mount); a missing folder is left to the writes, which then report the path.
// The probe file goes when its handle closes.
bool FolderTakesNewFiles(const std::string& folder) {
    const std::string probe =
        folder + "Tapewright-" + std::to_string(GetCurrentProcessId()) + ".tmp";
    HANDLE file = CreateFileA(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        CloseHandle(file);
        return true;
    }
    if (GetLastError() == ERROR_FILE_EXISTS) return true;
    const DWORD attributes = GetFileAttributesA(folder.c_str());
    return attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

// %APPDATA%\Tapewright\, made when missing; empty when the user has no such folder.
std::string UserSettingsFolder() {
    char appData[MAX_PATH];
    if (SHGetFolderPathA(nullptr, CSIDL_APPDATA | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT,
                         appData) != S_OK) {
        return {};
    }
    const std::string folder = std::string(appData) + "\\Tapewright";
    if (!CreateDirectoryA(folder.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
        return {};
    }
    return folder + "\\";
}

}  // namespace

std::string ApplicationSettingsDirectory(const std::string& executableDirectory) {
    if (executableDirectory.empty() || FolderTakesNewFiles(executableDirectory)) {
        return executableDirectory;
    }
    const std::string user = UserSettingsFolder();
    return user.empty() ? executableDirectory : user;
}
