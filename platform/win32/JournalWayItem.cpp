#include "platform/win32/JournalWayItem.h"

#include <cstring>
#include <string>

#include "platform/win32/TextConversion.h"
#include "platform/win32/Win32Journal.h"

namespace {

constexpr UINT kJournalWayItem = 0xE7A0;  // below SC_SIZE, as menu commands must be

std::string JournalWayText() {
    const char* inUse = Win32Journal::Instance().WayInUse();
    if (std::strcmp(inUse, "system") == 0) return "入力: システムのジャーナルフック";
    if (std::strcmp(inUse, "emulated") == 0) return "入力: 低レベルフックと SendInput";
    switch (RequestedJournalWay()) {
        case JournalWay::System:
            return "入力: システムのジャーナルフック";
        case JournalWay::Emulated:
            return "入力: 低レベルフックと SendInput";
        case JournalWay::Automatic:
            break;
    }
    return "入力: システムのジャーナルフック (使えなければ低レベルフック)";
}

}  // namespace

void ShowJournalWay(HWND window) {
    HMENU menu = GetSystemMenu(window, FALSE);
    if (menu == nullptr) return;
    const std::wstring text = WideFromProgramText(JournalWayText());
    if (GetMenuState(menu, kJournalWayItem, MF_BYCOMMAND) == static_cast<UINT>(-1)) {
        AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
        AppendMenuW(menu, MF_STRING | MF_GRAYED, kJournalWayItem, text.c_str());
        return;
    }
    ModifyMenuW(menu, kJournalWayItem, MF_BYCOMMAND | MF_STRING | MF_GRAYED, kJournalWayItem,
                text.c_str());
}
