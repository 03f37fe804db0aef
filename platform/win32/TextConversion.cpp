#include "platform/win32/TextConversion.h"

#include "platform/win32/WindowsApi.h"

namespace {
constexpr UINT kProgramCodePage = 932;
}  // namespace

std::wstring WideFromProgramText(const std::string& text) {
    if (text.empty()) return {};
    const int size = static_cast<int>(text.size());
    const int length = MultiByteToWideChar(kProgramCodePage, 0, text.data(), size, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(kProgramCodePage, 0, text.data(), size, wide.data(), length);
    return wide;
}

std::string ProgramTextFromWide(const std::wstring& text) {
    if (text.empty()) return {};
    const int size = static_cast<int>(text.size());
    const int length =
        WideCharToMultiByte(kProgramCodePage, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
    std::string narrow(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(kProgramCodePage, 0, text.data(), size, narrow.data(), length, nullptr,
                        nullptr);
    return narrow;
}
