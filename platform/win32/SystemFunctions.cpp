#include "platform/win32/SystemFunctions.h"

#include <string>

namespace {

// A library the process has not loaded yet comes from the system folder only, never from
// the program's folder or the current one.
HMODULE SystemModule(const wchar_t* module) {
    if (HMODULE loaded = GetModuleHandleW(module)) return loaded;
    wchar_t folder[MAX_PATH];
    const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return nullptr;
    const std::wstring path = std::wstring(folder, length) + L"\\" + module;
    return LoadLibraryW(path.c_str());
}

}  // namespace

FARPROC FindSystemFunction(const wchar_t* module, const char* name) {
    HMODULE library = SystemModule(module);
    return library != nullptr ? GetProcAddress(library, name) : nullptr;
}
