#include "platform/win32/Win32Help.h"

#include "platform/win32/TextConversion.h"

#include "toolkit/Files.h"
#include "toolkit/Strings.h"

std::string HelpPagePath(const std::string& helpFile, const std::string& executable,
                         const PathRules& rules) {
    if (helpFile.empty()) return {};
    std::string page = ChangeFileExt(helpFile, ".HTM", rules);
    if (LastSeparator(page, rules) != std::string::npos) return page;
    return ExtractFilePath(executable, rules) + page;
}

bool OpenHelpPage(const std::string& helpFile, HWND owner) {
    std::string page = HelpPagePath(helpFile, ExecutablePath(), NativePathRules());
    if (page.empty() || !FileExists(page)) return false;
    // The path is in the system's code page, as the file functions gave it.
    const std::wstring wide = WideFromSystemText(page);
    auto result = reinterpret_cast<INT_PTR>(
        ShellExecuteW(owner, L"open", wide.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    return result > 32;
}
