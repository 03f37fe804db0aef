#include "platform/win32/Win32Help.h"

#include "toolkit/Files.h"
#include "toolkit/Strings.h"

std::string HelpPagePath(const std::string& helpFile, const std::string& executable) {
    if (helpFile.empty()) return {};
    std::string page = ChangeFileExt(helpFile, ".HTM", kWindowsPathRules);
    if (LastSeparator(page, kWindowsPathRules) != std::string::npos) return page;
    return ExtractFilePath(executable, kWindowsPathRules) + page;
}

bool OpenHelpPage(const std::string& helpFile, HWND owner) {
    std::string page = HelpPagePath(helpFile, ExecutablePath());
    if (page.empty() || !FileExists(page)) return false;
    // The path is in the system's code page, as the file functions gave it.
    std::wstring wide(
        static_cast<std::size_t>(MultiByteToWideChar(CP_ACP, 0, page.c_str(), -1, nullptr, 0)),
        L'\0');
    MultiByteToWideChar(CP_ACP, 0, page.c_str(), -1, wide.data(), static_cast<int>(wide.size()));
    auto result = reinterpret_cast<INT_PTR>(
        ShellExecuteW(owner, L"open", wide.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    return result > 32;
}
