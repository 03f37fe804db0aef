// Realises engine/Journal.h by handing each call to the journal chosen at start.
#include "engine/Journal.h"
#include "platform/linux/LinuxJournal.h"
#include "platform/posix/MonotonicClock.h"

namespace {

std::unique_ptr<LinuxJournal>& Selected() {
    static std::unique_ptr<LinuxJournal> journal;
    return journal;
}

}  // namespace

void SelectJournal(std::unique_ptr<LinuxJournal> journal) {
    Selected() = std::move(journal);
}

LinuxJournal* SelectedJournal() {
    return Selected().get();
}

JournalHookHandle InstallJournalHook(JournalHookType type, JournalHookProc procedure) {
    return Selected() ? Selected()->Install(type, procedure) : 0;
}

void RemoveJournalHook(JournalHookHandle handle) {
    if (Selected()) Selected()->Remove(handle);
}

int32_t CallNextJournalHook(JournalHookHandle, int32_t, uintptr_t, intptr_t) {
    return 0;  // neither journal has a chain of other hooks
}

// Both journals stamp their records on the monotonic clock.
uint32_t JournalTickCount() {
    return MonotonicTick();
}

std::string JournalRecordingLimit() {
    return Selected() ? Selected()->RecordingLimit() : std::string();
}
