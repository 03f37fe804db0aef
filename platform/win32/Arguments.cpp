// The program's arguments on Windows: the command line as the system holds it, split by the
// program's own rule (the C runtime's argv splits differently).
#include "platform/win32/WindowsApi.h"

#include "toolkit/Platform.h"
#include "toolkit/Strings.h"

std::vector<std::string> PlatformArguments(int, char**) {
    return SplitCommandLine(GetCommandLineA());
}
