#pragma once
// What the engine and the main window need of the platform's input journal. Each platform
// folder realises these functions; CMake links exactly one realisation.
//
// The journal protocol the platform follows:
//   record:   for each input event it calls the record procedure with kHookAction and a
//             pointer to an EVENTMSG stamped on the JournalTickCount() clock; it may also
//             pass negative codes and kHookSysModalOn/Off.
//   playback: it calls the playback procedure with kHookGetNext and a pointer to an
//             EVENTMSG; while the returned delay is above 0 it waits and may ask again;
//             having delivered the record it calls kHookSkip. After the hook is removed
//             it calls no more.
//   cancel:   when the user cancels journalling (Ctrl+Esc) the platform removes the hooks
//             itself and posts msg::kCancelJournal to the application's queue.
#include <cstdint>
#include <string>

using JournalHookHandle = uintptr_t;  // 0: no hook
using JournalHookProc = int32_t (*)(int32_t code, uintptr_t wParam, intptr_t lParam);

enum class JournalHookType : int32_t { Record = 0, Playback = 1 };

inline constexpr int32_t kHookAction = 0;
inline constexpr int32_t kHookGetNext = 1;
inline constexpr int32_t kHookSkip = 2;
inline constexpr int32_t kHookNoRemove = 3;
inline constexpr int32_t kHookSysModalOn = 4;
inline constexpr int32_t kHookSysModalOff = 5;

// Installs a system-wide journal hook; returns its handle, or 0 when the system refuses.
JournalHookHandle InstallJournalHook(JournalHookType type, JournalHookProc procedure);
// Removes a hook; a handle that the system has already removed is ignored.
void RemoveJournalHook(JournalHookHandle handle);
// Passes a call on to the next hook in the chain and returns its result.
int32_t CallNextJournalHook(JournalHookHandle handle, int32_t code, uintptr_t wParam,
                            intptr_t lParam);
// Milliseconds on the clock of the journal's time stamps, wrapping at 2^32.
uint32_t JournalTickCount();
// A note for the user when the journal cannot see every program in this session (where
// a recording can come out empty through no fault of the user's); empty when it sees all.
std::string JournalRecordingLimit();
