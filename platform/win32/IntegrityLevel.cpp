#include "platform/win32/IntegrityLevel.h"

#include <vector>

namespace {

constexpr DWORD kQueryLimitedInformation = 0x1000;  // PROCESS_QUERY_LIMITED_INFORMATION
constexpr int kTokenIntegrityLevel = 25;            // TokenIntegrityLevel

DWORD LevelOfProcess(HANDLE process) {
    HANDLE token = nullptr;
    if (!OpenProcessToken(process, TOKEN_QUERY, &token)) return 0;
    DWORD size = 0;
    const auto type = static_cast<TOKEN_INFORMATION_CLASS>(kTokenIntegrityLevel);
    GetTokenInformation(token, type, nullptr, 0, &size);
    std::vector<unsigned char> buffer(size);
    DWORD level = 0;
    if (size != 0 && GetTokenInformation(token, type, buffer.data(), size, &size)) {
        PSID sid = reinterpret_cast<const SID_AND_ATTRIBUTES*>(buffer.data())->Sid;
        const UCHAR count = *GetSidSubAuthorityCount(sid);
        if (count > 0) level = *GetSidSubAuthority(sid, count - 1);
    }
    CloseHandle(token);
    return level;
}

}  // namespace

DWORD IntegrityLevelOf(HWND window) {
    if (window == nullptr) return LevelOfProcess(GetCurrentProcess());
    DWORD id = 0;
    GetWindowThreadProcessId(window, &id);
    if (id == 0) return 0;
    HANDLE process = OpenProcess(kQueryLimitedInformation, FALSE, id);
    if (process == nullptr) return 0;
    const DWORD level = LevelOfProcess(process);
    CloseHandle(process);
    return level;
}
