#include "platform/win32/Win32FileDialog.h"

#include <vector>

#include "platform/win32/TextConversion.h"
#include "platform/win32/TopmostDialogs.h"

namespace {

// Long enough for any path the ANSI file functions can take.
constexpr DWORD kPathBufferSize = 4096;

struct OptionFlag {
    TOpenOption option;
    DWORD flag;
};

constexpr OptionFlag kOptionFlags[] = {
    {ofReadOnly, OFN_READONLY},
    {ofOverwritePrompt, OFN_OVERWRITEPROMPT},
    {ofHideReadOnly, OFN_HIDEREADONLY},
    {ofNoChangeDir, OFN_NOCHANGEDIR},
    {ofNoValidate, OFN_NOVALIDATE},
    {ofPathMustExist, OFN_PATHMUSTEXIST},
    {ofFileMustExist, OFN_FILEMUSTEXIST},
    {ofCreatePrompt, OFN_CREATEPROMPT},
    {ofNoReadOnlyReturn, OFN_NOREADONLYRETURN},
    {ofEnableSizing, OFN_ENABLESIZING},
};

}  // namespace

std::string FilterBuffer(const std::vector<TFileFilter>& filters) {
    std::string buffer;
    for (const TFileFilter& filter : filters) {
        buffer += filter.text;
        buffer += '\0';
        buffer += filter.pattern;
        buffer += '\0';
    }
    buffer += '\0';
    return buffer;
}

DWORD FileDialogFlags(TOpenOptions options) {
    DWORD flags = OFN_EXPLORER;
    for (const OptionFlag& entry : kOptionFlags) {
        if ((options & entry.option) != 0) flags |= entry.flag;
    }
    return flags;
}

const char* SystemDefaultExt(const TFileDialog& dialog) {
    return dialog.DefaultExt.empty() ? nullptr : dialog.DefaultExt.c_str();
}

// The texts go to the wide dialog converted from the program's code page, so that they read
// right on any system; the chosen path comes back in the system's own code page.
bool RunFileDialog(TFileDialog& dialog, HWND owner) {
    std::vector<TFileFilter> filters = dialog.Filters();
    const std::wstring filter = WideFromProgramText(FilterBuffer(filters));
    const std::wstring title = WideFromProgramText(dialog.Title);
    const char* defaultExt = SystemDefaultExt(dialog);
    const std::wstring extension = defaultExt != nullptr ? WideFromProgramText(defaultExt) : L"";
    std::vector<wchar_t> path(kPathBufferSize, L'\0');
    OPENFILENAMEW request{};
    request.lStructSize = sizeof request;
    request.hwndOwner = owner;
    request.lpstrFilter = filters.empty() ? nullptr : filter.c_str();
    request.nFilterIndex = static_cast<DWORD>(dialog.FilterIndex);
    request.lpstrFile = path.data();
    request.nMaxFile = kPathBufferSize;
    request.lpstrTitle = title.empty() ? nullptr : title.c_str();
    request.Flags = FileDialogFlags(dialog.Options);
    request.lpstrDefExt = defaultExt != nullptr ? extension.c_str() : nullptr;
    TopmostDialogs aboveTheMainWindow;
    bool chosen = dialog.Kind() == FileDialogKind::Save ? GetSaveFileNameW(&request) != FALSE
                                                        : GetOpenFileNameW(&request) != FALSE;
    if (!chosen) return false;
    // The system has added the extension where it would; the toolkit's rule is the last word.
    dialog.FileName = dialog.WithDefaultExt(SystemPathFromWide(path.data()));
    return true;
}
