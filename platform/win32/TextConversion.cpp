#include "platform/win32/TextConversion.h"

#include "platform/win32/WindowsApi.h"

namespace {

constexpr UINT kProgramCodePage = 932;

std::wstring Widened(UINT codePage, const std::string& text) {
    if (text.empty()) return {};
    const int size = static_cast<int>(text.size());
    const int length = MultiByteToWideChar(codePage, 0, text.data(), size, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(codePage, 0, text.data(), size, wide.data(), length);
    return wide;
}

// The text in codePage; exact is false when a character had no spelling there. No best-fit
// look-alikes ("e" for "é"): a path must not lead to another file.
std::string Narrowed(UINT codePage, const std::wstring& text, bool& exact) {
    exact = true;
    if (text.empty()) return {};
    const int size = static_cast<int>(text.size());
    const DWORD flags = codePage == kProgramCodePage ? 0 : WC_NO_BEST_FIT_CHARS;
    const int length =
        WideCharToMultiByte(codePage, flags, text.data(), size, nullptr, 0, nullptr, nullptr);
    std::string narrow(static_cast<std::size_t>(length), '\0');
    BOOL defaulted = FALSE;
    WideCharToMultiByte(codePage, flags, text.data(), size, narrow.data(), length, nullptr,
                        codePage == kProgramCodePage ? nullptr : &defaulted);
    exact = defaulted == FALSE;
    return narrow;
}

// The short form of path, or of its folder followed by its name when the file does not exist
// yet; empty when the file system keeps none.
std::wstring ShortPath(const std::wstring& path) {
    wchar_t buffer[MAX_PATH];
    DWORD length = GetShortPathNameW(path.c_str(), buffer, MAX_PATH);
    if (length > 0 && length < MAX_PATH) return std::wstring(buffer, length);
    const std::size_t separator = path.find_last_of(L"\\/");
    if (separator == std::wstring::npos) return {};
    const std::wstring folder = path.substr(0, separator);
    length = GetShortPathNameW(folder.c_str(), buffer, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return {};
    return std::wstring(buffer, length) + path.substr(separator);
}

}  // namespace

std::wstring WideFromProgramText(const std::string& text) {
    return Widened(kProgramCodePage, text);
}

std::string ProgramTextFromWide(const std::wstring& text) {
    bool exact = true;
    return Narrowed(kProgramCodePage, text, exact);
}

std::wstring WideFromSystemText(const std::string& text) {
    return Widened(CP_ACP, text);
}

std::string SystemPathFromWide(const std::wstring& path) {
    bool exact = true;
    std::string narrow = Narrowed(CP_ACP, path, exact);
    if (exact) return narrow;
    const std::wstring shortPath = ShortPath(path);
    if (shortPath.empty()) return narrow;
    std::string shortNarrow = Narrowed(CP_ACP, shortPath, exact);
    return exact ? shortNarrow : narrow;
}
