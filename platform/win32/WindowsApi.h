#pragma once
// The Windows API, named in one place under platform/: the Windows layer and its own
// Windows-only tests include it from here. The system's journal record is called
// tagEVENTMSG here: the name EVENTMSG belongs to the program's own 20-byte record, whose
// window field stays 32 bits wide on 64-bit Windows too.
#define EVENTMSG SystemEventMsg
#define PEVENTMSG PSystemEventMsg
#define NPEVENTMSG NPSystemEventMsg
#define LPEVENTMSG LPSystemEventMsg
#include <windows.h>
// The common controls (status bar, tool tips) and the subclassing helpers.
#include <commctrl.h>
#undef EVENTMSG
#undef PEVENTMSG
#undef NPEVENTMSG
#undef LPEVENTMSG
