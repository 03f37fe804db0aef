#pragma once
// Functions that only newer Windows versions have are looked up when first needed, never
// imported: the system's loader refuses a program that imports a function it lacks, before
// any fallback could run. A lookup gives null where the system lacks the function.
//
//   static const auto create = SystemFunction<decltype(&CreateWaitableTimerExW)>(
//       L"kernel32.dll", "CreateWaitableTimerExW");
//   if (create != nullptr) ...
#include "platform/win32/WindowsApi.h"

// The export name of the system library module (a file name such as L"user32.dll"), which
// is loaded from the system folder when the process has not loaded it yet; null when either
// is missing.
FARPROC FindSystemFunction(const wchar_t* module, const char* name);

template <class Function>
Function SystemFunction(const wchar_t* module, const char* name) {
    return reinterpret_cast<Function>(
        reinterpret_cast<void (*)()>(FindSystemFunction(module, name)));
}
