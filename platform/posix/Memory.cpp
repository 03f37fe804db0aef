#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "platform/posix/MemoryInfo.h"
#include "toolkit/Memory.h"

namespace {

// The value of "Name:  1234 kB" in meminfo, in bytes.
bool MeminfoBytes(std::string_view meminfo, std::string_view name, uint64_t& bytes) {
    std::size_t at = 0;
    while (at < meminfo.size()) {
        std::size_t end = meminfo.find('\n', at);
        if (end == std::string_view::npos) end = meminfo.size();
        std::string_view line = meminfo.substr(at, end - at);
        at = end + 1;
        if (line.size() <= name.size() || line.substr(0, name.size()) != name ||
            line[name.size()] != ':') {
            continue;
        }
        uint64_t kilobytes = 0;
        bool digits = false;
        for (char c : line.substr(name.size() + 1)) {
            if (c >= '0' && c <= '9') {
                kilobytes = kilobytes * 10 + static_cast<uint64_t>(c - '0');
                digits = true;
            } else if (digits) {
                break;
            }
        }
        bytes = kilobytes * 1024;
        return digits;
    }
    return false;
}

// A decimal byte count at the start of text.
bool ByteCount(std::string_view text, uint64_t& bytes) {
    bytes = 0;
    std::size_t at = 0;
    for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at) {
        bytes = bytes * 10 + static_cast<uint64_t>(text[at] - '0');
    }
    return at > 0;
}

std::string FileText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The path of the program's group in the hierarchy whose controller list is controllers
// ("" for cgroup v2, "memory" for v1), from /proc/self/cgroup's "id:controllers:path" lines.
bool ControlGroupPath(std::string_view membership, std::string_view controllers,
                      std::string& path) {
    while (!membership.empty()) {
        std::string_view line = membership.substr(0, membership.find('\n'));
        membership.remove_prefix(std::min(membership.size(), line.size() + 1));
        const std::size_t first = line.find(':');
        const std::size_t second = line.find(':', first + 1);
        if (first == std::string_view::npos || second == std::string_view::npos) continue;
        const std::string_view list = line.substr(first + 1, second - first - 1);
        const bool match =
            controllers.empty()
                ? list.empty()
                : ("," + std::string(list) + ",").find("," + std::string(controllers) + ",") !=
                      std::string::npos;
        if (!match) continue;
        path = std::string(line.substr(second + 1));
        return true;
    }
    return false;
}

// The group's folder under the mount point; the mount point itself where the group's own
// folder is not visible (in a container); empty when the program belongs to no such group.
std::string ControlGroupFolder(std::string_view membership, std::string_view controllers,
                               const std::string& mount) {
    std::string path;
    if (!ControlGroupPath(membership, controllers, path)) return {};
    std::error_code ignored;
    if (std::filesystem::is_directory(mount + path, ignored)) return mount + path;
    return std::filesystem::is_directory(mount, ignored) ? mount : std::string();
}

struct GroupFiles {
    std::string folder;
    const char* limit;
    const char* usage;
};

}  // namespace

uint64_t AvailableMemoryOf(std::string_view meminfo, std::string_view groupLimit,
                           std::string_view groupUsage) {
    uint64_t available = UINT64_MAX;
    uint64_t swapFree = 0;
    if (MeminfoBytes(meminfo, "MemAvailable", available)) {
        MeminfoBytes(meminfo, "SwapFree", swapFree);
        available += swapFree;
    }
    uint64_t limit = 0;
    uint64_t usage = 0;
    if (ByteCount(groupLimit, limit) && ByteCount(groupUsage, usage)) {
        const uint64_t left = limit > usage ? limit - usage : 0;
        if (left < available) available = left;
    }
    return available;
}

uint64_t AvailableMemory() {
    const std::string meminfo = FileText("/proc/meminfo");
    const std::string membership = FileText("/proc/self/cgroup");
    const GroupFiles groups[] = {
        {ControlGroupFolder(membership, "", "/sys/fs/cgroup"), "memory.max", "memory.current"},
        {ControlGroupFolder(membership, "memory", "/sys/fs/cgroup/memory"), "memory.limit_in_bytes",
         "memory.usage_in_bytes"},
    };
    uint64_t available = AvailableMemoryOf(meminfo, {}, {});
    for (const GroupFiles& group : groups) {
        if (group.folder.empty()) continue;
        const uint64_t left = AvailableMemoryOf(meminfo, FileText(group.folder + "/" + group.limit),
                                                FileText(group.folder + "/" + group.usage));
        if (left < available) available = left;
    }
    return available;
}
