// Settings values through the system's own profile functions.
#include "platform/win32/WindowsApi.h"
// <windows.h> names its own WriteProfileString function; the program's is meant here.
#undef WriteProfileString

#include "settings/ProfileFile.h"

std::string ReadProfileString(const std::string& section, const std::string& key,
                              const std::string& defaultText, const std::string& path) {
    char value[kMaxProfileValueLength + 1];
    const DWORD length = GetPrivateProfileStringA(section.c_str(), key.c_str(), defaultText.c_str(),
                                                  value, sizeof value, path.c_str());
    return std::string(value, length);
}

bool WriteProfileString(const std::string& section, const std::string& key,
                        const std::string& value, const std::string& path) {
    return WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), path.c_str()) !=
           0;
}
