// Realises engine/Journal.h over the Windows journal.
#include "engine/Journal.h"

#include "platform/win32/TickClock.h"
#include "platform/win32/Win32Journal.h"

JournalHookHandle InstallJournalHook(JournalHookType type, JournalHookProc procedure) {
    return Win32Journal::Instance().Install(type, procedure);
}

void RemoveJournalHook(JournalHookHandle handle) {
    Win32Journal::Instance().Remove(handle);
}

int32_t CallNextJournalHook(JournalHookHandle handle, int32_t code, uintptr_t wParam,
                            intptr_t lParam) {
    return Win32Journal::Instance().CallNext(handle, code, wParam, lParam);
}

uint32_t JournalTickCount() {
    return TickMilliseconds();
}

std::string JournalRecordingLimit() {
    return std::string();  // the system's journal sees every program
}
